// The transfer trigger: its record with every size and mode code, the refusals of Register, the
// keyword, mode-value and address puts, and its 13-field definition line.
#include "core/triggers/transfer_trigger.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"
#include "tests/core/triggers/record_rows.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kFalse;
using core::automation::kOk;
using core::automation::Variant;
using core::triggers::CTransferTrigger;
using Calls = std::vector<std::string>;
using Rows = std::vector<std::string>;

std::shared_ptr<fakes::FakeContext> Evaluator() {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->symbols = {{"0x00000100", 0x100},
                   {"0x00000200", 0x200},
                   {"0x00000300", 0x300},
                   {"base+4", 0x1004},
                   {"-1", -1}};
  return fake;
}

// The trigger of the line 101,transfer,trg_move,16,8BIT,0x00000100,INCREMENT,0x00000200,...
void Move(CTransferTrigger& t) {
  t.SetNumber(1);
  t.SetNameUnchecked("trg_move");
  t.PutCount(16);
  t.PutSize("8bit");
  t.PutSource(Variant::I4(0x100));
  t.PutSrcMode("increment");
  t.PutDestination(Variant::UI2(0x200));
  t.PutDstMode("INCREMENT");
}

TEST(TransferTriggerTest, RecordLayout) {
  auto fake = Evaluator();
  CTransferTrigger trigger(fake);
  Move(trigger);
  trigger.PutCycle(0x11223344);
  trigger.PutWait(2);
  trigger.PutSrcModeValue(31);
  trigger.PutDstModeValue(5);
  trigger.PutSource(Variant::Bstr("-1"));
  ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
  EXPECT_EQ(fake->calls, (Calls{"Evaluate(-1)", "Evaluate(-1)", "Evaluate(0x00000200)",
                                "DefineTrigger(101,trg_move,836 bytes,0)"}));
  ASSERT_EQ(fake->records.size(), 1u);
  EXPECT_EQ(fake->records[0].size(), 836u);
  EXPECT_EQ(fakes::NonZeroRows(fake->records[0]),
            (Rows{"0000: 00 00 00 01 65 00 04 00 44 33 22 11 02 00 00 00",
                  "0010: 01 02 02 00 10 00 00 00 FF FF FF FF 00 02 00 00",
                  "0020: 1F 00 00 00 05 00 00 00 00 00 00 00 00 00 00 00"}));
}

