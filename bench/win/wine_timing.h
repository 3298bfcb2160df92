// Timing under Wine. The thread and process times Wine reports advance in 10 ms ticks, too coarse
// for a load of a few milliseconds, so the Windows benchmarks time with QueryPerformanceCounter:
// wall time, measured alternately for ours and the baseline so that both meet the same load on
// the machine, and reduced to medians.
#pragma once

#include <windows.h>

namespace bench::win {

inline double NowNs() {
  static const double ns_per_tick = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e9 / static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * ns_per_tick;
}

}  // namespace bench::win
