// The IDE window.
#include "standin/win/ide_frame.h"

#include <commctrl.h>
#include <commdlg.h>
#include <oleauto.h>

#include <algorithm>
#include <cctype>

#include "core/automation/strings.h"
#include "project/records.h"
#include "standin/win/ide_ids.h"
#include "standin/win/standin_calls.h"
#include "standin/win/trigger_prompt.h"
#include "win/comkit/conversion.h"
#include "win/comkit/module.h"

namespace standin::win {
namespace {

using core::automation::Format;
using ::win::comkit::MakeBstr;
using ::win::comkit::ToNarrow;
using ::win::comkit::ToWide;
using ::win::ui::ToolBar;

constexpr wchar_t kWindowClass[] = L"VireoStandinFrame";
constexpr wchar_t kCaption[] = L"Vireo stand-in";

// Posted by the session's listener: the window catches up once for a burst of changes.
constexpr UINT kRefreshMessage = WM_APP + 1;
// Catches what the session does not announce: the project's modified mark, the add-in's
// command states.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshInterval = 500;

// The debugger's notifications as the host sends them to the add-in.
constexpr LONG kDebuggerStarted = 0x2002;
constexpr LONG kDebuggerStopped = 0x2003;
constexpr LONG kTriggerStatesChanged = 0x2011;

// The host's buttons, one per image of IDB_IDE_TOOLBAR, in order, with separators (0) between
// groups: open, save; start, stop; activate all, deactivate all, fire, reset all.
const std::vector<uint32_t> kHostButtons = {
    ID_FILE_OPEN,
    ID_FILE_SAVE,
    0,
    ID_DEBUG_START,
    ID_DEBUG_STOP,
    0,
    ID_DEBUG_ACTIVATE_ALL,
    ID_DEBUG_DEACTIVATE_ALL,
    ID_DEBUG_FIRE,
    ID_DEBUG_RESET_ALL,
};

constexpr int kMinLogHeight = 40;
constexpr int kMinClientHeight = 80;

// WM_SETMESSAGESTRING: the frame's status bar shows a prompt.
constexpr UINT kSetMessageString = 0x0362;

// The four Debug commands on triggers: each for every trigger or for one chosen in the prompt.
struct TriggerOperation {
  LONG all_command;  // 0: offered through the prompt only
  LONG one_command;
  const wchar_t* prompt;
  HRESULT (STDMETHODCALLTYPE IVireoStandin::*call)(LONG id);
  const char* done;
};
constexpr TriggerOperation kTriggerOperations[] = {
    {ID_DEBUG_ACTIVATE_ALL, ID_DEBUG_ACTIVATE, L"Activate Trigger", &IVireoStandin::Activate,
     "activated"},
    {ID_DEBUG_DEACTIVATE_ALL, ID_DEBUG_DEACTIVATE, L"Deactivate Trigger",
     &IVireoStandin::Deactivate, "deactivated"},
    {0, ID_DEBUG_FIRE, L"Fire Trigger", &IVireoStandin::Fire, "fired"},
    {ID_DEBUG_RESET_ALL, ID_DEBUG_RESET, L"Reset Trigger", &IVireoStandin::Reset, "reset"},
};

const TriggerOperation* FindTriggerOperation(LONG command) {
  if (command == 0) return nullptr;
  for (const TriggerOperation& operation : kTriggerOperations) {
    if (operation.all_command == command || operation.one_command == command) return &operation;
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToNarrow(text);
}

// A menu entry's text as a tooltip: no mnemonic, no shortcut, no ellipsis.
std::wstring PlainMenuText(HMENU menu, LONG command) {
  wchar_t text[128] = L"";
  GetMenuStringW(menu, static_cast<UINT>(command), text, ARRAYSIZE(text), MF_BYCOMMAND);
  std::wstring plain;
  for (const wchar_t* c = text; *c != L'\0' && *c != L'\t'; ++c) {
    if (*c != L'&') plain += *c;
  }
  while (!plain.empty() && plain.back() == L'.') plain.pop_back();
  return plain;
}

int MenuPosition(HMENU bar, HMENU popup) {
  const int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i) {
    if (GetSubMenu(bar, i) == popup) return i;
  }
  return -1;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

IdeFrame::IdeFrame(IVireoStandin* standin, SessionPtr session, const CommandImages* images)
    : standin_(standin), session_(std::move(session)), images_(images) {}

// The window goes with the frame still attached, so that it lets go of the session first.
IdeFrame::~IdeFrame() { DestroyWindow(); }

bool IdeFrame::Create() {
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = ::win::comkit::ModuleInstance();
  if (!RegisterClassOf(kWindowClass, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                       LoadIconW(nullptr, MAKEINTRESOURCEW(32512)))) {
    return false;
  }
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_IDE_MENU));
  if (menu == nullptr) return false;
  accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_IDE_ACCELERATORS));
  menu_bar_ = menu;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    if (GetMenuState(popup, ID_WINDOW_CASCADE, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
      window_menu_ = popup;
    }
  }
  HWND window = CreateMDIFrame(kWindowClass, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, 1024, 720, menu);
  if (window == nullptr) {
    DestroyMenu(menu);
    menu_bar_ = nullptr;
    return false;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return true;
}

