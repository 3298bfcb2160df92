// The behaviour of TriggerView. It lists every trigger in the trigger window, one row per occupied
// slot in slot order, and carries out its commands on the selected rows. The list control, the
// host and the trigger dialogs are ports, so the Windows view only moves messages and texts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/registry/line_transfer.h"
#include "core/rows/trigger_info.h"
#include "core/window/trigger_document.h"
#include "core/window/trigger_editor.h"

namespace core::window {

using RowTexts = std::array<std::string, rows::kColumnCount>;

// The list's columns, in row-text order: header string (in the resource library) and width.
struct ListColumn {
  uint32_t header_string;
  int width;
};
const std::array<ListColumn, rows::kColumnCount>& TriggerListColumns();
inline constexpr int kNameColumn = 2;
inline constexpr int kTypeColumn = 3;

// The trigger window's commands in toolbar order; 0 marks a separator.
const std::array<uint32_t, 13>& ToolbarCommands();

// Whether the window's command is enabled with this many rows selected and triggers defined;
// none for a command that is not the window's. The five kind commands are always enabled;
// connect needs two triggers to connect; delete, copy and the simulator commands need a
// selection. Paste and undo depend on the clipboard and the last change: TriggerList decides.
std::optional<bool> CommandEnabled(uint32_t command, int selected_rows, int trigger_count);

// The context menu's items: the commands as above, and connect only with two or more rows
// selected, since from the menu it is offered for the rows the user picked.
struct MenuItemState {
  uint32_t command;
  bool enabled;
};
std::vector<MenuItemState> ContextMenuStates(int selected_rows, int trigger_count);

// The list control as the window's behaviour sees it.
class TriggerListPort {
 public:
  virtual ~TriggerListPort() = default;
  virtual void DeleteAllRows() = 0;
  // Inserts a row at `row` with its thirteen texts and the slot of its trigger, which the row
  // keeps beside its texts.
  virtual void InsertRow(int row, const RowTexts& texts, int slot) = 0;
  // The selected rows in ascending order.
  virtual std::vector<int> SelectedRows() const = 0;
  virtual std::string RowText(int row, int column) const = 0;
  // The slot the row was inserted with; -1 for a row that does not exist. The "No" text cannot
  // stand in for it: a save renumbers the triggers without moving them, so a trigger may show a
  // number below its slot, and two rows may show the same number.
  virtual int RowSlot(int row) const = 0;
  // Tells the user that a selected trigger could not be deleted.
  virtual void ShowDeleteRefused() = 0;
  // The list is redrawn once when the outermost of nested changes ends, not at every row.
  virtual void BeginChanges() = 0;
  virtual void EndChanges() = 0;
  // The focused row, -1 when none; a row's selected and focused states (a focused row is
  // scrolled into view).
  virtual int FocusedRow() const = 0;
  virtual void SetRowState(int row, bool selected, bool focused) = 0;

  // The clipboard. Copy puts the triggers there as the list's text and as definition lines in
  // a format of the add-in's own; false when the clipboard could not be opened.
  virtual bool CopyToClipboard(const std::string& table, const std::string& lines) = 0;
  // The lines of that format when the clipboard holds them, otherwise its plain text (empty
  // when it holds neither).
  virtual std::string ClipboardText() const = 0;
  virtual bool ClipboardHasText() const = 0;
};

// What the window asks of its host.
class TriggerWindowHost {
 public:
  virtual ~TriggerWindowHost() = default;
  // The trigger set may have changed. The memory commands of the debugger and the views of the
  // host hear of it on every rebuild of the rows.
  virtual void TriggersChanged() = 0;
  virtual void WriteLog(const std::string& line) = 0;
  virtual void ShowHelp(const std::string& topic) = 0;
};

// The log line of an edit-or-create command or double-click while the add-in has no dialogs.
inline constexpr char kNoDialogsLine[] =
    "Trigger add-in: the trigger dialogs are not available in this version; triggers are "
    "created and edited through the add-in's TriggerAction object";

// The log lines of a copy the clipboard refused, and of a paste that found no lines.
inline constexpr char kClipboardBusyLine[] =
    "Trigger add-in: the clipboard is in use by another program; nothing was copied";
inline constexpr char kNothingToPasteLine[] =
    "Trigger add-in: the clipboard holds no trigger definition lines to paste";

class TriggerList {
 public:
  TriggerList(TriggerDocument& document, TriggerListPort& list, TriggerWindowHost& host);
  TriggerList(const TriggerList&) = delete;
  TriggerList& operator=(const TriggerList&) = delete;

  // The trigger dialogs; without them the edit-or-create commands only tell the host log.
  void SetEditor(std::unique_ptr<TriggerEditor> editor) { editor_ = std::move(editor); }
  bool HasEditor() const { return editor_ != nullptr; }

  // Drops the triggers that never reached the simulator, tells the host and fills one row per
  // trigger in slot order. Dropping a trigger refreshes the document, which asks for a rebuild
  // while this one runs: that request is left out, since the fill that follows reads the
  // registry as the drops left it. Inside a command of the window the fill waits until the
  // command ends, or until a message box or dialog opens, and is then done once.
  void Rebuild();
  int Rebuilds() const { return rebuilds_; }

  // Runs a command of the window; false when the command is not the window's.
  bool Execute(uint32_t command);
  std::optional<bool> Enabled(uint32_t command) const;
  // Whether Undo has something to take back.
  bool CanUndo() const { return !undo_.empty(); }
  std::vector<MenuItemState> ContextMenu() const;
  // Edits the row's trigger when its kind has a dialog; -1 (no row) does nothing.
  void DoubleClick(int row);
  void Help();

 private:
  class Batch;
  // Deletes every row and fills them again, when a rebuild asked for it.
  void FillIfPending();
  std::vector<SelectedRow> Selection() const;
  std::vector<int> SelectedSlots() const;
  void EditOrCreate(EditKind kind);
  void Edit(EditKind kind, std::optional<int> slot);
  void DeleteSelected();
  void SimulatorCommand(int (TriggerDocument::*command)(int));
  void Copy();
  void Paste();
  void Undo();
  // Runs a command that changes triggers, and keeps what it changed for Undo.
  template <typename Command>
  void Undoable(Command command);

  TriggerDocument& document_;
  TriggerListPort& list_;
  TriggerWindowHost& host_;
  std::unique_ptr<TriggerEditor> editor_;
  bool rebuilding_ = false;
  int rebuilds_ = 0;
  int batch_depth_ = 0;
  bool fill_pending_ = false;
  // The trigger of each row as the last fill made them, so that the selection and the focus
  // follow their triggers into the next fill.
  std::vector<std::weak_ptr<triggers::CTrigger>> row_triggers_;
  // Slots the next fill selects instead (the triggers a paste or an undo made).
  std::optional<std::vector<int32_t>> select_next_;
  std::vector<registry::SlotChange> undo_;
};

}  // namespace core::window
