// The benchmark runner: every *_bench.cpp in this folder registers its benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
