// The add-in's command-target rules.
#include "core/addin/command_target.h"

#include "core/automation/strings.h"

namespace core::addin {

NamedObject FindNamedObject(const std::string& name) {
  const size_t dot = name.find('.');
  const std::string_view wanted =
      dot == std::string::npos ? std::string_view(name) : std::string_view(name).substr(dot + 1);
  if (automation::EqualsIgnoreCase(wanted, "TriggerAction")) return NamedObject::TriggerAction;
  if (automation::EqualsIgnoreCase(wanted, "Version")) return NamedObject::Version;
  return NamedObject::None;
}

NotificationEffect EffectOf(int32_t code) {
  switch (code) {
    case 0x2002:
      return NotificationEffect::ObtainMemoryCommand;
    case 0x2003:
      return NotificationEffect::ReleaseMemoryCommand;
    case 0x2011:
    case 0x2200:
    case 0x2901:
      return NotificationEffect::RefreshActiveFlags;
    default:
      return NotificationEffect::None;
  }
}

void QueryStatus(int32_t command, int32_t* status) {
  if (command == kTriggerCommand && status != nullptr) *status = kCommandEnabled;
}

std::string WindowKindKey(uint32_t kind, uint32_t index) {
  return automation::Format("%03X%03X", static_cast<unsigned>(kind), static_cast<unsigned>(index));
}

}  // namespace core::addin
