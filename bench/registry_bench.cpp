// A project's worth of triggers through the registry: 256 definition lines loaded from the project
// settings and saved back, and the list of 256 rows built and exported. The host is an in-memory
// stand-in that accepts every definition, so the numbers are the add-in's own work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/list_export.h"
#include "core/registry/trigger_action.h"
#include "core/rows/kind_infos.h"

namespace {

using core::automation::Format;
using core::automation::HResult;
using core::automation::Variant;
namespace bridge = core::bridge;

// The project settings, one map per process.
struct Store {
  std::map<std::string, int32_t> ints;
  std::map<std::string, std::string> strings;
};

class MemoryManager : public bridge::ManagerPort {
 public:
  explicit MemoryManager(Store& store) : store_(store) {}
  HResult ReadProfileInt(const std::string&, const std::string& section, const std::string& key,
                         int32_t default_value, int32_t* value) override {
    auto it = store_.ints.find(section + "/" + key);
    *value = it == store_.ints.end() ? default_value : it->second;
    return 0;
  }
  HResult WriteProfileInt(const std::string&, const std::string& section, const std::string& key,
                          int32_t value) override {
    store_.ints[section + "/" + key] = value;
    return 0;
  }
  HResult ReadProfileString(const std::string&, const std::string& section, const std::string& key,
                            const std::string& default_value, std::string* value) override {
    auto it = store_.strings.find(section + "/" + key);
    *value = it == store_.strings.end() ? default_value : it->second;
    return 0;
  }
  HResult WriteProfileString(const std::string&, const std::string& section, const std::string& key,
                             const std::string& value) override {
    store_.strings[section + "/" + key] = value;
    return 0;
  }
  HResult MarkProjectModified(int32_t) override { return 0; }

 private:
  Store& store_;
};

// A simulator that accepts every record and knows three interrupt sources.
class AcceptingSimulator : public bridge::TargetCommandPort {
 public:
  HResult Command(const std::string&, int32_t, const Variant& in, Variant* reply) override {
    const auto* block = static_cast<const uint8_t*>(in.Pointer());
    if (core::automation::ReadU16(block) == 8 &&
        core::automation::ReadU16(block + 2) == bridge::kSourceTableCode) {
      *reply = PointerReply(SourceTable());
    }
    return 0;
  }

 private:
  static void* SourceTable() {
    core::automation::ByteWriter table(2 + 3 * 10);
    table.U16(0, 3);
    const char* names[] = {"INT0", "INT1", "INT2"};
    for (size_t i = 0; i < 3; ++i) {
      for (size_t c = 0; c < 4; ++c) table.U8(2 + 10 * i + c, static_cast<uint8_t>(names[i][c]));
      table.U16(2 + 10 * i + 8, static_cast<uint16_t>(i));
    }
    void* copy = std::malloc(table.bytes().size());
    std::memcpy(copy, table.bytes().data(), table.bytes().size());
    return copy;
  }
  static Variant PointerReply(void* data) {
    auto* block = static_cast<uint8_t*>(std::calloc(16, 1));
    std::memcpy(block + 4, &data, sizeof data);
    return Variant::ByRef(block);
  }
};

class AcceptingEvents : public bridge::EventCommandPort {
 public:
  HResult AddName(int32_t, const std::string&) override { return 0; }
  HResult RemoveName(int32_t) override { return 0; }
};

class NumeralEvaluation : public bridge::EvaluationPort {
 public:
  HResult Evaluate(const std::string& expression, Variant* result) override {
    *result = Variant::UI4(core::automation::ReadUnsigned(expression).value);
    return 0;
  }
};

class Service : public bridge::HostObject {
 public:
  Service(Store& store, std::string name) : store_(store), name_(std::move(name)) {}
  HResult GetIDsOfNames(const std::string&, uint32_t, int32_t* dispid) override {
    *dispid = 1;
    return 0;
  }
  HResult Invoke(int32_t, uint32_t, uint16_t, const std::vector<Variant>&, Variant*) override {
    return 0;
  }
  std::unique_ptr<bridge::ManagerPort> QueryManager() override {
    return Is(bridge::kManagerService) ? std::make_unique<MemoryManager>(store_) : nullptr;
  }
  std::unique_ptr<bridge::TargetCommandPort> QueryTargetCommand() override {
    return Is(bridge::kTargetCommandService) ? std::make_unique<AcceptingSimulator>() : nullptr;
  }
  std::unique_ptr<bridge::EventCommandPort> QueryEventCommand() override {
    return Is(bridge::kEventCommandService) ? std::make_unique<AcceptingEvents>() : nullptr;
  }
  std::unique_ptr<bridge::EvaluationPort> QueryEvaluation() override {
    return Is(bridge::kEvaluationService) ? std::make_unique<NumeralEvaluation>() : nullptr;
  }

