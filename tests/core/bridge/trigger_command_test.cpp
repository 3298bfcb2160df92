// The bridge and the host access against a strict fake host: which calls each operation makes,
// in which order and with which arguments, what it makes of the answers and what it logs, as a
// golden transcript of scripted steps.
#include "core/bridge/trigger_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "tests/core/fakes/fake_host.h"
#include "tests/core/test_support.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::Variant;
using core::bridge::CTriggerCommand;
using core::bridge::HostAccess;

constexpr HResult kFail = core::automation::kFail;
constexpr HResult kDenied = static_cast<HResult>(0x80070005u);
const std::vector<uint8_t> kRecord = {0x00, 0x00, 0x00, 0x01, 0x64, 0x00, 0x01, 0x00};

class TriggerCommandTest : public ::testing::Test {
 protected:
  TriggerCommandTest() { host_.SetApplication(std::make_shared<fakes::FakeApplication>(state_)); }

  // The result of each step (0 or 1 from the bridge, or an HRESULT), then the host calls it made,
  // the log lines it wrote and the host objects the add-in holds afterwards.
  using Step = std::pair<std::string, std::function<std::string()>>;
  std::string Transcript(const std::vector<Step>& steps) {
    std::string text;
    for (const auto& [what, run] : steps) {
      text += what + ": " + run() + "\n";
      for (const std::string& call : state_.Take()) text += "  " + call + "\n";
      for (const std::string& line : std::exchange(state_.log, {})) text += "  log: " + line + "\n";
      text += "  held " + std::to_string(state_.live_objects) + "\n";
    }
    return text;
  }
  // Sets the fake's answer and gives no result of its own.
  template <typename Value>
  std::function<std::string()> Set(Value& field, Value value) {
    return [&field, value] { return field = value, none; };
  }
  static std::string Int(int result) { return std::to_string(result); }
  static inline const std::string none = "-";  // a step's result when it has none of its own
  // The parts of a step's result, in order: a braced list is evaluated from left to right.
  static std::string Join(const std::vector<std::string>& parts) {
    return test_support::Joined(parts, " ");
  }

  fakes::HostState state_;
  HostAccess host_;
  CTriggerCommand bridge_{host_};
};

