// Fuzz target for the definition-line readers: arbitrary text goes to every trigger kind's parser
// (put Definition), then the trigger is rendered (get Definition) and registered, and the same
// text goes to the scan-pattern reader and the number readers. Besides memory and undefined-
// behaviour errors (the sanitizers), it stops on a broken invariant:
//   - a parse or Register answers something other than S_OK, the bridge's 1 or E_FAIL;
//   - a record does not begin with the common header, or has the wrong size for its kind;
//   - a successful Register leaves the trigger modified or unregistered;
//   - a rendered line, read back and rendered again, does not settle after one round trip;
//   - the scan reader stores more fields than it reports, or a text longer than its limit.
//
// Adding a kind is one line in kKinds below.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "core/automation/numbers.h"
#include "core/triggers/connect_trigger.h"
#include "core/triggers/control_trigger.h"
#include "core/triggers/file_stream_trigger.h"
#include "core/triggers/generate_data.h"
#include "core/triggers/interrupt_sources.h"
#include "core/triggers/interrupt_trigger.h"
#include "core/triggers/io_access_trigger.h"
#include "core/triggers/io_stream_trigger.h"
#include "core/triggers/kinds.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/message_trigger.h"
#include "core/triggers/sio_trigger.h"
#include "core/triggers/stream_trigger.h"
#include "core/triggers/transfer_trigger.h"
#include "core/triggers/trigger.h"
#include "core/triggers/trigger_context.h"
#include "fuzz/fuzz_check.h"

namespace {

using core::automation::HResult;
using core::triggers::CTrigger;
using core::triggers::TriggerContext;

// Surroundings that accept everything a trigger asks of them, so that every parse runs to its
// end; records are checked as the simulator would receive them.
class PermissiveContext : public TriggerContext {
 public:
  HResult CheckNameUniqueExcept(const std::string&, int32_t) override { return 0; }
  HResult CheckInterruptSource(const std::string& source) override {
    return sources_.Check(source);
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    sources_.Resolve(source, code);
    return 0;
  }
  // Every non-empty name stands for some trigger.
  int32_t FindNumberByName(const std::string& name) override {
    return name.empty() ? -1 : static_cast<int32_t>(name.size() % core::triggers::kSlotCount);
  }
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool) override {
    FUZZ_CHECK(record.size() == core::triggers::kRecordSize, name);
    FUZZ_CHECK(core::automation::ReadU32(record.data()) == 0x01000000u, name);
    FUZZ_CHECK(core::automation::ReadU16(record.data() + 4) == static_cast<uint16_t>(id), name);
    return 0;
  }
  int SetEventName(int32_t, const std::string&, const std::string*) override { return 0; }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    const auto read = core::automation::ReadLong(expression, 0);
    if (read.consumed == 0) return core::automation::kFail;
    *value = read.value;
    return 0;
  }
  HResult WriteLog(const std::string&) override { return 0; }
  void RefreshTriggerWindow() override {}
  uint32_t RegisterMessageName(const std::string& name) override {
    return core::triggers::PortableWindowMessage(name);
  }

 private:
  core::triggers::InterruptSources sources_{{{"INT0", 0x10, 0}, {"TIMER", 0x8020, 0}, {"", 3, 0}}};
};

using Factory = std::unique_ptr<CTrigger> (*)(std::shared_ptr<TriggerContext>);
template <typename Kind>
std::unique_ptr<CTrigger> Make(std::shared_ptr<TriggerContext> context) {
  return std::make_unique<Kind>(std::move(context));
}

struct KindEntry {
  Factory make;
  bool line_settles = true;  // render(parse(render(parse(x)))) == render(parse(x))
};

// Every kind with a definition line, one line each.
const KindEntry kKinds[] = {
    {Make<core::triggers::CInterruptTrigger>},
    {Make<core::triggers::CIOAccessTrigger>},
    {Make<core::triggers::CIOStreamTrigger>},
    {Make<core::triggers::CFileStreamTrigger>},
    // A trailing empty member renders as a trailing comma, which reads back as no member: each
    // round trip may drop one, so the line need not settle.
    {Make<core::triggers::CConnectTrigger>, false},
    {Make<core::triggers::CControlTrigger>},
    {Make<core::triggers::CMessageTrigger>},
    {Make<core::triggers::CSioTrigger>},
    {Make<core::triggers::CStreamTrigger>},
    {Make<core::triggers::CTransferTrigger>},
};

bool IsContractResult(HResult hr) {
  return hr == core::automation::kOk || hr == core::automation::kFalse ||
         hr == core::automation::kFail;
}

// The context keeps nothing between calls, so one serves every parse of the process.
const std::shared_ptr<TriggerContext>& Permissive() {
  static const std::shared_ptr<TriggerContext> context = std::make_shared<PermissiveContext>();
  return context;
}

std::string Parse(const KindEntry& kind, const std::string& line) {
  std::unique_ptr<CTrigger> trigger = kind.make(Permissive());
  FUZZ_CHECK(IsContractResult(trigger->PutDefinition(line)), line);
  const std::string rendered = trigger->GetDefinition();
  const HResult registered = trigger->Register();
  FUZZ_CHECK(IsContractResult(registered), line);
  if (registered == core::automation::kOk) {
    FUZZ_CHECK(trigger->GetModified() == 0 && trigger->GetRegistered() != 0 &&
                   trigger->GetInSimulator() != 0,
               line);
  }
  // The checked rename with the same text: the permissive registry accepts every name.
  if (trigger->PutName(line) == core::automation::kOk) FUZZ_CHECK(trigger->Name() == line, line);
  return rendered;
}