 private:
  bool Is(const char* service) const { return name_ == service; }
  Store& store_;
  std::string name_;
};

class MemoryHost : public bridge::HostApplication {
 public:
  explicit MemoryHost(Store& store) : store_(store) {}
  std::unique_ptr<bridge::HostObject> GetService(const std::string& name) override {
    return std::make_unique<Service>(store_, name);
  }

 private:
  Store& store_;
};

// The host, the bridge and the settings holding 256 lines of every kind but the I/O access one
// (whose Register refreshes the window), as a save writes them.
struct Project {
  Project() {
    host.SetApplication(std::make_shared<MemoryHost>(store));
    core::registry::CTriggerAction registry(bridge, host);
    static const char* const kKeywords[] = {"interrupt",  "transfer", "data",    "iostream",
                                            "connect",    "control",  "message", "sio",
                                            "filestream", "stream"};
    for (int i = 0; i < 256; ++i) {
      Variant made;
      registry.CreateTriggerByKeyword(kKeywords[i % 10], &made);
      auto* row = static_cast<core::rows::TriggerInfo*>(made.Pointer());
      row->SetName(Format("t%d", i));
      row->SetCycle(std::to_string(i));
      row->SetWait(std::to_string(2 * i));
      switch (i % 10) {
        case 0:
          row->SetDestination("INT1");
          break;
        case 1:
          row->SetSize("word");
          row->SetSource(Format("0x%x", 0x1000 + i));
          row->SetSrcMode("increment");
          row->SetDestination(Format("0x%x", 0x8000 + i));
          row->SetDstMode("fix");
          row->SetCount("16");
          break;
        case 2:
        case 9: {
          auto* stream = static_cast<core::rows::StreamTriggerInfo*>(row);
          row->SetSize("byte");
          row->SetDestination(Format("0x%x", 0x2000 + i));
          row->SetDstMode("repeat");
          row->SetSrcMode("default");
          stream->SetDataList("1,2,3,4,5,6,7,8");
          stream->SetStreamSource("0x4000");
          stream->SetSourceKind(i % 10 == 2 ? "Data" : "Stream");
          break;
        }
        case 3:
          row->SetDestination(std::to_string(8000 + i));
          break;
        case 4:
          row->SetDestination(Format("t%d,t%d", i - 4, i - 3));
          break;
        case 5:
          row->SetDestination(Format("t%d", i - 5));
          row->SetSource("restart");
          break;
        case 6:
          row->SetDestination("WM_TRIGGER");
          break;
        case 7:
          row->SetDestination("COM1");
          row->SetDstMode("INT0");
          row->SetSource("0x400");
          row->SetSrcMode("INT2");
          break;
      }
      if (row->Register() != 0) std::abort();
    }
    registry.SaveTriggers();
  }

  Store store;
  bridge::HostAccess host;
  bridge::CTriggerCommand bridge{host};
};

Project& TheProject() {
  static Project project;
  return project;
}

void BM_LoadTriggers256(benchmark::State& state) {
  Project& project = TheProject();
  for (auto _ : state) {
    core::registry::CTriggerAction registry(project.bridge, project.host);
    registry.LoadTriggers();
    if (registry.Count() != 256) {
      state.SkipWithError("the project did not load whole");
      return;
    }
    benchmark::DoNotOptimize(registry.Count());
  }
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_LoadTriggers256);

void BM_SaveTriggers256(benchmark::State& state) {
  Project& project = TheProject();
  core::registry::CTriggerAction registry(project.bridge, project.host);
  registry.LoadTriggers();
  for (auto _ : state) {
    registry.SaveTriggers();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_SaveTriggers256);

void BM_TriggerListText256(benchmark::State& state) {
  Project& project = TheProject();
  core::registry::CTriggerAction registry(project.bridge, project.host);
  registry.LoadTriggers();
  for (auto _ : state) {
    std::string text = core::registry::TriggerListText(registry);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_TriggerListText256);

void BM_ExportTriggerList256(benchmark::State& state) {
  Project& project = TheProject();
  core::registry::CTriggerAction registry(project.bridge, project.host);
  registry.LoadTriggers();
  const std::string path = "trigger_bench_list.txt";
  for (auto _ : state) registry.ExportTriggerList(path);
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ExportTriggerList256);

}  // namespace
