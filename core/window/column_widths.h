// The widths of the trigger list's columns. The column table gives them at 96 DPI, and the window
// shows them scaled to its own DPI. The widths a user sets are kept between sessions as a line of
// text at 96 DPI, so that they still fit after the DPI has changed.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/rows/trigger_info.h"

namespace core::window {

using ColumnWidths = std::array<int, rows::kColumnCount>;

// The DPI the column table is drawn for.
inline constexpr int kTableDpi = 96;
// Widths at 96 DPI that a kept line may hold: narrower columns are widened so that each stays
// in sight with a divider to grab, wider ones narrowed.
inline constexpr int kMinColumnWidth = 12;
inline constexpr int kMaxColumnWidth = 2000;

// The widths of the column table.
ColumnWidths TableColumnWidths();

// A width at 96 DPI in pixels at `dpi`, rounded to the nearest pixel; and back, the narrowest
// width at 96 DPI that shows at least those pixels at `dpi`. A DPI of 0 or less counts as 96.
int ScaleToDpi(int width, int dpi);
int ScaleFromDpi(int pixels, int dpi);

// The line that keeps the widths: the thirteen numbers separated by commas, "40,70,100,...".
std::string FormatColumnWidths(const ColumnWidths& widths);
// The widths of a kept line, each brought within the limits above; none when the line is not
// thirteen whole numbers separated by commas (spaces around them are allowed).
std::optional<ColumnWidths> ParseColumnWidths(std::string_view line);

}  // namespace core::window
