// Pictures of dialogs for people: what the screen shows of a window, as a BMP file.
#include "tests/win/dialogs/dialog_driver.h"

#include <cstdio>
#include <cstdlib>

namespace dialog_test {

void Screenshot(HWND window, const char* name) {
  const char* folder = std::getenv("TRIGGER_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') return;
  SendMessageW(window, WM_NCACTIVATE, TRUE, 0);  // drawn as the active window it is
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  Sleep(200);  // the display catches up

  RECT bounds = {};
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // The window's own surface holds its frame and its children as drawn.
  HDC screen = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();

  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD image_size = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + image_size;
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, image_size, 1, out);
    std::fclose(out);
  } else {
    ADD_FAILURE() << "cannot write " << path;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
}

}  // namespace dialog_test
