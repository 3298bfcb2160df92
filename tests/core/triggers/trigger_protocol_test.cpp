// The property protocol every kind shares: the checked rename and each kind's clash wording, and a
// trigger with nothing around it.
#include <gtest/gtest.h>

#include <set>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::Format;
using core::automation::kVariantTrue;
using core::triggers::CInterruptTrigger;
using core::triggers::kNameClashMessage;

// Notes the trigger's number and name when the event list is told of a name, so the recorded
// calls show that a rename keeps the old name until the event list took the new one.
class SnoopingContext : public fakes::FakeContext {
 public:
  const CTrigger* trigger = nullptr;

  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    calls.push_back(Format("[%d %s]", trigger->Number(), trigger->Name().c_str()));
    return FakeContext::SetEventName(id, name, previous);
  }
};

TEST(TriggerProtocolTest, CheckedRename) {
  struct Case {
    HResult name_check;
    int event_name_result;
    const char* name;
    HResult result;
    const char* calls;
  };
  const std::string clash = std::string(" | WriteLog(") + kNameClashMessage + ")";
  const Case cases[] = {
      {kFail, 0, "fan", kFail, "CheckNameUniqueExcept(fan,5)"},  // + the clash in the log
      // Its own name passes: its own number is excluded from the check.
      {kOk, 0, "pump", kOk,
       "CheckNameUniqueExcept(pump,5) | [5 pump] | SetEventName(105,pump,rename)"},
      {kOk, 1, "fan", kFail,
       "CheckNameUniqueExcept(fan,5) | [5 pump] | SetEventName(105,fan,rename)"},
      {kOk, 0, "fan", kOk,
       "CheckNameUniqueExcept(fan,5) | [5 pump] | SetEventName(105,fan,rename)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.calls);
    // Trigger 5, "pump", registered: nothing modified.
    auto fake = std::make_shared<SnoopingContext>();
    CInterruptTrigger trigger(fake);
    fake->trigger = &trigger;
    fake->sources = core::triggers::InterruptSources({{"INT0", 0x10, 0}});
    trigger.SetNumber(5), trigger.SetNameUnchecked("pump"), trigger.PutSource("INT0");
    ASSERT_EQ(trigger.Register(), kOk);
    fake->calls.clear();
    fake->name_check = c.name_check, fake->event_name_result = c.event_name_result;
    EXPECT_HR(c.result, trigger.PutName(c.name));
    EXPECT_EQ(Joined(fake->calls), c.calls + (c.name_check == kOk ? "" : clash));
    EXPECT_EQ(trigger.Name(), c.result == kOk ? c.name : "pump");
    EXPECT_EQ(trigger.GetModified(), c.result == kOk ? kVariantTrue : 0);
  }
}

TEST(TriggerProtocolTest, EachKindLogsItsOwnClashWording) {
  const std::set<TriggerKind> short_wording = {TriggerKind::IOStream, TriggerKind::FileStream,
                                               TriggerKind::Transfer, TriggerKind::Stream,
                                               TriggerKind::Connect};
  for (const core::triggers::KindInfo& info : core::triggers::KindTable()) {
    SCOPED_TRACE(info.class_name);
    auto fake = MakeContext();
    fake->name_check = kFail;
    const std::shared_ptr<CTrigger> trigger = MakeTrigger(info.kind, fake);
    const std::string before = trigger->Name();
    EXPECT_HR(kFail, trigger->PutName("taken"));
    EXPECT_EQ(fake->log,
              Calls{short_wording.count(info.kind) ? core::triggers::kShortNameClashMessage
                                                   : kNameClashMessage});
    EXPECT_EQ(trigger->Name(), before);
  }
}

// With nothing around it a trigger reads its line, but the registry's checks and the bridge fail
// and the log is unavailable; window messages are numbered all the same.
TEST(TriggerProtocolTest, ATriggerWithNothingAroundIt) {
  auto detached = std::make_shared<core::triggers::DetachedContext>();
  const std::shared_ptr<CTrigger> trigger = MakeTrigger(TriggerKind::Message, detached);
  EXPECT_HR(kFail, trigger->PutDefinition("105,message,m,true,WM_A,4,1,2,extra"));
  EXPECT_EQ(trigger->GetDefinition(), "105,message,m,true,WM_A,4,1,2");
  EXPECT_EQ(trigger->GetRegistered(), 0);
  EXPECT_HR(kFail, trigger->PutName("other"));
  EXPECT_HR(kFail, MakeTrigger(TriggerKind::Interrupt, detached)->PutDefinition("1,interrupt,i,0"));
  int32_t value = 7;
  EXPECT_HR(kFail, detached->Evaluate("1", &value));
  EXPECT_EQ(detached->FindNumberByName("m"), -1);
  EXPECT_NE(HResultText(detached->WriteLog("x")), HResultText(kOk));
  EXPECT_EQ(detached->RegisterMessageName("WM_A"), core::triggers::PortableWindowMessage("wm_a"));
  EXPECT_EQ(detached->RegisterMessageName(""), 0u);
}

}  // namespace
}  // namespace trigger_test
