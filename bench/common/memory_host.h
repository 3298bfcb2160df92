// A host that keeps everything in memory, for the native benchmarks and their tests: project
// settings in maps, a simulator that accepts every record and knows the interrupt sources the
// benchmark lines name, an event list that takes every name and an evaluator of numerals. Its
// calls cost little, so what is measured through it is the add-in's own work.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bench/common/project_lines.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"

namespace bench {

// The project settings: section, then key.
using Settings = std::map<std::string, std::map<std::string, std::string>>;

// The host, its settings and a bridge to it. The settings may be filled before a load and read
// after a save.
class MemoryHost {
 public:
  MemoryHost();
  MemoryHost(const MemoryHost&) = delete;
  MemoryHost& operator=(const MemoryHost&) = delete;

  // The lines under "Trigger" as SaveTriggers writes them: "MaxNum" and one key per line.
  void StoreLines(const std::vector<ProjectLine>& lines);

  Settings settings;
  core::bridge::HostAccess host;
  core::bridge::CTriggerCommand bridge{host};
};

}  // namespace bench
