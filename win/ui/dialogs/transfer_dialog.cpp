// CTriggerTransfer: a memory block transfer, its source and destination each with an address, a
// stepping mode and the mode's value, and the size, count and timing of the transfer.
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

CTriggerTransfer::CTriggerTransfer(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(resources, std::move(show_help), EditKind::Transfer, IDD_TRIGGER_TRANSFER, data,
                    {{Field::Name, IDC_TRIGGER_NAME},
                     {Field::Count, IDC_TRANSFER_COUNT},
                     {Field::Size, IDC_TRANSFER_SIZE},
                     {Field::Source, IDC_TRANSFER_SOURCE},
                     {Field::SrcMode, IDC_TRANSFER_SRC_MODE},
                     {Field::SrcModeValue, IDC_TRANSFER_SRC_VALUE},
                     {Field::Destination, IDC_TRANSFER_DESTINATION},
                     {Field::DstMode, IDC_TRANSFER_DST_MODE},
                     {Field::DstModeValue, IDC_TRANSFER_DST_VALUE},
                     {Field::Cycle, IDC_TRIGGER_CYCLE},
                     {Field::Wait, IDC_TRIGGER_WAIT}}) {}

void CTriggerTransfer::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  exchange.Text(IDC_TRANSFER_COUNT, data_[Field::Count]);
  exchange.List(IDC_TRANSFER_SIZE, data_[Field::Size], rules::FindExact);
  exchange.Text(IDC_TRANSFER_SOURCE, data_[Field::Source]);
  exchange.List(IDC_TRANSFER_SRC_MODE, data_[Field::SrcMode], rules::FindPrefix);
  exchange.Text(IDC_TRANSFER_SRC_VALUE, data_[Field::SrcModeValue]);
  exchange.Text(IDC_TRANSFER_DESTINATION, data_[Field::Destination]);
  exchange.List(IDC_TRANSFER_DST_MODE, data_[Field::DstMode], rules::FindPrefix);
  exchange.Text(IDC_TRANSFER_DST_VALUE, data_[Field::DstModeValue]);
  exchange.Text(IDC_TRIGGER_CYCLE, data_[Field::Cycle]);
  exchange.Text(IDC_TRIGGER_WAIT, data_[Field::Wait]);
}

int CTriggerTransfer::OnInitDialog() {
  SetUpSpin(IDC_TRANSFER_COUNT_SPIN, 0, 32767, rules::SpinPosition(data_[Field::Count], 0, 32767));
  SetUpSpin(IDC_TRANSFER_SRC_VALUE_SPIN, 0, 31,
            rules::SpinPosition(data_[Field::SrcModeValue], 0, 31));
  SetUpSpin(IDC_TRANSFER_DST_VALUE_SPIN, 0, 31,
            rules::SpinPosition(data_[Field::DstModeValue], 0, 31));
  EnableModeValues();
  return FocusOnOpen(IDC_TRIGGER_NAME);
}

void CTriggerTransfer::OnCommand(int id, int code) {
  if (code == CBN_SELCHANGE && (id == IDC_TRANSFER_SRC_MODE || id == IDC_TRANSFER_DST_MODE)) {
    EnableModeValues();
  }
}

// A mode takes a value for every item of its list but the first (FIX).
void CTriggerTransfer::EnableModeValues() {
  const auto selected = [this](int list) {
    return static_cast<int>(SendMessageW(Item(list), CB_GETCURSEL, 0, 0));
  };
  EnableAll({IDC_TRANSFER_SRC_VALUE, IDC_TRANSFER_SRC_VALUE_SPIN, IDC_TRANSFER_SRC_VALUE_LABEL},
            rules::ModeValueEnabled(selected(IDC_TRANSFER_SRC_MODE)));
  EnableAll({IDC_TRANSFER_DST_VALUE, IDC_TRANSFER_DST_VALUE_SPIN, IDC_TRANSFER_DST_VALUE_LABEL},
            rules::ModeValueEnabled(selected(IDC_TRANSFER_DST_MODE)));
}

}  // namespace win::ui
