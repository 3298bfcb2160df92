// The property protocol every kind shares, seen through the interrupt kind: the checked rename,
// the order of the parse frame, refusals that keep the old value, and what Register answers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/triggers/file_stream_trigger.h"
#include "core/triggers/interrupt_trigger.h"
#include "core/triggers/io_access_trigger.h"
#include "core/triggers/io_stream_trigger.h"
#include "tests/core/fakes/fake_context.h"

namespace {

using core::automation::Format;
using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kFalse;
using core::automation::kOk;
using core::automation::kVariantTrue;
using core::triggers::CInterruptTrigger;
using core::triggers::CTrigger;
using core::triggers::InterruptSources;
using Calls = std::vector<std::string>;

constexpr char kLongClash[] = "Invalid parameter: The name is the same as other trigger action";
constexpr char kShortClash[] = "The name is the same as other trigger action";

// Notes the trigger's number and name whenever the trigger turns to its surroundings, so the
// recorded calls show which steps of the frame had happened by then.
class SnoopingContext : public fakes::FakeContext {
 public:
  const CTrigger* trigger = nullptr;

  int SetEventName(int32_t id, const std::string& name, bool fresh) override {
    Snoop();
    return FakeContext::SetEventName(id, name, fresh);
  }
  HResult CheckInterruptSource(const std::string& source) override {
    Snoop();
    return FakeContext::CheckInterruptSource(source);
  }

 private:
  void Snoop() { calls.push_back(Format("[%d %s]", trigger->Number(), trigger->Name().c_str())); }
};

// Shows where SetNumber falls in the frame.
class ProbedInterruptTrigger : public CInterruptTrigger {
 public:
  using CInterruptTrigger::CInterruptTrigger;
  void SetNumber(int32_t number) override {
    auto& fake = static_cast<fakes::FakeContext&>(Context());
    fake.calls.push_back(Format("SetNumber(%d) [%s]", number, Name().c_str()));
    CInterruptTrigger::SetNumber(number);
  }
};

struct Fixture {
  std::shared_ptr<SnoopingContext> fake = std::make_shared<SnoopingContext>();
  ProbedInterruptTrigger trigger{fake};

