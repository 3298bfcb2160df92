// The detached context and the portable window-message numbering.
#include "core/triggers/trigger_context.h"

#include "core/automation/strings.h"

namespace core::triggers {

HResult TriggerContext::WriteFieldLog(const std::string&, const std::string& text) {
  return WriteLog(text);
}
void TriggerContext::NoteProblem(Problem, const std::string&, const std::string&) {}

HResult DetachedContext::CheckNameUniqueExcept(const std::string&, int32_t) {
  return automation::kFail;
}
HResult DetachedContext::CheckInterruptSource(const std::string&) { return automation::kFail; }
HResult DetachedContext::ResolveInterruptSource(const std::string&, int32_t*) {
  return automation::kOk;
}
int32_t DetachedContext::FindNumberByName(const std::string&) { return -1; }
void TriggerContext::NameChanged(const CTrigger&) {}
int DetachedContext::DefineTrigger(int32_t, const std::string&, const std::vector<uint8_t>&, bool) {
  return 1;
}
int DetachedContext::SetEventName(int32_t, const std::string&, const std::string*) { return 1; }
HResult DetachedContext::Evaluate(const std::string&, int32_t*) { return automation::kFail; }
HResult DetachedContext::WriteLog(const std::string&) { return automation::kDispUnknownInterface; }
uint32_t DetachedContext::RegisterMessageName(const std::string& name) {
  return PortableWindowMessage(name);
}

uint32_t PortableWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  uint32_t hash = 2166136261u;  // FNV-1a over the lower-cased name
  for (char c : name) {
    hash ^= static_cast<uint8_t>(automation::ToLowerAscii(c));
    hash *= 16777619u;
  }
  return 0xC000u + hash % 0x4000u;
}

}  // namespace core::triggers
