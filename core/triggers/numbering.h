// Numbers and default names of new triggers, computed over a read-only view of the registry's
// 256 slots so that the registry and the tests share one implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core::triggers {

class SlotView {
 public:
  virtual ~SlotView() = default;
  virtual bool Occupied(int32_t slot) const = 0;
  // The trigger's own Number (normally the slot index; the two differ only right after a save
  // has renumbered the triggers).
  virtual int32_t NumberAt(int32_t slot) const = 0;
  virtual std::string NameAt(int32_t slot) const = 0;
};

// The lowest free slot, or -1 when all 256 are taken. `from` is where the search may start: a
// caller that knows every slot below it to be taken says so, and a load that fills the slots
// one after another does not search from slot 0 each time.
int32_t AllocateNumber(const SlotView& slots, int32_t from = 0);

// The stem itself when no trigger (other than the one numbered `excluded`) bears it; otherwise the
// stem followed by the smallest counter, counted upwards from 1, that gives a free name. Names are
// compared case-sensitively and the scan restarts from slot 0 after every clash, so the counter
// never goes back.
std::string MakeUniqueName(const SlotView& slots, std::string_view stem,
                           std::optional<int32_t> excluded = std::nullopt);
// The same rule over any set of names: the stem itself when `taken` says it is free, else the
// stem followed by the smallest counter from 1 that gives a free name.
std::string MakeUniqueName(std::string_view stem,
                           const std::function<bool(const std::string&)>& taken);

}  // namespace core::triggers
