// The scan-pattern reader of definition lines.
#include "core/triggers/line_scanner.h"

#include <algorithm>

#include "core/automation/strings.h"

namespace core::triggers {
namespace {

using automation::IsSpace;

void SkipSpace(std::string_view line, size_t& pos) {
  while (pos < line.size() && IsSpace(line[pos])) ++pos;
}

// Where a run of characters outside `stop` that begins at `pos` ends. Fields are short, so a
// plain loop beats a library search for each one.
size_t RunEnd(std::string_view line, size_t pos, std::string_view stop) {
  if (stop.size() == 1) return std::min(automation::FindChar(line, stop[0], pos), line.size());
  size_t end = pos;
  for (; end < line.size(); ++end) {
    for (char c : stop) {
      if (line[end] == c) return end;
    }
  }
  return end;
}

}  // namespace

bool ReadDecimal(std::string_view line, size_t& pos, uint32_t* value) {
  size_t i = pos;
  SkipSpace(line, i);
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

ScanStop ScanLineStop(std::string_view line, std::string_view pattern,
                      std::initializer_list<ScanField> fields) {
  using Cause = ScanStop::Cause;
  const ScanField* field = fields.begin();
  ScanStop stop;
  size_t pos = 0;
  size_t p = 0;
  auto end = [&](Cause cause) {
    stop.cause = cause;
    stop.position = pos;
    return stop;
  };
  while (p < pattern.size()) {
    const char c = pattern[p];
    if (c != '%' || p + 1 >= pattern.size()) {
      if (IsSpace(c)) {
        SkipSpace(line, pos);
      } else if (pos >= line.size()) {
        return end(Cause::EndOfLine);
      } else if (line[pos] != c) {
        stop.literal = c;
        return end(Cause::Literal);
      } else {
        ++pos;
      }
      ++p;
      continue;
    }
    if (field == fields.end()) return end(Cause::Pattern);  // more directives than fields
    const char directive = pattern[p + 1];
    p += 2;
    stop.field_start = pos;
    switch (directive) {
      case 'd':
      case 'u': {
        uint32_t value = 0;
        if (!ReadDecimal(line, pos, &value)) {
          SkipSpace(line, pos);
          return end(pos >= line.size() ? Cause::EndOfLine : Cause::Number);
        }
        if (field->kind_ == ScanField::Kind::Int) {
          *field->int_ = static_cast<int32_t>(value);
        } else if (field->kind_ == ScanField::Kind::UInt) {
          *field->uint_ = value;
        } else {
          return end(Cause::Pattern);
        }
        break;
      }
      case 's':
      case '[': {
        size_t text_end = pos;
        if (directive == '[') {
          // Only negated sets occur in the patterns: %[^,] and the like, mostly that one.
          const bool comma_set = p + 2 < pattern.size() && pattern[p] == '^' &&
                                 pattern[p + 1] == ',' && pattern[p + 2] == ']';
          const size_t close = comma_set ? p + 2 : pattern.find(']', p + 1);
          if (p >= pattern.size() || pattern[p] != '^' || close == std::string_view::npos) {
            return end(Cause::Pattern);
          }
          text_end = RunEnd(line, pos, pattern.substr(p + 1, close - p - 1));
          p = close + 1;
        } else {
          SkipSpace(line, pos);
          stop.field_start = pos;
          text_end = pos;
          while (text_end < line.size() && !IsSpace(line[text_end])) ++text_end;
        }
        const size_t length = text_end - pos;
        if (field->kind_ != ScanField::Kind::Text && field->kind_ != ScanField::Kind::View) {
          return end(Cause::Pattern);
        }
        if (length == 0) return end(pos >= line.size() ? Cause::EndOfLine : Cause::EmptyText);
        if (length > field->max_length_) {
          stop.max_length = field->max_length_;
          return end(Cause::LongText);
        }
        if (field->kind_ == ScanField::Kind::Text) {
          field->text_->assign(line.data() + pos, length);
        } else {
          *field->view_ = line.substr(pos, length);
        }
        pos = text_end;
        break;
      }
      default:
        return end(Cause::Pattern);
    }
    ++field;
    ++stop.stored;
  }
  return end(Cause::Done);
}

int ScanLine(std::string_view line, std::string_view pattern,
             std::initializer_list<ScanField> fields) {
  return ScanLineStop(line, pattern, fields).stored;
}

}  // namespace core::triggers
