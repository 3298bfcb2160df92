// The number readers, against the C library's conversions as they behave with a 32-bit long.
#include "core/automation/numbers.h"

#include <gtest/gtest.h>

namespace {

using core::automation::ReadLong;
using core::automation::ReadUnsigned;

TEST(ReadUnsignedTest, FollowsTheUnsignedNotation) {
  struct Case {
    const char* text;
    uint32_t value;
    size_t consumed;
    bool overflow;
  };
  const Case cases[] = {
      {"0", 0, 1, false},
      {"42", 42, 2, false},
      {"  \t42", 42, 5, false},
      {"+7", 7, 2, false},
      {"-1", 0xFFFFFFFFu, 2, false},  // negated modulo 2^32
      {"-0x10", 0xFFFFFFF0u, 5, false},
      {"0x1F", 31, 4, false},
      {"0XfF", 255, 4, false},
      {"020", 16, 3, false},  // leading zero: octal
      {"09", 0, 1, false},    // 9 is no octal digit
      {"0x", 0, 1, false},    // "x" without a hex digit does not fit
      {"0xg", 0, 1, false},
      {"12ab", 12, 2, false},
      {"4294967295", 0xFFFFFFFFu, 10, false},
      {"4294967296", 0xFFFFFFFFu, 10, true},
      {"-4294967296", 0xFFFFFFFFu, 11, true},  // saturation ignores the sign
      {"0x100000000", 0xFFFFFFFFu, 11, true},
      {"99999999999999999999999", 0xFFFFFFFFu, 23, true},
      {"", 0, 0, false},
      {"   ", 0, 0, false},
      {"-", 0, 0, false},
      {"abc", 0, 0, false},
      {"1.5", 1, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto read = ReadUnsigned(c.text);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(read.consumed, c.consumed);
    EXPECT_EQ(read.overflow, c.overflow);
  }
}

TEST(ReadLongTest, SaturatesAtThe32BitLimits) {
  struct Case {
    const char* text;
    int base;
    int32_t value;
    size_t consumed;
  };
  const Case cases[] = {
      {"2147483647", 10, INT32_MAX, 10},
      {"2147483648", 10, INT32_MAX, 10},
      {"-2147483648", 10, INT32_MIN, 11},
      {"-2147483649", 10, INT32_MIN, 11},
      {"4294967295", 10, INT32_MAX, 10},  // a 64-bit long would give 4294967295 here
      {"0x1", 10, 0, 1},                  // base 10 stops at the x
      {"0x1F", 0, 31, 4},
      {"010", 0, 8, 3},
      {"010", 10, 10, 3},
      {"-0x80000000", 0, INT32_MIN, 11},
      {"0xFFFFFFFF", 0, INT32_MAX, 10},
      {"ff", 16, 255, 2},
      {"0xff", 16, 255, 4},
      {" -12x", 10, -12, 4},
      {"x12", 10, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " base " << c.base);
    const auto read = ReadLong(c.text, c.base);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(read.consumed, c.consumed);
  }
}

}  // namespace
