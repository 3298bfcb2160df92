// What the log window of the stand-in holds: the entries the add-in wrote through "AddLogString"
// and the stand-in's own notes. An entry is kept whole, line feeds included (the list that the
// add-in exports is one entry).
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace standin::model {

class Log {
 public:
  // Beyond this many entries the oldest go, so that a long session cannot grow without bound.
  static constexpr size_t kMaxEntries = 10000;

  void Add(std::string text);
  const std::deque<std::string>& entries() const { return entries_; }
  size_t dropped() const { return dropped_; }  // entries that fell off the front
  size_t clears() const { return clears_; }    // how often the log was cleared
  // Every entry followed by a line feed.
  std::string Text() const;
  void Clear();

  // Told after every change, so that a window showing the entries can catch up.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  std::deque<std::string> entries_;
  size_t dropped_ = 0;
  size_t clears_ = 0;
  std::function<void()> listener_;
};

}  // namespace standin::model
