// The evaluator: a tokenizer for C constants and identifiers and a precedence-climbing parser
// that computes as it parses.
#include "project/evaluator.h"

#include <vector>

#include "core/automation/strings.h"

namespace project {
namespace {

using core::automation::Format;
using core::automation::IsSpace;
using core::automation::kFail;

// Deep enough for any expression a person writes; shallow enough that the recursion cannot
// exhaust the stack on hostile input.
constexpr int kMaxDepth = 200;

bool IsIdentStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

int Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Raised inside the parser and turned into an Evaluation at the top; it never leaves this file.
struct Failure {
  std::string what;
  size_t column;
};

class Parser {
 public:
  Parser(std::string_view text, const SymbolTable& symbols) : text_(text), symbols_(symbols) {}

  IntValue Run() {
    SkipSpace();
    if (pos_ == text_.size()) Fail("empty expression", pos_);
    const IntValue value = Binary(0);
    SkipSpace();
    if (pos_ != text_.size()) Unexpected();
    return value;
  }

 private:
  [[noreturn]] void Fail(std::string what, size_t at) { throw Failure{std::move(what), at + 1}; }

  [[noreturn]] void Unexpected() {
    if (pos_ == text_.size()) Fail("syntax error: unexpected end of expression", pos_);
    Fail(Format("syntax error: unexpected '%c'", text_[pos_]), pos_);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  // The binary operator at the current position and its precedence (higher binds tighter);
  // 0 when there is none.
  int PeekOperator(std::string_view* op) {
    SkipSpace();
    if (pos_ >= text_.size()) return 0;
    const std::string_view rest = text_.substr(pos_);
    struct Entry {
      std::string_view op;
      int precedence;
    };
    static constexpr Entry kOperators[] = {
        {"<<", 4}, {">>", 4}, {"*", 6}, {"/", 6}, {"%", 6},
        {"+", 5},  {"-", 5},  {"&", 3}, {"^", 2}, {"|", 1},
    };
    for (const Entry& entry : kOperators) {
      if (rest.substr(0, entry.op.size()) == entry.op) {
        *op = entry.op;
        return entry.precedence;
      }
    }
    return 0;
  }

  IntValue Binary(int min_precedence) {
    Enter();
    IntValue left = Unary();
    for (;;) {
      std::string_view op;
      const int precedence = PeekOperator(&op);
      if (precedence == 0 || precedence <= min_precedence) break;
      const size_t op_at = pos_;
      pos_ += op.size();
      const IntValue right = Binary(precedence);
      left = Apply(op, left, right, op_at);
    }
    Leave();
    return left;
  }

  IntValue Unary() {
    SkipSpace();
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-' || text_[pos_] == '~')) {
      const char op = text_[pos_++];
      Enter();
      IntValue value = Unary();
      Leave();
      if (op == '-') value.bits = 0u - value.bits;
      if (op == '~') value.bits = ~value.bits;
      return value;
    }
    return Primary();
  }

  IntValue Primary() {
    SkipSpace();
    if (pos_ >= text_.size()) Unexpected();
    const char c = text_[pos_];
    if (c == '(') {
      ++pos_;
      const IntValue value = Binary(0);
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != ')') Fail("syntax error: expected ')'", pos_);
      ++pos_;
      return value;
    }
    if (c >= '0' && c <= '9') return Constant();
    if (IsIdentStart(c)) {
      const size_t start = pos_;
      while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
      const std::string_view name = text_.substr(start, pos_ - start);
      const IntValue* value = symbols_.Find(name);
      if (value == nullptr) Fail("unknown symbol '" + std::string(name) + "'", start);
      return *value;
    }
    Unexpected();
  }

