// The number readers, against the C library's conversions as they behave with a 32-bit long;
// the tagged value's integer extension by type and the forms the COM layer maps.
#include "core/automation/numbers.h"

#include <gtest/gtest.h>

#include "core/automation/variant.h"

namespace {

using core::automation::Variant;

TEST(ReadUnsignedTest, FollowsTheUnsignedNotation) {
  // Negatives are negated modulo 2^32; a leading zero is octal; saturation ignores the sign.
  struct Case {
    const char* text;
    uint32_t value;
    size_t consumed;
    bool overflow;
  };
  // clang-format off
  const Case cases[] = {
      {"0", 0, 1, false}, {"42", 42, 2, false}, {"  \t42", 42, 5, false}, {"+7", 7, 2, false},
      {"-1", 0xFFFFFFFFu, 2, false}, {"-0x10", 0xFFFFFFF0u, 5, false}, {"0x1F", 31, 4, false},
      {"0XfF", 255, 4, false}, {"020", 16, 3, false}, {"09", 0, 1, false}, {"0x", 0, 1, false},
      {"0xg", 0, 1, false}, {"12ab", 12, 2, false}, {"4294967295", 0xFFFFFFFFu, 10, false},
      {"4294967296", 0xFFFFFFFFu, 10, true}, {"-4294967296", 0xFFFFFFFFu, 11, true},
      {"0x100000000", 0xFFFFFFFFu, 11, true}, {"99999999999999999999999", 0xFFFFFFFFu, 23, true},
      {"", 0, 0, false}, {"   ", 0, 0, false}, {"-", 0, 0, false}, {"abc", 0, 0, false},
      {"1.5", 1, 1, false}, {"7:", 7, 1, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto read = core::automation::ReadUnsigned(c.text);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(read.consumed, c.consumed);
    EXPECT_EQ(read.overflow, c.overflow);
  }
}

TEST(ReadLongTest, SaturatesAtThe32BitLimits) {
  // A 64-bit long would give 4294967295 for the fifth; base 10 stops at the x.
  struct Case {
    const char* text;
    int base;
    int32_t value;
    size_t consumed;
  };
  // clang-format off
  const Case cases[] = {
      {"2147483647", 10, INT32_MAX, 10}, {"2147483648", 10, INT32_MAX, 10},
      {"-2147483648", 10, INT32_MIN, 11}, {"-2147483649", 10, INT32_MIN, 11},
      {"4294967295", 10, INT32_MAX, 10}, {"0x1", 10, 0, 1}, {"0x1F", 0, 31, 4}, {"010", 0, 8, 3},
      {"010", 10, 10, 3}, {"-0x80000000", 0, INT32_MIN, 11}, {"0xFFFFFFFF", 0, INT32_MAX, 10},
      {"ff", 16, 255, 2}, {"0xff", 16, 255, 4}, {" -12x", 10, -12, 4}, {"x12", 10, 0, 0}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " base " << c.base);
    const auto read = core::automation::ReadLong(c.text, c.base);
    EXPECT_EQ(read.value, c.value);
    EXPECT_EQ(read.consumed, c.consumed);
  }
}

TEST(VariantTest, IntegersExtendAsTheirTypeSays) {
  // Only the type's width counts: the raw bits above it are ignored.
  const std::tuple<Variant, uint16_t, int64_t> cases[] = {
      {Variant::I1(-2), 16, -2},   {Variant::UI1(0xFE), 17, 254},
      {Variant::I2(-2), 2, -2},    {Variant::UI2(0xFFFE), 18, 65534},
      {Variant::I4(-2), 3, -2},    {Variant::UI4(0xFFFFFFFEu), 19, 4294967294},
      {Variant::Int(-3), 22, -3},  {Variant::UInt(3), 23, 3},
      {Variant::Bool(-1), 11, -1}, {Variant::Raw(0x0003, 0xFFFFFFFF00000005ull), 3, 5}};
  for (const auto& [value, type, integer] : cases) {
    SCOPED_TRACE(value.Describe());
    EXPECT_EQ(value.TypeWord(), type);
    EXPECT_TRUE(value.IsInteger());
    EXPECT_EQ(value.Integer(), integer);
  }
  EXPECT_FALSE(Variant::Bstr("5").IsInteger());
  EXPECT_EQ(Variant::Bstr("5").Integer(), 0);
  EXPECT_EQ(Variant::R8(2.5).Real(), 2.5);
}

TEST(VariantTest, ArraysAndReferencesKeepTheirTypeWords) {
  const Variant members = Variant::Array({Variant::Bstr("a"), Variant::Bstr("b")});
  EXPECT_EQ(members.TypeWord(), 0x200C);
  EXPECT_EQ(members.Items().size(), 2u);
  EXPECT_EQ(members.Describe(), "VT(0x200C) [VT_BSTR \"a\", VT_BSTR \"b\"]");
  int target = 0;
  const Variant ref = Variant::ByRef(&target);
  EXPECT_EQ(ref.TypeWord(), 0x4000);
  EXPECT_EQ(ref.Pointer(), &target);
  EXPECT_EQ(Variant::I4(1).Pointer(), nullptr);
  EXPECT_NE(Variant::I4(1), Variant::UI4(1));
  EXPECT_EQ(Variant::Bstr("x"), Variant::Bstr("x"));
}

}  // namespace
