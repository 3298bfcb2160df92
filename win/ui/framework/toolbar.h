// A window's toolbar: flat buttons with tooltips along the top of the window, one image of a
// resource bitmap per command (16 pixels wide, as high as the bitmap, light grey showing
// through), separators between groups. Each button shows its command's state (CommandUI). The
// string resource named by a command holds its prompt and its tooltip, separated by "\n".
//
// Buttons known only at run time (what an add-in registers with its host, say) follow the
// bitmap's, after a separator: each shows a copy of its own bitmap, or its text when it has none.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/ui/framework/handles.h"

namespace win::ui {

class ToolBar {
 public:
  // Images: the buttons side by side, images only (a frame's toolbar). List: a button without an
  // image shows its text, and each button is as wide as it needs (a main window's toolbar).
  enum class Layout { Images, List };

  // A button added at run time. `image` is copied; null shows `text` instead.
  struct Button {
    uint32_t command;
    HBITMAP image;
    std::wstring text;
  };

  ToolBar() = default;
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  // `commands`: one entry per button, 0 for a separator, in the order of the bitmap's images.
  // False when the bar, its images or its buttons cannot be made; the bar is then destroyed and
  // the window goes without it.
  bool Create(HWND parent, UINT id, HINSTANCE resources, UINT bitmap,
              const std::vector<uint32_t>& commands, Layout layout = Layout::Images);
  HWND hwnd() const { return hwnd_; }
  // Fits the bar to the width of its parent and returns its height; 0 without a bar.
  int Fit();
  // Enables each button as `enabled` says for its command.
  void Update(const std::function<bool(UINT command)>& enabled);
  // Replaces the buttons added at run time.
  void SetRunTimeButtons(const std::vector<Button>& buttons);

  // The tooltip text and the prompt of a command from the resource library; empty when it has
  // none.
  static std::wstring TipText(HINSTANCE resources, UINT command);
  static std::wstring PromptText(HINSTANCE resources, UINT command);

 private:
  // Adds a copy of the bitmap, brought to the image size of the list, to the image list of the
  // bar and returns its index; I_IMAGENONE when there is none.
  int AddImage(HBITMAP bitmap);
  BYTE ButtonStyle() const;

  HWND hwnd_ = nullptr;
  Layout layout_ = Layout::Images;
  std::vector<uint32_t> commands_;  // the bitmap's buttons, then the run-time ones
  size_t bitmap_buttons_ = 0;       // the bitmap's buttons and separators
  int bitmap_images_ = 0;
  UniqueImageList images_;  // the bar does not own its image list
};

}  // namespace win::ui
