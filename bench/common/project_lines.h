// The project the benchmarks load: 256 definition lines of all ten kinds, as SaveTriggers writes
// them (ids 100 to 355 without gaps, keywords and texts in the form the triggers store), so that a
// trigger reading one renders it again unchanged. Both the native benchmarks and the Windows one
// use it; the Windows one also writes the interrupt sources into its project file.
#pragma once

#include <string>
#include <vector>

#include "core/triggers/kinds.h"

namespace bench {

inline constexpr int kProjectLineCount = 256;

// The interrupt sources the lines name, in the table's order.
const std::vector<std::string>& InterruptSourceNames();

struct ProjectLine {
  core::triggers::TriggerKind kind;
  std::string text;
};

// Every kind in turn; the stream kind alternates between a value list, the two random patterns
// and a memory stream. Addresses are numerals, so that any evaluator takes them. Connect and
// control lines name triggers of lower ids only, which are loaded before them.
std::vector<ProjectLine> ProjectLines();

}  // namespace bench
