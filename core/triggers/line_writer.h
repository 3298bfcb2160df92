// Writing definition lines: the fields one after another, separated by single commas, numbers in
// decimal as printf's "%d" and "%u" write them. A field is a text (anything a std::string_view
// takes; a literal is best given as "text"sv, so that its length is not counted on every line), an
// int32_t or a uint32_t.
//
// WriteLine first adds up the most characters the fields can take, then copies them into a buffer
// on the stack and makes the line from it at once: no format is parsed and no room is checked
// field by field. No text is cut short: a line longer than the buffer is written into a string of
// its own.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace core::triggers {
namespace line_writer {

inline constexpr size_t kMaxDecimal = 11;  // "-2147483648"

inline size_t MostOf(std::string_view text) { return text.size(); }
inline size_t MostOf(int32_t) { return kMaxDecimal; }
inline size_t MostOf(uint32_t) { return kMaxDecimal; }

// Each writes its field at `out` and returns where the field ends.
inline char* Put(char* out, std::string_view text) {
  // Most fields are 4 to 16 characters: two copies of a fixed size that overlap in the middle
  // cost less than a call that chooses a copy by the size.
  const char* const from = text.data();
  const size_t size = text.size();
  if (size >= 8 && size <= 16) {
    std::memcpy(out, from, 8);
    std::memcpy(out + size - 8, from + size - 8, 8);
  } else if (size >= 4 && size < 8) {
    std::memcpy(out, from, 4);
    std::memcpy(out + size - 4, from + size - 4, 4);
  } else if (size != 0) {
    std::memcpy(out, from, size);
  }
  return out + size;
}
inline char* Put(char* out, int32_t value) {
  return std::to_chars(out, out + kMaxDecimal, value).ptr;
}
inline char* Put(char* out, uint32_t value) {
  return std::to_chars(out, out + kMaxDecimal, value).ptr;
}

template <typename First, typename... Rest>
char* PutAll(char* out, const First& first, const Rest&... rest) {
  out = Put(out, first);
  ((*out++ = ',', out = Put(out, rest)), ...);
  return out;
}

}  // namespace line_writer

template <typename... Fields>
std::string WriteLine(const Fields&... fields) {
  constexpr size_t kBufferSize = 512;
  const size_t most = (line_writer::MostOf(fields) + ...) + sizeof...(fields) - 1;
  if (most <= kBufferSize) {
    char buffer[kBufferSize];
    return std::string(buffer, line_writer::PutAll(buffer, fields...));
  }
  std::string line(most, '\0');
  line.resize(static_cast<size_t>(line_writer::PutAll(line.data(), fields...) - line.data()));
  return line;
}

}  // namespace core::triggers
