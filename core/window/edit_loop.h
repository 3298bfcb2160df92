// The edit-or-create loop of the trigger window. It finds or creates the trigger and fills the
// dialog for its kind through the trigger's row adapter. It runs the dialog, writes the user's
// entries back through the adapter setters and registers the trigger. It shows the dialog again
// (with the entries kept and the refused field selected) until the trigger accepts them or the
// user cancels.
//
// The dialogs themselves are behind DialogPort, so the loop runs natively over a fake.
#pragma once

#include <optional>
#include <string>

#include "core/rows/trigger_info.h"
#include "core/window/dialog_rules.h"
#include "core/window/trigger_document.h"
#include "core/window/trigger_editor.h"

namespace core::window {

enum class DialogResult {
  Ok,
  Cancel,
  Other,        // closed some other way: shown again
  Unavailable,  // the dialog could not be shown at all
};

class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // Shows the dialog for the kind modally with `data`, which it updates with the user's entries.
  virtual DialogResult Run(EditKind kind, DialogData& data) = 0;
};

class EditLoop : public TriggerEditor {
 public:
  EditLoop(TriggerDocument& document, DialogPort& dialogs)
      : document_(document), dialogs_(dialogs) {}

  void EditOrCreate(EditKind kind, std::optional<int> slot) override;

 private:
  TriggerDocument& document_;
  DialogPort& dialogs_;
};

// Returns the dialog fields, read through the adapter getters, and the lists from the document
// that the dialog for the kind needs: the interrupt sources, or every other trigger (all 256
// slots are walked).
DialogData FillDialogData(EditKind kind, const rows::TriggerInfo& adapter,
                          TriggerDocument& document);
// Writes the fields through the adapter setters, in the order the kind uses (and, for an
// interrupt trigger, its Raise flag and the clear choice the adapter remembers). Stops at the
// first setter that refuses and returns its field; Field::None when every setter accepted.
Field ApplyDialogData(EditKind kind, const DialogData& data, rows::TriggerInfo& adapter);

}  // namespace core::window
