// What every Windows test program shares: HRESULTs compared as hex, texts between BSTRs and narrow
// strings, files beside the test, modules registered in the test prefix, and HostTest, the host
// stand-in with a fresh copy of the sample project open.
#pragma once

#include <windows.h>

#undef GetObject

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/core/test_support.h"
#include "vireo_standin.h"
#include "win/com/trigger_ids.h"
#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

#undef GetObject

namespace wintest {

using core::automation::HResultText;
using win::comkit::ComPtr;
using win::comkit::InvokeByName;
using win::comkit::InvokeMember;
using win::comkit::LongArg;
using win::comkit::TextArg;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;

inline UniqueBstr Bstr(const std::wstring& text) {
  return UniqueBstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}
inline std::string Narrow(BSTR text) { return win::comkit::ToNarrow(text); }
inline std::string Narrow(const std::wstring& text) {
  return win::comkit::ToNarrow(text.data(), text.size());
}
inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::wstring TempPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return folder + name;
}

inline std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

// A file of the build's bin/, where every test program runs.
inline std::wstring BesideTest(const std::wstring& name) {
  const std::wstring self = ModuleFile(nullptr);
  return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

// Loads a module from beside the test and runs one of its exported entry points.
inline HRESULT CallEntry(const wchar_t* module, const char* entry) {
  HMODULE loaded = LoadLibraryW(module);
  if (loaded == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const auto call = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(loaded, entry)));
  const HRESULT hr = call ? call() : E_NOINTERFACE;
  FreeLibrary(loaded);
  return hr;
}
// DllCanUnloadNow of Trigger.dll as COM loaded it.
inline HRESULT TriggerCanUnload() {
  if (GetModuleHandleW(L"Trigger.dll") == nullptr) return E_UNEXPECTED;
  return CallEntry(L"Trigger.dll", "DllCanUnloadNow");
}

// A property of an automation object, read by name as a script reads it; "(none)" when it
// cannot be read. Flags read "True" and "False".
inline std::string Property(IUnknown* object, const wchar_t* name) {
  ComPtr<IDispatch> dispatch;
  UniqueVariant value, text;
  if (object == nullptr || FAILED(object->QueryInterface(IID_IDispatch, dispatch.PutVoid())) ||
      FAILED(InvokeByName(dispatch.Get(), name, DISPATCH_PROPERTYGET, {}, value.Get())) ||
      FAILED(VariantChangeType(text.Get(), value.Get(), VARIANT_ALPHABOOL, VT_BSTR))) {
    return "(none)";
  }
  return Narrow(V_BSTR(text.Get()));
}

// The last call the fake HTML Help control (FakeHtmlHelp.dll, once loaded) took, as
// `owner 0, file "F", command 0, data "D"`.
inline std::string LastHelpCall() {
  const HMODULE fake = GetModuleHandleW(L"FakeHtmlHelp.dll");
  const auto last_call = reinterpret_cast<const char*(__cdecl*)()>(
      reinterpret_cast<void*>(fake ? GetProcAddress(fake, "FakeHtmlHelpLastCall") : nullptr));
  return last_call ? last_call() : "(no call)";
}

