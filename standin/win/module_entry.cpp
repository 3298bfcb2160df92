// VireoStandin.dll's entry points: process attach and detach, the class object of Standin,
// self-registration and unloading. The module's state (instance, lock count, the type library
// beside the module) is the COM layer's module, as in the add-in.
#include <windows.h>

#include <oleauto.h>

#include <string>

#include "standin/win/standin_object.h"
#include "win/com/module.h"
#include "win/com/raii.h"
#include "win/com/self_registration.h"

namespace {

// The registry script resource of Standin.
constexpr UINT kStandinScript = 101;

class StandinFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // The class object lives as long as the module.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return standin::win::Standin::CreateInstance(nullptr, iid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      win::com::ModuleLock();
    } else {
      win::com::ModuleUnlock();
    }
    return S_OK;
  }
};

StandinFactory g_factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return win::com::ModuleDllMain(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_Standin) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return win::com::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return win::com::RegisterModule({kStandinScript});
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return win::com::UnregisterModule({kStandinScript}, LIBID_VireoStandin);
}
