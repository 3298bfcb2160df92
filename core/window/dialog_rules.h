// The rules of the trigger dialogs that need no window: what a dialog shows and exchanges, how it
// tests its fields on OK, which controls it enables, the names it proposes and how the connection
// dialog moves triggers between its two lists. The Windows dialogs apply these to their controls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/window/trigger_editor.h"

namespace core::window {

// The fields a trigger dialog exchanges with the trigger window, named after the row adapter's
// setter that writes each back (so the interrupt source, the I/O stream port, the control target
// and the connect members are all Destination; the control action is Source; the data dialog's
// repeat and generate modes are DstMode and SrcMode).
enum class Field {
  None,
  Number,
  Name,
  Destination,
  Size,
  DstMode,
  DstModeValue,
  Source,
  SrcMode,
  SrcModeValue,
  Count,
  Cycle,
  Wait,
  Mask,
  DataList,
  StreamSource,
};
inline constexpr size_t kFieldCount = static_cast<size_t>(Field::StreamSource) + 1;

// One entry of the interrupt dialog's source list: shown as "code:name".
struct SourceItem {
  int32_t code = 0;
  std::string name;
  uint32_t value = 0;  // the simulator's table value; 1 marks a source that is never cleared
};

// Another trigger, as the control and connection dialogs list it.
struct OtherTrigger {
  std::string name;
  int32_t number = 0;
};

// Everything a trigger dialog shows and hands back: texts in, texts out.
struct DialogData {
  DialogData() {
    texts[static_cast<size_t>(Field::Number)] = "new";
    texts[static_cast<size_t>(Field::Name)] = "Default";
  }
  std::string& operator[](Field field) { return texts[static_cast<size_t>(field)]; }
  const std::string& operator[](Field field) const { return texts[static_cast<size_t>(field)]; }

