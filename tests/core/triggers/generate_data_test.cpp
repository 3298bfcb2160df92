// The data generator: its number readers, the list splitting and the three pattern readers, with
// the value area they fill.
#include "core/triggers/generate_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/automation/bytes.h"

namespace {

using core::automation::ReadF64;
using core::automation::ReadU32;
using core::triggers::GenerateData;
using core::triggers::ValueArea;

const double kInf = std::numeric_limits<double>::infinity();

TEST(GenerateDataTest, WholeNumbers) {
  struct Case {
    std::string text;
    bool whole_ok;
    uint32_t whole;
    bool non_negative_ok;  // its value is `whole` when true, 0 otherwise
  };
  const Case cases[] = {
      {"0", true, 0, true},
      {" \t42", true, 42, true},
      {"42 ", false, 0, false},  // trailing white space follows the number
      {"0x1F", true, 31, true},
      {"0X7fffffff", true, 0x7FFFFFFF, true},
      {"020", true, 16, true},
      {"09", false, 0, false},  // 9 is no octal digit
      {"-1", true, 0xFFFFFFFF, false},
      {"0x80000000", true, 0x80000000, false},
      {"4294967296", true, 0xFFFFFFFF, false},  // past 32 bits
      {"", true, 0, true},                      // nothing follows an absent number
      {"   ", false, 0, false},
      {"1.5", false, 0, false},
      {std::string("5\0", 2), false, 0, false},
  };
  const GenerateData generator;
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    uint32_t value = 12345;
    EXPECT_EQ(generator.ParseWhole(c.text, &value), c.whole_ok);
    EXPECT_EQ(value, c.whole);
    EXPECT_EQ(generator.ParseWholeOrZero(c.text), c.whole);
    value = 12345;
    EXPECT_EQ(generator.ParseNonNegativeWhole(c.text, &value), c.non_negative_ok);
    EXPECT_EQ(value, c.non_negative_ok ? c.whole : 0u);
  }
}

TEST(GenerateDataTest, Reals) {
  const std::pair<std::string, double> read[] = {
      {"1.5", 1.5},
      {"  -2.25", -2.25},
      {".5", 0.5},
      {"1e3", 1000.0},
      {"-1.5e+2", -150.0},
      {"", 0.0},
      // A sign in front defeats the leading-zero rule, which looks at the trimmed text.
      {"-01.5", -1.5},
      // Beyond a double: infinity, as the C library reads it; below the smallest: zero.
      {"1e999", kInf},
      {"-1" + std::string(400, '0'), -kInf},
      {"1e99999999999999999999", kInf},
      {"1e-999", 0.0},
      {"0." + std::string(400, '0') + "1", 0.0},
      {"1" + std::string(400, '0') + "e-400", 1.0}};
  const GenerateData generator;
  for (const auto& [text, expected] : read) {
    SCOPED_TRACE("\"" + text.substr(0, 40) + "\"");
    double value = kInf;
    EXPECT_TRUE(generator.ParseReal(text, &value));
    EXPECT_EQ(value, expected);
  }
  for (const char* refused : {"01.5", " 01.5 ", "00", "0x10", "1.5 ", "1e", ".", "   ", "inf"}) {
    double value = kInf;
    EXPECT_FALSE(generator.ParseReal(refused, &value)) << refused;
    EXPECT_EQ(value, 0.0) << refused;
  }
  double value = 0.0;
  ASSERT_TRUE(generator.ParseReal("-1e-999", &value));
  EXPECT_TRUE(std::signbit(value));
}

TEST(GenerateDataTest, SplitListKeepsNonEmptyPieces) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"1,2,,3", {"1", "2", "3"}}, {"", {}},    {",,,", {}}, {",1,", {"1"}},
      {" a , b", {" a ", " b"}},   {"x", {"x"}}};
  const GenerateData generator;
  for (const auto& [text, pieces] : cases) {
    std::vector<std::string> split = {"left over"};
    generator.SplitList(text, &split);
    EXPECT_EQ(split, pieces) << text;
    EXPECT_EQ(generator.CountItems(text), pieces.size()) << text;
  }
}

// A list of n numbers 1..n, and those numbers.
std::string Numbers(int n) {
  std::string list;
  for (int i = 1; i <= n; ++i) list += (i > 1 ? "," : "") + std::to_string(i);
  return list;
}
std::vector<uint32_t> Iota(uint32_t n) {
  std::vector<uint32_t> values(n);
  for (uint32_t i = 0; i < n; ++i) values[i] = i + 1;
  return values;
}

