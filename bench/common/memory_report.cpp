// The memory rows.
#include "bench/common/memory_report.h"

#include <cstdio>
#include <map>
#include <vector>

#include "bench/common/counting_allocator.h"
#include "bench/common/memory_host.h"
#include "bench/common/project_lines.h"
#include "bench/common/rows.h"
#include "core/automation/strings.h"
#include "core/registry/trigger_action.h"
#include "core/rows/trigger_info.h"
#include "core/triggers/line_scanner.h"

namespace bench {
namespace {

using core::automation::Format;
using core::registry::CTriggerAction;

struct KindTotal {
  long long bytes = 0;
  size_t blocks = 0;
  int count = 0;
};

std::string KeywordOf(const std::string& line) {
  int32_t id = 0;
  std::string keyword;
  core::triggers::ScanLine(line, "%d,%[^,]", {&id, &keyword});
  return keyword;
}

}  // namespace

bool PrintMemoryRows(const MemoryReport& report) {
  const std::vector<ProjectLine> lines = ProjectLines();
  std::vector<std::string> keywords;
  for (const ProjectLine& line : lines) keywords.push_back(KeywordOf(line.text));
  MemoryHost host;
  host.StoreLines(lines);
  {
    // The bridge keeps the host's services once it has them; a first load obtains them.
    CTriggerAction warm(host.bridge, host.host, report.hooks);
    warm.LoadTriggers();
  }

  // One trigger at a time, as a load makes it: created by its keyword, then given its line. The
  // registry here has no hooks. The memory that the platform name keys hold belongs to the
  // registry: it shows in the registry row below, not in the row of the kind whose load looked
  // names up.
  std::map<core::triggers::TriggerKind, KindTotal> kinds;
  {
    CTriggerAction registry(host.bridge, host.host);
    registry.SourceCount();  // the interrupt sources are the registry's, fetched once
    for (size_t i = 0; i < lines.size(); ++i) {
      AllocationScope scope;
      core::automation::Variant made;
      registry.CreateTriggerByKeyword(keywords[i], &made);
      auto* adapter = static_cast<core::rows::TriggerInfo*>(made.Pointer());
      if (adapter == nullptr) {
        std::fprintf(stderr, "memory: %s was not created\n", lines[i].text.c_str());
        return false;
      }
      adapter->SetDefinition(lines[i].text);
      if (report.make_peer) report.make_peer(adapter->GetTrigger());
      KindTotal& total = kinds[lines[i].kind];
      total.bytes += scope.held();
      total.blocks += scope.blocks();
      ++total.count;
    }
  }
  for (const auto& [kind, total] : kinds) {
    PrintMemory(Format("%s, %s%s", report.holding.c_str(), core::triggers::InfoOf(kind).stem,
                       report.where.c_str()),
                static_cast<size_t>(total.bytes / total.count),
                Format("mean of %d triggers of the benchmark project", total.count));
  }

  // The whole project through a load, as the host has it loaded.
  long long held = 0;
  {
    AllocationScope scope;
    auto registry = std::make_unique<CTriggerAction>(host.bridge, host.host, report.hooks);
    registry->LoadTriggers();
    if (registry->Count() != kProjectLineCount) {
      std::fprintf(stderr, "memory: the benchmark project did not load whole\n");
      return false;
    }
    if (report.make_peer) {
      for (int32_t number = 0; number < kProjectLineCount; ++number) {
        report.make_peer(registry->GetTriggerByNumber(number));
      }
    }
    held = scope.held();
  }
  PrintMemory(
      Format("registry of %d triggers%s%s", kProjectLineCount,
             report.make_peer ? " with their automation objects" : "", report.where.c_str()),
      static_cast<size_t>(held), "the registry, its triggers, adapters and interrupt sources");
  return true;
}

}  // namespace bench
