// What the IDE window shows, in portable form: its title, the text of the log pane as the log
// grows, and the triggers that the prompt of the Debug menu offers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "standin/model/log.h"
#include "standin/model/session.h"

namespace standin::model {

inline constexpr char kProductName[] = "Vireo stand-in";

// "Vireo stand-in - sample.vpj", with "*" after the file name while the project has unsaved
// changes; "Untitled" stands for a project without a file.
std::string FrameTitle(const std::string& project_path, bool modified);

// Keeps a text pane in step with a log: each call says what changed since the last one. New
// entries are appended; when entries fell off the front or the log was cleared, the pane's text
// is replaced. Entries end with CR LF, and the line feeds inside an entry become CR LF too, as
// an edit control wants them.
class LogFollower {
 public:
  struct Update {
    bool replace = false;  // replace the pane's text; otherwise append (nothing when empty)
    std::string text;
  };
  Update Next(const Log& log);

 private:
  size_t shown_ = 0;  // entries of the log's current run shown, counting the dropped ones
  size_t clears_ = 0;
  size_t dropped_ = 0;
};

// The entries from `first` on, as LogFollower appends them.
std::string PaneText(const Log& log, size_t first);

// A choice of the trigger prompt: a trigger the simulator holds, or every trigger (kAllTriggers).
struct TriggerChoice {
  int32_t id = 0;
  std::string label;  // "101 tick_ack (interrupt, active)"
};
// "All triggers" first, then every trigger the simulator holds, by id, with its event name.
std::vector<TriggerChoice> TriggerChoices(const Session& session);

}  // namespace standin::model
