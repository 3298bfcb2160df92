// CTriggerControl: a control trigger, which stops, resets or restarts another trigger.
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

CTriggerControl::CTriggerControl(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(resources, std::move(show_help), EditKind::Control, IDD_TRIGGER_CONTROL, data,
                    {{Field::Name, IDC_TRIGGER_NAME},
                     {Field::Destination, IDC_CONTROL_TARGET},
                     {Field::Source, IDC_CONTROL_ACTION}}) {}

void CTriggerControl::OnFillLists() {
  TriggerDialog::OnFillLists();
  HWND box = Item(IDC_CONTROL_TARGET);
  SendMessageA(box, CB_RESETCONTENT, 0, 0);
  for (const rules::OtherTrigger& other : data_.others) {
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(other.name.c_str()));
  }
}

void CTriggerControl::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  exchange.List(IDC_CONTROL_ACTION, data_[Field::Source], rules::FindExact);
  exchange.List(IDC_CONTROL_TARGET, data_[Field::Destination], rules::FindExact);
}

int CTriggerControl::OnInitDialog() { return FocusOnOpen(0); }

}  // namespace win::ui
