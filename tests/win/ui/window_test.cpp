// The trigger window of Trigger.dll in the host stand-in, on a display, driven by messages as a
// user would: the trigger command opens and activates it, top-level or in the IDE's MDI client;
// its rows are the trigger list; its commands, keys, menus and dialogs reach the registry and the
// simulator; F1 opens help at the right topic; it draws its rows itself; and opening and closing
// it, or failing to, leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/win/support/process_resources.h"
#include "tests/win/support/ui_test.h"
#include "win/resources/dialog_ids.h"

namespace {

using namespace wintest;
using Strings = std::vector<std::string>;

class TriggerWindowTest : public WindowTest {
 protected:
  int RowOf(HWND list, const std::string& name) {
    const Strings names = Column(list, 2);
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  }
};

TEST_F(TriggerWindowTest, TheCommandOpensOneTopLevelWindowOfTheTriggerListAndThenActivatesIt) {
  ASSERT_HR(S_OK, standin_->ClearCalls());
  const HWND frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(frame), "Triggers");
  EXPECT_FALSE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_MDICHILD) << "no MDI client here";
  EXPECT_NE(GetMenu(frame), nullptr);
  // The rows are the list the registry exports; one rebuild tells the host once.
  const std::wstring path = TempPath(L"window_test.txt");
  ASSERT_HR(S_OK, registry_->ExportTriggerList(Bstr(path).Get()));
  const Strings rows = Lines(ReadFile(path));
  ASSERT_EQ(RowCount(ListOf(frame)) + 2u, rows.size()) << "the count and the header first";
  for (int row = 0; row < 13; ++row) EXPECT_EQ(RowLine(ListOf(frame), row), rows[row + 2u]);
  EXPECT_EQ(Calls(), "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n");

  const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  Pump();
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(Open(), frame);
  EXPECT_EQ(GetActiveWindow(), frame);
  DestroyWindow(other);
  // A click into the window tells the host it is the active add-in window.
  ASSERT_HR(S_OK, standin_->ClearCalls());
  SendMessageW(frame, WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(Calls(), "AddinWindowActive = 0\n");
}

