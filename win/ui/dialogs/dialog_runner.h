// DialogRunner: the trigger dialogs as the edit-or-create loop sees them. Each showing makes the
// kind's dialog afresh, owned by the trigger window, and runs it modally.
#pragma once

#include <windows.h>

#include "core/window/edit_loop.h"
#include "win/ui/framework/modal_dialog.h"

namespace win::ui {

class DialogRunner : public core::window::DialogPort {
 public:
  // `resources`: the module holding the dialogs' templates; `parent`: their owner window.
  DialogRunner(HINSTANCE resources, HWND parent, ModalDialog::ShowHelp show_help)
      : resources_(resources), parent_(parent), show_help_(std::move(show_help)) {}

  core::window::DialogResult Run(core::window::EditKind kind,
                                 core::window::DialogData& data) override;

 private:
  HINSTANCE resources_;
  HWND parent_;
  ModalDialog::ShowHelp show_help_;
};

}  // namespace win::ui
