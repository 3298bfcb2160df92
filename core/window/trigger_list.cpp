// The trigger window's list: rebuilding the rows and the commands on the selection.
#include "core/window/trigger_list.h"

#include "core/addin/help_path.h"

namespace core::window {
namespace {

bool NeedsSelection(uint32_t command) {
  switch (command) {
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
  list_.DeleteAllRows();
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
  return CommandEnabled(command, static_cast<int>(list_.SelectedRows().size()),
                        document_.GetTriggerCount());
}

std::vector<MenuItemState> TriggerList::ContextMenu() const {
  return ContextMenuStates(static_cast<int>(list_.SelectedRows().size()),
                           document_.GetTriggerCount());
}

bool TriggerList::Execute(uint32_t command) {
  if (const std::optional<EditKind> kind = EditKindOfCommand(command)) {
    EditOrCreate(*kind);
    return true;
  }
  switch (command) {
    case kCommandDelete:
      DeleteSelected();
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
  editor_->EditOrCreate(kind, slot);
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

void TriggerList::Help() { host_.ShowHelp(addin::kTriggerWindowTopic); }

}  // namespace core::window
