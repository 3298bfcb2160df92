// What the registry finds wrong while it loads a project's triggers. Each problem is kept as a
// structured record for tools, and written as it is found to the host log as one line that names
// the key of the project line it concerns, so that the user can find the line:
//
//   Trigger key 4 skipped: trigger id 99 is outside 100..355
//   Trigger key 13 not read: it lies beyond the 13 lines "MaxNum" counts
//   Trigger key 3 not registered, field Source: empty
//   Trigger key 3, field Size: "bogus" is not one of BYTE, WORD, ...
//   Trigger key 0: trigger id 103 was loaded into slot 0
//   Trigger key MaxNum: it counts 5 lines but only 3 were found
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/automation/hresult.h"
#include "core/bridge/host_access.h"
#include "core/triggers/trigger.h"

namespace core::registry {

// What became of the line a message is about.
enum class LineState {
  Loaded,         // its trigger was made; the message remarks on part of the line
  Skipped,        // no trigger was made from it
  NotRead,        // the load never read it
  NotRegistered,  // its trigger was made but the simulator does not hold it
};

// How much a problem matters: an error when its line made no trigger or the trigger is not
// registered, a note for a line the load never read, a warning for the rest.
enum class Severity { Error, Warning, Note };

// What one log line says.
struct LoadMessage {
  std::string key;  // "0".."255", or "MaxNum"
  LineState state = LineState::Loaded;
  std::string field;  // the field concerned ("Source", "Cycle", ...); empty for the whole line
  std::string text;
};

struct LoadProblem {
  LoadMessage message;
  // The trigger the line says it defines, as far as its head can be read: the id when a kind
  // keyword follows it, the name when a third field does.
  std::optional<int32_t> id;
  std::optional<std::string> name;
  Severity severity = Severity::Warning;
};

std::string FormatLoadMessage(const LoadMessage& message);

// The problems of one load, in the order they were found.
class LoadReport {
 public:
  // With `write_log` false the problems are only collected.
  explicit LoadReport(const bridge::HostAccess& host, bool write_log = true)
      : host_(host), write_log_(write_log) {}
  LoadReport(const LoadReport&) = delete;
  LoadReport& operator=(const LoadReport&) = delete;

  // The problems that follow are about the line read under `key`. The caller keeps `line` alive
  // until the next line starts.
  void StartLine(std::string key, std::string_view line);
  // The current line made this trigger.
  void LineMade(const std::shared_ptr<triggers::CTrigger>& trigger) { trigger_ = trigger; }
  // One problem of the current line, written to the host log at once; the log's result.
  automation::HResult Add(LineState state, const std::string& field, const std::string& text);
  // The problems, each remark on a line that made a trigger an error when the trigger (still
  // there) is not registered now, after the load.
  std::vector<LoadProblem> Finish();

 private:
  const bridge::HostAccess& host_;
  bool write_log_;
  std::string key_;
  std::string_view line_;
  // Held weakly, so that the report does not keep a trigger the load's refreshes drop.
  std::weak_ptr<triggers::CTrigger> trigger_;
  std::vector<LoadProblem> problems_;
  std::vector<std::weak_ptr<triggers::CTrigger>> made_;  // each problem's trigger, if any
};

}  // namespace core::registry
