// The trigger list's column widths: the table's widths scaled to a DPI, and the kept line.
#include "core/window/column_widths.h"

#include <algorithm>
#include <cstdint>

#include "core/window/trigger_list.h"

namespace core::window {
namespace {

// Rounds half away from zero, as the system's MulDiv does.
int MulDivRounded(int value, int numerator, int denominator) {
  const int64_t product = static_cast<int64_t>(value) * numerator;
  const int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

ColumnWidths TableColumnWidths() {
  ColumnWidths widths{};
  const auto& columns = TriggerListColumns();
  for (size_t i = 0; i < widths.size(); ++i) widths[i] = columns[i].width;
  return widths;
}

int ScaleToDpi(int width, int dpi) {
  return dpi > 0 ? MulDivRounded(width, dpi, kTableDpi) : width;
}

int ScaleFromDpi(int pixels, int dpi) {
  if (dpi <= 0) return pixels;
  // The nearest width, moved to the narrowest that still scales to `pixels` or more: a column is
  // never restored narrower than the user left it, and a width that came from the table or
  // from a kept line comes back as it was.
  int width = MulDivRounded(pixels, kTableDpi, dpi);
  while (width > 0 && ScaleToDpi(width - 1, dpi) >= pixels) --width;
  while (ScaleToDpi(width, dpi) < pixels) ++width;
  return width;
}

std::string FormatColumnWidths(const ColumnWidths& widths) {
  std::string line;
  for (int width : widths) {
    if (!line.empty()) line += ',';
    line += std::to_string(width);
  }
  return line;
}

std::optional<ColumnWidths> ParseColumnWidths(std::string_view line) {
  ColumnWidths widths{};
  size_t at = 0;
  for (size_t column = 0; column < widths.size(); ++column) {
    if (column > 0) {
      if (at == line.size() || line[at] != ',') return std::nullopt;
      ++at;
    }
    while (at < line.size() && IsSpace(line[at])) ++at;
    // Up to six digits: more is no width, and would overflow.
    const size_t begin = at;
    int width = 0;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - begin < 6) {
      width = width * 10 + (line[at++] - '0');
    }
    if (at == begin) return std::nullopt;
    while (at < line.size() && IsSpace(line[at])) ++at;
    widths[column] = std::clamp(width, kMinColumnWidth, kMaxColumnWidth);
  }
  if (at != line.size()) return std::nullopt;
  return widths;
}

}  // namespace core::window
