// The trigger list's column widths as the user left them, kept per user in the registry:
// HKEY_CURRENT_USER\Software\Trigger\TriggerWindow, value ColumnWidths, a text of the thirteen
// widths at 96 DPI separated by commas.
#pragma once

#include "core/window/column_widths.h"

namespace win::ui {

inline constexpr char kColumnWidthsPlace[] =
    "HKEY_CURRENT_USER\\Software\\Trigger\\TriggerWindow, value ColumnWidths";

struct KeptColumnWidths {
  core::window::ColumnWidths widths;  // at 96 DPI
  bool unreadable = false;            // a value was kept but is no list of widths
};

// The kept widths; the column table's when none are kept or the kept value cannot be read.
KeptColumnWidths LoadColumnWidths();
// Keeps the widths for the next time; false when the registry refuses them.
bool SaveColumnWidths(const core::window::ColumnWidths& widths);

}  // namespace win::ui
