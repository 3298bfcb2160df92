// The trigger window of Trigger.dll in the host stand-in, driven by messages as a user would: the
// trigger command opens and activates it, its rows are the trigger list, and its commands reach
// the registry and the simulator; closing and disconnecting leave nothing behind.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/win/addin/addin_test_support.h"
#include "tests/win/soak/process_resources.h"
#include "tests/win/ui/window_test_support.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using windowtest::ListOf;
using windowtest::Pump;
using windowtest::TriggerFrames;

constexpr UINT kActivate = 54207, kDeactivate = 54208, kFire = 54212, kReset = 54213;
constexpr UINT kDelete = 54205;

class TriggerWindowTest : public addintest::AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_EQ(Connect(), 0);
    ASSERT_HR(S_OK, LoadTriggers());
  }
  void TearDown() override {
    AddinTest::TearDown();  // disconnecting closes the window
    Pump();
    EXPECT_TRUE(TriggerFrames().empty());
  }

  // The trigger command, as the host's menu runs it; the one frame it opened.
  HWND Open(HWND client = nullptr) {
    EXPECT_HR(S_OK, standin_->Exec(54201));
    Pump();
    const std::vector<HWND> frames = TriggerFrames(client);
    EXPECT_EQ(frames.size(), 1u);
    return frames.empty() ? nullptr : frames.front();
  }

  std::vector<std::string> ExportedRows() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"trigger_window_test.txt";
    EXPECT_HR(S_OK, Registry()->ExportTriggerList(Bstr(path.c_str()).Get()));
    std::ifstream in(addintest::Narrow(Bstr(path.c_str()).Get()));
    std::vector<std::string> rows;
    for (std::string line; std::getline(in, line);) rows.push_back(line);
    // The count and the header first.
    return rows.size() > 2 ? std::vector<std::string>(rows.begin() + 2, rows.end()) : rows;
  }
};

TEST_F(TriggerWindowTest, TheCommandOpensOneWindowAndThenActivatesIt) {
  const HWND frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(windowtest::WindowText(frame), "Triggers") << "never decorated";
  EXPECT_FALSE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_MDICHILD)
      << "no MDI client in this process: a top-level window";
  EXPECT_NE(GetMenu(frame), nullptr);
  EXPECT_EQ(windowtest::RowCount(ListOf(frame)), 13);

  // Another window takes the activation; the command brings the trigger window back.
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  Pump();
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(Open(), frame);
  EXPECT_EQ(GetActiveWindow(), frame);
  DestroyWindow(other);
}

TEST_F(TriggerWindowTest, ItOpensAsAnMdiChildOfTheHostsMdiClient) {
  windowtest::MdiFrame host;
  const HWND frame = Open(host.client());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetParent(frame), host.client());
  EXPECT_TRUE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(GetMenu(host.frame()), nullptr) << "the host's menu bar is the host's";
  EXPECT_EQ(host.ActiveChild(), frame);
  EXPECT_TRUE(TriggerFrames().empty()) << "no top-level window besides";
  windowtest::Screenshot(host.frame(), "trigger_window_mdi");

  // The pointer over a toolbar button puts its prompt in the host's status bar.
  const HWND toolbar = GetDlgItem(frame, 103);
  RECT button = {};
  SendMessageW(toolbar, TB_GETRECT, kDelete, reinterpret_cast<LPARAM>(&button));
  SendMessageW(toolbar, WM_MOUSEMOVE, 0,
               MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2));
  EXPECT_EQ(windowtest::MdiFrame::prompt, "Delete the selected triggers");
  SetCursorPos(0, 0);  // the pointer is elsewhere: the host's idle text comes back
  windowtest::PumpFor(500);
  EXPECT_EQ(windowtest::MdiFrame::prompt, "(idle)");

  // A minimized window comes back restored and active.
  SendMessageW(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  ASSERT_TRUE(IsIconic(frame));
  EXPECT_EQ(Open(host.client()), frame);
  EXPECT_FALSE(IsIconic(frame));
  EXPECT_EQ(host.ActiveChild(), frame);

  const HWND other = host.AddChild();
  Pump();
  ASSERT_EQ(host.ActiveChild(), other);
  ASSERT_HR(S_OK, standin_->ClearCalls());
  EXPECT_EQ(Open(host.client()), frame);
  EXPECT_EQ(host.ActiveChild(), frame) << "WM_MDIACTIVATE";
  // Activation by the command is no mouse activation: the host is not told.
  EXPECT_EQ(Calls().find("AddinWindowActive"), std::string::npos) << Calls();
  // Closing the MDI child closes the window; the command opens it anew.
  SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(frame));
  const HWND again = Open(host.client());
  ASSERT_HR(S_OK, standin_->Disconnect());
  Pump();
  EXPECT_FALSE(IsWindow(again));
}

