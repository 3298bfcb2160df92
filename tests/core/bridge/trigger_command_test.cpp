// The bridge against a strict fake host: which calls each operation makes, in which order, with
// which arguments, and what it makes of the answers.
#include "core/bridge/trigger_command.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/core/test_support.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::Variant;
using core::bridge::CTriggerCommand;
using core::bridge::HostAccess;
using Calls = std::vector<std::string>;

constexpr HResult kFail = core::automation::kFail;
constexpr HResult kDenied = static_cast<HResult>(0x80070005u);

class TriggerCommandTest : public ::testing::Test {
 protected:
  TriggerCommandTest() { host_.SetApplication(std::make_shared<fakes::FakeApplication>(state_)); }

  Calls Take() { return state_.Take(); }
  static std::string Join(const Calls& calls) {
    std::string text;
    for (const std::string& call : calls) text += (text.empty() ? "" : " | ") + call;
    return text;
  }

  fakes::HostState state_;
  HostAccess host_;
  CTriggerCommand bridge_{host_};
};

const std::vector<uint8_t> kRecord = {0x00, 0x00, 0x00, 0x01, 0x64, 0x00, 0x01, 0x00};

TEST_F(TriggerCommandTest, ServicesAreObtainedOnceAndKeptUntilReleased) {
  EXPECT_NE(bridge_.GetManager(), nullptr);
  EXPECT_NE(bridge_.GetManager(), nullptr);
  EXPECT_EQ(Take(),
            (Calls{"GetService(Marlin.Manager)", "Marlin.Manager.QueryInterface(Marlin.Manager)"}));
  // The object GetService returned is released once the interface is cached.
  EXPECT_EQ(state_.live_objects, 1);

  bridge_.GetTargetCommand();
  bridge_.GetEventCommand();
  bridge_.GetEvaluation();
  EXPECT_EQ(state_.live_objects, 4);
  bridge_.ReleaseServices();
  EXPECT_EQ(state_.live_objects, 1) << "the evaluator stays cached";
  Take();

  // A deletion after the release obtains the three services afresh.
  state_.reply = [](const uint8_t*) { return Variant(); };
  EXPECT_EQ(bridge_.DeleteTriggerCommand(101, "t"), 0);
  EXPECT_EQ(Take(), (Calls{
                        "GetService(Marlin.EventCommand)",
                        "Marlin.EventCommand.QueryInterface(Marlin.EventCommand)",
                        "EventCommand.RemoveName(101)",
                        "GetService(Marlin.TargetCommand)",
                        "Marlin.TargetCommand.QueryInterface(Marlin.TargetCommand)",
                        "TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 01 01 65 00 00 00)",
                        "GetService(Marlin.Manager)",
                        "Marlin.Manager.QueryInterface(Marlin.Manager)",
                        "Manager.MarkProjectModified(1)",
                    }));
}

TEST_F(TriggerCommandTest, MissingServicesFailWithoutFurtherCallsAndAreNamedOnceInTheLog) {
  state_.services.erase("Marlin.TargetCommand");
  state_.services["Marlin.EventCommand"] = false;  // an object without the interface
  state_.services.erase("Quillon.Evaluation");
  state_.services.erase("Quillon.Omf");

  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(bridge_.DefineTrigger(100, "t", kRecord, false), 1);
    EXPECT_EQ(bridge_.SendTriggerCommand(0x102, -1), 1);
    EXPECT_EQ(bridge_.SetEventName(100, "t", nullptr), 1);
    EXPECT_EQ(bridge_.RemoveEventName(100), 1);
    EXPECT_EQ(bridge_.DeleteTriggerCommand(100, "t"), 1);
    int32_t value = 42;
    EXPECT_HR(kFail, bridge_.Evaluate("x", &value));
    EXPECT_EQ(value, 42);
    const uint32_t* table = nullptr;
    EXPECT_EQ(bridge_.GetActiveTable(&table), 1);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(bridge_.GetObjectFile(), nullptr);
  }
  // Nothing reaches a service: only look-ups happen, and the log.
  for (const std::string& call : Take()) {
    EXPECT_TRUE(call.rfind("GetService(", 0) == 0 ||
                call.find(".QueryInterface(") != std::string::npos ||
                call.rfind("Tamber.Service.", 0) == 0)
        << call;
  }
  EXPECT_EQ(state_.log,
            (std::vector<std::string>{
                "The host has no Marlin.TargetCommand service: no trigger can be defined in the "
                "simulator or given a command",
                "The host has no Marlin.EventCommand service: triggers cannot be named in the "
                "event list or deleted",
                "The host has no Quillon.Evaluation service: address expressions cannot be "
                "evaluated",
            }))
      << "each once; the object-file service serves nothing the user does";
  EXPECT_EQ(state_.live_objects, 0) << "objects without the interface are released";

  // Obtained afresh after a release, a service still missing is named again.
  bridge_.ReleaseServices();
  state_.log.clear();
  EXPECT_EQ(bridge_.SendTriggerCommand(0x102, -1), 1);
  EXPECT_EQ(state_.log.size(), 1u);
}

