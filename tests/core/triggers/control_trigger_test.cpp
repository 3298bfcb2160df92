// The control trigger: control words, its record against golden bytes, the target's look-up and
// its line.
#include "core/triggers/control_trigger.h"

#include <gtest/gtest.h>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::triggers::CControlTrigger;
using Calls = std::vector<std::string>;

class ControlTriggerTest : public ::testing::Test {
 protected:
  ControlTriggerTest() { context_->numbers = {{"pump", 0}, {"valve", 255}, {"far", 70000}}; }

  std::string LastRecord() const {
    if (context_->records.empty()) return "(none)";
    return fakes::Hex(context_->records.back().data(), context_->records.back().size());
  }

  std::shared_ptr<fakes::FakeContext> context_ = std::make_shared<fakes::FakeContext>();
  CControlTrigger trigger_{context_};
};

TEST_F(ControlTriggerTest, RecordCarriesTargetIdAndControlCode) {
  struct Case {
    int32_t number;
    const char* action;
    const char* target;
    const char* record;
  };
  const Case cases[] = {
      {5, "STOP", "pump",
       "00 00 00 01 69 00 10 00 00 00 00 00 00 00 00 00 64 00 00 00 01 00 00 00"},
      {0, "reset", "valve",
       "00 00 00 01 64 00 10 00 00 00 00 00 00 00 00 00 63 01 00 00 02 00 00 00"},
      // The own id is cut to 16 bits in the head; the target's id keeps its 32 bits.
      {65500, "Restart", "far",
       "00 00 00 01 40 00 10 00 00 00 00 00 00 00 00 00 D4 11 01 00 03 00 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    CControlTrigger trigger(context_);
    trigger.SetNumber(c.number);
    trigger.SetNameUnchecked("ctl");
    ASSERT_EQ(HResultText(trigger.PutAction(c.action)), HResultText(kOk));
    trigger.PutTarget(c.target);
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    EXPECT_EQ(LastRecord(), c.record);
  }
}

TEST_F(ControlTriggerTest, ActionMustBeAControlWord) {
  trigger_.PutAction("STOP");
  trigger_.SetNameUnchecked("ctl");
  trigger_.PutTarget("pump");
  ASSERT_EQ(HResultText(trigger_.Register()), HResultText(kOk));
  for (const char* refused : {"HALT", "STOPS", " STOP", ""}) {
    EXPECT_EQ(HResultText(trigger_.PutAction(refused)), HResultText(kFail)) << refused;
  }
  EXPECT_EQ(trigger_.Action(), "STOP");
  EXPECT_EQ(trigger_.GetModified(), 0) << "a refused action marks nothing";
  EXPECT_TRUE(context_->log.empty()) << "refused silently";
  EXPECT_EQ(HResultText(trigger_.PutAction("restart")), HResultText(kOk));
  EXPECT_EQ(trigger_.Action(), "restart") << "stored as written";
}

TEST_F(ControlTriggerTest, RegisterRefusals) {
  struct Case {
    const char* name;
    const char* action;
    const char* target;
    Calls calls;
  };
  const Case cases[] = {
      {"", "STOP", "pump", {}},
      {"ctl", "", "pump", {}},
      {"ctl", "STOP", "", {}},
      {"ctl", "STOP", "gone", {"FindNumberByName(gone)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << "," << c.action << "," << c.target);
    CControlTrigger trigger(context_);
    trigger.SetNameUnchecked(c.name);
    trigger.PutAction(c.action);
    trigger.PutTarget(c.target);
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kFail));
    EXPECT_EQ(context_->calls, c.calls);
  }
}

TEST_F(ControlTriggerTest, LineRoundTrip) {
  // The keyword is not compared: the registry chose the kind already.
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,whatever,ctl,restart,pump")), HResultText(kOk));
  EXPECT_EQ(trigger_.GetDefinition(), "105,control,ctl,restart,pump");
  EXPECT_EQ(context_->calls, (Calls{"SetEventName(105,ctl,fresh)", "FindNumberByName(pump)",
                                    "DefineTrigger(105,ctl,24 bytes,0)"}));
  EXPECT_EQ(context_->records.back()[20], 3);

  // A word that is no control word leaves the action; the target is taken as written.
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,control,ctl,HALT,valve")), HResultText(kOk));
  EXPECT_EQ(trigger_.GetDefinition(), "105,control,ctl,restart,valve");
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,control,ctl,STOP,gone")), HResultText(kFail));

  // Fields the line lacks read as empty: the target goes, and Register has none to look up.
  EXPECT_EQ(HResultText(trigger_.PutDefinition("106,control,ctl2")), HResultText(kFail));
  EXPECT_EQ(trigger_.GetDefinition(), "106,control,ctl2,STOP,");
}

}  // namespace