  IntValue Constant() {
    const size_t start = pos_;
    int base = 10;
    if (text_[pos_] == '0' && pos_ + 1 < text_.size() &&
        (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')) {
      base = 16;
      pos_ += 2;
    } else if (text_[pos_] == '0') {
      base = 8;
    }
    const size_t digits_start = pos_;
    uint64_t magnitude = 0;
    bool too_big = false;
    while (pos_ < text_.size() && Digit(text_[pos_]) < (base == 16 ? 16 : 10)) {
      const int digit = Digit(text_[pos_]);
      if (digit >= base) {
        Fail(Format("invalid digit '%c' in octal constant", text_[pos_]), pos_);
      }
      magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
      if (magnitude > 0xFFFFFFFFull) {
        too_big = true;
        magnitude = 0x100000000ull;  // keeps the product bounded while the digits run on
      }
      ++pos_;
    }
    if (base == 16 && pos_ == digits_start) {
      Fail("hexadecimal constant without digits", start);
    }
    if (too_big) Fail("constant does not fit in 32 bits", start);

    // Suffixes: u and l or ll in either order, in any letter case.
    bool is_unsigned = magnitude > 0x7FFFFFFFull;
    const size_t suffix_start = pos_;
    int us = 0;
    int ls = 0;
    while (pos_ < text_.size() && IsIdentChar(text_[pos_])) {
      const char s = text_[pos_];
      if ((s == 'u' || s == 'U') && us == 0) {
        ++us;
      } else if ((s == 'l' || s == 'L') && ls < 2 &&
                 (ls == 0 || text_[pos_ - 1] == s)) {  // "ll" or "LL", not "lL"
        ++ls;
      } else {
        while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
        Fail("invalid suffix '" + std::string(text_.substr(suffix_start, pos_ - suffix_start)) +
                 "' on constant",
             suffix_start);
      }
      ++pos_;
    }
    if (us != 0) is_unsigned = true;
    return IntValue{static_cast<uint32_t>(magnitude), is_unsigned};
  }

  IntValue Apply(std::string_view op, IntValue a, IntValue b, size_t op_at) {
    if (op == "<<" || op == ">>") {
      // The count is read as its own type; the result has the left operand's type.
      const int64_t count = b.is_unsigned ? static_cast<int64_t>(b.bits) : b.AsSigned();
      if (count < 0 || count > 31) {
        Fail("shift count " + std::to_string(count) + " out of range 0..31", op_at);
      }
      if (op == "<<") return IntValue{a.bits << count, a.is_unsigned};
      if (a.is_unsigned) return IntValue{a.bits >> count, true};
      const int32_t s = a.AsSigned();
      // Arithmetic shift, written so that it does not rely on the compiler's choice.
      const uint32_t shifted = s < 0 ? ~(~a.bits >> count) : a.bits >> count;
      return IntValue{shifted, false};
    }
    const bool u = a.is_unsigned || b.is_unsigned;
    switch (op[0]) {
      case '+':
        return IntValue{a.bits + b.bits, u};
      case '-':
        return IntValue{a.bits - b.bits, u};
      case '*':
        return IntValue{a.bits * b.bits, u};
      case '&':
        return IntValue{a.bits & b.bits, u};
      case '^':
        return IntValue{a.bits ^ b.bits, u};
      case '|':
        return IntValue{a.bits | b.bits, u};
      default:
        break;
    }
    // '/' and '%'
    if (b.bits == 0) Fail("division by zero", op_at);
    if (u) return IntValue{op[0] == '/' ? a.bits / b.bits : a.bits % b.bits, true};
    const int64_t x = a.AsSigned();
    const int64_t y = b.AsSigned();
    const int64_t r = op[0] == '/' ? x / y : x % y;  // INT_MIN / -1 wraps below
    return IntValue{static_cast<uint32_t>(r), false};
  }

  void Enter() {
    if (++depth_ > kMaxDepth) Fail("expression nested too deeply", pos_);
  }
  void Leave() { --depth_; }

  std::string_view text_;
  const SymbolTable& symbols_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

Variant IntValue::ToVariant() const {
  if (is_unsigned && bits > 0x7FFFFFFFu) return Variant::UI4(bits);
  return Variant::I4(static_cast<int32_t>(bits));
}

bool AnswerAs(IntValue value, std::string_view type, Variant* answer) {
  const uint32_t bits = value.bits;
  if (type == "I1") {
    *answer = Variant::I1(static_cast<int8_t>(bits));
  } else if (type == "UI1") {
    *answer = Variant::UI1(static_cast<uint8_t>(bits));
  } else if (type == "I2") {
    *answer = Variant::I2(static_cast<int16_t>(bits));
  } else if (type == "UI2") {
    *answer = Variant::UI2(static_cast<uint16_t>(bits));
  } else if (type == "I4") {
    *answer = Variant::I4(value.AsSigned());
  } else if (type == "UI4") {
    *answer = Variant::UI4(bits);
  } else if (type == "BSTR") {
    *answer =
        Variant::Bstr(value.is_unsigned ? std::to_string(bits) : std::to_string(value.AsSigned()));
  } else {
    *answer = value.ToVariant();
    return type.empty();
  }
  return true;
}

bool SymbolTable::IsIdentifier(std::string_view name) {
  if (name.empty() || !IsIdentStart(name[0])) return false;
  for (const char c : name) {
    if (!IsIdentChar(c)) return false;
  }
  return true;
}

bool SymbolTable::Define(const std::string& name, IntValue value) {
  if (!IsIdentifier(name)) return false;
  return symbols_.emplace(name, value).second;
}

const IntValue* SymbolTable::Find(std::string_view name) const {
  const auto it = symbols_.find(name);
  return it == symbols_.end() ? nullptr : &it->second;
}

Evaluation Evaluate(std::string_view expression, const SymbolTable& symbols) {
  Evaluation out;
  try {
    out.value = Parser(expression, symbols).Run();
  } catch (const Failure& failure) {
    out.hr = kFail;
    out.error = failure.what + " at column " + std::to_string(failure.column);
  }
  return out;
}

}  // namespace project
