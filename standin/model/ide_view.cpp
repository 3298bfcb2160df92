// The IDE window's texts.
#include "standin/model/ide_view.h"

#include <algorithm>

#include "project/records.h"

namespace standin::model {

using project::ActionName;
using project::kAllTriggers;

std::string FrameTitle(const std::string& project_path, bool modified) {
  const size_t slash = project_path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? project_path : project_path.substr(slash + 1);
  if (name.empty()) name = "Untitled";
  return std::string(kProductName) + " - " + name + (modified ? "*" : "");
}

std::string PaneText(const Log& log, size_t first) {
  std::string text;
  const auto& entries = log.entries();
  for (size_t i = first; i < entries.size(); ++i) {
    const std::string& entry = entries[i];
    for (size_t k = 0; k < entry.size(); ++k) {
      if (entry[k] == '\n' && (k == 0 || entry[k - 1] != '\r')) text += '\r';
      text += entry[k];
    }
    text += "\r\n";
  }
  return text;
}

LogFollower::Update LogFollower::Next(const Log& log) {
  const size_t count = log.entries().size();
  if (log.clears() != clears_ || log.dropped() != dropped_) {
    clears_ = log.clears();
    dropped_ = log.dropped();
    shown_ = count;
    return {true, PaneText(log, 0)};
  }
  Update update{false, PaneText(log, std::min(shown_, count))};
  shown_ = count;
  return update;
}

std::vector<TriggerChoice> TriggerChoices(const Session& session) {
  std::vector<TriggerChoice> choices = {{kAllTriggers, "All triggers"}};
  const Simulator& simulator = session.simulator();
  for (int32_t id : simulator.Ids()) {
    std::string label = std::to_string(id);
    if (const std::string* name = session.events().Find(id)) label += ' ' + *name;
    const char* kind = ActionName(simulator.Find(id)->action);
    label += std::string(" (") + (kind ? kind : "?") + ", " +
             (simulator.IsActive(id) ? "active" : "inactive") + ')';
    choices.push_back({id, std::move(label)});
  }
  return choices;
}

}  // namespace standin::model