  // Trigger 5, "pump", registered: nothing modified.
  Fixture() {
    fake->trigger = &trigger;
    fake->sources = InterruptSources({{"INT0", 0x10, 0}, {"TIMER", 0x20, 0}});
    trigger.SetNumber(5);
    trigger.SetNameUnchecked("pump");
    trigger.PutSource("INT0");
    EXPECT_EQ(trigger.Register(), kOk);
    fake->calls.clear();
    fake->records.clear();
  }
};

TEST(TriggerProtocolTest, CheckedRename) {
  struct Case {
    const char* what;
    HResult name_check;
    int event_name_result;
    const char* name;
    HResult result;
    Calls calls;
    const char* name_after;
  };
  const Case cases[] = {
      {"clash",
       kFail,
       0,
       "fan",
       kFail,
       {"CheckNameUniqueExcept(fan,5)", std::string("WriteLog(") + kLongClash + ")"},
       "pump"},
      {"own name passes: own number excluded",
       kOk,
       0,
       "pump",
       kOk,
       {"CheckNameUniqueExcept(pump,5)", "[5 pump]", "SetEventName(105,pump,rename)"},
       "pump"},
      {"refused by the event list",
       kOk,
       1,
       "fan",
       kFail,
       {"CheckNameUniqueExcept(fan,5)", "[5 pump]", "SetEventName(105,fan,rename)"},
       "pump"},
      {"renamed",
       kOk,
       0,
       "fan",
       kOk,
       {"CheckNameUniqueExcept(fan,5)", "[5 pump]", "SetEventName(105,fan,rename)"},
       "fan"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.fake->name_check = c.name_check;
    f.fake->event_name_result = c.event_name_result;
    EXPECT_EQ(HResultText(f.trigger.PutName(c.name)), HResultText(c.result));
    EXPECT_EQ(f.fake->calls, c.calls);
    EXPECT_EQ(f.trigger.Name(), c.name_after);
    EXPECT_EQ(f.trigger.GetModified(), c.result == kOk ? kVariantTrue : 0);
  }
}

TEST(TriggerProtocolTest, EachKindLogsItsOwnClashWording) {
  using Factory = std::function<std::unique_ptr<CTrigger>(std::shared_ptr<fakes::FakeContext>)>;
  struct Case {
    const char* kind;
    Factory make;
    const char* message;
  };
  const Case cases[] = {
      {"interrupt", [](auto c) { return std::make_unique<CInterruptTrigger>(c); }, kLongClash},
      {"ioaccess", [](auto c) { return std::make_unique<core::triggers::CIOAccessTrigger>(c); },
       kLongClash},
      {"iostream", [](auto c) { return std::make_unique<core::triggers::CIOStreamTrigger>(c); },
       kShortClash},
      {"filestream", [](auto c) { return std::make_unique<core::triggers::CFileStreamTrigger>(c); },
       kShortClash},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    auto fake = std::make_shared<fakes::FakeContext>();
    fake->name_check = kFail;
    auto trigger = c.make(fake);
    const std::string before = trigger->Name();
    EXPECT_EQ(HResultText(trigger->PutName("taken")), HResultText(kFail));
    EXPECT_EQ(fake->log, Calls{c.message});
    EXPECT_EQ(trigger->Name(), before);
  }
}

TEST(TriggerProtocolTest, ParseRunsTheFrameInOrder) {
  Fixture f;
  f.fake->event_name_result = 1;  // the event list's answer does not matter here
  EXPECT_EQ(HResultText(f.trigger.PutDefinition("107,interrupt,fan,TIMER,7,8")), HResultText(kOk));
  const Calls expected = {
      "[5 pump]",
      "SetEventName(107,fan,fresh)",  // the id as written, before the number changes
      "SetNumber(7) [pump]",          // then the number, before the name
      "[7 fan]",
      "CheckInterruptSource(TIMER)",  // the kind's puts see both
      "ResolveInterruptSource(TIMER)",
      "DefineTrigger(107,fan,18 bytes,1)",
  };
  EXPECT_EQ(f.fake->calls, expected);
  EXPECT_EQ(f.trigger.Cycle(), 7);
  EXPECT_EQ(f.trigger.Wait(), 8);
}

TEST(TriggerProtocolTest, ParseTrustsTheLinesName) {
  Fixture f;
  f.fake->name_check = kFail;  // would clash if it were checked
  EXPECT_EQ(f.trigger.PutDefinition("105,interrupt,fan,INT0,0,0"), kOk);
  EXPECT_EQ(f.trigger.Name(), "fan");
  EXPECT_TRUE(f.fake->log.empty());
}

TEST(TriggerProtocolTest, RefusalsKeepTheOldValue) {
  const std::string refused =
      std::string("WriteLog(") + core::triggers::kIllegalInterruptSourceMessage + ")";
  Fixture f;
  EXPECT_EQ(HResultText(f.trigger.PutSource("INT9")), HResultText(kFail));
  EXPECT_EQ(f.fake->calls, (Calls{"[5 pump]", "CheckInterruptSource(INT9)", refused}));
  EXPECT_EQ(f.trigger.Source(), "INT0");
  EXPECT_EQ(f.trigger.GetModified(), 0) << "a refused put marks nothing";

  // Inside a line the refusal is logged and the parse goes on with the old source.
  f.fake->calls.clear();
  EXPECT_EQ(f.trigger.PutDefinition("105,interrupt,pump,INT9,3,4"), kOk);
  EXPECT_EQ(f.fake->log, (Calls{core::triggers::kIllegalInterruptSourceMessage,
                                core::triggers::kIllegalInterruptSourceMessage}));
  EXPECT_EQ(f.trigger.Source(), "INT0");
  EXPECT_EQ(f.trigger.Cycle(), 3);
  ASSERT_EQ(f.fake->records.size(), 1u);
  EXPECT_EQ(f.fake->records[0][16], 0x10) << "registered with the old source's code";

  // With no old source to fall back on, Register has nothing to send.
  auto fresh = std::make_shared<fakes::FakeContext>();
  CInterruptTrigger blank(fresh);
  EXPECT_EQ(HResultText(blank.PutDefinition("100,interrupt,x,INT9,1,2")), HResultText(kFail));
  EXPECT_TRUE(fresh->records.empty());
}

TEST(TriggerProtocolTest, RegisterAnswers) {
  struct Case {
    const char* what;
    int define_result;
    const char* name;
    const char* source;
    HResult result;
    bool flags_set;
    size_t defines;
  };
  const Case cases[] = {
      {"accepted", 0, "pump", "INT0", kOk, true, 1},
      {"simulator refuses: the bridge's 1", 1, "pump", "INT0", kFalse, false, 1},
      {"empty name: nothing sent", 0, "", "INT0", kFail, false, 0},
      {"empty source: nothing sent", 0, "pump", "", kFail, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = std::make_shared<fakes::FakeContext>();
    fake->sources = InterruptSources({{"INT0", 0x10, 0}});
    fake->define_result = c.define_result;
    CInterruptTrigger trigger(fake);
    trigger.SetNameUnchecked(c.name);
    if (*c.source) trigger.PutSource(c.source);
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(c.result));
    EXPECT_EQ(fake->records.size(), c.defines);
    EXPECT_TRUE(fake->log.empty());
    EXPECT_EQ(trigger.GetInSimulator() != 0, c.flags_set);
    EXPECT_EQ(trigger.GetRegistered() != 0, c.flags_set);
    EXPECT_EQ(trigger.GetModified() != 0, !c.flags_set);
  }
}

TEST(TriggerProtocolTest, ActiveIsTrueOnlyForVariantTrueAndMarksNothing) {
  Fixture f;
  const std::pair<int16_t, bool> cases[] = {{-1, true}, {1, false}, {0x7FFF, false}, {0, false}};
  for (const auto& [value, active] : cases) {
    EXPECT_EQ(f.trigger.PutActive(value), kOk);
    EXPECT_EQ(f.trigger.GetActive() != 0, active) << value;
  }
  EXPECT_EQ(f.trigger.GetModified(), 0);
}

}  // namespace
