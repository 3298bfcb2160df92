// The event list.
#include "project/event_list.h"

namespace project {

HResult EventList::AddName(int32_t id, const std::string& name) {
  names_[id] = name;
  return core::automation::kOk;
}

HResult EventList::RemoveName(int32_t id) {
  return names_.erase(id) != 0 ? core::automation::kOk : core::automation::kFail;
}

const std::string* EventList::Find(int32_t id) const {
  const auto found = names_.find(id);
  return found == names_.end() ? nullptr : &found->second;
}

std::vector<std::pair<int32_t, std::string>> EventList::List() const {
  return {names_.begin(), names_.end()};
}

}  // namespace project
