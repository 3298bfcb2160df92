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

// How many classes the build's class list (class_table.cmake) holds.
#define TRIGGER_CLASS(name, script, threading, aggregatable) +1
inline constexpr size_t kClassCount = 0
#include "trigger_classes.inc"
    ;
#undef TRIGGER_CLASS

// The classes, in the order of their registration.
const std::array<ClassEntry, kClassCount>& ClassTable();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace win::com
