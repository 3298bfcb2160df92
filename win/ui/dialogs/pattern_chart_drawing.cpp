// The data pattern's chart, drawn with GDI in the control's own font and the system colours.
#include "win/ui/dialogs/pattern_chart_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "win/ui/framework/handles.h"

namespace win::ui {
namespace {

using core::triggers::PatternChart;

// Values beyond the scale and the warning under the chart.
constexpr COLORREF kWarningColour = RGB(176, 32, 32);

// One part of `over` blended into two parts of `under`: the band's fill.
COLORREF Tint(COLORREF over, COLORREF under) {
  const auto mix = [](int a, int b) { return static_cast<BYTE>((a + 2 * b) / 3); };
  return RGB(mix(GetRValue(over), GetRValue(under)), mix(GetGValue(over), GetGValue(under)),
             mix(GetBValue(over), GetBValue(under)));
}

void Fill(HDC dc, const RECT& area, COLORREF colour) {
  const UniqueGdi<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.Get());
}

// The height of a text wrapped to the width of `area`.
int WrappedHeight(HDC dc, const std::string& text, const RECT& area) {
  if (text.empty()) return 0;
  RECT measured = area;
  DrawTextA(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  return measured.bottom - measured.top;
}

// Writes a wrapped text at the top of `area` and moves the top below it.
void WriteWrapped(HDC dc, const std::string& text, COLORREF colour, RECT* area) {
  if (text.empty()) return;
  const int height = WrappedHeight(dc, text, *area);
  RECT line = {area->left, area->top, area->right, area->top + height};
  SetTextColor(dc, colour);
  DrawTextA(dc, text.c_str(), -1, &line, DT_WORDBREAK | DT_NOPREFIX);
  area->top += height + 2;
}

// The reason, centred in the whole control.
void DrawReason(HDC dc, const RECT& area, const std::string& reason, COLORREF colour) {
  const int height = WrappedHeight(dc, reason, area);
  RECT text = area;
  text.top += std::max(0, static_cast<int>(area.bottom - area.top - height) / 2);
  SetTextColor(dc, colour);
  DrawTextA(dc, reason.c_str(), -1, &text, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
}

// The bars of a value list or the band of a random pattern inside `plot`.
void DrawPlot(HDC dc, const RECT& plot, const PatternChart& chart) {
  const COLORREF bar = GetSysColor(COLOR_HIGHLIGHT);
  const LONG height = plot.bottom - plot.top;
  const auto y_of = [&](double value) -> LONG {
    return plot.bottom - std::lround(chart.Place(value) * height);
  };
  if (chart.shape == PatternChart::Shape::Values) {
    const LONG width = plot.right - plot.left;
    const auto count = static_cast<LONG>(chart.values.size());
    for (LONG i = 0; i < count; ++i) {
      const double value = chart.values[static_cast<size_t>(i)];
      RECT column = {plot.left + width * i / count, 0, plot.left + width * (i + 1) / count,
                     plot.bottom};
      if (column.right - column.left >= 3) --column.right;  // a gap between wide bars
      column.top = std::min(y_of(value), plot.bottom - 1);  // 0 shows as a line
      const bool beyond = value < chart.low || value > chart.high;
      Fill(dc, column, beyond ? kWarningColour : bar);
    }
    return;
  }
  const LONG top = std::min(y_of(std::max(chart.band_min, chart.band_max)), plot.bottom - 1);
  const LONG bottom = std::max(y_of(std::min(chart.band_min, chart.band_max)), top + 1);
  const RECT band = {plot.left, top, plot.right, bottom};
  Fill(dc, band, Tint(bar, GetSysColor(COLOR_WINDOW)));
  Fill(dc, {band.left, band.top, band.right, band.top + 1}, bar);
  Fill(dc, {band.left, band.bottom - 1, band.right, band.bottom}, bar);
}

}  // namespace

void DrawPatternChart(const DRAWITEMSTRUCT& item, const PatternChart& chart, bool quiet) {
  const HDC dc = item.hDC;
  RECT area = item.rcItem;
  const auto font =
      SelectInto(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  InflateRect(&area, -4, -3);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  if (!chart.Drawable()) {
    DrawReason(dc, area, chart.reason, quiet ? GetSysColor(COLOR_GRAYTEXT) : text);
    return;
  }

  // From the top: the scale's top value, the plot, the scale's bottom value, then the label and
  // the warning. Those get room for five lines, or more when they need it, so that the plot
  // stays in place while the user types.
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight;
  const int wrapped = WrappedHeight(dc, chart.label, area) + 2 +
                      (chart.warning.empty() ? 0 : WrappedHeight(dc, chart.warning, area) + 2);
  const int room = std::max(5 * line + 4, wrapped) + line + 4;
  const RECT plot = {area.left, area.top + line + 1, area.right, area.bottom - room};
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  TextOutA(dc, area.left, area.top, chart.high_text.c_str(),
           static_cast<int>(chart.high_text.size()));
  TextOutA(dc, area.left, plot.bottom + 1, chart.low_text.c_str(),
           static_cast<int>(chart.low_text.size()));
  // The scale's top and bottom as dotted lines across the plot.
  for (const LONG y : {plot.top, plot.bottom}) {
    for (LONG x = plot.left; x < plot.right; x += 2) {
      SetPixel(dc, x, y, GetSysColor(COLOR_GRAYTEXT));
    }
  }
  DrawPlot(dc, {plot.left, plot.top + 1, plot.right, plot.bottom}, chart);

  RECT texts = {area.left, plot.bottom + line + 4, area.right, area.bottom};
  WriteWrapped(dc, chart.label, text, &texts);
  WriteWrapped(dc, chart.warning, kWarningColour, &texts);
}

}  // namespace win::ui
