// The table of interrupt sources in the simulator (name and code of each), and the rules by which
// the source text of an interrupt trigger is checked and resolved against it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/hresult.h"

namespace core::triggers {

struct InterruptSource {
  std::string name;
  uint16_t code = 0;
  uint16_t value = 0;  // the extended form's further value (0 in the short form)
};

class InterruptSources {
 public:
  InterruptSources() = default;
  explicit InterruptSources(std::vector<InterruptSource> sources) : sources_(std::move(sources)) {}

  // Reads a table as the simulator delivers it: u16 n, then n entries of an 8-byte name and a u16
  // code; or, when n is 0xFFFF, u16 count and count entries of a 16-byte name, a u16 code and a
  // u16 further value. `size` bounds the read: entries past it are not taken.
  static InterruptSources FromBuffer(const uint8_t* buffer, size_t size);

  const std::vector<InterruptSource>& entries() const { return sources_; }
  bool empty() const { return sources_.empty(); }
  int32_t Count() const { return static_cast<int32_t>(sources_.size()); }

  // A text whose leading decimal integer is non-zero, or that is exactly "0", is a number: it is
  // accepted below the entry count (negative numbers too). Any other text is a name, accepted
  // when a source bears it (without regard to case).
  automation::HResult Check(const std::string& text) const;
  // A number gives itself below the entry count and -1 otherwise; a name gives its source's code;
  // an unknown name, or an empty table, leaves *code as it was.
  void Resolve(const std::string& text, int32_t* code) const;

 private:
  std::vector<InterruptSource> sources_;
};

// The simulator hands the source table over without its size; its header implies it.
size_t SourceTableSize(const uint8_t* table);

}  // namespace core::triggers
