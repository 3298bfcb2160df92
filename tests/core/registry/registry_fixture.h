// A registry wired to the strict fake host through a real bridge and host access, with a small
// scripted simulator behind "SimCommand": it accepts or refuses records, and hands out an active
// table and an interrupt source table when it has them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
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
#include "tests/core/rows/set_columns.h"
#include "tests/core/test_support.h"

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
  Calls Take() { return state_.Take(); }
  // Only the calls that reached the given service ("TargetCommand.", "Manager.", ...).
  Calls Take(const std::string& prefix) {
    Calls only;
    for (std::string& call : Take()) {
      if (call.rfind(prefix, 0) == 0) only.push_back(std::move(call));
    }
    return only;
  }
  std::vector<std::string> TakeLog() { return std::exchange(state_.log, {}); }
  // The calls made since the last look but those writing the log, which TakeLog shows.
  Calls HostCalls() {
    Calls calls;
    for (std::string& call : Take()) {
      if (call.find("Tamber.Service") == std::string::npos) calls.push_back(std::move(call));
    }
    return calls;
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

  // An interrupt source table with codes 0x20, 0x21, ...: names of up to 8 characters in the
  // short form, up to 16 with a value (9) in the extended form.
  static std::vector<uint8_t> SourceTable(std::vector<std::string> names, bool extended = false) {
    const size_t head = extended ? 4 : 2;
    const size_t width = extended ? 16 : 8;
    core::automation::ByteWriter table(head + names.size() * (width + (extended ? 4 : 2)));
    table.U16(0, extended ? 0xFFFF : static_cast<uint16_t>(names.size()));
    if (extended) table.U16(2, static_cast<uint16_t>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
      const size_t entry = head + i * (width + (extended ? 4 : 2));
      table.Text(entry, names[i], width);
      table.U16(entry + width, static_cast<uint16_t>(0x20 + i));
      if (extended) table.U16(entry + width + 2, 9);
    }
    return table.Take();
  }
  // "INT0", "INT1" and "SERIALRX" (which fills all 8 bytes), codes 0x20..0x22.
  static std::vector<uint8_t> ShortSourceTable() {
    return SourceTable({"INT0", "INT1", "SERIALRX"});
  }

  // One trigger of every kind in slots 0 to 9, in the order of the kind table, and in slot 10 a
  // stream trigger of the other source kind; each written through its row adapter's setters as
  // the trigger window does, then registered. (A data trigger's line carries no Count, so only
  // the stream-kind one is given one.)
  static void ConfigureAllKinds(CTriggerAction& registry) {
    const std::pair<const char*, const char*> steps[] = {
        {"interrupt", "Name=irq;Destination=INT1;Cycle=10;Wait=0x20"},
        {"transfer",
         "Name=move;Size=word;Destination=0x200;DstMode=increment;Source=0x100;SrcMode=fix;"
         "Count=16;Cycle=3;Wait=4;DstModeValue=2;SrcModeValue=1"},
        {"data",
         "Name=wave;Size=byte;Destination=0x300;DstMode=repeat;SrcMode=default;Cycle=5;Wait=6;"
         "Mask=0xff;DataList=1,2,3;SourceKind=Data"},
        {"iostream", "Name=port;Destination=9000"},
        {"connect", "Name=group;Destination=irq,move"},
        {"control", "Name=stopper;Destination=wave;Source=stop"},
        {"message", "Name=notify;Destination=WM_TRIGGER;Cycle=7;Wait=8"},
        {"sio", "Name=serial;Destination=COM1;DstMode=INT0;Source=0x400;SrcMode=SERIALRX"},
        {"filestream", "Name=file"},
        {"ioaccess", "Name=io;Cycle=11;Wait=12"},
        {"stream",
         "Name=copy;Size=long;Destination=0x500;DstMode=single;Count=4;Mask=0xffff;"
         "StreamSource=0x600;SourceKind=Stream"},
    };
    for (const auto& [keyword, columns] : steps) {
      SCOPED_TRACE(keyword);
      Variant made;
      ASSERT_HR(kOk, registry.CreateTriggerByKeyword(keyword, &made));
      auto* adapter = static_cast<TriggerInfo*>(made.Pointer());
      row_test::SetColumns(*adapter, columns);
      ASSERT_EQ(adapter->Register(), 0);
    }
  }

  // What each step returned, the host calls it made (the simulator's shown by their command
  // block), the log lines it wrote and the occupied slots afterwards, for a golden transcript.
  using Steps = std::vector<std::pair<std::string, std::function<HResult()>>>;
  std::string Transcript(const Steps& steps, const CTriggerAction& registry) {
    std::string text;
    for (const auto& [step, run] : steps) {
      text += step + ": " + HResultText(run()) + "\n";
      for (const std::string& call : HostCalls()) text += "  " + call + "\n";
      for (const std::string& line : TakeLog()) text += "  log: " + line + "\n";
      text += "  slots:";
      for (int32_t slot = 0; slot < 256; ++slot) {
        if (const TriggerInfo* adapter = registry.AdapterAt(slot)) {
          text += " " + std::to_string(slot) + "=" + adapter->GetNumberText() + " " +
                  adapter->GetNameText() + " " + adapter->GetStatusText();
        }
      }
      text += "\n";
    }
    return text;
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
