// The lines the registry writes to the host log while it loads a project's triggers. Each names
// the key of the project line it concerns, so that the user can find the line, and has one fixed
// shape, so that a tool reading the log can tell what happened to each line:
//
//   Trigger key 4 skipped: trigger id 99 is outside 100..355
//   Trigger key 13 not read: it lies beyond the 13 lines "MaxNum" counts
//   Trigger key 3 not registered, field Source: empty
//   Trigger key 3, field Size: "bogus" is not one of BYTE, WORD, ...
//   Trigger key 0: trigger id 103 was loaded into slot 0
//   Trigger key MaxNum: it counts 5 lines but only 3 were found
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core::registry {

// What became of the line a message is about.
enum class LineState {
  Loaded,         // its trigger was made; the message remarks on part of the line
  Skipped,        // no trigger was made from it
  NotRead,        // the load never read it
  NotRegistered,  // its trigger was made but the simulator does not hold it
};

struct LoadMessage {
  std::string key;  // "0".."255", or "MaxNum"
  LineState state = LineState::Loaded;
  std::string field;  // the field concerned ("Source", "Cycle", ...); empty for the whole line
  std::string text;
};

std::string FormatLoadMessage(const LoadMessage& message);
// The message a log line holds; nothing for a line of another shape.
std::optional<LoadMessage> ParseLoadMessage(std::string_view line);

}  // namespace core::registry
