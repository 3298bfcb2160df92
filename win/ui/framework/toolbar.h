// A frame's toolbar: flat buttons with tooltips along the top of the frame, one image of a
// resource bitmap per command (16 x 15 pixels each, light grey showing through), separators
// between groups. Each button shows its command's state (CommandUI). The string resource named by
// a command holds its prompt and its tooltip, separated by "\n".
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
  ToolBar() = default;
  ToolBar(const ToolBar&) = delete;
  ToolBar& operator=(const ToolBar&) = delete;

  // `commands`: one entry per button, 0 for a separator. False when the bar, its images or its
  // buttons cannot be made; the bar is then destroyed and the frame goes without it.
  bool Create(HWND parent, UINT id, HINSTANCE resources, UINT bitmap,
              const std::vector<uint32_t>& commands);
  HWND hwnd() const { return hwnd_; }
  // The bar's height after fitting it to its parent's width; 0 without a bar.
  int Fit();
  // Enables each button as `enabled` says for its command.
  void Update(const std::function<bool(UINT command)>& enabled);
  // The tooltip text and the prompt of a command from the resource library; empty when it has
  // none.
  static std::wstring TipText(HINSTANCE resources, UINT command);
  static std::wstring PromptText(HINSTANCE resources, UINT command);

 private:
  HWND hwnd_ = nullptr;
  std::vector<uint32_t> commands_;
  UniqueImageList images_;  // the bar does not own its image list
};

}  // namespace win::ui
