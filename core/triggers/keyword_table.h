// Keyword tables of the stream and transfer triggers: the words a put accepts with the text it
// stores, and the codes the trigger record takes for a stored text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/automation/strings.h"

namespace core::triggers {

// Views rather than C strings, so that a look-up compares lengths before it compares letters.
struct KeywordForm {
  std::string_view given;   // compared without regard to case
  std::string_view stored;  // the stored, upper-case form
};

// The stored form of an accepted keyword; none for a word the table does not know.
template <size_t N>
std::optional<std::string_view> StoredForm(const KeywordForm (&table)[N], std::string_view given) {
  for (const KeywordForm& form : table) {
    if (automation::EqualsIgnoreCase(given, form.given)) return form.stored;
  }
  return std::nullopt;
}

// Why a put refused a word: "\"bogus\" is not one of BYTE, WORD, ...", the accepted words in
// upper case.
template <size_t N>
std::string NotOneOf(std::string_view given, const KeywordForm (&table)[N]) {
  std::string text = "\"" + std::string(given) + "\" is not one of ";
  for (size_t i = 0; i < N; ++i) {
    if (i > 0) text += ", ";
    for (const char c : table[i].given) {
      text += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
  }
  return text;
}

struct KeywordCode {
  std::string_view text;
  uint8_t code;
};

enum class Match { Exact, IgnoreCase };

template <size_t N>
uint8_t CodeOf(const KeywordCode (&table)[N], std::string_view text, Match match, uint8_t missing) {
  for (const KeywordCode& entry : table) {
    if (match == Match::Exact ? text == entry.text
                              : automation::EqualsIgnoreCase(text, entry.text)) {
      return entry.code;
    }
  }
  return missing;
}

}  // namespace core::triggers
