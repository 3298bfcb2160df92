// Self-registration: every class's registry script, run through the registrar object with
// %MODULE% standing for the module's path, and the type library beside the module.
#include <windows.h>

#include <oleauto.h>

#include "win/com/class_table.h"
#include "win/com/module.h"
#include "win/com/raii.h"
#include "win/com/registrar.h"
#include "win/com/trigger_ids.h"

namespace {

using win::com::ComPtr;

HRESULT RunScripts(bool register_them) {
  ComPtr<win::com::IRegistrar> registrar;
  HRESULT hr = CoCreateInstance(win::com::kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER,
                                win::com::kIidRegistrar, registrar.PutVoid());
  if (FAILED(hr)) return hr;
  const std::wstring module = win::com::ModulePath();
  hr = registrar->AddReplacement(L"MODULE", module.c_str());
  if (FAILED(hr)) return hr;
  for (const win::com::ClassEntry& entry : win::com::ClassTable()) {
    hr = register_them ? registrar->ResourceRegister(module.c_str(), entry.script, L"REGISTRY")
                       : registrar->ResourceUnregister(module.c_str(), entry.script, L"REGISTRY");
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// Initialises COM on the calling thread for the duration, as regsvr32-like callers may not have.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  ComScope com;
  HRESULT hr = RunScripts(true);
  if (FAILED(hr)) return hr;
  // The type library is registered from the file beside the module; a missing file fails here,
  // after the classes' scripts have run.
  const std::wstring path = win::com::TypeLibraryPath();
  ComPtr<ITypeLib> library;
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (FAILED(hr)) return hr;
  std::wstring writable = path;
  return RegisterTypeLib(library.Get(), writable.data(), nullptr);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  ComScope com;
  const HRESULT hr = RunScripts(false);
  if (FAILED(hr)) return hr;
  UnRegisterTypeLib(LIBID_Trigger, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  return S_OK;
}
