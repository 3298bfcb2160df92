// PatternChart: what a small chart of a data pattern shows, worked out once for the data dialog
// (drawn with GDI) and for trigger-check's HTML report (drawn as SVG). The chart shows what the
// simulator gets: the values of a value list, or the band and count of a random pattern, on the
// scale of the size. The pattern is read with the data generator, so a pattern the chart cannot
// draw is one the dialog refuses on OK (and RANDOM2 under DOUBLE, which Register refuses).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core::triggers {

struct PatternChart {
  enum class Shape {
    None,    // not drawable: `reason` tells the user why
    Values,  // a value list: one bar per value
    Band,    // RANDOM or RANDOM2: the simulator draws `count` values between the bounds
  };
  Shape shape = Shape::None;
  std::string reason;

  // The scale, bottom to top: the range of an integer size; for DOUBLE, which has no range of
  // its own, from 0 (or the lowest value) to the highest value. `scale_note` says which.
  double low = 0;
  double high = 1;
  std::string low_text;
  std::string high_text;
  std::string scale_note;

  std::vector<double> values;  // Values: at most 100, as sent
  double band_min = 0;         // Band: the bounds as sent (min may lie above max under RANDOM)
  double band_max = 0;
  uint32_t count = 0;  // the number of values sent or drawn

  std::string label;    // one line to show under the chart
  std::string warning;  // a sentence on what is sent other than typed; may be empty

  bool Drawable() const { return shape != Shape::None; }
  // Where a value sits on the scale: 0 at `low`, 1 at `high`, clamped to that range.
  double Place(double value) const;
};

// The chart of a pattern: the size keyword, the generate mode and the data list as the user
// typed them (keywords in any case).
PatternChart ChartOfPattern(std::string_view size, std::string_view generate_mode,
                            std::string_view data_list);

// Shown in place of a chart for a trigger that reads a memory stream.
inline constexpr char kStreamHasNoPattern[] = "A memory stream has no pattern to chart.";

}  // namespace core::triggers
