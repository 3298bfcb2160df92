// The trigger window in this process on a registry of the test's own, with a recording host and
// fake dialogs: what the user's keys, clicks and menus reach, and what the owner-drawn list
// shows on the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "core/registry/list_export.h"
#include "tests/core/fakes/fake_editor.h"
#include "tests/core/registry/registry_fixture.h"
#include "tests/win/ui/window_test_support.h"
#include "win/comkit/module.h"
#include "win/resources/resource_ids.h"
#include "win/ui/framework/toolbar.h"
#include "win/ui/trigger_doc.h"
#include "win/ui/trigger_window.h"

namespace {

using core::window::EditKind;
using fakes::Edit;
using fakes::FakeEditor;
using windowtest::ListOf;
using windowtest::Pump;

// Resources come from TriggerRES.dll, copied beside this program under the name the module
// looks for ("<program>RES.dll").
class ModuleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { win::comkit::ModuleAttach(GetModuleHandleW(nullptr)); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

class RecordingHost : public win::ui::TriggerFrameHost {
 public:
  void TriggersChanged() override { ++triggers_changed; }
  void WriteLog(const std::string& line) override { log.push_back(line); }
  void ShowHelp(const std::string& topic) override { help.push_back(topic); }
  void WindowActivated() override { ++activations; }
  int triggers_changed = 0;
  int activations = 0;
  std::vector<std::string> log;
  std::vector<std::string> help;
};

class TriggerViewTest : public registry_test::RegistryTest {
 protected:
  TriggerViewTest() {
    simulator_.source_table = ShortSourceTable();
    ConfigureAllKinds(window_registry_);
  }
  ~TriggerViewTest() override {
    template_.reset();
    Pump();
  }

  // The window as the trigger command opens it; its frame.
  HWND Open() {
    EXPECT_TRUE(template_->OpenOrActivate());
    Pump();
    const HWND frame = template_->Document() ? template_->Document()->FirstViewFrame() : nullptr;
    EXPECT_NE(frame, nullptr);
    return frame;
  }
  win::ui::TriggerDoc& Document() {
    return *dynamic_cast<win::ui::TriggerDoc*>(template_->Document());
  }
  // A double-click as the mouse makes it, in the middle of a row's Name cell.
  void DoubleClick(HWND list, int row) {
    RECT cell = {LVIR_BOUNDS, 0, 0, 0};
    ListView_GetSubItemRect(list, row, 2, LVIR_BOUNDS, &cell);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    Pump();
  }

  std::shared_ptr<RecordingHost> window_host_ = std::make_shared<RecordingHost>();
  std::vector<Edit> edits_;
  bool with_dialogs_ = true;
  core::registry::CTriggerAction window_registry_{bridge_, host_, Hooks()};
  core::registry::WindowHooks Hooks() {
    core::registry::WindowHooks hooks;
    hooks.refresh_trigger_window = [this] {
      if (template_) template_->RefreshDocument();
    };
    return hooks;
  }
  std::unique_ptr<win::ui::CVireoBaseDocTemplate> template_ =
      std::make_unique<win::ui::CVireoBaseDocTemplate>(
          14314, win::ui::MakeTriggerWindowClasses({
                     &window_registry_,
                     window_host_,
                     [this](core::window::TriggerDocument&,
                            HWND) -> std::unique_ptr<core::window::TriggerEditor> {
                       if (!with_dialogs_) return nullptr;
                       return std::make_unique<FakeEditor>(edits_);
                     },
                     [] { return HWND{}; },
                 }));
};

TEST_F(TriggerViewTest, EditCommandsAndDoubleClicksReachTheDialogs) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  ASSERT_EQ(
      windowtest::Column(list, 3),
      (std::vector<std::string>{"Interrupt", "Transfer", "Stream", "I/O Stream", "Connect",
                                "Control", "Message", "SIO", "File I/O", "I/O Access", "Stream"}));
  DoubleClick(list, 1);
  DoubleClick(list, 6);  // a message trigger has no dialog
  DoubleClick(list, 4);
  windowtest::Select(list, {0});
  Pump();
  windowtest::ClickToolbarButton(frame, 54202);  // the selected interrupt
  windowtest::ClickToolbarButton(frame, 54204);  // a new transfer
  SetFocus(list);
  windowtest::Select(list, {5});
  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0x001C0001);  // Enter edits the focused row
  Pump();
  EXPECT_EQ(edits_, (std::vector<Edit>{{EditKind::Transfer, 1},
                                       {EditKind::Connect, 4},
                                       {EditKind::Interrupt, 0},
                                       {EditKind::Transfer, std::nullopt},
                                       {EditKind::Control, 5}}));
  EXPECT_TRUE(window_host_->log.empty());
}

TEST_F(TriggerViewTest, WithoutTheDialogsEditingSaysSoInTheLog) {
  with_dialogs_ = false;
  const HWND frame = Open();
  DoubleClick(ListOf(frame), 1);
  windowtest::ClickToolbarButton(frame, 54203);
  EXPECT_EQ(window_host_->log,
            (std::vector<std::string>{core::window::kNoDialogsLine, core::window::kNoDialogsLine}));
  EXPECT_EQ(window_registry_.Count(), 11);
}

