// The COM module: process attach and detach, lock count, resource module, type library and the
// four exported entry points.
#include "win/com/module.h"

#include <windows.h>

#include <oleauto.h>

#include <mutex>
#include <utility>
#include <vector>

#include "win/com/raii.h"

namespace win::com {
namespace {

HINSTANCE g_instance = nullptr;
HINSTANCE g_resources = nullptr;
LONG g_locks = 0;

// The type library and the type information of each interface, kept until detach.
std::mutex g_typeinfo_mutex;
ITypeLib* g_typelib = nullptr;
std::vector<std::pair<IID, ITypeInfo*>> g_typeinfos;

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
HINSTANCE ResourceInstance() { return g_resources ? g_resources : g_instance; }
bool SatelliteLoaded() { return g_resources != nullptr; }
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
  std::lock_guard<std::mutex> lock(g_typeinfo_mutex);
  for (const auto& [id, cached] : g_typeinfos) {
    if (id == iid) {
      cached->AddRef();
      *info = cached;
      return S_OK;
    }
  }
  if (g_typelib == nullptr) {
    const HRESULT hr = LoadTypeLibEx(TypeLibraryPath().c_str(), REGKIND_NONE, &g_typelib);
    if (FAILED(hr)) return hr;
  }
  ITypeInfo* found = nullptr;
  const HRESULT hr = g_typelib->GetTypeInfoOfGuid(iid, &found);
  if (FAILED(hr)) return hr;
  g_typeinfos.emplace_back(iid, found);
  found->AddRef();
  *info = found;
  return S_OK;
}

void ModuleAttach(HINSTANCE instance) {
  g_instance = instance;
  DisableThreadLibraryCalls(instance);
  // The satellite is loaded as a module, not as a data file, because its handle goes to the host
  // with the command bitmaps, and the host may use it as any module (GetModuleFileName refuses a
  // data file's handle). It has no code, so loading it runs nothing.
  g_resources = LoadLibraryW(SatellitePath().c_str());
}

void ModuleDetach() {
  for (auto& [id, info] : g_typeinfos) info->Release();
  g_typeinfos.clear();
  if (g_typelib) g_typelib->Release();
  g_typelib = nullptr;
  if (g_resources) FreeLibrary(g_resources);
  g_resources = nullptr;
}

}  // namespace win::com
