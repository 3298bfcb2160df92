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
//
// A pattern is read as steps: the literal characters before a directive, then the directive. A
// ScanPattern keeps the steps of its text, so that a pattern that reads many lines is taken apart
// once; ScanLine with a text takes the text apart as it goes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/automation/strings.h"

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
      : kind_(Kind::Text), max_length_(max_length), text_(text) {}
  // A text field that views the line instead of copying it: valid while the line is.
  ScanField(std::string_view* view, size_t max_length = kMaxTextField)  // NOLINT
      : kind_(Kind::View), max_length_(max_length), view_(view) {}

 private:
  template <typename NextStep>
  friend void ScanSteps(std::string_view, std::initializer_list<ScanField>, NextStep, ScanStop&);
  enum class Kind : uint8_t { Int, UInt, Text, View };
  Kind kind_;
  size_t max_length_ = kMaxTextField;
  // The kind says which one the field stores to.
  union {
    int32_t* int_;
    uint32_t* uint_;
    std::string* text_;
    std::string_view* view_;
  };
};

// The scan's decimal field on its own: white space, a sign and digits from `pos`, wrapping modulo
// 2^32. False, and `pos` unchanged, when no digit follows; otherwise `pos` moves past the digits.
bool ReadDecimal(std::string_view line, size_t& pos, uint32_t* value);

class ScanPattern {
 public:
  // Slip: a directive the reader does not know, or a set it cannot read (a caller's slip).
  enum class Directive : uint8_t { None, Decimal, Run, Word, Slip };
  struct Step {
    std::string_view literals;         // matched before the directive
    bool literals_hold_space = false;  // white space in them skips any white space of the line
    Directive directive = Directive::None;
    std::string_view stop_set;  // the characters that end a Run (%[^set])
  };

  // Fills `step` with the step that begins at `p` and returns where the next one begins. A
  // pattern that ends in literals ends in a step without a directive.
  static constexpr size_t NextStep(std::string_view text, size_t p, Step* step) {
    const size_t start = p;
    while (p < text.size() && !(text[p] == '%' && p + 1 < text.size())) ++p;
    step->literals = text.substr(start, p - start);
    for (const char c : step->literals) step->literals_hold_space |= automation::IsSpace(c);
    if (p == text.size()) return p;
    const char directive = text[p + 1];
    p += 2;
    if (directive == 'd' || directive == 'u') {
      step->directive = Directive::Decimal;
    } else if (directive == 's') {
      step->directive = Directive::Word;
    } else if (directive == '[') {
      // Only negated sets occur in the patterns: %[^,] and the like.
      const size_t close = text.find(']', p + 1);
      if (p >= text.size() || text[p] != '^' || close == std::string_view::npos) {
        step->directive = Directive::Slip;
        return text.size();
      }
      step->directive = Directive::Run;
      step->stop_set = text.substr(p + 1, close - p - 1);
      return close + 1;
    } else {
      step->directive = Directive::Slip;
    }
    return p;
  }

  // For a constant: a pattern of more than kMaxSteps steps does not compile.
  constexpr explicit ScanPattern(std::string_view text) {
    for (size_t p = 0; p < text.size(); ++count_) {
      if (count_ == kMaxSteps) throw "a scan pattern with too many steps";
      p = NextStep(text, p, &steps_[count_]);
    }
  }
  const Step* begin() const { return steps_; }
  const Step* end() const { return steps_ + count_; }

 private:
  static constexpr size_t kMaxSteps = 16;
  Step steps_[kMaxSteps] = {};
  size_t count_ = 0;
};

// Returns the number of fields stored.
int ScanLine(std::string_view line, std::string_view pattern,
             std::initializer_list<ScanField> fields);
// The same scan, telling where and why it ended.
ScanStop ScanLineStop(std::string_view line, std::string_view pattern,
                      std::initializer_list<ScanField> fields);
ScanStop ScanLineStop(std::string_view line, const ScanPattern& pattern,
                      std::initializer_list<ScanField> fields);

}  // namespace core::triggers
