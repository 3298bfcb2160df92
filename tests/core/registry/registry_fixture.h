// A registry wired to the strict fake host through a real bridge and host access, with a small
// scripted simulator behind "SimCommand": it accepts or refuses records, and hands out an active
// table and an interrupt source table when it has them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "core/automation/numbers.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/trigger_action.h"
#include "core/rows/kind_infos.h"
#include "tests/core/fakes/fake_host.h"

namespace registry_test {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::Variant;
using core::registry::CTriggerAction;
using core::rows::TriggerInfo;
using core::triggers::CTrigger;
using core::triggers::TriggerKind;
using Calls = std::vector<std::string>;

inline constexpr HResult kOk = core::automation::kOk;
inline constexpr HResult kFail = core::automation::kFail;

// Results compare as their hex text, so a failure prints 0x80004005 rather than a negative number.
#define EXPECT_HR(expected, actual) EXPECT_EQ(HResultText(expected), HResultText(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(HResultText(expected), HResultText(actual))

struct Simulator {
  bool refuse_records = false;
  const uint32_t* active_table = nullptr;  // null: the simulator gives no table
  std::vector<uint8_t> source_table;       // empty: the simulator gives no table
};

class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest() {
    host_.SetApplication(std::make_shared<fakes::FakeApplication>(state_));
    state_.reply = [this](const uint8_t* block) { return Reply(block); };
    // A host evaluator without symbols: numerals have their value.
    state_.evaluator = [](const std::string& expression) {
      return Variant::UI4(core::automation::ReadUnsigned(expression).value);
    };
  }

  // Calls made since the last look.
  Calls Take() {
    Calls calls = std::move(state_.calls);
    state_.calls.clear();
    return calls;
  }
  // Only the calls that reached the given service ("TargetCommand.", "Manager.", ...).
  Calls Take(const std::string& prefix) {
    Calls only;
    for (std::string& call : Take()) {
      if (call.rfind(prefix, 0) == 0) only.push_back(std::move(call));
    }
    return only;
  }
  std::vector<std::string> TakeLog() {
    std::vector<std::string> log = std::move(state_.log);
    state_.log.clear();
    return log;
  }

  std::shared_ptr<CTrigger> Create(TriggerKind kind) {
    std::shared_ptr<CTrigger> trigger;
    EXPECT_HR(kOk, registry_.CreateTrigger(kind, &trigger));
    return trigger;
  }
  // A file stream trigger needs nothing but its name to be defined in the simulator.
  std::shared_ptr<CTrigger> CreateRegistered() {
    std::shared_ptr<CTrigger> trigger = Create(TriggerKind::FileStream);
    EXPECT_HR(kOk, trigger->Register());
    return trigger;
  }

  // Interrupt sources "INT0", "INT1" and "SERIALRX" (codes 0x20..0x22), in the short form.
  static std::vector<uint8_t> ShortSourceTable() {
    core::automation::ByteWriter table(2 + 3 * 10);
    table.U16(0, 3);
    const char* names[] = {"INT0", "INT1", "SERIALRX"};  // the last fills all 8 bytes
    for (size_t i = 0; i < 3; ++i) {
      for (size_t c = 0; names[i][c] != 0; ++c) {
        table.U8(2 + 10 * i + c, static_cast<uint8_t>(names[i][c]));
      }
      table.U16(2 + 10 * i + 8, static_cast<uint16_t>(0x20 + i));
    }
    return table.Take();
  }

