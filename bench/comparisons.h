// The comparisons the native benchmark program reports: each names one of our benchmarks, the
// baseline measured beside it in the same run and the goal for their ratio. A *_bench.cpp
// declares them next to its benchmarks; main.cpp prints one table row per comparison.
#pragma once

#include <string>
#include <vector>

#include "bench/common/rows.h"

namespace bench {

struct Comparison {
  std::string name;  // the row's name in the table
  std::string ours;  // benchmark names as Google Benchmark reports them ("BM_X/arg")
  std::string baseline;
  double goal;  // largest passing ratio ours / baseline; kNoGoal for information
};

inline std::vector<Comparison>& Comparisons() {
  static std::vector<Comparison> comparisons;
  return comparisons;
}

inline bool Compare(std::string name, std::string ours, std::string baseline, double goal) {
  Comparisons().push_back({std::move(name), std::move(ours), std::move(baseline), goal});
  return true;
}

}  // namespace bench

#define BENCH_CONCAT_INNER(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT_INNER(a, b)
// BENCH_COMPARE("row name", "BM_Ours", "BM_Baseline", goal);
#define BENCH_COMPARE(...)                                                    \
  [[maybe_unused]] static const bool BENCH_CONCAT(bench_compare_, __LINE__) = \
      bench::Compare(__VA_ARGS__)
