// Median and relative spread of repeated measurements, for the benchmark rows.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

inline double Median(std::vector<double> samples) {
  if (samples.empty()) return 0.0;
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

// Standard deviation over mean, in percent; 0 for fewer than two samples.
inline double SpreadPercent(const std::vector<double>& samples) {
  if (samples.size() < 2) return 0.0;
  double mean = 0.0;
  for (double s : samples) mean += s;
  mean /= static_cast<double>(samples.size());
  double variance = 0.0;
  for (double s : samples) variance += (s - mean) * (s - mean);
  variance /= static_cast<double>(samples.size() - 1);
  return mean > 0.0 ? 100.0 * std::sqrt(variance) / mean : 0.0;
}

}  // namespace bench
