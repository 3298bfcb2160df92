// What the trigger dialogs share.
#include "win/ui/dialogs/trigger_dialog.h"

#include "win/resources/dialog_ids.h"

namespace win::ui {

namespace rules = core::window;

// The longest trigger name the dialogs take.
constexpr int kNameLimit = 255;

TriggerDialog::TriggerDialog(HINSTANCE resources, ShowHelp show_help, EditKind kind,
                             UINT template_id, DialogData& data, FieldControls controls)
    : ModalDialog(resources, template_id, rules::HelpTopic(kind), std::move(show_help)),
      data_(data),
      kind_(kind),
      controls_(std::move(controls)) {
  controls_.emplace_back(Field::Number, IDC_TRIGGER_NUMBER);
}

int TriggerDialog::ControlOf(Field field) const {
  for (const auto& [shown, control] : controls_) {
    if (shown == field) return control;
  }
  return 0;
}

void TriggerDialog::OnFillLists() {
  HWND box = Item(IDC_TRIGGER_NUMBER);
  SendMessageA(box, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : rules::NumberBoxOf(data_.own_number).items) {
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageW(Item(ControlOf(Field::Name)), EM_LIMITTEXT, kNameLimit, 0);
}

void TriggerDialog::ExchangeHeader(DataExchange& exchange) {
  exchange.List(IDC_TRIGGER_NUMBER, data_[Field::Number], rules::FindExact);
  exchange.Text(ControlOf(Field::Name), data_[Field::Name]);
}

int TriggerDialog::FocusOnOpen(int otherwise) const {
  const int control = ControlOf(data_.focus);
  return control != 0 && IsWindowEnabled(Item(control)) ? control : otherwise;
}

bool TriggerDialog::OnOk() {
  const std::optional<rules::FieldTest> failed =
      rules::FirstFailure(kind_, data_, [this](Field field) {
        const int control = ControlOf(field);
        return control != 0 && IsWindowEnabled(Item(control)) != FALSE;
      });
  if (!failed) return true;
  OnTestFailed(*failed);
  return false;
}

void TriggerDialog::OnTestFailed(const rules::FieldTest& failed) {
  const int control = ControlOf(failed.field);
  const bool enabled = IsWindowEnabled(Item(control)) != FALSE;
  // A disabled field cannot take the focus; the message tells how to reach it.
  if (enabled) MarkField(control);
  switch (rules::FailureMessageOf(kind_, failed, enabled)) {
    case rules::FailureMessage::None:
      break;
    case rules::FailureMessage::BadPattern:
      ShowError(IDS_BAD_PATTERN_CAPTION, IDS_BAD_PATTERN_TEXT);
      break;
    case rules::FailureMessage::DisabledCount:
      ShowError(IDS_DISABLED_FIELD_CAPTION, IDS_DISABLED_COUNT_TEXT);
      break;
    case rules::FailureMessage::DisabledCycle:
      ShowError(IDS_DISABLED_FIELD_CAPTION, IDS_DISABLED_CYCLE_TEXT);
      break;
    case rules::FailureMessage::DisabledWait:
      ShowError(IDS_DISABLED_FIELD_CAPTION, IDS_DISABLED_WAIT_TEXT);
      break;
  }
}

void TriggerDialog::EnableAll(std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) Enable(id, enabled);
}

}  // namespace win::ui