TEST_F(TriggerWindowTest, TheRowsAreTheTriggerList) {
  ASSERT_HR(S_OK, standin_->ClearCalls());
  const HWND frame = Open();
  ASSERT_NE(frame, nullptr);
  const std::vector<std::string> rows = windowtest::RowLines(ListOf(frame));
  EXPECT_EQ(rows, ExportedRows());
  ASSERT_EQ(rows.size(), 13u);
  EXPECT_EQ(rows[0], "0, InActivate, tick, Interrupt, TIMER0_OVF, -, -, -, -, -, 1000, 10, -");
  // One rebuild tells the host once.
  EXPECT_EQ(Calls(), "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n");
  windowtest::Screenshot(frame, "trigger_window");
}

TEST_F(TriggerWindowTest, DeletingSelectedRowsGoesOnPastARefusal) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  ASSERT_EQ(windowtest::ItemText(list, 5, 2), "uart_hello");
  // The debugger forgot the event of trigger 105: the simulator cannot drop it.
  ComPtr<IVireoEventCommand> events;
  ASSERT_HR(S_OK, Service(L"Marlin.EventCommand").As(IID_IVireoEventCommand, &events));
  ASSERT_HR(S_OK, events->RemoveEventName(105));

  windowtest::Select(list, {2, 5, 8});
  Pump();
  {
    windowtest::DialogScript boxes;
    windowtest::ClickToolbarButton(frame, kDelete);
    Pump();
    EXPECT_EQ(boxes.seen, (std::vector<std::string>{
                              "TriggerAction Error: Can not delete TriggerAction associated with "
                              "event"}));
  }
  const std::vector<std::string> names = windowtest::Column(list, 2);
  EXPECT_EQ(names, (std::vector<std::string>{"tick", "tick_ack", "port0_in", "rx_to_tx",
                                             "uart_hello", "port1_wave", "start_all", "stop_wave",
                                             "uart_rx", "adc_samples", "adc_noise"}));
  ComPtr<IUnknown> gone;
  EXPECT_HR(S_OK, Registry()->FindTrigger(Bstr(L"status_poll").Get(), gone.Put()));
  EXPECT_FALSE(gone);
  EXPECT_EQ(State().find("108 "), std::string::npos) << "notify_host left the simulator";
}

// A save renumbers the triggers without moving them, so rows may show numbers below their slots;
// every command must still act on the row the user picked. A deletion the simulator refuses
// leaves the trigger whole, and the same deletion succeeds once the simulator accepts.
TEST_F(TriggerWindowTest, AfterASaveCommandsActOnTheRowTheUserPicked) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  const auto row_of = [&](const std::string& name) {
    const std::vector<std::string> names = windowtest::Column(list, 2);
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  const auto press = [&](WPARAM key) {
    SendMessageW(list, WM_KEYDOWN, key, 0);
    Pump();
  };
  windowtest::Select(list, {row_of("tick_ack")});
  press(VK_DELETE);
  ASSERT_HR(S_OK, Registry()->SaveTriggers());
  ASSERT_HR(S_OK, standin_->Activate(-1));  // Debug > Activate All Triggers
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  ASSERT_EQ(
      windowtest::Column(list, 0),
      (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));

  windowtest::Select(list, {row_of("port0_in")});
  press(VK_DELETE);
  std::vector<std::string> names = windowtest::Column(list, 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), "port0_in"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "status_poll"), 1);

  {
    windowtest::DialogScript dialogs;  // answers OK: the trigger is written back as it was
    windowtest::Select(list, {row_of("uart_hello")});
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    windowtest::PumpFor(200);
    ASSERT_EQ(dialogs.seen.size(), 1u);
    EXPECT_EQ(dialogs.seen[0].rfind("Stream Trigger", 0), 0u) << dialogs.seen[0];
  }
  EXPECT_EQ(windowtest::Column(list, 2), names) << "uart_hello was edited, not a new trigger made";

  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L"SimCommand(0x0101)").Get()));
  {
    windowtest::DialogScript boxes;
    windowtest::Select(list, {row_of("uart_hello")});
    press(VK_DELETE);
    EXPECT_EQ(boxes.seen.size(), 1u);
  }
  EXPECT_NE(Events().find("uart_hello"), std::string::npos) << "the event keeps its name";
  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L"").Get()));
  windowtest::Select(list, {row_of("uart_hello")});
  press(VK_DELETE);
  names = windowtest::Column(list, 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), "uart_hello"), 0);
}

