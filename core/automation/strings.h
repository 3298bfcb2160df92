// Narrow-string helpers. Inside the add-in every text is an 8-bit string in the ANSI code page;
// comparisons that ignore case do so for the ASCII letters only, as the keywords need.
#pragma once

#include <string>
#include <string_view>

namespace core::automation {

char ToLowerAscii(char c);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool IsSpace(char c);  // the C locale's white space: space, \t, \n, \v, \f, \r

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
