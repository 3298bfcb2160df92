// Driving windows as a user would, by messages: the message queue, the trigger window's list and
// toolbar, modal dialogs and message boxes scripted step by step, an open popup menu, pictures
// of windows, and WindowTest, the add-in connected in the host stand-in with its triggers loaded.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "standin/win/ide_ids.h"
#include "tests/win/support/win_test.h"
#include "win/resources/resource_ids.h"

namespace wintest {

// Runs the thread's queue until it is empty.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
// Runs it until the condition holds, for two seconds at most; whether it held.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (const DWORD end = GetTickCount() + 2000; !done(); Sleep(5)) {
    if (static_cast<LONG>(end - GetTickCount()) < 0) return false;
    Pump();
  }
  return true;
}

inline std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The trigger window's frames: top-level ones, or the MDI children of `client`.
inline std::vector<HWND> TriggerFrames(HWND client = nullptr) {
  std::vector<HWND> frames;
  for (HWND window = FindWindowExW(client, nullptr, L"TriggerAddinFrame", nullptr); window;
       window = FindWindowExW(client, window, L"TriggerAddinFrame", nullptr)) {
    frames.push_back(window);
  }
  return frames;
}
// The list of a frame: its view, found by the identifier a frame usually gives its first view.
inline HWND ListOf(HWND frame) { return GetDlgItem(frame, 0xE900); }

inline int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}
inline std::string ItemText(HWND list, int row, int column) {
  char text[260] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
// The texts of a column, row by row; or the texts of a row joined with ", " as the list export
// writes them.
inline std::vector<std::string> Column(HWND list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < RowCount(list); ++row) texts.push_back(ItemText(list, row, column));
  return texts;
}
inline std::string RowLine(HWND list, int row) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  std::string line;
  for (int column = 0; column < SendMessageW(header, HDM_GETITEMCOUNT, 0, 0); ++column) {
    line += (column ? ", " : "") + ItemText(list, row, column);
  }
  return line;
}
// Selects exactly these rows, the last one focused, as clicks with Ctrl would; the toolbar
// follows once the queue is idle.
inline void SelectRows(HWND list, const std::vector<int>& rows) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  for (int row : rows) SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  Pump();
}
inline bool ButtonEnabled(HWND frame, UINT command) {
  return SendMessageW(GetDlgItem(frame, IDC_TRIGGER_TOOLBAR), TB_ISBUTTONENABLED, command, 0);
}
// A command as the toolbar sends it to its frame.
inline void ClickButton(HWND frame, UINT command) {
  EXPECT_TRUE(ButtonEnabled(frame, command)) << command;
  SendMessageW(frame, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(frame, IDC_TRIGGER_TOOLBAR)));
  Pump();
}
// A double-click as the mouse makes it, in the middle of a row's Name cell.
inline void DoubleClick(HWND list, int row) {
  RECT cell = {};
  ListView_GetSubItemRect(list, row, 2, LVIR_BOUNDS, &cell);
  const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  Pump();
}
inline void PressKey(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 0);
  Pump();
}

// The popup menu that `open` shows, read while it is open and then closed: the identifiers of its
// enabled items, after how many items it has; where it was on the screen goes to `place`.
inline std::vector<UINT> ReadMenu(const std::function<void()>& open, RECT* place = nullptr) {
  static std::vector<UINT> items;
  static RECT where;
  items.clear();
  SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND popup = FindWindowW(L"#32768", nullptr);
    GetWindowRect(popup, &where);
    const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    items.push_back(0);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      const UINT id = GetMenuItemID(menu, i);
      items[0] += id != 0;
      if (id && !(GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED))) {
        items.push_back(id);
      }
    }
    EndMenu();
  });
  open();
  Pump();
  if (place) *place = where;
  return items;
}

