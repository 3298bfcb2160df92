// The toolbar.
#include "win/ui/framework/toolbar.h"

#include <commctrl.h>

#include <string>

#include "win/comkit/module.h"

namespace win::ui {
namespace {

// Pixels of this colour are transparent in toolbar bitmaps.
constexpr COLORREF kTransparent = RGB(192, 192, 192);
constexpr int kImageWidth = 16;

TBBUTTON Separator() {
  TBBUTTON button = {};
  button.fsStyle = BTNS_SEP;
  button.iString = -1;
  return button;
}

}  // namespace

bool ToolBar::Create(HWND parent, UINT id, HINSTANCE resources, UINT bitmap,
                     const std::vector<uint32_t>& commands, Layout layout) {
  layout_ = layout;
  const DWORD style =
      layout == Layout::List
          ? WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST | CCS_TOP
          : WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP |
                CCS_NODIVIDER;
  hwnd_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          win::comkit::ModuleInstance(), nullptr);
  if (hwnd_ == nullptr) return false;
  SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (layout == Layout::List) SendMessageW(hwnd_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);

  // The images are as high as the bitmap; light grey is their background, masked so that the
  // button face shows through.
  const UniqueGdi<HBITMAP> strip(static_cast<HBITMAP>(
      LoadImageW(resources, MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP size = {};
  if (strip) GetObjectW(strip.Get(), sizeof size, &size);
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (uint32_t command : commands) {
    TBBUTTON button = Separator();
    if (command != 0) {
      button.iBitmap = image++;
      button.idCommand = static_cast<int>(command);
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = ButtonStyle();
    }
    buttons.push_back(button);
  }
  if (strip) {
    images_.Reset(ImageList_Create(kImageWidth, size.bmHeight, ILC_COLOR32 | ILC_MASK,
                                   size.bmWidth / kImageWidth, 4));
  }
  if (images_) ImageList_AddMasked(images_.Get(), strip.Get(), kTransparent);
  if (!images_ || ImageList_GetImageCount(images_.Get()) < image) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    images_.Reset();
    return false;
  }
  SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Get()));
  if (!SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons.size(),
                    reinterpret_cast<LPARAM>(buttons.data()))) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    images_.Reset();
    return false;
  }
  if (layout == Layout::List) SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
  commands_ = commands;
  bitmap_buttons_ = commands.size();
  bitmap_images_ = ImageList_GetImageCount(images_.Get());
  return true;
}

BYTE ToolBar::ButtonStyle() const {
  // In a list-style bar every button would take the widest text: they size themselves.
  return layout_ == Layout::List ? BTNS_BUTTON | BTNS_AUTOSIZE : BTNS_BUTTON;
}

int ToolBar::Fit() {
  if (hwnd_ == nullptr) return 0;
  SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);
  RECT bar;
  GetWindowRect(hwnd_, &bar);
  return bar.bottom - bar.top;
}

void ToolBar::Update(const std::function<bool(UINT command)>& enabled) {
  if (hwnd_ == nullptr) return;
  for (uint32_t command : commands_) {
    if (command == 0) continue;
    const bool on = enabled(command);
    if ((SendMessageW(hwnd_, TB_ISBUTTONENABLED, command, 0) != 0) != on) {
      SendMessageW(hwnd_, TB_ENABLEBUTTON, command, MAKELPARAM(on ? TRUE : FALSE, 0));
    }
  }
}

int ToolBar::AddImage(HBITMAP bitmap) {
  if (bitmap == nullptr) return I_IMAGENONE;
  int width = 0, height = 0;
  ImageList_GetIconSize(images_.Get(), &width, &height);
  BITMAP size = {};
  GetObjectW(bitmap, sizeof size, &size);
  const bool fits = size.bmWidth == width && size.bmHeight == height;
  // ImageList_AddMasked blackens the transparent pixels of the bitmap it is given: a copy.
  const UniqueGdi<HBITMAP> copy(static_cast<HBITMAP>(
      CopyImage(bitmap, IMAGE_BITMAP, fits ? 0 : width, fits ? 0 : height, LR_CREATEDIBSECTION)));
  if (!copy) return I_IMAGENONE;
  const int index = ImageList_AddMasked(images_.Get(), copy.Get(), kTransparent);
  return index < 0 ? I_IMAGENONE : index;
}

void ToolBar::SetRunTimeButtons(const std::vector<Button>& buttons) {
  if (hwnd_ == nullptr) return;
  for (int i = static_cast<int>(SendMessageW(hwnd_, TB_BUTTONCOUNT, 0, 0)) - 1;
       i >= static_cast<int>(bitmap_buttons_); --i) {
    SendMessageW(hwnd_, TB_DELETEBUTTON, static_cast<WPARAM>(i), 0);
  }
  ImageList_SetImageCount(images_.Get(), static_cast<UINT>(bitmap_images_));
  commands_.resize(bitmap_buttons_);
  if (buttons.empty()) return;

  std::vector<TBBUTTON> added = {Separator()};
  commands_.push_back(0);
  for (const Button& button : buttons) {
    TBBUTTON tb = {};
    tb.iBitmap = AddImage(button.image);
    tb.idCommand = static_cast<int>(button.command);
    tb.fsState = TBSTATE_ENABLED;
    tb.fsStyle = ButtonStyle();
    tb.iString = -1;
    if (tb.iBitmap == I_IMAGENONE) {
      // The bar copies the text.
      tb.fsStyle |= BTNS_SHOWTEXT;
      tb.iString = reinterpret_cast<INT_PTR>(button.text.c_str());
    }
    added.push_back(tb);
    commands_.push_back(button.command);
  }
  SendMessageW(hwnd_, TB_ADDBUTTONSW, added.size(), reinterpret_cast<LPARAM>(added.data()));
}

namespace {

// The command's string: "prompt\ntooltip", or one text that serves as both.
std::wstring CommandString(HINSTANCE resources, UINT command) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(resources, command, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return L"";
  return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace

std::wstring ToolBar::TipText(HINSTANCE resources, UINT command) {
  const std::wstring text = CommandString(resources, command);
  const size_t newline = text.find(L'\n');
  return newline == std::wstring::npos ? text : text.substr(newline + 1);
}

std::wstring ToolBar::PromptText(HINSTANCE resources, UINT command) {
  const std::wstring text = CommandString(resources, command);
  return text.substr(0, text.find(L'\n'));
}

}  // namespace win::ui
