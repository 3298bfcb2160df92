// The trigger window's editor: the edit-or-create loop over the real dialogs, whose templates
// come from the resource library and whose help opens through the add-in's help.
#include "win/module/trigger_editor_factory.h"

#include "core/window/edit_loop.h"
#include "win/com/addin.h"
#include "win/comkit/module.h"
#include "win/ui/dialogs/dialog_runner.h"

namespace win::ui {
namespace {

class DialogEditor : public core::window::TriggerEditor {
 public:
  DialogEditor(core::window::TriggerDocument& document, HWND parent)
      : dialogs_(comkit::ResourceInstance(), parent,
                 [](const std::string& topic) { com::Addin::Get().ShowHelp(topic); }),
        loop_(document, dialogs_) {}

  void EditOrCreate(core::window::EditKind kind, std::optional<int> slot) override {
    loop_.EditOrCreate(kind, slot);
  }

 private:
  DialogRunner dialogs_;
  core::window::EditLoop loop_;
};

}  // namespace

std::unique_ptr<core::window::TriggerEditor> MakeTriggerEditor(
    core::window::TriggerDocument& document, HWND parent) {
  return std::make_unique<DialogEditor>(document, parent);
}

}  // namespace win::ui
