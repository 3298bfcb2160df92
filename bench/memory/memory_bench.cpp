// Memory held by the triggers natively: each kind's trigger with its row adapter, and a registry
// of the benchmark project. The automation objects are counted under Wine (bench/win).
#include "bench/common/memory_report.h"

int main() {
  bench::MemoryReport report;
  report.holding = "trigger and row adapter";
  return bench::PrintMemoryRows(report) ? 0 : 1;
}
