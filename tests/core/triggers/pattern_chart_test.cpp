// The chart of a data pattern: what it draws, on which scale, and why it draws nothing.
#include "core/triggers/pattern_chart.h"

#include <gtest/gtest.h>

#include "core/window/dialog_rules.h"

namespace {

using core::triggers::ChartOfPattern;
using Shape = core::triggers::PatternChart::Shape;

struct Case {
  const char* size;
  const char* mode;
  const char* list;
  Shape shape;
  const char* text;  // the reason, or the label and the scale
  const char* warning;
};

TEST(PatternChartTest, DrawsWhatTheSimulatorGetsOrSaysWhyNot) {
  // clang-format off
  const Case cases[] = {
      {"8BIT", "DEFAULT", "0x48,1,,020", Shape::Values, "3 values | 0 to 255", ""},
      {"word", "default", "70000", Shape::Values, "1 value | 0 to 65535",
       "1 value lies beyond the 16BIT range."},
      {"DOUBLE", "DEFAULT", "3,6", Shape::Values, "2 values | 0 to 6", ""},
      {"32BIT", "RANDOM2", "32,0,1023", Shape::Band,
       "32 values drawn by the simulator between 0 and 1023 | 0 to 4294967295", ""},
      {"16BIT", "RANDOM2", "5,9,3", Shape::Band,
       "5 values drawn by the simulator between 0 and 0 | 0 to 65535",
       "Min lies above max: both are sent as 0."},
      {"8BIT", "RANDOM", "x,2.5,-1", Shape::Band,
       "0 values drawn by the simulator between 2.5 and -1 | 0 to 255",
       "The count \"x\" is not a whole number: 0 is sent; min lies above max; "
       "the band reaches beyond the 8BIT range."},
      {"DOUBLE", "RANDOM", "4,-2.5,1e999", Shape::Band,
       "4 values drawn by the simulator between -2.5 and inf | -2.5 to 0", ""},
      {"8BIT", "DEFAULT", "1, abc ,3", Shape::None, "Value 2, \"abc\", is not a whole number.", ""},
      {"DOUBLE", "DEFAULT", "1.5", Shape::None,
       "Value 1, \"1.5\", is not a whole number (DOUBLE takes whole numbers in a list).", ""},
      {"8BIT", "RANDOM", "10,1.5,x", Shape::None,
       "The max \"x\" is not a decimal number such as 1.5.", ""},
      {"8BIT", "RANDOM", "10,01.5,2", Shape::None,
       "The min \"01.5\" starts with 0 and another digit, which a decimal number may not.", ""},
      {"8BIT", "RANDOM2", "10,-1,3", Shape::None,
       "The min \"-1\" is not a whole number from 0 to 2147483647.", ""},
      {"DOUBLE", "RANDOM2", "1,2,3", Shape::None,
       "RANDOM2 draws whole numbers: choose an integer size, or RANDOM for DOUBLE.", ""},
      {"8BIT", "DEFAULT", ",,", Shape::None, "Type the values, such as 1,2,3.", ""},
      {"", "DEFAULT", "1", Shape::None, "Choose a size to see the pattern.", ""},
      {"8BIT*", "DEFAULT", "1", Shape::None, "\"8BIT*\" is not a size.", ""},
      {"8BIT", "", "1", Shape::None, "Choose how the data is generated.", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto chart = ChartOfPattern(c.size, c.mode, c.list);
    const std::string where = std::string(c.size) + " " + c.mode + " " + c.list;
    EXPECT_EQ(chart.shape, c.shape) << where;
    const std::string scale = chart.low_text + " to " + chart.high_text;
    EXPECT_EQ(chart.Drawable() ? chart.label + " | " + scale : chart.reason, c.text) << where;
    EXPECT_EQ(chart.warning, c.warning) << where;
    // A bad item is what the dialog refuses on OK; every other reason is not.
    const bool bad_item = chart.reason.rfind("Value", 0) == 0 || chart.reason.rfind("The ", 0) == 0;
    EXPECT_EQ(bad_item, core::window::PatternHasError(c.mode, c.size, c.list)) << where;
  }
}

TEST(PatternChartTest, ValuesAreSentAsReadAndPlacedOnTheScale) {
  std::string list;
  for (int i = 0; i < 150; ++i) list += std::to_string(i * 2) + ",";
  const auto chart = ChartOfPattern("8bit", "DEFAULT", list);
  ASSERT_EQ(chart.values.size(), 100u);
  EXPECT_EQ(chart.values[99], 198.0);
  EXPECT_EQ(chart.warning, "Only the first 100 of 150 values are sent.");
  EXPECT_EQ(std::pair(chart.Place(255), chart.Place(300)), std::pair(1.0, 1.0));
  EXPECT_DOUBLE_EQ(chart.Place(51), 0.2);
}

}  // namespace
