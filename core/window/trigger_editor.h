// The edit-or-create commands of the trigger window and the port through which the window hands
// them to the trigger dialogs. The view decides from the selection whether a command edits the
// selected row's trigger or creates a new one; the editor (the dialogs' edit-or-create loop) does
// the rest and refreshes the document when it is done.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/triggers/kinds.h"

namespace core::window {

// The command identifiers of the trigger window (menu 14342, toolbar 103).
inline constexpr uint32_t kCommandInterrupt = 54202;
inline constexpr uint32_t kCommandStream = 54203;
inline constexpr uint32_t kCommandTransfer = 54204;
inline constexpr uint32_t kCommandDelete = 54205;
inline constexpr uint32_t kCommandConnect = 54206;
inline constexpr uint32_t kCommandActivate = 54207;
inline constexpr uint32_t kCommandDeactivate = 54208;
inline constexpr uint32_t kCommandIOStream = 54209;
inline constexpr uint32_t kCommandControl = 54210;
inline constexpr uint32_t kCommandFire = 54212;
inline constexpr uint32_t kCommandReset = 54213;
// The window's edit commands, with the numbers such commands usually have.
inline constexpr uint32_t kCommandCopy = 0xE122;
inline constexpr uint32_t kCommandPaste = 0xE125;
inline constexpr uint32_t kCommandUndo = 0xE12B;

// The six kinds the window creates and edits, each with its dialog.
enum class EditKind { Interrupt, Stream, Transfer, IOStream, Control, Connect };

struct EditKindInfo {
  EditKind kind;
  uint32_t command;
  triggers::TriggerKind trigger_kind;
  const char* keyword;  // passed to the registry to create one
  // The list's Type texts of the rows this kind edits; the second may be null.
  const char* type_text;
  const char* other_type_text;
};

// In the order a double-click tries them: interrupt, stream, transfer, I/O stream, control,
// connect.
const std::array<EditKindInfo, 6>& EditKinds();
const EditKindInfo& InfoOf(EditKind kind);
std::optional<EditKind> EditKindOfCommand(uint32_t command);
// A row of this Type text matches the kind: compared without regard to case (the commands and the
// context menu) or exactly (double-click).
bool TypeMatches(EditKind kind, const std::string& type, bool ignore_case);

// What an edit-or-create command does with the selection: the slot of the one selected row when
// its Type matches the command's kind (ignoring case), otherwise nothing (create a new trigger).
// `selected` holds the selected rows' slots and Type texts in row order.
struct SelectedRow {
  int slot;
  std::string type;
};
std::optional<int> EditTargetOf(EditKind kind, const std::vector<SelectedRow>& selected);
// The kind a double-click on a row of this Type text edits (exact comparison), in the order of
// EditKinds; none for the kinds the window does not edit ("I/O Access", "Message", "SIO",
// "File I/O").
std::optional<EditKind> DoubleClickKind(const std::string& type);

// The trigger dialogs as the window sees them.
class TriggerEditor {
 public:
  virtual ~TriggerEditor() = default;
  // Runs the kind's dialog for the trigger in `slot`, or for a new trigger when `slot` is empty,
  // until the user is done; the document is refreshed at the end.
  virtual void EditOrCreate(EditKind kind, std::optional<int> slot) = 0;
};

}  // namespace core::window
