// Version.
#include "win/com/version_object.h"

#include <vector>

namespace win::com {

bool ReadProductVersion(const std::wstring& path, LONG* major, LONG* minor) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  *major = static_cast<LONG>(info->dwProductVersionMS);
  *minor = static_cast<LONG>(info->dwProductVersionLS);
  return true;
}

void ModuleVersion(const std::wstring& path, LONG* major, LONG* minor) {
  *major = 0x00010000;
  *minor = 1;
  if (!path.empty()) ReadProductVersion(path, major, minor);
}

STDMETHODIMP Version::GetVersion(LONG* major, LONG* minor) noexcept {
  if (major == nullptr || minor == nullptr) return E_POINTER;
  return Guard([&] {
    std::wstring path;
    if (HMODULE module = GetModuleHandleW(L"TRIGGER.DLL")) {
      wchar_t name[MAX_PATH];
      const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
      if (length > 0 && length < MAX_PATH) path.assign(name, length);
    }
    ModuleVersion(path, major, minor);
    return S_OK;
  });
}

STDMETHODIMP Version::get_Description(BSTR* description) noexcept {
  if (description == nullptr) return E_POINTER;
  *description = SysAllocString(L"");
  return *description ? S_OK : E_OUTOFMEMORY;
}

}  // namespace win::com
