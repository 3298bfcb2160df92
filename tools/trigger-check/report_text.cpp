// Reading a project's bytes as UTF-8 or Latin-1, and escaping control characters.
#include "tools/trigger-check/report_text.h"

#include "core/automation/strings.h"

namespace trigger_check {
namespace {

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x06 ? 2
                          : (lead >> 4) == 0x0E ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || lead == 0xC0 || lead == 0xC1 || lead > 0xF4 || i + length > text.size()) {
      return false;
    }
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::string Utf8(const std::string& text) {
  if (IsUtf8(text)) return text;
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : Utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += core::automation::Format("\\x%02X", byte);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace trigger_check