TEST(GenerateDataTest, IntegerValueLists) {
  struct Case {
    const char* size;
    std::string list;
    uint32_t count;
    bool error;
    std::vector<uint32_t> values;
  };
  const Case cases[] = {
      {"byte", "1,2,,3", 3, false, {1, 2, 3}},
      {"16bit", "0x10,020,7", 3, false, {16, 16, 7}},
      {"8bit", "1,abc,3", 3, true, {1, 0, 3}},
      {"Word", "-1,-0x10", 2, false, {0xFFFFFFFF, 0xFFFFFFF0}},
      {"LONG", "4294967295,4294967296,0x123456789", 3, false, {~0u, ~0u, ~0u}},
      {"8bit", "300", 1, false, {300}},  // no range check against the size
      {"32bit", " 5, 6 ", 2, true, {5, 0}},
      {"32BIT", "08,0x", 2, true, {0, 0}},
      {"byte", "", 0, false, {}},
      {"float", "1,2", 0, false, {}},
      // At most a hundred values; bad items past the hundredth raise no error.
      {"long", Numbers(150), 100, false, Iota(100)},
      {"long", Numbers(100) + ",bad,worse", 100, false, Iota(100)},
  };
  const GenerateData generator;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.size) + " " + c.list.substr(0, 40));
    ValueArea area;
    area.fill(0xAA);
    uint32_t count = 77;
    EXPECT_EQ(generator.ParseValueList(&count, &area, c.size, c.list), c.error);
    EXPECT_EQ(count, c.count);
    for (size_t i = 0; i < c.values.size(); ++i) {
      EXPECT_EQ(ReadU32(&area[i * 8]), c.values[i]) << "slot " << i;
      EXPECT_EQ(ReadU32(&area[i * 8 + 4]), 0xAAAAAAAAu) << "upper half of slot " << i;
    }
    for (size_t i = c.values.size() * 8; i < area.size(); ++i) {
      ASSERT_EQ(area[i], 0xAA) << "byte " << i << " past the values";
    }
  }
  EXPECT_EQ(generator.CountItems(Numbers(150)), 150u) << "counted past the hundred it stores";
}

TEST(GenerateDataTest, DoubleValueListsReadWholeNumbers) {
  const GenerateData generator;
  ValueArea area;
  area.fill(0xAA);
  uint32_t count = 0;
  EXPECT_TRUE(generator.ParseValueList(&count, &area, "Double", "7,1.5,0x80000000,-1,x"));
  EXPECT_EQ(count, 5u);
  const double expected[] = {7.0, 0.0, 2147483648.0, 4294967295.0, 0.0};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(ReadF64(&area[i * 8]), expected[i]) << "slot " << i;
  EXPECT_EQ(area[5 * 8], 0xAA);

  EXPECT_FALSE(generator.ParseValueList(&count, &area, "double", "7"));
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(ReadF64(&area[0]), 7.0);
}

// Ranges "count,min,max": real ones for RANDOM, whole ones for RANDOM2.
TEST(GenerateDataTest, Ranges) {
  struct Case {
    const char* text;
    uint32_t count;
    double min, max;
    bool error;
  };
  const Case reals[] = {
      {"10,1.5,2.5", 10, 1.5, 2.5, false},
      {"10,01.5,2", 10, 0.0, 0.0, true},
      {"10,1.5,x", 10, 0.0, 0.0, true},
      {"x,1,2", 0, 1.0, 2.0, false},
      {"10,3,1", 10, 3.0, 1.0, false},  // min above max is accepted
      {"10,-1e999,1e999", 10, -kInf, kInf, false},
      {"0x10,-1.5e1,+2,junk", 16, -15.0, 2.0, false},
      {"5,1", 5, 1.0, 0.0, false},
      {"", 0, 0.0, 0.0, false},
  };
  const Case wholes[] = {
      {"10,3,5", 10, 3, 5, false},
      {"10,5,3", 10, 0, 0, false},  // min above max: both 0, no error
      {"10,-1,3", 10, 0, 0, true},
      {"10,1,2147483648", 10, 0, 0, true},
      {"10,0x10,020", 10, 16, 16, false},
      {"x,1,2", 0, 1, 2, false},
      {"-1,1,2", 0xFFFFFFFF, 1, 2, false},
      {"10,5", 10, 0, 0, false},  // max missing is 0, below min
      {"", 0, 0, 0, false},
  };
  const GenerateData generator;
  for (const Case& c : reals) {
    SCOPED_TRACE(c.text);
    uint32_t count = 77;
    double min = 77.0, max = 77.0;
    EXPECT_EQ(generator.ParseRealRange(c.text, &count, &min, &max), c.error);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(min, c.min);
    EXPECT_EQ(max, c.max);
  }
  for (const Case& c : wholes) {
    SCOPED_TRACE(c.text);
    uint32_t count = 77, min = 77, max = 77;
    EXPECT_EQ(generator.ParseWholeRange(c.text, &count, &min, &max), c.error);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(min, c.min);
    EXPECT_EQ(max, c.max);
  }
}

}  // namespace
