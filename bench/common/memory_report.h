// Memory held by the triggers: for each kind, what one trigger with its row adapter keeps after
// its line is loaded (the mean over the benchmark project's triggers of that kind), and what a
// registry holding the whole project keeps; printed as memory rows. Bytes are those asked of
// operator new (the program must link counting_allocator.cpp), without the allocator's own
// overhead. On Windows each trigger's automation object can be counted with it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/registry/trigger_action.h"
#include "core/triggers/trigger.h"

namespace bench {

struct MemoryReport {
  // Makes the trigger's automation object and keeps it alive until the report is done; empty
  // where there is none (natively).
  std::function<void(const std::shared_ptr<core::triggers::CTrigger>&)> make_peer;
  // What the rows call a trigger with all it holds: "trigger and row adapter", say.
  std::string holding;
  // Added to each row's name: " (Wine)".
  std::string where;
  // Around the registries, as the platform has them (on Windows the name keys of the user's
  // locale, which the registry keeps per slot).
  core::registry::WindowHooks hooks;
};

// False, with a message on standard error, when the project did not load whole.
bool PrintMemoryRows(const MemoryReport& report);

}  // namespace bench
