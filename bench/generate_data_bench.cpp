// The data generator on the largest pattern it reads, a list of 100 values in every notation
// (under an integer size and under "double"), and on both random patterns, each beside the floor
// of converting the same numbers with the C library's strtoul and strtod.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/comparisons.h"
#include "core/triggers/generate_data.h"

namespace {

using core::triggers::GenerateData;
using core::triggers::ValueArea;

const std::string& HundredValues() {
  static const std::string list = [] {
    std::string text;
    for (int i = 0; i < 100; ++i) {
      static const char* const kForms[] = {"%u", "0x%x", "0%o", "-%u"};
      char piece[32];
      std::snprintf(piece, sizeof piece, kForms[i % 4], i * 2654435761u % 100000u);
      text += (i ? "," : "") + std::string(piece);
    }
    return text;
  }();
  return list;
}

constexpr char kRealRange[] = "1000,-1.25e3,0.0625";
constexpr char kWholeRange[] = "1000,0x10,65535";

void BM_ValueList100(benchmark::State& state) {
  const std::string& list = HundredValues();
  const char* size = state.range(0) ? "double" : "16bit";
  ValueArea values{};
  for (auto _ : state) {
    GenerateData generator;
    uint32_t count = 0;
    const bool error = generator.ParseValueList(&count, &values, size, list);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(values.data());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ValueList100)->ArgName("double")->Arg(0)->Arg(1);

// The floor: strtoul over the list, each value stored in its slot.
void BM_ValueList100_Strtoul(benchmark::State& state) {
  const std::string& list = HundredValues();
  const bool real = state.range(0) != 0;
  ValueArea values{};
  for (auto _ : state) {
    const char* at = list.c_str();
    for (size_t i = 0; i < 100 && *at != '\0'; ++i) {
      char* end = nullptr;
      const auto value = static_cast<uint32_t>(std::strtoul(at, &end, 0));
      if (real) {
        const double converted = value;
        std::memcpy(values.data() + 8 * i, &converted, 8);
      } else {
        std::memcpy(values.data() + 8 * i, &value, 4);
      }
      if (end == at) break;
      at = *end == ',' ? end + 1 : end;
    }
    benchmark::DoNotOptimize(values.data());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ValueList100_Strtoul)->ArgName("double")->Arg(0)->Arg(1);

void BM_RealRange(benchmark::State& state) {
  for (auto _ : state) {
    GenerateData generator;
    uint32_t count = 0;
    double min = 0.0;
    double max = 0.0;
    benchmark::DoNotOptimize(generator.ParseRealRange(kRealRange, &count, &min, &max));
    benchmark::DoNotOptimize(min + max + count);
  }
}
BENCHMARK(BM_RealRange);

void BM_RealRange_Strtod(benchmark::State& state) {
  for (auto _ : state) {
    char* end = nullptr;
    const auto count = static_cast<uint32_t>(std::strtoul(kRealRange, &end, 0));
    const double min = std::strtod(end + 1, &end);
    const double max = std::strtod(end + 1, &end);
    benchmark::DoNotOptimize(min + max + count);
  }
}
BENCHMARK(BM_RealRange_Strtod);

void BM_WholeRange(benchmark::State& state) {
  for (auto _ : state) {
    GenerateData generator;
    uint32_t count = 0;
    uint32_t min = 0;
    uint32_t max = 0;
    benchmark::DoNotOptimize(generator.ParseWholeRange(kWholeRange, &count, &min, &max));
    benchmark::DoNotOptimize(min + max + count);
  }
}
BENCHMARK(BM_WholeRange);

void BM_WholeRange_Strtoul(benchmark::State& state) {
  for (auto _ : state) {
    char* end = nullptr;
    const auto count = static_cast<uint32_t>(std::strtoul(kWholeRange, &end, 0));
    const auto min = static_cast<uint32_t>(std::strtoul(end + 1, &end, 0));
    const auto max = static_cast<uint32_t>(std::strtoul(end + 1, &end, 0));
    benchmark::DoNotOptimize(min + max + count);
  }
}
BENCHMARK(BM_WholeRange_Strtoul);

BENCH_COMPARE("data generator, 100 values under 16bit, vs strtoul", "BM_ValueList100/double:0",
              "BM_ValueList100_Strtoul/double:0", 1.5);
BENCH_COMPARE("data generator, 100 values under double, vs strtoul", "BM_ValueList100/double:1",
              "BM_ValueList100_Strtoul/double:1", 1.5);
BENCH_COMPARE("data generator, random (real bounds), vs strtoul/strtod", "BM_RealRange",
              "BM_RealRange_Strtod", 1.5);
BENCH_COMPARE("data generator, random2 (whole bounds), vs strtoul", "BM_WholeRange",
              "BM_WholeRange_Strtoul", 1.5);

}  // namespace
