// The expression evaluator of the host, for address expressions: C-notation numbers, the symbols
// of the project and integer arithmetic with the operators and precedence of C.
//
// Arithmetic follows C on a target whose int and long are 32 bits: a value is an int or an
// unsigned int; a constant that does not fit in int is unsigned, as is one with a u suffix; an
// operation with an unsigned operand is unsigned. Where C leaves signed overflow undefined, the
// evaluator wraps in two's complement. A shift count outside 0..31, a division by zero, an
// unknown symbol and a syntax error fail with a text that says what went wrong and at which
// column (1-based).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/automation/hresult.h"
#include "core/automation/variant.h"

namespace project {

using core::automation::HResult;
using core::automation::Variant;

struct IntValue {
  uint32_t bits = 0;
  bool is_unsigned = false;

  int32_t AsSigned() const { return static_cast<int32_t>(bits); }
  // VT_I4 when the value fits in a signed 32-bit integer, VT_UI4 for an unsigned value above
  // 0x7FFFFFFF.
  Variant ToVariant() const;
  friend bool operator==(IntValue a, IntValue b) {
    return a.bits == b.bits && a.is_unsigned == b.is_unsigned;
  }
};

// Symbol names are C identifiers and compare case-sensitively, as in C.
class SymbolTable {
 public:
  // False (and nothing changes) when the name is taken or is not an identifier.
  bool Define(const std::string& name, IntValue value);
  const IntValue* Find(std::string_view name) const;
  size_t size() const { return symbols_.size(); }
  const std::map<std::string, IntValue, std::less<>>& symbols() const { return symbols_; }

  static bool IsIdentifier(std::string_view name);

 private:
  std::map<std::string, IntValue, std::less<>> symbols_;
};

// The type an evaluator answers in, by name: "I1", "UI1", "I2", "UI2", "I4", "UI4" (the value cut
// to that width) or "BSTR" (its decimal text, a type no caller can take for a number); an empty
// name answers as IntValue::ToVariant does. False for any other name, which answers as the empty
// one.
bool AnswerAs(IntValue value, std::string_view type, Variant* answer);

struct Evaluation {
  HResult hr = core::automation::kOk;
  IntValue value;
  std::string error;  // "unknown symbol 'FOO' at column 5"; empty on success

  bool ok() const { return core::automation::Succeeded(hr); }
};

// Evaluates one expression. Failures return E_FAIL with the error text.
Evaluation Evaluate(std::string_view expression, const SymbolTable& symbols);

}  // namespace project