// While it lives, every top-level window the thread opens (a dialog, a message box) runs the next
// scripted step once it shows, from a timer inside its own modal loop. A step acts and reads as
// a user would and ends by closing its window. A window nobody scripted, or one its step left
// open, is cancelled and fails the test.
class UserScript {
 public:
  using Step = std::function<void(HWND window)>;

  UserScript() : hook_(SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId())) {
    current_ = this;
  }
  ~UserScript() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted window(s) never opened";
  }
  UserScript& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  int seen = 0;  // windows that opened

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    const auto window = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_CREATEWND &&
        !(reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs->style & WS_CHILD)) {
      SetPropW(window, L"UserScript", window);  // new: scripted when first active
    } else if (code == HCBT_ACTIVATE && RemovePropW(window, L"UserScript") && current_) {
      current_->pending_.push_back(window);
      SetTimer(nullptr, 0, 10, Tick);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    while (current_ && !current_->pending_.empty()) {
      const HWND window = current_->pending_.front();
      // A dialog shows once its queue is idle after its first focus: wait for that.
      if (IsWindow(window) && !IsWindowVisible(window) && ++current_->waits_ < 200) {
        SetTimer(nullptr, 0, 10, Tick);
        return;
      }
      current_->waits_ = 0;
      current_->pending_.pop_front();
      if (IsWindow(window)) current_->Run(window);
    }
  }
  void Run(HWND window) {
    ++seen;
    const std::string title = WindowText(window);
    if (steps_.empty()) {
      ADD_FAILURE() << "unscripted window \"" << title << "\" opened";
    } else {
      const Step step = std::move(steps_.front());
      steps_.pop_front();
      step(window);
    }
    if (IsWindow(window) && IsWindowVisible(window)) {
      ADD_FAILURE() << "\"" << title << "\" was left open";
      PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
  }

  static inline UserScript* current_ = nullptr;
  HHOOK hook_;
  std::deque<HWND> pending_;
  std::deque<Step> steps_;
  int waits_ = 0;
};

