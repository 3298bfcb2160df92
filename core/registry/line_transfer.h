// Triggers carried as definition lines from one place to another: copied out of a registry as
// text, pasted into the same or another registry under new numbers and, where names clash, new
// names, and put back after a change the user takes back. The registry reads each line as a load
// reads it (CTriggerAction::PlaceLine); this file decides which lines, in which order, under
// which names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/triggers/kinds.h"

namespace core::registry {

class CTriggerAction;

// The line with its first field (the id) and third field (the name) replaced where given. Every
// kind's line begins with the id, the keyword and the name.
std::string ReplaceLineHead(std::string_view line, std::optional<int32_t> id,
                            std::optional<std::string_view> name);

// The definition lines in a text, in order: each line, trimmed of white space, that begins with
// a number, a comma and a letter. A "key=" before the number (a line copied from a project
// file) is dropped. Other lines (a table's header, a mail's words) are passed over.
std::vector<std::string> DefinitionLinesIn(std::string_view text);

// What Copy puts on the clipboard for the triggers of these slots, in slot order: their
// definition lines, and the list's text (the export's header and columns, separated by tabs).
// Each line ends with "\r\n".
std::string CopiedLines(const CTriggerAction& registry, const std::vector<int>& slots);
std::string CopiedTable(const CTriggerAction& registry, const std::vector<int>& slots);

// Pastes definition lines into the lowest free slots, in line order; a name some trigger
// already bears gets the lowest counter after it that makes it unique, as new triggers are
// named; connect members and control targets that name a pasted trigger follow its new name.
// Triggers that others name are made first, so that references resolve.
struct PasteResult {
  std::vector<int32_t> slots;        // of the pasted triggers, in line order
  std::vector<std::string> refused;  // one log line per line that was not pasted
};
PasteResult PasteLines(CTriggerAction& registry, const std::vector<std::string>& lines);

// The definition line of every slot (empty for a free slot), to tell what a command changed.
using Snapshot = std::array<std::string, triggers::kSlotCount>;
Snapshot TakeSnapshot(const CTriggerAction& registry);

// What one command changed in one slot: the line before and after (empty: no trigger).
struct SlotChange {
  int32_t slot;
  std::string before;
  std::string after;
};
std::vector<SlotChange> ChangesBetween(const Snapshot& before, const Snapshot& after);

// Takes the changes back: a trigger the command made is deleted, one it changed gets its old
// definition back, one it deleted is made again from its line, in its slot when that is free.
// A slot whose trigger changed since is left alone. Returns a log line for each change that
// could not be taken back.
std::vector<std::string> TakeBack(CTriggerAction& registry, const std::vector<SlotChange>& changes);

}  // namespace core::registry
