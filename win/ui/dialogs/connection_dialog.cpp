// CTriggerConnection: a connect trigger, which fires the triggers it connects; they are moved
// between the list of the other triggers and the list of the connected ones.
#include "core/rows/kind_infos.h"
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

CTriggerConnection::CTriggerConnection(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(
          resources, std::move(show_help), EditKind::Connect, IDD_TRIGGER_CONNECTION, data,
          {{Field::Name, IDC_CONNECTION_NAME}, {Field::Destination, IDC_CONNECTION_CONNECTED}}) {}

void CTriggerConnection::OnFillLists() {
  TriggerDialog::OnFillLists();
  lists_.emplace(data_.others, data_.members);
  ShowLists(-1, -1);
}

void CTriggerConnection::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  if (!exchange.Saving()) return;
  data_.members = lists_->Members();
  data_[Field::Destination] = core::rows::JoinMembers(data_.members);
  data_[Field::Count] = std::to_string(data_.members.size());
}

int CTriggerConnection::OnInitDialog() { return FocusOnOpen(IDC_CONNECTION_NAME); }

// A missing name or an empty connected list keeps the dialog open and names the field to focus
// when it opens next; the focus stays where the user left it.
void CTriggerConnection::OnTestFailed(const rules::FieldTest& failed) {
  data_.focus = failed.field;
}

void CTriggerConnection::OnCommand(int id, int code) {
  const bool available = id == IDC_CONNECTION_AVAILABLE;
  if (code == BN_CLICKED && (id == IDC_CONNECTION_ADD || id == IDC_CONNECTION_REMOVE)) {
    Move(id == IDC_CONNECTION_ADD);
  } else if (code == LBN_DBLCLK && (available || id == IDC_CONNECTION_CONNECTED)) {
    Move(available);
  } else if (code == LBN_SELCHANGE) {
    EnableButtons();
  }
}

void CTriggerConnection::ShowLists(int available_selection, int connected_selection) {
  const std::pair<int, const std::vector<rules::ConnectionLists::Entry>*> lists[] = {
      {IDC_CONNECTION_AVAILABLE, &lists_->Available()},
      {IDC_CONNECTION_CONNECTED, &lists_->Connected()}};
  for (const auto& [id, entries] : lists) {
    HWND box = Item(id);
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    for (const rules::ConnectionLists::Entry& entry : *entries) {
      const LRESULT index =
          SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
      SendMessageA(box, LB_SETITEMDATA, index, static_cast<LPARAM>(entry.id));
    }
    FitHorizontalExtent(id);
  }
  SendMessageA(Item(IDC_CONNECTION_AVAILABLE), LB_SETCURSEL, available_selection, 0);
  SendMessageA(Item(IDC_CONNECTION_CONNECTED), LB_SETCURSEL, connected_selection, 0);
  EnableButtons();
}

// Moves the selected trigger to the other list and names the connect trigger after its members.
void CTriggerConnection::Move(bool add) {
  const int from = add ? IDC_CONNECTION_AVAILABLE : IDC_CONNECTION_CONNECTED;
  const int selected = static_cast<int>(SendMessageA(Item(from), LB_GETCURSEL, 0, 0));
  if (selected < 0) return;
  const int kept = add ? lists_->Add(selected) : lists_->Remove(selected);
  if (add) {
    ShowLists(kept, -1);
  } else {
    ShowLists(-1, kept);
  }
  SetItemText(IDC_CONNECTION_NAME, lists_->ProposedName());
}

void CTriggerConnection::EnableButtons() {
  const auto has_selection = [this](int id) {
    return SendMessageA(Item(id), LB_GETCURSEL, 0, 0) >= 0;
  };
  const bool add = has_selection(IDC_CONNECTION_AVAILABLE);
  const bool remove = has_selection(IDC_CONNECTION_CONNECTED);
  // A button about to be disabled must not keep the focus.
  HWND focus = GetFocus();
  if ((!add && focus == Item(IDC_CONNECTION_ADD)) ||
      (!remove && focus == Item(IDC_CONNECTION_REMOVE))) {
    SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
  }
  Enable(IDC_CONNECTION_ADD, add);
  Enable(IDC_CONNECTION_REMOVE, remove);
}

}  // namespace win::ui
