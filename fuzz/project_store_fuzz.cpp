// Fuzz target for loading a project's triggers: the input is the text of a [Trigger] section
// ("MaxNum=3", "0=100,transfer,...", one entry a line, the first of a key counting), which the
// registry loads through the real bridge from the core's fake host, saves, and loads again into a
// second registry. It stops on a broken invariant:
//   - the load fails, or reads a key other than "MaxNum" and "0".."255";
//   - a stored line is lost without a word: every line the load reaches either becomes a trigger
//     or is named in the host log as skipped;
//   - a trigger carries a number outside 0..255, or the count disagrees with the slots;
//   - the save writes a count other than the number of triggers, or keys other than 0..count-1;
//   - the saved store, loaded into an empty registry, does not give the same kinds in the same
//     order, each numbered by its key;
//   - deleting every trigger leaves one behind.
// A line "#refuse" makes the simulator refuse every record (the triggers must stay all the same).
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/definition_storage.h"
#include "core/registry/trigger_action.h"
#include "fuzz/fuzz_check.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::Variant;
using core::registry::CTriggerAction;

constexpr char kPrefix[] = "Trigger/";

// A short interrupt source table: "INT0" 0x20, "INT1" 0x21, "SERIALRX" 0x22.
std::vector<uint8_t> SourceTable() {
  const char* names[] = {"INT0", "INT1", "SERIALRX"};
  core::automation::ByteWriter table(2 + 3 * 10);
  table.U16(0, 3);
  for (size_t i = 0; i < 3; ++i) {
    table.Text(2 + i * 10, names[i], 8);
    table.U16(2 + i * 10 + 8, static_cast<uint16_t>(0x20 + i));
  }
  return table.Take();
}

// A host with a project whose [Trigger] section is the store, and a simulator behind it that
// accepts (or refuses) every record and hands out a source table.
class Host {
 public:
  explicit Host(bool refuse_records) {
    access_.SetApplication(std::make_shared<fakes::FakeApplication>(state_));
    state_.reply = [refuse_records](const uint8_t* block) {
      if (core::automation::ReadU16(block) != 8) {
        return refuse_records ? fakes::RefusalReply(1) : Variant();
      }
      if (core::automation::ReadU16(block + 2) == core::bridge::kSourceTableCode) {
        return fakes::PointerReply(fakes::MallocBlock(SourceTable()));
      }
      return Variant();
    };
    state_.evaluator = [](const std::string& expression) {
      return Variant::UI4(core::automation::ReadUnsigned(expression).value);
    };
  }

  fakes::HostState& state() { return state_; }
  core::bridge::HostAccess& access() { return access_; }
  core::bridge::CTriggerCommand& bridge() { return bridge_; }

 private:
  fakes::HostState state_;
  core::bridge::HostAccess access_;
  core::bridge::CTriggerCommand bridge_{access_};
};

struct Store {
  bool has_count = false;
  int32_t count = 0;
  std::map<std::string, std::string> lines;  // by key
  bool refuse_records = false;
};

Store ReadStore(std::string_view text) {
  Store store;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == "#refuse") store.refuse_records = true;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string key(line.substr(0, equals));
    const std::string value(line.substr(equals + 1));
    if (key == core::registry::kLineCountKey) {
      if (store.has_count) continue;
      store.has_count = true;
      const auto number = core::automation::ReadLong(value, 0);
      store.count = number.consumed == 0 ? 0 : number.value;
    } else {
      store.lines.emplace(key, value);  // the first entry of a key counts
    }
  }
  return store;
}

// How many stored lines a load reaches: the non-empty values of "0".."255", up to the count.
int32_t LinesReached(const Store& store) {
  int32_t found = 0;
  for (int32_t index = 0; index < core::triggers::kSlotCount && found < store.count; ++index) {
    const auto it = store.lines.find(std::to_string(index));
    if (it != store.lines.end() && !it->second.empty()) ++found;
  }
  return found;
}

void Install(fakes::HostState& state, const Store& store) {
  if (store.has_count)
    state.ints[std::string(kPrefix) + core::registry::kLineCountKey] = store.count;
  for (const auto& [key, line] : store.lines) state.strings[kPrefix + key] = line;
}

void CheckSlots(const CTriggerAction& registry, const std::string& detail) {
  int32_t occupied = 0;
  for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
    const auto trigger = registry.GetTriggerByNumber(slot);
    if (!trigger) continue;
    ++occupied;
    FUZZ_CHECK(core::triggers::IsValidNumber(trigger->Number()), detail);
    FUZZ_CHECK(registry.AdapterAt(slot) != nullptr, detail);
  }
  FUZZ_CHECK(occupied == registry.Count(), detail);
}

