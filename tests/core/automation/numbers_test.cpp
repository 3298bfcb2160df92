// The number readers, against the C library's conversions as they behave with a 32-bit long;
// the tagged value's integer extension by type and the forms the COM layer maps.
#include "core/automation/numbers.h"

#include <gtest/gtest.h>

#include "core/automation/variant.h"

namespace {

using core::automation::Variant;

TEST(ReadUnsignedTest, FollowsTheUnsignedNotation) {
  // Negatives are negated modulo 2^32; a leading zero is octal; saturation ignores the sign.
  // clang-format off
  const std::tuple<const char*, uint32_t, size_t, bool> cases[] = {
      {"0", 0, 1, false}, {"42", 42, 2, false}, {"  \t42", 42, 5, false}, {"+7", 7, 2, false},
      {"-1", 0xFFFFFFFFu, 2, false}, {"-0x10", 0xFFFFFFF0u, 5, false}, {"0x1F", 31, 4, false},
      {"0XfF", 255, 4, false}, {"020", 16, 3, false}, {"09", 0, 1, false}, {"0x", 0, 1, false},
      {"0xg", 0, 1, false}, {"12ab", 12, 2, false}, {"4294967295", 0xFFFFFFFFu, 10, false},
      {"4294967296", 0xFFFFFFFFu, 10, true}, {"-4294967296", 0xFFFFFFFFu, 11, true},
      {"0x100000000", 0xFFFFFFFFu, 11, true}, {"99999999999999999999999", 0xFFFFFFFFu, 23, true},
      {"", 0, 0, false}, {"   ", 0, 0, false}, {"-", 0, 0, false}, {"abc", 0, 0, false},
      {"1.5", 1, 1, false}, {"7:", 7, 1, false}};
  // clang-format on
  for (const auto& [text, value, consumed, overflow] : cases) {
    const auto read = core::automation::ReadUnsigned(text);
    EXPECT_EQ(std::make_tuple(read.value, read.consumed, read.overflow),
              std::make_tuple(value, consumed, overflow))
        << text;
  }
}

TEST(ReadLongTest, SaturatesAtThe32BitLimits) {
  // A 64-bit long would give 4294967295 for the fifth; base 10 stops at the x.
  // clang-format off
  const std::tuple<const char*, int, int32_t, size_t> cases[] = {
      {"2147483647", 10, INT32_MAX, 10}, {"2147483648", 10, INT32_MAX, 10},
      {"-2147483648", 10, INT32_MIN, 11}, {"-2147483649", 10, INT32_MIN, 11},
      {"4294967295", 10, INT32_MAX, 10}, {"0x1", 10, 0, 1}, {"0x1F", 0, 31, 4}, {"010", 0, 8, 3},
      {"010", 10, 10, 3}, {"-0x80000000", 0, INT32_MIN, 11}, {"0xFFFFFFFF", 0, INT32_MAX, 10},
      {"ff", 16, 255, 2}, {"0xff", 16, 255, 4}, {" -12x", 10, -12, 4}, {"x12", 10, 0, 0}};
  // clang-format on
  for (const auto& [text, base, value, consumed] : cases) {
    const auto read = core::automation::ReadLong(text, base);
    EXPECT_EQ(std::make_pair(read.value, read.consumed), std::make_pair(value, consumed))
        << text << " base " << base;
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
