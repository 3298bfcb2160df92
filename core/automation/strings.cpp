// Narrow-string helpers.
#include "core/automation/strings.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace core::automation {

namespace {

template <typename Integer>
void AppendInteger(std::string* text, Integer value) {
  char digits[16];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
  text->append(digits, end.ptr);
}

}  // namespace

void AppendDecimal(std::string* text, int32_t value) { AppendInteger(text, value); }
void AppendDecimal(std::string* text, uint32_t value) { AppendInteger(text, value); }

void AppendHex8(std::string* text, uint32_t value) {
  char digits[10] = {'0', 'x'};
  for (int i = 9; i >= 2; --i, value >>= 4) digits[i] = "0123456789abcdef"[value & 0xF];
  text->append(digits, sizeof digits);
}

std::string DecimalText(int32_t value) {
  std::string text;
  AppendDecimal(&text, value);
  return text;
}

std::string DecimalText(uint32_t value) {
  std::string text;
  AppendDecimal(&text, value);
  return text;
}

std::string Hex8Text(uint32_t value) {
  std::string text;
  AppendHex8(&text, value);
  return text;
}

std::string Format(const char* format, ...) {
  // Most texts fit the buffer, and one formatting pass is enough; a longer one is formatted again
  // into a string of its length.
  char buffer[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string out;
  if (length > 0 && static_cast<size_t>(length) < sizeof buffer) {
    out.assign(buffer, static_cast<size_t>(length));
  } else if (length > 0) {
    out.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data(), out.size(), format, again);
    out.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return out;
}

}  // namespace core::automation
