// Class objects.
#include "win/comkit/class_factory.h"

#include <map>
#include <memory>
#include <mutex>

#include "win/comkit/module.h"

namespace win::comkit {

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

const ClassEntry* FindClass(const ClassEntry* classes, size_t count, REFCLSID clsid) {
  for (size_t i = 0; i < count; ++i) {
    if (*classes[i].clsid == clsid) return &classes[i];
  }
  return nullptr;
}

HRESULT GetClassObject(const ClassEntry* classes, size_t count, REFCLSID clsid, REFIID iid,
                       void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  const ClassEntry* entry = FindClass(classes, count, clsid);
  if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  // One class object per row, kept until the module unloads.
  static std::mutex mutex;
  static std::map<const ClassEntry*, std::unique_ptr<ClassFactory>> factories;
  ClassFactory* factory = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::unique_ptr<ClassFactory>& made = factories[entry];
    if (!made) made = std::make_unique<ClassFactory>(*entry);
    factory = made.get();
  }
  return factory->QueryInterface(iid, out);
}

}  // namespace win::comkit