TEST(TransferTriggerTest, SizeAndModeCodes) {
  struct Case {
    const char* size;  // nullptr: never set
    const char* src_mode;
    const char* dst_mode;
    const char* codes;  // record bytes 16..18
  };
  const Case cases[] = {
      {"8bit", "fix", "increment", "01 01 02"},  {"byte", "increment", "fix", "01 02 01"},
      {"16BIT", "decrement", "fix", "02 03 01"}, {"word", "fix", "decrement", "02 01 03"},
      {"32bit", "fix", "fix", "04 01 01"},       {"long", "fix", "fix", "04 01 01"},
      {"8bit*", "fix", "fix", "81 01 01"},       {"16Bit*", "fix", "fix", "82 01 01"},
      {"32BIT*", "fix", "fix", "84 01 01"},      {nullptr, "fix", "fix", "FF 01 01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codes);
    auto fake = Evaluator();
    CTransferTrigger trigger(fake);
    trigger.SetNameUnchecked("t");
    trigger.PutSource(Variant::I4(0x100));
    trigger.PutDestination(Variant::I4(0x200));
    if (c.size) {
      ASSERT_EQ(trigger.PutSize(c.size), kOk);
    }
    ASSERT_EQ(trigger.PutSrcMode(c.src_mode), kOk);
    ASSERT_EQ(trigger.PutDstMode(c.dst_mode), kOk);
    ASSERT_EQ(trigger.Register(), kOk);
    EXPECT_EQ(fakes::Hex(fake->records[0].data() + 16, 3), c.codes);
  }
}

TEST(TransferTriggerTest, RegisterRefusals) {
  struct Case {
    const char* what;
    std::function<void(CTransferTrigger&)> set;
    int define_result;
    HResult result;
    Calls calls;
  };
  const Case cases[] = {
      {"accepted",
       [](auto&) {},
       0,
       kOk,
       {"Evaluate(0x00000100)", "Evaluate(0x00000200)", "DefineTrigger(101,trg_move,836 bytes,0)"}},
      {"the simulator refuses",
       [](auto&) {},
       1,
       kFalse,
       {"Evaluate(0x00000100)", "Evaluate(0x00000200)", "DefineTrigger(101,trg_move,836 bytes,0)"}},
      {"no name", [](auto& t) { t.SetNameUnchecked(""); }, 0, kFail, {}},
      {"source the evaluator rejects",
       [](auto& t) { t.PutSource(Variant::UI4(0x400)); },
       0,
       kFail,
       {"Evaluate(0x00000400)"}},
      {"destination the evaluator rejects",
       [](auto& t) { t.PutDestination(Variant::UI4(0x400)); },
       0,
       kFail,
       {"Evaluate(0x00000100)", "Evaluate(0x00000400)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = Evaluator();
    fake->define_result = c.define_result;
    CTransferTrigger trigger(fake);
    Move(trigger);
    c.set(trigger);
    fake->calls.clear();
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(c.result));
    EXPECT_EQ(fake->calls, c.calls);
    const bool defined = c.result == kOk;
    EXPECT_EQ(trigger.GetRegistered() != 0, defined);
    EXPECT_EQ(trigger.GetInSimulator() != 0, defined);
    EXPECT_EQ(trigger.GetModified() != 0, !defined);
  }

  // Each required text on its own: a trigger whose texts were never set has them empty.
  for (int missing = 0; missing < 4; ++missing) {
    SCOPED_TRACE(missing);
    auto fake = Evaluator();
    CTransferTrigger trigger(fake);
    trigger.SetNameUnchecked("t");
    if (missing != 0) trigger.PutSource(Variant::I4(0x100));
    if (missing != 1) trigger.PutSrcMode("fix");
    if (missing != 2) trigger.PutDestination(Variant::I4(0x200));
    if (missing != 3) trigger.PutDstMode("fix");
    EXPECT_EQ(trigger.Register(), kFail);
    EXPECT_EQ(fake->calls, Calls{});
  }
}

TEST(TransferTriggerTest, KeywordAndModeValuePuts) {
  using Put = HResult (CTransferTrigger::*)(const std::string&);
  using Get = const std::string& (CTransferTrigger::*)() const;
  struct Case {
    Put put;
    Get get;
    const char* given;
    const char* stored;  // nullptr: refused
  };
  const Case cases[] = {
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "byte", "8BIT"},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "Word", "16BIT"},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "LONG", "32BIT"},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "16bit*", "16BIT*"},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "32Bit*", "32BIT*"},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "double", nullptr},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "8bit**", nullptr},
      {&CTransferTrigger::PutSize, &CTransferTrigger::Size, "", nullptr},
      {&CTransferTrigger::PutSrcMode, &CTransferTrigger::SrcMode, "increment", "INCREMENT"},
      {&CTransferTrigger::PutSrcMode, &CTransferTrigger::SrcMode, "Fix", "FIX"},
      {&CTransferTrigger::PutSrcMode, &CTransferTrigger::SrcMode, "IO", nullptr},
      {&CTransferTrigger::PutDstMode, &CTransferTrigger::DstMode, "DECREMENT", "DECREMENT"},
      {&CTransferTrigger::PutDstMode, &CTransferTrigger::DstMode, "io4", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    auto fake = Evaluator();
    CTransferTrigger trigger(fake);
    EXPECT_EQ(HResultText((trigger.*c.put)(c.given)), HResultText(c.stored ? kOk : kFail));
    EXPECT_EQ((trigger.*c.get)(), c.stored ? c.stored : "");
    EXPECT_EQ(trigger.GetModified() != 0, c.stored != nullptr);
    EXPECT_EQ(fake->calls, Calls{});
  }

  for (const int16_t value : {0, 31, 32, -1, -32768, 0x7FFF}) {
    SCOPED_TRACE(value);
    const bool accepted = value >= 0 && value <= 31;
    CTransferTrigger trigger(Evaluator());
    trigger.PutSrcModeValue(7);
    trigger.PutDstModeValue(7);
    EXPECT_EQ(trigger.PutSrcModeValue(value), accepted ? kOk : kFail);
    EXPECT_EQ(trigger.PutDstModeValue(value), accepted ? kOk : kFail);
    EXPECT_EQ(trigger.SrcModeValue(), accepted ? value : 7);
    EXPECT_EQ(trigger.DstModeValue(), accepted ? value : 7);
  }
}

TEST(TransferTriggerTest, AddressPutsByVariantType) {
  struct Case {
    Variant value;
    HResult result;
    const char* stored;  // "" for nothing stored
  };
  const Case cases[] = {
      {Variant::I2(-2), kOk, "0xfffffffe"},
      {Variant::I2(0x7FFF), kOk, "0x00007fff"},
      {Variant::I4(-1), kOk, "0xffffffff"},
      {Variant::I4(0x100), kOk, "0x00000100"},
      {Variant::I1(-1), kOk, "0x000000ff"},
      {Variant::UI1(255), kOk, "0x000000ff"},
      {Variant::UI2(0xFFFF), kOk, "0x0000ffff"},
      {Variant::UI4(0x80000000u), kOk, "0x80000000"},
      {Variant::R8(256.0), kOk, ""},
      {Variant::Int(5), kOk, ""},
      {Variant::UInt(5), kOk, ""},
      {Variant::Bool(-1), kOk, ""},
      {Variant(), kOk, ""},
      {Variant::Bstr("base+4"), kOk, "base+4"},
      {Variant::Bstr("nowhere"), kFail, ""},
  };
  using Put = HResult (CTransferTrigger::*)(const Variant&);
  using Get = Variant (CTransferTrigger::*)() const;
  const std::pair<Put, Get> properties[] = {
      {&CTransferTrigger::PutSource, &CTransferTrigger::Source},
      {&CTransferTrigger::PutDestination, &CTransferTrigger::Destination}};
  for (const Case& c : cases) {
    for (const auto& [put, get] : properties) {
      SCOPED_TRACE(c.value.Describe());
      CTransferTrigger trigger(Evaluator());
      EXPECT_EQ(HResultText((trigger.*put)(c.value)), HResultText(c.result));
      EXPECT_EQ((trigger.*get)(), Variant::Bstr(c.stored));
      EXPECT_EQ(trigger.GetModified() != 0, c.result == kOk);
    }
  }
}

