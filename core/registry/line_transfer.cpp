// Copy, paste and undo of triggers as definition lines.
#include "core/registry/line_transfer.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "core/automation/strings.h"
#include "core/registry/list_export.h"
#include "core/registry/trigger_action.h"
#include "core/triggers/definition_lines.h"
#include "core/triggers/numbering.h"

namespace core::registry {
namespace {

using automation::Format;
using triggers::TriggerKind;

constexpr char kLogPrefix[] = "Trigger add-in: ";

std::string_view Trimmed(std::string_view text) {
  const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

// The field of a line between two commas, by index from 0 (the id).
std::string_view Field(std::string_view line, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    const size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  return line.substr(start, line.find(',', start) - start);
}

std::optional<TriggerKind> KindOfLine(std::string_view line) {
  return triggers::KindFromKeyword(Field(line, 1));
}

// What a line gives the log when it was refused: the first message that says why no trigger
// was kept, or else its first message, or a general reason.
std::string Reason(const CTriggerAction::PlacedLine& placed) {
  const auto text_of = [](const LoadMessage& message) {
    return message.field.empty() ? message.text : message.field + ": " + message.text;
  };
  for (const LoadMessage& message : placed.messages) {
    if (message.state != LineState::Loaded) return text_of(message);
  }
  if (!placed.messages.empty()) return text_of(placed.messages.front());
  return "its trigger was not defined in the simulator";
}

// A name no trigger bears and no name in `taken` is, as new triggers are named.
std::string UniqueName(const CTriggerAction& registry, const std::string& name,
                       const std::set<std::string>& taken) {
  return triggers::MakeUniqueName(name, [&](const std::string& candidate) {
    return taken.count(candidate) != 0 || automation::Failed(registry.CheckNameUnique(candidate));
  });
}

// The line with the names of other pasted triggers in it (connect members, a control target)
// replaced by their new names.
std::string FollowRenames(const std::string& line, TriggerKind kind,
                          const std::map<std::string, std::string>& renamed) {
  const auto renamed_to = [&](std::string_view name) {
    const auto found = renamed.find(std::string(name));
    return found == renamed.end() ? std::string(name) : found->second;
  };
  if (kind == TriggerKind::Connect) {
    triggers::ConnectLine fields;
    fields.Read(line);
    std::vector<std::string> members;
    const size_t count = triggers::ConnectLine::Split(
        fields.members,
        [&](size_t, std::string_view piece) { members.push_back(renamed_to(piece)); });
    return triggers::ConnectLine::Write(fields.id, fields.name, members, count);
  }
  if (kind == TriggerKind::Control) {
    triggers::ControlLine fields;
    fields.Read(line);
    const std::string target = renamed_to(fields.target);
    fields.target = target;
    return fields.Write();
  }
  return line;
}

// Connect triggers name their members and control triggers their target: those come after the
// kinds that name no trigger, control last, since it may stop a connect trigger.
int PasteOrder(std::optional<TriggerKind> kind) {
  if (kind == TriggerKind::Connect) return 1;
  if (kind == TriggerKind::Control) return 2;
  return 0;
}

}  // namespace

std::string ReplaceLineHead(std::string_view line, std::optional<int32_t> id,
                            std::optional<std::string_view> name) {
  const size_t first = line.find(',');
  if (first == std::string_view::npos) return std::string(line);
  const size_t second = line.find(',', first + 1);
  std::string result = id ? automation::DecimalText(*id) : std::string(line.substr(0, first));
  if (second == std::string_view::npos) return result.append(line.substr(first));
  result.append(line.substr(first, second + 1 - first));
  const size_t third = std::min(line.find(',', second + 1), line.size());
  result.append(name ? *name : line.substr(second + 1, third - second - 1));
  return result.append(line.substr(third));
}

std::vector<std::string> DefinitionLinesIn(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos && equals < line.find(',')) {
      line = Trimmed(line.substr(equals + 1));
    }
    size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) {
      ++digits;
    }
    if (digits == 0 || digits + 1 >= line.size() || line[digits] != ',' ||
        !std::isalpha(static_cast<unsigned char>(line[digits + 1]))) {
      continue;
    }
    lines.emplace_back(line);
  }
  return lines;
}

std::string CopiedLines(const CTriggerAction& registry, const std::vector<int>& slots) {
  std::string text;
  for (const int slot : slots) {
    if (const rows::TriggerInfo* adapter = registry.AdapterAt(slot)) {
      const std::string line = adapter->GetDefinitionText();
      if (!line.empty()) text += line + "\r\n";
    }
  }
  return text;
}

