// The load's problems and their one shape in the log: "Trigger key K[ state][, field F]: text".
#include "core/registry/load_log.h"

#include "core/triggers/line_scanner.h"

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

Severity SeverityOf(LineState state) {
  switch (state) {
    case LineState::Skipped:
    case LineState::NotRegistered:
      return Severity::Error;
    case LineState::NotRead:
      // Often the remains of a longer list, which a save leaves behind: worth knowing, not a
      // fault by itself.
      return Severity::Note;
    case LineState::Loaded:
      break;
  }
  return Severity::Warning;
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

void LoadReport::StartLine(std::string key, std::string_view line) {
  key_ = std::move(key);
  line_ = line;
  trigger_.reset();
}

automation::HResult LoadReport::Add(LineState state, const std::string& field,
                                    const std::string& text) {
  LoadProblem problem{{key_, state, field, text}, std::nullopt, std::nullopt, SeverityOf(state)};
  int32_t id = 0;
  std::string keyword, name;
  const int read = triggers::ScanLine(line_, "%d,%[^,],%[^,]", {&id, &keyword, &name});
  if (read >= 2) problem.id = id;
  if (read >= 3) problem.name = name;
  const automation::HResult hr =
      write_log_ ? host_.WriteLog(FormatLoadMessage(problem.message)) : automation::kOk;
  problems_.push_back(std::move(problem));
  made_.push_back(trigger_);
  return hr;
}

std::vector<LoadProblem> LoadReport::Finish() {
  for (size_t i = 0; i < problems_.size(); ++i) {
    const std::shared_ptr<triggers::CTrigger> trigger = made_[i].lock();
    if (problems_[i].message.state == LineState::Loaded && trigger &&
        trigger->Flags().registered != 1) {
      problems_[i].severity = Severity::Error;
    }
  }
  made_.clear();
  return std::move(problems_);
}

}  // namespace core::registry
