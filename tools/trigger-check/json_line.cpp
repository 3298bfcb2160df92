// Writing JSON fields and quoting text.
#include "tools/trigger-check/json_line.h"

#include "core/automation/strings.h"
#include "tools/trigger-check/report_text.h"

namespace trigger_check {

JsonLine& JsonLine::Text(const char* name, const std::string& value) {
  Name(name);
  Quote(value);
  return *this;
}

JsonLine& JsonLine::TextOrNull(const char* name, const std::string& value) {
  if (value.empty()) return Raw(name, "null");
  return Text(name, value);
}

JsonLine& JsonLine::Number(const char* name, int64_t value) {
  return Raw(name, std::to_string(value));
}

JsonLine& JsonLine::NumberOrNull(const char* name, int64_t value) {
  return value > 0 ? Number(name, value) : Raw(name, "null");
}

JsonLine& JsonLine::Bool(const char* name, bool value) {
  return Raw(name, value ? "true" : "false");
}

JsonLine& JsonLine::Texts(const char* name, const std::vector<std::string>& values) {
  Name(name);
  line_ += '[';
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line_ += ',';
    Quote(values[i]);
  }
  line_ += ']';
  return *this;
}

JsonLine& JsonLine::Raw(const char* name, const std::string& json) {
  Name(name);
  line_ += json;
  return *this;
}

void JsonLine::Name(const char* name) {
  line_ += line_.empty() ? "{" : ",";
  Quote(name);
  line_ += ':';
}

void JsonLine::Quote(const std::string& text) {
  line_ += '"';
  for (const char c : Utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        line_ += "\\\"";
        break;
      case '\\':
        line_ += "\\\\";
        break;
      case '\n':
        line_ += "\\n";
        break;
      case '\r':
        line_ += "\\r";
        break;
      case '\t':
        line_ += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          line_ += core::automation::Format("\\u%04x", byte);
        } else {
          line_ += c;
        }
    }
  }
  line_ += '"';
}

}  // namespace trigger_check
