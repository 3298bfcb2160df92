// The widths of the trigger list's columns: scaled to the list's DPI, and kept for the user.
#include "win/ui/column_settings.h"
#include "win/ui/trigger_view.h"

namespace win::ui {

namespace cw = core::window;

cw::ColumnWidths TriggerView::InitialColumnWidths() {
  SetColumnWidthLimits(cw::kMinColumnWidth, cw::kMaxColumnWidth);
  KeptColumnWidths kept = LoadColumnWidths();
  if (kept.unreadable) {
    host_.WriteLog(std::string("Trigger add-in: the kept column widths (") + kColumnWidthsPlace +
                   ") are not 13 widths separated by commas; the trigger window shows its "
                   "standard widths");
  }
  const int dpi = WindowDpi(hwnd());
  for (int& width : kept.widths) width = cw::ScaleToDpi(width, dpi);
  return kept.widths;
}

void TriggerView::OnColumnWidthsChanged() {
  const int dpi = WindowDpi(hwnd());
  cw::ColumnWidths widths{};
  for (size_t column = 0; column < widths.size(); ++column) {
    const int pixels = static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, column, 0));
    widths[column] = cw::ScaleFromDpi(pixels, dpi);
  }
  if (!SaveColumnWidths(widths)) {
    host_.WriteLog(std::string("Trigger add-in: the column widths cannot be kept for the next "
                               "time (the registry refused ") +
                   kColumnWidthsPlace + ")");
  }
}

}  // namespace win::ui