TEST_F(TriggerCommandTest, OperationsAsTheTranscriptSays) {
  static uint32_t active[256] = {};
  void* sources = nullptr;
  const uint32_t* table = nullptr;
  uint8_t* buffer = nullptr;
  int32_t value = 7;
  std::string line;
  const std::string old = "fan";
  const auto define = [&] { return Int(bridge_.DefineTrigger(100, "name", kRecord, false)); };
  const auto refusal = [&](bool reply, uint32_t word) {
    return [=] {
      state_.reply = [=](const uint8_t*) { return reply ? fakes::RefusalReply(word) : Variant(); };
      return none;
    };
  };
  const auto evaluate = [&](Variant result) {
    return [=, &value] {
      state_.evaluation = result, value = 7;
      return Join({HResultText(bridge_.Evaluate("PORT+1", &value)), std::to_string(value)});
    };
  };
  const auto set_name = [&](bool fresh) {
    return [&, fresh] { return Int(bridge_.SetEventName(101, "pump", fresh ? nullptr : &old)); };
  };
  // clang-format off
  const std::vector<Step> steps = {
      // Services are obtained once and kept until released; the evaluator stays.
      {"manager", [&] { return std::string(bridge_.GetManager() ? "port" : "none"); }},
      {"manager again", [&] { return std::string(bridge_.GetManager() ? "port" : "none"); }},
      {"the others", [&] {
         return bridge_.GetTargetCommand(), bridge_.GetEventCommand(), bridge_.GetEvaluation(),
                none;
       }},
      {"release", [&] { return bridge_.ReleaseServices(), none; }},
      {"a deletion obtains them afresh",
       [&] { return Int(bridge_.DeleteTriggerCommand(101, "t")); }},
      // Defining: the record by reference; a mark unless loading; refusals by reply word.
      {"accepted", define},
      {"no reply block", refusal(false, 0)},
      {"accepted", define},
      {"loading", [&] { return bridge_.SetLoading(true), refusal(true, 0)(); }},
      {"accepted while loading", define},
      {"loaded", [&] { return bridge_.SetLoading(false), none; }},
      {"refusal word 1", refusal(true, 1)},
      {"refused", define},
      {"refusal word 0xFFFFFFFF", refusal(true, 0xFFFFFFFF)},
      {"refused", define},
      {"the call fails", [&] { return state_.command_result = kFail, refusal(true, 0)(); }},
      {"failed", define},
      {"the call gives S_FALSE", Set(state_.command_result, HResult{1})},
      {"accepted", define},
      // Plain commands carry their code and id and mark nothing.
      {"fire 355", [&] { return Int(bridge_.SendTriggerCommand(0x105, 355)); }},
      {"deactivate all", [&] { return Int(bridge_.SendTriggerCommand(0x103, -1)); }},
      {"the call fails", Set(state_.command_result, kFail)},
      {"activate 100", [&] { return Int(bridge_.SendTriggerCommand(0x102, 100)); }},
      // A deletion stops at the first failure and gives the event its name back.
      {"the event list refuses", Set(state_.remove_name_result, kFail)},
      {"delete", [&] { return Int(bridge_.DeleteTriggerCommand(102, "pump")); }},
      {"the simulator refuses",
       [&] { return state_.remove_name_result = 0, state_.command_result = kDenied, none; }},
      {"delete", [&] { return Int(bridge_.DeleteTriggerCommand(102, "pump")); }},
      {"loading, the simulator takes it",
       [&] { return bridge_.SetLoading(true), state_.command_result = 0, none; }},
      {"delete marks even while loading",
       [&] { return Int(bridge_.DeleteTriggerCommand(102, "pump")); }},
      // Tables: the simulator keeps the active table, and the caller takes over the source table.
      {"tables", [&] {
         sources = fakes::MallocBlock({1, 0, 'I', 'R', 'Q', 0, 0, 0, 0, 0, 3, 0});
         state_.reply = [&](const uint8_t* block) {
           // 0x104 asks for the active table, 0x200 for the source table.
           return fakes::PointerReply(block[2] == 0x04 ? static_cast<void*>(active) : sources);
         };
         return none;
       }},
      {"active table", [&] {
         return Join({Int(bridge_.GetActiveTable(&table)), table == active ? "active" : "other"});
       }},
      {"source table", [&] {
         const int result = bridge_.GetSourceTable(&buffer);
         const bool same = buffer == sources;
         std::free(buffer);  // the caller owns it now; the reply blocks were freed by the bridge
         return Join({Int(result), same ? "the reply's" : "other"});
       }},
      {"no reply block", [&] {
         table = nullptr, state_.reply = nullptr;
         return Join({Int(bridge_.GetActiveTable(&table)), table ? "set" : "untouched"});
       }},
      {"a failed call", [&] {
         state_.reply = [&](const uint8_t*) { return fakes::PointerReply(active); };
         state_.command_result = kFail;
         return Join({Int(bridge_.GetActiveTable(&table)), table ? "set" : "untouched"});
       }},
      {"the simulator takes them", Set(state_.command_result, HResult{0})},
      // Event names: a rename removes the old name first; a refused new name gives it back.
      {"fresh", set_name(true)},
      {"rename", set_name(false)},
      {"no old name", Set(state_.remove_name_result, kFail)},
      {"rename", set_name(false)},
      {"the old name cannot go", Set(state_.remove_name_result, kDenied)},
      {"rename", set_name(false)},
      {"the new name is refused",
       [&] { return state_.remove_name_result = 0, state_.add_name_result = kFail, none; }},
      {"fresh", set_name(true)},
      {"rename", set_name(false)},
      {"no old name either", Set(state_.remove_name_result, kFail)},
      {"rename", set_name(false)},
      {"S_FALSE", [&] { return state_.remove_name_result = 0, state_.add_name_result = 1, none; }},
      {"fresh", set_name(true)},
      {"remove a name", [&] { return Int(bridge_.RemoveEventName(101)); }},
      {"no such name", Set(state_.remove_name_result, kFail)},
      {"remove a name that does not exist", [&] { return Int(bridge_.RemoveEventName(101)); }},
      {"removal refused", Set(state_.remove_name_result, kDenied)},
      {"remove", [&] { return Int(bridge_.RemoveEventName(101)); }},
      // Evaluation converts by type; a failing evaluation comes back as it came.
      {"I2", evaluate(Variant::I2(-1))}, {"UI2", evaluate(Variant::UI2(0xFFFF))},
      {"UI4", evaluate(Variant::UI4(0xFFFFFFF0u))}, {"UI1", evaluate(Variant::UI1(200))},
      {"I1: the byte, zero-extended", evaluate(Variant::I1(-1))},
      {"BSTR", evaluate(Variant::Bstr("12"))}, {"INT", evaluate(Variant::Int(3))},
      {"empty", evaluate(Variant())},
      {"the evaluation fails",
       [&] { return state_.evaluate_result = kDenied, evaluate(Variant::I4(1))(); }},
      // Profile reads pass an empty file name; writes the host refuses are logged, still 0.
      {"read", [&] {
         state_.ints["Trigger/MaxNum"] = 3, state_.strings["Trigger/0"] = "100,sio,s";
         return Join({Int(bridge_.ReadProfileInt("Trigger", "MaxNum", 0, &value)),
                      std::to_string(value),
                      Int(bridge_.ReadProfileString("Trigger", "0", "", &line)), line});
       }},
      {"writes refused", [&] {
         state_.write_result = kFail;
         return Join({Int(bridge_.WriteProfileInt("Trigger", "MaxNum", 2)),
                      Int(bridge_.WriteProfileString("Trigger", "0", "100,filestream,f"))});
       }},
      {"a write taken", [&] {
         state_.write_result = 0;
         return Int(bridge_.WriteProfileString("Trigger", "0", "100,filestream,f"));
       }},
  };
  // clang-format on
  test_support::ExpectGolden("core/bridge/golden/trigger_command.txt", Transcript(steps));
}

