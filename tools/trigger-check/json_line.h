// One JSON object on one line, written field by field in the order given, its "type" first. Text
// is written as UTF-8 (report_text.h), with the escapes JSON requires.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trigger_check {

class JsonLine {
 public:
  explicit JsonLine(const char* type) { Text("type", type); }

  JsonLine& Text(const char* name, const std::string& value);
  JsonLine& TextOrNull(const char* name, const std::string& value);  // null when empty
  JsonLine& Number(const char* name, int64_t value);
  JsonLine& NumberOrNull(const char* name, int64_t value);  // null unless positive
  JsonLine& Bool(const char* name, bool value);
  JsonLine& Texts(const char* name, const std::vector<std::string>& values);
  // A value already in JSON: null, a number, ...
  JsonLine& Raw(const char* name, const std::string& json);
  // The object, closed, with its line feed.
  std::string Done() const { return line_ + "}\n"; }

 private:
  void Name(const char* name);
  void Quote(const std::string& text);

  std::string line_;
};

}  // namespace trigger_check
