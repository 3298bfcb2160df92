// TriggerView: the trigger window's list, one row per trigger with thirteen columns. The rows,
// the commands and their states are the core's TriggerList; the view reads and writes the list
// control for it, runs its context menu, and passes double-clicks, keys and help to it.
#pragma once

#include <windows.h>

#include "core/window/column_widths.h"
#include "core/window/trigger_list.h"
#include "win/ui/framework/list_view.h"
#include "win/ui/trigger_window.h"

namespace win::ui {

class TriggerDoc;

class TriggerView : public CListViewEx, private core::window::TriggerListPort {
 public:
  TriggerView(TriggerDoc& document, TriggerFrameHost& host, EditorFactory make_editor);

  bool Create(MDIChildFrame& frame, UINT id) override;
  void OnInitialUpdate() override;
  void OnUpdate(View* sender, LPARAM hint) override;
  bool OnCommand(UINT id) override;
  bool OnUpdateCommand(CommandUI& ui) override;

  const core::window::TriggerList& List() const { return list_; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  bool OnReflectedNotify(NMHDR& header, LRESULT* result) override;
  void OnColumnWidthsChanged() override;

 private:
  // TriggerListPort
  void DeleteAllRows() override;
  void InsertRow(int row, const core::window::RowTexts& texts, int slot) override;
  std::vector<int> SelectedRows() const override;
  std::string RowText(int row, int column) const override;
  int RowSlot(int row) const override;
  void ShowDeleteRefused() override;
  void BeginChanges() override;
  void EndChanges() override;
  int FocusedRow() const override;
  void SetRowState(int row, bool selected, bool focused) override;
  bool CopyToClipboard(const std::string& table, const std::string& lines) override;
  std::string ClipboardText() const override;
  bool ClipboardHasText() const override;

  void ShowContextMenu(POINT at);

  // The columns' widths at the list's DPI: the user's kept ones, else the table's
  // (trigger_view_columns.cpp).
  core::window::ColumnWidths InitialColumnWidths();

  TriggerDoc& document_;
  TriggerFrameHost& host_;
  EditorFactory make_editor_;
  core::window::TriggerList list_;
  int changes_ = 0;
};

}  // namespace win::ui