void IdeFrame::OnFinalMessage() {
  client_ = nullptr;
  menu_bar_ = nullptr;
}

LRESULT IdeFrame::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_SIZE:
      Layout();
      return 0;  // not DefFrameProc's: it would give the MDI client the whole window
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CLOSE:
      Close(true);
      return 0;
    case WM_COMMAND: {
      const LONG command = LOWORD(wparam);
      if (IsHostCommand(command) || session_->addin_commands().Offers(command)) {
        std::string problem;
        Execute(command, &problem);
        return 0;
      }
      // Any other menu or shortcut command is the active MDI child's, as a frame routes what it
      // does not know to its active view: an add-in window that puts a menu of its own on the
      // menu bar gets its commands. The Window menu's entries stay DefFrameProc's.
      HWND active = reinterpret_cast<HWND>(SendMessageW(client_, WM_MDIGETACTIVE, 0, 0));
      if (lparam == 0 && command < model::kFirstChildWindowCommand && active != nullptr) {
        SendMessageW(active, WM_COMMAND, wparam, 0);
        return 0;
      }
      break;
    }
    case WM_INITMENUPOPUP:
      if (!HIWORD(lparam)) OnInitMenuPopup(reinterpret_cast<HMENU>(wparam));
      break;
    case WM_MENUSELECT:
      OnMenuSelect(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HMENU>(lparam));
      break;
    case kSetMessageString:
      // An add-in window's prompt for the button or menu item under the pointer (lParam, ANSI
      // text), or one of the frame's own strings by identifier: the idle text is the only one.
      SetStatus(lparam != 0 ? std::string(reinterpret_cast<const char*>(lparam)) : "Ready");
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lparam));
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == hwnd() && LOWORD(lparam) == HTCLIENT && OnSetCursor()) {
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      OnMouse(message, static_cast<short>(HIWORD(lparam)));
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_CTLCOLORSTATIC:
      // The log pane is read-only, yet it reads like a document.
      if (reinterpret_cast<HWND>(lparam) == log_) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(log_background_.Get());
      }
      break;
    case WM_TIMER:
      if (wparam == kRefreshTimer) {
        Refresh();
        return 0;
      }
      break;
    case kRefreshMessage:
      Refresh();
      return 0;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

