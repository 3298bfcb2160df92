// Definition lines: the 256 lines of a project (all ten kinds) read with the pattern of each kind
// and written again. The line structs of the core do it beside the sscanf/snprintf reference
// doing the same fields, and beside the floor of merely scanning their bytes for commas.
//
// The round trip through the triggers themselves is measured too, for information. A trigger
// reads a line by a whole Definition write (the read of the line struct, the puts, the checks and
// Register with its record, through a context that accepts everything), so it does more than the
// reference. One object per kind reads every line of its kind, as one sscanf buffer per kind does.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/common/accepting_context.h"
#include "bench/common/core_lines.h"
#include "bench/common/project_lines.h"
#include "bench/comparisons.h"
#include "bench/reference/definition_lines.h"
#include "core/triggers/make_trigger.h"

namespace {

namespace ct = core::triggers;
using ct::TriggerKind;

const std::vector<bench::ProjectLine>& Lines() {
  static const std::vector<bench::ProjectLine> lines = bench::ProjectLines();
  return lines;
}

int64_t ByteCount() {
  int64_t bytes = 0;
  for (const bench::ProjectLine& line : Lines()) bytes += static_cast<int64_t>(line.text.size());
  return bytes;
}

// One trigger of each kind, indexed by kind code.
class Triggers {
 public:
  Triggers() {
    auto context = std::make_shared<bench::AcceptingContext>();
    for (const ct::KindInfo& info : ct::KindTable()) {
      by_kind_[static_cast<size_t>(info.kind)] = ct::MakeTrigger(info.kind, context);
    }
  }
  ct::CTrigger& Of(TriggerKind kind) { return *by_kind_[static_cast<size_t>(kind)]; }

 private:
  std::shared_ptr<ct::CTrigger> by_kind_[16];
};

void BM_DefinitionLines_Triggers(benchmark::State& state) {
  Triggers triggers;
  for (auto _ : state) {
    for (const bench::ProjectLine& line : Lines()) {
      ct::CTrigger& trigger = triggers.Of(line.kind);
      if (trigger.PutDefinition(line.text) != core::automation::kOk) {
        state.SkipWithError("a trigger refused a benchmark line");
        return;
      }
      std::string rendered = trigger.GetDefinition();
      benchmark::DoNotOptimize(rendered.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Lines().size()));
  state.SetBytesProcessed(state.iterations() * ByteCount());
}
BENCHMARK(BM_DefinitionLines_Triggers);

void BM_DefinitionLines_Core(benchmark::State& state) {
  bench::CoreLines core_lines;
  for (auto _ : state) {
    for (const bench::ProjectLine& line : Lines()) {
      if (!core_lines.Parse(line.kind, line.text)) {
        state.SkipWithError("the core could not read a benchmark line");
        return;
      }
      std::string rendered = core_lines.Render(line.kind);
      benchmark::DoNotOptimize(rendered.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Lines().size()));
  state.SetBytesProcessed(state.iterations() * ByteCount());
}
BENCHMARK(BM_DefinitionLines_Core);

void BM_DefinitionLines_Sscanf(benchmark::State& state) {
  bench::reference::DefinitionLines reference;
  for (auto _ : state) {
    for (const bench::ProjectLine& line : Lines()) {
      if (!reference.Parse(line.kind, line.text.c_str())) {
        state.SkipWithError("the reference could not read a benchmark line");
        return;
      }
      std::string rendered = reference.Render(line.kind);
      benchmark::DoNotOptimize(rendered.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Lines().size()));
  state.SetBytesProcessed(state.iterations() * ByteCount());
}
BENCHMARK(BM_DefinitionLines_Sscanf);

// The floor: every byte of every line looked at once, as finding the fields' commas needs.
void BM_DefinitionLines_Memchr(benchmark::State& state) {
  for (auto _ : state) {
    size_t commas = 0;
    for (const bench::ProjectLine& line : Lines()) {
      const char* at = line.text.data();
      const char* const end = at + line.text.size();
      while ((at = static_cast<const char*>(std::memchr(at, ',', static_cast<size_t>(end - at)))) !=
             nullptr) {
        ++commas;
        ++at;
      }
    }
    benchmark::DoNotOptimize(commas);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Lines().size()));
  state.SetBytesProcessed(state.iterations() * ByteCount());
}
BENCHMARK(BM_DefinitionLines_Memchr);

BENCH_COMPARE("256 definition lines read and written, vs sscanf/snprintf",
              "BM_DefinitionLines_Core", "BM_DefinitionLines_Sscanf", 0.5);
BENCH_COMPARE("256 definition lines read and written, vs memchr scan (floor)",
              "BM_DefinitionLines_Core", "BM_DefinitionLines_Memchr", 4.0);
BENCH_COMPARE("256 triggers' Definition written and read, vs sscanf/snprintf",
              "BM_DefinitionLines_Triggers", "BM_DefinitionLines_Sscanf", bench::kNoGoal);

}  // namespace
