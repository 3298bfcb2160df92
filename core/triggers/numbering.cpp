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
  return MakeUniqueName(stem, [&](const std::string& candidate) {
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
      if (!slots.Occupied(slot)) continue;
      if (excluded && slots.NumberAt(slot) == *excluded) continue;
      if (slots.NameAt(slot) == candidate) return true;
    }
    return false;
  });
}

std::string MakeUniqueName(std::string_view stem,
                           const std::function<bool(const std::string&)>& taken) {
  std::string candidate(stem);
  for (int counter = 1; taken(candidate); ++counter) {
    candidate = std::string(stem) + std::to_string(counter);
  }
  return candidate;
}

}  // namespace core::triggers
