// The number readers.
#include "core/automation/numbers.h"

#include "core/automation/strings.h"

namespace core::automation {
namespace {

// The value of a character as a digit of any base up to 36 (letters in either case), 99 for a
// character that is no digit. A table, since every number read goes through here.
constexpr unsigned char kNoDigit = 99;
struct DigitTable {
  unsigned char value[256];
  constexpr DigitTable() : value() {
    for (int c = 0; c < 256; ++c) {
      value[c] = c >= '0' && c <= '9'   ? static_cast<unsigned char>(c - '0')
                 : c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 10)
                 : c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 10)
                                        : kNoDigit;
    }
  }
};
constexpr DigitTable kDigits;

unsigned DigitValue(char c) { return kDigits.value[static_cast<unsigned char>(c)]; }

// The common scan of both conversions: sign, base prefix and the magnitude, saturated to 64 bits
// (enough to tell any 32-bit overflow).
struct Magnitude {
  bool negative = false;
  uint64_t value = 0;
  bool too_big = false;
  size_t consumed = 0;
};

Magnitude ScanMagnitude(std::string_view text, int base) {
  Magnitude out;
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    out.negative = text[i] == '-';
    ++i;
  }
  const bool zero_first = i < text.size() && text[i] == '0';
  const bool has_x =
      zero_first && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X');
  if ((base == 0 || base == 16) && has_x && i + 2 < text.size() && DigitValue(text[i + 2]) < 16) {
    base = 16;
    i += 2;
  } else if (base == 0) {
    base = zero_first ? 8 : 10;
  }
  const auto radix = static_cast<unsigned>(base);
  const size_t first_digit = i;
  uint64_t value = 0;
  for (unsigned digit; i < text.size() && (digit = DigitValue(text[i])) < radix; ++i) {
    // Past 32 bits the value is only known to be too big; it is not computed further.
    if (value <= 0xFFFFFFFFull) value = value * radix + digit;
  }
  out.too_big = value > 0xFFFFFFFFull;
  out.value = value;
  out.consumed = i > first_digit ? i : 0;
  return out;
}

}  // namespace

NumberRead<uint32_t> ReadUnsigned(std::string_view text) {
  const Magnitude m = ScanMagnitude(text, 0);
  NumberRead<uint32_t> out;
  out.consumed = m.consumed;
  if (m.too_big) {
    out.value = 0xFFFFFFFFu;
    out.overflow = true;
  } else {
    const auto value = static_cast<uint32_t>(m.value);
    out.value = m.negative ? static_cast<uint32_t>(0u - value) : value;
  }
  return out;
}

NumberRead<int32_t> ReadLong(std::string_view text, int base) {
  const Magnitude m = ScanMagnitude(text, base);
  NumberRead<int32_t> out;
  out.consumed = m.consumed;
  const uint64_t limit = m.negative ? 0x80000000ull : 0x7FFFFFFFull;
  if (m.too_big || m.value > limit) {
    out.overflow = true;
    out.value = m.negative ? INT32_MIN : INT32_MAX;
  } else {
    out.value = m.negative ? static_cast<int32_t>(0 - static_cast<int64_t>(m.value))
                           : static_cast<int32_t>(m.value);
  }
  return out;
}

}  // namespace core::automation
