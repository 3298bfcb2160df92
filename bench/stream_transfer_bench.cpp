// Loading and saving a full project's worth of stream and transfer triggers: 256 definition
// lines parsed (each into a new trigger, as the registry loads them, Register included) and
// rendered again.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/triggers/stream_trigger.h"
#include "core/triggers/transfer_trigger.h"

namespace {

using core::automation::Format;
using core::automation::HResult;

// Accepts every name and record; evaluates numerals, as a host evaluator would without symbols.
class AcceptingContext : public core::triggers::TriggerContext {
 public:
  HResult CheckNameUniqueExcept(const std::string&, int32_t) override { return 0; }
  HResult CheckInterruptSource(const std::string&) override { return 0; }
  HResult ResolveInterruptSource(const std::string&, int32_t*) override { return 0; }
  int32_t FindNumberByName(const std::string&) override { return -1; }
  int DefineTrigger(int32_t, const std::string&, const std::vector<uint8_t>& record,
                    bool) override {
    benchmark::DoNotOptimize(record.data());
    return 0;
  }
  int SetEventName(int32_t, const std::string&, bool) override { return 0; }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    const auto read = core::automation::ReadUnsigned(expression);
    if (read.consumed == 0) return core::automation::kFail;
    *value = static_cast<int32_t>(read.value);
    return 0;
  }
  HResult WriteLog(const std::string&) override { return 0; }
  void RefreshTriggerWindow() override {}
  uint32_t RegisterMessageName(const std::string&) override { return 0xC000; }
};

// Data lines with value lists of 1 to 32 items, random patterns and stream lines.
std::vector<std::string> StreamLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 256; ++i) {
    std::string list;
    for (int j = 0; j <= i % 32; ++j) list += Format("%s0x%x", j ? "," : "", i * 7 + j);
    switch (i % 3) {
      case 0:
        lines.push_back(Format("%d,data,data%d,0x%04x,8bit,single,default,%s,),%d,%d,0x000000ff",
                               100 + i, i, 0x20 + i, list.c_str(), i, i * 3));
        break;
      case 1:
        lines.push_back(
            Format("%d,data,random%d,0x%04x,double,repeat,random,%d,1.5,2.5e3,),0,%d,"
                   "0x0000ffff",
                   100 + i, i, 0x20 + i, i * 10, i));
        break;
      default:
        lines.push_back(Format("%d,stream,stream%d,0x%04x,16bit,const,0x%x,%d,%d,%d,0x00000000",
                               100 + i, i, 0x20 + i, 0x1000 + i * 16, i, i * 2, i * 5));
    }
  }
  return lines;
}

std::vector<std::string> TransferLines() {
  static const char* const kModes[] = {"FIX", "INCREMENT", "DECREMENT"};
  static const char* const kSizes[] = {"8BIT", "16BIT", "32BIT*"};
  std::vector<std::string> lines;
  for (int i = 0; i < 256; ++i) {
    lines.push_back(Format("%d,transfer,move%d,%d,%s,0x%08x,%s,0x%08x,%s,%d,%d,%d,%d", 100 + i, i,
                           i * 4, kSizes[i % 3], 0x1000 + i * 64, kModes[i % 3], 0x8000 + i * 64,
                           kModes[(i + 1) % 3], i, i * 2, i % 32, (i + 5) % 32));
  }
  return lines;
}

template <typename Kind>
void ParseAndRender(benchmark::State& state, const std::vector<std::string>& lines) {
  auto context = std::make_shared<AcceptingContext>();
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  for (auto _ : state) {
    for (const std::string& line : lines) {
      Kind trigger(context);
      if (trigger.PutDefinition(line) != core::automation::kOk) {
        state.SkipWithError("a benchmark line was refused");
        return;
      }
      std::string rendered = trigger.GetDefinition();
      benchmark::DoNotOptimize(rendered.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

void BM_StreamLines256(benchmark::State& state) {
  static const std::vector<std::string> lines = StreamLines();
  ParseAndRender<core::triggers::CStreamTrigger>(state, lines);
}
BENCHMARK(BM_StreamLines256);

void BM_TransferLines256(benchmark::State& state) {
  static const std::vector<std::string> lines = TransferLines();
  ParseAndRender<core::triggers::CTransferTrigger>(state, lines);
}
BENCHMARK(BM_TransferLines256);

}  // namespace
