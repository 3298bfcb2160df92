// Help and the host's log as the add-in reaches them without a host that has the members or
// services it asks for, and HTML Help: Wine's control, and a fake one that records its calls.
#include "win/host/help.h"

#include <gtest/gtest.h>

#include "core/addin/help_path.h"
#include "core/bridge/host_access.h"
#include "tests/win/support/win_test.h"
#include "win/host/com_host.h"

namespace {

using namespace wintest;

// A host application with nothing behind it: no member names, and no services unless given one.
class BareHost : public IDispatch {
 public:
  IDispatch* log_service = nullptr;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
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
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = log_service;
    }
    return S_OK;  // VT_EMPTY: nothing
  }
};

TEST(BareHost, NeitherLogNorHelpPathWithoutTheirMembers) {
  core::bridge::HostAccess host;
  EXPECT_HR(DISP_E_UNKNOWNINTERFACE, host.WriteLog("before any connection"));
  BareHost bare, dumb_log;
  host.SetApplication(win::host::MakeHostApplication(&bare));
  EXPECT_HR(DISP_E_UNKNOWNINTERFACE, host.WriteLog("a host without Tamber.Service"));
  bare.log_service = &dumb_log;
  EXPECT_HR(DISP_E_UNKNOWNNAME, host.WriteLog("a log without AddLogString"));
  EXPECT_EQ(win::host::BuildHelpPath(&bare, core::addin::kTriggerWindowTopic), "");
  EXPECT_EQ(win::host::BuildHelpPath(nullptr, core::addin::kTriggerWindowTopic), "");
  win::host::HtmlHelp help({L"FakeHtmlHelp.dll"});
  EXPECT_EQ(win::host::ShowHelp(nullptr, core::addin::kTriggerWindowTopic, help), nullptr);
}

TEST(HtmlHelp, TheRegisteredControlIsLoadedAndCalled) {
  const std::wstring registered = win::host::RegisteredHtmlHelpPath();
  ASSERT_GT(registered.size(), 10u) << "Wine registers its hhctrl.ocx";
  EXPECT_EQ(_wcsicmp(registered.c_str() + registered.size() - 10, L"hhctrl.ocx"), 0);
  win::host::HtmlHelp help;
  // A help file that does not exist opens nothing, but the entry point was found and called.
  EXPECT_EQ(help.Call("Z:\\no\\such\\help.chm", win::host::kDisplayTopic,
                      reinterpret_cast<DWORD_PTR>("html\\SIM_WIN_Trigger.htm")),
            nullptr);
  EXPECT_FALSE(help.Disabled());
  EXPECT_EQ(_wcsicmp(help.LoadedFrom().c_str(), registered.c_str()), 0);
}

TEST(HtmlHelp, AModuleThatDoesNotLoadIsPassedOverAndOneWithoutTheEntryEndsHelp) {
  win::host::HtmlHelp fallback({L"NoSuchHelpControl.ocx", L"FakeHtmlHelp.dll"});
  EXPECT_NE(fallback.Call("file", win::host::kDisplayTopic, 0), nullptr);
  EXPECT_NE(fallback.LoadedFrom().find(L"FakeHtmlHelp.dll"), std::wstring::npos);
  // One failure turns help off for good; a module that loads but lacks export 14 ends the search.
  for (const auto& modules : {std::vector<std::wstring>{L"NoSuchHelpControl.ocx"},
                              std::vector<std::wstring>{L"TriggerRES.dll", L"FakeHtmlHelp.dll"}}) {
    win::host::HtmlHelp help(modules);
    EXPECT_EQ(help.Call("file", win::host::kDisplayTopic, 0), nullptr) << Narrow(modules[0]);
    EXPECT_TRUE(help.Disabled());
    EXPECT_EQ(help.Call("file", win::host::kDisplayTopic, 0), nullptr);
    EXPECT_TRUE(help.LoadedFrom().empty());
  }
}

}  // namespace