// The keys the manager was asked for, in order.
std::vector<std::string> ReadKeys(const fakes::HostState& state) {
  std::vector<std::string> keys;
  for (const std::string& call : state.calls) {
    if (call.rfind("Manager.Read", 0) != 0) continue;
    const size_t start = call.find(",Trigger,");
    if (start == std::string::npos) {
      keys.push_back("?" + call);
      continue;
    }
    const size_t from = start + 9;
    keys.push_back(call.substr(from, call.find(',', from) - from));
  }
  return keys;
}

// Lines "Trigger key <key> skipped: ...": the key is digits, so a name holding the words (which
// other lines quote) does not count.
int32_t SkippedLines(const fakes::HostState& state) {
  constexpr std::string_view kStart = "Trigger key ";
  int32_t skipped = 0;
  for (const std::string& entry : state.log) {
    if (entry.rfind(kStart, 0) != 0) continue;
    size_t at = kStart.size();
    while (at < entry.size() && entry[at] >= '0' && entry[at] <= '9') ++at;
    if (at > kStart.size() && entry.compare(at, 10, " skipped: ") == 0) ++skipped;
  }
  return skipped;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Store store = ReadStore(text);

  Host host(store.refuse_records);
  Install(host.state(), store);
  CTriggerAction registry(host.bridge(), host.access());
  FUZZ_CHECK(registry.LoadTriggers() == core::automation::kOk, text);
  FUZZ_CHECK(!host.bridge().Loading(), text);
  CheckSlots(registry, text);
  for (const std::string& key : ReadKeys(host.state())) {
    const auto index = core::automation::ReadLong(key, 10);
    FUZZ_CHECK(key == core::registry::kLineCountKey ||
                   (index.consumed == key.size() && key == std::to_string(index.value) &&
                    core::triggers::IsValidNumber(index.value)),
               text + "\n  key " + key);
  }
  FUZZ_CHECK(
      registry.Count() + SkippedLines(host.state()) == LinesReached(store),
      text + core::automation::Format("\n  %d loaded, %d skipped, %d reached", registry.Count(),
                                      SkippedLines(host.state()), LinesReached(store)));

  // Save into a fresh store: the count, then keys 0..count-1 in slot order.
  std::vector<uint16_t> kinds;
  for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
    if (registry.GetTriggerByNumber(slot)) kinds.push_back(registry.GetKindByNumber(slot));
  }
  host.state().ints.clear();
  host.state().strings.clear();
  FUZZ_CHECK(registry.SaveTriggers() == core::automation::kOk, text);
  FUZZ_CHECK(
      host.state().ints[std::string(kPrefix) + core::registry::kLineCountKey] == registry.Count(),
      text);
  Store saved;
  saved.has_count = true;
  saved.count = registry.Count();
  for (const auto& [key, line] : host.state().strings) {
    FUZZ_CHECK(key.rfind(kPrefix, 0) == 0, text + "\n  saved under " + key);
    const std::string index = key.substr(sizeof kPrefix - 1);
    const auto number = core::automation::ReadLong(index, 10);
    FUZZ_CHECK(index == std::to_string(number.value) && number.value >= 0 &&
                   number.value < registry.Count(),
               text + "\n  saved under " + key);
    saved.lines.emplace(index, line);
  }
  FUZZ_CHECK(static_cast<int32_t>(saved.lines.size()) == registry.Count(), text);

  // The saved store read back. A trigger that renders no line (a stream trigger of neither source
  // kind) cannot come back; the save told the log so. It keeps its key, so the triggers after it
  // land one slot below their numbers, as in any store with gaps (the load tells the log that).
  Host other_host(false);
  Install(other_host.state(), saved);
  CTriggerAction other(other_host.bridge(), other_host.access());
  FUZZ_CHECK(other.LoadTriggers() == core::automation::kOk, text);
  CheckSlots(other, text);
  std::vector<uint16_t> expected_kinds;
  std::vector<int32_t> expected_numbers;
  for (size_t i = 0; i < kinds.size(); ++i) {
    if (saved.lines[std::to_string(i)].empty()) continue;
    expected_kinds.push_back(kinds[i]);
    expected_numbers.push_back(static_cast<int32_t>(i));
  }
  FUZZ_CHECK(other.Count() == static_cast<int32_t>(expected_kinds.size()), text);
  for (int32_t slot = 0; slot < other.Count(); ++slot) {
    const auto trigger = other.GetTriggerByNumber(slot);
    const auto at = static_cast<size_t>(slot);
    FUZZ_CHECK(trigger && trigger->Number() == expected_numbers[at], text);
    FUZZ_CHECK(other.GetKindByNumber(slot) == expected_kinds[at], text);
  }
  FUZZ_CHECK(SkippedLines(other_host.state()) == 0, text);

  FUZZ_CHECK(registry.DeleteAllTriggers() == core::automation::kOk, text);
  FUZZ_CHECK(registry.Count() == 0, text);
  return 0;
}
