// The SIO trigger: Source by value type, the interrupt-source checks, its record against golden
// bytes (the 15-character destination above all) and its line.
#include "core/triggers/sio_trigger.h"

#include <gtest/gtest.h>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::Variant;
using core::triggers::CSioTrigger;
using core::triggers::InterruptSources;
using Calls = std::vector<std::string>;

constexpr char kIllegalSource[] = "Invalid parameter: illegal interrupt source";

class SioTriggerTest : public ::testing::Test {
 protected:
  SioTriggerTest() {
    context_->sources = InterruptSources({{"RX", 0x21, 0}, {"TX", 0x22, 0}});
    context_->symbols = {{"UART0", static_cast<int32_t>(0xFFFE0000u)}, {"OLD", 7}};
  }

  // Trigger 5 "s", ready to register.
  void Ready(CSioTrigger& trigger) {
    trigger.SetNumber(5);
    trigger.SetNameUnchecked("s");
    trigger.PutSource(Variant::Bstr("UART0"));
    trigger.PutDstMode("RX");
    trigger.PutSrcMode("TX");
    trigger.PutDestination("ser");
  }

  std::string LastRecord() const {
    if (context_->records.empty()) return "(none)";
    return fakes::Hex(context_->records.back().data(), context_->records.back().size());
  }

  std::shared_ptr<fakes::FakeContext> context_ = std::make_shared<fakes::FakeContext>();
  CSioTrigger trigger_{context_};
};

TEST_F(SioTriggerTest, RecordCarriesAddressSourceCodesAndDestination) {
  struct Case {
    const char* dst_mode;
    const char* src_mode;
    const char* destination;
    const char* record;
  };
  const Case cases[] = {
      {"RX", "tx", "ser",
       "00 00 00 01 69 00 0F 00 00 00 00 00 00 00 00 00 00 00 FE FF 21 00 00 00 22 00 00 00 "
       "73 65 72 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      // Sources given as numbers are their own codes; fifteen characters leave room for the zero.
      {"1", "0", "ABCDEFGHIJKLMNO",
       "00 00 00 01 69 00 0F 00 00 00 00 00 00 00 00 00 00 00 FE FF 01 00 00 00 00 00 00 00 "
       "41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination);
    CSioTrigger trigger(context_);
    Ready(trigger);
    ASSERT_EQ(HResultText(trigger.PutDstMode(c.dst_mode)), HResultText(kOk));
    ASSERT_EQ(HResultText(trigger.PutSrcMode(c.src_mode)), HResultText(kOk));
    trigger.PutDestination(c.destination);
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    EXPECT_EQ(LastRecord(), c.record);
    EXPECT_EQ(context_->calls,
              (Calls{"Evaluate(UART0)", std::string("ResolveInterruptSource(") + c.dst_mode + ")",
                     std::string("ResolveInterruptSource(") + c.src_mode + ")",
                     "DefineTrigger(105,s,44 bytes,0)"}));
  }

  // A source the table no longer knows goes out as -1.
  Ready(trigger_);
  context_->sources = InterruptSources({{"TX", 0x22, 0}});
  EXPECT_EQ(HResultText(trigger_.Register()), HResultText(kOk));
  EXPECT_EQ(LastRecord().substr(60, 23), "FF FF FF FF 22 00 00 00");
}

TEST_F(SioTriggerTest, RegisterRefusals) {
  Ready(trigger_);
  trigger_.PutDestination("ABCDEFGHIJKLMNOP");  // sixteen: no room for the terminating zero
  context_->calls.clear();
  EXPECT_EQ(HResultText(trigger_.Register()), HResultText(kFail));
  EXPECT_EQ(context_->calls,
            Calls{"WriteLog(Invalid parameter: the SIO destination is longer than 15 characters)"});

  trigger_.PutDestination("ser");
  context_->symbols.erase("UART0");  // the expression no longer evaluates
  context_->calls.clear();
  EXPECT_EQ(HResultText(trigger_.Register()), HResultText(kFail));
  EXPECT_EQ(context_->calls, Calls{"Evaluate(UART0)"});

  // Every required text, and nothing reaches the host while one is empty.
  for (int empty = 0; empty < 5; ++empty) {
    CSioTrigger trigger(context_);
    if (empty != 0) trigger.SetNameUnchecked("s");
    if (empty != 1) trigger.PutDstMode("RX");
    if (empty != 2) trigger.PutSrcMode("TX");
    if (empty != 3) trigger.PutSource(Variant::Bstr("UART0"));
    if (empty != 4) trigger.PutDestination("ser");
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kFail)) << empty;
    EXPECT_TRUE(context_->calls.empty()) << empty;
  }
}

