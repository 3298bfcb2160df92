// Fuzz target for the stand-in's simulator: trigger records and command blocks made of the input
// go through its "SimCommand" entry, one after the other, and raw bytes of any length through the
// record decoding. It stops on a broken invariant:
//   - a call answers other than S_OK with a reply block or E_FAIL without one;
//   - an accepted record is not held byte for byte, or a refused one changes what is held;
//   - the active table holds a word other than 0 and 1, or marks a trigger that is not held;
//   - the active table handed out is not the live one;
//   - the source table handed out does not read back, through the add-in's reader, as the
//     sources the simulator was given;
//   - the journal grows past its bound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "core/triggers/interrupt_sources.h"
#include "fuzz/fuzz_check.h"
#include "project/records.h"
#include "standin/model/simulator.h"

namespace {

namespace model = standin::model;
using core::automation::ReadU16;
using core::automation::ReadU32;

void WriteU16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void WriteU32(uint8_t* at, uint32_t value) {
  WriteU16(at, static_cast<uint16_t>(value));
  WriteU16(at + 2, static_cast<uint16_t>(value >> 16));
}

const uint16_t kActions[] = {1, 2, 4, 9, 10, 11, 12, 13, 15, 16, 17};
const uint16_t kCodes[] = {0x101, 0x102, 0x103, 0x104, 0x105, 0x106, 0x200};

struct Reply {
  void* block = nullptr;
  ~Reply() { std::free(block); }
  uint32_t Word() const { return ReadU32(static_cast<const uint8_t*>(block) + 4); }
  const void* Pointer() const {
    const void* pointer = nullptr;
    std::memcpy(&pointer, static_cast<const uint8_t*>(block) + 4, sizeof pointer);
    return pointer;
  }
};

// A trigger id: mostly one of the simulator's, sometimes any 16-bit value.
uint16_t PickId(FuzzedDataProvider& input) {
  return input.ConsumeBool() ? static_cast<uint16_t>(100 + input.ConsumeIntegralInRange(0, 7))
                             : input.ConsumeIntegral<uint16_t>();
}

void CheckState(const model::Simulator& simulator) {
  for (int32_t number = 0; number < 256; ++number) {
    const uint32_t word = simulator.ActiveTable()[number];
    FUZZ_CHECK(word == 0 || word == 1, std::to_string(number));
    FUZZ_CHECK(word == 0 || simulator.Find(number + 100) != nullptr, std::to_string(number));
  }
  for (int32_t id : simulator.Ids()) {
    const model::StoredTrigger* held = simulator.Find(id);
    FUZZ_CHECK(held->record.size() == project::kFullRecordSize, std::to_string(id));
    FUZZ_CHECK(held->id == id && ReadU16(held->record.data() + 4) == id, std::to_string(id));
  }
  FUZZ_CHECK(simulator.journal().entries().size() <= model::Log::kMaxEntries, "journal");
}

void DefineRecord(FuzzedDataProvider& input, model::Simulator& simulator) {
  std::vector<uint8_t> record(project::kFullRecordSize);
  if (input.ConsumeBool()) {
    // A record with a sound header, so that the body's checks are reached.
    WriteU16(record.data() + 2, 0x0100);
    WriteU16(record.data() + 4, PickId(input));
    WriteU16(record.data() + 6, input.PickValueInArray(kActions));
    const std::vector<uint8_t> body =
        input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 836 - 8));
    if (!body.empty()) std::memcpy(record.data() + 8, body.data(), body.size());
    if (ReadU16(record.data() + 6) == project::kActionConnect && input.ConsumeBool()) {
      WriteU16(record.data() + 16, input.ConsumeIntegralInRange<uint16_t>(0, 10));
    }
  } else {
    const std::vector<uint8_t> bytes =
        input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 836));
    if (!bytes.empty()) std::memcpy(record.data(), bytes.data(), bytes.size());
    if (ReadU16(record.data()) == project::kCommandBlockTag) record[0] = 0;  // stays a record
  }
  const int32_t id = ReadU16(record.data() + 4);
  const model::StoredTrigger* before_held = simulator.Find(id);
  const model::StoredTrigger before = before_held ? *before_held : model::StoredTrigger{};

  Reply reply;
  const auto hr = simulator.Command(record.data(), &reply.block);
  FUZZ_CHECK(hr == core::automation::kOk && reply.block != nullptr, "record");
  const model::StoredTrigger* after = simulator.Find(id);
  if (reply.Word() == 0) {
    FUZZ_CHECK(after != nullptr && after->record == record, "accepted record");
    FUZZ_CHECK(after->definitions == before.definitions + 1 && after->fires == 0, "definitions");
  } else {
    FUZZ_CHECK((after != nullptr) == (before_held != nullptr), "refused record");
    if (after != nullptr) {
      FUZZ_CHECK(after->record == before.record && after->definitions == before.definitions,
                 "refused record");
    }
  }
}