std::string CopiedTable(const CTriggerAction& registry, const std::vector<int>& slots) {
  std::string header(kListHeader);
  header.pop_back();  // its line feed
  for (size_t comma; (comma = header.find(", ")) != std::string::npos;) {
    header.replace(comma, 2, "\t");
  }
  std::string text = header + "\r\n";
  for (const int slot : slots) {
    const rows::TriggerInfo* adapter = registry.AdapterAt(slot);
    if (adapter == nullptr) continue;
    for (size_t column = 0; column < rows::kColumnCount; ++column) {
      if (column != 0) text += '\t';
      text += (adapter->*rows::ListColumns()[column])();
    }
    text += "\r\n";
  }
  return text;
}

PasteResult PasteLines(CTriggerAction& registry, const std::vector<std::string>& lines) {
  // The names first, all of them, so that a reference to a trigger pasted later follows it too.
  std::map<std::string, std::string> renamed;
  std::set<std::string> taken;
  std::vector<std::string> heads(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string name(Field(lines[i], 2));
    const std::string unique = name.empty() ? name : UniqueName(registry, name, taken);
    taken.insert(unique);
    renamed.emplace(name, unique);  // the first of two alike is the one references find
    heads[i] = unique;
  }
  std::vector<size_t> order(lines.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return PasteOrder(KindOfLine(lines[a])) < PasteOrder(KindOfLine(lines[b]));
  });

  // The lines take the lowest free slots in their order, whatever the order they are made in.
  std::vector<int32_t> free_slots;
  for (int32_t slot = 0; slot < triggers::kSlotCount && free_slots.size() < lines.size(); ++slot) {
    if (registry.AdapterAt(slot) == nullptr) free_slots.push_back(slot);
  }
  free_slots.resize(lines.size(), -1);

  PasteResult result;
  std::vector<int32_t> slots(lines.size(), -1);
  std::vector<std::string> refusals(lines.size());
  for (const size_t i : order) {
    const std::optional<TriggerKind> kind = KindOfLine(lines[i]);
    std::string line = ReplaceLineHead(lines[i], std::nullopt, heads[i]);
    if (kind) line = FollowRenames(line, *kind, renamed);
    const CTriggerAction::PlacedLine placed = registry.PlaceLine(line, free_slots[i]);
    slots[i] = placed.slot;
    if (placed.slot < 0) {
      refusals[i] = Format("%sline \"%s\" not pasted: %s", kLogPrefix, lines[i].c_str(),
                           Reason(placed).c_str());
    }
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (slots[i] >= 0) result.slots.push_back(slots[i]);
    if (!refusals[i].empty()) result.refused.push_back(refusals[i]);
  }
  return result;
}

Snapshot TakeSnapshot(const CTriggerAction& registry) {
  Snapshot lines;
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    if (const rows::TriggerInfo* adapter = registry.AdapterAt(slot)) {
      lines[static_cast<size_t>(slot)] = adapter->GetDefinitionText();
    }
  }
  return lines;
}

std::vector<SlotChange> ChangesBetween(const Snapshot& before, const Snapshot& after) {
  std::vector<SlotChange> changes;
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    const std::string& was = before[static_cast<size_t>(slot)];
    const std::string& is = after[static_cast<size_t>(slot)];
    if (was != is) changes.push_back({slot, was, is});
  }
  return changes;
}

std::vector<std::string> TakeBack(CTriggerAction& registry,
                                  const std::vector<SlotChange>& changes) {
  std::vector<std::string> problems;
  const auto current = [&](int32_t slot) {
    const rows::TriggerInfo* adapter = registry.AdapterAt(slot);
    return adapter ? adapter->GetDefinitionText() : std::string();
  };
  const auto name_of = [](const std::string& line) { return std::string(Field(line, 2)); };
  // Triggers the command made or changed first, so that the slots and names of deleted ones are
  // free again when those come back.
  for (const SlotChange& change : changes) {
    if (change.after.empty()) continue;
    if (current(change.slot) != change.after) {
      problems.push_back(Format("%s\"%s\" changed since; it is left as it is", kLogPrefix,
                                name_of(change.after).c_str()));
      continue;
    }
    if (automation::Failed(registry.DeleteSlot(change.slot))) {
      problems.push_back(
          Format("%s\"%s\" could not be deleted", kLogPrefix, name_of(change.after).c_str()));
    }
  }
  for (const SlotChange& change : changes) {
    if (change.before.empty() || current(change.slot) == change.before) continue;
    const std::string name = name_of(change.before);
    const std::string unique = name.empty() ? name : UniqueName(registry, name, {});
    const std::string line = ReplaceLineHead(change.before, std::nullopt, std::string_view(unique));
    const CTriggerAction::PlacedLine placed = registry.PlaceLine(line, change.slot);
    if (placed.slot < 0) {
      problems.push_back(Format("%s\"%s\" could not be made again: %s", kLogPrefix, name.c_str(),
                                Reason(placed).c_str()));
    }
  }
  return problems;
}

}  // namespace core::registry