bool IdeFrame::OnCreate() {
  const HINSTANCE instance = ::win::comkit::ModuleInstance();
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  ui_font_.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
  HDC screen = GetDC(nullptr);
  const int points_9 = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
  TEXTMETRICW text = {};
  {
    const ::win::ui::UniqueSelection font = ::win::ui::SelectInto(screen, ui_font_.Get());
    GetTextMetricsW(screen, &text);
  }
  ReleaseDC(nullptr, screen);
  header_height_ = text.tmHeight + 8;
  log_font_.Reset(CreateFontW(points_9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, L"Courier New"));
  log_background_.Reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));

  CLIENTCREATESTRUCT mdi = {window_menu_, static_cast<UINT>(model::kFirstChildWindowCommand)};
  client_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                            WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0,
                            0, 0, hwnd(), reinterpret_cast<HMENU>(IDC_MDI_CLIENT), instance, &mdi);
  SetMDIClient(client_);
  // The toolbar: the host's buttons; the add-in's follow when it registers them.
  toolbar_.Create(hwnd(), IDC_TOOLBAR, instance, IDB_IDE_TOOLBAR, kHostButtons,
                  ToolBar::Layout::List);
  status_ =
      CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                      0, 0, hwnd(), reinterpret_cast<HMENU>(IDC_STATUS_BAR), instance, nullptr);
  log_ =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                      0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(IDC_LOG_PANE), instance, nullptr);
  if (client_ == nullptr || toolbar_.hwnd() == nullptr || status_ == nullptr || log_ == nullptr) {
    return false;
  }
  SendMessageW(log_, WM_SETFONT, reinterpret_cast<WPARAM>(log_font_.Get()), FALSE);
  SendMessageW(log_, EM_SETLIMITTEXT, 0, 0);

  session_->SetListener([this] { ScheduleRefresh(); });
  SetTimer(hwnd(), kRefreshTimer, kRefreshInterval, nullptr);
  Layout();
  Refresh();
  return true;
}

void IdeFrame::OnDestroy() {
  session_->SetListener(nullptr);
  KillTimer(hwnd(), kRefreshTimer);
}

void IdeFrame::ScheduleRefresh() {
  if (refresh_posted_ || hwnd() == nullptr) return;
  refresh_posted_ = PostMessageW(hwnd(), kRefreshMessage, 0, 0) != FALSE;
}

// ---- Layout and painting ----

RECT IdeFrame::HeaderRect() const {
  RECT client_area;
  GetClientRect(hwnd(), &client_area);
  RECT status;
  GetWindowRect(status_, &status);
  const int bottom = client_area.bottom - (status.bottom - status.top);
  return RECT{0, bottom - log_height_ - header_height_, client_area.right, bottom - log_height_};
}

void IdeFrame::Layout() {
  if (client_ == nullptr) return;
  RECT area;
  GetClientRect(hwnd(), &area);
  const int top = toolbar_.Fit();
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status;
  GetWindowRect(status_, &status);
  const int bottom = area.bottom - (status.bottom - status.top);

  // The log pane keeps its height while the window leaves the MDI client room enough.
  const int room = bottom - top - header_height_;
  log_height_ = std::max(kMinLogHeight, std::min(log_height_, room - kMinClientHeight));
  const int header_top = bottom - log_height_ - header_height_;
  MoveWindow(client_, 0, top, area.right, std::max(0, header_top - top), TRUE);
  MoveWindow(log_, 0, header_top + header_height_, area.right, log_height_, TRUE);
  InvalidateRect(hwnd(), nullptr, TRUE);

  const int parts[] = {std::max(100, static_cast<int>(area.right) - 380),
                       std::max(200, static_cast<int>(area.right) - 250),
                       std::max(300, static_cast<int>(area.right) - 130), -1};
  SendMessageW(status_, SB_SETPARTS, ARRAYSIZE(parts), reinterpret_cast<LPARAM>(parts));
}

void IdeFrame::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  RECT header = HeaderRect();
  FillRect(dc, &header, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &header, EDGE_ETCHED, BF_TOP);
  const ::win::ui::UniqueSelection font = ::win::ui::SelectInto(dc, ui_font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text = header;
  text.left += 6;
  const std::wstring caption = ResourceText(IDS_LOG_PANE);
  DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  EndPaint(hwnd(), &paint);
}

bool IdeFrame::OnSetCursor() {
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(hwnd(), &cursor);
  const RECT header = HeaderRect();
  if (!dragging_ && !PtInRect(&header, cursor)) return false;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));
  return true;
}

// Dragging the log pane's header resizes the pane.
void IdeFrame::OnMouse(UINT message, int y) {
  const RECT header = HeaderRect();
  if (message == WM_LBUTTONDOWN && y >= header.top && y < header.bottom) {
    dragging_ = true;
    drag_offset_ = y - header.top;
    SetCapture(hwnd());
  } else if (message == WM_MOUSEMOVE && dragging_) {
    log_height_ += header.top - (y - drag_offset_);
    Layout();
  } else if (message == WM_LBUTTONUP && dragging_) {
    ReleaseCapture();
  }
}

