// CTriggerIoStream: an I/O stream trigger, which names the I/O port the simulator serves as a
// stream when the trigger fires.
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

CTriggerIoStream::CTriggerIoStream(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(resources, std::move(show_help), EditKind::IOStream, IDD_TRIGGER_IO_STREAM,
                    data,
                    {{Field::Name, IDC_TRIGGER_NAME}, {Field::Destination, IDC_IO_STREAM_VALUE}}) {}

void CTriggerIoStream::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  exchange.Text(IDC_IO_STREAM_VALUE, data_[Field::Destination]);
}

int CTriggerIoStream::OnInitDialog() {
  SetUpSpin(IDC_IO_STREAM_SPIN, 0, 32767, rules::SpinPosition(data_[Field::Destination], 0, 32767));
  return FocusOnOpen(0);
}

}  // namespace win::ui