TEST_F(TriggerCommandTest, AWriteTheHostRefusesIsNamedInTheLogAndStillReportsSuccess) {
  state_.write_result = core::automation::kFail;
  EXPECT_EQ(bridge_.WriteProfileInt("Trigger", "MaxNum", 2), 0);
  EXPECT_EQ(bridge_.WriteProfileString("Trigger", "0", "100,filestream,f"), 0);
  EXPECT_EQ(state_.log,
            (std::vector<std::string>{
                "The host did not store [Trigger] MaxNum in the project (0x80004005): that "
                "setting is not saved",
                "The host did not store [Trigger] 0 in the project (0x80004005): that setting is "
                "not saved",
            }));
  state_.write_result = 0;
  state_.log.clear();
  EXPECT_EQ(bridge_.WriteProfileString("Trigger", "0", "100,filestream,f"), 0);
  EXPECT_TRUE(state_.log.empty());
}

TEST_F(TriggerCommandTest, NoHostApplicationMeansNoServices) {
  HostAccess unconnected;
  CTriggerCommand bridge(unconnected);
  EXPECT_EQ(bridge.GetManager(), nullptr);
  EXPECT_EQ(bridge.DefineTrigger(100, "t", kRecord, false), 1);
  // Profile operations report success whatever happened; the default stays.
  int32_t value = 5;
  EXPECT_EQ(bridge.ReadProfileInt("Trigger", "MaxNum", 5, &value), 0);
  EXPECT_EQ(value, 5);
}

TEST_F(TriggerCommandTest, DefineTriggerMarksModifiedUnlessLoading) {
  struct Case {
    bool loading;
    HResult command_result;
    bool has_reply;
    uint32_t refusal;
    int expected;
    bool marks_modified;
  };
  const Case cases[] = {
      {false, 0, true, 0, 0, true},   // accepted: word 1 is 0
      {false, 0, false, 0, 0, true},  // accepted without a reply block
      {true, 0, true, 0, 0, false},   // accepted while loading: no mark
      {false, 0, true, 1, 1, false},  // refused by the simulator
      {false, 0, true, 0xFFFFFFFF, 1, false},
      {false, kFail, true, 0, 1, false},  // the call itself failed
      {false, 1, true, 0, 0, true},       // S_FALSE is not a failure
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "loading=" << c.loading << " hr="
                                    << HResultText(c.command_result) << " refusal=" << c.refusal);
    bridge_.SetLoading(c.loading);
    state_.command_result = c.command_result;
    state_.reply = [&](const uint8_t*) {
      return c.has_reply ? fakes::RefusalReply(c.refusal) : Variant();
    };
    Take();
    EXPECT_EQ(bridge_.DefineTrigger(100, "name", kRecord, false), c.expected);
    const Calls calls = Take();
    ASSERT_FALSE(calls.empty());
    const bool marked = calls.back() == "Manager.MarkProjectModified(1)";
    EXPECT_EQ(marked, c.marks_modified);
    // The record is passed by reference, untouched.
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "TargetCommand.Command(SimCommand,0,vt=0x4000,00 00 00 01 64 00 01 00)"),
              calls.end());
  }
}

