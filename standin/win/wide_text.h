// Narrow text (ANSI code page, as the stand-in keeps it) for the window system's wide calls.
#pragma once

#include <windows.h>

#include <string>

namespace standin::win {

inline std::wstring Wide(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace standin::win
