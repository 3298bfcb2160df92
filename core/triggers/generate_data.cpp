// The data generator's number and pattern readers.
#include "core/triggers/generate_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"

namespace core::triggers {
namespace {

using automation::IsSpace;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The non-empty pieces of a comma-separated text, one at a time and without copies, so that a
// reader needing the first three pieces of a huge text looks at no more than those.
class Pieces {
 public:
  explicit Pieces(std::string_view text) : text_(text) {}

  bool Next(std::string_view* piece) {
    while (pos_ <= text_.size()) {
      size_t comma = automation::FindChar(text_, ',', pos_);
      if (comma == std::string_view::npos) comma = text_.size();
      const std::string_view candidate = text_.substr(pos_, comma - pos_);
      pos_ = comma + 1;
      if (!candidate.empty()) {
        *piece = candidate;
        return true;
      }
    }
    return false;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

enum class SizeClass { None, Integer, Real };

SizeClass ClassOf(std::string_view size) {
  static constexpr const char* kIntegerSizes[] = {"byte", "word", "long", "8bit", "16bit", "32bit"};
  for (const char* keyword : kIntegerSizes) {
    if (automation::EqualsIgnoreCase(size, keyword)) return SizeClass::Integer;
  }
  return automation::EqualsIgnoreCase(size, "double") ? SizeClass::Real : SizeClass::None;
}

void PutU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutF64(uint8_t* at, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// The decimal exponent of the leading significant digit of a real that from_chars found out of
// range, to tell overflow (positive) from underflow. `digits` is the mantissa without its sign,
// `exponent` the written exponent, already clamped.
int64_t MagnitudeOf(std::string_view digits, int64_t exponent) {
  const size_t point = std::min(digits.find('.'), digits.size());
  for (size_t i = 0; i < digits.size(); ++i) {
    if (digits[i] == '.' || digits[i] == '0') continue;
    const int64_t place =
        i < point ? static_cast<int64_t>(point - i) - 1 : -static_cast<int64_t>(i - point);
    return place + exponent;
  }
  return 0;
}

}  // namespace

bool GenerateData::ParseWhole(std::string_view text, uint32_t* value) const {
  const auto read = automation::ReadUnsigned(text);
  // With no number at all the whole text counts as following characters, as strtoul's end
  // pointer stays at the start.
  if (read.consumed != text.size()) {
    *value = 0;
    return false;
  }
  *value = read.value;
  return true;
}

uint32_t GenerateData::ParseWholeOrZero(std::string_view text) const {
  uint32_t value = 0;
  ParseWhole(text, &value);
  return value;
}

bool GenerateData::ParseNonNegativeWhole(std::string_view text, uint32_t* value) const {
  if (!ParseWhole(text, value)) return false;
  if (*value & 0x80000000u) {
    *value = 0;
    return false;
  }
  return true;
}

bool GenerateData::ParseReal(std::string_view text, double* value) const {
  *value = 0.0;
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsSpace(text[first])) ++first;
  while (last > first && IsSpace(text[last - 1])) --last;
  if (last - first >= 2 && text[first] == '0' && IsDigit(text[first + 1])) return false;

  // The syntax is checked here, not by the C library: its strtod differs between run-times (hex
  // reals, "inf", "nan") and follows the locale's decimal point. from_chars converts the checked
  // digits the same way everywhere.
  size_t i = first;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t mantissa = i;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  }
  if (digits == 0) return text.empty();  // no number: the whole text follows it
  const size_t mantissa_end = i;
  int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool exponent_negative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponent_negative = text[j] == '-';
      ++j;
    }
    if (j < text.size() && IsDigit(text[j])) {  // else the "e" is not part of the number
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
      }
      if (exponent_negative) exponent = -exponent;
      i = j;
    }
  }
  if (i != text.size()) return false;

  double magnitude = 0.0;
  const auto result = std::from_chars(text.data() + mantissa, text.data() + i, magnitude,
                                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Out of range reads as the C library reads it: beyond the largest double as infinity, below
    // the smallest as zero. Either is a number, so the text is accepted.
    const std::string_view written = text.substr(mantissa, mantissa_end - mantissa);
    magnitude = MagnitudeOf(written, exponent) > 0 ? HUGE_VAL : 0.0;
  } else if (result.ec != std::errc() || result.ptr != text.data() + i) {
    return false;  // not reached for a checked text; kept so that no path reads garbage
  }
  *value = negative ? -magnitude : magnitude;
  return true;
}

void GenerateData::SplitList(std::string_view text, std::vector<std::string>* list) const {
  list->clear();
  Pieces pieces(text);
  std::string_view piece;
  while (pieces.Next(&piece)) list->emplace_back(piece);
}

uint32_t GenerateData::CountItems(std::string_view text) const {
  uint32_t count = 0;
  Pieces pieces(text);
  std::string_view piece;
  while (pieces.Next(&piece)) ++count;
  return count;
}

bool GenerateData::ParseValueList(uint32_t* count, ValueArea* values, std::string_view size,
                                  std::string_view list) const {
  *count = 0;
  const SizeClass size_class = ClassOf(size);
  if (size_class == SizeClass::None) return false;
  bool error = false;
  Pieces pieces(list);
  std::string_view piece;
  // Pieces after the hundredth are not even looked at.
  for (size_t i = 0; i < kValueSlotCount && pieces.Next(&piece); ++i) {
    uint32_t value = 0;
    if (!ParseWhole(piece, &value)) error = true;
    uint8_t* slot = values->data() + i * kValueSlotSize;
    if (size_class == SizeClass::Integer) {
      PutU32(slot, value);
    } else {
      // A whole number as a double: bit 31 makes it large, not negative.
      PutF64(slot, static_cast<double>(value));
    }
    ++*count;
  }
  return error;
}

bool GenerateData::ParseRealRange(std::string_view text, uint32_t* count, double* min,
                                  double* max) const {
  *count = 0;
  *min = 0.0;
  *max = 0.0;
  Pieces pieces(text);
  std::string_view piece;
  if (!pieces.Next(&piece)) return false;
  *count = ParseWholeOrZero(piece);
  if (!pieces.Next(&piece)) return false;
  if (!ParseReal(piece, min)) {
    *max = 0.0;
    return true;
  }
  if (!pieces.Next(&piece)) return false;
  if (!ParseReal(piece, max)) {
    *min = 0.0;
    return true;
  }
  return false;
}

bool GenerateData::ParseWholeRange(std::string_view text, uint32_t* count, uint32_t* min,
                                   uint32_t* max) const {
  *count = 0;
  *min = 0;
  *max = 0;
  Pieces pieces(text);
  std::string_view piece;
  if (!pieces.Next(&piece)) return false;
  *count = ParseWholeOrZero(piece);
  if (pieces.Next(&piece)) {
    if (!ParseNonNegativeWhole(piece, min)) {
      *max = 0;
      return true;
    }
    if (pieces.Next(&piece) && !ParseNonNegativeWhole(piece, max)) {
      *min = 0;
      return true;
    }
  }
  if (*min > *max) {
    *min = 0;
    *max = 0;
  }
  return false;
}

}  // namespace core::triggers
