// The log.
#include "standin/model/log.h"

namespace standin::model {

void Log::Add(std::string text) {
  if (entries_.size() == kMaxEntries) {
    entries_.pop_front();
    ++dropped_;
  }
  entries_.push_back(std::move(text));
  if (listener_) listener_();
}

std::string Log::Text() const {
  std::string out;
  for (const std::string& entry : entries_) {
    out += entry;
    out += '\n';
  }
  return out;
}

void Log::Clear() {
  entries_.clear();
  dropped_ = 0;
  ++clears_;
  if (listener_) listener_();
}

}  // namespace standin::model
