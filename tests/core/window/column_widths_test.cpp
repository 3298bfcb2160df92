// The trigger list's column widths: scaling to a DPI and back, and reading the kept line.
#include "core/window/column_widths.h"

#include <gtest/gtest.h>

namespace {

namespace cw = core::window;

TEST(ColumnWidths, ScaleToTheDpiAndBackToTheSameWidth) {
  EXPECT_EQ(cw::ScaleToDpi(70, 120), 88) << "87.5: the nearest, as MulDiv rounds";
  // Every width comes back from every DPI from 96 up, so a kept line does not drift; and a
  // column the user left at any width comes back no narrower, and less than a step wider.
  for (int dpi = 96; dpi <= 288; dpi += 24) {
    for (int width = cw::kMinColumnWidth; width <= 400; ++width) {
      ASSERT_EQ(cw::ScaleFromDpi(cw::ScaleToDpi(width, dpi), dpi), width) << width << " " << dpi;
      const int back = cw::ScaleToDpi(cw::ScaleFromDpi(width, dpi), dpi);
      ASSERT_TRUE(back >= width && back - width <= dpi / 96) << width << " " << dpi << ": " << back;
    }
  }
}

TEST(ColumnWidths, AKeptLineIsReadBackWithinTheLimitsOrNotAtAll) {
  const std::string table = "40,70,100,100,100,50,70,50,70,50,50,50,100";
  EXPECT_EQ(cw::FormatColumnWidths(cw::TableColumnWidths()), table);
  const std::pair<std::string, std::string> cases[] = {
      {" 40, 70 ,100,100,100,50,70,50,70,50,50,50,100 ", table},
      {"0,5" + table.substr(5, 33) + ",999999", "12,12" + table.substr(5, 33) + ",2000"},
      {table.substr(0, table.size() - 4), "none"},  // twelve
      {table + ",9", "none"},
      {"", "none"},
      {"40,-70" + table.substr(5), "none"},
      {table + "0000", "none"},  // seven digits
  };
  for (const auto& [kept, read] : cases) {
    const auto widths = cw::ParseColumnWidths(kept);
    EXPECT_EQ(widths ? cw::FormatColumnWidths(*widths) : "none", read) << '"' << kept << '"';
  }
}

}  // namespace
