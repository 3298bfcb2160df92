// Saving the triggers to the project settings and loading them back.
#include "core/registry/definition_storage.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/automation/strings.h"
#include "core/registry/line_transfer.h"
#include "core/registry/trigger_action.h"
#include "core/triggers/line_scanner.h"

namespace core::registry {
namespace {

using automation::Format;

std::string KeyOf(int32_t index) { return automation::DecimalText(index); }

// The bridge's Loading flag for the length of a load, cleared however the load ends.
class LoadingScope {
 public:
  explicit LoadingScope(bridge::CTriggerCommand& bridge) : bridge_(bridge) {
    bridge_.SetLoading(true);
  }
  ~LoadingScope() { bridge_.SetLoading(false); }
  LoadingScope(const LoadingScope&) = delete;
  LoadingScope& operator=(const LoadingScope&) = delete;

 private:
  bridge::CTriggerCommand& bridge_;
};

}  // namespace

HResult CTriggerAction::SaveTriggers() {
  bridge_.WriteProfileInt(kProfileSection, kLineCountKey, count_);
  int32_t index = 0;
  for (std::unique_ptr<rows::TriggerInfo>& adapter : slots_) {
    if (!adapter) continue;
    // Lines carry the ids 100, 101, ... without gaps; the trigger keeps its slot until the project
    // is loaded again.
    const std::string key = KeyOf(index);
    adapter->SetNumber(key);
    const std::string line = adapter->GetDefinitionText();
    if (line.empty()) {
      // A stream trigger whose source kind is neither data nor stream renders no line; loading
      // skips the empty value, so the user learns here that this trigger will not come back.
      WriteLog(Format("Trigger \"%s\" saved without a definition line: it will not be loaded again",
                      adapter->GetNameText().c_str()));
    }
    bridge_.WriteProfileString(kProfileSection, key, line);
    ++index;
  }
  return automation::kOk;
}

HResult CTriggerAction::LoadTriggers(std::vector<LoadProblem>* problems) {
  int32_t expected = 0;
  if (bridge_.ReadProfileInt(kProfileSection, kLineCountKey, 0, &expected) != 0) {
    return automation::kFail;
  }
  LoadingScope loading(bridge_);

  // Every line that is not loaded, and everything wrong with a line that is, is a problem in the
  // report, which writes it to the host log naming the line's key (load_log.h), so that a trigger
  // missing or behaving oddly after a load can be traced to its line.
  LoadReport report(host_);
  int32_t found = 0;
  for (int32_t index = 0; index < triggers::kSlotCount && found < expected; ++index) {
    const std::string key = KeyOf(index);
    std::string line;
    bridge_.ReadProfileString(kProfileSection, key, "", &line);
    if (line.empty()) continue;
    ++found;
    report.StartLine(key, line);

    int32_t id = 0;
    std::string keyword;
    if (triggers::ScanLine(line, "%d,%[^,]", {&id, &keyword}) != 2) {
      report.Add(LineState::Skipped, "",
                 "the line does not begin with a trigger id and a kind keyword");
      continue;
    }
    // An id outside 100..355 names no slot. A store written by SaveTriggers holds none; such a
    // line is skipped rather than moved to some other slot under a number it does not carry.
    if (id < triggers::kIdBase || id >= triggers::kIdBase + triggers::kSlotCount) {
      report.Add(LineState::Skipped, "",
                 Format("trigger id %d is outside %d..%d", id, triggers::kIdBase,
                        triggers::kIdBase + triggers::kSlotCount - 1));
      continue;
    }
    const int32_t slot = triggers::NumberOf(id);
    if (slots_[slot]) {
      report.Add(LineState::Skipped, "",
                 Format("trigger id %d is already taken by \"%s\"", id,
                        slots_[slot]->GetNameText().c_str()));
      continue;
    }
    const std::optional<TriggerKind> kind = triggers::KindFromKeyword(keyword);
    if (!kind) {
      report.Add(LineState::Skipped, "", Format("unknown trigger kind \"%s\"", keyword.c_str()));
      continue;
    }
    // Created as the registry creates any trigger: in the lowest free slot. A store written by
    // SaveTriggers carries ids without gaps, so that slot is the one the id names; a hand-made
    // store with gaps puts the trigger in another slot than its number, which the user is told,
    // because commands and deletion address a trigger by its slot.
    std::shared_ptr<CTrigger> made;
    if (automation::Failed(CreateTrigger(*kind, &made))) {
      report.Add(LineState::Skipped, "", "no free slot");
      continue;
    }
    report.LineMade(made);
    const int32_t created = made->Number();
    if (created != slot) {
      report.Add(LineState::Loaded, "",
                 Format("trigger id %d was loaded into slot %d", id, created));
    }
    // The kind's parser logs its refusals and notes what else it did not take; whatever it makes
    // of the line, the trigger stays. The adapter may be gone after this call (the window's
    // refresh can purge it); the trigger itself is held here.
    bool reason_given = false;
    {
      LineScope scope(*this, report, &reason_given);
      slots_[created]->SetDefinition(line);
    }
    if (made->Flags().registered == 0 && !reason_given) {
      report.Add(LineState::NotRegistered, "", "its trigger was not defined in the simulator");
    }
    // Names from a line are taken unchecked; two alike make look-ups by name find only one. (An
    // empty name was told already: it keeps the trigger out of the simulator.)
    const std::string& name = made->Name();
    if (name.empty()) continue;
    const int32_t other = names_.FindExact(name, created);
    if (other >= 0) {
      report.Add(LineState::Loaded, "Name",
                 Format("\"%s\" is also the name of trigger %d; look-ups by name find the one in "
                        "slot %d",
                        name.c_str(), slots_[other]->GetTrigger()->Id(), std::min(other, created)));
    }
  }
  if (found < expected) {
    report.StartLine(kLineCountKey, {});
    report.Add(LineState::Loaded, "",
               Format("it counts %d lines but only %d %s found", expected, found,
                      found == 1 ? "was" : "were"));
  }
  std::vector<LoadProblem> found_problems = report.Finish();
  if (problems != nullptr) *problems = std::move(found_problems);
  return automation::kOk;
}

}  // namespace core::registry

