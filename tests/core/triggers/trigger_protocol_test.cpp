// The property protocol every kind shares: the checked rename and each kind's clash wording, the
// order of the parse frame, refusals that keep the old value, what Register answers and when it
// sends nothing.
#include <gtest/gtest.h>

#include <set>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::Format;
using core::automation::kVariantTrue;
using core::triggers::CInterruptTrigger;
using core::triggers::InterruptSources;
using core::triggers::kIllegalInterruptSourceMessage;
using core::triggers::kNameClashMessage;
using core::triggers::kShortNameClashMessage;

// Notes the trigger's number and name whenever the trigger turns to its surroundings, so the
// recorded calls show which steps of the frame had happened by then.
class SnoopingContext : public fakes::FakeContext {
 public:
  const CTrigger* trigger = nullptr;

  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    Snoop();
    return FakeContext::SetEventName(id, name, previous);
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

// Trigger 5, "pump", registered: nothing modified.
struct Fixture {
  std::shared_ptr<SnoopingContext> fake = std::make_shared<SnoopingContext>();
  ProbedInterruptTrigger trigger{fake};

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

// A line of each kind that registers.
const char* const kReadyLines[] = {
    "101,interrupt,n,INT0,1,2",
    "102,ioaccess,n,1,2",
    "103,iostream,n,8",
    "104,filestream,n",
    "105,transfer,n,16,8bit,0x100,fix,0x200,fix,0,0,0,0",
    "106,data,n,0x20,8bit,single,default,1,2,),0,0,0xff",
    "107,connect,n,pump",
    "108,control,n,stop,pump",
    "109,message,n,true,WM_A,1,2,3",
    "110,sio,n,UART0,RX,TX,ser",
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
    Fixture f;
    f.fake->name_check = c.name_check;
    f.fake->event_name_result = c.event_name_result;
    EXPECT_HR(c.result, f.trigger.PutName(c.name));
    EXPECT_EQ(Joined(f.fake->calls), c.calls + (c.name_check == kOk ? "" : clash));
    EXPECT_EQ(f.trigger.Name(), c.result == kOk ? c.name : "pump");
    EXPECT_EQ(f.trigger.GetModified(), c.result == kOk ? kVariantTrue : 0);
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
              Calls{short_wording.count(info.kind) ? kShortNameClashMessage : kNameClashMessage});
    EXPECT_EQ(trigger->Name(), before);
  }
}

TEST(TriggerProtocolTest, ParseRunsTheFrameInOrder) {
  Fixture f;
  f.fake->event_name_result = 1;  // the event list's answer does not matter here
  EXPECT_HR(kOk, f.trigger.PutDefinition("107,interrupt,fan,TIMER,7,8"));
  // The event list learns the id as written before the number changes; then the number, then
  // the name; the kind's puts see both.
  EXPECT_EQ(Joined(f.fake->calls),
            "[5 pump] | SetEventName(107,fan,fresh) | SetNumber(7) [pump] | [7 fan] | "
            "CheckInterruptSource(TIMER) | ResolveInterruptSource(TIMER) | "
            "DefineTrigger(107,fan,836 bytes,1)");
  EXPECT_EQ(f.trigger.Cycle(), 7);
  EXPECT_EQ(f.trigger.Wait(), 8);

  f.fake->name_check = kFail;  // the line's name is trusted: it would clash if it were checked
  EXPECT_EQ(f.trigger.PutDefinition("105,interrupt,fan,INT0,0,0"), kOk);
  EXPECT_EQ(f.trigger.Name(), "fan");
  EXPECT_TRUE(f.fake->log.empty());
}

TEST(TriggerProtocolTest, RefusalsKeepTheOldValue) {
  const std::string refused = std::string("WriteLog(") + kIllegalInterruptSourceMessage + ")";
  Fixture f;
  EXPECT_HR(kFail, f.trigger.PutSource("INT9"));
  EXPECT_EQ(f.fake->calls, (Calls{"[5 pump]", "CheckInterruptSource(INT9)", refused}));
  EXPECT_EQ(f.trigger.Source(), "INT0");
  EXPECT_EQ(f.trigger.GetModified(), 0) << "a refused put marks nothing";

  // Inside a line the refusal is logged and the parse goes on with the old source.
  f.fake->calls.clear();
  EXPECT_EQ(f.trigger.PutDefinition("105,interrupt,pump,INT9,3,4"), kOk);
  EXPECT_EQ(f.fake->log, (Calls{kIllegalInterruptSourceMessage, kIllegalInterruptSourceMessage}));
  EXPECT_EQ(f.trigger.Source(), "INT0");
  EXPECT_EQ(f.trigger.Cycle(), 3);
  ASSERT_EQ(f.fake->records.size(), 1u);
  EXPECT_EQ(f.fake->records[0][16], 0x10) << "registered with the old source's code";
}

