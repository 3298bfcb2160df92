// The process-wide state of the add-in: the host application it is connected to, the bridge to
// the debugger services of the host, and the context of triggers made by their ProgIDs outside
// any registry (they use the checks of the process-wide registry once a connection has made one).
#pragma once

#include <windows.h>

#include <memory>

#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/triggers/trigger_context.h"

namespace win::com {

core::bridge::HostAccess& ProcessHost();
core::bridge::CTriggerCommand& ProcessBridge();

// What every trigger context of this process shares besides the registry: the bridge, the log,
// the trigger window's refresh and window-message registration.
class ProcessServices {
 public:
  static int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                           bool in_simulator);
  static int SetEventName(int32_t id, const std::string& name, const std::string* previous);
  static core::automation::HResult Evaluate(const std::string& expression, int32_t* value);
  static core::automation::HResult WriteLog(const std::string& text);
  static void RefreshTriggerWindow();
  static uint32_t RegisterMessageName(const std::string& name);
};

// The trigger window sets this while its document exists; the refresh runs it.
void SetTriggerWindowRefresh(void (*refresh)());

// The registry checks of the process-wide registry, while one exists (set by the connection).
void SetProcessRegistryContext(std::shared_ptr<core::triggers::TriggerContext> registry);
std::shared_ptr<core::triggers::TriggerContext> ProcessRegistryContext();

// The context of triggers made by their ProgIDs.
std::shared_ptr<core::triggers::TriggerContext> ProcessTriggerContext();

}  // namespace win::com
