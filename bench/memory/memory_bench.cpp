// Memory held by the triggers natively: for each kind, what one trigger with its row adapter keeps
// after its line is loaded (the mean over the benchmark project's triggers of that kind), and what
// a registry holding the whole project of 256 triggers keeps. Bytes are those asked of operator
// new, without the allocator's own overhead. The COM peer of each kind is measured under Wine
// (bench/win).
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/common/counting_allocator.h"
#include "bench/common/memory_host.h"
#include "bench/common/project_lines.h"
#include "bench/common/rows.h"
#include "core/automation/strings.h"
#include "core/registry/trigger_action.h"
#include "core/rows/trigger_info.h"
#include "core/triggers/kinds.h"
#include "core/triggers/line_scanner.h"

namespace {

using core::automation::Format;
using core::registry::CTriggerAction;

struct KindTotal {
  long long bytes = 0;
  size_t blocks = 0;
  int count = 0;
};

}  // namespace

int main() {
  const std::vector<bench::ProjectLine> lines = bench::ProjectLines();
  bench::MemoryHost host;
  host.StoreLines(lines);
  {
    // The bridge keeps the host's services once it has them; a first load obtains them.
    CTriggerAction warm(host.bridge, host.host);
    warm.LoadTriggers();
  }

  // One trigger at a time, as a load makes it: created by its keyword, then given its line.
  std::map<core::triggers::TriggerKind, KindTotal> kinds;
  {
    CTriggerAction registry(host.bridge, host.host);
    registry.SourceCount();  // the interrupt sources are the registry's, fetched once
    for (const bench::ProjectLine& line : lines) {
      int32_t id = 0;
      std::string keyword;
      core::triggers::ScanLine(line.text, "%d,%[^,]", {&id, &keyword});
      bench::AllocationScope scope;
      core::automation::Variant made;
      registry.CreateTriggerByKeyword(keyword, &made);
      static_cast<core::rows::TriggerInfo*>(made.Pointer())->SetDefinition(line.text);
      KindTotal& total = kinds[line.kind];
      total.bytes += scope.held();
      total.blocks += static_cast<size_t>(scope.blocks());
      ++total.count;
    }
  }
  for (const auto& [kind, total] : kinds) {
    bench::PrintMemory(Format("trigger and row adapter, %s", core::triggers::InfoOf(kind).keyword),
                       static_cast<size_t>(total.bytes / total.count),
                       Format("mean of %d triggers of the benchmark project", total.count));
  }

  long long held = 0;
  {
    bench::AllocationScope scope;
    auto registry = std::make_unique<CTriggerAction>(host.bridge, host.host);
    registry->LoadTriggers();
    held = scope.held();
    if (registry->Count() != bench::kProjectLineCount) {
      std::fprintf(stderr, "the benchmark project did not load whole\n");
      return 1;
    }
  }
  bench::PrintMemory("registry of 256 triggers, without COM peers", static_cast<size_t>(held),
                     "the registry, its triggers, row adapters and interrupt sources");
  return 0;
}
