// Driving the trigger window as a user would, by messages: the message queue, the list's rows
// and selection, scripted message boxes and menus, a captured client area, and an MDI frame of
// the test's own for the window to open in.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace windowtest {

// Runs the thread's queue until it is empty.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
// Runs it for a while: what Wine's X11 driver does comes through the queue over time.
inline void PumpFor(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    Pump();
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

inline std::string ItemText(HWND list, int row, int column) {
  char text[260] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

inline int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// Every row's texts joined with ", ", as the trigger list export writes them.
inline std::vector<std::string> RowLines(HWND list) {
  std::vector<std::string> lines;
  const int columns = static_cast<int>(SendMessageW(
      reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < RowCount(list); ++row) {
    std::string line;
    for (int column = 0; column < columns; ++column) {
      line += (column ? ", " : "") + ItemText(list, row, column);
    }
    lines.push_back(line);
  }
  return lines;
}

inline std::vector<std::string> Column(HWND list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < RowCount(list); ++row) texts.push_back(ItemText(list, row, column));
  return texts;
}

// Selects exactly these rows, the last one focused, as clicks with Ctrl would.
inline void Select(HWND list, const std::vector<int>& rows) {
  LVITEMW none = {};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  for (int row : rows) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
}

// A command as the toolbar sends it to its frame.
inline void ClickToolbarButton(HWND frame, UINT command) {
  const HWND toolbar = GetDlgItem(frame, 103);
  ASSERT_NE(toolbar, nullptr);
  ASSERT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0)) << command;
  SendMessageW(frame, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
               reinterpret_cast<LPARAM>(toolbar));
}

inline std::string WindowText(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// While it lives, every message box and dialog the thread opens is recorded (caption, then its
// static texts) and answered with its default button.
class DialogScript {
 public:
  DialogScript() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &DialogScript::Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogScript() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  std::vector<std::string> seen;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && current_) {
      const HWND window = reinterpret_cast<HWND>(wparam);
      wchar_t class_name[16] = L"";
      GetClassNameW(window, class_name, 16);
      if (lstrcmpW(class_name, L"#32770") == 0) {
        std::string line = WindowText(window);
        EnumChildWindows(
            window,
            [](HWND child, LPARAM text) {
              wchar_t name[16] = L"";
              GetClassNameW(child, name, 16);
              if (lstrcmpiW(name, L"Static") == 0 && !WindowText(child).empty()) {
                *reinterpret_cast<std::string*>(text) += ": " + WindowText(child);
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&line));
        current_->seen.push_back(line);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
      }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }

  static inline DialogScript* current_ = nullptr;
  HHOOK hook_ = nullptr;
};

// A popup menu while it is open: its items' identifiers and whether each is enabled, then closed.
struct MenuItem {
  UINT id;
  bool enabled;
};
inline std::vector<MenuItem> ReadOpenMenu() {
  std::vector<MenuItem> items;
  const HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup == nullptr) return items;
  const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0) continue;
    items.push_back({id, !(GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED))});
  }
  return items;
}

// A window's client area as the screen shows it.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline uint32_t Rgb(COLORREF colour) {
  return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// The window area on screen (client only, or with its frame).
inline Image Capture(HWND window, bool client_only = true) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  PumpFor(100);
  RECT area;
  if (client_only) {
    GetClientRect(window, &area);
  } else {
    GetWindowRect(window, &area);
    OffsetRect(&area, -area.left, -area.top);
  }
  Image image;
  image.width = area.right;
  image.height = area.bottom;
  const HDC screen = client_only ? GetDC(window) : GetWindowDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
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

