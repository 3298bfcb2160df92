// The trigger dialogs' rules.
#include "core/window/dialog_rules.h"

#include <algorithm>
#include <utility>

#include "core/addin/help_path.h"
#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/triggers/generate_data.h"

namespace core::window {

using automation::EqualsIgnoreCase;

bool IsWellFormedNumber(std::string_view text) {
  if (text.empty()) return false;
  const automation::NumberRead<uint32_t> read = automation::ReadUnsigned(text);
  return read.consumed == text.size() && read.value < 0x80000000u;
}

int SpinPosition(std::string_view text, int lower, int upper) {
  const int position = static_cast<int>(automation::ReadUnsigned(text).value & 0xFFFFu);
  return std::clamp(position, std::min(lower, upper), std::max(lower, upper));
}

NumberBox NumberBoxOf(const std::string& own_number) {
  NumberBox box;
  box.items.push_back("new");
  if (!IsNew(own_number)) {
    box.items.push_back(own_number);
    box.selected = 1;
  }
  return box;
}

bool IsNew(std::string_view number_text) { return EqualsIgnoreCase(number_text, "new"); }

int FindExact(const std::vector<std::string>& items, std::string_view text) {
  if (text.empty()) return -1;
  for (size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoreCase(items[i], text)) return static_cast<int>(i);
  }
  return -1;
}

int FindPrefix(const std::vector<std::string>& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].size() >= text.size() &&
        EqualsIgnoreCase(std::string_view(items[i]).substr(0, text.size()), text)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::vector<FieldTest> OkTests(EditKind kind, bool data_kind) {
  switch (kind) {
    case EditKind::Transfer:
      return {{Field::Name, Rule::NotEmpty},
              {Field::Count, Rule::Number},
              {Field::Size, Rule::NotEmpty},
              {Field::Source, Rule::NotEmpty},
              {Field::SrcMode, Rule::NotEmpty},
              {Field::SrcModeValue, Rule::NumberIfEnabled},
              {Field::Destination, Rule::NotEmpty},
              {Field::DstMode, Rule::NotEmpty},
              {Field::DstModeValue, Rule::NumberIfEnabled},
              {Field::Cycle, Rule::Number},
              {Field::Wait, Rule::Number}};
    case EditKind::Stream: {
      std::vector<FieldTest> tests = {{Field::Name, Rule::NotEmpty},
                                      {Field::Destination, Rule::NotEmpty},
                                      {Field::Size, Rule::NotEmpty},
                                      {Field::DstMode, Rule::NotEmpty}};
      if (data_kind) {
        tests.insert(tests.end(), {{Field::DataList, Rule::NotEmpty},
                                   {Field::SrcMode, Rule::NotEmpty},
                                   {Field::DataList, Rule::Pattern}});
      } else {
        tests.push_back({Field::StreamSource, Rule::NotEmpty});
      }
      // The count is tested in both kinds, even while its field is disabled.
      tests.insert(tests.end(), {{Field::Count, Rule::Number},
                                 {Field::Cycle, Rule::Number},
                                 {Field::Wait, Rule::Number}});
      return tests;
    }
    case EditKind::Interrupt:
      return {{Field::Name, Rule::NotEmpty},
              {Field::Destination, Rule::NotEmpty},
              {Field::Cycle, Rule::Number},
              {Field::Wait, Rule::Number}};
    case EditKind::Connect:
      return {{Field::Name, Rule::NotEmpty}, {Field::Destination, Rule::NotEmpty}};
    case EditKind::IOStream:
      return {{Field::Destination, Rule::Number}};
    case EditKind::Control:
      return {};
  }
  return {};
}

bool Passes(const FieldTest& test, const DialogData& data, bool enabled) {
  const std::string& text = data[test.field];
  switch (test.rule) {
    case Rule::NotEmpty:
      return !text.empty();
    case Rule::Number:
      return IsWellFormedNumber(text);
    case Rule::NumberIfEnabled:
      return !enabled || IsWellFormedNumber(text);
    case Rule::Pattern:
      return !PatternHasError(data[Field::SrcMode], data[Field::Size], text);
  }
  return true;
}

FailureMessage FailureMessageOf(EditKind kind, const FieldTest& failed, bool enabled) {
  if (failed.rule == Rule::Pattern) return FailureMessage::BadPattern;
  if (enabled) return FailureMessage::None;
  if (kind == EditKind::Stream && failed.field == Field::Count) {
    return FailureMessage::DisabledCount;
  }
  if (kind == EditKind::Interrupt && failed.field == Field::Cycle) {
    return FailureMessage::DisabledCycle;
  }
  if (kind == EditKind::Interrupt && failed.field == Field::Wait) {
    return FailureMessage::DisabledWait;
  }
  return FailureMessage::None;
}

