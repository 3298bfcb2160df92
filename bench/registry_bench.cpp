// A project's worth of triggers through the registry: the 256 triggers of the benchmark project
// exported as the trigger list to a file, and saved to the project settings, each beside writing
// the same bytes to a file with one fwrite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/common/memory_host.h"
#include "bench/common/project_lines.h"
#include "bench/comparisons.h"
#include "core/registry/definition_storage.h"
#include "core/registry/list_export.h"
#include "core/registry/trigger_action.h"

namespace {

constexpr char kListFile[] = "trigger_bench_list.txt";
constexpr char kSettingsFile[] = "trigger_bench_settings.txt";

// The registry with the benchmark project loaded, every line accepted.
struct Project {
  Project() {
    host.StoreLines(bench::ProjectLines());
    if (registry.LoadTriggers() != core::automation::kOk ||
        registry.Count() != bench::kProjectLineCount) {
      std::fprintf(stderr, "the benchmark project did not load whole\n");
      std::abort();
    }
  }
  bench::MemoryHost host;
  core::registry::CTriggerAction registry{host.bridge, host.host};
};

Project& TheProject() {
  static Project project;
  return project;
}

// The baseline of both: the bytes written to a file at once.
void WriteAtOnce(const char* path, const std::string& bytes) {
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
}

void BM_ExportTriggerList256(benchmark::State& state) {
  Project& project = TheProject();
  for (auto _ : state) project.registry.ExportTriggerList(kListFile);
  std::remove(kListFile);
  state.SetItemsProcessed(state.iterations() * bench::kProjectLineCount);
}
BENCHMARK(BM_ExportTriggerList256);

void BM_ExportTriggerList256_Fwrite(benchmark::State& state) {
  const std::string text = core::registry::TriggerListText(TheProject().registry);
  for (auto _ : state) WriteAtOnce(kListFile, text);
  std::remove(kListFile);
  state.SetItemsProcessed(state.iterations() * bench::kProjectLineCount);
}
BENCHMARK(BM_ExportTriggerList256_Fwrite);

void BM_SaveTriggers256(benchmark::State& state) {
  Project& project = TheProject();
  for (auto _ : state) {
    project.registry.SaveTriggers();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * bench::kProjectLineCount);
}
BENCHMARK(BM_SaveTriggers256);

// The settings the save wrote, as the section of a project file holds them.
void BM_SaveTriggers256_Fwrite(benchmark::State& state) {
  Project& project = TheProject();
  project.registry.SaveTriggers();
  const auto& section = project.host.settings[core::registry::kProfileSection];
  std::string text = "[Trigger]\n";
  text += std::string(core::registry::kLineCountKey) + "=" +
          section.at(core::registry::kLineCountKey) + "\n";
  for (int i = 0; i < bench::kProjectLineCount; ++i) {
    const std::string key = std::to_string(i);
    text += key + "=" + section.at(key) + "\n";
  }
  for (auto _ : state) WriteAtOnce(kSettingsFile, text);
  std::remove(kSettingsFile);
  state.SetItemsProcessed(state.iterations() * bench::kProjectLineCount);
}
BENCHMARK(BM_SaveTriggers256_Fwrite);

BENCH_COMPARE("export of 256 triggers to a list file, vs one fwrite", "BM_ExportTriggerList256",
              "BM_ExportTriggerList256_Fwrite", 2.0);
BENCH_COMPARE("save of 256 triggers to the project settings, vs one fwrite", "BM_SaveTriggers256",
              "BM_SaveTriggers256_Fwrite", 2.0);

}  // namespace
