// The core's tagged value: integer extension by type, booleans and the forms the COM layer maps.
#include "core/automation/variant.h"

#include <gtest/gtest.h>

namespace {

using core::automation::Variant;
using core::automation::VarType;

TEST(VariantTest, IntegersExtendAsTheirTypeSays) {
  struct Case {
    Variant value;
    uint16_t type;
    int64_t integer;
  };
  const Case cases[] = {
      {Variant::I1(-2), 16, -2},
      {Variant::UI1(0xFE), 17, 254},
      {Variant::I2(-2), 2, -2},
      {Variant::UI2(0xFFFE), 18, 65534},
      {Variant::I4(-2), 3, -2},
      {Variant::UI4(0xFFFFFFFEu), 19, 4294967294},
      {Variant::Int(-3), 22, -3},
      {Variant::UInt(3), 23, 3},
      {Variant::Bool(-1), 11, -1},
      {Variant::Raw(0x0003, 0xFFFFFFFF00000005ull), 3, 5},  // only the type's width counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.Describe());
    EXPECT_EQ(c.value.TypeWord(), c.type);
    EXPECT_TRUE(c.value.IsInteger());
    EXPECT_EQ(c.value.Integer(), c.integer);
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
