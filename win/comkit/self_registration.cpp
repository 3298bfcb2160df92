// Self-registration and the module's DllMain.
#include "win/comkit/self_registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "win/comkit/module.h"
#include "win/comkit/raii.h"
#include "win/comkit/registrar.h"

namespace win::comkit {
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

struct LibraryVersion {
  WORD major;
  WORD minor;
};

// Every version of the type library that is registered ("TypeLib\{libid}\1.2", in hexadecimal).
// The library version follows the product version, so an earlier one may have been registered, and
// the file beside the module need not be there to tell which.
std::vector<LibraryVersion> RegisteredVersions(REFGUID libid) {
  std::vector<LibraryVersion> versions;
  wchar_t guid[40];
  if (StringFromGUID2(libid, guid, 40) == 0) return versions;
  UniqueKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(L"TypeLib\\") + guid).c_str(), 0,
                    KEY_ENUMERATE_SUB_KEYS, key.Put()) != ERROR_SUCCESS) {
    return versions;
  }
  wchar_t name[64];
  for (DWORD index = 0, length = 64; RegEnumKeyExW(key.Get(), index, name, &length, nullptr,
                                                   nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++index, length = 64) {
    unsigned major = 0, minor = 0;
    if (swscanf(name, L"%x.%x", &major, &minor) == 2) {
      versions.push_back({static_cast<WORD>(major), static_cast<WORD>(minor)});
    }
  }
  return versions;
}

}  // namespace

HRESULT RegisterScripts(const std::vector<UINT>& scripts) {
  ComScope com;
  ComPtr<IRegistrar> registrar;
  HRESULT hr = MakeRegistrar(&registrar);
  if (FAILED(hr)) return hr;
  const std::wstring module = ModulePath();
  for (const UINT script : scripts) {
    hr = registrar->ResourceRegister(module.c_str(), script, L"REGISTRY");
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RegisterModule(const std::vector<UINT>& scripts) {
  ComScope com;
  HRESULT hr = RegisterScripts(scripts);
  if (FAILED(hr)) return hr;
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
  for (const LibraryVersion& version : RegisteredVersions(libid))
    UnRegisterTypeLib(libid, version.major, version.minor, LOCALE_NEUTRAL, SYS_WIN64);
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

}  // namespace win::comkit