// The host stand-in, made by its ProgID, with a fresh copy of the sample project open;
// VireoStandin.dll and Trigger.dll are registered once per process. Every test ends
// disconnected, with nothing of the host's still held by the add-in.
class HostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static const HRESULT registered = [] {
      const HRESULT hr = CallEntry(L"VireoStandin.dll", "DllRegisterServer");
      return FAILED(hr) ? hr : CallEntry(L"Trigger.dll", "DllRegisterServer");
    }();
    ASSERT_HR(S_OK, registered);
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    CLSID clsid;
    ASSERT_HR(S_OK, CLSIDFromProgID(L"Vireo.Standin", &clsid));
    ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVireoStandin,
                                     standin_.PutVoid()));
    // A fresh copy of the sample project (Wine maps / to drive Z:).
    std::wstring sample =
        L"Z:" + Wide((test_support::SourceDir() / "examples/sample.vpj").string());
    std::replace(sample.begin(), sample.end(), L'/', L'\\');
    project_ = TempPath(L"host_test.vpj");
    CopyFileW(sample.c_str(), project_.c_str(), FALSE);
    ASSERT_HR(S_OK, standin_->OpenProject(Bstr(project_).Get()));
    ComPtr<IDispatch> application;
    ASSERT_HR(S_OK, standin_->get_Application(application.Put()));
    ASSERT_HR(S_OK, application.As(IID_IVireoApplication, &application_));
  }
  void TearDown() override {
    registry_.Reset();
    if (!standin_) return;
    standin_->Disconnect();
    EXPECT_EQ(Held(), std::vector<std::string>{}) << Read(&IVireoStandin::get_Journal);
  }

  // The host's references the add-in still holds, less the one on the evaluator that the
  // bridge keeps for the life of the process.
  std::vector<std::string> Held() {
    std::vector<std::string> held;
    for (const std::string& line : Lines(Read(&IVireoStandin::get_HeldReferences))) {
      if (line.rfind("Quillon.Evaluation#", 0) != 0 || line.find(": 1 reference") == line.npos) {
        held.push_back(line);
      }
    }
    return held;
  }

  // Connects Trigger.Connect and Trigger.Command; OnConnection's result.
  LONG Connect(VARIANT_BOOL first_time = VARIANT_TRUE) {
    LONG result = -1;
    EXPECT_HR(S_OK, standin_->Connect(Bstr(L"Trigger.Connect").Get(),
                                      Bstr(L"Trigger.Command").Get(), first_time, &result));
    return result;
  }
  // Connects and loads the sample's 13 triggers.
  void ConnectAndLoad() {
    ASSERT_EQ(Connect(), 0);
    registry_ = Registry();
    ASSERT_TRUE(registry_);
    ASSERT_HR(S_OK, registry_->LoadTriggers());
  }
  // How many triggers the registry holds.
  LONG Count() {
    LONG count = -1;
    EXPECT_HR(S_OK, registry_->get_Count(&count));
    return count;
  }
  bool Connected() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    standin_->get_Connected(&connected);
    return connected == VARIANT_TRUE;
  }

  // A host service, as the add-in obtains it (the application's DISPID 39).
  template <typename Interface = IDispatch>
  ComPtr<Interface> Service(const wchar_t* name) {
    UniqueVariant service;
    ComPtr<Interface> typed;
    EXPECT_HR(S_OK, InvokeMember(application_.Get(), 39, DISPATCH_PROPERTYGET, {TextArg(name)},
                                 service.Get()));
    if (V_VT(service.Get()) == VT_DISPATCH && V_DISPATCH(service.Get())) {
      EXPECT_HR(S_OK,
                V_DISPATCH(service.Get())->QueryInterface(__uuidof(Interface), typed.PutVoid()));
    }
    return typed;
  }

  // A named object of the add-in, as the host gets it (ICommand::GetObject).
  ComPtr<IDispatch> Named(const wchar_t* name) {
    ComPtr<IDispatch> object;
    EXPECT_HR(S_OK, standin_->GetObject(Bstr(name).Get(), object.Put()));
    return object;
  }
  ComPtr<ITriggerAction> Registry() {
    ComPtr<ITriggerAction> registry;
    if (ComPtr<IDispatch> object = Named(L"Trigger.TriggerAction")) {
      EXPECT_HR(S_OK, object.As(IID_ITriggerAction, &registry));
    }
    return registry;
  }
  // A loaded trigger by name, as the interface asked for.
  template <typename Interface>
  ComPtr<Interface> Find(const wchar_t* name) {
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry_->FindTrigger(Bstr(name).Get(), found.Put()));
    ComPtr<Interface> typed;
    if (found) {
      EXPECT_HR(S_OK, found.As(__uuidof(Interface), &typed));
    }
    return typed;
  }

  std::string Read(HRESULT (STDMETHODCALLTYPE IVireoStandin::*getter)(BSTR*)) {
    UniqueBstr text;
    EXPECT_HR(S_OK, (standin_.Get()->*getter)(text.Put()));
    return Narrow(text.Get());
  }
  std::string Log() { return Read(&IVireoStandin::get_Log); }
  std::string Calls() { return Read(&IVireoStandin::get_Calls); }
  std::string Events() { return Read(&IVireoStandin::get_EventList); }
  std::string State() { return Read(&IVireoStandin::get_SimulatorState); }
  std::string Section(const wchar_t* name) {
    UniqueBstr text;
    EXPECT_HR(S_OK, standin_->SectionText(Bstr(name).Get(), text.Put()));
    return Narrow(text.Get());
  }
  // The lines the add-in wrote to the log, or the notes the host itself wrote ("Vireo: ...")
  // about the add-in.
  std::vector<std::string> LogLines(bool host_notes = false) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(Log())) {
      if ((line.rfind("Vireo: ", 0) == 0) == host_notes) lines.push_back(line);
    }
    return lines;
  }
  bool LogHas(const std::string& line) {
    return ("\n" + Log()).find("\n" + line + "\n") != std::string::npos;
  }
  void Refuse(const wchar_t* calls) {
    EXPECT_HR(S_OK, standin_->put_RefusedCalls(Bstr(calls).Get()));
  }
  void WriteSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    EXPECT_HR(S_OK,
              standin_->WriteSetting(Bstr(section).Get(), Bstr(key).Get(), Bstr(value).Get()));
  }

  std::wstring project_;
  ComPtr<IVireoStandin> standin_;
  ComPtr<IVireoApplication> application_;
  ComPtr<ITriggerAction> registry_;
};

}  // namespace wintest
