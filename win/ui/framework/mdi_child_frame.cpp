// The MDI child frame.
#include "win/ui/framework/mdi_child_frame.h"

#include <commctrl.h>

#include <algorithm>

#include "win/comkit/conversion.h"
#include "win/comkit/module.h"
#include "win/ui/framework/activation_context.h"

namespace win::ui {
namespace {

// Posted to the frame by RequestCommandUIUpdate.
constexpr UINT kUpdateCommandUI = WM_APP + 0x41;
// The message that puts a prompt in a frame's status bar: lParam the text (ANSI), or wParam the
// identifier of a string of the frame's own, such as its idle text.
constexpr UINT kSetMessageString = 0x0362;
constexpr WPARAM kIdleMessage = 0xE001;
// While a toolbar prompt shows, a timer checks whether the pointer is still over the toolbar.
constexpr UINT_PTR kFlybyTimer = 0xE001;
constexpr UINT kFlybyCheck = 200;  // milliseconds
constexpr UINT kViewId = 0xE900;   // the usual identifier of a frame's first view

// The outer size fitted into the area the frame opens in.
SIZE Fitted(SIZE wanted, const RECT& area) {
  return {std::min<LONG>(wanted.cx, area.right - area.left),
          std::min<LONG>(wanted.cy, area.bottom - area.top)};
}

}  // namespace

UINT MenuSelectCommand(WPARAM wparam, LPARAM lparam) {
  const UINT flags = HIWORD(wparam);
  if (lparam == 0 || (flags & (MF_POPUP | MF_SEPARATOR)) || flags == 0xFFFF) return 0;
  return LOWORD(wparam);
}

MDIChildFrame::MDIChildFrame(const wchar_t* class_name) : class_name_(class_name) {}

MDIChildFrame::~MDIChildFrame() {
  // The view window is a child of the frame window, so it is destroyed first, while the view
  // object still exists.
  DestroyWindow();
}

bool MDIChildFrame::Create(HWND mdi_client, const std::wstring& title, SIZE size, HMENU menu) {
  UniqueMenu owned(menu);
  if (!view_ || !RegisterClassOf(class_name_, CS_HREDRAW | CS_VREDRAW,
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
    return false;
  }
  // The frame, its toolbar and view get the module's common controls.
  const ActivationScope scope;
  INITCOMMONCONTROLSEX classes = {};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
  HWND hwnd;
  if (mdi_client != nullptr) {
    owned.Reset();
    RECT area;
    GetClientRect(mdi_client, &area);
    const SIZE fitted = Fitted(size, area);
    hwnd =
        CreateOwn(WS_EX_MDICHILD, class_name_, title.c_str(),
                  WS_CHILD | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE,
                  CW_USEDEFAULT, CW_USEDEFAULT, fitted.cx, fitted.cy, mdi_client, nullptr);
  } else {
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const SIZE fitted = Fitted(size, area);
    hwnd = CreateOwn(0, class_name_, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                     CW_USEDEFAULT, CW_USEDEFAULT, fitted.cx, fitted.cy, nullptr, owned.Get());
    if (hwnd != nullptr) {
      owned.Detach();  // the menu is destroyed with the window
      ShowWindow(hwnd, SW_SHOW);
      SetForegroundWindow(hwnd);
    }
  }
  if (hwnd != nullptr && !locked_) {
    win::comkit::ModuleLock();
    locked_ = true;
  }
  return hwnd != nullptr;
}

void MDIChildFrame::SetIcon(UINT resource) {
  const HINSTANCE resources = win::comkit::ResourceInstance();
  icon_.Reset(
      static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  small_icon_.Reset(static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.Get()));
}

bool MDIChildFrame::IsMDIChild() const {
  return hwnd() && (GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_MDICHILD);
}

bool MDIChildFrame::RouteCommand(UINT id) {
  CommandUI ui(id);
  UpdateCommand(ui);
  if (!ui.enabled()) return ui.known();
  CommandTarget* targets[] = {view_.get(), view_ ? view_->GetDocument() : nullptr, this};
  for (CommandTarget* target : targets) {
    if (target && target->OnCommand(id)) {
      RequestCommandUIUpdate();
      return true;
    }
  }
  return false;
}

void MDIChildFrame::UpdateCommand(CommandUI& ui) {
  CommandTarget* targets[] = {view_.get(), view_ ? view_->GetDocument() : nullptr, this};
  for (CommandTarget* target : targets) {
    if (target && target->OnUpdateCommand(ui)) return;
  }
}

void MDIChildFrame::RequestCommandUIUpdate() {
  if (update_posted_ || hwnd() == nullptr) return;
  update_posted_ = PostMessageW(hwnd(), kUpdateCommandUI, 0, 0) != FALSE;
}

void MDIChildFrame::ShowPrompt(UINT command) {
  if (!IsMDIChild()) return;
  const HWND host_frame = GetAncestor(hwnd(), GA_ROOT);
  if (host_frame == nullptr || host_frame == hwnd()) return;
  const std::wstring prompt =
      command == 0 ? L"" : ToolBar::PromptText(win::comkit::ResourceInstance(), command);
  if (prompt.empty()) {
    SendMessageW(host_frame, kSetMessageString, kIdleMessage, 0);
    return;
  }
  const std::string text = win::comkit::ToNarrow(prompt);
  SendMessageW(host_frame, kSetMessageString, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MDIChildFrame::UpdateToolBar() {
  toolbar_.Update([this](UINT command) {
    CommandUI ui(command);
    UpdateCommand(ui);
    return ui.enabled();
  });
}

void MDIChildFrame::UpdateMenu(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    const UINT id = GetMenuItemID(menu, position);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // a separator or a sub-menu
    CommandUI ui(id);
    UpdateCommand(ui);
    EnableMenuItem(menu, position, MF_BYPOSITION | (ui.enabled() ? MF_ENABLED : MF_GRAYED));
  }
}

void MDIChildFrame::RecalcLayout(int width, int height) {
  int top = 0;
  if (toolbar_.hwnd()) {
    top = toolbar_.Fit();
  }
  if (view_ && view_->hwnd()) {
    MoveWindow(view_->hwnd(), 0, top, width, std::max(0, height - top), TRUE);
  }
}

LRESULT MDIChildFrame::OnNotify(NMHDR& header) {
  if (view_ && header.hwndFrom == view_->hwnd()) {
    return SendMessageW(header.hwndFrom, kReflectedBase + WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
  }
  switch (header.code) {
    case TTN_GETDISPINFOW: {
      auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
      const std::wstring tip =
          ToolBar::TipText(win::comkit::ResourceInstance(), static_cast<UINT>(header.idFrom));
      lstrcpynW(info.szText, tip.c_str(), static_cast<int>(std::size(info.szText)));
      info.lpszText = info.szText;
      info.hinst = nullptr;
      return 0;
    }
    case TBN_HOTITEMCHANGE: {
      // The pointer came onto the toolbar: its buttons are about to be used.
      RequestCommandUIUpdate();
      const auto& hot = reinterpret_cast<const NMTBHOTITEM&>(header);
      const UINT command = (hot.dwFlags & HICF_LEAVING) ? 0 : static_cast<UINT>(hot.idNew);
      ShowPrompt(command);
      // Not every toolbar says when the pointer leaves it: a timer watches for that.
      if (command != 0) SetTimer(hwnd(), kFlybyTimer, kFlybyCheck, nullptr);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT MDIChildFrame::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      if (!view_->Create(*this, kViewId)) return -1;
      if (OnCreate() != 0) return -1;
      RECT client;
      GetClientRect(hwnd(), &client);
      RecalcLayout(client.right, client.bottom);
      return Default(message, wparam, lparam);
    }
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED) RecalcLayout(LOWORD(lparam), HIWORD(lparam));
      return Default(message, wparam, lparam);
    case WM_SETFOCUS: {
      const LRESULT result = Default(message, wparam, lparam);
      if (view_ && view_->hwnd()) SetFocus(view_->hwnd());
      return result;
    }
    case WM_COMMAND:
      // Menus, accelerators and toolbar buttons; other controls' notifications are theirs.
      if (lparam == 0 || reinterpret_cast<HWND>(lparam) == toolbar_.hwnd()) {
        if (RouteCommand(LOWORD(wparam))) return 0;
      }
      return Default(message, wparam, lparam);
    case WM_INITMENUPOPUP:
      if (!HIWORD(lparam)) UpdateMenu(reinterpret_cast<HMENU>(wparam));
      return Default(message, wparam, lparam);
    case WM_MENUSELECT:
      ShowPrompt(MenuSelectCommand(wparam, lparam));
      return Default(message, wparam, lparam);
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (view_ && item->hwndItem == view_->hwnd()) {
        return SendMessageW(item->hwndItem, kReflectedBase + WM_DRAWITEM, wparam, lparam);
      }
      return Default(message, wparam, lparam);
    }
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == hwnd()) RequestCommandUIUpdate();
      return Default(message, wparam, lparam);
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) RequestCommandUIUpdate();
      return Default(message, wparam, lparam);
    case WM_TIMER:
      if (wparam != kFlybyTimer) return Default(message, wparam, lparam);
      {
        POINT at;
        if (!GetCursorPos(&at) || WindowFromPoint(at) != toolbar_.hwnd()) {
          KillTimer(hwnd(), kFlybyTimer);
          ShowPrompt(0);
        }
      }
      return 0;
    case kUpdateCommandUI:
      update_posted_ = false;
      UpdateToolBar();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

void MDIChildFrame::OnFinalMessage() {
  icon_.Reset();
  small_icon_.Reset();
  if (locked_) {
    locked_ = false;
    win::comkit::ModuleUnlock();
  }
}

}  // namespace win::ui