TEST_F(SioTriggerTest, SourceByValueType) {
  struct Case {
    Variant value;
    HResult result;
    const char* stored;
  };
  const Case cases[] = {
      {Variant::Bstr("UART0"), kOk, "UART0"},
      {Variant::Bstr("nowhere"), kFail, "OLD"},  // the evaluator refuses: silently
      {Variant::UI1(0xAB), kOk, "0x000000ab"},
      {Variant::UI2(0x1234), kOk, "0x00001234"},
      {Variant::UI4(0xDEADBEEFu), kOk, "0xdeadbeef"},
      // Signed and other values store nothing, yet count as a write.
      {Variant::I4(5), kOk, "OLD"},
      {Variant::I1(5), kOk, "OLD"},
      {Variant(), kOk, "OLD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.Describe());
    CSioTrigger trigger(context_);
    Ready(trigger);
    trigger.PutSource(Variant::Bstr("OLD"));
    ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger.PutSource(c.value)), HResultText(c.result));
    EXPECT_EQ(trigger.GetSource(), Variant::Bstr(c.stored));
    EXPECT_EQ(trigger.GetModified() != 0, c.result == kOk);
    EXPECT_TRUE(context_->log.empty());
  }
}

TEST_F(SioTriggerTest, InterruptSourcesAreChecked) {
  const std::pair<const char*, bool> cases[] = {{"rx", true}, {"BOGUS", false}};
  for (const auto& [mode, accepted] : cases) {
    SCOPED_TRACE(mode);
    CSioTrigger trigger(context_);
    trigger.PutDstMode("TX");
    trigger.PutSrcMode("TX");
    context_->log.clear();
    const HResult expected = accepted ? kOk : kFail;
    EXPECT_EQ(HResultText(trigger.PutDstMode(mode)), HResultText(expected));
    EXPECT_EQ(HResultText(trigger.PutSrcMode(mode)), HResultText(expected));
    EXPECT_EQ(trigger.DstMode(), accepted ? mode : "TX");
    EXPECT_EQ(trigger.SrcMode(), accepted ? mode : "TX");
    EXPECT_EQ(context_->log, (accepted ? Calls{} : Calls{kIllegalSource, kIllegalSource}));
  }
}

TEST_F(SioTriggerTest, LineRoundTrip) {
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,sio,s,UART0,RX,TX,ser")), HResultText(kOk));
  EXPECT_EQ(trigger_.GetDefinition(), "105,sio,s,UART0,RX,TX,ser");
  EXPECT_EQ(context_->calls,
            (Calls{"SetEventName(105,s,fresh)", "Evaluate(UART0)", "CheckInterruptSource(RX)",
                   "CheckInterruptSource(TX)", "Evaluate(UART0)", "ResolveInterruptSource(RX)",
                   "ResolveInterruptSource(TX)", "DefineTrigger(105,s,44 bytes,0)"}));

  // Refused values are kept (the sources logged) and the trigger registers with the ones it
  // had; the keyword is not compared.
  const std::vector<uint8_t> before = context_->records.back();
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,SIO?,s,nowhere,BAD,WORSE,ser")),
            HResultText(kOk));
  EXPECT_EQ(context_->log, (Calls{kIllegalSource, kIllegalSource}));
  EXPECT_EQ(context_->records.back(), before);

  CSioTrigger fresh(context_);  // nothing to fall back on
  EXPECT_EQ(HResultText(fresh.PutDefinition("106,sio,t,UART0,BAD,TX,ser")), HResultText(kFail));
  EXPECT_EQ(fresh.GetDefinition(), "106,sio,t,UART0,,TX,ser");
}

}  // namespace
