// The trigger dialogs, one class per kind.
#include "win/ui/dialogs/dialog_runner.h"

#include <memory>

#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

using core::window::DialogResult;

DialogResult DialogRunner::Run(EditKind kind, DialogData& data) {
  std::unique_ptr<TriggerDialog> dialog;
  switch (kind) {
    case EditKind::Interrupt:
      dialog = std::make_unique<CTriggerInterrupt>(resources_, show_help_, data);
      break;
    case EditKind::Stream:
      dialog = std::make_unique<CTriggerData>(resources_, show_help_, data);
      break;
    case EditKind::Transfer:
      dialog = std::make_unique<CTriggerTransfer>(resources_, show_help_, data);
      break;
    case EditKind::IOStream:
      dialog = std::make_unique<CTriggerIoStream>(resources_, show_help_, data);
      break;
    case EditKind::Control:
      dialog = std::make_unique<CTriggerControl>(resources_, show_help_, data);
      break;
    case EditKind::Connect:
      dialog = std::make_unique<CTriggerConnection>(resources_, show_help_, data);
      break;
  }
  switch (dialog->DoModal(parent_)) {
    case IDOK:
      return DialogResult::Ok;
    case IDCANCEL:
      return DialogResult::Cancel;
    case 0:  // no valid owner
    case -1:
      return DialogResult::Unavailable;
    default:
      return DialogResult::Other;
  }
}

}  // namespace win::ui