TEST_F(TriggerCommandTest, MissingServicesFailWithoutFurtherCallsAndAreLoggedOnce) {
  state_.services.erase("Marlin.TargetCommand");
  state_.services["Marlin.EventCommand"] = false;  // an object without the interface
  state_.services.erase("Quillon.Evaluation");
  state_.services.erase("Quillon.Omf");
  std::vector<Step> steps;
  for (const char* round : {"first", "again"}) {
    steps.push_back({round, [&] {
                       int32_t value = 42;
                       const uint32_t* table = nullptr;
                       return Join({Int(bridge_.DefineTrigger(100, "t", kRecord, false)),
                                    Int(bridge_.SendTriggerCommand(0x102, -1)),
                                    Int(bridge_.SetEventName(100, "t", nullptr)),
                                    Int(bridge_.RemoveEventName(100)),
                                    Int(bridge_.DeleteTriggerCommand(100, "t")),
                                    HResultText(bridge_.Evaluate("x", &value)),
                                    std::to_string(value), Int(bridge_.GetActiveTable(&table)),
                                    table || bridge_.GetObjectFile() ? "set" : "untouched"});
                     }});
  }
  // Obtained afresh after a release, a service still missing is named again.
  steps.push_back({"release", [&] { return bridge_.ReleaseServices(), none; }});
  steps.push_back({"command", [&] { return Int(bridge_.SendTriggerCommand(0x102, -1)); }});
  // Without a Manager the profile is neither read nor written, and nothing is marked.
  steps.push_back({"no manager", [&] {
                     state_.services.erase("Marlin.Manager");
                     state_.services["Marlin.TargetCommand"] = true;
                     bridge_.ReleaseServices();
                     std::string line = "default";
                     return Join({Int(bridge_.DefineTrigger(100, "t", kRecord, false)),
                                  Int(bridge_.ReadProfileString("Trigger", "0", "default", &line)),
                                  line, Int(bridge_.WriteProfileInt("Trigger", "MaxNum", 1)),
                                  Int(bridge_.WriteProfileString("Trigger", "0", "x"))});
                   }});
  steps.push_back({"unconnected", [&] {
                     HostAccess unconnected;
                     CTriggerCommand bridge(unconnected);
                     int32_t value = 5;
                     return Join({bridge.GetManager() ? "port" : "none",
                                  Int(bridge.DefineTrigger(100, "t", kRecord, false)),
                                  Int(bridge.ReadProfileInt("Trigger", "MaxNum", 5, &value)),
                                  std::to_string(value), HResultText(unconnected.WriteLog("x"))});
                   }});
  // The log service is looked up for each line; a failed lookup invokes nothing.
  steps.push_back({"log lookup fails", [&] {
                     state_.lookup_result = core::automation::kDispUnknownName;
                     return HResultText(host_.WriteLog("line one\nline two"));
                   }});
  steps.push_back({"log invoke fails", [&] {
                     state_.lookup_result = 0, state_.invoke_result = kDenied;
                     return HResultText(host_.WriteLog("line one\nline two"));
                   }});
  steps.push_back({"no log service", [&] {
                     state_.services.erase("Tamber.Service");
                     return HResultText(host_.WriteLog("x"));
                   }});
  test_support::ExpectGolden("core/bridge/golden/missing_services.txt", Transcript(steps));
}

}  // namespace
