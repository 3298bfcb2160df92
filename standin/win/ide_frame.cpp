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

// Posted by the session's listener: the window catches up once for a burst of changes.
constexpr UINT kRefreshMessage = WM_APP + 1;
// Catches what the session does not announce: the project's modified mark, the add-in's
// command states.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshInterval = 500;

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

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToNarrow(text);
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
  // Loaded once for the process: each load makes a new table that nothing may destroy, so a
  // load per window would keep one more table for every window opened.
  static const HACCEL accelerators =
      LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_IDE_ACCELERATORS));
  accelerators_ = accelerators;
  menu_bar_ = menu;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU popup = GetSubMenu(menu, i);
    if (GetMenuState(popup, ID_WINDOW_CASCADE, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
      window_menu_ = popup;
    }
  }
  // 1024 by 720 at 96 DPI, larger as the screen's DPI is, within the screen.
  const int dpi = ::win::ui::WindowDpi(nullptr);
  RECT screen = {0, 0, 1024, 720};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  const int width = std::min(MulDiv(1024, dpi, 96), static_cast<int>(screen.right - screen.left));
  const int height = std::min(MulDiv(720, dpi, 96), static_cast<int>(screen.bottom - screen.top));
  HWND window = CreateMDIFrame(kWindowClass, kIdeCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, width, height, menu);
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

  // The panes' widths at 96 DPI, wider as the DPI is (their text grows with it).
  const auto scaled = [dpi = ::win::ui::WindowDpi(hwnd())](int pixels) {
    return MulDiv(pixels, dpi, 96);
  };
  const int right = static_cast<int>(area.right);
  const int parts[] = {std::max(scaled(100), right - scaled(380)),
                       std::max(scaled(200), right - scaled(250)),
                       std::max(scaled(300), right - scaled(130)), -1};
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
  MessageBoxW(hwnd(), ToWide(text).c_str(), kIdeCaption, MB_OK | MB_ICONERROR);
}

std::wstring IdeFrame::ResourceText(UINT id) const {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(::win::comkit::ModuleInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

}  // namespace standin::win
