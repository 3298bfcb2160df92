// Golden trigger records, written as the rows of 16 bytes that hold anything but zeros: a test
// lists only what a record sets, and a difference shows as the row it is in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/strings.h"

namespace fakes {

inline std::vector<std::string> NonZeroRows(const std::vector<uint8_t>& record) {
  std::vector<std::string> rows;
  for (size_t row = 0; row < record.size(); row += 16) {
    std::string text = core::automation::Format("%04x:", static_cast<unsigned>(row));
    bool set = false;
    for (size_t i = row; i < row + 16 && i < record.size(); ++i) {
      text += core::automation::Format(" %02X", record[i]);
      set = set || record[i] != 0;
    }
    if (set) rows.push_back(text);
  }
  return rows;
}

}  // namespace fakes
