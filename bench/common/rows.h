// The rows of the benchmark table. Every benchmark program, native or Windows, prints what it
// measured as tab-separated lines of two forms on standard output; scripts/bench collects them
// from all programs and prints one table of comparisons and one of memory:
//
//   bench-row     <name>  <ours ns>  <baseline ns>  <goal>  <noise %>
//   bench-memory  <what>  <bytes>    <detail>
//
// A comparison's times are medians of repetitions measured in the same run; the ratio is
// ours / baseline, and <goal> is the largest ratio that passes ("-" for a row shown for
// information only, such as a floor nothing could reach). <noise %> is the larger relative
// spread (standard deviation over mean) of the two measurements' repetitions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace bench {

// No goal: the row is there for information.
inline constexpr double kNoGoal = 0.0;

inline void PrintComparison(const std::string& name, double ours_ns, double baseline_ns,
                            double goal, double noise_percent) {
  char goal_text[32] = "-";
  if (goal > 0.0) std::snprintf(goal_text, sizeof goal_text, "%g", goal);
  std::printf("bench-row\t%s\t%.1f\t%.1f\t%s\t%.1f\n", name.c_str(), ours_ns, baseline_ns,
              goal_text, noise_percent);
  std::fflush(stdout);
}

inline void PrintMemory(const std::string& what, size_t bytes, const std::string& detail) {
  std::printf("bench-memory\t%s\t%zu\t%s\n", what.c_str(), bytes, detail.c_str());
  std::fflush(stdout);
}

}  // namespace bench