// The F1 key is pressed on the add-in's own window, in trigger_window_dialogs_test.cpp.
TEST_F(TriggerViewTest, TheHelpMenuOpensTheWindowsHelp) {
  const HWND frame = Open();
  SendMessageW(frame, WM_COMMAND, 0xE146, 0);  // Help > Trigger Window Help
  EXPECT_EQ(window_host_->help, std::vector<std::string>{"html\\SIM_WIN_Trigger.htm"});
}

// Reads the context menu while it is open, then closes it.
std::vector<windowtest::MenuItem> menu_seen;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  menu_seen = windowtest::ReadOpenMenu();
  EndMenu();
}

TEST_F(TriggerViewTest, TheContextMenuEnablesWhatApplies) {
  const HWND list = ListOf(Open());
  const auto enabled = [&](std::vector<int> rows) {
    windowtest::Select(list, rows);
    menu_seen.clear();
    SetTimer(nullptr, 0, 50, &ReadMenu);
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    POINT at = {row.left + 40, row.bottom};
    ClientToScreen(list, &at);
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    Pump();
    std::vector<UINT> on;
    for (const windowtest::MenuItem& item : menu_seen) {
      if (item.enabled) on.push_back(item.id);
    }
    EXPECT_EQ(menu_seen.size(), 12u);
    return on;
  };
  const UINT save = ID_WINDOW_SAVE_AS;
  EXPECT_EQ(enabled({}), (std::vector<UINT>{54202, 54203, 54204, 54209, 54210, save}));
  EXPECT_EQ(enabled({1}), (std::vector<UINT>{54202, 54203, 54204, 54209, 54210, 54205, 54207, 54208,
                                             54212, 54213, save}));
  EXPECT_EQ(enabled({1, 2}), (std::vector<UINT>{54202, 54203, 54204, 54209, 54210, 54206, 54205,
                                                54207, 54208, 54212, 54213, save}));
}

// Where the open context menu is on the screen, read while it is open; then it is closed.
RECT menu_place;
void CALLBACK PlaceMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  GetWindowRect(FindWindowW(L"#32768", nullptr), &menu_place);
  EndMenu();
}

TEST_F(TriggerViewTest, TheKeyboardsContextMenuOpensBelowTheFocusedRowInsideTheList) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SetWindowPos(frame, HWND_TOP, 0, 0, 700, 400, SWP_NOZORDER);  // at the screen's left edge
  Pump();
  RECT list_place;
  GetWindowRect(list, &list_place);
  for (const int row : {0, 4}) {
    SCOPED_TRACE(row);
    windowtest::Select(list, {row});
    RECT cell = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    POINT below = {cell.left, cell.bottom};
    ClientToScreen(list, &below);
    menu_place = {};
    SetTimer(nullptr, 0, 50, &PlaceMenu);
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    Pump();
    EXPECT_EQ(menu_place.top, below.y);
    EXPECT_GE(menu_place.left, list_place.left) << "not hanging off the list's left";
    EXPECT_LT(menu_place.left, list_place.left + 200);
  }
}

// Within each menu and sub-menu the items' access keys differ, so that a key picks one item.
TEST(TriggerMenus, EachItemOfAMenuHasAnAccessKeyOfItsOwn) {
  std::function<void(HMENU, const std::string&)> check = [&](HMENU menu, const std::string& path) {
    std::map<wchar_t, std::wstring> keys;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = L"";
      GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
      const std::wstring item = text;
      const size_t amp = item.find(L'&');
      if (item.empty()) continue;  // a separator
      ASSERT_NE(amp, std::wstring::npos) << path << ": an item without an access key";
      const auto [at, fresh] = keys.emplace(towupper(item[amp + 1]), item);
      EXPECT_TRUE(fresh) << path << ": " << std::string(item.begin(), item.end()) << " and "
                         << std::string(at->second.begin(), at->second.end());
      if (HMENU sub = GetSubMenu(menu, i)) check(sub, path + "/" + std::to_string(i));
    }
  };
  // The window's menu bar, and the context menu: the first sub-menu of its resource.
  const HMENU bar =
      LoadMenuW(win::comkit::ResourceInstance(), MAKEINTRESOURCEW(IDR_TRIGGER_TEMPLATE));
  const HMENU context =
      LoadMenuW(win::comkit::ResourceInstance(), MAKEINTRESOURCEW(IDR_TRIGGER_CONTEXT_MENU));
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(context, nullptr);
  check(bar, "menu bar");
  check(GetSubMenu(context, 0), "context menu");
  DestroyMenu(bar);
  DestroyMenu(context);
}

TEST_F(TriggerViewTest, SavingTheDocumentWritesTheTriggerList) {
  Open();
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  char path[MAX_PATH];
  WideCharToMultiByte(CP_ACP, 0, folder, -1, path, MAX_PATH, nullptr, nullptr);
  const std::string file = std::string(path) + "trigger_view_test.txt";
  ASSERT_TRUE(Document().OnSaveDocument(file));
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), core::registry::TriggerListText(window_registry_));

  // A name the export refuses is not silently dropped: the user is told why.
  windowtest::DialogScript boxes;
  EXPECT_FALSE(Document().OnSaveDocument(std::string(path) + "list.csv"));
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_NE(boxes.seen[0].find(".txt file only"), std::string::npos) << boxes.seen[0];
}