  std::array<std::string, kFieldCount> texts;
  // The number of the trigger being edited, offered in the number box beside "new"; "new" when
  // the dialog creates one.
  std::string own_number = "new";
  bool data_kind = true;             // data dialog: a typed pattern (else a memory stream)
  bool clear = false;                // interrupt dialog: clear the request (else raise it)
  std::vector<SourceItem> sources;   // interrupt dialog
  std::vector<OtherTrigger> others;  // control and connection dialogs
  std::vector<std::string> members;  // connection dialog: the connected names, in order
  Field focus = Field::None;         // the field to select when the dialog opens
};

// ---- Shared conventions ----

// Not empty, read completely in the unsigned-number notation, and below 2^31.
bool IsWellFormedNumber(std::string_view text);
// The position of a spin control for the text of its buddy: the text read in the unsigned-number
// notation, low 16 bits, clamped to the range of the spin.
int SpinPosition(std::string_view text, int lower, int upper);

// The number box: "new", and the trigger's own number when it has one; the item to select.
struct NumberBox {
  std::vector<std::string> items;
  int selected = 0;
};
NumberBox NumberBoxOf(const std::string& own_number);
bool IsNew(std::string_view number_text);  // "new" in any case

// Drop-down selection (both ignore case); -1 when no item matches.
// The item equal to the text; an empty text matches none.
int FindExact(const std::vector<std::string>& items, std::string_view text);
// The first item that begins with the text; every item begins with an empty text, so a mode
// list of a trigger that has no mode yet opens on its first item.
int FindPrefix(const std::vector<std::string>& items, std::string_view text);

// ---- OK tests ----

enum class Rule {
  NotEmpty,         // an edit field, or a list that must have a choice
  Number,           // IsWellFormedNumber
  NumberIfEnabled,  // the same, skipped while the field is disabled
  Pattern,          // the data list reads without error under the chosen generate mode
};
struct FieldTest {
  Field field;
  Rule rule;
};
// The dialog's tests on OK, in the order they run.
std::vector<FieldTest> OkTests(EditKind kind, bool data_kind);
// The first test that fails, if any. `enabled` tells whether a field is enabled (only asked for
// NumberIfEnabled).
template <typename Enabled>
std::optional<FieldTest> FirstFailure(EditKind kind, const DialogData& data, Enabled enabled);
bool Passes(const FieldTest& test, const DialogData& data, bool enabled);

// The message box that goes with a failed test, if any. A bad data pattern is explained; so is a
// field that fails while it is disabled (the count of a data pattern, the timing of a cleared
// request), since the user can neither see nor reach what is wrong there without being told.
enum class FailureMessage { None, BadPattern, DisabledCount, DisabledCycle, DisabledWait };
FailureMessage FailureMessageOf(EditKind kind, const FieldTest& failed, bool enabled);

// The data dialog's pattern check: true when the generator reports a bad item for this generate
// mode (compared ignoring case); modes other than DEFAULT, RANDOM and RANDOM2 are not checked.
bool PatternHasError(std::string_view generate_mode, std::string_view size,
                     std::string_view data_list);

// ---- Enabling ----

// Transfer dialog: a mode takes a value for every item of its list but the first.
inline bool ModeValueEnabled(int mode_index) { return mode_index > 0; }

// Interrupt dialog: the clear box is disabled and counts as off for a source whose table value
// is 1; the user's choice comes back with the next source. Cycle and wait apply to a raising
// trigger, and to every trigger of such a source.
struct InterruptEnabling {
  bool clear_box;
  bool clear;  // the box's tick, and the clear flag it stands for
  bool timing;
};
InterruptEnabling InterruptEnablingOf(uint32_t source_value, bool clear_choice);

// ---- Interrupt sources ----

std::string SourceItemText(const SourceItem& item);  // "%d:%s"
// The source name a source text stands for: the part after the first ":", or, when that is
// empty, the part before it.
std::string SourceNameOf(std::string_view source_text);
// The item the source name chooses: the one at the position the name gives as a decimal number
// (when it is not 0, or is exactly "0"), or one whose name is equal to it; the last of those.
// When none is chosen so, the last whose name is equal ignoring case.
int ChooseSource(const std::vector<SourceItem>& items, const std::string& source_name);
// The name a new interrupt trigger gets from its source: "set" or "clear" and the source name.
std::string InterruptTriggerName(bool clear, const std::string& source_name);

// ---- Connection dialog ----

class ConnectionLists {
 public:
  struct Entry {
    std::string name;
    int32_t id;  // -1 for a member that names no trigger
  };
  // `available`: the other triggers. The trigger each member names (ignoring case) moves from it
  // to the connected list; a member keeps its spelling there. A member no other trigger bears
  // is kept too, with the identifier -1.
  ConnectionLists(const std::vector<OtherTrigger>& available,
                  const std::vector<std::string>& members);

  const std::vector<Entry>& Available() const { return available_; }
  const std::vector<Entry>& Connected() const { return connected_; }
  // Moves the entry at `index` to the end of the other list; the selection the list keeps: the
  // same position, or the last entry when the moved one was last (-1 when the list is empty or
  // the index is out of range). A member goes back under the name of the trigger it names.
  int Add(int index);
  int Remove(int index);
  // "trg" and the identifiers of the connected triggers joined by "+" ("trg3+5"); members that
  // name no trigger are left out.
  std::string ProposedName() const;
  std::vector<std::string> Members() const;

 private:
  static int Move(std::vector<Entry>& from, std::vector<Entry>& to, int index);

  std::vector<OtherTrigger> triggers_;
  std::vector<Entry> available_;
  std::vector<Entry> connected_;
};

// ---- Help ----

// The help topic of the dialog inside the help file of the CPU family: one of the add-in topics.
const char* HelpTopic(EditKind kind);

// ---- Template ----

template <typename Enabled>
std::optional<FieldTest> FirstFailure(EditKind kind, const DialogData& data, Enabled enabled) {
  for (const FieldTest& test : OkTests(kind, data.data_kind)) {
    const bool on = test.rule != Rule::NumberIfEnabled || enabled(test.field);
    if (!Passes(test, data, on)) return test;
  }
  return std::nullopt;
}

}  // namespace core::window