TEST_F(TriggerCommandTest, DeleteTriggerCommandStopsAtTheFirstFailureAndKeepsTheEventName) {
  state_.remove_name_result = kFail;  // even E_FAIL stops a deletion
  EXPECT_EQ(bridge_.DeleteTriggerCommand(102, "pump"), 1);
  Calls calls = Take();
  EXPECT_EQ(calls.back(), "EventCommand.RemoveName(102)");

  // The simulator refuses: the event gets its name back, so the deletion can be tried again.
  state_.remove_name_result = 0;
  state_.command_result = kDenied;
  EXPECT_EQ(bridge_.DeleteTriggerCommand(102, "pump"), 1);
  calls = Take();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].rfind("TargetCommand.Command(", 0), 0u) << Join(calls);
  EXPECT_EQ(calls.back(), "EventCommand.AddName(102,pump)");

  // A deletion marks the project modified even while loading.
  state_.command_result = 0;
  bridge_.SetLoading(true);
  EXPECT_EQ(bridge_.DeleteTriggerCommand(102, "pump"), 0);
  EXPECT_EQ(Take().back(), "Manager.MarkProjectModified(1)");
}

TEST_F(TriggerCommandTest, CommandsCarryTheirCodeAndId) {
  bridge_.GetTargetCommand();
  Take();
  EXPECT_EQ(bridge_.SendTriggerCommand(0x105, 355), 0);
  EXPECT_EQ(bridge_.SendTriggerCommand(0x103, -1), 0);
  state_.command_result = kFail;
  EXPECT_EQ(bridge_.SendTriggerCommand(0x102, 100), 1);
  EXPECT_EQ(Take(),
            (Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 05 01 63 01 00 00)",
                   "TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 03 01 FF FF FF FF)",
                   "TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 02 01 64 00 00 00)"}))
      << "no mark-modified for plain commands";
}

TEST_F(TriggerCommandTest, ActiveTableStaysTheSimulatorsAndSourceTableBecomesTheCallers) {
  static uint32_t active[256] = {};
  void* sources = fakes::MallocBlock({1, 0, 'I', 'R', 'Q', 0, 0, 0, 0, 0, 3, 0});
  state_.reply = [&](const uint8_t* block) {
    const uint16_t code = core::automation::ReadU16(block + 2);
    return fakes::PointerReply(code == 0x104 ? static_cast<void*>(active) : sources);
  };
  const uint32_t* table = nullptr;
  ASSERT_EQ(bridge_.GetActiveTable(&table), 0);
  EXPECT_EQ(table, active);
  uint8_t* buffer = nullptr;
  ASSERT_EQ(bridge_.GetSourceTable(&buffer), 0);
  EXPECT_EQ(buffer, sources);
  std::free(buffer);  // the caller owns it now; the reply blocks were freed by the bridge

  // Without a reply block, or on a failed call, the caller's pointer stays as it was.
  state_.reply = nullptr;
  table = nullptr;
  EXPECT_EQ(bridge_.GetActiveTable(&table), 1);
  EXPECT_EQ(table, nullptr);
  state_.reply = [&](const uint8_t*) { return fakes::PointerReply(active); };
  state_.command_result = kFail;
  EXPECT_EQ(bridge_.GetActiveTable(&table), 1);
  EXPECT_EQ(table, nullptr);
  const Calls calls = Take();
  EXPECT_EQ(calls[2], "TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 04 01 00 00 00 00)");
  EXPECT_EQ(calls[3], "TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 00 02 00 00 00 00)");
}

TEST_F(TriggerCommandTest, SetEventNameRenamesUnlessFresh) {
  struct Case {
    bool fresh;  // the trigger has no event name yet
    HResult remove_result;
    HResult add_result;
    int expected;
    const char* calls;
  };
  const char* kAdd = "EventCommand.AddName(101,pump)";
  const char* kRemoveAdd = "EventCommand.RemoveName(101) | EventCommand.AddName(101,pump)";
  const Case cases[] = {
      {true, 0, 0, 0, kAdd},
      {false, 0, 0, 0, kRemoveAdd},
      {false, kFail, 0, 0, kRemoveAdd},  // an old name that does not exist lets the new one in
      {false, kDenied, 0, 1, "EventCommand.RemoveName(101)"},
      {true, 0, kFail, 1, kAdd},
      {true, 0, 1, 0, kAdd},
      // A refused new name gives the old one back, when there was one to remove.
      {false, 0, kFail, 1,
       "EventCommand.RemoveName(101) | EventCommand.AddName(101,pump) | "
       "EventCommand.AddName(101,fan)"},
      {false, kFail, kFail, 1, kRemoveAdd},
  };
  bridge_.GetEventCommand();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "fresh=" << c.fresh << " remove=" << HResultText(c.remove_result)
                 << " add=" << HResultText(c.add_result));
    state_.remove_name_result = c.remove_result;
    state_.add_name_result = c.add_result;
    Take();
    const std::string previous = "fan";
    EXPECT_EQ(bridge_.SetEventName(101, "pump", c.fresh ? nullptr : &previous), c.expected);
    EXPECT_EQ(Join(Take()), c.calls);
  }
}

