// The interrupt sources of the simulated microcontroller and the table the simulator hands the
// add-in on request: the extended form, u16 0xFFFF, u16 count, then 20 bytes per source (name in
// 16 bytes, zero-padded and unterminated when it fills them, u16 code, u16 further value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace project {

inline constexpr size_t kSourceNameWidth = 16;
inline constexpr size_t kSourceEntrySize = 20;
inline constexpr uint16_t kExtendedSourceTable = 0xFFFF;

struct InterruptSource {
  std::string name;  // at most kSourceNameWidth characters; the project refuses longer ones
  uint16_t code = 0;
  uint16_t value = 0;  // the further value the trigger window shows
  friend bool operator==(const InterruptSource& a, const InterruptSource& b) {
    return a.name == b.name && a.code == b.code && a.value == b.value;
  }
};

// The table bytes for those sources (at most 65535 entries are written).
std::vector<uint8_t> SourceTableBytes(const std::vector<InterruptSource>& sources);

}  // namespace project
