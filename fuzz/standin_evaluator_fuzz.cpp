// Fuzz target for the expression evaluator of the project. The first line of the input defines
// symbols ("A=1;B=A*2", each over the ones before), the rest is one expression. It stops on a
// broken invariant (besides the sanitizers, which catch C's undefined arithmetic):
//   - a result is neither a value nor an error, or an error names a column outside the text;
//   - the expression in parentheses evaluates differently, or "(E)-(E)" is not 0;
//   - a value does not answer in every type the project may name, or answers in an unknown one.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/automation/hresult.h"
#include "core/automation/variant.h"
#include "fuzz/fuzz_check.h"
#include "project/evaluator.h"

namespace {

// The column an error text names ("... at column N"), 0 when it names none.
size_t ErrorColumn(const std::string& error) {
  const size_t at = error.rfind(" at column ");
  if (at == std::string::npos) return 0;
  return static_cast<size_t>(std::stoul(error.substr(at + 11)));
}

project::SymbolTable Symbols(std::string_view definitions) {
  project::SymbolTable symbols;
  size_t start = 0;
  while (start < definitions.size()) {
    size_t end = definitions.find(';', start);
    if (end == std::string_view::npos) end = definitions.size();
    const std::string_view definition = definitions.substr(start, end - start);
    start = end + 1;
    const size_t equals = definition.find('=');
    if (equals == std::string_view::npos) continue;
    const project::Evaluation value = project::Evaluate(definition.substr(equals + 1), symbols);
    if (value.ok()) symbols.Define(std::string(definition.substr(0, equals)), value.value);
  }
  return symbols;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const project::SymbolTable symbols =
      Symbols(newline == std::string_view::npos ? std::string_view() : input.substr(0, newline));
  const std::string expression(newline == std::string_view::npos ? input
                                                                 : input.substr(newline + 1));

  const project::Evaluation result = project::Evaluate(expression, symbols);
  FUZZ_CHECK(result.hr == core::automation::kOk || result.hr == core::automation::kFail,
             expression);
  FUZZ_CHECK(result.ok() == result.error.empty(), expression);
  if (!result.ok()) {
    const size_t column = ErrorColumn(result.error);
    FUZZ_CHECK(column >= 1 && column <= expression.size() + 1, expression + "\n  " + result.error);
    return 0;
  }

  const project::Evaluation grouped = project::Evaluate("(" + expression + ")", symbols);
  FUZZ_CHECK(grouped.ok() && grouped.value == result.value, expression);
  const project::Evaluation difference =
      project::Evaluate("(" + expression + ")-(" + expression + ")", symbols);
  FUZZ_CHECK(difference.ok() && difference.value.bits == 0, expression);

  for (const char* type : {"", "I1", "UI1", "I2", "UI2", "I4", "UI4", "BSTR"}) {
    core::automation::Variant answer;
    FUZZ_CHECK(project::AnswerAs(result.value, type, &answer), expression + "\n  as " + type);
  }
  core::automation::Variant answer;
  FUZZ_CHECK(!project::AnswerAs(result.value, "R8", &answer), expression);
  return 0;
}
