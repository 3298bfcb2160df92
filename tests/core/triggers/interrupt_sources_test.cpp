// The interrupt source table: both buffer forms, and the check and resolution of source texts.
#include "core/triggers/interrupt_sources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using core::triggers::InterruptSources;

TEST(InterruptSourcesTest, ReadsTheShortForm) {
  const uint8_t buffer[] = {2,   0,  // two entries
                            'I', 'N', 'T', '0', 0,   0,   0,   0,   5, 0,
                            'L', 'O', 'N', 'G', 'N', 'A', 'M', 'E', 7, 1};  // 8 characters, no NUL
  const InterruptSources table = InterruptSources::FromBuffer(buffer, sizeof buffer);
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.entries()[0].name, "INT0");
  EXPECT_EQ(table.entries()[0].code, 5);
  EXPECT_EQ(table.entries()[1].name, "LONGNAME");
  EXPECT_EQ(table.entries()[1].code, 0x107);
}

TEST(InterruptSourcesTest, ReadsTheExtendedFormAndStopsAtTheBufferEnd) {
  std::vector<uint8_t> buffer = {0xFF, 0xFF, 3, 0};      // three entries announced
  const char* names[] = {"TIMER0_OVERFLOW1", "SERIAL"};  // the first fills all 16 bytes
  for (int i = 0; i < 2; ++i) {
    uint8_t entry[20] = {};
    std::memcpy(entry, names[i], std::strlen(names[i]));
    entry[16] = static_cast<uint8_t>(10 + i);
    entry[18] = 1;
    buffer.insert(buffer.end(), entry, entry + 20);
  }
  const InterruptSources table = InterruptSources::FromBuffer(buffer.data(), buffer.size());
  ASSERT_EQ(table.Count(), 2) << "the third entry lies past the buffer";
  EXPECT_EQ(table.entries()[0].name, "TIMER0_OVERFLOW1");
  EXPECT_EQ(table.entries()[1].code, 11);
  EXPECT_EQ(table.entries()[1].value, 1);
  EXPECT_TRUE(InterruptSources::FromBuffer(buffer.data(), 3).empty());
}

TEST(InterruptSourcesTest, ChecksAndResolvesNumbersAndNames) {
  const InterruptSources table({{"INT0", 0x10, 0}, {"int1", 0x11, 0}, {"TIMER", 0x20, 1}});
  struct Case {
    const char* text;
    bool accepted;
    int32_t code;  // from a caller value of 1234
  };
  // Negatives pass the check; "0x1" reads as 0 but is not "0": a name.
  // clang-format off
  const Case cases[] = {
      {"0", true, 0}, {"2", true, 2}, {"-1", true, -1}, {"3", false, -1}, {"int0", true, 0x10},
      {"INT1", true, 0x11}, {"timer", true, 0x20}, {"0x1", false, 1234}, {"00", false, 1234},
      {"", false, 1234}, {"TIMER2", false, 1234}, {"2abc", true, 2}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(table.Check(c.text) == 0, c.accepted);
    int32_t code = 1234;
    table.Resolve(c.text, &code);
    EXPECT_EQ(code, c.code);
  }
  const InterruptSources empty;
  EXPECT_NE(empty.Check("0"), 0);
  EXPECT_NE(empty.Check("INT0"), 0);
  int32_t code = 9;
  empty.Resolve("INT0", &code);
  EXPECT_EQ(code, 9);
}

}  // namespace
