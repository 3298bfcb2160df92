// The core's VARIANT: a small tagged value whose type word uses the automation VT codes, so the
// COM layer converts it one to one. Booleans cross as VariantBool (true is 0xFFFF).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace core::automation {

// VT codes. Windows headers define VT_* macros; these names do not collide with them.
enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R4 = 4,
  R8 = 5,
  Bstr = 8,
  Dispatch = 9,
  Error = 10,
  Bool = 11,
  Variant = 12,
  Unknown = 13,
  I1 = 16,
  UI1 = 17,
  UI2 = 18,
  UI4 = 19,
  I8 = 20,
  UI8 = 21,
  Int = 22,
  UInt = 23,
  Array = 0x2000,
  ByRef = 0x4000,
};

constexpr VarType operator|(VarType a, VarType b) {
  return static_cast<VarType>(static_cast<uint16_t>(a) | static_cast<uint16_t>(b));
}

// VARIANT_BOOL: a 16-bit value, true is 0xFFFF. A write stores true only for exactly 0xFFFF.
using VariantBool = int16_t;
inline constexpr VariantBool kVariantTrue = -1;
inline constexpr VariantBool kVariantFalse = 0;
constexpr VariantBool ToVariantBool(bool value) { return value ? kVariantTrue : kVariantFalse; }
constexpr bool IsVariantTrue(VariantBool value) { return static_cast<uint16_t>(value) == 0xFFFF; }

class Variant {
 public:
  Variant() = default;  // VT_EMPTY

  static Variant I1(int8_t value) { return FromBits(VarType::I1, static_cast<uint8_t>(value)); }
  static Variant UI1(uint8_t value) { return FromBits(VarType::UI1, value); }
  static Variant I2(int16_t value) { return FromBits(VarType::I2, static_cast<uint16_t>(value)); }
  static Variant UI2(uint16_t value) { return FromBits(VarType::UI2, value); }
  static Variant I4(int32_t value) { return FromBits(VarType::I4, static_cast<uint32_t>(value)); }
  static Variant UI4(uint32_t value) { return FromBits(VarType::UI4, value); }
  static Variant Int(int32_t value) { return FromBits(VarType::Int, static_cast<uint32_t>(value)); }
  static Variant UInt(uint32_t value) { return FromBits(VarType::UInt, value); }
  static Variant Error(int32_t code) {
    return FromBits(VarType::Error, static_cast<uint32_t>(code));
  }
  static Variant Bool(VariantBool value) {
    return FromBits(VarType::Bool, static_cast<uint16_t>(value));
  }
  static Variant R8(double value);
  static Variant Bstr(std::string text);
  static Variant Null() { return FromBits(VarType::Null, 0); }
  // VT_ARRAY | VT_VARIANT: a one-dimensional array of values.
  static Variant Array(std::vector<Variant> items);
  // VT_BYREF with no base type: a bare pointer carried through the VARIANT.
  static Variant ByRef(void* pointer);
  // Any other type word with a raw payload, for values the core only passes along.
  static Variant Raw(uint16_t type_word, uint64_t bits) { return FromBits(type_word, bits); }

  uint16_t TypeWord() const { return type_; }
  bool Is(VarType type) const { return type_ == static_cast<uint16_t>(type); }
  bool IsEmpty() const { return type_ == 0; }

  // The value of an integer type (I1..UI4, INT, UINT, BOOL, ERROR), sign- or zero-extended as
  // its type says; 0 for every other type.
  int64_t Integer() const;
  bool IsInteger() const;
  double Real() const;                                          // R8 (and R4)
  const std::string& Text() const { return text_; }             // BSTR
  const std::vector<Variant>& Items() const { return items_; }  // arrays
  void* Pointer() const;                                        // BYREF
  uint64_t Bits() const { return bits_; }

  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

  // "VT_I4 5", "VT_BSTR \"abc\"": for test failures and decoded dumps.
  std::string Describe() const;

 private:
  static Variant FromBits(VarType type, uint64_t bits) {
    return FromBits(static_cast<uint16_t>(type), bits);
  }
  static Variant FromBits(uint16_t type, uint64_t bits) {
    Variant v;
    v.type_ = type;
    v.bits_ = bits;
    return v;
  }

  uint16_t type_ = 0;
  uint64_t bits_ = 0;
  std::string text_;
  std::vector<Variant> items_;
};

inline std::ostream& operator<<(std::ostream& out, const Variant& value) {
  return out << value.Describe();
}

}  // namespace core::automation
