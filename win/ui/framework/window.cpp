// Window objects, the two procedures that reach them, and the module's window classes.
#include "win/ui/framework/window.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "win/comkit/module.h"

namespace win::ui {
namespace {

// The object of the window being created on this thread: its first messages (WM_GETMINMAXINFO,
// WM_NCCREATE) arrive before CreateWindowEx returns the handle.
thread_local Window* creating = nullptr;

// The classes this module registered, for UnregisterClasses.
std::vector<std::wstring>& RegisteredClasses() {
  static std::vector<std::wstring> classes;
  return classes;
}

LRESULT DefaultOf(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) {
    return DefMDIChildProcW(hwnd, message, wparam, lparam);
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// An MDI child goes through its MDI client, which then activates the next child.
void Destroy(HWND hwnd) {
  if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD) {
    SendMessageW(GetParent(hwnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
  } else {
    ::DestroyWindow(hwnd);
  }
}

}  // namespace

Window::~Window() {
  if (hwnd_ == nullptr) return;
  const HWND hwnd = hwnd_;
  Detach();
  Destroy(hwnd);
}

void Window::DestroyWindow() {
  if (hwnd_ != nullptr) Destroy(hwnd_);
}

bool Window::RegisterClassOf(const wchar_t* name, UINT style, HBRUSH background, HICON icon) {
  const HINSTANCE instance = win::comkit::ModuleInstance();
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, name, &existing)) return true;
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.style = style;
  window_class.lpfnWndProc = &Window::ClassProc;
  window_class.hInstance = instance;
  window_class.hIcon = icon;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  if (RegisterClassExW(&window_class) == 0) return false;
  RegisteredClasses().emplace_back(name);
  return true;
}

void Window::UnregisterClasses() {
  for (const std::wstring& name : RegisteredClasses()) {
    UnregisterClassW(name.c_str(), win::comkit::ModuleInstance());
  }
  RegisteredClasses().clear();
}

HWND Window::Create(Kind kind, DWORD ex_style, const wchar_t* class_name, const wchar_t* title,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu) {
  kind_ = kind;
  Window* const outer = creating;
  creating = this;
  const HWND hwnd = CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent,
                                    menu, win::comkit::ModuleInstance(), nullptr);
  creating = outer;
  if (hwnd == nullptr) hwnd_ = nullptr;
  return hwnd;
}

HWND Window::CreateOwn(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                       int x, int y, int width, int height, HWND parent, HMENU menu) {
  return Create((ex_style & WS_EX_MDICHILD) ? Kind::MDIChild : Kind::Own, ex_style, class_name,
                title, style, x, y, width, height, parent, menu);
}

HWND Window::CreateMDIFrame(const wchar_t* class_name, const wchar_t* title, DWORD style, int x,
                            int y, int width, int height, HMENU menu) {
  mdi_client_ = nullptr;
  return Create(Kind::MDIFrame, 0, class_name, title, style, x, y, width, height, nullptr, menu);
}

HWND Window::CreateControl(DWORD ex_style, const wchar_t* class_name, DWORD style, HWND parent,
                           UINT id) {
  kind_ = Kind::Control;
  const HWND hwnd = CreateWindowExW(ex_style, class_name, L"", style, 0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    win::comkit::ModuleInstance(), nullptr);
  if (hwnd == nullptr) return nullptr;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  control_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::ControlProc)));
  if (control_proc_ == nullptr) {
    ::DestroyWindow(hwnd);
    return nullptr;
  }
  hwnd_ = hwnd;
  return hwnd;
}

LRESULT Window::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (kind_) {
    case Kind::Control:
      return CallWindowProcW(control_proc_, hwnd_, message, wparam, lparam);
    case Kind::MDIChild:
      return DefMDIChildProcW(hwnd_, message, wparam, lparam);
    case Kind::MDIFrame:
      return DefFrameProcW(hwnd_, mdi_client_, message, wparam, lparam);
    case Kind::Own:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Window::Detach() {
  if (kind_ == Kind::Control && control_proc_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control_proc_));
  }
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  mdi_client_ = nullptr;
}

LRESULT Window::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_NCDESTROY) return WindowProc(message, wparam, lparam);
  const LRESULT result = WindowProc(message, wparam, lparam);
  Detach();
  OnFinalMessage();  // may delete this
  return result;
}

LRESULT CALLBACK Window::ClassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (object == nullptr && creating != nullptr) {
    object = std::exchange(creating, nullptr);
    object->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
  }
  if (object == nullptr) return DefaultOf(hwnd, message, wparam, lparam);
  return object->Dispatch(message, wparam, lparam);
}

LRESULT CALLBACK Window::ControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (object == nullptr || object->hwnd_ != hwnd)
    return DefWindowProcW(hwnd, message, wparam, lparam);
  return object->Dispatch(message, wparam, lparam);
}

int WindowDpi(HWND window) {
  // Windows 10 and Wine have GetDpiForWindow; older systems give every window the screen's DPI.
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window && get_dpi_for_window) {
    if (const UINT dpi = get_dpi_for_window(window)) return static_cast<int>(dpi);
  }
  const HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
  if (dc) ReleaseDC(window, dc);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace win::ui
