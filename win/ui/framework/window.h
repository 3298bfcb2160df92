// Window: a C++ object behind a window. Windows of the framework's own classes send every message
// to their object from the first one on; common controls (a list view) are subclassed right after
// their creation, by replacing their window procedure (the object in GWLP_USERDATA, as for the
// framework's own windows: reaching it costs no window property look-up, which matters for a
// list filled with thousands of messages). Messages the object does not handle go to the window's
// default procedure: the class's own (for a subclassed control), DefMDIChildProc for an MDI
// child, DefFrameProc for an MDI frame, else DefWindowProc.
//
// Lifetime: the object outlives its window. OnFinalMessage runs after the window's last message
// (WM_NCDESTROY); an object that owns itself may delete itself there, and nothing touches it
// afterwards. Destroying the object destroys a window it still has, without calling the object.
//
// Window classes belong to the module that registers them (comkit's ModuleInstance): each module
// that links the framework registers the classes it uses under its own instance, and
// UnregisterClasses removes them when the module unloads, so that a module loaded again does not
// find classes whose procedure was in its former copy.
#pragma once

#include <windows.h>

namespace win::ui {

// Controls send their notifications to their parent; the framework's frames send them back to
// the control that sent them, as this base plus the original message (WM_NOTIFY, WM_DRAWITEM).
inline constexpr UINT kReflectedBase = WM_USER + 0x1C00;

// The DPI a window is shown at: the window's own where the system tells it, else its screen's
// (a null window: the screen's). The framework does not change how aware of the DPI the process
// is; it draws for the DPI its host's process gets.
int WindowDpi(HWND window);

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Destroys the window (OnFinalMessage runs before this returns).
  void DestroyWindow();

  // Registers a window class of this module whose windows reach their objects; false when it
  // cannot. A class is registered once; the module's registrations are remembered for
  // UnregisterClasses.
  static bool RegisterClassOf(const wchar_t* name, UINT style, HBRUSH background,
                              HICON icon = nullptr);
  // Unregisters every class this module registered. A module calls it when it unloads; a class
  // that still has windows stays.
  static void UnregisterClasses();

 protected:
  // A window of a class registered with RegisterClassOf. WS_EX_MDICHILD makes an MDI child of
  // `parent`, the MDI client.
  HWND CreateOwn(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                 int x, int y, int width, int height, HWND parent, HMENU menu);
  // A top-level MDI frame of a class registered with RegisterClassOf. Its default procedure is
  // DefFrameProc over the MDI client it names with SetMDIClient once it has made it.
  HWND CreateMDIFrame(const wchar_t* class_name, const wchar_t* title, DWORD style, int x, int y,
                      int width, int height, HMENU menu);
  void SetMDIClient(HWND client) { mdi_client_ = client; }
  // A window of a system class, subclassed.
  HWND CreateControl(DWORD ex_style, const wchar_t* class_name, DWORD style, HWND parent, UINT id);

  virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return Default(message, wparam, lparam);
  }
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);
  virtual void OnFinalMessage() {}

 private:
  enum class Kind { Own, MDIChild, MDIFrame, Control };

  static LRESULT CALLBACK ClassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HWND Create(Kind kind, DWORD ex_style, const wchar_t* class_name, const wchar_t* title,
              DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu);
  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  void Detach();

  HWND hwnd_ = nullptr;
  Kind kind_ = Kind::Own;
  WNDPROC control_proc_ = nullptr;  // the control's own procedure
  HWND mdi_client_ = nullptr;       // an MDI frame's client
};

}  // namespace win::ui
