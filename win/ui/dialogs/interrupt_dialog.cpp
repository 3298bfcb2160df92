// CTriggerInterrupt: an interrupt request of one of the simulator's interrupt sources, raised (with
// its cycle and wait) or cleared.
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

// Cycle and wait take any non-negative 32-bit value.
constexpr int kTimingLimit = 0x7FFFFFFF;

CTriggerInterrupt::CTriggerInterrupt(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(resources, std::move(show_help), EditKind::Interrupt, IDD_TRIGGER_INTERRUPT,
                    data,
                    {{Field::Name, IDC_TRIGGER_NAME},
                     {Field::Destination, IDC_INTERRUPT_SOURCE},
                     {Field::Cycle, IDC_TRIGGER_CYCLE},
                     {Field::Wait, IDC_TRIGGER_WAIT}}) {}

void CTriggerInterrupt::OnFillLists() {
  TriggerDialog::OnFillLists();
  HWND box = Item(IDC_INTERRUPT_SOURCE);
  SendMessageA(box, CB_RESETCONTENT, 0, 0);
  for (const rules::SourceItem& source : data_.sources) {
    const std::string text = rules::SourceItemText(source);
    const LRESULT index =
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(box, CB_SETITEMDATA, index, source.value);
  }
}

void CTriggerInterrupt::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  exchange.Text(IDC_TRIGGER_CYCLE, data_[Field::Cycle]);
  exchange.Text(IDC_TRIGGER_WAIT, data_[Field::Wait]);
  // The data holds the source's name, the list the items "code:name".
  if (exchange.Saving()) {
    data_[Field::Destination] = rules::SourceNameOf(ItemText(IDC_INTERRUPT_SOURCE));
    data_.clear = ClearChosen();
  } else {
    SendMessageA(Item(IDC_INTERRUPT_SOURCE), CB_SETCURSEL,
                 rules::ChooseSource(data_.sources, data_[Field::Destination]), 0);
    clear_choice_ = data_.clear;  // OnInitDialog ticks the box
  }
}

int CTriggerInterrupt::OnInitDialog() {
  SetUpSpin(IDC_INTERRUPT_CYCLE_SPIN, 0, kTimingLimit,
            rules::SpinPosition(data_[Field::Cycle], 0, kTimingLimit));
  SetUpSpin(IDC_INTERRUPT_WAIT_SPIN, 0, kTimingLimit,
            rules::SpinPosition(data_[Field::Wait], 0, kTimingLimit));
  ApplyEnabling();
  return FocusOnOpen(IDC_TRIGGER_NAME);
}

void CTriggerInterrupt::OnCommand(int id, int code) {
  if (id == IDC_INTERRUPT_SOURCE && code == CBN_SELCHANGE) {
    ApplyEnabling();
    ProposeName();
  } else if (id == IDC_INTERRUPT_CLEAR && code == BN_CLICKED) {
    // The name stays: it is proposed when a source is chosen.
    clear_choice_ = IsDlgButtonChecked(Handle(), IDC_INTERRUPT_CLEAR) == BST_CHECKED;
    ApplyEnabling();
  }
}

uint32_t CTriggerInterrupt::SelectedValue() const {
  HWND box = Item(IDC_INTERRUPT_SOURCE);
  const LRESULT index = SendMessageA(box, CB_GETCURSEL, 0, 0);
  return index < 0 ? 0 : static_cast<uint32_t>(SendMessageA(box, CB_GETITEMDATA, index, 0));
}

bool CTriggerInterrupt::ClearChosen() const {
  return rules::InterruptEnablingOf(SelectedValue(), clear_choice_).clear;
}

void CTriggerInterrupt::ApplyEnabling() {
  const rules::InterruptEnabling enabling =
      rules::InterruptEnablingOf(SelectedValue(), clear_choice_);
  Enable(IDC_INTERRUPT_CLEAR, enabling.clear_box);
  CheckDlgButton(Handle(), IDC_INTERRUPT_CLEAR, enabling.clear ? BST_CHECKED : BST_UNCHECKED);
  EnableAll({IDC_INTERRUPT_CYCLE_LABEL, IDC_TRIGGER_CYCLE, IDC_INTERRUPT_CYCLE_SPIN,
             IDC_INTERRUPT_WAIT_LABEL, IDC_TRIGGER_WAIT, IDC_INTERRUPT_WAIT_SPIN},
            enabling.timing);
}

// A new trigger is named after what it does: "setINTX" or "clearINTX".
void CTriggerInterrupt::ProposeName() {
  const std::string source = ItemText(IDC_INTERRUPT_SOURCE);
  if (ItemText(IDC_TRIGGER_NUMBER) != "new" || source.empty()) return;
  SetItemText(IDC_TRIGGER_NAME,
              rules::InterruptTriggerName(ClearChosen(), rules::SourceNameOf(source)));
}

}  // namespace win::ui
