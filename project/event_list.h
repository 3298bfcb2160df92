// The debugger's event list as a host keeps it: one name per event id. The add-in names
// each trigger's event here under its trigger id.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/automation/hresult.h"

namespace project {

using core::automation::HResult;

class EventList {
 public:
  // Adding a name for an id that has one replaces it: the add-in names an event afresh when it
  // reads a definition line, without removing the old name first.
  HResult AddName(int32_t id, const std::string& name);
  // E_FAIL when the id has no name (the add-in counts that as "nothing to remove").
  HResult RemoveName(int32_t id);
  const std::string* Find(int32_t id) const;
  // In ascending id order.
  std::vector<std::pair<int32_t, std::string>> List() const;
  void Clear() { names_.clear(); }

 private:
  std::map<int32_t, std::string> names_;
};

}  // namespace project
