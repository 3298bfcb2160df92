// The stand-in's IDE window with the fake add-in connected, driven by messages as a user drives
// it: the add-in's sub-menu and button on the menu bar and toolbar and their commands reaching
// the add-in, its window opening in the MDI client, the log pane following the log, the Debug
// menu driving the simulator and notifying the add-in, opening a project and the question about
// unsaved changes when the window closes.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "standin/win/ide_ids.h"
#include "standin/win/standin_calls.h"
#include "tests/standin/win/standin_test_support.h"

namespace {

using standintest::Bstr;
using standintest::ComPtr;
using standintest::ErrorDescription;
using standintest::IdOfName;
using standintest::InvokeByName;
using standintest::InvokeMember;
using standintest::Narrow;
using standintest::UniqueBstr;
using standintest::UniqueVariant;

constexpr LONG kFakeCommand = 54201;

std::string MenuText(HMENU menu, UINT item, UINT by) {
  wchar_t text[128] = L"";
  GetMenuStringW(menu, item, text, 128, by);
  return win::comkit::ToNarrow(std::wstring(text));
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return win::comkit::ToNarrow(text);
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// Answers the next modal dialog or message box of the thread: `answer` runs when it is
// activated, and posts what the user would do.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(HWND)> answer) {
    answer_ = std::move(answer);
    seen_.clear();
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogAnswer() { UnhookWindowsHookEx(hook_); }
  // The titles of the dialogs answered.
  static const std::vector<std::string>& seen() { return seen_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
      HWND window = reinterpret_cast<HWND>(wparam);
      wchar_t window_class[32] = L"";
      GetClassNameW(window, window_class, 32);
      if (wcscmp(window_class, L"#32770") == 0 && answer_) {
        seen_.push_back(WindowText(window));
        auto answer = std::move(answer_);
        answer_ = nullptr;
        answer(window);
      }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }

  HHOOK hook_;
  static inline std::function<void(HWND)> answer_;
  static inline std::vector<std::string> seen_;
};

void Press(HWND dialog, int button) { PostMessageW(dialog, WM_COMMAND, button, 0); }

class IdeWindowTest : public standintest::StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    LONG result = -1;
    ASSERT_HR(S_OK, standin_->Connect(Bstr(L"StandinTest.Connect").Get(),
                                      Bstr(L"StandinTest.Command").Get(), VARIANT_TRUE, &result));
    ASSERT_EQ(result, 0);
    std::string problem;
    ASSERT_HR(S_OK, standin::win::CallTriggerAction(standin_.Get(), L"LoadTriggers", &problem))
        << problem;
    LONG window = 0;
    ASSERT_HR(S_OK, standin_->ShowWindow(&window));
    frame_ = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    ASSERT_TRUE(IsWindow(frame_));
    Idle();
  }
  void TearDown() override {
    VARIANT_BOOL closed = VARIANT_FALSE;
    if (standin_) {
      standin_->CloseWindow(VARIANT_FALSE, &closed);
      standin_->Disconnect();
    }
  }

  void Idle() {
    VARIANT_BOOL idle = VARIANT_FALSE;
    EXPECT_HR(S_OK, standin_->WaitIdle(5000, &idle));
    EXPECT_EQ(idle, VARIANT_TRUE);
  }
  // Lets the window's periodic update run as well.
  void IdleLong() {
    Sleep(700);
    Idle();
  }
  // As choosing the menu entry does.
  void Choose(LONG command) {
    SendMessageW(frame_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    Idle();
  }

  std::vector<std::string> MenuBar() {
    std::vector<std::string> titles;
    HMENU bar = GetMenu(frame_);
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
      titles.push_back(MenuText(bar, i, MF_BYPOSITION));
    return titles;
  }
  HMENU Popup(const std::string& title) {
    HMENU bar = GetMenu(frame_);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      if (MenuText(bar, i, MF_BYPOSITION) == title) return GetSubMenu(bar, i);
    }
    return nullptr;
  }
  // Whether the entry is enabled once its menu has opened.
  bool EntryEnabled(HMENU popup, LONG command) {
    SendMessageW(frame_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    return (GetMenuState(popup, command, MF_BYCOMMAND) & MF_GRAYED) == 0;
  }

  HWND Toolbar() { return GetDlgItem(frame_, IDC_TOOLBAR); }
  std::string LogPane() { return WindowText(GetDlgItem(frame_, IDC_LOG_PANE)); }
  std::string Windows() { return Read(&IVireoStandin::get_WindowList); }

  ComPtr<IDispatch> FakeControl() {
    ComPtr<IDispatch> control;
    EXPECT_HR(S_OK, standin_->GetObject(Bstr(L"FakeControl").Get(), control.Put()));
    return control;
  }
  std::string FakeList() {
    ComPtr<IDispatch> control = FakeControl();
    UniqueVariant text;
    EXPECT_HR(S_OK, InvokeByName(control.Get(), L"ListText", DISPATCH_PROPERTYGET, {}, text.Put()));
    return V_VT(text.Get()) == VT_BSTR ? Narrow(V_BSTR(text.Get())) : std::string();
  }
  // The log's lines from the first that begins with `from`.
  std::string LogFrom(const std::string& from) {
    const std::string log = Log();
    const size_t at = ("\n" + log).rfind("\n" + from);
    return at == std::string::npos ? std::string() : log.substr(at);
  }

  HWND frame_ = nullptr;
};