// A 24-bit BMP of the image, for people to look at.
inline void SaveBitmap(const Image& image, const std::string& path) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  const int stride = (image.width * 3 + 3) & ~3;
  const uint32_t size = static_cast<uint32_t>(stride) * image.height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + size;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = size;
  std::fwrite(&file, sizeof(file), 1, out);
  std::fwrite(&info, sizeof(info), 1, out);
  std::vector<uint8_t> line(stride, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t pixel = image.At(x, y);
      line[x * 3] = pixel & 0xFF;
      line[x * 3 + 1] = (pixel >> 8) & 0xFF;
      line[x * 3 + 2] = (pixel >> 16) & 0xFF;
    }
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
}

// Saves a screenshot of the window under the folder named by TRIGGER_SCREENSHOTS, if set.
inline void Screenshot(HWND window, const char* name) {
  char folder[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("TRIGGER_SCREENSHOTS", folder, MAX_PATH)) return;
  SaveBitmap(Capture(window, false), std::string(folder) + "\\" + name + ".bmp");
}

// A top-level window with an MDI client, as the host's main window is.
class MdiFrame {
 public:
  MdiFrame() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = &MdiFrame::Proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    window_class.lpszClassName = L"TriggerTestMdiFrame";
    RegisterClassW(&window_class);
    frame_ = CreateWindowExW(0, L"TriggerTestMdiFrame", L"Vireo (test host)",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 1100, 520,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CLIENTCREATESTRUCT client_create = {};
    client_create.idFirstChild = 50000;
    client_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                              WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0,
                              0, 0, 0, frame_, nullptr, GetModuleHandleW(nullptr), &client_create);
    RECT area;
    GetClientRect(frame_, &area);
    MoveWindow(client_, 0, 0, area.right, area.bottom, TRUE);
    Pump();
  }
  ~MdiFrame() {
    DestroyWindow(frame_);
    UnregisterClassW(L"TriggerTestMdiFrame", GetModuleHandleW(nullptr));
    UnregisterClassW(L"TriggerTestMdiChild", GetModuleHandleW(nullptr));
    Pump();
  }
  MdiFrame(const MdiFrame&) = delete;
  MdiFrame& operator=(const MdiFrame&) = delete;

  HWND frame() const { return frame_; }
  HWND client() const { return client_; }
  HWND ActiveChild() const {
    return reinterpret_cast<HWND>(SendMessageW(client_, WM_MDIGETACTIVE, 0, 0));
  }
  // The last prompt a child window put in the frame's status bar; "(idle)" for the idle text.
  static inline std::string prompt;

  // Another MDI child, so that the trigger window can lose the activation.
  HWND AddChild() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = DefMDIChildProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"TriggerTestMdiChild";
    RegisterClassW(&window_class);
    MDICREATESTRUCTW create = {};
    create.szClass = L"TriggerTestMdiChild";
    create.szTitle = L"Other";
    create.hOwner = GetModuleHandleW(nullptr);
    create.x = create.y = CW_USEDEFAULT;
    create.cx = 300;
    create.cy = 200;
    return reinterpret_cast<HWND>(
        SendMessageW(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND client = FindWindowExW(window, nullptr, L"MDIClient", nullptr);
    if (message == WM_SIZE && client) {
      MoveWindow(client, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    }
    if (message == 0x0362) {  // WM_SETMESSAGESTRING
      prompt = lparam ? reinterpret_cast<const char*>(lparam) : "(idle)";
      return 0;
    }
    return DefFrameProcW(window, client, message, wparam, lparam);
  }

  HWND frame_ = nullptr;
  HWND client_ = nullptr;
};

// The trigger window's frames open in this process: top-level ones, or MDI children of `client`.
inline std::vector<HWND> TriggerFrames(HWND client = nullptr) {
  std::vector<HWND> frames;
  for (HWND window = FindWindowExW(client, nullptr, L"TriggerAddinFrame", nullptr); window;
       window = FindWindowExW(client, window, L"TriggerAddinFrame", nullptr)) {
    frames.push_back(window);
  }
  return frames;
}

// The frame's list: its view, with the usual identifier of a frame's first view.
inline HWND ListOf(HWND frame) { return GetDlgItem(frame, 0xE900); }

}  // namespace windowtest
