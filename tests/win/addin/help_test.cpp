// Help, the host's log and the version as the add-in reaches them: help paths by the project's
// CPU family through the stand-in, HTML Help (Wine's and a fake one), WriteLog on hosts without
// a log, and the version of a module with and without a version resource.
#include "win/host/help.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <urlmon.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/addin/help_path.h"
#include "core/bridge/host_access.h"
#include "tests/win/addin/addin_test_support.h"
#include "win/com/version_object.h"
#include "win/host/com_host.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;

class HelpTest : public addintest::AddinTest {
 protected:
  void SetSetting(const wchar_t* key, const wchar_t* value) {
    ASSERT_HR(S_OK,
              standin_->WriteSetting(Bstr(L"Project").Get(), Bstr(key).Get(), Bstr(value).Get()));
  }
};

TEST_F(HelpTest, TheHelpPathFollowsTheProjectsCpuFamily) {
  const struct {
    const wchar_t* family;
    const char* path;
  } cases[] = {
      {L"Orvex-1", "Vireo1.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"Orvex-2", "Vireo2.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"Orvex-3", "Vireo3.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"Orvex-4", "Vireo4.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"Orvex-5", "Vireo5.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"Orvex-6", "Vireo6.chm::\\html\\SIM_DLG_IntTrg.htm"},
      {L"ORVEX-6", "html\\SIM_DLG_IntTrg.htm"},
      {L"VX16", "html\\SIM_DLG_IntTrg.htm"},
  };
  for (const auto& c : cases) {
    SetSetting(L"CpuFamily", c.family);
    EXPECT_EQ(win::host::BuildHelpPath(application_.Get(), core::addin::kInterruptDialogTopic),
              c.path)
        << addintest::Narrow(Bstr(c.family).Get());
  }
  EXPECT_TRUE(HostNotes().empty()) << Log();
}

// A host application with nothing behind it: no member names, no services.
class BareHost : public IDispatch {
 public:
  // With a log service whose members are unknown, when set.
  IDispatch* log_service = nullptr;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (id == win::host::kGetServiceDispid && result && log_service) {
      log_service->AddRef();
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = log_service;
    }
    return S_OK;  // VT_EMPTY: nothing
  }
};

TEST(HostAccess, WriteLogWithoutALogService) {
  core::bridge::HostAccess host;
  EXPECT_HR(DISP_E_UNKNOWNINTERFACE, host.WriteLog("before any connection"));

  BareHost bare;
  host.SetApplication(win::host::MakeHostApplication(&bare));
  EXPECT_HR(DISP_E_UNKNOWNINTERFACE, host.WriteLog("a host without Tamber.Service"));

  BareHost dumb_log;  // answers no member names
  bare.log_service = &dumb_log;
  EXPECT_HR(DISP_E_UNKNOWNNAME, host.WriteLog("a log without AddLogString"));
}

TEST(HelpPath, AHostWithoutTheObjectMemberGivesNoPath) {
  BareHost bare;
  EXPECT_EQ(win::host::BuildHelpPath(&bare, core::addin::kTriggerWindowTopic), "");
  EXPECT_EQ(win::host::BuildHelpPath(nullptr, core::addin::kTriggerWindowTopic), "");
}

TEST_F(HelpTest, ShowHelpOpensTheTopicInTheHostsHelpFile) {
  SetSetting(L"CpuFamily", L"Orvex-2");
  SetSetting(L"HelpPath", L"Z:\\help\\vireo");
  win::host::HtmlHelp help({L"FakeHtmlHelp.dll"});
  EXPECT_EQ(win::host::ShowHelp(application_.Get(), core::addin::kTriggerWindowTopic, help),
            reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)));
  EXPECT_FALSE(help.Disabled());
  const addintest::HelpCall call = addintest::LastHelpCall();
  EXPECT_EQ(call.owner_file_command, "owner 0, file \"Z:\\help\\vireo\", command 0");
  EXPECT_EQ(call.data, "Vireo2.chm::\\html\\SIM_WIN_Trigger.htm");
  EXPECT_EQ(win::host::ShowHelp(nullptr, core::addin::kTriggerWindowTopic, help), nullptr);
}

// The compiled-help storage of Windows (itss.dll), which the help viewer reads help files with.
struct IITStorage : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD,
                                                                 IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority,
                                                   DWORD mode, SNB exclude, DWORD reserved,
                                                   IStorage** opened) = 0;
  // Further methods are not called.
};
constexpr CLSID kClsidITStorage = {
    0x5D02926A, 0x212E, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};
constexpr IID kIidITStorage = {
    0x88CC31DE, 0x27AB, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};

// A page inside a compiled help file ("html/index.htm"); empty when the file or the page is
// missing.
std::string ReadHelpPage(const std::string& help_file, const std::string& page) {
  constexpr DWORD kRead = STGM_READ | STGM_SHARE_DENY_WRITE;
  ComPtr<IITStorage> its;
  ComPtr<IStorage> storage;
  if (FAILED(CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage,
                              its.PutVoid())) ||
      FAILED(its->StgOpenStorage(std::wstring(help_file.begin(), help_file.end()).c_str(), nullptr,
                                 kRead, nullptr, 0, storage.Put()))) {
    return {};
  }
  std::string path = page;
  for (size_t slash; (slash = path.find('/')) != std::string::npos; path.erase(0, slash + 1)) {
    const std::wstring folder(path.begin(), path.begin() + slash);
    ComPtr<IStorage> inner;
    if (FAILED(storage->OpenStorage(folder.c_str(), nullptr, kRead, nullptr, 0, inner.Put()))) {
      return {};
    }
    storage = std::move(inner);
  }
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(std::wstring(path.begin(), path.end()).c_str(), nullptr, kRead, 0,
                                 stream.Put()))) {
    return {};
  }
  std::string text;
  char buffer[4096];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
    text.append(buffer, read);
  return text;
}

