// The trigger list's column widths: scaling to a DPI and back, and reading the kept line.
#include "core/window/column_widths.h"

#include <gtest/gtest.h>

namespace {

using core::window::ColumnWidths;

TEST(ColumnWidths, ScaleToTheDpiAndBackToTheSameWidth) {
  // A width at 96 DPI, a DPI, the pixels at that DPI.
  const std::tuple<int, int, int> cases[] = {
      {40, 96, 40},   {40, 144, 60}, {41, 144, 62}, {70, 120, 88},  // 87.5 rounds up
      {50, 192, 100}, {100, 72, 75}, {12, 0, 12},   {13, 168, 23},  // 22.75
  };
  for (const auto& [width, dpi, pixels] : cases) {
    EXPECT_EQ(core::window::ScaleToDpi(width, dpi), pixels) << width << " at " << dpi;
    if (dpi >= 96) {
      EXPECT_EQ(core::window::ScaleFromDpi(pixels, dpi), width) << pixels;
    }
  }
  // Every width at 96 DPI comes back from every DPI from 96 up, so a kept line does not drift.
  for (int dpi = 96; dpi <= 288; dpi += 24) {
    for (int width = core::window::kMinColumnWidth; width <= 400; ++width) {
      ASSERT_EQ(core::window::ScaleFromDpi(core::window::ScaleToDpi(width, dpi), dpi), width)
          << width << " at " << dpi;
    }
  }
}

TEST(ColumnWidths, AKeptLineIsReadBackWithinTheLimitsOrNotAtAll) {
  const ColumnWidths table = core::window::TableColumnWidths();
  const std::string line = core::window::FormatColumnWidths(table);
  EXPECT_EQ(line, "40,70,100,100,100,50,70,50,70,50,50,50,100");
  EXPECT_EQ(core::window::ParseColumnWidths(line), table);

  const std::pair<const char*, const char*> cases[] = {
      {" 40, 70 ,100,100,100,50,70,50,70,50,50,50,100 ",
       "40,70,100,100,100,50,70,50,70,50,50,50,100"},
      {"0,5,100,100,100,50,70,50,70,50,50,50,999999",
       "12,12,100,100,100,50,70,50,70,50,50,50,2000"},
      {"40,70,100,100,100,50,70,50,70,50,50,50", nullptr},        // twelve
      {"40,70,100,100,100,50,70,50,70,50,50,50,100,9", nullptr},  // fourteen
      {"40,70,100,100,100,50,70,50,70,50,50,50,", nullptr},
      {"40,-70,100,100,100,50,70,50,70,50,50,50,100", nullptr},
      {"40,70,1e2,100,100,50,70,50,70,50,50,50,100", nullptr},
      {"40,70,100,100,100,50,70,50,70,50,50,50,1000000", nullptr},  // seven digits
      {"40;70;100;100;100;50;70;50;70;50;50;50;100", nullptr},
      {"", nullptr},
  };
  for (const auto& [kept, read] : cases) {
    const auto widths = core::window::ParseColumnWidths(kept);
    EXPECT_EQ(widths ? core::window::FormatColumnWidths(*widths) : "none", read ? read : "none")
        << '"' << kept << '"';
  }
}

}  // namespace