// ---- Keeping up with the session ----

void IdeFrame::Refresh() {
  refresh_posted_ = false;
  if (hwnd() == nullptr) return;
  const std::string title =
      model::FrameTitle(session_->project().path(), session_->project().modified());
  if (title != title_) {
    title_ = title;
    SetWindowTextW(hwnd(), ToWide(title).c_str());
  }
  if (session_->addin_commands().revision() != shown_revision_) RebuildAddinCommands();
  FollowLog();
  UpdateCommandStates();

  const std::string cpu = session_->project().CpuFamily();
  SendMessageW(
      status_, SB_SETTEXTW, 1,
      reinterpret_cast<LPARAM>(ToWide("CPU family: " + (cpu.empty() ? "-" : cpu)).c_str()));
  SendMessageW(status_, SB_SETTEXTW, 2,
               reinterpret_cast<LPARAM>(debugging_ ? L"Debugging" : L"Not debugging"));
  SendMessageW(status_, SB_SETTEXTW, 3,
               reinterpret_cast<LPARAM>(Connected() ? L"Add-in connected" : L"No add-in"));
}

void IdeFrame::RebuildAddinCommands() {
  const model::AddinCommands& table = session_->addin_commands();
  shown_revision_ = table.revision();

  // Sub-menus, between Debug and Window.
  for (const auto& [menu, popup] : addin_menus_) {
    const int position = MenuPosition(menu_bar_, menu);
    if (position >= 0) RemoveMenu(menu_bar_, static_cast<UINT>(position), MF_BYPOSITION);
    DestroyMenu(menu);
  }
  addin_menus_.clear();
  int at = MenuPosition(menu_bar_, window_menu_);
  for (const model::AddinPopup& popup : table.popups()) {
    HMENU menu = CreatePopupMenu();
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == 0) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        const std::string name =
            entry.name.empty() ? Format("Command %d", entry.command) : entry.name;
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.command), ToWide(name).c_str());
      }
    }
    const std::string title = popup.name.empty() ? "Add-in" : popup.name;
    InsertMenuW(menu_bar_, static_cast<UINT>(at++), MF_BYPOSITION | MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(menu), ToWide(title).c_str());
    addin_menus_.emplace_back(menu, popup);
  }
  if (GetMenu(hwnd()) == menu_bar_) DrawMenuBar(hwnd());

  // Buttons, after the host's.
  addin_buttons_ = table.buttons();
  std::vector<ToolBar::Button> buttons;
  for (const model::ToolbarButton& button : addin_buttons_) {
    buttons.push_back(
        {static_cast<uint32_t>(button.command), images_->Small(button.image),
         ToWide(button.name.empty() ? Format("Command %d", button.command) : button.name)});
  }
  toolbar_.SetRunTimeButtons(buttons);
  Layout();
}