std::string ReadSourceFile(const std::string& path) {
  std::string text;
  if (FILE* file = _wfopen(standintest::WindowsPath(path.c_str()).c_str(), L"rb")) {
    char buffer[4096];
    for (size_t read; (read = fread(buffer, 1, sizeof buffer, file)) > 0;)
      text.append(buffer, read);
    fclose(file);
  }
  return text;
}

TEST_F(HelpTest, EveryTopicOpensFromTheStandinsHelpForEveryCpuFamily) {
  win::host::HtmlHelp help({L"FakeHtmlHelp.dll"});
  for (const wchar_t* family :
       {L"Orvex-1", L"Orvex-2", L"Orvex-3", L"Orvex-4", L"Orvex-5", L"Orvex-6", L"VX16"}) {
    SetSetting(L"CpuFamily", family);
    for (const char* topic : core::addin::kHelpTopics) {
      SCOPED_TRACE(addintest::Narrow(Bstr(family).Get()) + " " + topic);
      ASSERT_NE(win::host::ShowHelp(application_.Get(), topic, help), nullptr);
      const addintest::HelpCall call = addintest::LastHelpCall();
      // HTML Help is handed the host's help file; a family's help file named in the path before
      // "::" is the file of that name beside it.
      std::string help_file = call.file;
      std::string page = call.data;
      if (const size_t split = page.find("::\\"); split != std::string::npos) {
        help_file = help_file.substr(0, help_file.find_last_of('\\') + 1) + page.substr(0, split);
        page = page.substr(split + 3);
      }
      std::replace(page.begin(), page.end(), '\\', '/');
      const std::string source = ReadSourceFile(TRIGGER_HELP_SOURCE_DIR "/" + page);
      ASSERT_FALSE(source.empty()) << page << " is not in the help's sources";
      EXPECT_TRUE(ReadHelpPage(help_file, page) == source)
          << page << " is not in " << help_file << " as written in its sources";
    }
  }
}

TEST(HtmlHelp, TheRegisteredControlIsLoadedAndCalled) {
  const std::wstring registered = win::host::RegisteredHtmlHelpPath();
  ASSERT_FALSE(registered.empty()) << "Wine registers its hhctrl.ocx";
  EXPECT_EQ(CompareStringOrdinal(registered.c_str() + registered.size() - 10, 10, L"hhctrl.ocx", 10,
                                 TRUE),
            CSTR_EQUAL)
      << addintest::Narrow(Bstr(registered.c_str()).Get());
  win::host::HtmlHelp help;
  // A help file that does not exist opens nothing, but the entry point was found and called.
  EXPECT_EQ(help.Call("Z:\\no\\such\\help.chm", win::host::kDisplayTopic,
                      reinterpret_cast<DWORD_PTR>("html\\SIM_WIN_Trigger.htm")),
            nullptr);
  EXPECT_FALSE(help.Disabled());
  const std::wstring loaded = help.LoadedFrom();
  EXPECT_EQ(CompareStringOrdinal(loaded.c_str(), -1, registered.c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST(HtmlHelp, AModuleThatDoesNotLoadIsPassedOver) {
  win::host::HtmlHelp help({L"NoSuchHelpControl.ocx", L"FakeHtmlHelp.dll"});
  EXPECT_NE(help.Call("file", win::host::kDisplayTopic, 0), nullptr);
  EXPECT_NE(help.LoadedFrom().find(L"FakeHtmlHelp.dll"), std::wstring::npos);
}

TEST(HtmlHelp, OneFailureTurnsHelpOffForGood) {
  const std::vector<std::wstring> cases[] = {
      {L"NoSuchHelpControl.ocx"},
      // A module that loads but lacks export number 14 ends the search.
      {L"TriggerRES.dll", L"FakeHtmlHelp.dll"},
  };
  for (const auto& modules : cases) {
    SCOPED_TRACE(addintest::Narrow(Bstr(modules[0].c_str()).Get()));
    win::host::HtmlHelp help(modules);
    EXPECT_EQ(help.Call("file", win::host::kDisplayTopic, 0), nullptr);
    EXPECT_TRUE(help.Disabled());
    EXPECT_EQ(help.Call("file", win::host::kDisplayTopic, 0), nullptr);
    EXPECT_TRUE(help.LoadedFrom().empty());
  }
}

std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

TEST(Version, TheModulesProductVersionOrTheDefault) {
  LONG major = 0, minor = 0;
  HMODULE trigger = LoadLibraryW(L"Trigger.dll");
  ASSERT_NE(trigger, nullptr);
  win::com::ModuleVersion(ModuleFile(trigger), &major, &minor);
  // The version of the file VERSION.
  EXPECT_EQ(major, TRIGGER_VERSION_MAJOR << 16 | TRIGGER_VERSION_MINOR);
  EXPECT_EQ(minor, TRIGGER_VERSION_BUILD << 16 | TRIGGER_VERSION_REVISION);
  FreeLibrary(trigger);

  // This test program has no version resource.
  const std::wstring self = ModuleFile(nullptr);
  major = minor = 7;
  EXPECT_FALSE(win::com::ReadProductVersion(self, &major, &minor));
  EXPECT_EQ(major, 7);
  EXPECT_EQ(minor, 7);
  win::com::ModuleVersion(self, &major, &minor);
  EXPECT_EQ(major, 0x00010000);
  EXPECT_EQ(minor, 1);
  win::com::ModuleVersion(L"", &major, &minor);
  EXPECT_EQ(major, 0x00010000);
  EXPECT_EQ(minor, 1);
}

}  // namespace