TEST(TriggerProtocolTest, RegisterAnswersForEveryKind) {
  for (const char* line : kReadyLines) {
    SCOPED_TRACE(line);
    auto fake = MakeContext();
    fake->define_result = 1;  // the simulator refuses: the bridge's 1, E_FAIL for a message
    const std::shared_ptr<CTrigger> trigger = TriggerFor(line, fake);
    const bool message = trigger->Kind() == TriggerKind::Message;
    EXPECT_HR(message ? kFail : kFalse, trigger->PutDefinition(line));
    EXPECT_EQ(fake->records.size(), 1u);
    EXPECT_EQ(trigger->GetInSimulator(), 0);
    EXPECT_EQ(trigger->GetRegistered(), 0);
    EXPECT_EQ(trigger->GetModified(), kVariantTrue);
    // The I/O access kind has the window refresh whatever the simulator says.
    EXPECT_EQ(fake->calls.back() == "RefreshTriggerWindow()",
              trigger->Kind() == TriggerKind::IOAccess);

    fake->define_result = 0;
    EXPECT_HR(kOk, trigger->Register());
    EXPECT_EQ(trigger->GetInSimulator(), kVariantTrue);
    EXPECT_EQ(trigger->GetRegistered(), kVariantTrue);
    EXPECT_EQ(trigger->GetModified(), 0);

    // Without a name nothing reaches the context: no evaluation, no definition, no refresh.
    trigger->SetNameUnchecked("");
    fake->calls.clear();
    EXPECT_HR(kFail, trigger->Register());
    EXPECT_EQ(fake->calls, Calls{});
    EXPECT_EQ(trigger->GetModified(), kVariantTrue);
  }
}

// (A refused source, the transfer's source and source mode, DOUBLE values by RANDOM2, the stream's
// source and the control word are the load test's rows, which find such triggers unregistered.)
TEST(TriggerProtocolTest, RegisterSendsNothingWhileARequiredValueIsMissing) {
  const std::string illegal = kIllegalInterruptSourceMessage;
  const std::pair<const char*, std::string> cases[] = {
      {"101,transfer,t,16,8bit,0x100,fix,nowhere,fix", ""},
      {"101,transfer,t,16,8bit,0x100,fix,0x200,IO", ""},
      {"102,data,d,0x20,,single,default,1,),0,0,0", ""},  // no size
      {"105,control,ctl,STOP", ""},
      {"105,control,ctl,STOP,gone", ""},  // no trigger bears the target's name
      {"105,message,m,true", ""},
      {"105,sio,s,nowhere,RX,TX,ser", ""},
      {"105,sio,s,UART0,BAD,TX,ser", illegal},
      {"105,sio,s,UART0,RX,TX", ""},
      // Sixteen characters leave no room for the terminating zero; cut, it would be another name.
      {"105,sio,s,UART0,RX,TX,ABCDEFGHIJKLMNOP",
       "Invalid parameter: the SIO destination is longer than 15 characters"},
  };
  for (const auto& [line, log] : cases) {
    SCOPED_TRACE(line);
    auto fake = MakeContext();
    const std::shared_ptr<CTrigger> trigger = TriggerFor(line, fake);
    EXPECT_HR(kFail, trigger->PutDefinition(line));
    EXPECT_EQ(fake->records.size(), 0u);
    EXPECT_EQ(Joined(fake->log), log);
  }
}

TEST(TriggerProtocolTest, RegisterEvaluatesTheAddressesAgain) {
  const std::pair<const char*, const char*> cases[] = {
      {"101,transfer,t,16,8bit,0x100,fix,buf,fix,0,0,0,0", "Evaluate(0x100)"},
      {"101,transfer,t,16,8bit,buf,fix,0x200,fix,0,0,0,0", "Evaluate(buf) | Evaluate(0x200)"},
      {"102,stream,s,0x20,8bit,repeat,buf,1,0,0,0", "Evaluate(0x20)"},
      {"105,sio,s,0x100,RX,TX,ser", "Evaluate(0x100)"},
  };
  for (const auto& [line, calls] : cases) {
    SCOPED_TRACE(line);
    auto fake = MakeContext();
    const std::shared_ptr<CTrigger> trigger = TriggerFor(line, fake);
    ASSERT_HR(kOk, trigger->PutDefinition(line));
    fake->numerals = false;  // the numbers no longer evaluate
    fake->calls.clear();
    EXPECT_HR(kFail, trigger->Register());
    EXPECT_EQ(Joined(fake->calls), calls);
  }
}

}  // namespace
}  // namespace trigger_test
