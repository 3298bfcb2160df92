// The owner-drawn list's rules: shortening with an ellipsis over a measured font, selection,
// highlight, alignment and the repaint past the last column.
#include "win/ui/framework/list_drawing.h"

#include <gtest/gtest.h>

namespace {

using win::ui::Align;
using win::ui::Rect;

// Every character is 6 pixels wide, except 'W' (10) and '.' (2).
class Measure : public win::ui::TextMeasure {
 public:
  int Width(std::string_view text) const override {
    int width = 0;
    for (char c : text) width += c == 'W' ? 10 : c == '.' ? 2 : 6;
    return width;
  }
};

TEST(ListDrawing, ShortenToFit) {
  // The text, the width of the column and the offset of the text in it; what is drawn.
  const std::tuple<const char*, int, int, const char*> cases[] = {
      {"", 0, 12, ""},
      {"Transfer", 60, 12, "Transfer"},   // 48 + 12: an exact fit keeps the text
      {"Transfer", 59, 12, "Transf..."},  // 36 + 6 + 12 = 54; "Transfe" would need 60
      {"Transfer", 48, 12, "Trans..."},   // 30 + 6 + 12 = 48, an exact fit
      {"W", 9, 0, "W..."},                // one character that does not fit keeps its place
      {"WWW", 20, 4, "W..."},             // never shorter than one character
      {"InActivate", 70, 12, "InActiva..."},
  };
  Measure measure;
  std::string buffer;
  for (const auto& [text, width, offset, drawn] : cases) {
    EXPECT_EQ(win::ui::ShortenToFit(measure, text, width, offset, buffer), drawn)
        << text << " in " << width;
  }
}

// A shortened text aligns left whatever its column's format says; a selected row is drawn selected
// while the list has the focus or shows its selection always, a drop target always.
TEST(ListDrawing, AlignmentAndSelection) {
  const std::tuple<int, bool, Align> aligns[] = {
      {0, false, Align::Left}, {1, false, Align::Right}, {2, false, Align::Center},
      {1, true, Align::Left},  {2, true, Align::Left},   {0x4001, false, Align::Right}};
  for (const auto& [format, shortened, align] : aligns) {
    EXPECT_EQ(win::ui::TextAlign(format, shortened), align) << format << shortened;
  }
  const std::tuple<uint32_t, bool, bool, bool> states[] = {
      {0x2, true, false, true},  {0x2, false, false, false}, {0x2, false, true, true},
      {0x8, false, false, true}, {0x1, true, true, false},   {0x3, true, false, true}};
  for (const auto& [state, focus, always, selected] : states) {
    EXPECT_EQ(win::ui::DrawnSelected(state, focus, always), selected)
        << state << " focus " << focus << " always " << always;
  }
}

TEST(ListDrawing, TheHighlightReachesTheClientEdge) {
  const Rect bounds{-20, 16, 880, 33};
  EXPECT_EQ(win::ui::HighlightRect(bounds, 2, true, 1000), (Rect{2, 16, 1000, 33}));
  EXPECT_EQ(win::ui::HighlightRect(bounds, 2, false, 1000), (Rect{2, 16, 880, 33}));
  EXPECT_EQ(win::ui::HighlightRect(bounds, 2, true, 600), (Rect{2, 16, 880, 33}));

  EXPECT_EQ(win::ui::PastLastColumn({900, 0, 950, 40}, 880, 1000), (Rect{879, 0, 1000, 40}));
  EXPECT_EQ(win::ui::PastLastColumn({100, 5, 300, 40}, 880, 1000), (Rect{100, 5, 1000, 40}));
}

// A column fitted to its texts draws its widest text whole, and one pixel less would shorten it;
// a wider header wins, and the limits (24 and 60 here) hold.
TEST(ListDrawing, AFittedColumnShowsItsWidestTextWhole) {
  // Column, widest text, label inset, header width (text and margins), fitted width.
  const std::tuple<int, const char*, int, int, int> cases[] = {
      {0, "WWWW", 2, 30, 46}, {3, "Transfer", 0, 46, 60}, {0, "255", 2, 30, 30},
      {12, "W", 0, 0, 24},    {4, "WWWWWWWW", 0, 0, 60},
  };
  Measure measure;
  std::string buffer;
  for (const auto& [column, text, inset, header, fitted] : cases) {
    const int width =
        win::ui::FittedColumnWidth(column, measure.Width(text), inset, header, 24, 60);
    const int margins = win::ui::ColumnTextMargins(column);
    EXPECT_EQ(width, fitted) << column << " " << text;
    if (width != measure.Width(text) + margins + inset) continue;
    EXPECT_EQ(win::ui::ShortenToFit(measure, text, width - inset, margins, buffer), text);
    EXPECT_NE(win::ui::ShortenToFit(measure, text, width - inset - 1, margins, buffer), text);
  }
}

}  // namespace