  // One trigger of every kind in slots 0 to 9, in the order of the kind table, and in slot 10 a
  // stream trigger of the other source kind; each written through its row adapter's setters as
  // the trigger window does, then registered. (A data trigger's line carries no Count, so only
  // the stream-kind one is given one.)
  static void ConfigureAllKinds(CTriggerAction& registry) {
    using core::rows::StreamTriggerInfo;
    using core::rows::TransferTriggerInfo;
    struct Step {
      const char* keyword;
      std::vector<std::pair<int (TriggerInfo::*)(std::string), const char*>> setters;
    };
    using T = TriggerInfo;
    const Step steps[] = {
        {"interrupt",
         {{&T::SetName, "irq"},
          {&T::SetDestination, "INT1"},
          {&T::SetCycle, "10"},
          {&T::SetWait, "0x20"}}},
        {"transfer",
         {{&T::SetName, "move"},
          {&T::SetSize, "word"},
          {&T::SetDestination, "0x200"},
          {&T::SetDstMode, "increment"},
          {&T::SetSource, "0x100"},
          {&T::SetSrcMode, "fix"},
          {&T::SetCount, "16"},
          {&T::SetCycle, "3"},
          {&T::SetWait, "4"}}},
        {"data",
         {{&T::SetName, "wave"},
          {&T::SetSize, "byte"},
          {&T::SetDestination, "0x300"},
          {&T::SetDstMode, "repeat"},
          {&T::SetSrcMode, "default"},
          {&T::SetCycle, "5"},
          {&T::SetWait, "6"},
          {&T::SetMask, "0xff"}}},
        {"iostream", {{&T::SetName, "port"}, {&T::SetDestination, "9000"}}},
        {"connect", {{&T::SetName, "group"}, {&T::SetDestination, "irq,move"}}},
        {"control",
         {{&T::SetName, "stopper"}, {&T::SetDestination, "wave"}, {&T::SetSource, "stop"}}},
        {"message",
         {{&T::SetName, "notify"},
          {&T::SetDestination, "WM_TRIGGER"},
          {&T::SetCycle, "7"},
          {&T::SetWait, "8"}}},
        {"sio",
         {{&T::SetName, "serial"},
          {&T::SetDestination, "COM1"},
          {&T::SetDstMode, "INT0"},
          {&T::SetSource, "0x400"},
          {&T::SetSrcMode, "SERIALRX"}}},
        {"filestream", {{&T::SetName, "file"}}},
        {"ioaccess", {{&T::SetName, "io"}, {&T::SetCycle, "11"}, {&T::SetWait, "12"}}},
        {"stream",
         {{&T::SetName, "copy"},
          {&T::SetSize, "long"},
          {&T::SetDestination, "0x500"},
          {&T::SetDstMode, "single"},
          {&T::SetCount, "4"},
          {&T::SetMask, "0xffff"}}},
    };
    for (const Step& step : steps) {
      SCOPED_TRACE(step.keyword);
      Variant made;
      ASSERT_HR(kOk, registry.CreateTriggerByKeyword(step.keyword, &made));
      auto* adapter = static_cast<TriggerInfo*>(made.Pointer());
      for (const auto& [setter, text] : step.setters) {
        ASSERT_EQ((adapter->*setter)(text), 0) << text;
      }
      if (auto* transfer = dynamic_cast<TransferTriggerInfo*>(adapter)) {
        ASSERT_EQ(transfer->SetDstModeValue("2"), 0);
        ASSERT_EQ(transfer->SetSrcModeValue("1"), 0);
      }
      if (auto* stream = dynamic_cast<StreamTriggerInfo*>(adapter)) {
        const bool data = std::string(step.keyword) == "data";
        ASSERT_EQ(data ? stream->SetDataList("1,2,3") : stream->SetStreamSource("0x600"), 0);
        ASSERT_EQ(stream->SetSourceKind(data ? "Data" : "Stream"), 0);
      }
      ASSERT_EQ(adapter->Register(), 0);
    }
  }

  Variant Reply(const uint8_t* block) {
    if (core::automation::ReadU16(block) != 8) {  // a trigger record
      return simulator_.refuse_records ? fakes::RefusalReply(1) : Variant();
    }
    switch (core::automation::ReadU16(block + 2)) {
      case core::bridge::kActiveTableCode:
        return simulator_.active_table ? fakes::PointerReply(simulator_.active_table) : Variant();
      case core::bridge::kSourceTableCode:
        return simulator_.source_table.empty()
                   ? Variant()
                   : fakes::PointerReply(fakes::MallocBlock(simulator_.source_table));
      default:
        return Variant();
    }
  }

  fakes::HostState state_;
  Simulator simulator_;
  core::bridge::HostAccess host_;
  core::bridge::CTriggerCommand bridge_{host_};
  CTriggerAction registry_{bridge_, host_};
};

}  // namespace registry_test
