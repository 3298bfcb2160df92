// Connecting an add-in by the ProgIDs of its Connect and Command classes, with the fake add-in:
// the connection sequence as the host sees it, commands, status queries, notifications and named
// objects routed to the add-in, disconnection, and the failures a user must be told about.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/standin/win/standin_test_support.h"

namespace {

using standintest::Bstr;
using standintest::ComPtr;
using standintest::ErrorDescription;
using standintest::InvokeByName;
using standintest::UniqueBstr;

class ConnectionTest : public standintest::StandinTest {
 protected:
  void TearDown() override {
    if (standin_) standin_->Disconnect();
  }

  LONG Connect(VARIANT_BOOL first_time, HRESULT expected = S_OK) {
    LONG result = -1;
    EXPECT_HR(expected, standin_->Connect(Bstr(L"StandinTest.Connect").Get(),
                                          Bstr(L"StandinTest.Command").Get(), first_time, &result));
    return result;
  }
  bool Connected() {
    VARIANT_BOOL connected = VARIANT_FALSE;
    standin_->get_Connected(&connected);
    return connected == VARIANT_TRUE;
  }
  bool LogHas(const std::string& line) {
    return ("\n" + Log()).find("\n" + line + "\n") != std::string::npos;
  }
};

TEST_F(ConnectionTest, AFirstConnectionRegistersImagesCommandMenusAndButton) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  EXPECT_TRUE(Connected());
  LONG cookie = 0;
  standin_->get_Cookie(&cookie);
  EXPECT_GT(cookie, 0);
  const std::string c = std::to_string(cookie);
  EXPECT_EQ(Read(&IVireoStandin::get_Commands),
            "AddCommandImages(StandinFakeAddin.dll, 14313, 14312, image 40, 1, " + c +
                ")\n"
                "AddCommand(\"Fake command\", 54201, 1, " +
                c +
                ")\n"
                "AddToolbarButton(\"Fake menu\", image 40, 1, " +
                c + ")\n");
  EXPECT_EQ(Read(&IVireoStandin::get_Menus),
            "AddPopupMenu(\"Fake menu\", 0, 1024, menu, \"Fake entries\", " + c +
                ")\n"
                "AddMenuItem(\"Fake entry\", 0, 1024, 54201, 1, " +
                c + ")\n");
  // The add-in reached the log through Tamber.Service, by member name.
  EXPECT_TRUE(LogHas("fake: connected, first time -1, cookie " + c + ", image 40")) << Log();
}

TEST_F(ConnectionTest, ALaterConnectionSkipsTheImagesAndEveryConnectionHasItsOwnCookie) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  LONG first = 0, second = 0;
  standin_->get_Cookie(&first);
  ASSERT_HR(S_OK, standin_->Disconnect());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  ASSERT_EQ(Connect(VARIANT_FALSE), 0);
  standin_->get_Cookie(&second);
  EXPECT_NE(first, second);
  const std::string commands = Read(&IVireoStandin::get_Commands);
  EXPECT_EQ(commands.find("AddCommandImages"), std::string::npos) << commands;
  EXPECT_NE(commands.find("AddToolbarButton(\"Fake menu\", image 40,"), std::string::npos)
      << commands;
}

