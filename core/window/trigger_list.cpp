// The trigger window's list: rebuilding the rows and the commands on the selection.
#include "core/window/trigger_list.h"

#include <algorithm>

#include "core/addin/help_path.h"

namespace core::window {
namespace {

bool NeedsSelection(uint32_t command) {
  switch (command) {
    case kCommandCopy:
    case kCommandDelete:
    case kCommandActivate:
    case kCommandDeactivate:
    case kCommandFire:
    case kCommandReset:
      return true;
    default:
      return false;
  }
}

}  // namespace

const std::array<ListColumn, rows::kColumnCount>& TriggerListColumns() {
  // No, Status, Name, Type, Destination, Size, Dst Mode, Source, Src Mode, Count, Cycle, Wait,
  // Mask.
  static const std::array<ListColumn, rows::kColumnCount> columns = {{
      {14327, 40},
      {14315, 70},
      {14316, 100},
      {14317, 100},
      {14318, 100},
      {14319, 50},
      {14320, 70},
      {14321, 50},
      {14322, 70},
      {14323, 50},
      {14324, 50},
      {14325, 50},
      {14326, 100},
  }};
  return columns;
}

const std::array<uint32_t, 13>& ToolbarCommands() {
  static const std::array<uint32_t, 13> commands = {
      kCommandInterrupt, kCommandStream,     kCommandTransfer,
      kCommandIOStream,  kCommandControl,    0,
      kCommandDelete,    kCommandConnect,    0,
      kCommandActivate,  kCommandDeactivate, kCommandFire,
      kCommandReset,
  };
  return commands;
}

std::optional<bool> CommandEnabled(uint32_t command, int selected_rows, int trigger_count) {
  if (command == kCommandConnect) return trigger_count >= 2;
  if (NeedsSelection(command)) return selected_rows > 0;
  if (EditKindOfCommand(command)) return true;
  return std::nullopt;
}

std::vector<MenuItemState> ContextMenuStates(int selected_rows, int trigger_count) {
  std::vector<MenuItemState> states;
  for (uint32_t command : ToolbarCommands()) {
    if (command == 0) continue;
    bool enabled = CommandEnabled(command, selected_rows, trigger_count).value_or(false);
    if (command == kCommandConnect) enabled = enabled && selected_rows >= 2;
    states.push_back({command, enabled});
  }
  return states;
}

TriggerList::TriggerList(TriggerDocument& document, TriggerListPort& list, TriggerWindowHost& host)
    : document_(document), list_(list), host_(host) {}

// A command that changes several triggers refreshes the document once per change. Each refresh
// purges and tells the host as before, but the rows are filled once, when the outermost command
// ends or before a message box or dialog opens, so the user never sees a stale list.
class TriggerList::Batch {
 public:
  explicit Batch(TriggerList& list) : list_(list) {
    ++list_.batch_depth_;
    list_.list_.BeginChanges();
  }
  ~Batch() {
    if (--list_.batch_depth_ == 0) list_.FillIfPending();
    list_.list_.EndChanges();
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

 private:
  TriggerList& list_;
};

void TriggerList::Rebuild() {
  if (rebuilding_) return;
  rebuilding_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{rebuilding_};
  ++rebuilds_;
  Batch batch(*this);

  if (document_.GetTriggerCount() > 0) {
    for (int slot = 0; slot < document_.GetSlotCount(); ++slot) {
      rows::TriggerInfo* adapter = document_.GetTriggerInfo(slot);
      if (adapter != nullptr && !adapter->IsInSimulator()) adapter->RemoveFromRegistry();
    }
  }
  host_.TriggersChanged();
  fill_pending_ = true;
}

void TriggerList::FillIfPending() {
  if (!fill_pending_) return;
  fill_pending_ = false;
  // The triggers of the selected rows and of the focused row, as the last fill placed them.
  const auto trigger_of = [this](int row) -> const triggers::CTrigger* {
    if (row < 0 || static_cast<size_t>(row) >= row_triggers_.size()) return nullptr;
    return row_triggers_[static_cast<size_t>(row)].lock().get();
  };
  std::vector<const triggers::CTrigger*> selected;
  if (!select_next_) {
    for (const int row : list_.SelectedRows()) selected.push_back(trigger_of(row));
  }
  const triggers::CTrigger* focused = trigger_of(list_.FocusedRow());
  list_.DeleteAllRows();
  row_triggers_.clear();

  const int count = document_.GetTriggerCount();
  RowTexts texts;
  int row = 0;
  for (int slot = 0; slot < document_.GetSlotCount() && row < count; ++slot) {
    const rows::TriggerInfo* adapter = document_.GetTriggerInfo(slot);
    if (adapter == nullptr) continue;
    for (size_t column = 0; column < texts.size(); ++column) {
      texts[column] = (adapter->*rows::ListColumns()[column])();
    }
    list_.InsertRow(row++, texts, slot);
    row_triggers_.push_back(adapter->GetTrigger());
  }

  if (select_next_) {
    for (const int32_t slot : *select_next_) {
      if (const rows::TriggerInfo* adapter = document_.GetTriggerInfo(slot)) {
        selected.push_back(adapter->GetTrigger().get());
      }
    }
    if (!selected.empty()) focused = selected.front();
    select_next_.reset();
  }
  if (selected.empty() && focused == nullptr) return;
  for (size_t index = 0; index < row_triggers_.size(); ++index) {
    const triggers::CTrigger* trigger = row_triggers_[index].lock().get();
    const bool is_selected = std::find(selected.begin(), selected.end(), trigger) != selected.end();
    if (is_selected || trigger == focused) {
      list_.SetRowState(static_cast<int>(index), is_selected, trigger == focused);
    }
  }
}

std::vector<SelectedRow> TriggerList::Selection() const {
  std::vector<SelectedRow> selected;
  for (int row : list_.SelectedRows()) {
    selected.push_back({list_.RowSlot(row), list_.RowText(row, kTypeColumn)});
  }
  return selected;
}

std::vector<int> TriggerList::SelectedSlots() const {
  std::vector<int> slots;
  for (int row : list_.SelectedRows()) slots.push_back(list_.RowSlot(row));
  return slots;
}

std::optional<bool> TriggerList::Enabled(uint32_t command) const {
  if (command == kCommandPaste) return list_.ClipboardHasText();
  if (command == kCommandUndo) return CanUndo();
  return CommandEnabled(command, static_cast<int>(list_.SelectedRows().size()),
                        document_.GetTriggerCount());
}

std::vector<MenuItemState> TriggerList::ContextMenu() const {
  const int selected = static_cast<int>(list_.SelectedRows().size());
  std::vector<MenuItemState> items = ContextMenuStates(selected, document_.GetTriggerCount());
  items.push_back({kCommandUndo, CanUndo()});
  items.push_back({kCommandCopy, selected > 0});
  items.push_back({kCommandPaste, list_.ClipboardHasText()});
  return items;
}

bool TriggerList::Execute(uint32_t command) {
  if (const std::optional<EditKind> kind = EditKindOfCommand(command)) {
    EditOrCreate(*kind);
    return true;
  }
  switch (command) {
    case kCommandDelete:
      Undoable([this] { DeleteSelected(); });
      return true;
    case kCommandCopy:
      Copy();
      return true;
    case kCommandPaste:
      Undoable([this] { Paste(); });
      return true;
    case kCommandUndo:
      Undo();
      return true;
    case kCommandActivate:
      SimulatorCommand(&TriggerDocument::SimulatorCommand1);
      return true;
    case kCommandDeactivate:
      SimulatorCommand(&TriggerDocument::SimulatorCommand2);
      return true;
    case kCommandFire:
      SimulatorCommand(&TriggerDocument::SimulatorCommand3);
      return true;
    case kCommandReset:
      SimulatorCommand(&TriggerDocument::SimulatorCommand4);
      return true;
    default:
      return false;
  }
}

void TriggerList::EditOrCreate(EditKind kind) { Edit(kind, EditTargetOf(kind, Selection())); }

void TriggerList::DoubleClick(int row) {
  if (row < 0) return;
  const std::optional<EditKind> kind = DoubleClickKind(list_.RowText(row, kTypeColumn));
  if (kind) Edit(*kind, list_.RowSlot(row));
}

void TriggerList::Edit(EditKind kind, std::optional<int> slot) {
  if (!editor_) {
    host_.WriteLog(kNoDialogsLine);
    return;
  }
  FillIfPending();
  Undoable([&] { editor_->EditOrCreate(kind, slot); });
}

// From the last selected row up, as the user sees them. The slots are read before the first
// deletion, since each deletion refreshes the document. A refusal shows the list as it stands.
void TriggerList::DeleteSelected() {
  const std::vector<int> slots = SelectedSlots();
  Batch batch(*this);
  for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
    if (document_.DeleteTrigger(document_.GetTriggerInfo(*slot), false) != 0) {
      FillIfPending();
      list_.ShowDeleteRefused();
    }
  }
  document_.Refresh();
}

// Each command that succeeds refreshes the document; the rows are filled once at the end.
void TriggerList::SimulatorCommand(int (TriggerDocument::*command)(int)) {
  const std::vector<int> slots = SelectedSlots();
  Batch batch(*this);
  for (int slot : slots) (document_.*command)(slot);
}

template <typename Command>
void TriggerList::Undoable(Command command) {
  const registry::Snapshot before = registry::TakeSnapshot(document_.Registry());
  command();
  std::vector<registry::SlotChange> changes =
      registry::ChangesBetween(before, registry::TakeSnapshot(document_.Registry()));
  if (!changes.empty()) undo_ = std::move(changes);
}

void TriggerList::Copy() {
  const std::vector<int> slots = SelectedSlots();
  if (slots.empty()) return;
  if (!list_.CopyToClipboard(registry::CopiedTable(document_.Registry(), slots),
                             registry::CopiedLines(document_.Registry(), slots))) {
    host_.WriteLog(kClipboardBusyLine);
  }
}

// The pasted triggers are selected once the list shows them; what was refused is logged.
void TriggerList::Paste() {
  const std::vector<std::string> lines = registry::DefinitionLinesIn(list_.ClipboardText());
  if (lines.empty()) {
    host_.WriteLog(kNothingToPasteLine);
    return;
  }
  Batch batch(*this);
  const registry::PasteResult pasted = registry::PasteLines(document_.Registry(), lines);
  for (const std::string& line : pasted.refused) host_.WriteLog(line);
  select_next_ = pasted.slots;
  document_.Refresh();
}

// The triggers that come back are selected.
void TriggerList::Undo() {
  if (undo_.empty()) return;
  const std::vector<registry::SlotChange> changes = std::move(undo_);
  undo_.clear();
  Batch batch(*this);
  for (const std::string& line : registry::TakeBack(document_.Registry(), changes)) {
    host_.WriteLog(line);
  }
  std::vector<int32_t> restored;
  for (const registry::SlotChange& change : changes) {
    if (!change.before.empty()) restored.push_back(change.slot);
  }
  select_next_ = restored;
  document_.Refresh();
}

void TriggerList::Help() { host_.ShowHelp(addin::kTriggerWindowTopic); }

}  // namespace core::window
