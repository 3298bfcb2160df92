// The COM module: process attach and detach, lock count, resource module and type library.
#include "win/comkit/module.h"

#include <windows.h>

#include <oleauto.h>

#include <mutex>
#include <utility>
#include <vector>

#include "win/comkit/raii.h"

namespace win::comkit {
namespace {

HINSTANCE g_instance = nullptr;
LONG g_locks = 0;

// What the module loads and keeps until it is detached: the satellite library and the type
// library with the type information of each interface asked for. It lives on the heap from the
// attach (or the first type information) to the detach, so that nothing of it is released at
// process exit, when the libraries it would call may be gone already.
struct Loaded {
  UniqueLibrary resources;
  std::mutex typeinfo_mutex;
  ComPtr<ITypeLib> typelib;
  std::vector<std::pair<IID, ComPtr<ITypeInfo>>> typeinfos;
};
Loaded* g_loaded = nullptr;

Loaded& TheLoaded() {
  if (g_loaded == nullptr) g_loaded = new Loaded;
  return *g_loaded;
}

// Everything up to the last "." of the module's path, then `suffix`.
std::wstring ReplaceExtension(const std::wstring& path, const wchar_t* suffix) {
  const size_t dot = path.rfind(L'.');
  const size_t slash = path.find_last_of(L"\\/");
  const bool has_dot = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  return (has_dot ? path.substr(0, dot) : path) + suffix;
}

}  // namespace

void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
LONG ModuleLockCount() { return g_locks; }
HINSTANCE ModuleInstance() { return g_instance; }
HINSTANCE ResourceInstance() { return SatelliteLoaded() ? g_loaded->resources.Get() : g_instance; }
bool SatelliteLoaded() { return g_loaded != nullptr && g_loaded->resources; }
// The module's path up to its last ".", followed by "RES.DLL".
std::wstring SatellitePath() { return ReplaceExtension(ModulePath(), L"RES.DLL"); }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string LoadResourceString(HINSTANCE module, UINT id) {
  char text[512];
  const int length = LoadStringA(module, id, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring TypeLibraryPath() { return ReplaceExtension(ModulePath(), L".tlb"); }

HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** info) {
  *info = nullptr;
  Loaded& loaded = TheLoaded();
  std::lock_guard<std::mutex> lock(loaded.typeinfo_mutex);
  for (const auto& [id, cached] : loaded.typeinfos) {
    if (id == iid) {
      *info = ComPtr<ITypeInfo>(cached).Detach();
      return S_OK;
    }
  }
  if (!loaded.typelib) {
    const HRESULT hr = LoadTypeLibEx(TypeLibraryPath().c_str(), REGKIND_NONE, loaded.typelib.Put());
    if (FAILED(hr)) return hr;
  }
  ComPtr<ITypeInfo> found;
  const HRESULT hr = loaded.typelib->GetTypeInfoOfGuid(iid, found.Put());
  if (FAILED(hr)) return hr;
  loaded.typeinfos.emplace_back(iid, found);
  *info = found.Detach();
  return S_OK;
}

void ModuleAttach(HINSTANCE instance) {
  g_instance = instance;
  DisableThreadLibraryCalls(instance);
  // The satellite is loaded as a module, not as a data file, because its handle goes to the host
  // with the command bitmaps, and the host may use it as any module (GetModuleFileName refuses a
  // data file's handle). It has no code, so loading it runs nothing.
  TheLoaded().resources.Reset(LoadLibraryW(SatellitePath().c_str()));
}

void ModuleDetach() { delete std::exchange(g_loaded, nullptr); }

}  // namespace win::comkit