void IdeFrame::FollowLog() {
  const model::LogFollower::Update update = follower_.Next(session_->log());
  if (!update.replace && update.text.empty()) return;
  const std::wstring text = ToWide(update.text);
  if (update.replace) {
    SetWindowTextW(log_, text.c_str());
  } else {
    const int end = GetWindowTextLengthW(log_);
    SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  const int end = GetWindowTextLengthW(log_);
  SendMessageW(log_, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageW(log_, EM_SCROLLCARET, 0, 0);
}

void IdeFrame::UpdateCommandStates() {
  toolbar_.Update([this](UINT command) {
    const LONG id = static_cast<LONG>(command);
    return IsHostCommand(id) ? HostCommandEnabled(id) : AddinCommandEnabled(id, InitialState(id));
  });
}

void IdeFrame::SetStatus(const std::string& text) {
  SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}

// ---- Menus and tooltips ----

void IdeFrame::OnInitMenuPopup(HMENU menu) {
  for (const auto& [addin_menu, popup] : addin_menus_) {
    if (addin_menu != menu) continue;
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == 0) continue;
      const bool enabled = AddinCommandEnabled(entry.command, entry.enabled);
      EnableMenuItem(menu, static_cast<UINT>(entry.command),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    return;
  }
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const LONG command = static_cast<LONG>(GetMenuItemID(menu, i));
    if (!IsHostCommand(command)) continue;
    EnableMenuItem(menu, static_cast<UINT>(i),
                   MF_BYPOSITION | (HostCommandEnabled(command) ? MF_ENABLED : MF_GRAYED));
  }
}

// The status bar explains the highlighted menu entry.
void IdeFrame::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
  if (flags == 0xFFFF && menu == nullptr) {
    SetStatus("Ready");
    return;
  }
  std::string text;
  if (flags & MF_POPUP) {
    HMENU popup = GetSubMenu(menu, static_cast<int>(item));
    for (const auto& [addin_menu, entry] : addin_menus_) {
      if (addin_menu == popup) text = entry.caption;
    }
  } else if (IsHostCommand(static_cast<LONG>(item))) {
    text = ToNarrow(ResourceText(item));
  } else if (const model::AddinCommand* command =
                 session_->addin_commands().FindCommand(static_cast<LONG>(item))) {
    text = command->name;
  } else if (static_cast<LONG>(item) >= model::kFirstChildWindowCommand) {
    text = "Activates this window";
  }
  SetStatus(text);
}

