// Context help.
#include "win/host/help.h"

#include "core/addin/help_path.h"
#include "core/bridge/host_access.h"
#include "win/host/application_calls.h"
#include "win/host/com_host.h"

namespace win::host {
namespace {

constexpr wchar_t kHtmlHelpControlKey[] =
    L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr wchar_t kHtmlHelpModule[] = L"hhctrl.ocx";
constexpr WORD kHtmlHelpAOrdinal = 14;

}  // namespace

std::string BuildHelpPath(IDispatch* application, const std::string& topic) {
  if (application == nullptr) return std::string();
  win::comkit::ComPtr<IDispatch> service = ObjectByName(application, core::bridge::kCpuNameService);
  if (!service) return core::addin::BuildHelpPath(nullptr, topic);
  std::unique_ptr<core::bridge::HostObject> cpu = MakeHostObject(service.Get());
  return core::addin::BuildHelpPath(cpu.get(), topic);
}

std::wstring RegisteredHtmlHelpPath() {
  wchar_t value[MAX_PATH];
  DWORD size = sizeof value;
  // A REG_EXPAND_SZ value is expanded and passes as REG_SZ.
  if (RegGetValueW(HKEY_CLASSES_ROOT, kHtmlHelpControlKey, nullptr, RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return std::wstring();
  }
  return value;
}

std::wstring SystemHtmlHelpPath() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(folder, length) + L"\\" + kHtmlHelpModule;
}

bool HtmlHelp::Load() {
  std::vector<std::wstring> modules;
  if (modules_) {
    modules = *modules_;
  } else {
    const std::wstring registered = RegisteredHtmlHelpPath();
    if (!registered.empty()) modules.push_back(registered);
    const std::wstring system = SystemHtmlHelpPath();
    if (!system.empty()) modules.push_back(system);
  }
  for (const std::wstring& name : modules) {
    module_.Reset(LoadLibraryW(name.c_str()));
    if (module_) break;
  }
  if (module_) {
    entry_ = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(module_.Get(), MAKEINTRESOURCEA(kHtmlHelpAOrdinal))));
  }
  if (entry_ == nullptr) {
    // Missing help produces no message: help simply does not open, now or later.
    module_.Reset();
    disabled_ = true;
    return false;
  }
  return true;
}

HWND HtmlHelp::Call(const char* file, UINT command, DWORD_PTR data) {
  if (disabled_) return nullptr;
  if (entry_ == nullptr && !Load()) return nullptr;
  return entry_(nullptr, file, command, data);
}

std::wstring HtmlHelp::LoadedFrom() const {
  if (!module_) return std::wstring();
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module_.Get(), path, MAX_PATH);
  return std::wstring(path, length < MAX_PATH ? length : 0);
}

HtmlHelp& ProcessHtmlHelp() {
  static HtmlHelp* const help = new HtmlHelp();  // unloading it at process exit is not worth it
  return *help;
}

HWND ShowHelp(IDispatch* application, const std::string& topic, HtmlHelp& help) {
  if (application == nullptr) return nullptr;
  const std::string path = BuildHelpPath(application, topic);
  const std::string file = HelpPath(application);
  return help.Call(file.c_str(), kDisplayTopic, reinterpret_cast<DWORD_PTR>(path.c_str()));
}

}  // namespace win::host
