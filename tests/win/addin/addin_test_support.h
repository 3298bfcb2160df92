// Shared set-up of the add-in's tests against the host stand-in: COM on the test thread,
// VireoStandin.dll and Trigger.dll registered in the test prefix, a Vireo.Standin made by its
// ProgID with a fresh copy of the sample project open, and readers for what the add-in did to it.
#pragma once

#include <windows.h>

#undef GetObject

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/standin/win/standin_test_support.h"
#include "win/com/trigger_ids.h"

#undef GetObject

namespace addintest {

using standintest::Bstr;
using standintest::ComPtr;
using standintest::Narrow;
using standintest::UniqueBstr;
using standintest::UniqueVariant;

// The reference count of an object of this process (exact for the add-in's and the stand-in's
// own objects, which is all it is used on).
inline ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Trigger.dll as COM loaded it; null before the first connection loaded it.
inline HRESULT TriggerDllCanUnloadNow() {
  HMODULE module = GetModuleHandleW(L"Trigger.dll");
  if (module == nullptr) return E_UNEXPECTED;
  auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  return can_unload ? can_unload() : E_NOINTERFACE;
}

// The last call of the fake HTML Help control (FakeHtmlHelp.dll, once loaded): its file and data
// arguments, and the call described in full up to its data.
struct HelpCall {
  std::string file;
  std::string data;
  std::string owner_file_command;
};
inline HelpCall LastHelpCall() {
  using LastCall = const char*(__cdecl*)();
  const HMODULE fake = GetModuleHandleW(L"FakeHtmlHelp.dll");
  const auto last_call = fake ? reinterpret_cast<LastCall>(reinterpret_cast<void*>(
                                    GetProcAddress(fake, "FakeHtmlHelpLastCall")))
                              : nullptr;
  if (last_call == nullptr) return {};
  const std::string call = last_call();  // owner 0, file "F", command 0, data "D"
  const size_t file = call.find("file \"") + 6;
  const size_t data = call.find(", data \"");
  if (file < 6 || data == std::string::npos) return {"", "", call};
  return {call.substr(file, call.find('"', file) - file),
          call.substr(data + 8, call.rfind('"') - data - 8), call.substr(0, data)};
}

class AddinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Once per process: other test programs share the prefix, and a registration briefly removes
    // the class keys they may be reading.
    static const HRESULT registered = [] {
      HRESULT hr = standintest::RegisterModule(L"VireoStandin.dll");
      if (SUCCEEDED(hr)) hr = standintest::RegisterModule(L"Trigger.dll");
      return hr;
    }();
    ASSERT_HR(S_OK, registered);
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    CLSID clsid;
    ASSERT_HR(S_OK, CLSIDFromProgID(L"Vireo.Standin", &clsid));
    ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVireoStandin,
                                     standin_.PutVoid()));
    project_ = standintest::CopySample(L"addin_test.vpj");
    ASSERT_HR(S_OK, standin_->OpenProject(Bstr(project_.c_str()).Get()));
    ComPtr<IDispatch> application;
    ASSERT_HR(S_OK, standin_->get_Application(application.Put()));
    ASSERT_HR(S_OK, application.As(IID_IVireoApplication, &application_));
  }
  // Every test ends disconnected, with nothing of the host's still held by the add-in.
  void TearDown() override {
    if (!standin_) return;
    standin_->Disconnect();
    EXPECT_EQ(Held(), std::vector<std::string>{}) << Read(&IVireoStandin::get_Journal);
  }

  // What the add-in still held of the host's after its last disconnection: the host's lines,
  // less the one reference the bridge keeps on the evaluator for the life of the process.
  std::vector<std::string> Held() {
    std::vector<std::string> held;
    for (const std::string& line : Lines(Read(&IVireoStandin::get_HeldReferences))) {
      if (line.rfind("Quillon.Evaluation#", 0) == 0 && line.find(": 1 reference") != line.npos) {
        continue;
      }
      held.push_back(line);
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
  bool Connected() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    standin_->get_Connected(&connected);
    return connected == VARIANT_TRUE;
  }
  LONG Cookie() {
    LONG cookie = 0;
    standin_->get_Cookie(&cookie);
    return cookie;
  }

  // A named object of the add-in, through the stand-in (which calls ICommand::GetObject).
  ComPtr<IDispatch> Named(const wchar_t* name) {
    ComPtr<IDispatch> object;
    EXPECT_HR(S_OK, standin_->GetObject(Bstr(name).Get(), object.Put()));
    return object;
  }
  ComPtr<ITriggerAction> Registry() {
    ComPtr<ITriggerAction> registry;
    ComPtr<IDispatch> object = Named(L"Trigger.TriggerAction");
    if (object) {
      EXPECT_HR(S_OK, object.As(IID_ITriggerAction, &registry));
    }
    return registry;
  }
  template <typename Interface>
  ComPtr<Interface> Trigger(ITriggerAction* registry, const wchar_t* name, REFIID iid) {
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry->FindTrigger(Bstr(name).Get(), found.Put()));
    ComPtr<Interface> typed;
    if (found) {
      EXPECT_HR(S_OK, found.As(iid, &typed));
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
  std::string Commands() { return Read(&IVireoStandin::get_Commands); }
  std::string Menus() { return Read(&IVireoStandin::get_Menus); }
  std::string Journal() { return Read(&IVireoStandin::get_SimulatorJournal); }
  std::string Events() { return Read(&IVireoStandin::get_EventList); }
  std::string State() { return Read(&IVireoStandin::get_SimulatorState); }
  // The host's own notes in the log ("Vireo: ..."): what the host found wrong with the add-in.
  std::vector<std::string> HostNotes() {
    std::vector<std::string> notes;
    for (const std::string& line : Lines(Log())) {
      if (line.rfind("Vireo: ", 0) == 0) notes.push_back(line);
    }
    return notes;
  }
  // The add-in's lines in the log, without the host's notes.
  std::vector<std::string> AddinLog() {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(Log())) {
      if (line.rfind("Vireo: ", 0) != 0) lines.push_back(line);
    }
    return lines;
  }
  bool LogHas(const std::string& line) {
    for (const std::string& logged : Lines(Log())) {
      if (logged == line) return true;
    }
    return false;
  }

  // A host service as the add-in obtains it (the application's DISPID 39).
  ComPtr<IDispatch> Service(const wchar_t* name) {
    UniqueVariant result;
    EXPECT_HR(S_OK, standintest::InvokeMember(application_.Get(), 39, DISPATCH_PROPERTYGET,
                                              {standintest::TextArg(name)}, result.Put()));
    ComPtr<IDispatch> service;
    if (V_VT(result.Get()) == VT_DISPATCH) {
      service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
    }
    return service;
  }

  HRESULT LoadTriggers() {
    ComPtr<ITriggerAction> registry = Registry();
    return registry ? registry->LoadTriggers() : E_POINTER;
  }

  std::wstring project_;
  ComPtr<IVireoStandin> standin_;
  ComPtr<IVireoApplication> application_;
};

}  // namespace addintest
