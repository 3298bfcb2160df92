// Reading definition lines. Each kind reads its line with a scan pattern in the notation of the C
// library's scanf family ("%d,%[^,],%[^,],%d"); this reader follows those patterns exactly but
// safely: it never writes past a field, never reads past the line and always ends.
//
// Directives: %d (signed decimal), %u (unsigned decimal), %[^set] (a non-empty run of characters
// not in the set), %s (a non-empty run up to white space). A white-space character in the pattern
// skips any white space; any other character must match itself. The scan ends at the first
// directive or literal that does not match, or at the end of the line, and reports how many
// fields it stored; fields after that are left as the caller set them.
//
// Decimal fields wrap modulo 2^32 when they overflow (the value the classic run-time's scanf
// gives). A text field holds at most its maximum (259 characters unless said otherwise): a
// longer field ends the scan at that field, stored nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace core::triggers {

inline constexpr size_t kMaxTextField = 259;

// Where a scan ended and why, for telling the user which field of a line was not read.
struct ScanStop {
  enum class Cause {
    Done,       // the whole pattern matched (text may follow in the line)
    EndOfLine,  // the line ended before a field or a literal of the pattern
    Literal,    // a literal character of the pattern did not match
    Number,     // a decimal field held no digit
    EmptyText,  // a text field was empty
    LongText,   // a text field was longer than its maximum
    Pattern,    // the pattern and the fields do not agree (a caller's slip)
  };
  int stored = 0;  // fields stored
  Cause cause = Cause::Done;
  size_t position = 0;     // where the line was left
  size_t field_start = 0;  // where the last field the scan tried began
  char literal = 0;        // the pattern's character, for Cause::Literal
  size_t max_length = 0;   // the text field's maximum, for Cause::LongText
};

class ScanField {
 public:
  ScanField(int32_t* value) : kind_(Kind::Int), int_(value) {}     // NOLINT: implicit by design
  ScanField(uint32_t* value) : kind_(Kind::UInt), uint_(value) {}  // NOLINT
  ScanField(std::string* text, size_t max_length = kMaxTextField)  // NOLINT
      : kind_(Kind::Text), text_(text), max_length_(max_length) {}
  // A text field that views the line instead of copying it: valid while the line is.
  ScanField(std::string_view* view, size_t max_length = kMaxTextField)  // NOLINT
      : kind_(Kind::View), view_(view), max_length_(max_length) {}

 private:
  friend ScanStop ScanLineStop(std::string_view, std::string_view,
                               std::initializer_list<ScanField>);
  enum class Kind { Int, UInt, Text, View };
  Kind kind_;
  int32_t* int_ = nullptr;
  uint32_t* uint_ = nullptr;
  std::string* text_ = nullptr;
  std::string_view* view_ = nullptr;
  size_t max_length_ = kMaxTextField;
};

// The scan's decimal field on its own: white space, a sign and digits from `pos`, wrapping modulo
// 2^32. False, and `pos` unchanged, when no digit follows; otherwise `pos` moves past the digits.
bool ReadDecimal(std::string_view line, size_t& pos, uint32_t* value);

// Returns the number of fields stored.
int ScanLine(std::string_view line, std::string_view pattern,
             std::initializer_list<ScanField> fields);
// The same scan, telling where and why it ended.
ScanStop ScanLineStop(std::string_view line, std::string_view pattern,
                      std::initializer_list<ScanField> fields);

}  // namespace core::triggers