TEST_F(TriggerWindowTest, SimulatorCommandsReachTheSimulatorForEachSelectedRow) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  // tick (100) and port1_wave (106).
  const auto select = [&] {
    windowtest::Select(list, {0, 6});
    Pump();  // the toolbar follows the selection once the queue is idle
  };
  select();
  windowtest::ClickToolbarButton(frame, kActivate);
  VARIANT_BOOL active = VARIANT_FALSE;
  ASSERT_HR(S_OK, standin_->IsActive(106, &active));
  EXPECT_EQ(active, VARIANT_TRUE);
  EXPECT_EQ(windowtest::ItemText(list, 0, 1), "Activate");
  EXPECT_EQ(windowtest::ItemText(list, 6, 1), "Activate");
  EXPECT_EQ(windowtest::ItemText(list, 5, 1), "InActivate");

  select();
  windowtest::ClickToolbarButton(frame, kFire);
  LONG fired = 0;
  ASSERT_HR(S_OK, standin_->FireCount(100, &fired));
  EXPECT_EQ(fired, 1);
  select();
  windowtest::ClickToolbarButton(frame, kDeactivate);
  EXPECT_EQ(windowtest::ItemText(list, 6, 1), "InActivate");
  select();
  windowtest::ClickToolbarButton(frame, kReset);
  ASSERT_HR(S_OK, standin_->FireCount(100, &fired));
  EXPECT_EQ(fired, 0);

  // Nothing selected: the toolbar's simulator commands are off.
  windowtest::Select(list, {});
  Pump();
  const HWND toolbar = GetDlgItem(frame, 103);
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, kActivate, 0));
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, kDelete, 0));
  EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, 54202, 0));
}

TEST_F(TriggerWindowTest, TheDebuggersRefreshNoticeUpdatesTheStatus) {
  const HWND list = ListOf(Open());
  ASSERT_HR(S_OK, standin_->Activate(104));  // the debugger activates rx_to_tx
  EXPECT_EQ(windowtest::ItemText(list, 4, 1), "InActivate");
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  EXPECT_EQ(windowtest::ItemText(list, 4, 1), "Activate");
}

TEST_F(TriggerWindowTest, MouseActivationTellsTheHost) {
  const HWND frame = Open();
  ASSERT_HR(S_OK, standin_->ClearCalls());
  SendMessageW(frame, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame),
               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(Calls(), "AddinWindowActive = 0\n");
}

TEST_F(TriggerWindowTest, OpeningAndClosingLeavesNoHandlesAndTheModuleUnloadable) {
  // A first cycle loads what the process keeps (classes, fonts, the common controls).
  const HWND first = Open();
  SendMessageW(first, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  ASSERT_TRUE(TriggerFrames().empty());

  // GetGuiResources counts nothing under Wine: the process's handle tables are walked there.
  const soaktest::ProcessResources before = soaktest::MeasureProcessResources();
  for (int cycle = 0; cycle < 3; ++cycle) {
    const HWND frame = Open();
    windowtest::Select(ListOf(frame), {1});
    windowtest::Capture(frame);  // painted
    SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
  }
  EXPECT_TRUE(TriggerFrames().empty());
  const soaktest::ProcessResources after = soaktest::MeasureProcessResources();
  EXPECT_EQ(after.gdi, before.gdi) << soaktest::GdiChanges(before, after);
  EXPECT_EQ(after.user, before.user) << soaktest::UserChanges(before, after);

  // Disconnecting closes a window that is open.
  Open();
  ASSERT_HR(S_OK, standin_->Disconnect());
  Pump();
  EXPECT_TRUE(TriggerFrames().empty());
  standin_.Reset();
  application_.Reset();
  CoFreeUnusedLibraries();
  EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow());
}

}  // namespace
