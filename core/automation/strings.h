// Narrow-string helpers. Inside the add-in every text is an 8-bit string in the ANSI code page;
// comparisons that ignore case do so for the ASCII letters only, as the keywords need.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core::automation {

inline char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}
// The first `c` in `text` from `from` on, npos when there is none. The fields and list items
// searched are a few characters long, where a library search costs more in its call than in its
// work. Where the processor has SSE2 (every x86-64 one), sixteen bytes are compared at once while
// sixteen are left, and the bytes after them in the text's last sixteen, leaving out those already
// compared; a short text, or a processor without it, takes a plain loop.
inline size_t FindChar(std::string_view text, char c, size_t from = 0) {
  size_t i = from;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(c);
  const auto equal_bits = [&](size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
  };
  for (; i + 16 <= text.size(); i += 16) {
    if (const unsigned equal = equal_bits(i)) return i + static_cast<size_t>(__builtin_ctz(equal));
  }
  if (i < text.size() && text.size() >= 16) {
    const size_t last = text.size() - 16;
    const unsigned equal = equal_bits(last) >> (i - last);
    return equal != 0 ? i + static_cast<size_t>(__builtin_ctz(equal)) : std::string_view::npos;
  }
#endif
  for (; i < text.size(); ++i) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

// A text as printf's "%s" writes it: up to its first NUL, if it holds one.
inline std::string_view TextUpToNul(const std::string& text) { return text.c_str(); }

// The C locale's white space: space, \t, \n, \v, \f, \r.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Numbers as printf writes them with "%d", "%u" and "0x%08x", appended to a text. These are the
// texts of definition lines, list columns and records' addresses, written often enough that
// printf's parsing of its format shows.
void AppendDecimal(std::string* text, int32_t value);
void AppendDecimal(std::string* text, uint32_t value);
void AppendHex8(std::string* text, uint32_t value);  // "0x" and eight lower-case digits
std::string DecimalText(int32_t value);
std::string DecimalText(uint32_t value);
std::string Hex8Text(uint32_t value);

// printf into a std::string. The Windows build uses the C99-conforming printf of its runtime
// (__USE_MINGW_ANSI_STDIO), so formats give the same text on both platforms.
#if defined(__MINGW_PRINTF_FORMAT)
__attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)))
#elif defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* format, ...);

}  // namespace core::automation
