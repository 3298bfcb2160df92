// The edit-or-create commands' kind table and the selection rules.
#include "core/window/trigger_editor.h"

#include "core/automation/strings.h"

namespace core::window {

using triggers::TriggerKind;

const std::array<EditKindInfo, 6>& EditKinds() {
  static const std::array<EditKindInfo, 6> kinds = {{
      {EditKind::Interrupt, kCommandInterrupt, TriggerKind::Interrupt, "interrupt", "Interrupt",
       "ClearInterrupt"},
      {EditKind::Stream, kCommandStream, TriggerKind::Stream, "stream", "Stream", nullptr},
      {EditKind::Transfer, kCommandTransfer, TriggerKind::Transfer, "transfer", "Transfer",
       nullptr},
      {EditKind::IOStream, kCommandIOStream, TriggerKind::IOStream, "ioStream", "I/O Stream",
       nullptr},
      {EditKind::Control, kCommandControl, TriggerKind::Control, "control", "Control", nullptr},
      {EditKind::Connect, kCommandConnect, TriggerKind::Connect, "connect", "Connect", nullptr},
  }};
  return kinds;
}

const EditKindInfo& InfoOf(EditKind kind) {
  for (const EditKindInfo& info : EditKinds()) {
    if (info.kind == kind) return info;
  }
  return EditKinds().front();  // not reached: every kind is in the table
}

std::optional<EditKind> EditKindOfCommand(uint32_t command) {
  for (const EditKindInfo& info : EditKinds()) {
    if (info.command == command) return info.kind;
  }
  return std::nullopt;
}

bool TypeMatches(EditKind kind, const std::string& type, bool ignore_case) {
  const EditKindInfo& info = InfoOf(kind);
  for (const char* text : {info.type_text, info.other_type_text}) {
    if (text == nullptr) continue;
    if (ignore_case ? automation::EqualsIgnoreCase(type, text) : type == text) return true;
  }
  return false;
}

std::optional<int> EditTargetOf(EditKind kind, const std::vector<SelectedRow>& selected) {
  if (selected.size() == 1 && TypeMatches(kind, selected.front().type, true)) {
    return selected.front().slot;
  }
  return std::nullopt;
}

std::optional<EditKind> DoubleClickKind(const std::string& type) {
  for (const EditKindInfo& info : EditKinds()) {
    if (TypeMatches(info.kind, type, false)) return info.kind;
  }
  return std::nullopt;
}

}  // namespace core::window
