// FakeHtmlHelp.dll: stands in for the HTML Help control in the help tests. Its export number 14
// takes the narrow HtmlHelp call and remembers it; FakeHtmlHelpLastCall describes the last one.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string g_last_call;

}  // namespace

extern "C" HWND WINAPI FakeHtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
  char text[1024];
  std::snprintf(text, sizeof text, "owner %llu, file \"%s\", command %u, data \"%s\"",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)),
                file ? file : "(null)", command,
                data ? reinterpret_cast<const char*>(data) : "(null)");
  g_last_call = text;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
}

extern "C" const char* FakeHtmlHelpLastCall() { return g_last_call.c_str(); }
