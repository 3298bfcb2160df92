// The host as the add-in's core meets it, natively: the core's host ports (the application, its
// services and the log) implemented over the stand-in's portable model, so that the core's own
// code paths (loading, registering, saving, the list) run on Linux against a project file, the
// model simulator and the model evaluator, with no COM in between. It answers as the stand-in's
// COM services answer, and keeps what a tool wants to show beyond the ports: which key of the
// [Trigger] section the add-in read last, the evaluator's reasons and the simulator's refusals.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/bridge/ports.h"
#include "standin/model/session.h"

namespace trigger_check {

// What the host saw while the add-in worked on one key of its section: the key is the last one
// the add-in read from the section, and the calls that followed are about that key's line.
struct KeyCalls {
  bool named = false;  // the line's trigger named its event (as every parse does)
  int32_t id = 0;      // the id and name it named the event with: the line's own
  std::string name;
  // Expressions the evaluator refused, with its reason ("unknown symbol 'FOO' at column 1").
  std::vector<std::pair<std::string, std::string>> refused_expressions;
  std::string refused_record;  // the simulator journal's line for a refused record
};

class ModelHost : public core::bridge::HostApplication {
 public:
  // The session must outlive the host and every port it hands out.
  explicit ModelHost(standin::model::Session& session) : session_(session) {}

  std::unique_ptr<core::bridge::HostObject> GetService(const std::string& name) override;

  // What happened while each key of the add-in's section was the last one read.
  const std::map<std::string, KeyCalls>& key_calls() const { return key_calls_; }
  // Every key of the add-in's section that the add-in asked for.
  const std::set<std::string>& read_keys() const { return read_keys_; }
  // Calls after this are about no key (until the add-in reads its section again).
  void ForgetKey() { current_key_.clear(); }

 private:
  class Service;
  class Manager;
  class TargetCommand;
  class EventCommand;
  class Evaluation;
  class MemoryCommand;

  KeyCalls* Current();

  standin::model::Session& session_;
  std::string current_key_;
  std::map<std::string, KeyCalls> key_calls_;
  std::set<std::string> read_keys_;
};

}  // namespace trigger_check