// With nothing around the trigger every check and the bridge fail: only the results are checked.
void ParseDetached(const KindEntry& kind, const std::string& line) {
  std::unique_ptr<CTrigger> trigger = kind.make(nullptr);
  FUZZ_CHECK(IsContractResult(trigger->PutDefinition(line)), line);
  trigger->GetDefinition();
  FUZZ_CHECK(IsContractResult(trigger->Register()), line);
}

void FuzzKinds(const std::string& line) {
  for (const KindEntry& kind : kKinds) {
    const std::string once = Parse(kind, line);
    const std::string twice = Parse(kind, once);
    if (kind.line_settles) {
      const std::string thrice = Parse(kind, twice);
      FUZZ_CHECK(thrice == twice,
                 line + "\n  rendered " + once + "\n  then " + twice + "\n  then " + thrice);
    }
    ParseDetached(kind, line);
  }
}

// A pattern (the text before the first newline) over the rest: every kind of field, twice, with
// the default and a small text limit. Fields the scan did not reach must keep their values.
void FuzzScanner(std::string_view data) {
  const size_t newline = data.find('\n');
  if (newline == std::string_view::npos) return;
  const std::string_view pattern = data.substr(0, newline);
  const std::string_view line = data.substr(newline + 1);
  constexpr int32_t kUntouched = 0x5A5A5A5A;
  int32_t i1 = kUntouched, i2 = kUntouched;
  uint32_t u1 = kUntouched, u2 = kUntouched;
  std::string t1 = "~", t2 = "~", t3 = "~";
  const int stored =
      core::triggers::ScanLine(line, pattern, {&i1, &t1, &u1, {&t2, 7}, &i2, &u2, {&t3, 1}});
  FUZZ_CHECK(stored >= 0 && stored <= 7, std::string(pattern));
  const bool reached[] = {stored > 0, stored > 1, stored > 2, stored > 3,
                          stored > 4, stored > 5, stored > 6};
  FUZZ_CHECK(reached[0] || i1 == kUntouched, std::string(pattern));
  FUZZ_CHECK(reached[1] || t1 == "~", std::string(pattern));
  FUZZ_CHECK(reached[2] || u1 == static_cast<uint32_t>(kUntouched), std::string(pattern));
  FUZZ_CHECK(reached[3] || t2 == "~", std::string(pattern));
  FUZZ_CHECK(reached[4] || i2 == kUntouched, std::string(pattern));
  FUZZ_CHECK(reached[5] || u2 == static_cast<uint32_t>(kUntouched), std::string(pattern));
  FUZZ_CHECK(reached[6] || t3 == "~", std::string(pattern));
  FUZZ_CHECK(t1.size() <= core::triggers::kMaxTextField && t2.size() <= 7 && t3.size() <= 1,
             std::string(pattern));
}

// The data generator over the text as a pattern: at most 100 values, one per piece; real
// bounds finite; whole bounds below 2^31 and ordered; a bad bound leaves both at zero.
void FuzzGenerator(std::string_view text) {
  const core::triggers::GenerateData generator;
  const std::string detail(text);
  const uint32_t items = generator.CountItems(text);
  std::vector<std::string> pieces;
  generator.SplitList(text, &pieces);
  FUZZ_CHECK(pieces.size() == items, detail);
  for (const char* size : {"byte", "16bit", "double", "8bit*"}) {
    core::triggers::ValueArea values{};
    uint32_t count = 0;
    generator.ParseValueList(&count, &values, size, text);
    const uint32_t expected = size[0] == '8' ? 0 : (items < 100 ? items : 100);
    FUZZ_CHECK(count == expected, detail);
  }
  uint32_t count = 0;
  double real_min = 0.0, real_max = 0.0;
  if (generator.ParseRealRange(text, &count, &real_min, &real_max)) {
    FUZZ_CHECK(real_min == 0.0 && real_max == 0.0, detail);
  }
  FUZZ_CHECK(!std::isnan(real_min) && !std::isnan(real_max), detail);
  uint32_t whole_min = 0, whole_max = 0;
  generator.ParseWholeRange(text, &count, &whole_min, &whole_max);
  FUZZ_CHECK(whole_min <= whole_max && whole_max < 0x80000000u, detail);
  double real = 0.0;
  // Beyond the range of a double a real reads as infinity, but never as "not a number".
  if (generator.ParseReal(text, &real)) FUZZ_CHECK(!std::isnan(real), detail);
  uint32_t whole = 0;
  if (!generator.ParseWhole(text, &whole)) FUZZ_CHECK(whole == 0, detail);
}

// Other readers of user text.
void FuzzReaders(std::string_view text) {
  core::automation::ReadUnsigned(text);
  for (int base : {0, 10, 16}) {
    const auto read = core::automation::ReadLong(text, base);
    FUZZ_CHECK(read.consumed <= text.size(), std::string(text));
  }
  core::triggers::KindFromKeyword(text);
  const core::triggers::InterruptSources table({{"INT0", 0x10, 0}});
  int32_t code = 0;
  table.Check(std::string(text));
  table.Resolve(std::string(text), &code);
  core::triggers::InterruptSources::FromBuffer(reinterpret_cast<const uint8_t*>(text.data()),
                                               text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FuzzKinds(std::string(text));
  FuzzScanner(text);
  FuzzReaders(text);
  FuzzGenerator(text);
  return 0;
}
