// The number readers of the add-in. Both follow the C library's conversions as they behave where
// `long` is 32 bits, so results are the same natively and on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace core::automation {

template <typename T>
struct NumberRead {
  T value = 0;
  size_t consumed = 0;  // characters used, 0 when the text holds no number at all
  bool overflow = false;
};

// The unsigned-number notation: optional leading white space and sign (a minus negates the value
// modulo 2^32), then decimal, hexadecimal after 0x/0X, or octal after a leading 0. Reading stops at
// the first character that does not fit; a value beyond 32 bits becomes 0xFFFFFFFF.
NumberRead<uint32_t> ReadUnsigned(std::string_view text);

// The standard signed conversion into a 32-bit long, in base 10, 16 or 0 (automatic: the prefixes
// of the unsigned notation). Out-of-range values saturate to the 32-bit limits.
NumberRead<int32_t> ReadLong(std::string_view text, int base);

// Leading decimal integer of a text, 0 when there is none (the standard atol).
inline int32_t LeadingDecimal(std::string_view text) { return ReadLong(text, 10).value; }

}  // namespace core::automation
