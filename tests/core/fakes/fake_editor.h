// An editor that only records what the trigger window asked it to edit or create.
#pragma once

#include <optional>
#include <vector>

#include "core/window/trigger_editor.h"

namespace fakes {

struct Edit {
  core::window::EditKind kind;
  std::optional<int> slot;  // none: a new trigger
  bool operator==(const Edit& other) const { return kind == other.kind && slot == other.slot; }
};

class FakeEditor : public core::window::TriggerEditor {
 public:
  explicit FakeEditor(std::vector<Edit>& edits) : edits_(edits) {}
  void EditOrCreate(core::window::EditKind kind, std::optional<int> slot) override {
    edits_.push_back({kind, slot});
  }

 private:
  std::vector<Edit>& edits_;
};

}  // namespace fakes