TEST_F(TriggerWindowTest, ItOpensAsAnMdiChildOfTheIdeAndPromptsInItsStatusBar) {
  const HWND ide = Ide();
  const HWND client = GetDlgItem(ide, IDC_MDI_CLIENT);
  const auto active = [&] {
    return reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
  };
  const HMENU ide_menu = GetMenu(ide);
  const HWND frame = Open(client);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_MDICHILD);
  EXPECT_EQ(GetMenu(ide), ide_menu) << "the IDE's menu bar is the IDE's";
  EXPECT_EQ(active(), frame);
  EXPECT_TRUE(TriggerFrames().empty()) << "no top-level window besides";

  // The pointer over a toolbar button puts its prompt in the IDE's status bar; elsewhere, the
  // IDE's idle text comes back.
  const HWND toolbar = GetDlgItem(frame, IDC_TRIGGER_TOOLBAR);
  const auto status = [&] {
    char text[256] = "";
    SendMessageA(GetDlgItem(ide, IDC_STATUS_BAR), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  RECT button = {};
  SendMessageW(toolbar, TB_GETRECT, ID_TRIGGER_DELETE, reinterpret_cast<LPARAM>(&button));
  SendMessageW(toolbar, WM_MOUSEMOVE, 0,
               MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2));
  EXPECT_EQ(status(), "Delete the selected triggers");
  SendMessageW(frame, WM_MENUSELECT, MAKEWPARAM(ID_TRIGGER_FIRE, MF_STRING),
               reinterpret_cast<LPARAM>(ide_menu));  // so does the item a menu highlights
  EXPECT_EQ(status(), "Fire the selected triggers once");
  SetCursorPos(0, 0);
  EXPECT_TRUE(PumpUntil([&] { return status() == "Ready"; })) << status();

  // A minimized window comes back restored and active; so does one behind another child, and
  // the host is told of no mouse activation.
  SendMessageW(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  ASSERT_TRUE(IsIconic(frame));
  EXPECT_EQ(Open(client), frame);
  EXPECT_FALSE(IsIconic(frame));
  WNDCLASSW child_class = {};
  child_class.lpfnWndProc = DefMDIChildProcW;
  child_class.lpszClassName = L"WindowTestChild";
  RegisterClassW(&child_class);
  const HWND other =
      CreateMDIWindowW(L"WindowTestChild", L"Other", 0, 0, 0, 300, 200, client, nullptr, 0);
  ASSERT_EQ(active(), other);
  ASSERT_HR(S_OK, standin_->ClearCalls());
  EXPECT_EQ(Open(client), frame);
  EXPECT_EQ(active(), frame);
  EXPECT_EQ(Calls().find("AddinWindowActive"), std::string::npos) << Calls();
  // Closing the child closes the window; the command opens it anew; disconnecting closes it.
  Close(frame);
  const HWND again = Open(client);
  ASSERT_HR(S_OK, standin_->Disconnect());
  Pump();
  EXPECT_FALSE(IsWindow(again));
  DestroyWindow(other);
}

TEST_F(TriggerWindowTest, AfterASaveCommandsActOnTheRowTheUserPicked) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SelectRows(list, {RowOf(list, "tick_ack")});
  PressKey(list, VK_DELETE);
  // A save renumbers the triggers without moving them: rows show numbers below their slots.
  ASSERT_HR(S_OK, registry_->SaveTriggers());
  ASSERT_HR(S_OK, standin_->Activate(-1));  // Debug > Activate All Triggers
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  EXPECT_EQ(Column(list, 0),
            (Strings{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
  EXPECT_EQ(ItemText(list, 0, 1), "Activate") << "the refresh shows the simulator's states";
  // Enter edits the focused row, the trigger written back as it was.
  {
    UserScript user;
    user.Then([](HWND d) {
      EXPECT_EQ(WindowText(d).rfind("Stream Trigger", 0), 0u) << WindowText(d);
      Click(d, IDOK);
    });
    SelectRows(list, {RowOf(list, "uart_hello")});
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    EXPECT_TRUE(PumpUntil([&] { return user.seen == 1; }));
  }
  EXPECT_EQ(RowCount(list), 12) << "uart_hello was edited, not a new trigger made";
  // A deletion the simulator refuses leaves the trigger; once it accepts, the trigger goes.
  std::string message;
  Refuse(L"SimCommand(0x0101)");
  SelectRows(list, {RowOf(list, "uart_hello")});
  UserScript().Then(Answer(&message)), PressKey(list, VK_DELETE);
  EXPECT_EQ(message, "TriggerAction Error: Can not delete TriggerAction associated with event");
  EXPECT_NE(Events().find("uart_hello"), std::string::npos) << "the event keeps its name";
  Refuse(L"");
  SelectRows(list, {RowOf(list, "uart_hello")});
  PressKey(list, VK_DELETE);
  EXPECT_EQ(Column(list, 2),
            (Strings{"tick", "status_poll", "port0_in", "rx_to_tx", "port1_wave", "start_all",
                     "notify_host", "stop_wave", "uart_rx", "adc_samples", "adc_noise"}));
}

TEST_F(TriggerWindowTest, SimulatorCommandsReachTheSimulatorForEachSelectedRow) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  // tick (100) and port1_wave (106): their states, whether 106 is active and how often 100 fired.
  const std::pair<UINT, const char*> steps[] = {
      {ID_TRIGGER_ACTIVATE, "Activate Activate 1 0"},
      {ID_TRIGGER_FIRE, "Activate Activate 1 1"},
      {ID_TRIGGER_DEACTIVATE, "InActivate InActivate 0 1"},
      {ID_TRIGGER_RESET, "InActivate InActivate 0 0"}};
  for (const auto& [command, expected] : steps) {
    SelectRows(list, {0, 6});
    ClickButton(frame, command);
    VARIANT_BOOL active = VARIANT_FALSE;
    LONG fired = -1;
    ASSERT_HR(S_OK, standin_->IsActive(106, &active));
    ASSERT_HR(S_OK, standin_->FireCount(100, &fired));
    EXPECT_EQ(ItemText(list, 0, 1) + " " + ItemText(list, 6, 1) + " " +
                  std::to_string(active == VARIANT_TRUE) + " " + std::to_string(fired),
              expected)
        << command;
    EXPECT_EQ(ItemText(list, 5, 1), "InActivate");
  }
  // Nothing selected: the simulator's commands and the deletion are off, creation is on.
  SelectRows(list, {});
  EXPECT_FALSE(ButtonEnabled(frame, ID_TRIGGER_ACTIVATE) ||
               ButtonEnabled(frame, ID_TRIGGER_DELETE));
  EXPECT_TRUE(ButtonEnabled(frame, ID_TRIGGER_INTERRUPT));
  // The debugger's refresh notice updates the status.
  ASSERT_HR(S_OK, standin_->Activate(104));
  EXPECT_EQ(ItemText(list, 4, 1), "InActivate");
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  EXPECT_EQ(ItemText(list, 4, 1), "Activate");
}

// The HTML Help control registered in the prefix: the fake one beside the test, which records
// its calls, or the system's.
void RegisterHtmlHelp(const std::wstring& path) {
  EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT,
                            L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                            nullptr, REG_SZ, path.c_str(),
                            static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

// F1 pressed on the keyboard; the help call it made.
std::string PressF1() {
  const std::string before = LastHelpCall();
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  EXPECT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  PumpUntil([&] { return LastHelpCall() != before; });
  return LastHelpCall();
}

// Whether a button knows its ideal size, as buttons of the common controls' version 6 do.
bool Version6(HWND button) {
  SIZE size = {};
  return SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) != 0;
}

TEST_F(TriggerWindowTest, ADoubleClickEditsTheRowInItsDialogAndF1OpensHelpAtEachTopic) {
  WriteSetting(L"Project", L"CpuFamily", L"Orvex-3");  // its help file is named in the topic path
  RegisterHtmlHelp(BesideTest(L"FakeHtmlHelp.dll"));
  UniqueBstr help_file;
  ASSERT_HR(S_OK, application_->get_HelpPath(help_file.Put()));
  const std::string call =
      "owner 0, file \"" + Narrow(help_file.Get()) + "\", command 0, data \"Vireo3.chm::\\html\\";
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SendMessageW(frame, WM_COMMAND, ID_WINDOW_HELP, 0);  // Help > Trigger Window Help
  EXPECT_EQ(LastHelpCall(), call + "SIM_WIN_Trigger.htm\"");
  // The dialog of port1_wave's kind; its change reaches the registry, the simulator and the row.
  std::string seen;
  UserScript().Then([&](HWND d) {
    seen = PressF1();
    EXPECT_TRUE(IsWindowVisible(d)) << "help leaves the dialog open";
    EXPECT_EQ(Texts(d, {IDC_TRIGGER_NUMBER, IDC_DATA_STREAM_SOURCE}), "6 WAVE_TABLE");
    EXPECT_TRUE(Version6(Control(d, IDOK))) << "the add-in's manifest is in force";
    Type(d, IDC_DATA_COUNT, "8");
    Click(d, IDOK);
  }),
      DoubleClick(list, 6);
  EXPECT_EQ(seen, call + "SIM_DLG_StrmTrg.htm\"");
  EXPECT_EQ(Property(Find<IUnknown>(L"port1_wave").Get(), L"Definition"),
            "106,Stream,port1_wave,PORT1,8BIT,REPEAT,WAVE_TABLE,8,50,5,0x0000000f");
  UniqueBstr record;
  ASSERT_HR(S_OK, standin_->RecordBytes(106, record.Put()));
  EXPECT_EQ(Narrow(record.Get()).substr(72, 11), "08 00 00 00") << "the count at byte 24";
  EXPECT_EQ(ItemText(list, 6, 9), "8");
  const HWND button = CreateWindowW(L"Button", L"OK", WS_CHILD, 0, 0, 50, 14, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
  EXPECT_FALSE(Version6(button)) << "nor outside the add-in, where this program asks for none";
  DestroyWindow(button);
  SetForegroundWindow(frame);
  SetFocus(list);
  EXPECT_EQ(PressF1(), call + "SIM_WIN_Trigger.htm\"");
  wchar_t system[MAX_PATH];
  RegisterHtmlHelp(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\hhctrl.ocx");
}

// Within each menu and sub-menu the items' access keys differ, so that a key picks one item.
void ExpectOwnAccessKeys(HMENU menu) {
  std::string keys;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    const char* amp = std::strchr(text, '&');
    if (*text == '\0') continue;  // a separator
    ASSERT_NE(amp, nullptr) << text << " has no access key";
    EXPECT_EQ(keys.find(static_cast<char>(toupper(amp[1]))), std::string::npos) << text;
    keys += static_cast<char>(toupper(amp[1]));
    if (HMENU sub = GetSubMenu(menu, i)) ExpectOwnAccessKeys(sub);
  }
}

TEST_F(TriggerWindowTest, ItsMenusEnableWhatAppliesAndComeFromTheResourcesWithItsTips) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SetWindowPos(frame, HWND_TOP, 0, 0, 700, 400, SWP_NOZORDER);     // at the screen's left edge
  if (OpenClipboard(nullptr)) EmptyClipboard(), CloseClipboard();  // nothing to paste
  // The item count, then the enabled items: the connect command (54206) wants two rows.
  SelectRows(list, {1});
  POINT at = {40, 40};
  ClientToScreen(list, &at);
  EXPECT_EQ(ReadMenu([&] { SendMessageW(list, WM_CONTEXTMENU, 0, MAKELPARAM(at.x, at.y)); }),
            (std::vector<UINT>{15, 54202, 54203, 54204, 54209, 54210, 54205, ID_EDIT_COPY, 54207,
                               54208, 54212, 54213, ID_WINDOW_SAVE_AS}));
  // By key it opens below the focused row, inside the list.
  RECT list_place, menu;
  GetWindowRect(list, &list_place);
  for (const int row : {0, 4}) {
    SelectRows(list, {row});
    RECT cell = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    POINT below = {cell.left, cell.bottom};
    ClientToScreen(list, &below);
    ReadMenu([&] { SendMessageW(list, WM_CONTEXTMENU, 0, -1); }, &menu);
    EXPECT_EQ(menu.top, below.y) << row;
    EXPECT_GE(menu.left, list_place.left) << "not hanging off the list's left";
    EXPECT_LT(menu.left, list_place.left + 200);
  }
  const HMENU bar = GetMenu(frame);
  ExpectOwnAccessKeys(bar);
  // A menu that opens shows which of its commands apply, with no row selected.
  SelectRows(list, {});
  for (int index : {0, 1, 2}) {
    SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, index)), index);
  }
  EXPECT_EQ(GetMenuState(bar, ID_TRIGGER_ACTIVATE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(bar, ID_EDIT_UNDO, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(bar, ID_EDIT_COPY, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(GetMenuState(bar, ID_WINDOW_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  const HMENU context =
      LoadMenuW(GetModuleHandleW(L"TriggerRES.dll"), MAKEINTRESOURCEW(IDR_TRIGGER_CONTEXT_MENU));
  ExpectOwnAccessKeys(GetSubMenu(context, 0));
  DestroyMenu(context);
  const HWND toolbar = GetDlgItem(frame, IDC_TRIGGER_TOOLBAR);
  EXPECT_NE(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0), 0);
  EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 13);
  for (const auto& [command, tip] : {std::pair{ID_TRIGGER_INTERRUPT, L"Interrupt Trigger"},
                                     std::pair{ID_TRIGGER_DELETE, L"Delete (Del)"}}) {
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = command;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::wstring(info.lpszText ? info.lpszText : L""), tip);
  }
}

TEST_F(TriggerWindowTest, SaveListAsWritesTheTriggerListAndTellsWhyItRefusesAName) {
  const HWND frame = Open();
  const std::wstring saved = TempPath(L"window_list.txt"), exported = TempPath(L"export.txt");
  DeleteFileW(saved.c_str());
  std::string message;
  for (const std::wstring& name : {saved, TempPath(L"window_list.csv")}) {
    UserScript user;
    user.Then([&](HWND d) {
      SetDlgItemTextW(d, 0x47C, name.c_str());  // the file name box
      SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    if (name != saved) user.Then(Answer(&message));
    SendMessageW(frame, WM_COMMAND, ID_WINDOW_SAVE_AS, 0);
  }
  ASSERT_HR(S_OK, registry_->ExportTriggerList(Bstr(exported).Get()));
  EXPECT_EQ(ReadFile(saved), ReadFile(exported));
  EXPECT_NE(message.find(".txt file only"), std::string::npos) << message;
}

// The widths of the runs of ink in a band of an image, right to left.
std::vector<int> InkRuns(const Image& image, int left, int right, int top, int bottom) {
  std::vector<int> runs;
  for (int x = right - 1, run = 0; x >= left - 1; --x) {
    bool ink = false;
    for (int y = top; x >= left && y < bottom && !ink; ++y)
      ink = image.At(x, y) != Rgb(COLOR_WINDOW);
    if (ink) {
      ++run;
    } else if (run > 0) {
      runs.push_back(std::exchange(run, 0));
    }
  }
  return runs;
}

TEST_F(TriggerWindowTest, RowsAreHighlightedToTheClientEdgeWhileFocusedAndShortenedToTheirColumns) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SetWindowPos(frame, HWND_TOP, 0, 0, 1150, 400, SWP_NOMOVE);  // wider than the columns
  SelectRows(list, {1});
  SetForegroundWindow(frame);
  SetFocus(list);
  RECT row = {LVIR_BOUNDS, 0, 0, 0}, client;
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  GetClientRect(list, &client);
  ASSERT_LT(row.right, client.right - 50) << "the columns end before the client's edge";
  const int middle = (row.top + row.bottom) / 2, next = middle + row.bottom - row.top;
  Image image = Capture(list);
  EXPECT_EQ(image.At(client.right - 2, middle), Rgb(COLOR_HIGHLIGHT));
  EXPECT_EQ(image.At(row.right + 20, middle), Rgb(COLOR_HIGHLIGHT));
  EXPECT_NE(image.At(client.right - 2, next), Rgb(COLOR_HIGHLIGHT)) << "the next row is not";
  // Without the focus the row is drawn unselected, past the columns too.
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 500, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  SetFocus(other);
  image = Capture(list);
  EXPECT_NE(image.At(client.right - 2, middle), Rgb(COLOR_HIGHLIGHT));
  EXPECT_NE(image.At(row.left + 30, middle), Rgb(COLOR_HIGHLIGHT));
  DestroyWindow(other);
  // Scrolled right and back, every row is painted from the client's left edge.
  SetForegroundWindow(frame);
  SetFocus(list);
  SetWindowPos(frame, HWND_TOP, 0, 0, 500, 400, SWP_NOMOVE);
  Pump();
  SendMessageW(list, LVM_SCROLL, 120, 0);
  Pump();
  SendMessageW(list, LVM_SCROLL, static_cast<WPARAM>(-120), 0);
  image = Capture(list);
  for (int x = 0; x < 2; ++x) {
    EXPECT_EQ(image.At(x, middle), Rgb(COLOR_WINDOW)) << x;
    EXPECT_EQ(image.At(x, next), Rgb(COLOR_WINDOW)) << x;
  }
  // A text too wide for its column ends in three dots of a pixel or two, inside the margin.
  SetWindowPos(frame, HWND_TOP, 0, 0, 1150, 400, SWP_NOMOVE);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 3, 48);  // Type: "Transfer" does not fit
  SelectRows(list, {});
  RECT cell;
  ListView_GetSubItemRect(list, 4, 3, LVIR_BOUNDS, &cell);
  image = Capture(list);
  const std::vector<int> runs =
      InkRuns(image, cell.left, cell.right, cell.top + 1, cell.bottom - 1);
  ASSERT_GE(runs.size(), 4u);
  for (int dot = 0; dot < 3; ++dot) EXPECT_LE(runs[dot], 2) << dot;
  EXPECT_TRUE(InkRuns(image, cell.right - 5, cell.right, cell.top + 1, cell.bottom - 1).empty());
}

// Hooked, the system refuses to create list views on this thread, as it does when it runs out
// of what a window needs.
LRESULT CALLBACK RefuseListViews(int code, WPARAM wparam, LPARAM lparam) {
  wchar_t name[32] = L"";
  GetClassNameW(reinterpret_cast<HWND>(wparam), name, 32);
  if (code == HCBT_CREATEWND && lstrcmpiW(name, WC_LISTVIEWW) == 0) return 1;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(TriggerWindowTest, AWindowTheSystemRefusesIsToldAndOpeningLeavesNothingBehind) {
  const auto refused = [&] {
    const HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseListViews, nullptr, GetCurrentThreadId());
    EXPECT_HR(S_OK, standin_->Exec(ID_TRIGGER_WINDOW));
    Pump();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(TriggerFrames().empty());
  };
  refused();
  EXPECT_TRUE(
      LogHas("Trigger add-in: the trigger window cannot be opened (the system refused to "
             "create it)"))
      << Log();
  Close(Open());  // a first open and close load what the process keeps (classes, fonts)
  ASSERT_HR(S_OK, standin_->ClearLog());
  const ProcessResources before = MeasureProcessResources();
  for (int cycle = 0; cycle < 3; ++cycle) {
    refused();
    const HWND frame = Open();
    SelectRows(ListOf(frame), {1});
    Capture(frame);  // painted
    Close(frame);
  }
  ASSERT_HR(S_OK, standin_->ClearLog());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  const ProcessResources after = MeasureProcessResources();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
  // After the window, the module can go.
  ASSERT_HR(S_OK, standin_->Disconnect());
  registry_.Reset();
  standin_.Reset();
  application_.Reset();
  CoFreeUnusedLibraries();
  EXPECT_HR(S_OK, TriggerCanUnload());
}

// The add-in unloads and loads again while the IDE window, which uses the same window framework,
// stays open: the add-in unregisters its window classes as it unloads and registers them afresh
// under the new module, so its window opens and paints as before.
// Ctrl+C copies the selected triggers as the list's text and as their lines; another stand-in
// process, on its own copy of the project, pastes them: clashing names get counters and the
// references between the pasted triggers follow. Here Delete and Ctrl+Z take a deletion back,
// and the rows the user had selected stay selected.
TEST_F(TriggerWindowTest, CopiedTriggersArePastedIntoAnotherIdeAndADeletionIsUndone) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  const std::vector<int> rows = {RowOf(list, "tick"), RowOf(list, "port1_wave"),
                                 RowOf(list, "start_all"), RowOf(list, "stop_wave")};
  SelectRows(list, rows);
  // A key with Ctrl held, as the view reads Ctrl from the keyboard state.
  const auto press_with_ctrl = [&](WPARAM key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey(list, key);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  };
  press_with_ctrl('C');
  ASSERT_TRUE(OpenClipboard(nullptr));
  const auto text_of = [](UINT format) {
    const HANDLE data = GetClipboardData(format);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    std::string copy = text ? text : "";
    if (text) GlobalUnlock(data);
    return copy;
  };
  const std::string table = text_of(CF_TEXT);
  const std::string lines = text_of(RegisterClipboardFormatW(L"Trigger Definition Lines"));
  CloseClipboard();
  EXPECT_EQ(Lines(table).size(), 5u) << table;
  EXPECT_EQ(table.rfind("No\tStatus\tName\tAction\t", 0), 0u) << table;
  EXPECT_NE(lines.find("107,connect,start_all,tick,uart_hello,port1_wave\r\n"), lines.npos);

  // The other IDE: opens the trigger window, pastes, saves its project and quits.
  const std::wstring other = TempPath(L"paste_target.vpj");
  ASSERT_TRUE(CopyFileW(project_.c_str(), other.c_str(), FALSE));
  const std::wstring script = TempPath(L"paste_target.js");
  {
    FILE* out = _wfopen(script.c_str(), L"w");
    ASSERT_NE(out, nullptr);
    std::fputs(
        "var r = Vireo.GetObject('Trigger.TriggerAction');\n"
        "r.SaveTriggers(); Vireo.SaveProject(); WScript.Quit(0);\n",
        out);
    std::fclose(out);
  }
  std::wstring command = L"vireo-standin.exe --project \"" + other + L"\" --gui --exec 54201 " +
                         L"--exec " + std::to_wstring(ID_EDIT_PASTE) + L" --script \"" + script +
                         L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exit_code, 0u);
  char saved[4096] = "";
  std::string pasted;
  for (int key = 13; key < 17; ++key) {
    GetPrivateProfileStringA("Trigger", std::to_string(key).c_str(), "", saved, sizeof saved,
                             Narrow(other).c_str());
    pasted += std::string(saved) + "\n";
  }
  EXPECT_EQ(pasted,
            "113,interrupt,tick1,TIMER0_OVF,1000,10\n"
            "114,Stream,port1_wave1,PORT1,8BIT,REPEAT,WAVE_TABLE,16,50,5,0x0000000f\n"
            "115,connect,start_all1,tick1,uart_hello,port1_wave1\n"
            "116,control,stop_wave1,STOP,port1_wave1\n");

  // Delete and Ctrl+Z here: the deleted rows come back, selected.
  SelectRows(list, {RowOf(list, "tick_ack"), RowOf(list, "rx_to_tx")});
  PressKey(list, VK_DELETE);
  EXPECT_EQ(RowCount(list), 11);
  press_with_ctrl('Z');
  EXPECT_EQ(RowCount(list), 13);
  std::vector<std::string> selected;
  for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;) {
    selected.push_back(ItemText(list, row, 2));
  }
  EXPECT_EQ(selected, (Strings{"tick_ack", "rx_to_tx"}));
}

TEST_F(TriggerWindowTest, TheAddinUnloadsAndLoadsAgainBesideTheIdeWindow) {
  const HWND client = GetDlgItem(Ide(), IDC_MDI_CLIENT);
  Close(Open(client));
  ASSERT_HR(S_OK, standin_->Disconnect());
  registry_.Reset();
  CoFreeUnusedLibrariesEx(0, 0);
  ASSERT_EQ(GetModuleHandleW(L"Trigger.dll"), nullptr) << "the add-in stays loaded";

  ConnectAndLoad();
  const HWND frame = Open(client);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetParent(frame), client);
  EXPECT_EQ(RowCount(ListOf(frame)), 13);
  Capture(frame);  // painted
}

}  // namespace
