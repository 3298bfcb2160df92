// Number allocation and default names.
#include "core/triggers/numbering.h"

#include "core/automation/strings.h"
#include "core/triggers/kinds.h"

namespace core::triggers {

int32_t AllocateNumber(const SlotView& slots, int32_t from) {
  for (int32_t slot = from < 0 ? 0 : from; slot < kSlotCount; ++slot) {
    if (!slots.Occupied(slot)) return slot;
  }
  return -1;
}

std::string MakeUniqueName(const SlotView& slots, std::string_view stem,
                           std::optional<int32_t> excluded) {
  std::string candidate(stem);
  int counter = 0;
  for (int32_t slot = 0; slot < kSlotCount; ++slot) {
    if (!slots.Occupied(slot)) continue;
    if (excluded && slots.NumberAt(slot) == *excluded) continue;
    if (slots.NameAt(slot) == candidate) {
      ++counter;
      candidate = std::string(stem) + std::to_string(counter);
      slot = -1;  // restart the scan at slot 0
    }
  }
  return candidate;
}

}  // namespace core::triggers
