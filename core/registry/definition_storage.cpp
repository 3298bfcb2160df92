// Saving the triggers to the project settings and loading them back.
#include "core/registry/definition_storage.h"

#include <optional>
#include <string>

#include "core/automation/strings.h"
#include "core/registry/trigger_action.h"
#include "core/triggers/line_scanner.h"

namespace core::registry {
namespace {

using automation::Format;

std::string KeyOf(int32_t index) { return Format("%i", index); }

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

HResult CTriggerAction::LoadTriggers() {
  int32_t expected = 0;
  if (bridge_.ReadProfileInt(kProfileSection, kLineCountKey, 0, &expected) != 0) {
    return automation::kFail;
  }
  LoadingScope loading(bridge_);

  int32_t found = 0;
  for (int32_t index = 0; index < triggers::kSlotCount && found < expected; ++index) {
    const std::string key = KeyOf(index);
    std::string line;
    bridge_.ReadProfileString(kProfileSection, key, "", &line);
    if (line.empty()) continue;
    ++found;

    // Every line that is not loaded is named in the host log with the reason, so that a trigger
    // missing after a load can be explained.
    int32_t id = 0;
    std::string keyword;
    if (triggers::ScanLine(line, "%d,%[^,]", {&id, &keyword}) != 2) {
      WriteLog(
          Format("Trigger key %s skipped: the line does not begin with a trigger id and a "
                 "kind keyword",
                 key.c_str()));
      continue;
    }
    // An id outside 100..355 names no slot. A store written by SaveTriggers holds none; such a
    // line is skipped rather than moved to some other slot under a number it does not carry.
    if (id < triggers::kIdBase || id >= triggers::kIdBase + triggers::kSlotCount) {
      WriteLog(Format("Trigger key %s skipped: trigger id %d is outside %d..%d", key.c_str(), id,
                      triggers::kIdBase, triggers::kIdBase + triggers::kSlotCount - 1));
      continue;
    }
    const int32_t slot = triggers::NumberOf(id);
    if (slots_[slot]) {
      WriteLog(Format("Trigger key %s skipped: trigger id %d is already taken by \"%s\"",
                      key.c_str(), id, slots_[slot]->GetNameText().c_str()));
      continue;
    }
    const std::optional<TriggerKind> kind = triggers::KindFromKeyword(keyword);
    if (!kind) {
      WriteLog(Format("Trigger key %s skipped: unknown trigger kind \"%s\"", key.c_str(),
                      keyword.c_str()));
      continue;
    }
    // Created as the registry creates any trigger: in the lowest free slot. A store written by
    // SaveTriggers carries ids without gaps, so that slot is the one the id names; a hand-made
    // store with gaps puts the trigger in another slot than its number, which the user is told,
    // because commands and deletion address a trigger by its slot.
    std::shared_ptr<CTrigger> made;
    if (automation::Failed(CreateTrigger(*kind, &made))) {
      WriteLog(Format("Trigger key %s skipped: no free slot", key.c_str()));
      continue;
    }
    const int32_t created = made->Number();
    if (created != slot) {
      WriteLog(Format("Trigger key %s: trigger id %d was loaded into slot %d", key.c_str(), id,
                      created));
    }
    // The kind's parser logs its own refusals; whatever it makes of the line, the trigger stays.
    // The adapter may be gone after this call (the window's refresh can purge it).
    slots_[created]->SetDefinition(line);
  }
  if (found < expected) {
    WriteLog(Format("Trigger settings list %d lines under \"%s\" but only %d were found", expected,
                    kLineCountKey, found));
  }
  return automation::kOk;
}

}  // namespace core::registry
