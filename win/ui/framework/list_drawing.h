// The owner-drawn list's rules, apart from the drawing itself: which rows are drawn selected, how
// far a row's highlight reaches, how a text that does not fit its column is shortened with an
// ellipsis, how it is aligned, and what is repainted past the last column. The Windows control
// applies them with GDI; the measuring is a port so that the rules are tested without a screen.
// This file and its source are portable C++ with no Windows header: they build on every platform,
// and their tests run natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace win::ui {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// Text widths in pixels in the font the list draws with.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int Width(std::string_view text) const = 0;
};

inline constexpr char kEllipsis[] = "...";

// The text to draw in a column `width` pixels wide, `offset` pixels of which are margins: the text
// itself when it fits, otherwise its longest prefix (of at least one character) that fits with
// "..." after it, built in `buffer` (reused from row to row, so drawing allocates nothing once it
// is large enough). The result views either `text` or `buffer`.
std::string_view ShortenToFit(const TextMeasure& measure, std::string_view text, int width,
                              int offset, std::string& buffer);

// The pixels a column gives its text beyond the text's own width: DrawItem draws the first
// column's text 2 pixels inside its label and the others' 6 pixels inside their columns, and
// shortens what does not fit with these margins.
inline constexpr int kFirstColumnMargins = 4;
inline constexpr int kColumnMargins = 12;
inline int ColumnTextMargins(int column) {
  return column == 0 ? kFirstColumnMargins : kColumnMargins;
}

// The width at which a column shows every text whole: its widest row text with the margins
// above (the first column also with `label_inset`, the part of it left of its label), or its
// header's width (the header text with the header's own margins), whichever is wider, kept
// within `minimum` and `maximum`.
int FittedColumnWidth(int column, int widest_text, int label_inset, int header_width, int minimum,
                      int maximum);

// List item state bits and column formats, as the list control reports them.
inline constexpr uint32_t kItemFocused = 0x1;
inline constexpr uint32_t kItemSelected = 0x2;
inline constexpr uint32_t kItemCut = 0x4;
inline constexpr uint32_t kItemDropHighlighted = 0x8;
inline constexpr int kColumnRight = 1;
inline constexpr int kColumnCenter = 2;

// A selected row is drawn selected while the list has the focus, or always when the list shows
// its selection always; a drop target is always drawn selected.
bool DrawnSelected(uint32_t state, bool has_focus, bool show_selection_always);

// The highlight of a row: its bounds from the left edge of the label (so the state image stays
// unhighlighted), reaching the right edge of the client when the columns end earlier and the
// list highlights to the client width.
Rect HighlightRect(const Rect& bounds, int label_left, bool to_client_width, int client_width);

// The alignment of the text in a column: a shortened text starts at the left whatever the format
// of the column.
enum class Align { Left, Right, Center };
Align TextAlign(int column_format, bool shortened);

// Blended images: cut items, and selected rows whose images take the highlight colour.
struct ImageBlend {
  bool blend;
  bool highlight_foreground;
};
ImageBlend ImageBlendOf(uint32_t state, bool drawn_selected);

// What a paint of `clip_box` repaints when the columns end left of the client edge: the clip box
// widened to the right edge of the client and to the right edge of the last column, so that the
// highlight past the columns is never left stale.
Rect PastLastColumn(const Rect& clip_box, int columns_right, int client_width);

}  // namespace win::ui
