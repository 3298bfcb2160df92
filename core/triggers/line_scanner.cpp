// The scan-pattern reader of definition lines.
#include "core/triggers/line_scanner.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/automation/strings.h"

namespace core::triggers {
namespace {

using automation::IsSpace;

inline const char* SkipSpace(const char* at, const char* end) {
  while (at != end && IsSpace(*at)) ++at;
  return at;
}

// Where a run of characters outside `stop` that begins at `at` ends.
inline const char* RunEnd(const char* at, const char* end, std::string_view stop) {
  if (stop.size() == 1) {
    const size_t found =
        automation::FindChar(std::string_view(at, static_cast<size_t>(end - at)), stop[0]);
    return found == std::string_view::npos ? end : at + found;
  }
  for (; at != end; ++at) {
    if (stop.find(*at) != std::string_view::npos) return at;
  }
  return at;
}

// Where the run of characters other than white space that begins at `at` ends. Where the
// processor has SSE2, sixteen characters are looked at together while sixteen are left.
inline const char* WordEnd(const char* at, const char* end) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  // Adding 119 moves \t to \r, and only them, to the five lowest signed byte values.
  const __m128i shift = _mm_set1_epi8(119);
  const __m128i above_controls = _mm_set1_epi8(-128 + 5);
  for (; end - at >= 16; at += 16) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i spaces = _mm_or_si128(_mm_cmpeq_epi8(chars, space),
                                        _mm_cmplt_epi8(_mm_add_epi8(chars, shift), above_controls));
    if (const int found = _mm_movemask_epi8(spaces)) return at + __builtin_ctz(found);
  }
#endif
  while (at != end && !IsSpace(*at)) ++at;
  return at;
}

// The decimal field: white space, a sign and digits, wrapping modulo 2^32. Null when no digit
// follows; otherwise where the digits end.
inline const char* ReadDecimalAt(const char* at, const char* end, uint32_t* value) {
  bool negative = false;
  // White space or a sign before the digits is rare.
  if (at == end || static_cast<unsigned char>(*at - '0') > 9) {
    at = SkipSpace(at, end);
    if (at != end && (*at == '+' || *at == '-')) {
      negative = *at == '-';
      ++at;
    }
  }
  const char* const first_digit = at;
  uint32_t result = 0;
  for (; at != end && static_cast<unsigned char>(*at - '0') <= 9; ++at) {
    result = result * 10u + static_cast<uint32_t>(*at - '0');
  }
  if (at == first_digit) return nullptr;
  *value = negative ? 0u - result : result;
  return at;
}

}  // namespace

bool ReadDecimal(std::string_view line, size_t& pos, uint32_t* value) {
  const char* const end = line.data() + line.size();
  const char* const digits_end = ReadDecimalAt(line.data() + pos, end, value);
  if (digits_end == nullptr) return false;
  pos = static_cast<size_t>(digits_end - line.data());
  return true;
}

// Scans `line` with the steps that `next_step` gives one by one, null after the last, until a step
// does not match; `stop` tells where the scan ended.
template <typename NextStep>
void ScanSteps(std::string_view line, std::initializer_list<ScanField> fields, NextStep next_step,
               ScanStop& stop) {
  using Cause = ScanStop::Cause;
  using Directive = ScanPattern::Directive;
  using Kind = ScanField::Kind;
  const char* const begin = line.data();
  const char* const end = begin + line.size();
  const char* at = begin;
  const ScanField* field = fields.begin();
  auto stopped = [&](Cause cause) {
    stop.cause = cause;
    stop.position = static_cast<size_t>(at - begin);
  };
  while (const ScanPattern::Step* step = next_step()) {
    const std::string_view literals = step->literals;
    if (literals.size() == 1 && at != end && *at == literals[0] && !step->literals_hold_space) {
      ++at;  // the usual comma between two fields
    } else {
      for (const char c : literals) {
        if (step->literals_hold_space && IsSpace(c)) {
          at = SkipSpace(at, end);
        } else if (at == end) {
          return stopped(Cause::EndOfLine);
        } else if (*at != c) {
          stop.literal = c;
          return stopped(Cause::Literal);
        } else {
          ++at;
        }
      }
    }
    if (step->directive == Directive::None) continue;
    if (field == fields.end()) return stopped(Cause::Pattern);  // more directives than fields
    stop.field_start = static_cast<size_t>(at - begin);
    if (step->directive == Directive::Decimal) {
      uint32_t value = 0;
      const char* const digits_end = ReadDecimalAt(at, end, &value);
      if (digits_end == nullptr) {
        at = SkipSpace(at, end);
        return stopped(at == end ? Cause::EndOfLine : Cause::Number);
      }
      at = digits_end;
      if (field->kind_ == Kind::Int) {
        *field->int_ = static_cast<int32_t>(value);
      } else if (field->kind_ == Kind::UInt) {
        *field->uint_ = value;
      } else {
        return stopped(Cause::Pattern);
      }
    } else if (step->directive == Directive::Run || step->directive == Directive::Word) {
      const char* text_end = nullptr;
      if (step->directive == Directive::Run) {
        text_end = RunEnd(at, end, step->stop_set);
      } else {
        at = SkipSpace(at, end);
        stop.field_start = static_cast<size_t>(at - begin);
        text_end = WordEnd(at, end);
      }
      const size_t length = static_cast<size_t>(text_end - at);
      const Kind kind = field->kind_;
      if (kind != Kind::View && kind != Kind::Text) return stopped(Cause::Pattern);
      if (length == 0) return stopped(at == end ? Cause::EndOfLine : Cause::EmptyText);
      if (length > field->max_length_) {
        stop.max_length = field->max_length_;
        return stopped(Cause::LongText);
      }
      if (kind == Kind::View) {
        *field->view_ = std::string_view(at, length);
      } else {
        field->text_->assign(at, length);
      }
      at = text_end;
    } else {
      return stopped(Cause::Pattern);
    }
    ++field;
    ++stop.stored;
  }
  return stopped(Cause::Done);
}

ScanStop ScanLineStop(std::string_view line, std::string_view pattern,
                      std::initializer_list<ScanField> fields) {
  ScanPattern::Step step;
  size_t p = 0;
  const auto next_step = [&]() -> const ScanPattern::Step* {
    if (p == pattern.size()) return nullptr;
    step = ScanPattern::Step();
    p = ScanPattern::NextStep(pattern, p, &step);
    return &step;
  };
  ScanStop stop;
  ScanSteps(line, fields, next_step, stop);
  return stop;
}

ScanStop ScanLineStop(std::string_view line, const ScanPattern& pattern,
                      std::initializer_list<ScanField> fields) {
  const ScanPattern::Step* step = pattern.begin();
  const ScanPattern::Step* const last = pattern.end();
  ScanStop stop;
  ScanSteps(
      line, fields, [&]() { return step == last ? nullptr : step++; }, stop);
  return stop;
}

int ScanLine(std::string_view line, std::string_view pattern,
             std::initializer_list<ScanField> fields) {
  return ScanLineStop(line, pattern, fields).stored;
}

}  // namespace core::triggers
