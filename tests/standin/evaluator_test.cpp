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
  return symbols;
}

TEST(EvaluatorTest, ComputesAsCDoes) {
  const SymbolTable symbols = TestSymbols();
  struct Case {
    const char* text;
    Variant expected;
  };
  const Case cases[] = {
      // constants
      {"0", Variant::I4(0)},
      {"42", Variant::I4(42)},
      {"0x1F", Variant::I4(31)},
      {"0XfF", Variant::I4(255)},
      {"017", Variant::I4(15)},
      {"10u", Variant::I4(10)},
      {"10lu", Variant::I4(10)},
      {"10LLU", Variant::I4(10)},
      {"2147483647", Variant::I4(0x7FFFFFFF)},
      {"2147483648", Variant::UI4(0x80000000u)},
      {"0xFFFFFFFF", Variant::UI4(0xFFFFFFFFu)},
      {"4294967295", Variant::UI4(0xFFFFFFFFu)},
      {"  7  ", Variant::I4(7)},
      // precedence and associativity
      {"1+2*3", Variant::I4(7)},
      {"(1+2)*3", Variant::I4(9)},
      {"10-4-3", Variant::I4(3)},
      {"100/10/5", Variant::I4(2)},
      {"1<<4+1", Variant::I4(32)},
      {"1|2^3&6", Variant::I4(1 | (2 ^ (3 & 6)))},
      {"0xF0|0x0F&0x3C", Variant::I4(0xF0 | (0x0F & 0x3C))},
      {"6&3^1|8", Variant::I4(((6 & 3) ^ 1) | 8)},
      {"17%5*2", Variant::I4(4)},
      {"- -3", Variant::I4(3)},
      {"-2*-3", Variant::I4(6)},
      {"~0", Variant::I4(-1)},
      {"+5", Variant::I4(5)},
      // signed and unsigned
      {"-1", Variant::I4(-1)},
      {"-1u", Variant::UI4(0xFFFFFFFFu)},
      {"~0u", Variant::UI4(0xFFFFFFFFu)},
      {"-8/3", Variant::I4(-2)},
      {"-8%3", Variant::I4(-2)},
      {"-8/3u", Variant::I4(0x55555552)},  // unsigned, but below 0x80000000
      {"-3/1u", Variant::UI4(0xFFFFFFFDu)},
      {"-8>>1", Variant::I4(-4)},
      {"-8u>>1", Variant::I4(0x7FFFFFFC)},  // unsigned but below 0x80000000
      {"0x80000000>>4", Variant::I4(0x08000000)},
      {"1<<31", Variant::I4(INT32_MIN)},  // signed overflow wraps
      {"1u<<31", Variant::UI4(0x80000000u)},
      {"2147483647+1", Variant::I4(INT32_MIN)},
      {"(-2147483647-1)/-1", Variant::I4(INT32_MIN)},
      {"0xFFFFFFFF+1", Variant::I4(0)},
      {"~0<<4", Variant::I4(-16)},
      {"~0u<<4", Variant::UI4(0xFFFFFFF0u)},
      // symbols
      {"PORT0", Variant::I4(0x20)},
      {"port0", Variant::I4(0x99)},
      {"PORT0+2", Variant::I4(0x22)},
      {"RAM_TOP + 0x100", Variant::UI4(0xFFFF0100u)},
      {"RAM_TOP + 0x10000", Variant::I4(0)},
      {"_n1", Variant::I4(-1)},
      {"_n1 >> 1", Variant::I4(-1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto result = Evaluate(c.text, symbols);
    ASSERT_TRUE(result.ok()) << HResultText(result.hr) << " " << result.error;
    EXPECT_EQ(result.value.ToVariant(), c.expected);
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
      {"1 >> 0xFFFFFFFF", "shift count 4294967295 out of range 0..31 at column 3"},
  };
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

TEST(EvaluatorTest, SymbolNamesAreIdentifiersDefinedOnce) {
  SymbolTable symbols;
  EXPECT_TRUE(symbols.Define("TIMER0", IntValue{1, false}));
  EXPECT_FALSE(symbols.Define("TIMER0", IntValue{2, false}));
  EXPECT_EQ(symbols.Find("TIMER0")->bits, 1u);
  for (const char* bad : {"", "0ABC", "A-B", "A B", "A.B"}) {
    EXPECT_FALSE(symbols.Define(bad, IntValue{})) << bad;
  }
  EXPECT_EQ(symbols.size(), 1u);
}

}  // namespace
