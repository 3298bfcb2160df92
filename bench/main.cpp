// The native benchmark runner: every *_bench.cpp in this folder registers its benchmarks and the
// comparisons among them. Google Benchmark runs them; afterwards each comparison is printed as a
// row of the table, from the medians of the CPU times of the repetitions.
//
//   trigger_bench [--repetitions=N] [Google Benchmark's flags]
//
// --repetitions=N is the flag every benchmark program run by scripts/bench takes; here it stands
// for --benchmark_repetitions=N. The repetitions of all benchmarks are interleaved at random
// (unless told otherwise), so that ours and its baseline meet the same moods of a shared machine
// rather than one the first half of the run and the other the second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/common/rows.h"
#include "bench/common/statistics.h"
#include "bench/comparisons.h"

namespace {

// The console output, with only the aggregates once there are repetitions, and every repetition's
// CPU time in nanoseconds per iteration kept by benchmark name.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    bool aggregated = false;
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate) {
        aggregated = true;
      } else if (!run.error_occurred) {
        const double per_second = benchmark::GetTimeUnitMultiplier(run.time_unit);
        samples_[run.run_name.str()].push_back(run.GetAdjustedCPUTime() * 1e9 / per_second);
      }
    }
    std::vector<Run> shown;
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(shown), [aggregated](const Run& run) {
      return !aggregated || run.run_type == Run::RT_Aggregate;
    });
    ConsoleReporter::ReportRuns(shown);
  }

  const std::vector<double>* Samples(const std::string& name) const {
    const auto found = samples_.find(name);
    return found == samples_.end() ? nullptr : &found->second;
  }

 private:
  std::map<std::string, std::vector<double>> samples_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> flags(argv, argv + argc);
  bool interleaving_given = false;
  for (std::string& flag : flags) {
    if (flag.rfind("--repetitions=", 0) == 0) {
      flag = "--benchmark_repetitions=" + flag.substr(std::strlen("--repetitions="));
    }
    interleaving_given |= flag.rfind("--benchmark_enable_random_interleaving", 0) == 0;
  }
  if (!interleaving_given) flags.push_back("--benchmark_enable_random_interleaving=true");
  std::vector<char*> arguments;
  for (std::string& flag : flags) arguments.push_back(flag.data());
  argc = static_cast<int>(arguments.size());
  argv = arguments.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // A comparison whose benchmarks were filtered out is not reported.
  for (const bench::Comparison& comparison : bench::Comparisons()) {
    const std::vector<double>* ours = reporter.Samples(comparison.ours);
    const std::vector<double>* baseline = reporter.Samples(comparison.baseline);
    if (ours == nullptr || baseline == nullptr) continue;
    bench::PrintComparison(comparison.name, bench::Median(*ours), bench::Median(*baseline),
                           comparison.goal,
                           std::max(bench::SpreadPercent(*ours), bench::SpreadPercent(*baseline)));
  }
  return 0;
}
