// The data generator on the largest pattern it reads: a list of 100 values, in every notation.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/triggers/generate_data.h"

namespace {

using core::triggers::GenerateData;
using core::triggers::ValueArea;

std::string HundredValues() {
  std::string list;
  for (int i = 0; i < 100; ++i) {
    static const char* const kForms[] = {"%d", "0x%x", "0%o", "-%d"};
    char piece[32];
    std::snprintf(piece, sizeof piece, kForms[i % 4], i * 2654435761u % 100000u);
    list += (i ? "," : "") + std::string(piece);
  }
  return list;
}

void BM_ParseValueList100(benchmark::State& state) {
  const std::string list = HundredValues();
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
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(list.size()));
}
BENCHMARK(BM_ParseValueList100)->ArgName("double")->Arg(0)->Arg(1);

void BM_ParseRanges(benchmark::State& state) {
  for (auto _ : state) {
    GenerateData generator;
    uint32_t count = 0;
    double min = 0.0;
    double max = 0.0;
    uint32_t whole_min = 0;
    uint32_t whole_max = 0;
    benchmark::DoNotOptimize(generator.ParseRealRange("1000,-1.25e3,0.0625", &count, &min, &max));
    benchmark::DoNotOptimize(
        generator.ParseWholeRange("1000,0x10,65535", &count, &whole_min, &whole_max));
  }
}
BENCHMARK(BM_ParseRanges);

}  // namespace