void RunCommand(FuzzedDataProvider& input, model::Simulator& simulator) {
  uint8_t block[project::kCommandBlockSize] = {};
  WriteU16(block, project::kCommandBlockTag);
  WriteU16(block + 2, input.ConsumeBool() ? input.PickValueInArray(kCodes)
                                          : input.ConsumeIntegral<uint16_t>());
  const uint32_t id = input.ConsumeBool()   ? PickId(input)
                      : input.ConsumeBool() ? 0xFFFFFFFFu
                                            : input.ConsumeIntegral<uint32_t>();
  WriteU32(block + 4, id);

  Reply reply;
  const auto hr = simulator.Command(block, &reply.block);
  FUZZ_CHECK(hr == core::automation::kOk || hr == core::automation::kFail, "command");
  FUZZ_CHECK((hr == core::automation::kOk) == (reply.block != nullptr), "command reply");
  if (hr != core::automation::kOk) return;
  const uint16_t code = ReadU16(block + 2);
  if (code == project::kActiveTableCode) {
    FUZZ_CHECK(reply.Pointer() == simulator.ActiveTable(), "active table");
  } else if (code == project::kSourceTableCode) {
    auto* table = static_cast<uint8_t*>(const_cast<void*>(reply.Pointer()));
    const auto read =
        core::triggers::InterruptSources::FromBuffer(table, core::triggers::SourceTableSize(table));
    const auto& sources = simulator.sources();
    FUZZ_CHECK(read.entries().size() == sources.size(), "source table");
    for (size_t i = 0; i < sources.size(); ++i) {
      const std::string name = sources[i].name.substr(0, sources[i].name.find('\0'));
      FUZZ_CHECK(read.entries()[i].name == name && read.entries()[i].code == sources[i].code &&
                     read.entries()[i].value == sources[i].value,
                 "source " + name);
    }
    std::free(table);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  model::Simulator simulator;
  std::vector<project::InterruptSource> sources(input.ConsumeIntegralInRange(0, 4));
  for (project::InterruptSource& source : sources) {
    source.name = input.ConsumeRandomLengthString(project::kSourceNameWidth);
    source.code = input.ConsumeIntegral<uint16_t>();
    source.value = input.ConsumeIntegral<uint16_t>();
  }
  simulator.SetSources(sources);

  while (input.remaining_bytes() > 0) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:
        DefineRecord(input, simulator);
        break;
      case 1:
        RunCommand(input, simulator);
        break;
      case 2: {
        // The decoding of whatever a caller holds, never read past its size.
        const std::vector<uint8_t> bytes =
            input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 900));
        const std::string text = project::DescribeRecord(bytes.data(), bytes.size(), &sources);
        FUZZ_CHECK(!text.empty(), "description");
        if (bytes.size() >= project::kCommandBlockSize) project::DescribeCommand(bytes.data());
        break;
      }
      default:
        simulator.Clear();
        break;
    }
    CheckState(simulator);
  }
  return 0;
}