TEST(TransferTriggerTest, Rendering) {
  CTransferTrigger trigger(Evaluator());
  EXPECT_EQ(trigger.GetDefinition(), "100,transfer,,0,,,,,,0,0,0,0");
  Move(trigger);
  EXPECT_EQ(trigger.GetDefinition(),
            "101,transfer,trg_move,16,8BIT,0x00000100,INCREMENT,0x00000200,INCREMENT,0,0,0,0");
}

TEST(TransferTriggerTest, ParsingKeepsWhatThePutsRefuse) {
  // Every case starts from this trigger, so a refused or unread field shows its old value.
  const char* kBefore =
      "109,transfer,pre,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2";
  const std::string long_name(260, 'n');
  struct Case {
    const char* what;
    std::string line;
    HResult result;
    std::string after;
  };
  const Case cases[] = {
      {"the example line",
       "101,transfer,trg_move,16,8BIT,0x00000100,INCREMENT,0x00000200,INCREMENT,0,0,0,0", kOk,
       "101,transfer,trg_move,16,8BIT,0x00000100,INCREMENT,0x00000200,INCREMENT,0,0,0,0"},
      {"keywords normalised", "101,transfer,t,16,byte,0x00000100,increment,0x00000200,Fix,1,2,3,4",
       kOk, "101,transfer,t,16,8BIT,0x00000100,INCREMENT,0x00000200,FIX,1,2,3,4"},
      {"refused puts keep the old values; mode values above 31 stay",
       "101,transfer,t,16,double,0x00000100,IO,nowhere,fix,1,2,40,-1", kOk,
       "101,transfer,t,16,32BIT*,0x00000100,DECREMENT,0x00000300,FIX,1,2,40,-1"},
      {"numbers wrap; a mode value is put by its low 16 bits",
       "101,transfer,t,4294967297,8bit,0x00000100,fix,0x00000200,fix,4294967295,-1,65541,0", kOk,
       "101,transfer,t,1,8BIT,0x00000100,FIX,0x00000200,FIX,4294967295,4294967295,5,0"},
      {"a short line leaves the rest as it was", "101,transfer,t,16", kOk,
       "101,transfer,t,16,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
      {"an empty field ends the reading",
       "101,transfer,t,16,,0x00000100,fix,0x00000200,fix,1,2,3,4", kOk,
       "101,transfer,t,16,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
      {"the keyword is matched as written", "101,Transfer,t,16,8bit,0x00000100,fix,0x00000200,fix",
       kFail, "101,transfer,,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
      {"a name of 260 characters ends the reading",
       "101,transfer," + long_name + ",16,8bit,0x00000100,fix,0x00000200,fix,1,2,3,4", kFail,
       "101,transfer,,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = Evaluator();
    CTransferTrigger trigger(fake);
    ASSERT_EQ(trigger.PutDefinition(kBefore), kOk);
    ASSERT_EQ(trigger.GetDefinition(), kBefore);
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(c.result));
    EXPECT_EQ(trigger.GetDefinition(), c.after);
  }
}

TEST(TransferTriggerTest, ParseCallsInOrder) {
  auto fake = Evaluator();
  CTransferTrigger trigger(fake);
  EXPECT_EQ(trigger.PutDefinition(
                "101,transfer,trg_move,16,8BIT,0x00000100,INCREMENT,0x00000200,INCREMENT,0,0,0,0"),
            kOk);
  // The destination is put before the source.
  EXPECT_EQ(fake->calls,
            (Calls{"SetEventName(101,trg_move,fresh)", "Evaluate(0x00000200)",
                   "Evaluate(0x00000100)", "Evaluate(0x00000100)", "Evaluate(0x00000200)",
                   "DefineTrigger(101,trg_move,836 bytes,0)"}));
  EXPECT_EQ(trigger.Number(), 1);
  EXPECT_EQ(trigger.GetModified(), 0);
}

TEST(TransferTriggerTest, RenameUsesTheShortClashMessage) {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->name_check = kFail;
  CTransferTrigger trigger(fake);
  trigger.SetNameUnchecked("mine");
  EXPECT_EQ(trigger.PutName("other"), kFail);
  EXPECT_EQ(fake->log, Calls{"The name is the same as other trigger action"});
  EXPECT_EQ(trigger.Name(), "mine");
}

}  // namespace
