// The I/O access trigger: its record with the three record-only values, the window refresh of its
// Register, and which puts mark it modified.
#include "core/triggers/io_access_trigger.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kFalse;
using core::automation::kOk;
using core::triggers::CIOAccessTrigger;
using Calls = std::vector<std::string>;

TEST(IOAccessTriggerTest, RecordLayout) {
  auto fake = std::make_shared<fakes::FakeContext>();
  CIOAccessTrigger trigger(fake);
  trigger.SetNumber(2);
  trigger.PutCycle(0x12345678);
  trigger.PutWait(-1);
  trigger.PutExtra1(INT_MIN);
  trigger.PutExtra2(INT_MAX);
  trigger.PutExtra3(0x0102);
  ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
  ASSERT_EQ(fake->records.size(), 1u);
  EXPECT_EQ(fakes::Hex(fake->records[0].data(), fake->records[0].size()),
            "00 00 00 01 66 00 09 00 78 56 34 12 FF FF FF FF "
            "00 00 00 80 FF FF FF 7F 02 01 00 00");
}

TEST(IOAccessTriggerTest, RegisterRefreshesTheWindowWhateverTheSimulatorSays) {
  struct Case {
    const char* what;
    const char* name;
    int define_result;
    HResult result;
    Calls calls;
  };
  const Case cases[] = {
      {"accepted", "io", 0, kOk, {"DefineTrigger(100,io,28 bytes,0)", "RefreshTriggerWindow()"}},
      {"refused", "io", 1, kFalse, {"DefineTrigger(100,io,28 bytes,0)", "RefreshTriggerWindow()"}},
      {"no name: nothing sent, no refresh", "", 0, kFail, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = std::make_shared<fakes::FakeContext>();
    fake->define_result = c.define_result;
    CIOAccessTrigger trigger(fake);
    trigger.SetNameUnchecked(c.name);
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(c.result));
    EXPECT_EQ(fake->calls, c.calls);
  }
}

TEST(IOAccessTriggerTest, RecordOnlyValuesDoNotMarkModified) {
  struct Case {
    const char* what;
    std::function<HResult(CIOAccessTrigger&)> put;
    bool modified;
  };
  const Case cases[] = {
      {"Cycle", [](auto& t) { return t.PutCycle(3); }, true},
      {"Wait", [](auto& t) { return t.PutWait(3); }, true},
      {"Extra1", [](auto& t) { return t.PutExtra1(3); }, false},
      {"Extra2", [](auto& t) { return t.PutExtra2(3); }, false},
      {"Extra3", [](auto& t) { return t.PutExtra3(3); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CIOAccessTrigger trigger(std::make_shared<fakes::FakeContext>());
    ASSERT_EQ(trigger.Register(), kOk);
    EXPECT_EQ(c.put(trigger), kOk);
    EXPECT_EQ(trigger.GetModified() != 0, c.modified);
  }
}

TEST(IOAccessTriggerTest, LineCarriesNameCycleAndWaitOnly) {
  auto fake = std::make_shared<fakes::FakeContext>();
  CIOAccessTrigger trigger(fake);
  EXPECT_EQ(trigger.GetDefinition(), "100,ioaccess,trg_ioaccess,0,0");
  trigger.SetNumber(3);
  trigger.PutCycle(-7);
  trigger.PutWait(9);
  trigger.PutExtra1(11);
  const std::string line = trigger.GetDefinition();
  EXPECT_EQ(line, "103,ioaccess,trg_ioaccess,-7,9");

  CIOAccessTrigger copy(fake);
  copy.PutExtra2(22);
  EXPECT_EQ(copy.PutDefinition(line), kOk);
  EXPECT_EQ(copy.GetDefinition(), line);
  EXPECT_EQ(copy.Extra1(), 0) << "not in the line";
  EXPECT_EQ(copy.Extra2(), 22) << "kept as it was";

  // The keyword is not looked at; a short line reads its missing fields as zero.
  copy.PutCycle(5);
  EXPECT_EQ(copy.PutDefinition("104,anything,x"), kOk);
  EXPECT_EQ(copy.GetDefinition(), "104,ioaccess,x,0,0");
}

}  // namespace
