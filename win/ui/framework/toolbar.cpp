// The frame's toolbar.
#include "win/ui/framework/toolbar.h"

#include <commctrl.h>

#include <string>

#include "win/comkit/module.h"

namespace win::ui {

bool ToolBar::Create(HWND parent, UINT id, HINSTANCE resources, UINT bitmap,
                     const std::vector<uint32_t>& commands) {
  hwnd_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                              TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          win::comkit::ModuleInstance(), nullptr);
  if (hwnd_ == nullptr) return false;
  SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

  // Light grey is the images' background: masked, so the button face shows through.
  images_.Reset(ImageList_LoadImageW(resources, MAKEINTRESOURCEW(bitmap), 16, 0, RGB(192, 192, 192),
                                     IMAGE_BITMAP, LR_CREATEDIBSECTION));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (uint32_t command : commands) {
    TBBUTTON button = {};
    if (command == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.idCommand = static_cast<int>(command);
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(button);
  }
  if (!images_ || ImageList_GetImageCount(images_.Get()) < image ||
      !SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons.size(),
                    reinterpret_cast<LPARAM>(buttons.data()))) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    images_.Reset();
    return false;
  }
  SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Get()));
  commands_ = commands;
  return true;
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