LRESULT IdeFrame::OnNotify(NMHDR* header) {
  if (header->code != TTN_GETDISPINFOW) {
    return Default(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
  }
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const LONG command = static_cast<LONG>(header->idFrom);
  tooltip_.clear();
  if (IsHostCommand(command)) {
    tooltip_ = PlainMenuText(menu_bar_, command);
  } else {
    for (const model::ToolbarButton& button : addin_buttons_) {
      if (button.command == command) tooltip_ = ToWide(button.name);
    }
  }
  info->lpszText = tooltip_.data();
  info->hinst = nullptr;
  return 0;
}

// ---- Commands ----

bool IdeFrame::IsHostCommand(LONG command) const {
  return command >= model::kFirstHostCommand && command <= model::kLastHostCommand &&
         menu_bar_ != nullptr &&
         GetMenuState(menu_bar_, static_cast<UINT>(command), MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool IdeFrame::HostCommandEnabled(LONG command) const {
  switch (command) {
    case ID_DEBUG_START:
      return !debugging_;
    case ID_DEBUG_STOP:
      return debugging_;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORIZONTALLY:
    case ID_WINDOW_TILE_VERTICALLY:
    case ID_WINDOW_ARRANGE:
      return GetWindow(client_, GW_CHILD) != nullptr;
    default:
      if (FindTriggerOperation(command) != nullptr) {
        return !session_->simulator().Ids().empty();
      }
      return true;
  }
}

bool IdeFrame::Connected() const {
  VARIANT_BOOL connected = VARIANT_FALSE;
  standin_->get_Connected(&connected);
  return connected == VARIANT_TRUE;
}

// What the add-in's QueryStatus makes of the command, starting from `initial`: bit 0 enables.
bool IdeFrame::AddinCommandEnabled(LONG command, bool initial) const {
  if (!Connected()) return false;
  LONG status = initial ? 1 : 0;
  if (FAILED(standin_->QueryStatus(command, status, &status))) return false;
  return (status & 1) != 0;
}

// An add-in command's state before the add-in's status query: its menu entry's, else enabled.
bool IdeFrame::InitialState(LONG command) const {
  for (const auto& [menu, popup] : addin_menus_) {
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == command) return entry.enabled;
    }
  }
  return true;
}

HRESULT IdeFrame::RunCommand(LONG command, std::string* problem) {
  const bool host = IsHostCommand(command);
  if (!host && !session_->addin_commands().Offers(command)) {
    *problem = Format("no menu entry or toolbar button has the command %ld", command);
    return E_INVALIDARG;
  }
  if (host ? !HostCommandEnabled(command) : !AddinCommandEnabled(command, InitialState(command))) {
    *problem = Format("the command %ld is disabled", command);
    return E_ACCESSDENIED;
  }
  return Execute(command, problem);
}

HRESULT IdeFrame::Execute(LONG command, std::string* problem) {
  HRESULT hr = S_OK;
  switch (command) {
    case ID_FILE_OPEN:
      hr = OpenProject();
      break;
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
      hr = SaveProject(command == ID_FILE_SAVE_AS) ? S_OK : S_FALSE;
      break;
    case ID_FILE_EXIT:
      Close(true);
      return S_OK;
    case ID_DEBUG_START:
      StartDebugging();
      break;
    case ID_DEBUG_STOP:
      StopDebugging();
      break;
    case ID_WINDOW_CASCADE:
      SendMessageW(client_, WM_MDICASCADE, 0, 0);
      break;
    case ID_WINDOW_TILE_HORIZONTALLY:
      SendMessageW(client_, WM_MDITILE, MDITILE_HORIZONTAL, 0);
      break;
    case ID_WINDOW_TILE_VERTICALLY:
      SendMessageW(client_, WM_MDITILE, MDITILE_VERTICAL, 0);
      break;
    case ID_WINDOW_ARRANGE:
      SendMessageW(client_, WM_MDIICONARRANGE, 0, 0);
      break;
    case ID_HELP_ABOUT:
      About();
      break;
    default:
      hr = IsHostCommand(command) ? TriggerCommand(command, problem) : ExecAddin(command, problem);
      break;
  }
  Refresh();
  return hr;
}

HRESULT IdeFrame::ExecAddin(LONG command, std::string* problem) {
  const HRESULT hr = standin_->Exec(command);
  if (FAILED(hr)) {
    *problem = DescribeFailure(hr);
    session_->Note(Format("the add-in's command %ld failed: ", command) + *problem);
    SetStatus(*problem);
  }
  return hr;
}

void IdeFrame::Notify(LONG code) {
  if (!Connected()) return;
  const HRESULT hr = standin_->OnEvent(code);
  if (FAILED(hr)) {
    session_->Note(Format("the add-in's OnEvent(0x%lX) failed: ", code) + DescribeFailure(hr));
  }
}

void IdeFrame::StartDebugging() {
  debugging_ = true;
  session_->Note("debugger: started; the simulator runs the target");
  Notify(kDebuggerStarted);
  SetStatus("Debugging");
}

void IdeFrame::StopDebugging() {
  debugging_ = false;
  session_->Note("debugger: stopped");
  Notify(kDebuggerStopped);
  SetStatus("Ready");
}

// A Debug command on triggers: the command block the debugger sends to the simulator, then the
// notification that makes the add-in refresh its trigger states.
HRESULT IdeFrame::TriggerCommand(LONG command, std::string* problem) {
  const TriggerOperation* operation = FindTriggerOperation(command);
  if (operation == nullptr) return S_OK;
  int32_t trigger = project::kAllTriggers;
  if (command == operation->one_command) {
    trigger = last_trigger_;
    if (!AskForTrigger(hwnd(), operation->prompt, model::TriggerChoices(*session_), &trigger)) {
      return S_FALSE;
    }
    last_trigger_ = trigger;
  }
  const HRESULT hr = (standin_->*operation->call)(trigger);
  if (FAILED(hr)) {
    *problem = DescribeFailure(hr);
    session_->Note("debugger: the simulator refused: " + *problem);
    SetStatus(*problem);
    return hr;
  }
  std::string target = "all triggers";
  if (trigger != project::kAllTriggers) {
    target = Format("trigger %d", trigger);
    if (const std::string* name = session_->events().Find(trigger)) target += " (" + *name + ")";
  }
  const std::string done = std::string(operation->done) + " " + target;
  session_->Note("debugger: " + done);
  Notify(kTriggerStatesChanged);
  SetStatus(std::string(1, static_cast<char>(toupper(done[0]))) + done.substr(1));
  return S_OK;
}

// ---- File ----

HRESULT IdeFrame::OpenProject() {
  if (!AskToSave()) return S_FALSE;
  std::wstring path;
  if (!ChooseProjectFile(false, &path)) return S_FALSE;
  if (debugging_) StopDebugging();
  HRESULT hr = standin_->OpenProject(MakeBstr(path).Get());
  if (FAILED(hr)) {
    ShowError("The project cannot be opened:\n" + DescribeFailure(hr));
    return hr;
  }
  if (Connected()) {
    std::string problem;
    hr = CallTriggerAction(standin_, L"LoadTriggers", &problem);
    if (FAILED(hr)) {
      ShowError("The add-in cannot load the project's triggers:\n" + problem);
      return hr;
    }
  }
  SetStatus("Opened " + FileName(ToNarrow(path)));
  return S_OK;
}

bool IdeFrame::SaveProject(bool choose_name) {
  std::wstring path;
  if ((choose_name || session_->project().path().empty()) && !ChooseProjectFile(true, &path)) {
    return false;
  }
  if (Connected()) {
    std::string problem;
    if (FAILED(CallTriggerAction(standin_, L"SaveTriggers", &problem))) {
      ShowError("The add-in cannot save its triggers:\n" + problem);
      return false;
    }
  }
  const HRESULT hr =
      path.empty() ? standin_->SaveProject() : standin_->SaveProjectAs(MakeBstr(path).Get());
  if (FAILED(hr)) {
    ShowError("The project cannot be saved:\n" + DescribeFailure(hr));
    return false;
  }
  SetStatus("Saved " + FileName(session_->project().path()));
  return true;
}

// Asks about unsaved changes; false when the user would rather stay.
bool IdeFrame::AskToSave() {
  if (!session_->project().modified()) return true;
  std::string name = FileName(session_->project().path());
  if (name.empty()) name = "Untitled";
  const std::wstring question = ResourceText(IDS_SAVE_CHANGES);
  const std::string text = Format(ToNarrow(question).c_str(), name.c_str());
  switch (MessageBoxW(hwnd(), ToWide(text).c_str(), kCaption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveProject(false);
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool IdeFrame::ChooseProjectFile(bool save, std::wstring* path) {
  std::wstring filter = ResourceText(IDS_PROJECT_FILTER);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  std::wstring folder = ToWide(session_->project().path());
  folder = folder.substr(
      0, folder.find_last_of(L"\\/") == std::wstring::npos ? 0 : folder.find_last_of(L"\\/"));
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = L"vpj";
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
  *path = file;
  return true;
}

bool IdeFrame::Close(bool ask) {
  if (hwnd() == nullptr) return true;
  if (ask && !AskToSave()) return false;
  if (debugging_) StopDebugging();
  // Leaving the IDE: the add-in goes first and closes its own windows.
  standin_->Disconnect();
  DestroyWindow();
  return true;
}

// ---- The rest ----

bool IdeFrame::PreTranslate(MSG* message) {
  if (hwnd() == nullptr) return false;
  if (message->hwnd != hwnd() && !IsChild(hwnd(), message->hwnd)) return false;
  if (client_ != nullptr && TranslateMDISysAccel(client_, message)) return true;
  return accelerators_ != nullptr && TranslateAcceleratorW(hwnd(), accelerators_, message);
}

std::string IdeFrame::ChildTitles() const {
  std::vector<std::pair<LONG_PTR, HWND>> children;
  if (client_ != nullptr) {
    for (HWND child = GetWindow(client_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      const LONG_PTR id = GetWindowLongPtrW(child, GWLP_ID);
      if (id >= model::kFirstChildWindowCommand) children.emplace_back(id, child);
    }
  }
  std::sort(children.begin(), children.end());
  std::string titles;
  for (const auto& [id, child] : children) titles += WindowText(child) + '\n';
  return titles;
}

void IdeFrame::About() {
  const std::string text = Format(ToNarrow(ResourceText(IDS_ABOUT)).c_str(), STANDIN_VERSION,
                                  Connected() ? "connected" : "none connected");
  MessageBoxW(hwnd(), ToWide(text).c_str(), L"About Vireo stand-in", MB_OK | MB_ICONINFORMATION);
}

void IdeFrame::ShowError(const std::string& text) {
  MessageBoxW(hwnd(), ToWide(text).c_str(), kCaption, MB_OK | MB_ICONERROR);
}

std::wstring IdeFrame::ResourceText(UINT id) const {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(::win::comkit::ModuleInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace standin::win