bool PatternHasError(std::string_view generate_mode, std::string_view size,
                     std::string_view data_list) {
  const triggers::GenerateData generator;
  uint32_t count = 0;
  if (EqualsIgnoreCase(generate_mode, "DEFAULT")) {
    triggers::ValueArea values{};
    return generator.ParseValueList(&count, &values, size, data_list);
  }
  if (EqualsIgnoreCase(generate_mode, "RANDOM")) {
    double min = 0, max = 0;
    return generator.ParseRealRange(data_list, &count, &min, &max);
  }
  if (EqualsIgnoreCase(generate_mode, "RANDOM2")) {
    uint32_t min = 0, max = 0;
    return generator.ParseWholeRange(data_list, &count, &min, &max);
  }
  return false;
}

InterruptEnabling InterruptEnablingOf(uint32_t source_value, bool clear_choice) {
  const bool never_cleared = source_value == 1;
  const bool clear = clear_choice && !never_cleared;
  return {!never_cleared, clear, !clear};
}

std::string SourceItemText(const SourceItem& item) {
  return automation::Format("%d:%s", item.code, item.name.c_str());
}

std::string SourceNameOf(std::string_view source_text) {
  const size_t colon = source_text.find(':');
  if (colon == std::string_view::npos) return std::string(source_text);
  const std::string_view after = source_text.substr(colon + 1);
  return std::string(after.empty() ? source_text.substr(0, colon) : after);
}

int ChooseSource(const std::vector<SourceItem>& items, const std::string& source_name) {
  const int32_t position = automation::LeadingDecimal(source_name);
  const bool by_position = position != 0 || source_name == "0";
  int chosen = -1;
  for (size_t i = 0; i < items.size(); ++i) {
    if ((by_position && static_cast<size_t>(position) == i) || items[i].name == source_name) {
      chosen = static_cast<int>(i);
    }
  }
  if (chosen >= 0) return chosen;
  // A name stored in another case still finds its source.
  for (size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoreCase(items[i].name, source_name)) chosen = static_cast<int>(i);
  }
  return chosen;
}

std::string InterruptTriggerName(bool clear, const std::string& source_name) {
  return (clear ? "clear" : "set") + source_name;
}

// ---- Connection dialog ----

ConnectionLists::ConnectionLists(const std::vector<OtherTrigger>& available,
                                 const std::vector<std::string>& members)
    : triggers_(available) {
  for (const OtherTrigger& other : available) available_.push_back({other.name, other.number});
  for (const std::string& member : members) {
    auto found = std::find_if(available_.begin(), available_.end(), [&](const Entry& entry) {
      return EqualsIgnoreCase(entry.name, member);
    });
    if (found == available_.end()) {
      connected_.push_back({member, -1});
    } else {
      // The member is saved as the user wrote it. The connect trigger finds its members by
      // their exact names, so one written in another case names no trigger there.
      connected_.push_back({member, found->name == member ? found->id : -1});
      available_.erase(found);
    }
  }
}

int ConnectionLists::Move(std::vector<Entry>& from, std::vector<Entry>& to, int index) {
  if (index < 0 || static_cast<size_t>(index) >= from.size()) return -1;
  to.push_back(std::move(from[static_cast<size_t>(index)]));
  from.erase(from.begin() + index);
  if (from.empty()) return -1;
  return std::min(index, static_cast<int>(from.size()) - 1);
}

int ConnectionLists::Add(int index) { return Move(available_, connected_, index); }
int ConnectionLists::Remove(int index) {
  if (index >= 0 && static_cast<size_t>(index) < connected_.size()) {
    Entry& entry = connected_[static_cast<size_t>(index)];
    for (const OtherTrigger& trigger : triggers_) {
      if (EqualsIgnoreCase(trigger.name, entry.name)) entry = {trigger.name, trigger.number};
    }
  }
  return Move(connected_, available_, index);
}

std::string ConnectionLists::ProposedName() const {
  std::string name = "trg";
  const char* separator = "";
  for (const Entry& entry : connected_) {
    if (entry.id < 0) continue;
    name += separator + std::to_string(entry.id);
    separator = "+";
  }
  return name;
}

std::vector<std::string> ConnectionLists::Members() const {
  std::vector<std::string> members;
  for (const Entry& entry : connected_) members.push_back(entry.name);
  return members;
}

const char* HelpTopic(EditKind kind) {
  switch (kind) {
    case EditKind::Interrupt:
      return addin::kInterruptDialogTopic;
    case EditKind::Stream:
      return addin::kStreamDialogTopic;
    case EditKind::Transfer:
      return addin::kTransferDialogTopic;
    case EditKind::IOStream:
      return addin::kIOStreamDialogTopic;
    case EditKind::Control:
      return addin::kControlDialogTopic;
    case EditKind::Connect:
      return addin::kConnectDialogTopic;
  }
  return "";
}

}  // namespace core::window
