// The creatable classes of a module and their class objects. A module lists its classes in a
// table of ClassEntry rows; DllGetClassObject hands out the class object of a row, and
// DllCanUnloadNow asks the module's lock count. Class objects live as long as the module; their
// LockServer counts towards the module's lock count.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <cstddef>

namespace win::comkit {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* name;  // the class name, also the stem of its ProgID and description
  UINT script;          // resource of type "REGISTRY"
  const wchar_t* threading_model;
  bool aggregatable;
  CreateFunction create;
};

// The class object of one row.
class ClassFactory : public IClassFactory {
 public:
  explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  const ClassEntry& entry_;
};

// The row of `clsid` among `count` rows; null when there is none.
const ClassEntry* FindClass(const ClassEntry* classes, size_t count, REFCLSID clsid);

// DllGetClassObject over the module's rows: the class object of `clsid` (one per row, made on
// first request), CLASS_E_CLASSNOTAVAILABLE for a class the module does not have.
HRESULT GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid,
                       void** out);

// Makes an object of class T, as a row's `create` does.
template <typename T>
HRESULT Make(IUnknown* outer, REFIID iid, void** out) {
  return T::CreateInstance(outer, iid, out);
}

}  // namespace win::comkit
