// Writing definition lines: the fields one after another, separated by single commas, numbers in
// decimal as printf's "%d" and "%u" write them. The fields are copied into a buffer on the stack
// and the line is made from it at once, rather than printf parsing a format for every line of a
// project; no text is cut short (a line longer than the buffer continues in a string).
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace core::triggers {

class LineWriter {
 public:
  // Provided, not defaulted: LineWriter() would otherwise zero the buffer first.
  LineWriter() {}  // NOLINT(modernize-use-equals-default)
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  LineWriter& Text(std::string_view text) {
    Separate();
    Append(text.data(), text.size());
    return *this;
  }
  LineWriter& Number(int32_t value) { return Decimal(value); }
  LineWriter& Number(uint32_t value) { return Decimal(value); }

  std::string Take() {
    if (!spilled_) return std::string(buffer_, used_);
    long_line_.append(buffer_, used_);
    used_ = 0;
    return std::move(long_line_);
  }

 private:
  template <typename Integer>
  LineWriter& Decimal(Integer value) {
    Separate();
    char digits[11];  // "-2147483648"
    Append(digits,
           static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
    return *this;
  }

  void Separate() {
    if (!first_) Append(",", 1);
    first_ = false;
  }
  void Append(const char* text, size_t size) {
    if (!spilled_ && sizeof buffer_ - used_ < size) {
      // What the buffer holds moves to the long line, which takes everything from here on.
      long_line_.append(buffer_, used_);
      used_ = 0;
      spilled_ = true;
    }
    if (spilled_) {
      long_line_.append(text, size);
      return;
    }
    if (size != 0) std::memcpy(buffer_ + used_, text, size);
    used_ += size;
  }

  char buffer_[512];
  size_t used_ = 0;
  bool first_ = true;
  bool spilled_ = false;
  std::string long_line_;
};

}  // namespace core::triggers