inline HWND Control(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}
inline std::string Text(HWND dialog, int id) { return WindowText(Control(dialog, id)); }
// Several controls' texts, joined with spaces.
inline std::string Texts(HWND dialog, std::initializer_list<int> ids) {
  std::string texts;
  for (int id : ids) texts += (texts.empty() ? "" : " ") + Text(dialog, id);
  return texts;
}
inline void Type(HWND dialog, int id, const std::string& text) {
  SendMessageA(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
inline void Click(HWND dialog, int id) { SendMessageW(Control(dialog, id), BM_CLICK, 0, 0); }
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Control(dialog, id)) != FALSE; }
inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
// The control with the focus (0 for none of the dialog's).
inline int Focused(HWND dialog) {
  const HWND focus = GetFocus();
  return focus && IsChild(dialog, focus) ? GetDlgCtrlID(focus) : 0;
}
// An edit box's text is selected whole, as a failed test leaves it.
inline bool AllSelected(HWND dialog, int id) {
  DWORD start = 1, end = 0;
  SendMessageW(Control(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return start == 0 && end == Text(dialog, id).size();
}
// The items of a drop-down list or a list box.
inline std::vector<std::string> Items(HWND dialog, int id) {
  const HWND box = Control(dialog, id);
  char name[16] = "";
  GetClassNameA(box, name, sizeof name);
  const bool list_box = lstrcmpiA(name, "ListBox") == 0;
  std::vector<std::string> items;
  for (LRESULT i = 0; i < SendMessageA(box, list_box ? LB_GETCOUNT : CB_GETCOUNT, 0, 0); ++i) {
    char item[256] = "";
    SendMessageA(box, list_box ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items.push_back(item);
  }
  return items;
}
// Picks an item of a drop-down list, or selects (double-clicks) one of a list box, as the mouse
// would, telling the dialog.
inline void Pick(HWND dialog, int id, const std::string& item) {
  const HWND box = Control(dialog, id);
  const LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(item.c_str()));
  EXPECT_GE(index, 0) << "no item " << item;
  SendMessageA(box, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}
inline void Choose(HWND dialog, int id, int index, bool double_click = false) {
  const HWND box = Control(dialog, id);
  SendMessageA(box, LB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, double_click ? LBN_DBLCLK : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}
// A step that notes a message box as "caption: text" and answers OK; with a name, a picture of
// the box is saved first (see Screenshot).
inline void Screenshot(HWND window, const char* name);
inline UserScript::Step Answer(std::string* message, const char* picture = nullptr) {
  return [message, picture](HWND box) {
    if (picture) Screenshot(box, picture);
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    *message = WindowText(box) + ": " + text;
    SendMessageW(box, WM_COMMAND, IDOK, 0);
  };
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
inline uint32_t Rgb(int system_colour) {
  const COLORREF colour = GetSysColor(system_colour);
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}
// A 32-bit picture's header, top row first.
inline BITMAPINFOHEADER Header(int width, int height) {
  return {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}
// What the screen shows of a window's client area (or of the whole window, frame included),
// drawn afresh, or with `redraw` false as the window's own updates left it.
inline Image Capture(HWND window, bool client_only = true, bool redraw = true) {
  if (redraw) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  Pump();
  RECT area;
  client_only ? GetClientRect(window, &area) : GetWindowRect(window, &area);
  Image image{area.right - area.left, area.bottom - area.top, {}};
  const BITMAPINFO info = {Header(image.width, image.height), {}};
  const HDC screen = client_only ? GetDC(window) : GetWindowDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const uint32_t*>(bits);
  image.pixels.assign(source, source + static_cast<size_t>(image.width) * image.height);
  for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return image;
}
// Saves a picture of the window, frame included, as a BMP under the folder that
// TRIGGER_SCREENSHOTS names, when it is set.
inline void Screenshot(HWND window, const char* name) {
  char folder[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("TRIGGER_SCREENSHOTS", folder, MAX_PATH)) return;
  SendMessageW(window, WM_NCACTIVATE, TRUE, 0);  // drawn as the active window it is
  Sleep(200);                                    // the display catches up
  const Image image = Capture(window, false);
  FILE* out = std::fopen((std::string(folder) + "\\" + name + ".bmp").c_str(), "wb");
  if (out == nullptr) return;
  const BITMAPINFOHEADER info = Header(image.width, image.height);
  BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info};  // "BM"
  file.bfSize = file.bfOffBits + static_cast<DWORD>(image.pixels.size() * 4);
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(image.pixels.data(), 4, image.pixels.size(), out);
  std::fclose(out);
}

// The add-in connected to the stand-in with the sample triggers loaded. Open runs the trigger
// command as the host menu does, and Ide opens the IDE window of the stand-in, an MDI frame.
// Closing and disconnecting leave no window behind.
class WindowTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ConnectAndLoad();
  }
  void TearDown() override {
    VARIANT_BOOL closed = VARIANT_FALSE;
    if (standin_) standin_->CloseWindow(VARIANT_FALSE, &closed);
    HostTest::TearDown();
    Pump();
    EXPECT_TRUE(TriggerFrames().empty());
  }
  // The one frame the command opened or activated: top-level, or an MDI child of `client`.
  HWND Open(HWND client = nullptr) {
    EXPECT_HR(S_OK, standin_->Exec(ID_TRIGGER_WINDOW));
    Pump();
    const std::vector<HWND> frames = TriggerFrames(client);
    EXPECT_EQ(frames.size(), 1u);
    return frames.size() == 1 ? frames.front() : nullptr;
  }
  void Close(HWND frame) {
    SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(frame));
  }
  // The IDE window's frame; its MDI client is GetDlgItem(frame, IDC_MDI_CLIENT).
  HWND Ide() {
    LONG window = 0;
    EXPECT_HR(S_OK, standin_->ShowWindow(&window));
    Pump();
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
  }
};

}  // namespace wintest
