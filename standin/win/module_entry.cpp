// VireoStandin.dll's entry points: process attach and detach, the class object of Standin,
// self-registration and unloading. The module's state (instance, lock count, the type library
// beside the module) is the COM layer's module, as in the add-in.
#include <windows.h>

#include <oleauto.h>

#include <string>

#include "standin/win/standin_object.h"
#include "win/com/module.h"
#include "win/com/raii.h"
#include "win/com/registrar.h"

namespace {

using win::com::ComPtr;

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

// COM on the calling thread for the duration, as regsvr32-like callers may not have it.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

HRESULT RunScript(bool register_it) {
  ComPtr<win::com::IRegistrar> registrar;
  HRESULT hr = CoCreateInstance(win::com::kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER,
                                win::com::kIidRegistrar, registrar.PutVoid());
  if (FAILED(hr)) return hr;
  const std::wstring module = win::com::ModulePath();
  hr = registrar->AddReplacement(L"MODULE", module.c_str());
  if (FAILED(hr)) return hr;
  return register_it ? registrar->ResourceRegister(module.c_str(), kStandinScript, L"REGISTRY")
                     : registrar->ResourceUnregister(module.c_str(), kStandinScript, L"REGISTRY");
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    win::com::ModuleAttach(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // At process exit (reserved set) other DLLs may be gone already: leave it to the system.
    win::com::ModuleDetach();
  }
  return TRUE;
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
  ComScope com;
  HRESULT hr = RunScript(true);
  if (FAILED(hr)) return hr;
  const std::wstring path = win::com::TypeLibraryPath();
  ComPtr<ITypeLib> library;
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (FAILED(hr)) return hr;
  std::wstring writable = path;
  return RegisterTypeLib(library.Get(), writable.data(), nullptr);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  ComScope com;
  const HRESULT hr = RunScript(false);
  if (FAILED(hr)) return hr;
  UnRegisterTypeLib(LIBID_VireoStandin, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  return S_OK;
}
