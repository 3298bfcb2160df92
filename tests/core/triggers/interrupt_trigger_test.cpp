// The interrupt trigger: its record for both forms, its line in both forms, and its puts.
#include "core/triggers/interrupt_trigger.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::kVariantFalse;
using core::automation::kVariantTrue;
using core::triggers::CInterruptTrigger;
using core::triggers::InterruptSources;

const InterruptSources kTable({{"INT0", 0x10, 0}, {"int1", 0x11, 0}, {"TIMER", 0x8020, 0}});

std::shared_ptr<fakes::FakeContext> MakeFake() {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->sources = kTable;
  return fake;
}

TEST(InterruptTriggerTest, RecordLayout) {
  struct Case {
    const char* what;
    int32_t number;
    bool raise;
    int32_t cycle, wait;
    const char* source;
    bool table_loses_source;  // the table changed after the source was accepted
    const char* bytes;
  };
  const Case cases[] = {
      {"raise, name", 5, true, 1000, -2, "timer", false,
       "00 00 00 01 69 00 01 00 E8 03 00 00 FE FF FF FF 20 80"},
      {"clear: no timing", 5, false, 1000, -2, "1", false,
       "00 00 00 01 69 00 0A 00 00 00 00 00 00 00 00 00 01 00"},
      {"limits; a negative number", 255, true, INT_MIN, INT_MAX, "-1", false,
       "00 00 00 01 63 01 01 00 00 00 00 80 FF FF FF 7F FF FF"},
      {"number 0", 0, true, 0, 0, "0", false,
       "00 00 00 01 64 00 01 00 00 00 00 00 00 00 00 00 00 00"},
      {"name the table lost", 1, true, 1, 2, "INT1", true,
       "00 00 00 01 65 00 01 00 01 00 00 00 02 00 00 00 FF FF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = MakeFake();
    CInterruptTrigger trigger(fake);
    trigger.SetNumber(c.number);
    trigger.PutCycle(c.cycle);
    trigger.PutWait(c.wait);
    trigger.PutRaise(c.raise ? kVariantTrue : kVariantFalse);
    ASSERT_EQ(trigger.PutSource(c.source), kOk);
    if (c.table_loses_source) fake->sources = InterruptSources({{"INT0", 0x10, 0}});
    ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    ASSERT_EQ(fake->records.size(), 1u);
    EXPECT_EQ(fakes::Hex(fake->records[0].data(), fake->records[0].size()), c.bytes);
  }
}

TEST(InterruptTriggerTest, LineRoundTrip) {
  auto fake = MakeFake();
  CInterruptTrigger trigger(fake);
  EXPECT_EQ(trigger.GetDefinition(), "100,interrupt,trg_interrupt,,0,0");

  trigger.SetNumber(7);
  trigger.SetNameUnchecked("my pump");
  trigger.PutSource("int0");
  trigger.PutCycle(-5);
  trigger.PutWait(2147483647);
  const std::string line = trigger.GetDefinition();
  EXPECT_EQ(line, "107,interrupt,my pump,int0,-5,2147483647");
  CInterruptTrigger copy(fake);
  EXPECT_EQ(copy.PutDefinition(line), kOk);
  EXPECT_EQ(copy.GetDefinition(), line);

  // A clearing trigger writes its timing but does not read it back.
  trigger.PutRaise(kVariantFalse);
  EXPECT_EQ(trigger.GetDefinition(), "107,clearInterrupt,my pump,int0,-5,2147483647");
  CInterruptTrigger other(fake);
  other.PutCycle(1);
  other.PutWait(2);
  EXPECT_EQ(other.PutDefinition(trigger.GetDefinition()), kOk);
  EXPECT_EQ(other.GetDefinition(), "107,clearInterrupt,my pump,int0,1,2");
  EXPECT_FALSE(other.Raise());
}

TEST(InterruptTriggerTest, KeywordDecidesTheForm) {
  struct Case {
    const char* line;
    bool accepted;
    bool raise;
  };
  const Case cases[] = {
      {"101,INTERRUPT,a,INT0,3,4", true, true},
      {"101,ClearInterrupt,a,INT0,3,4", true, false},
      {"101,interrupts,a,INT0,3,4", false, false},
      {"101,clear,a,INT0,3,4", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto fake = MakeFake();
    CInterruptTrigger trigger(fake);
    trigger.PutRaise(kVariantFalse);
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(c.accepted ? kOk : kFail));
    // Number, name and source are taken even from a line whose keyword is refused.
    EXPECT_EQ(trigger.Number(), 1);
    EXPECT_EQ(trigger.Name(), "a");
    EXPECT_EQ(trigger.Source(), "INT0");
    EXPECT_EQ(trigger.Raise(), c.raise);
    EXPECT_EQ(trigger.Cycle(), c.raise ? 3 : 0);
    EXPECT_EQ(fake->records.size(), c.accepted ? 1u : 0u);
  }
}

TEST(InterruptTriggerTest, PutsAndModified) {
  struct Case {
    const char* what;
    std::function<core::automation::HResult(CInterruptTrigger&)> put;
    core::automation::HResult result;
    bool modified;
    size_t logged;
  };
  const Case cases[] = {
      {"Cycle", [](auto& t) { return t.PutCycle(1); }, kOk, true, 0},
      {"Wait", [](auto& t) { return t.PutWait(1); }, kOk, true, 0},
      {"Raise", [](auto& t) { return t.PutRaise(kVariantFalse); }, kOk, true, 0},
      {"Source 0", [](auto& t) { return t.PutSource("0"); }, kOk, true, 0},
      {"Source = entry count", [](auto& t) { return t.PutSource("3"); }, kFail, false, 1},
      {"unknown Source", [](auto& t) { return t.PutSource("INT2"); }, kFail, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = MakeFake();
    CInterruptTrigger trigger(fake);
    EXPECT_EQ(trigger.GetModified(), 0);
    EXPECT_EQ(HResultText(c.put(trigger)), HResultText(c.result));
    EXPECT_EQ(trigger.GetModified() != 0, c.modified);
    EXPECT_EQ(fake->log.size(), c.logged);
    if (c.logged) {
      EXPECT_EQ(fake->log[0], "Invalid parameter: illegal interrupt source");
    }
  }
  // Raise stores true only for VARIANT_TRUE exactly.
  CInterruptTrigger trigger(MakeFake());
  trigger.PutRaise(1);
  EXPECT_EQ(trigger.GetRaise(), kVariantFalse);
  trigger.PutRaise(kVariantTrue);
  EXPECT_EQ(trigger.GetRaise(), kVariantTrue);
}

}  // namespace
