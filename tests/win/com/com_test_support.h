// Shared set-up of the COM server tests: COM on the test thread, the server registered in the
// test prefix, and small readers of the registry and of HRESULTs.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "win/com/trigger_ids.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

namespace comtest {

inline std::string Hex(HRESULT hr) {
  char text[16];
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

#define EXPECT_HR(expected, call) EXPECT_EQ(comtest::Hex(expected), comtest::Hex(call))
#define ASSERT_HR(expected, call) ASSERT_EQ(comtest::Hex(expected), comtest::Hex(call))

// Members by name, as a script reaches them.
using win::comkit::IdOfName;
using win::comkit::InvokeByName;

// The module under test, loaded from beside the test executable.
struct Server {
  HMODULE module = nullptr;
  HRESULT(STDAPICALLTYPE* can_unload)() = nullptr;
  HRESULT(STDAPICALLTYPE* register_server)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregister_server)() = nullptr;
  HRESULT(STDAPICALLTYPE* get_class_object)(REFCLSID, REFIID, void**) = nullptr;

  static Server& Get() {
    static Server server = [] {
      Server s;
      s.module = LoadLibraryW(L"Trigger.dll");
      if (s.module) {
        s.can_unload = reinterpret_cast<decltype(s.can_unload)>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllCanUnloadNow")));
        s.register_server = reinterpret_cast<decltype(s.register_server)>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllRegisterServer")));
        s.unregister_server = reinterpret_cast<decltype(s.unregister_server)>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllUnregisterServer")));
        s.get_class_object = reinterpret_cast<decltype(s.get_class_object)>(
            reinterpret_cast<void*>(GetProcAddress(s.module, "DllGetClassObject")));
      }
      return s;
    }();
    return server;
  }
};

// COM initialised and the server registered for every test of the suite.
class ComTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Server& server = Server::Get();
    ASSERT_NE(server.module, nullptr) << "Trigger.dll did not load";
    ASSERT_HR(S_OK, server.register_server());
  }
  static void TearDownTestSuite() { CoUninitialize(); }
};

// The default value (or a named value) of a key under HKEY_CLASSES_ROOT; nullopt-like empty
// marker when absent.
inline bool ReadClassesValue(const std::wstring& key, const wchar_t* name, std::wstring* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const LONG result =
      RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (result != ERROR_SUCCESS) return false;
  value->assign(buffer, size / sizeof(wchar_t));
  while (!value->empty() && value->back() == L'\0') value->pop_back();
  return true;
}

inline bool ClassesKeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

inline std::wstring GuidText(REFGUID guid) {
  wchar_t text[64];
  StringFromGUID2(guid, text, 64);
  return text;
}

inline std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

}  // namespace comtest
