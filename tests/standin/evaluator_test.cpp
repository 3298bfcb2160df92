// The evaluator: C constants, symbols, C's operators with their precedence and types, and
// failures that name what went wrong and where.
#include "project/evaluator.h"

#include <gtest/gtest.h>

namespace {

using core::automation::HResultText;
using core::automation::kFail;
using core::automation::Variant;
using project::Evaluate;
using project::IntValue;
using project::SymbolTable;

SymbolTable TestSymbols() {
  SymbolTable symbols;
  symbols.Define("PORT0", IntValue{0x20, false});
  symbols.Define("port0", IntValue{0x99, false});  // names are case-sensitive
  symbols.Define("RAM_TOP", IntValue{0xFFFF0000u, true});
  symbols.Define("_n1", IntValue{0xFFFFFFFFu, false});  // int -1
  // A name is defined once, and only a C identifier.
  for (const char* refused : {"PORT0", "", "0ABC", "A-B", "A.B"}) {
    EXPECT_FALSE(symbols.Define(refused, IntValue{})) << refused;
  }
  return symbols;
}

// Constants, precedence and associativity, signed and unsigned arithmetic (overflow wraps) and
// symbols. Results from 0x80000000 up are unsigned (VT_UI4); all others, and unsigned results
// below it, are VT_I4.
TEST(EvaluatorTest, ComputesAsCDoes) {
  const SymbolTable symbols = TestSymbols();
  // clang-format off
  const std::pair<const char*, int64_t> cases[] = {
      {"0", 0}, {"42", 42}, {"0x1F", 31}, {"0XfF", 255}, {"017", 15}, {"10u", 10}, {"10lu", 10},
      {"10LLU", 10}, {"2147483647", 0x7FFFFFFF}, {"2147483648", 0x80000000u},
      {"0xFFFFFFFF", 0xFFFFFFFFu}, {"4294967295", 0xFFFFFFFFu}, {"  7  ", 7},
      {"1+2*3", 7}, {"(1+2)*3", 9}, {"10-4-3", 3}, {"100/10/5", 2}, {"1<<4+1", 32},
      {"1|2^3&6", 1}, {"0xF0|0x0F&0x3C", 0xFC}, {"6&3^1|8", 11}, {"17%5*2", 4}, {"- -3", 3},
      {"-2*-3", 6}, {"~0", -1}, {"+5", 5}, {"-1", -1}, {"-1u", 0xFFFFFFFFu}, {"~0u", 0xFFFFFFFFu},
      {"-8/3", -2}, {"-8%3", -2}, {"-8/3u", 0x55555552}, {"-3/1u", 0xFFFFFFFDu}, {"-8>>1", -4},
      {"-8u>>1", 0x7FFFFFFC}, {"0x80000000>>4", 0x08000000}, {"1<<31", INT32_MIN},
      {"1u<<31", 0x80000000u}, {"2147483647+1", INT32_MIN}, {"(-2147483647-1)/-1", INT32_MIN},
      {"0xFFFFFFFF+1", 0}, {"~0<<4", -16}, {"~0u<<4", 0xFFFFFFF0u}, {"PORT0", 0x20},
      {"port0", 0x99}, {"PORT0+2", 0x22}, {"RAM_TOP + 0x100", 0xFFFF0100u},
      {"RAM_TOP + 0x10000", 0}, {"_n1", -1}, {"_n1 >> 1", -1}};
  // clang-format on
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    const auto result = Evaluate(text, symbols);
    ASSERT_TRUE(result.ok()) << HResultText(result.hr) << " " << result.error;
    EXPECT_EQ(result.value.ToVariant(),
              value >= 0x80000000 ? Variant::UI4(uint32_t(value)) : Variant::I4(int32_t(value)));
  }
}

TEST(EvaluatorTest, FailuresSayWhatAndWhere) {
  const SymbolTable symbols = TestSymbols();
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"", "empty expression at column 1"},
      {"   ", "empty expression at column 4"},
      {"1 / 0", "division by zero at column 3"},
      {"7 % (PORT0 - 0x20)", "division by zero at column 3"},
      {"PORT0 + FOO", "unknown symbol 'FOO' at column 9"},
      {"Port0", "unknown symbol 'Port0' at column 1"},
      {"1 +", "syntax error: unexpected end of expression at column 4"},
      {"1 2", "syntax error: unexpected '2' at column 3"},
      {"(1 + 2", "syntax error: expected ')' at column 7"},
      {"1 + 2)", "syntax error: unexpected ')' at column 6"},
      {"*3", "syntax error: unexpected '*' at column 1"},
      {"1 < 2", "syntax error: unexpected '<' at column 3"},
      {"3 $ 4", "syntax error: unexpected '$' at column 3"},
      {"08", "invalid digit '8' in octal constant at column 2"},
      {"0x", "hexadecimal constant without digits at column 1"},
      {"0xG1", "hexadecimal constant without digits at column 1"},
      {"4294967296", "constant does not fit in 32 bits at column 1"},
      {"0x100000000", "constant does not fit in 32 bits at column 1"},
      {"12abc", "invalid suffix 'abc' on constant at column 3"},
      {"1uu", "invalid suffix 'uu' on constant at column 2"},
      {"1lL", "invalid suffix 'lL' on constant at column 2"},
      {"1 << 32", "shift count 32 out of range 0..31 at column 3"},
      {"1 >> -1", "shift count -1 out of range 0..31 at column 3"},
      {"1 >> 0xFFFFFFFF", "shift count 4294967295 out of range 0..31 at column 3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto result = Evaluate(c.text, symbols);
    EXPECT_EQ(result.hr, kFail) << HResultText(result.hr);
    EXPECT_EQ(result.error, c.error);
  }
}

TEST(EvaluatorTest, DeepNestingFailsInsteadOfExhaustingTheStack) {
  const SymbolTable none;
  const std::string nested = std::string(100, '(') + "1" + std::string(100, ')');
  EXPECT_TRUE(Evaluate(nested, none).ok());
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(Evaluate(deep, none).error.rfind("expression nested too deeply", 0), 0u);
  EXPECT_FALSE(Evaluate(std::string(100000, '-') + "1", none).ok());
}

}  // namespace
