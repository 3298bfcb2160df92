// Printing of results.
#include "core/automation/hresult.h"

#include <cstdio>

namespace core::automation {

std::string HResultText(HResult hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(static_cast<uint32_t>(hr)));
  return text;
}

}  // namespace core::automation
