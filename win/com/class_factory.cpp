// Class objects.
#include "win/com/class_factory.h"

#include "win/com/module.h"

namespace win::com {

ClassFactory& ClassFactory::For(const ClassEntry& entry) {
  // One class object per table entry, made together on first use and kept for good.
  static ClassFactory* const* factories = [] {
    auto** made = new ClassFactory*[ClassTable().size()];
    for (size_t i = 0; i < ClassTable().size(); ++i) made[i] = new ClassFactory(ClassTable()[i]);
    return made;
  }();
  return *factories[static_cast<size_t>(&entry - ClassTable().data())];
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr && !entry_.aggregatable) return CLASS_E_NOAGGREGATION;
  return entry_.create(outer, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ModuleLock();
  } else {
    ModuleUnlock();
  }
  return S_OK;
}

}  // namespace win::com