namespace core::registry {

CTriggerAction::PlacedLine CTriggerAction::PlaceLine(const std::string& line, int32_t slot) {
  PlacedLine placed;
  LoadReport report(host_, false);
  report.StartLine({}, line);
  const auto refuse = [&](const std::string& text) {
    report.Add(LineState::Skipped, "", text);
    for (LoadProblem& problem : report.Finish()) placed.messages.push_back(problem.message);
    return placed;
  };
  int32_t id = 0;
  std::string keyword;
  if (triggers::ScanLine(line, "%d,%[^,]", {&id, &keyword}) != 2) {
    return refuse("the line does not begin with a trigger id and a kind keyword");
  }
  const std::optional<TriggerKind> kind = triggers::KindFromKeyword(keyword);
  if (!kind) return refuse(Format("unknown trigger kind \"%s\"", keyword.c_str()));
  std::shared_ptr<CTrigger> made;
  const HResult created = triggers::IsValidNumber(slot) && !slots_[slot]
                              ? Install(*kind, slot, &made)
                              : CreateTrigger(*kind, &made);
  if (automation::Failed(created)) return refuse("no free slot");
  const int32_t number = made->Number();
  const std::string own = ReplaceLineHead(line, triggers::IdOf(number), std::nullopt);
  report.StartLine({}, own);
  report.LineMade(made);
  bool reason_given = false;
  {
    LineScope scope(*this, report, &reason_given);
    slots_[number]->SetDefinition(own);
  }
  const bool registered = made->Flags().registered != 0;
  if (!registered && !reason_given) {
    report.Add(LineState::NotRegistered, "", "its trigger was not defined in the simulator");
  }
  for (LoadProblem& problem : report.Finish()) placed.messages.push_back(problem.message);
  if (registered) {
    placed.slot = number;
  } else if (slots_[number] && slots_[number]->GetTrigger() == made) {
    DeleteSlot(number);
  }
  return placed;
}

}  // namespace core::registry
