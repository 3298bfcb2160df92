// The scan-pattern reader of definition lines.
#include "core/triggers/line_scanner.h"

#include "core/automation/strings.h"

namespace core::triggers {
namespace {

using automation::IsSpace;

void SkipSpace(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsSpace(line[pos])) ++pos;
}

// Sign and decimal digits, wrapping modulo 2^32. False when no digit follows.
bool ReadDecimal(std::string_view line, size_t& pos, uint32_t* value) {
  SkipSpace(line, pos);
  size_t i = pos;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
    negative = line[i] == '-';
    ++i;
  }
  const size_t first_digit = i;
  uint32_t result = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
    result = result * 10u + static_cast<uint32_t>(line[i] - '0');
    ++i;
  }
  if (i == first_digit) return false;
  *value = negative ? 0u - result : result;
  pos = i;
  return true;
}

}  // namespace

int ScanLine(std::string_view line, std::string_view pattern,
             std::initializer_list<ScanField> fields) {
  const ScanField* field = fields.begin();
  int stored = 0;
  size_t pos = 0;
  size_t p = 0;
  while (p < pattern.size()) {
    const char c = pattern[p];
    if (IsSpace(c)) {
      SkipSpace(line, pos);
      ++p;
      continue;
    }
    if (c != '%' || p + 1 >= pattern.size()) {
      if (pos >= line.size() || line[pos] != c) return stored;
      ++pos;
      ++p;
      continue;
    }
    if (field == fields.end()) return stored;  // more directives than fields: a caller's slip
    const char directive = pattern[p + 1];
    p += 2;
    switch (directive) {
      case 'd':
      case 'u': {
        uint32_t value = 0;
        if (!ReadDecimal(line, pos, &value)) return stored;
        if (field->kind_ == ScanField::Kind::Int) {
          *field->int_ = static_cast<int32_t>(value);
        } else if (field->kind_ == ScanField::Kind::UInt) {
          *field->uint_ = value;
        } else {
          return stored;
        }
        break;
      }
      case 's':
      case '[': {
        std::string_view stop = " \t\n\v\f\r";
        if (directive == '[') {
          // Only negated sets occur in the patterns: %[^,] and the like.
          const size_t close = pattern.find(']', p + 1);
          if (p >= pattern.size() || pattern[p] != '^' || close == std::string_view::npos) {
            return stored;
          }
          stop = pattern.substr(p + 1, close - p - 1);
          p = close + 1;
        } else {
          SkipSpace(line, pos);
        }
        const size_t end = std::min(line.find_first_of(stop, pos), line.size());
        const size_t length = end - pos;
        if (length == 0 || length > field->max_length_ || field->kind_ != ScanField::Kind::Text) {
          return stored;
        }
        field->text_->assign(line.substr(pos, length));
        pos = end;
        break;
      }
      default:
        return stored;
    }
    ++field;
    ++stored;
  }
  return stored;
}

}  // namespace core::triggers
