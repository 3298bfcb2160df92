// The data generator: its real number reader, the list splitting, and the three pattern readers
// with the value area they fill (against a golden transcript).
#include "core/triggers/generate_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/automation/bytes.h"
#include "tests/core/test_support.h"

namespace {

using core::automation::Format;
using core::triggers::GenerateData;

const double kInf = std::numeric_limits<double>::infinity();

// A double as text, infinities spelled the same on every platform.
std::string Real(double value) {
  return std::isinf(value) ? (value < 0 ? "-inf" : "inf") : Format("%.17g", value);
}

// A sign in front defeats the leading-zero rule, which looks at the trimmed text; beyond a double
// is infinity, as the C library reads it, below the smallest zero.
TEST(GenerateDataTest, Reals) {
  // clang-format off
  const std::pair<std::string, double> read[] = {
      {"1.5", 1.5}, {"  -2.25", -2.25}, {".5", 0.5}, {"1e3", 1000.0}, {"-1.5e+2", -150.0},
      {"", 0.0}, {"-01.5", -1.5}, {"1e999", kInf}, {"-1" + std::string(400, '0'), -kInf},
      {"1e99999999999999999999", kInf}, {"1e-999", 0.0}, {"0." + std::string(400, '0') + "1", 0.0},
      {"1" + std::string(400, '0') + "e-400", 1.0}};
  // clang-format on
  const GenerateData generator;
  for (const auto& [text, expected] : read) {
    double value = kInf;
    EXPECT_TRUE(generator.ParseReal(text, &value)) << text.substr(0, 40);
    EXPECT_EQ(value, expected) << text.substr(0, 40);
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

// The value lists by size (at most a hundred values, no range check against the size, bad items
// past the hundredth raising no error; DOUBLE lists read whole numbers), and the ranges
// "count,min,max" of RANDOM (reals) and RANDOM2 (whole numbers).
TEST(GenerateDataTest, PatternsAsTheTranscriptSays) {
  std::string hundred_fifty, hundred_bad;
  for (int i = 1; i <= 150; ++i) hundred_fifty += (i > 1 ? "," : "") + std::to_string(i);
  hundred_bad = hundred_fifty.substr(0, hundred_fifty.find(",101,")) + ",bad,worse";
  const std::pair<const char*, std::string> lists[] = {
      {"byte", "1,2,,3"},
      {"16bit", "0x10,020,7"},
      {"8bit", "1,abc,3"},
      {"Word", "-1,-0x10"},
      {"LONG", "4294967295,4294967296,0x123456789"},
      {"8bit", "300"},
      {"32bit", " 5, 6 "},
      {"32BIT", "08,0x"},
      {"byte", ""},
      {"float", "1,2"},
      {"long", hundred_fifty},
      {"long", hundred_bad},
      {"Double", "7,1.5,0x80000000,-1,x"},
      {"double", "7"}};
  const char* const ranges[] = {
      "10,1.5,2.5",          "10,01.5,2",   "10,1.5,x", "x,1,2",  "10,3,1", "10,-1e999,1e999",
      "0x10,-1.5e1,+2,junk", "5,1",         "",         "10,3,5", "10,5,3", "10,-1,3",
      "10,1,2147483648",     "10,0x10,020", "-1,1,2",   "10,5"};
  const GenerateData generator;
  std::string transcript;
  for (const auto& [size, list] : lists) {
    core::triggers::ValueArea area;
    area.fill(0xAA);
    uint32_t count = 77;
    const bool error = generator.ParseValueList(&count, &area, size, list);
    transcript +=
        Format("%s %s: error %d count %u\n ", size, list.substr(0, 30).c_str(), error, count);
    size_t end = area.size();
    while (end > 0 && area[end - 1] == 0xAA) --end;  // the bytes past the values stay
    for (size_t slot = 0; slot * 8 < end; ++slot) {
      const double real = core::automation::ReadF64(&area[slot * 8]);
      transcript += Format(" %08X.%08X", core::automation::ReadU32(&area[slot * 8 + 4]),
                           core::automation::ReadU32(&area[slot * 8]));
      if (std::string(size) == "Double" || std::string(size) == "double")
        transcript += "=" + Real(real);
    }
    transcript += "\n";
  }
  for (const char* range : ranges) {
    uint32_t count = 77, whole_count = 77, whole_min = 77, whole_max = 77;
    double min = 77.0, max = 77.0;
    const bool real_error = generator.ParseRealRange(range, &count, &min, &max);
    const bool whole_error = generator.ParseWholeRange(range, &whole_count, &whole_min, &whole_max);
    transcript +=
        Format("range \"%s\": real error %d %u ", range, real_error, count) + Real(min) + " " +
        Real(max) +
        Format(", whole error %d %u %u %u\n", whole_error, whole_count, whole_min, whole_max);
  }
  EXPECT_EQ(generator.CountItems(hundred_fifty), 150u) << "counted past the hundred it stores";
  test_support::ExpectGolden("core/triggers/golden/generate_data.txt", transcript);
}

}  // namespace
