// The creatable classes of the module: identifier, ProgID, registration script, threading model,
// whether they may be aggregated, and how to make one.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <array>

namespace win::com {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* name;  // the class name, also the stem of its ProgID and description
  UINT script;          // resource of type "REGISTRY"
  const wchar_t* threading_model;
  bool aggregatable;
  CreateFunction create;
};

// The thirteen classes, in the order of their registration.
const std::array<ClassEntry, 13>& ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace win::com
