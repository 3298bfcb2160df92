// NameIndex: a hash of the name of each slot's trigger, and of its name key, so that a look-up by
// name compares strings only where the hashes match, not in each of the 256 slots, and makes
// (on Windows, asks the locale for) no key of a name it has keyed before. The registry says which
// slots changed (a trigger came, went or was renamed); the index hashes their names again at the
// next look-up, and keys a name only when a look-up needs its key, so the passing default name
// of a loaded trigger is never keyed. 24 bytes a slot.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

#include "core/triggers/kinds.h"

namespace core::registry {

class NameIndex {
 public:
  using KeyFunction = std::function<std::string(const std::string& name)>;
  // The name of the trigger in a slot, null when the slot is free.
  using NameAt = std::function<const std::string*(int32_t slot)>;

  // Without a key function names compare exactly.
  NameIndex(KeyFunction name_key, NameAt name_at);

  // The trigger of the slot came, went or was renamed.
  void Changed(int32_t slot);
  // A trigger was renamed whose slot is not known: every slot is hashed again.
  void ChangedAnywhere() { stale_.set(); }

  // The lowest slot whose trigger bears exactly this name, the slot `except` aside; -1 when none.
  int32_t FindExact(const std::string& name, int32_t except = -1);
  // The lowest slot whose trigger bears this name or a name with the same key; -1 when none.
  int32_t Find(const std::string& name);

 private:
  struct Entry {
    uint64_t name_hash = 0;
    uint64_t key_hash = 0;
    bool indexed = false;
    bool keyed = false;
  };
  void Refresh();
  // The hash of the key of the name in an occupied slot, made on first need.
  uint64_t KeyHash(int32_t slot);

  KeyFunction name_key_;
  NameAt name_at_;
  std::array<Entry, triggers::kSlotCount> entries_{};
  std::bitset<triggers::kSlotCount> stale_;
};

}  // namespace core::registry
