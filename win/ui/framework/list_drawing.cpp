// The owner-drawn list's rules.
#include "win/ui/framework/list_drawing.h"

#include <algorithm>

namespace win::ui {

std::string_view ShortenToFit(const TextMeasure& measure, std::string_view text, int width,
                              int offset, std::string& buffer) {
  if (text.empty() || measure.Width(text) + offset <= width) return text;
  const int dots = measure.Width(kEllipsis);
  size_t length = text.size() > 1 ? text.size() - 1 : 1;
  while (length > 1 && measure.Width(text.substr(0, length)) + dots + offset > width) --length;
  buffer.assign(text.data(), length);
  buffer += kEllipsis;
  return buffer;
}

int FittedColumnWidth(int column, int widest_text, int label_inset, int header_width, int minimum,
                      int maximum) {
  int width = header_width;
  if (widest_text > 0) {
    width =
        std::max(width, widest_text + ColumnTextMargins(column) + (column == 0 ? label_inset : 0));
  }
  return std::clamp(width, minimum, std::max(minimum, maximum));
}

bool DrawnSelected(uint32_t state, bool has_focus, bool show_selection_always) {
  if (state & kItemDropHighlighted) return true;
  return (has_focus || show_selection_always) && (state & kItemSelected);
}

Rect HighlightRect(const Rect& bounds, int label_left, bool to_client_width, int client_width) {
  Rect highlight = bounds;
  highlight.left = label_left;
  if (to_client_width && highlight.right < client_width) highlight.right = client_width;
  return highlight;
}

Align TextAlign(int column_format, bool shortened) {
  if (shortened) return Align::Left;
  switch (column_format & 3) {
    case kColumnRight:
      return Align::Right;
    case kColumnCenter:
      return Align::Center;
    default:
      return Align::Left;
  }
}

ImageBlend ImageBlendOf(uint32_t state, bool drawn_selected) {
  if (state & kItemCut) return {true, false};
  if (drawn_selected) return {true, true};
  return {false, false};
}

Rect PastLastColumn(const Rect& clip_box, int columns_right, int client_width) {
  Rect past = clip_box;
  // From one pixel inside the last column, where a focus rectangle's right edge is drawn, or
  // from further left when the clip box starts there.
  past.left = std::min(clip_box.left, columns_right - 1);
  past.right = client_width;
  return past;
}

}  // namespace win::ui
