// The trigger records a project's triggers register, kept as a simulator keeps them but without
// running anything: what "SimCommand" brings while the add-in loads, saves and exports a project.
// A record that passes the checks every simulator makes (project/records.h) is held by trigger id,
// a later one replacing it; the interrupt source table is handed out on request. Other commands
// fail: none of those operations sends one.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/automation/hresult.h"
#include "project/interrupt_source_table.h"

namespace trigger_check {

class RecordKeeper {
 public:
  void SetSources(std::vector<project::InterruptSource> sources) { sources_ = std::move(sources); }
  const std::vector<project::InterruptSource>& sources() const { return sources_; }

  // One "SimCommand" block, a trigger record or a command block; *reply receives the reply block
  // (malloc'ed, the caller's) or null. A refused record answers S_OK with its refusal word, as a
  // simulator does, and *refusal says why; otherwise *refusal is left empty.
  core::automation::HResult Command(const uint8_t* block, void** reply, std::string* refusal);

  // The records held, by trigger id, each the whole block.
  const std::map<int32_t, std::vector<uint8_t>>& records() const { return records_; }

 private:
  std::vector<project::InterruptSource> sources_;
  std::map<int32_t, std::vector<uint8_t>> records_;
};

}  // namespace trigger_check
