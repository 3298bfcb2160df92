// Self-registration and the module's DllMain.
#include "win/com/self_registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "win/com/module.h"
#include "win/com/raii.h"
#include "win/com/registrar.h"

namespace win::com {
namespace {

class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

// The registrar object with %MODULE% set to the module's path.
HRESULT MakeRegistrar(ComPtr<IRegistrar>* registrar) {
  HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                registrar->PutVoid());
  if (FAILED(hr)) return hr;
  return (*registrar)->AddReplacement(L"MODULE", ModulePath().c_str());
}

}  // namespace

HRESULT RegisterModule(const std::vector<UINT>& scripts) {
  ComScope com;
  ComPtr<IRegistrar> registrar;
  HRESULT hr = MakeRegistrar(&registrar);
  if (FAILED(hr)) return hr;
  const std::wstring module = ModulePath();
  for (const UINT script : scripts) {
    hr = registrar->ResourceRegister(module.c_str(), script, L"REGISTRY");
    if (FAILED(hr)) return hr;
  }
  std::wstring path = TypeLibraryPath();
  ComPtr<ITypeLib> library;
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterModule(const std::vector<UINT>& scripts, REFGUID libid) {
  ComScope com;
  ComPtr<IRegistrar> registrar;
  if (FAILED(MakeRegistrar(&registrar))) return SELFREG_E_CLASS;
  // Removal goes on past a script that fails: whatever can be removed is.
  const std::wstring module = ModulePath();
  for (const UINT script : scripts)
    registrar->ResourceUnregister(module.c_str(), script, L"REGISTRY");
  // The registration to remove is that of the version the type library beside the module
  // declares; without the file there is no telling which, and the keys stay.
  ComPtr<ITypeLib> library;
  TLIBATTR* attributes = nullptr;
  if (SUCCEEDED(LoadTypeLibEx(TypeLibraryPath().c_str(), REGKIND_NONE, library.Put())) &&
      SUCCEEDED(library->GetLibAttr(&attributes))) {
    UnRegisterTypeLib(libid, attributes->wMajorVerNum, attributes->wMinorVerNum, LOCALE_NEUTRAL,
                      SYS_WIN64);
    library->ReleaseTLibAttr(attributes);
  }
  return S_OK;
}

BOOL ModuleDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    ModuleAttach(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // At process exit (reserved set) other DLLs may already be gone: leave the rest to the system.
    ModuleDetach();
  }
  return TRUE;
}

}  // namespace win::com
