// The load messages' one shape: "Trigger key K[ state][, field F]: text".
#include "core/registry/load_log.h"

namespace core::registry {
namespace {

constexpr std::string_view kPrefix = "Trigger key ";
constexpr std::string_view kFieldMark = ", field ";

struct StateWord {
  LineState state;
  std::string_view word;  // with its leading space
};
constexpr StateWord kStateWords[] = {
    {LineState::Skipped, " skipped"},
    {LineState::NotRead, " not read"},
    {LineState::NotRegistered, " not registered"},
};

bool Consume(std::string_view* rest, std::string_view word) {
  if (rest->substr(0, word.size()) != word) return false;
  rest->remove_prefix(word.size());
  return true;
}

}  // namespace

std::string FormatLoadMessage(const LoadMessage& message) {
  std::string line(kPrefix);
  line += message.key;
  for (const StateWord& state : kStateWords) {
    if (state.state == message.state) line += state.word;
  }
  if (!message.field.empty()) {
    line += kFieldMark;
    line += message.field;
  }
  line += ": ";
  line += message.text;
  return line;
}

std::optional<LoadMessage> ParseLoadMessage(std::string_view line) {
  std::string_view rest = line;
  if (!Consume(&rest, kPrefix)) return std::nullopt;
  LoadMessage message;
  // Keys are the "%i" numbers and MaxNum: no space, comma or colon in them.
  const size_t key_end = rest.find_first_of(" ,:");
  if (key_end == 0 || key_end == std::string_view::npos) return std::nullopt;
  message.key = rest.substr(0, key_end);
  rest.remove_prefix(key_end);
  for (const StateWord& state : kStateWords) {
    if (Consume(&rest, state.word)) {
      message.state = state.state;
      break;
    }
  }
  if (Consume(&rest, kFieldMark)) {
    // Field names are property names: a word without a colon.
    const size_t field_end = rest.find(':');
    if (field_end == 0 || field_end == std::string_view::npos) return std::nullopt;
    message.field = rest.substr(0, field_end);
    rest.remove_prefix(field_end);
  }
  if (!Consume(&rest, ": ")) return std::nullopt;
  message.text = rest;
  return message;
}

}  // namespace core::registry
