// The host as the core of the add-in meets it, natively. It implements the host ports of the core
// (the application, its services and the log) over a project opened from its file, so that the
// core's own code paths (loading, registering, saving, the list) run on Linux with no COM and no
// IDE in between. It answers as the services of the stand-in answer: the Manager reads and writes
// the project settings, the evaluator works over the project symbols, "SimCommand" checks and holds
// records (RecordKeeper) and hands out its interrupt sources, and the event list and the log keep
// what they are given. Beyond the ports it keeps what a tool wants to show: which key of the
// [Trigger] section the add-in read last, the evaluator's reasons and the refusals of records.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/bridge/ports.h"
#include "project/evaluator.h"
#include "project/event_list.h"
#include "project/project.h"
#include "tools/trigger-check/record_keeper.h"

namespace trigger_check {

// What the host saw while the add-in worked on one key of its section: the key is the last one
// the add-in read from the section, and the calls that followed are about that key's line.
struct KeyCalls {
  bool named = false;  // the line's trigger named its event (as every parse does)
  int32_t id = 0;      // the id and name it named the event with: the line's own
  std::string name;
  // Expressions the evaluator refused, with its reason ("unknown symbol 'FOO' at column 1").
  std::vector<std::pair<std::string, std::string>> refused_expressions;
  std::string refused_record;  // why the record was refused, as a simulator's journal says it
};

class ProjectHost : public core::bridge::HostApplication {
 public:
  // Opens the project file and reads its symbols and interrupt sources; what the project gets
  // wrong in them is in opening_warnings(). A file that cannot be read changes nothing.
  project::Outcome Open(const std::string& path);

  std::unique_ptr<core::bridge::HostObject> GetService(const std::string& name) override;

  project::Project& project() { return project_; }
  const project::Project& project() const { return project_; }
  // "[Section] key: text" per entry of [Symbols] and [InterruptSources] that is skipped.
  const std::vector<std::string>& opening_warnings() const { return opening_warnings_; }
  const RecordKeeper& records() const { return records_; }
  // The host log: every line the add-in wrote, and the host's own notes.
  const std::vector<std::string>& log() const { return log_; }

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
  // One line of the host's own in the log.
  void Note(const std::string& text);

  project::Project project_;
  project::SymbolTable symbols_;
  std::vector<std::string> opening_warnings_;
  RecordKeeper records_;
  project::EventList events_;
  std::vector<std::string> log_;
  std::string current_key_;
  std::map<std::string, KeyCalls> key_calls_;
  std::set<std::string> read_keys_;
};

}  // namespace trigger_check