TEST_F(IdeWindowTest, TheMenuBarAndToolbarCarryWhatTheAddinRegisteredWhileItIsConnected) {
  EXPECT_EQ(MenuBar(),
            (std::vector<std::string>{"&File", "&Debug", "Fake menu", "&Window", "&Help"}));
  HMENU fake = Popup("Fake menu");
  ASSERT_NE(fake, nullptr);
  ASSERT_EQ(GetMenuItemCount(fake), 1);
  EXPECT_EQ(GetMenuItemID(fake, 0), static_cast<UINT>(kFakeCommand));
  EXPECT_EQ(MenuText(fake, 0, MF_BYPOSITION), "Fake entry");
  EXPECT_EQ(WindowText(frame_), "Vireo stand-in - standin_win_test.vpj");

  // The button shows the fake's bitmap: a red square, the grey around it transparent.
  HWND toolbar = Toolbar();
  const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, kFakeCommand, 0);
  ASSERT_GE(index, 0);
  TBBUTTON button = {};
  SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all = {0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(ImageList_Draw(images, button.iBitmap, dc, 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(GetPixel(dc, 8, 8), RGB(220, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);

  ASSERT_HR(S_OK, standin_->Disconnect());
  Idle();
  EXPECT_EQ(MenuBar(), (std::vector<std::string>{"&File", "&Debug", "&Window", "&Help"}));
  EXPECT_EQ(SendMessageW(toolbar, TB_COMMANDTOINDEX, kFakeCommand, 0), -1);

  // A later connection registers no bitmaps, yet its button shows the image it names.
  LONG result = -1;
  ASSERT_HR(S_OK, standin_->Connect(Bstr(L"StandinTest.Connect").Get(),
                                    Bstr(L"StandinTest.Command").Get(), VARIANT_FALSE, &result));
  Idle();
  EXPECT_EQ(MenuBar().size(), 5u);
  const LRESULT again = SendMessageW(toolbar, TB_COMMANDTOINDEX, kFakeCommand, 0);
  ASSERT_GE(again, 0);
  SendMessageW(toolbar, TB_GETBUTTON, again, reinterpret_cast<LPARAM>(&button));
  EXPECT_NE(button.iBitmap, I_IMAGENONE);
}

TEST_F(IdeWindowTest, TheEntryAndTheButtonRunTheAddinsCommandWhileItIsEnabled) {
  const std::function<void()> ways[] = {
      [&] { Choose(kFakeCommand); },
      [&] {
        HWND toolbar = Toolbar();
        RECT rect = {};
        const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, kFakeCommand, 0);
        ASSERT_TRUE(SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
        Idle();
      },
  };
  // The first command opens the add-in's window in the MDI client, the second activates it.
  ways[0]();
  EXPECT_EQ(LogFrom("fake: Exec"),
            "fake: Exec 54201\nfake: opened its window in the host's MDI client\n");
  ways[1]();
  EXPECT_EQ(LogFrom("fake: Exec"), "fake: Exec 54201\nfake: activated its window\n");
  EXPECT_EQ(Windows(), "Fake window\n");
  // A command the window does not know goes to the active child, as from the child's own menu.
  Choose(54205);
  EXPECT_EQ(LogFrom("fake: its"), "fake: its window got command 54205\n");
  EXPECT_EQ(FakeList().substr(0, 36), "100 tick  inactive\n101 tick_ack  ina");

  HMENU fake = Popup("Fake menu");
  EXPECT_TRUE(EntryEnabled(fake, kFakeCommand));
  ComPtr<IDispatch> control = FakeControl();
  ASSERT_HR(S_OK, InvokeByName(control.Get(), L"SetCommandEnabled", DISPATCH_METHOD,
                               {standintest::LongArg(0)}));
  EXPECT_FALSE(EntryEnabled(fake, kFakeCommand));
  IdleLong();
  EXPECT_FALSE(SendMessageW(Toolbar(), TB_ISBUTTONENABLED, kFakeCommand, 0));
  EXPECT_HR(E_ACCESSDENIED, standin_->RunCommand(kFakeCommand));
  EXPECT_EQ(ErrorDescription(), "the command 54201 is disabled");
  EXPECT_HR(E_INVALIDARG, standin_->RunCommand(54202));
  EXPECT_EQ(ErrorDescription(), "no menu entry or toolbar button has the command 54202");
}

TEST_F(IdeWindowTest, TheLogPaneFollowsTheLogToItsEnd) {
  EXPECT_EQ(LogPane(), Crlf(Log()));
  ComPtr<IDispatch> log = Service(L"Tamber.Service");
  const DISPID add = IdOfName(log.Get(), L"AddLogString");
  for (int i = 0; i < 60; ++i) {
    ASSERT_HR(S_OK, InvokeMember(log.Get(), add, DISPATCH_METHOD,
                                 {standintest::TextArg((L"line " + std::to_wstring(i)).c_str())},
                                 nullptr));
  }
  ASSERT_HR(S_OK, InvokeMember(log.Get(), add, DISPATCH_METHOD,
                               {standintest::TextArg(L"two\nlines")}, nullptr));
  Idle();
  EXPECT_EQ(LogPane(), Crlf(Log()));
  HWND pane = GetDlgItem(frame_, IDC_LOG_PANE);
  RECT area;
  GetClientRect(pane, &area);
  // The last line is in view.
  const LRESULT last = SendMessageW(pane, EM_GETLINECOUNT, 0, 0) - 1;
  const LRESULT last_start = SendMessageW(pane, EM_LINEINDEX, last - 1, 0);
  const LRESULT position = SendMessageW(pane, EM_POSFROMCHAR, last_start, 0);
  EXPECT_GE(static_cast<short>(HIWORD(position)), 0);
  EXPECT_LT(static_cast<short>(HIWORD(position)), area.bottom);

  ASSERT_HR(S_OK, standin_->ClearLog());
  Choose(kFakeCommand);
  EXPECT_EQ(LogPane(), "fake: Exec 54201\r\nfake: opened its window in the host's MDI client\r\n");
}

// An add-in window puts the prompt of the button under the pointer in the status bar, and then
// gives back the idle text.
TEST_F(IdeWindowTest, TheStatusBarShowsAnAddinWindowsPrompt) {
  const auto status = [&] {
    char text[256] = "";
    SendMessageA(GetDlgItem(frame_, IDC_STATUS_BAR), SB_GETTEXTA, 0,
                 reinterpret_cast<LPARAM>(text));
    return std::string(text);
  };
  SendMessageA(frame_, 0x0362, 0, reinterpret_cast<LPARAM>("Delete the selected triggers"));
  EXPECT_EQ(status(), "Delete the selected triggers");
  SendMessageA(frame_, 0x0362, 0xE001, 0);
  EXPECT_EQ(status(), "Ready");
}

TEST_F(IdeWindowTest, TheDebugMenuDrivesTheSimulatorAndTellsTheAddin) {
  Choose(kFakeCommand);  // the fake's window lists the triggers' states
  struct Step {
    LONG command;  // posted as the F5 key when it is ID_DEBUG_START
    LONG chosen;   // the trigger picked in the prompt; 0 for no prompt
    const char* log;
    const char* list;  // the fake window's first two lines
    LONG fires_101;
  };
  const Step steps[] = {
      {ID_DEBUG_START, 0,
       "Vireo: debugger: started; the simulator runs the target\nfake: OnEvent 0x2002\n",
       "100 tick  inactive\n101 tick_ack  inactive\n", 0},
      {ID_DEBUG_ACTIVATE_ALL, 0, "Vireo: debugger: activated all triggers\nfake: OnEvent 0x2011\n",
       "100 tick  active\n101 tick_ack  active\n", 0},
      {ID_DEBUG_DEACTIVATE, 100,
       "Vireo: debugger: deactivated trigger 100 (tick)\nfake: OnEvent 0x2011\n",
       "100 tick  inactive\n101 tick_ack  active\n", 0},
      {ID_DEBUG_FIRE, 101, "Vireo: debugger: fired trigger 101 (tick_ack)\nfake: OnEvent 0x2011\n",
       "100 tick  inactive\n101 tick_ack  active\n", 1},
      {ID_DEBUG_RESET_ALL, 0, "Vireo: debugger: reset all triggers\nfake: OnEvent 0x2011\n",
       "100 tick  inactive\n101 tick_ack  inactive\n", 0},
      {ID_DEBUG_STOP, 0, "Vireo: debugger: stopped\nfake: OnEvent 0x2003\n",
       "100 tick  inactive\n101 tick_ack  inactive\n", 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command);
    std::vector<std::string> prompt;
    DialogAnswer answer([&](HWND dialog) {
      HWND list = GetDlgItem(dialog, IDC_PROMPT_TRIGGER);
      for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0) && i < 3; ++i) {
        std::wstring item(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        prompt.push_back(win::comkit::ToNarrow(item));
        if (SendMessageW(list, CB_GETITEMDATA, i, 0) == step.chosen) {
          SendMessageW(list, CB_SETCURSEL, i, 0);
        }
      }
      Press(dialog, IDOK);
    });
    if (step.command == ID_DEBUG_START) {
      PostMessageW(frame_, WM_KEYDOWN, VK_F5, 0);
      Idle();
    } else {
      Choose(step.command);
    }
    EXPECT_EQ(LogFrom("Vireo: debugger:"), step.log);
    EXPECT_EQ(FakeList().substr(0, std::string(step.list).size()), step.list);
    LONG fires = -1;
    EXPECT_HR(S_OK, standin_->FireCount(101, &fires));
    EXPECT_EQ(fires, step.fires_101);
    if (step.command == ID_DEBUG_DEACTIVATE) {
      EXPECT_EQ(prompt, (std::vector<std::string>{"All triggers", "100 tick (interrupt, active)",
                                                  "101 tick_ack (interrupt, active)"}))
          << "the prompt offers every trigger with its state";
    }
  }
  // Starting and stopping are enabled by turns.
  HMENU debug = Popup("&Debug");
  EXPECT_TRUE(EntryEnabled(debug, ID_DEBUG_START));
  EXPECT_FALSE(EntryEnabled(debug, ID_DEBUG_STOP));
}

TEST_F(IdeWindowTest, ClosingWithUnsavedChangesAsksWhetherToSaveThem) {
  struct Case {
    int answer;
    bool closed;
    bool saved;
  };
  const Case cases[] = {{IDCANCEL, false, false}, {IDNO, true, false}, {IDYES, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    if (!IsWindow(frame_)) SetUp();
    ASSERT_HR(S_OK, standin_->WriteSetting(Bstr(L"Notes").Get(), Bstr(L"Answer").Get(),
                                           Bstr(std::to_wstring(c.answer).c_str()).Get()));
    IdleLong();
    EXPECT_EQ(WindowText(frame_), "Vireo stand-in - standin_win_test.vpj*");

    DialogAnswer answer([&](HWND box) { Press(box, c.answer); });
    PostMessageW(frame_, WM_CLOSE, 0, 0);
    Idle();
    ASSERT_EQ(DialogAnswer::seen(), std::vector<std::string>{"Vireo stand-in"});
    EXPECT_EQ(IsWindow(frame_) == FALSE, c.closed);
    VARIANT_BOOL connected = VARIANT_FALSE;
    standin_->get_Connected(&connected);
    EXPECT_EQ(connected == VARIANT_FALSE, c.closed) << "leaving the IDE disconnects the add-in";
    if (c.closed) {
      EXPECT_EQ(Read(&IVireoStandin::get_HeldReferences), "") << "the window holds nothing";
    }

    // What the file holds: the fake's SaveTriggers ran before the project was written.
    UniqueBstr path;
    standin_->get_ProjectPath(path.Put());
    std::ifstream file(Narrow(path.Get()));
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("Answer=" + std::to_string(c.answer)) != std::string::npos, c.saved);
    EXPECT_EQ(text.find("[FakeAddin]\nSaved=13") != std::string::npos, c.saved) << text;
  }
}

TEST_F(IdeWindowTest, OpeningAProjectLoadsItsTriggersIntoTheAddin) {
  const std::wstring other = standintest::CopySample(L"standin_gui_other.vpj");
  ASSERT_HR(S_OK, standin_->ClearLog());
  DialogAnswer answer([&](HWND dialog) {
    SetDlgItemTextW(dialog, 0x47C, other.c_str());  // the file name box
    Press(dialog, IDOK);
  });
  Choose(ID_FILE_OPEN);
  UniqueBstr path;
  standin_->get_ProjectPath(path.Put());
  EXPECT_EQ(Narrow(path.Get()), win::comkit::ToNarrow(other));
  EXPECT_EQ(Log(), "fake: loaded 13 of 13 triggers\n");
  EXPECT_EQ(WindowText(frame_), "Vireo stand-in - standin_gui_other.vpj");
}

}  // namespace
