// A strict fake of the host: every call the add-in makes of the host application and its services
// is recorded as one line of text, in order, so tests compare the whole conversation at once (an
// unexpected call shows up as a difference). Results and replies are scripted per test.
#pragma once

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "core/bridge/ports.h"

namespace fakes {

using core::automation::Format;
using core::automation::HResult;
using core::automation::Variant;
using core::bridge::HostObject;

// A reply block allocated as a host must allocate it: with malloc, freed by the add-in.
inline void* MallocBlock(const std::vector<uint8_t>& bytes) {
  void* block = std::malloc(bytes.size());
  std::memcpy(block, bytes.data(), bytes.size());
  return block;
}

// A reply block of 16 bytes: word 0, then at offset 4 either the refusal word or a pointer.
inline Variant RefusalReply(uint32_t refusal) {
  core::automation::ByteWriter block(16);
  block.U32(4, refusal);
  return Variant::ByRef(MallocBlock(block.bytes()));
}
inline Variant PointerReply(const void* data) {
  core::automation::ByteWriter block(16);
  block.U64(4, reinterpret_cast<uintptr_t>(data));
  return Variant::ByRef(MallocBlock(block.bytes()));
}

inline std::string Hex(const uint8_t* bytes, size_t size) {
  std::string out;
  for (size_t i = 0; i < size; ++i) out += Format(i ? " %02X" : "%02X", bytes[i]);
  return out;
}

struct HostState {
  std::vector<std::string> calls;
  // Services the host offers, by name; a name mapped to false is an object that lacks the
  // service's interface.
  std::map<std::string, bool> services = {
      {"Marlin.Manager", true},     {"Marlin.TargetCommand", true}, {"Marlin.EventCommand", true},
      {"Quillon.Evaluation", true}, {"Tamber.Service", true},       {"Quillon.Omf", true},
  };
  int live_objects = 0;  // host objects the add-in holds

  // What GetIDsOfNames and Invoke answer on a service object, the log service or any other.
  HResult lookup_result = 0, invoke_result = 0;
  Variant answer;
  std::vector<std::string> log;

  std::map<std::string, int32_t> ints;  // profile values by "section/key"
  std::map<std::string, std::string> strings;
  HResult write_result = 0;  // the Manager stores a written value only on success
  HResult add_name_result = 0, remove_name_result = 0, command_result = 0, evaluate_result = 0;
  // The reply the simulator gives to each block it receives.
  std::function<Variant(const uint8_t* block)> reply;
  Variant evaluation = Variant::I4(0);
  // When set, the value of each expression (in place of the fixed evaluation).
  std::function<Variant(const std::string& expression)> evaluator;

  // The calls made since the last look.
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

// A host object the add-in holds: counted while it lives, its calls recorded in the state.
class Held {
 public:
  explicit Held(HostState& s) : s_(s) { ++s_.live_objects; }
  ~Held() { --s_.live_objects; }

