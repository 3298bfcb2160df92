// Draws the chart of a data pattern into an owner-drawn control with GDI: the scale's top and
// bottom, the bars of a value list or the band of a random pattern, and the label and warning
// under it. A pattern that cannot be drawn shows its reason in place of the chart.
#pragma once

#include <windows.h>

#include "core/triggers/pattern_chart.h"

namespace win::ui {

// `quiet` draws a reason in grey: for a chart that does not apply rather than a pattern to fix.
void DrawPatternChart(const DRAWITEMSTRUCT& item, const core::triggers::PatternChart& chart,
                      bool quiet);

}  // namespace win::ui