TEST_F(TriggerCommandTest, EvaluateConvertsByType) {
  struct Case {
    Variant result;
    HResult expected;
    int32_t value;
  };
  const Case cases[] = {
      {Variant::I2(-1), 0, -1},
      {Variant::UI2(0xFFFF), 0, 65535},
      {Variant::UI4(0xFFFFFFF0u), 0, static_cast<int32_t>(0xFFFFFFF0u)},
      {Variant::I1(-1), 0, 255},  // the byte, zero-extended
      {Variant::UI1(200), 0, 200},
      {Variant::Bstr("12"), kFail, 7},
      {Variant::Int(3), kFail, 7},
      {Variant(), kFail, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result.Describe());
    state_.evaluation = c.result;
    int32_t value = 7;
    EXPECT_HR(c.expected, bridge_.Evaluate("PORT+1", &value));
    EXPECT_EQ(value, c.value);
  }
  // A failing evaluation is returned as it came.
  state_.evaluate_result = kDenied;
  int32_t value = 7;
  EXPECT_HR(kDenied, bridge_.Evaluate("PORT+1", &value));
  EXPECT_EQ(Take().back(), "Evaluation.Evaluate(PORT+1)");
}

// (The writes' calls, with their empty file name, are the save test's to check.)
TEST_F(TriggerCommandTest, ProfileReadsPassAnEmptyFileName) {
  state_.ints["Trigger/MaxNum"] = 3;
  state_.strings["Trigger/0"] = "100,sio,s";
  int32_t count = 0;
  std::string line;
  EXPECT_EQ(bridge_.ReadProfileInt("Trigger", "MaxNum", 0, &count), 0);
  EXPECT_EQ(bridge_.ReadProfileString("Trigger", "0", "", &line), 0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(line, "100,sio,s");
  const Calls calls = Take();
  EXPECT_EQ(Calls(calls.begin() + 2, calls.end()),
            (Calls{"Manager.ReadProfileInt(\"\",Trigger,MaxNum,0)",
                   "Manager.ReadProfileString(\"\",Trigger,0,\"\")"}));
}

TEST(HostAccessTest, WriteLogLooksUpAddLogStringAndPassesTheText) {
  fakes::HostState state;
  HostAccess host;
  EXPECT_EQ(HResultText(host.WriteLog("x")), "0x80020001") << "not connected";

  host.SetApplication(std::make_shared<fakes::FakeApplication>(state));
  EXPECT_EQ(host.WriteLog("line one\nline two"), 0);
  EXPECT_EQ(
      state.calls,
      (Calls{"GetService(Tamber.Service)", "Tamber.Service.GetIDsOfNames(AddLogString,0x0800)",
             "Tamber.Service.Invoke(7,0x0800,1,VT_BSTR \"line one\nline two\",no result)"}));
  EXPECT_EQ(state.live_objects, 0) << "the log service is released after each line";

  state.calls.clear();
  state.log_lookup_result = static_cast<HResult>(0x80020006u);
  EXPECT_EQ(HResultText(host.WriteLog("x")), "0x80020006");
  EXPECT_EQ(state.calls.size(), 2u) << "nothing invoked after a failed lookup";

  state.log_lookup_result = 0;
  state.log_invoke_result = kDenied;
  EXPECT_HR(kDenied, host.WriteLog("x"));

  state.services.erase("Tamber.Service");
  EXPECT_EQ(HResultText(host.WriteLog("x")), "0x80020001");
}

}  // namespace