 protected:
  HostState& s_;
};

// The debugger services: the add-in holds each through its own port.
class FakeService : public core::bridge::ManagerPort,
                    public core::bridge::TargetCommandPort,
                    public core::bridge::EventCommandPort,
                    public core::bridge::EvaluationPort,
                    Held {
 public:
  using Held::Held;
  HResult ReadProfileInt(const std::string& file, const std::string& section,
                         const std::string& key, int32_t default_value, int32_t* value) override {
    s_.calls.push_back(Format("Manager.ReadProfileInt(\"%s\",%s,%s,%d)", file.c_str(),
                              section.c_str(), key.c_str(), default_value));
    return Read(s_.ints, section + "/" + key, default_value, value);
  }
  HResult WriteProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, int32_t value) override {
    s_.calls.push_back(Format("Manager.WriteProfileInt(\"%s\",%s,%s,%d)", file.c_str(),
                              section.c_str(), key.c_str(), value));
    return Write(s_.ints, section + "/" + key, value);
  }
  HResult ReadProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& default_value,
                            std::string* value) override {
    s_.calls.push_back(Format("Manager.ReadProfileString(\"%s\",%s,%s,\"%s\")", file.c_str(),
                              section.c_str(), key.c_str(), default_value.c_str()));
    return Read(s_.strings, section + "/" + key, default_value, value);
  }
  HResult WriteProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    s_.calls.push_back(Format("Manager.WriteProfileString(\"%s\",%s,%s,\"%s\")", file.c_str(),
                              section.c_str(), key.c_str(), value.c_str()));
    return Write(s_.strings, section + "/" + key, value);
  }
  HResult MarkProjectModified(int32_t flag) override {
    s_.calls.push_back(Format("Manager.MarkProjectModified(%d)", flag));
    return 0;
  }

  HResult Command(const std::string& name, int32_t arg, const Variant& in,
                  Variant* reply) override {
    const auto* block = static_cast<const uint8_t*>(in.Pointer());
    s_.calls.push_back(Format("TargetCommand.Command(%s,%d,vt=0x%04X,%s)", name.c_str(), arg,
                              in.TypeWord(), Hex(block, 8).c_str()));
    if (s_.reply) *reply = s_.reply(block);
    return s_.command_result;
  }

  HResult AddName(int32_t id, const std::string& name) override {
    s_.calls.push_back(Format("EventCommand.AddName(%d,%s)", id, name.c_str()));
    return s_.add_name_result;
  }
  HResult RemoveName(int32_t id) override {
    s_.calls.push_back(Format("EventCommand.RemoveName(%d)", id));
    return s_.remove_name_result;
  }

  HResult Evaluate(const std::string& expression, Variant* result) override {
    s_.calls.push_back("Evaluation.Evaluate(" + expression + ")");
    *result = s_.evaluator ? s_.evaluator(expression) : s_.evaluation;
    return s_.evaluate_result;
  }

 private:
  template <typename Value>
  static HResult Read(const std::map<std::string, Value>& values, const std::string& key,
                      const Value& default_value, Value* value) {
    auto it = values.find(key);
    *value = it == values.end() ? default_value : it->second;
    return 0;
  }
  template <typename Value>
  HResult Write(std::map<std::string, Value>& values, const std::string& key, const Value& value) {
    if (s_.write_result < 0) return s_.write_result;
    values[key] = value;
    return 0;
  }
};

// What GetService hands out: one object per call, able to answer for the service it was asked.
class FakeServiceObject : public HostObject, Held {
 public:
  FakeServiceObject(HostState& s, std::string name, bool has_interface)
      : Held(s), name_(std::move(name)), has_interface_(has_interface) {}

  HResult GetIDsOfNames(const std::string& member, uint32_t lcid, int32_t* dispid) override {
    s_.calls.push_back(Format("%s.GetIDsOfNames(%s,0x%04X)", name_.c_str(), member.c_str(), lcid));
    *dispid = 7;
    return s_.lookup_result;
  }
  HResult Invoke(int32_t dispid, uint32_t lcid, uint16_t flags, const std::vector<Variant>& args,
                 Variant* result) override {
    std::string line = Format("%s.Invoke(%d,0x%04X,%u", name_.c_str(), dispid, lcid, flags);
    for (const Variant& arg : args) line += "," + arg.Describe();
    s_.calls.push_back(line + (result ? ",result)" : ",no result)"));
    if (!args.empty()) s_.log.push_back(args[0].Text());
    if (result) *result = s_.answer;
    return s_.invoke_result;
  }
  std::unique_ptr<core::bridge::ManagerPort> QueryManager() override {
    return Query("Marlin.Manager");
  }
  std::unique_ptr<core::bridge::TargetCommandPort> QueryTargetCommand() override {
    return Query("Marlin.TargetCommand");
  }
  std::unique_ptr<core::bridge::EventCommandPort> QueryEventCommand() override {
    return Query("Marlin.EventCommand");
  }
  std::unique_ptr<core::bridge::EvaluationPort> QueryEvaluation() override {
    return Query("Quillon.Evaluation");
  }

 private:
  std::unique_ptr<FakeService> Query(const char* service) {
    s_.calls.push_back(name_ + ".QueryInterface(" + service + ")");
    if (name_ != service || !has_interface_) return nullptr;
    return std::make_unique<FakeService>(s_);
  }

  std::string name_;
  bool has_interface_;
};

class FakeApplication : public core::bridge::HostApplication {
 public:
  explicit FakeApplication(HostState& s) : s_(s) {}
  std::unique_ptr<HostObject> GetService(const std::string& name) override {
    s_.calls.push_back("GetService(" + name + ")");
    auto it = s_.services.find(name);
    if (it == s_.services.end()) return nullptr;
    return std::make_unique<FakeServiceObject>(s_, name, it->second);
  }

 private:
  HostState& s_;
};

}  // namespace fakes
