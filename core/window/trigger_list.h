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
// connect needs two triggers to connect; delete and the simulator commands need a selection.
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

  TriggerDocument& document_;
  TriggerListPort& list_;
  TriggerWindowHost& host_;
  std::unique_ptr<TriggerEditor> editor_;
  bool rebuilding_ = false;
  int rebuilds_ = 0;
  int batch_depth_ = 0;
  bool fill_pending_ = false;
};

}  // namespace core::window