TEST_F(TriggerViewTest, ToolbarButtonsHaveTooltips) {
  const HWND toolbar = GetDlgItem(Open(), 103);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_NE(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0), 0);
  EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 13);
  const struct {
    UINT command;
    const wchar_t* tip;
  } cases[] = {{54202, L"Interrupt Trigger"}, {54205, L"Delete (Del)"}, {54213, L"Reset"}};
  for (const auto& c : cases) {
    EXPECT_EQ(win::ui::ToolBar::TipText(win::comkit::ResourceInstance(), c.command), c.tip);
  }
}

// The highlight colour, and whether a pixel has it.
bool Highlighted(uint32_t pixel) { return pixel == windowtest::Rgb(GetSysColor(COLOR_HIGHLIGHT)); }

TEST_F(TriggerViewTest, ASelectedRowIsHighlightedToTheClientEdgeWhileTheListHasTheFocus) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SetWindowPos(frame, HWND_TOP, 0, 0, 1150, 400, SWP_NOMOVE);  // wider than the columns
  windowtest::Select(list, {1});
  SetForegroundWindow(frame);
  SetFocus(list);
  RECT row = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  RECT client;
  GetClientRect(list, &client);
  ASSERT_LT(row.right, client.right - 50) << "the columns end before the client's edge";
  const int middle = (row.top + row.bottom) / 2;

  windowtest::Image image = windowtest::Capture(list);
  EXPECT_TRUE(Highlighted(image.At(client.right - 2, middle)));
  EXPECT_TRUE(Highlighted(image.At(row.right + 20, middle)));
  EXPECT_FALSE(Highlighted(image.At(client.right - 2, middle + (row.bottom - row.top))))
      << "the next row is not selected";
  windowtest::Screenshot(frame, "trigger_window_selected");

  // Without the focus the row is drawn unselected, past the columns too.
  const HWND other = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 500, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  SetFocus(other);
  Pump();
  image = windowtest::Capture(list);
  EXPECT_FALSE(Highlighted(image.At(client.right - 2, middle)));
  EXPECT_FALSE(Highlighted(image.At(row.left + 30, middle)));
  DestroyWindow(other);

  // Scrolled right and back, every row is painted from the client's left edge: the strip left
  // of the highlight keeps nothing of what the scroll moved over it.
  SetForegroundWindow(frame);
  SetFocus(list);
  SetWindowPos(frame, HWND_TOP, 0, 0, 500, 400, SWP_NOMOVE);
  Pump();
  SendMessageW(list, LVM_SCROLL, 120, 0);
  Pump();
  SendMessageW(list, LVM_SCROLL, static_cast<WPARAM>(-120), 0);
  image = windowtest::Capture(list);
  const uint32_t window = windowtest::Rgb(GetSysColor(COLOR_WINDOW));
  for (int x = 0; x < 2; ++x) {
    EXPECT_EQ(image.At(x, middle), window) << x;
    EXPECT_EQ(image.At(x, middle + (row.bottom - row.top)), window) << x;
  }
}

// The rightmost runs of ink in a band of an image: each run's width, right to left.
std::vector<int> InkRuns(const windowtest::Image& image, int left, int right, int top, int bottom,
                         uint32_t background) {
  std::vector<int> runs;
  int run = 0;
  for (int x = right - 1; x >= left; --x) {
    bool ink = false;
    for (int y = top; y < bottom && !ink; ++y) ink = image.At(x, y) != background;
    if (ink) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  if (run > 0) runs.push_back(run);
  return runs;
}

TEST_F(TriggerViewTest, ATextTooWideForItsColumnEndsInAnEllipsis) {
  const HWND frame = Open();
  const HWND list = ListOf(frame);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 3, 48);  // Type: "Transfer" does not fit
  windowtest::Select(list, {});
  RECT cell;
  ListView_GetSubItemRect(list, 1, 3, LVIR_BOUNDS, &cell);
  const windowtest::Image image = windowtest::Capture(list);
  const uint32_t background = windowtest::Rgb(GetSysColor(COLOR_WINDOW));
  // Inside the cell's margins: three dots at the end, one or two pixels wide each, and nothing
  // beyond the margin.
  const std::vector<int> runs =
      InkRuns(image, cell.left, cell.right, cell.top + 1, cell.bottom - 1, background);
  ASSERT_GE(runs.size(), 4u);
  for (int dot = 0; dot < 3; ++dot) EXPECT_LE(runs[dot], 2) << dot;
  const std::vector<int> margin =
      InkRuns(image, cell.right - 5, cell.right, cell.top + 1, cell.bottom - 1, background);
  EXPECT_TRUE(margin.empty());
  windowtest::Screenshot(frame, "trigger_window_ellipsis");
}

}  // namespace