TEST_F(ConnectionTest, CommandsStatusNotificationsAndObjectsReachTheAddin) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  ASSERT_HR(S_OK, standin_->ClearCalls());
  LONG status = 0;
  EXPECT_HR(S_OK, standin_->QueryStatus(54201, 0, &status));
  EXPECT_EQ(status, 1);
  EXPECT_HR(S_OK, standin_->QueryStatus(54202, 7, &status));
  EXPECT_EQ(status, 7);  // left as the host set it

  EXPECT_HR(S_OK, standin_->Exec(54201));
  EXPECT_HR(S_OK, standin_->OnEvent(0x2002));  // the debugger starts: memory service held
  EXPECT_HR(S_OK, standin_->Exec(54201));
  EXPECT_HR(S_OK, standin_->OnEvent(0x2003));
  EXPECT_HR(S_OK, standin_->Exec(54201));
  EXPECT_EQ(Calls(),
            "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n"
            "TriggersChanged()\n"
            "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n"
            "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n");
  EXPECT_TRUE(LogHas("fake: OnEvent 0x2002")) << Log();

  ComPtr<IDispatch> none;
  EXPECT_HR(S_OK, standin_->GetObject(Bstr(L"Trigger.Nothing").Get(), none.Put()));
  EXPECT_FALSE(none);
  ComPtr<IDispatch> registry;
  ASSERT_HR(S_OK, standin_->GetObject(Bstr(L"Trigger.TriggerAction").Get(), registry.Put()));
  ASSERT_TRUE(registry);
  EXPECT_HR(S_OK, InvokeByName(registry.Get(), L"LoadTriggers", DISPATCH_METHOD));
  EXPECT_TRUE(LogHas("fake: loaded 13 of 13 triggers")) << Log();
  const std::string events = Read(&IVireoStandin::get_EventList);
  EXPECT_EQ(events.substr(0, 25), "100 tick\n101 tick_ack\n102") << events;
  const std::string records = Read(&IVireoStandin::get_DecodedRecords);
  EXPECT_EQ(records.substr(0, records.find('\n')),
            "id 100 interrupt: source 0x0000 cycle 0 wait 0");
  EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 13);
  // Loading defines without marking the project modified.
  VARIANT_BOOL modified = VARIANT_TRUE;
  standin_->get_Modified(&modified);
  EXPECT_EQ(modified, VARIANT_FALSE);
}

TEST_F(ConnectionTest, DisconnectionWithdrawsTheWindowKindAndEndsTheRouting) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  ASSERT_HR(S_OK, standin_->ClearCalls());
  EXPECT_HR(S_OK, standin_->Disconnect());
  EXPECT_FALSE(Connected());
  EXPECT_EQ(Calls(), "RemoveWindowKind(\"115001\")\n");
  EXPECT_TRUE(LogHas("fake: disconnected")) << Log();
  EXPECT_HR(S_FALSE, standin_->Disconnect());
  LONG status = 5;
  EXPECT_HR(E_UNEXPECTED, standin_->QueryStatus(54201, 0, &status));
  EXPECT_EQ(ErrorDescription(), "no add-in is connected");
  EXPECT_HR(E_UNEXPECTED, standin_->Exec(54201));
  EXPECT_HR(E_UNEXPECTED, standin_->OnEvent(0x2011));
}

TEST_F(ConnectionTest, AnAddinThatRefusesIsNotConnected) {
  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L"AddMenuItem").Get()));
  EXPECT_EQ(Connect(VARIANT_TRUE), 1);
  EXPECT_FALSE(Connected());
  EXPECT_TRUE(LogHas("Vireo: the add-in refused the connection (OnConnection returned 1)"))
      << Log();
  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L"").Get()));
  EXPECT_EQ(Connect(VARIANT_FALSE), 0);
  EXPECT_TRUE(Connected());
}

TEST_F(ConnectionTest, FailuresToConnectSayWhatWentWrong) {
  struct Case {
    const wchar_t* connect;
    const wchar_t* command;
    HRESULT hr;
    const char* description;
  };
  const Case cases[] = {
      {L"Nobody.Connect", L"StandinTest.Command", CO_E_CLASSSTRING,
       "the add-in class \"Nobody.Connect\" is not registered (register its DLL with regsvr32 "
       "first) (0x800401F3)"},
      {L"StandinTest.Connect", L"Nobody.Command", CO_E_CLASSSTRING,
       "the add-in class \"Nobody.Command\" is not registered (register its DLL with regsvr32 "
       "first) (0x800401F3)"},
      {L"StandinTest.Command", L"StandinTest.Command", E_NOINTERFACE,
       "\"StandinTest.Command\" has no IConnect interface (0x80004002)"},
  };
  for (const Case& c : cases) {
    LONG result = -1;
    EXPECT_HR(c.hr, standin_->Connect(Bstr(c.connect).Get(), Bstr(c.command).Get(), VARIANT_TRUE,
                                      &result));
    EXPECT_EQ(ErrorDescription(), c.description);
    EXPECT_FALSE(Connected());
  }
  EXPECT_EQ(Calls(), "");  // nothing reached the add-in

  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  Connect(VARIANT_TRUE, E_UNEXPECTED);
  EXPECT_EQ(ErrorDescription(), "an add-in is connected already; disconnect it first");
}

}  // namespace
