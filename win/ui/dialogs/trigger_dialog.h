// TriggerDialog: what the six trigger dialogs share on top of the modal dialog. Each shows a
// core::window::DialogData and writes the user's entries back into it; each maps the fields it
// shows to its controls. The shared part is the number box and the name field, the OK tests (in
// the core's order, with the failing field marked, and the message boxes the core asks for),
// the field a refusal concerns selected when the dialog opens again, and the help topic.
//
// The six dialogs are declared here too; each is defined in a file of its own.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "core/window/dialog_rules.h"
#include "core/window/trigger_editor.h"
#include "win/ui/framework/modal_dialog.h"

namespace win::ui {

using core::window::DialogData;
using core::window::EditKind;
using core::window::Field;

class TriggerDialog : public ModalDialog {
 public:
  using FieldControls = std::vector<std::pair<Field, int>>;

  TriggerDialog(HINSTANCE resources, ShowHelp show_help, EditKind kind, UINT template_id,
                DialogData& data, FieldControls controls);

 protected:
  // The control showing a field; 0 for a field the dialog does not show.
  int ControlOf(Field field) const;
  // The number box and the name field, both ways.
  void ExchangeHeader(DataExchange& exchange);
  void OnFillLists() override;
  // The control to focus when the dialog opens: the field a refusal concerns if there is one
  // and it is enabled, otherwise `otherwise` (0: the dialog manager's choice).
  int FocusOnOpen(int otherwise) const;
  // The OK tests; the first that fails goes to OnTestFailed and keeps the dialog open.
  bool OnOk() override;
  // Marks the failing field when it is enabled, and shows the message that explains a bad data
  // pattern or a field that fails while disabled.
  virtual void OnTestFailed(const core::window::FieldTest& failed);
  void EnableAll(std::initializer_list<int> ids, bool enabled);

  DialogData& data_;

 private:
  EditKind kind_;
  FieldControls controls_;
};

// Each dialog takes the resource library, the help request and the data it shows.
class CTriggerTransfer : public TriggerDialog {
 public:
  CTriggerTransfer(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
  void OnCommand(int id, int code) override;
  void EnableModeValues();
};

class CTriggerData : public TriggerDialog {
 public:
  CTriggerData(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
  void OnCommand(int id, int code) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void EnableKindFields();
};

class CTriggerInterrupt : public TriggerDialog {
 public:
  CTriggerInterrupt(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void OnFillLists() override;
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
  void OnCommand(int id, int code) override;
  // The selected source's table value (0 with none selected).
  uint32_t SelectedValue() const;
  // The clear flag: the user's choice, off while the box is disabled.
  bool ClearChosen() const;
  void ApplyEnabling();
  void ProposeName();

  bool clear_choice_ = false;  // kept while a source that is never cleared is selected
};

class CTriggerConnection : public TriggerDialog {
 public:
  CTriggerConnection(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void OnFillLists() override;
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
  void OnCommand(int id, int code) override;
  void OnTestFailed(const core::window::FieldTest& failed) override;
  void ShowLists(int available_selection, int connected_selection);
  void Move(bool add);
  void EnableButtons();

  std::optional<core::window::ConnectionLists> lists_;
};

class CTriggerIoStream : public TriggerDialog {
 public:
  CTriggerIoStream(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
};

class CTriggerControl : public TriggerDialog {
 public:
  CTriggerControl(HINSTANCE resources, ShowHelp show_help, DialogData& data);

 private:
  void OnFillLists() override;
  void DoDataExchange(DataExchange& exchange) override;
  int OnInitDialog() override;
};

}  // namespace win::ui
