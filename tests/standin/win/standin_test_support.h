// Shared set-up of the stand-in's COM tests: COM on the test thread, VireoStandin.dll and the
// fake add-in registered in the test prefix, a Standin with a fresh copy of the sample project
// open, and readers for its texts and for the host's services.
#pragma once

#include <windows.h>

#undef GetObject

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/win/standin_ids.h"
#include "tests/win/com/com_test_support.h"
#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

namespace standintest {

using comtest::IdOfName;
using comtest::InvokeByName;
using win::comkit::ComPtr;
using win::comkit::HandleArg;
using win::comkit::InvokeMember;
using win::comkit::LongArg;
using win::comkit::LongRefArg;
using win::comkit::TextArg;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;
using win::comkit::UnsignedLongArg;

// Loads a module from beside the test executable and runs its DllRegisterServer.
inline HRESULT RegisterModule(const wchar_t* name) {
  HMODULE module = LoadLibraryW(name);
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  return entry ? entry() : E_NOINTERFACE;
}

// The Windows form of a path on the Linux side (Wine maps / to drive Z:).
inline std::wstring WindowsPath(const std::string& path) {
  std::wstring windows = L"Z:";
  for (char c : path) windows += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return windows;
}

// A fresh copy of the sample project in the temporary folder, under `name`.
inline std::wstring CopySample(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring copy = std::wstring(folder) + name;
  CopyFileW(WindowsPath(STANDIN_EXAMPLES_DIR "/sample.vpj").c_str(), copy.c_str(), FALSE);
  return copy;
}

inline UniqueBstr Bstr(const wchar_t* text) { return UniqueBstr(SysAllocString(text)); }

inline std::string Narrow(BSTR text) { return win::comkit::ToNarrow(text); }

// The description of the error information the last failing call left.
inline std::string ErrorDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::string();
  UniqueBstr text;
  info->GetDescription(text.Put());
  return Narrow(text.Get());
}

class StandinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HR(S_OK, RegisterModule(L"VireoStandin.dll"));
    ASSERT_HR(S_OK, RegisterModule(L"StandinFakeAddin.dll"));
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    CLSID clsid;
    ASSERT_HR(S_OK, CLSIDFromProgID(L"Vireo.Standin", &clsid));
    ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVireoStandin,
                                     standin_.PutVoid()));
    const std::wstring project = CopySample(L"standin_win_test.vpj");
    ASSERT_HR(S_OK, standin_->OpenProject(Bstr(project.c_str()).Get()));
    ComPtr<IDispatch> application;
    ASSERT_HR(S_OK, standin_->get_Application(application.Put()));
    ASSERT_HR(S_OK, application.As(IID_IVireoApplication, &application_));
  }

  // A text property of the stand-in.
  std::string Read(HRESULT (STDMETHODCALLTYPE IVireoStandin::*getter)(BSTR*)) {
    UniqueBstr text;
    EXPECT_HR(S_OK, (standin_.Get()->*getter)(text.Put()));
    return Narrow(text.Get());
  }
  std::string Log() { return Read(&IVireoStandin::get_Log); }
  std::string Calls() { return Read(&IVireoStandin::get_Calls); }

  // A service through the application's DISPID 39, as the add-in obtains it.
  ComPtr<IDispatch> Service(const wchar_t* name) {
    UniqueVariant result;
    EXPECT_HR(S_OK, InvokeMember(application_.Get(), 39, DISPATCH_PROPERTYGET, {TextArg(name)},
                                 result.Put()));
    ComPtr<IDispatch> service;
    if (V_VT(result.Get()) == VT_DISPATCH) {
      service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
    }
    return service;
  }
  template <typename Interface>
  ComPtr<Interface> ServiceAs(const wchar_t* name, REFIID iid) {
    ComPtr<Interface> typed;
    ComPtr<IDispatch> service = Service(name);
    EXPECT_TRUE(service) << Narrow(Bstr(name).Get());
    if (service) {
      EXPECT_HR(S_OK, service.As(iid, &typed));
    }
    return typed;
  }

  ComPtr<IVireoStandin> standin_;
  ComPtr<IVireoApplication> application_;
};

}  // namespace standintest
