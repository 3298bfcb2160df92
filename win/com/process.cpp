// Process-wide state.
#include "win/com/process.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace win::com {
namespace {

using core::automation::HResult;

// More distinct message names than any project has; past it the remembered ones are forgotten.
constexpr size_t kRememberedMessageNames = 4096;

void (*g_refresh)() = nullptr;
std::shared_ptr<core::triggers::TriggerContext> g_registry;

// Registry checks go to the process-wide registry when there is one and fail cleanly when there
// is none; everything else goes to the process's services.
class ProgIdContext : public core::triggers::TriggerContext {
 public:
  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) override {
    auto registry = g_registry;
    return registry ? registry->CheckNameUniqueExcept(name, number) : core::automation::kFail;
  }
  HResult CheckInterruptSource(const std::string& source) override {
    auto registry = g_registry;
    return registry ? registry->CheckInterruptSource(source) : core::automation::kFail;
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    auto registry = g_registry;
    return registry ? registry->ResolveInterruptSource(source, code) : core::automation::kOk;
  }
  int32_t FindNumberByName(const std::string& name) override {
    auto registry = g_registry;
    return registry ? registry->FindNumberByName(name) : -1;
  }
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator) override {
    return ProcessServices::DefineTrigger(id, name, record, in_simulator);
  }
  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    return ProcessServices::SetEventName(id, name, previous);
  }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    return ProcessServices::Evaluate(expression, value);
  }
  HResult WriteLog(const std::string& text) override { return ProcessServices::WriteLog(text); }
  void RefreshTriggerWindow() override { ProcessServices::RefreshTriggerWindow(); }
  uint32_t RegisterMessageName(const std::string& name) override {
    return ProcessServices::RegisterMessageName(name);
  }
};

}  // namespace

core::bridge::HostAccess& ProcessHost() {
  // Never destroyed, like the bridge: an application still held at unload is not released.
  static core::bridge::HostAccess* const host = new core::bridge::HostAccess;
  return *host;
}

core::bridge::CTriggerCommand& ProcessBridge() {
  // Made once and never destroyed: the services it still holds when the module unloads (the
  // evaluator stays cached for the life of the process) belong to a host that may be gone by then,
  // so they are not released.
  static core::bridge::CTriggerCommand* const bridge =
      new core::bridge::CTriggerCommand(ProcessHost());
  return *bridge;
}

int ProcessServices::DefineTrigger(int32_t id, const std::string& name,
                                   const std::vector<uint8_t>& record, bool in_simulator) {
  return ProcessBridge().DefineTrigger(id, name, record, in_simulator);
}
int ProcessServices::SetEventName(int32_t id, const std::string& name,
                                  const std::string* previous) {
  return ProcessBridge().SetEventName(id, name, previous);
}
HResult ProcessServices::Evaluate(const std::string& expression, int32_t* value) {
  return ProcessBridge().Evaluate(expression, value);
}
HResult ProcessServices::WriteLog(const std::string& text) { return ProcessHost().WriteLog(text); }
void ProcessServices::RefreshTriggerWindow() {
  if (g_refresh) g_refresh();
}
uint32_t ProcessServices::RegisterMessageName(const std::string& name) {
  // A registered name keeps its number for the session, and every registration is a round trip
  // to the window server (under Wine, to the wineserver; a load of a project registers a name for
  // each message trigger), so the numbers are remembered. Failures are not.
  static std::mutex mutex;
  static auto* const numbers = new std::unordered_map<std::string, uint32_t>();
  {
    std::lock_guard<std::mutex> lock(mutex);
    const auto known = numbers->find(name);
    if (known != numbers->end()) return known->second;
  }
  const UINT number = ::RegisterWindowMessageA(name.c_str());
  if (number != 0) {
    std::lock_guard<std::mutex> lock(mutex);
    if (numbers->size() >= kRememberedMessageNames) numbers->clear();
    numbers->emplace(name, number);
  }
  return number;
}

void SetTriggerWindowRefresh(void (*refresh)()) { g_refresh = refresh; }

void SetProcessRegistryContext(std::shared_ptr<core::triggers::TriggerContext> registry) {
  g_registry = std::move(registry);
}
std::shared_ptr<core::triggers::TriggerContext> ProcessRegistryContext() { return g_registry; }

std::shared_ptr<core::triggers::TriggerContext> ProcessTriggerContext() {
  static const auto context = std::make_shared<ProgIdContext>();
  return context;
}

}  // namespace win::com
