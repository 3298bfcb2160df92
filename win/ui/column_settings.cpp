// Keeping the trigger list's column widths in the registry.
#include "win/ui/column_settings.h"

#include <windows.h>

#include <string>

namespace win::ui {
namespace {

constexpr char kKey[] = "Software\\Trigger\\TriggerWindow";
constexpr char kValue[] = "ColumnWidths";

}  // namespace

KeptColumnWidths LoadColumnWidths() {
  KeptColumnWidths kept{core::window::TableColumnWidths()};
  // Thirteen widths of up to four digits fit easily; a longer value is no list of widths.
  char text[256] = "";
  DWORD size = sizeof(text);
  const LSTATUS status =
      RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, text, &size);
  if (status == ERROR_FILE_NOT_FOUND) return kept;
  if (status != ERROR_SUCCESS) {  // another type, or too long
    kept.unreadable = true;
    return kept;
  }
  const auto widths = core::window::ParseColumnWidths(text);
  if (widths) {
    kept.widths = *widths;
  } else {
    kept.unreadable = true;
  }
  return kept;
}

bool SaveColumnWidths(const core::window::ColumnWidths& widths) {
  const std::string text = core::window::FormatColumnWidths(widths);
  return RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, text.c_str(),
                         static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace win::ui
