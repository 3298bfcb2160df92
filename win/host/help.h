// Context help: the help path of a topic for the CPU family of the project, read through the
// host's Pennant.Service, and HTML Help, which shows it. HTML Help is the registered HTML Help
// control (hhctrl.ocx), loaded on first use, or else the one in the system directory; never a
// module of that name found along the search path. Its narrow entry point is its export number 14.
// When it cannot be loaded, or lacks that export, help stays off for the rest of the process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "win/comkit/handles.h"

namespace win::host {

// The help path of the topic: the prefix of the help file for the CPU family of the project, then
// the topic. Empty when the host has no Pennant.Service (reached through the member "Object" of
// the application).
std::string BuildHelpPath(IDispatch* application, const std::string& topic);

// HH_DISPLAY_TOPIC of HTML Help.
inline constexpr UINT kDisplayTopic = 0;

class HtmlHelp {
 public:
  using Entry = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

  // The control registered under the HTML Help control's CLSID
  // {ADB880A6-D8FF-11CF-9377-00AA003B7A11} (its InprocServer32 key), then hhctrl.ocx of the
  // system directory.
  HtmlHelp() = default;
  // Tries these modules in order instead.
  explicit HtmlHelp(std::vector<std::wstring> modules) : modules_(std::move(modules)) {}
  HtmlHelp(const HtmlHelp&) = delete;
  HtmlHelp& operator=(const HtmlHelp&) = delete;

  // Calls the entry point with no owner window, `file`, `command` and `data`; loads it first
  // when this is the first call. Null when help is off, or when HTML Help opens no window.
  HWND Call(const char* file, UINT command, DWORD_PTR data);

  bool Disabled() const { return disabled_; }
  // The file the entry point was loaded from; empty before the first call or when disabled.
  std::wstring LoadedFrom() const;

 private:
  bool Load();

  std::optional<std::vector<std::wstring>> modules_;
  win::comkit::UniqueLibrary module_;
  Entry entry_ = nullptr;
  bool disabled_ = false;
};

// The registered HTML Help control's path, environment variables expanded; empty when none.
std::wstring RegisteredHtmlHelpPath();

// hhctrl.ocx in the system directory.
std::wstring SystemHtmlHelpPath();

// The HTML Help that this process uses, never unloaded.
HtmlHelp& ProcessHtmlHelp();

// Opens a help topic: the help path of `topic` as BuildHelpPath makes it, shown by HTML Help in
// the HelpPath file of the host. The result is that of HTML Help, which callers may ignore; null
// without a host application.
HWND ShowHelp(IDispatch* application, const std::string& topic, HtmlHelp& help = ProcessHtmlHelp());

}  // namespace win::host
