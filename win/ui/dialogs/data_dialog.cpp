// CTriggerData: a stream trigger, which writes data to its destination either from a pattern the
// user types (a value list or a random range) or from a memory stream.
#include "core/triggers/pattern_chart.h"
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/pattern_chart_drawing.h"
#include "win/ui/dialogs/trigger_dialog.h"

namespace win::ui {

namespace rules = core::window;

CTriggerData::CTriggerData(HINSTANCE resources, ShowHelp show_help, DialogData& data)
    : TriggerDialog(resources, std::move(show_help), EditKind::Stream, IDD_TRIGGER_DATA, data,
                    {{Field::Name, IDC_TRIGGER_NAME},
                     {Field::Destination, IDC_DATA_DESTINATION},
                     {Field::Size, IDC_DATA_SIZE},
                     {Field::DstMode, IDC_DATA_REPEAT},
                     {Field::SrcMode, IDC_DATA_GENERATE},
                     {Field::DataList, IDC_DATA_LIST},
                     {Field::StreamSource, IDC_DATA_STREAM_SOURCE},
                     {Field::Count, IDC_DATA_COUNT},
                     {Field::Cycle, IDC_TRIGGER_CYCLE},
                     {Field::Wait, IDC_TRIGGER_WAIT},
                     {Field::Mask, IDC_DATA_MASK}}) {}

void CTriggerData::DoDataExchange(DataExchange& exchange) {
  ExchangeHeader(exchange);
  exchange.Text(IDC_DATA_DESTINATION, data_[Field::Destination]);
  exchange.List(IDC_DATA_SIZE, data_[Field::Size], rules::FindPrefix);
  exchange.List(IDC_DATA_REPEAT, data_[Field::DstMode], rules::FindPrefix);
  exchange.Text(IDC_DATA_MASK, data_[Field::Mask]);
  exchange.List(IDC_DATA_GENERATE, data_[Field::SrcMode], rules::FindPrefix);
  exchange.Text(IDC_DATA_LIST, data_[Field::DataList]);
  exchange.Text(IDC_DATA_STREAM_SOURCE, data_[Field::StreamSource]);
  exchange.Text(IDC_DATA_COUNT, data_[Field::Count]);
  exchange.Text(IDC_TRIGGER_CYCLE, data_[Field::Cycle]);
  exchange.Text(IDC_TRIGGER_WAIT, data_[Field::Wait]);
  exchange.Check(IDC_DATA_KIND_DATA, data_.data_kind);
  if (!exchange.Saving()) {
    CheckDlgButton(Handle(), IDC_DATA_KIND_STREAM, data_.data_kind ? BST_UNCHECKED : BST_CHECKED);
  }
}

int CTriggerData::OnInitDialog() {
  SetUpSpin(IDC_DATA_COUNT_SPIN, 0, 32767, rules::SpinPosition(data_[Field::Count], 0, 32767));
  EnableKindFields();
  return FocusOnOpen(IDC_TRIGGER_NAME);
}

void CTriggerData::OnCommand(int id, int code) {
  // The chart follows every change of what it shows.
  const bool chart_changes =
      (id == IDC_DATA_LIST && code == EN_CHANGE) ||
      ((id == IDC_DATA_SIZE || id == IDC_DATA_GENERATE) && code == CBN_SELCHANGE);
  if (chart_changes) InvalidateRect(Item(IDC_DATA_CHART), nullptr, FALSE);
  if (code != BN_CLICKED || (id != IDC_DATA_KIND_DATA && id != IDC_DATA_KIND_STREAM)) return;
  data_.data_kind = id == IDC_DATA_KIND_DATA;
  EnableKindFields();
}

// The chart of the pattern as the fields stand, not as they were when the dialog opened.
bool CTriggerData::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlID != IDC_DATA_CHART) return false;
  if (!data_.data_kind) {
    core::triggers::PatternChart none;
    none.reason = core::triggers::kStreamHasNoPattern;
    DrawPatternChart(item, none, true);
    return true;
  }
  DrawPatternChart(
      item,
      core::triggers::ChartOfPattern(ItemText(IDC_DATA_SIZE), ItemText(IDC_DATA_GENERATE),
                                     ItemText(IDC_DATA_LIST)),
      false);
  return true;
}

// The fields of the other kind keep their texts while they are disabled.
void CTriggerData::EnableKindFields() {
  EnableAll({IDC_DATA_GENERATE_LABEL, IDC_DATA_GENERATE, IDC_DATA_LIST_LABEL, IDC_DATA_LIST},
            data_.data_kind);
  EnableAll({IDC_DATA_STREAM_SOURCE_LABEL, IDC_DATA_STREAM_SOURCE, IDC_DATA_COUNT_LABEL,
             IDC_DATA_COUNT, IDC_DATA_COUNT_SPIN},
            !data_.data_kind);
  InvalidateRect(Item(IDC_DATA_CHART), nullptr, FALSE);
}

}  // namespace win::ui
