// The interrupt source table: both buffer forms, and the check and resolution of source texts.
#include "core/triggers/interrupt_sources.h"

#include <gtest/gtest.h>

#include "core/automation/strings.h"

namespace {

using core::triggers::InterruptSources;

// The short form: a count, then 8 characters and a code each (a name that fills its field has no
// NUL); the extended form: 0xFFFF, a count, then 16 characters, a code and a value each.
TEST(InterruptSourcesTest, ReadsBothFormsUpToTheBufferEnd) {
  const auto entries = [](const std::string& buffer) {
    std::string text;
    const InterruptSources table = InterruptSources::FromBuffer(
        reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size());
    for (const auto& e : table.entries()) {
      text += core::automation::Format("%s=%X/%u ", e.name.c_str(), e.code, e.value);
    }
    return text;
  };
  EXPECT_EQ(entries(std::string("\2\0INT0\0\0\0\0\5\0LONGNAME\7\1", 22)),
            "INT0=5/0 LONGNAME=107/0 ");
  // Three entries announced, two in the buffer.
  const std::string extended = std::string("\xFF\xFF\3\0TIMER0_OVERFLOW1\x0A\0\1\0SERIAL", 30) +
                               std::string(10, '\0') + std::string("\x0B\0\1\0", 4);
  EXPECT_EQ(entries(extended), "TIMER0_OVERFLOW1=A/1 SERIAL=B/1 ");
  EXPECT_EQ(entries(extended.substr(0, 3)), "");
  EXPECT_TRUE(InterruptSources::FromBuffer(nullptr, 0).empty());
}

TEST(InterruptSourcesTest, ChecksAndResolvesNumbersAndNames) {
  const InterruptSources table({{"INT0", 0x10, 0}, {"int1", 0x11, 0}, {"TIMER", 0x20, 1}});
  // Negatives pass the check; "0x1" reads as 0 but is not "0": a name. The code is resolved from
  // a caller's value of 1234.
  const std::tuple<const char*, bool, int32_t> cases[] = {
      {"0", true, 0},       {"2", true, 2},       {"-1", true, -1},        {"3", false, -1},
      {"int0", true, 0x10}, {"INT1", true, 0x11}, {"timer", true, 0x20},   {"0x1", false, 1234},
      {"00", false, 1234},  {"", false, 1234},    {"TIMER2", false, 1234}, {"2abc", true, 2}};
  for (const auto& [text, accepted, resolved] : cases) {
    EXPECT_EQ(table.Check(text) == 0, accepted) << text;
    int32_t code = 1234;
    table.Resolve(text, &code);
    EXPECT_EQ(code, resolved) << text;
  }
  const InterruptSources empty;
  EXPECT_NE(empty.Check("0"), 0);
  EXPECT_NE(empty.Check("INT0"), 0);
  int32_t code = 9;
  empty.Resolve("INT0", &code);
  EXPECT_EQ(code, 9);
}

}  // namespace
