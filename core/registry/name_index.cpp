// The name index of the registry: hashes of the slots' names and keys, brought up to date lazily.
#include "core/registry/name_index.h"

#include <optional>
#include <string_view>

namespace core::registry {
namespace {

uint64_t Hash(const std::string& text) { return std::hash<std::string_view>()(text); }

}  // namespace

NameIndex::NameIndex(KeyFunction name_key, NameAt name_at)
    : name_key_(std::move(name_key)), name_at_(std::move(name_at)) {}

void NameIndex::Changed(int32_t slot) {
  if (triggers::IsValidNumber(slot)) stale_.set(static_cast<size_t>(slot));
}

void NameIndex::Refresh() {
  if (stale_.none()) return;
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    if (!stale_.test(static_cast<size_t>(slot))) continue;
    Entry& entry = entries_[static_cast<size_t>(slot)];
    const std::string* name = name_at_(slot);
    entry.indexed = name != nullptr;
    entry.name_hash = name != nullptr ? Hash(*name) : 0;
    entry.keyed = false;
  }
  stale_.reset();
}

int32_t NameIndex::FindExact(const std::string& name, int32_t except) {
  Refresh();
  const uint64_t hash = Hash(name);
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    const Entry& entry = entries_[static_cast<size_t>(slot)];
    if (entry.indexed && entry.name_hash == hash && slot != except && *name_at_(slot) == name) {
      return slot;
    }
  }
  return -1;
}

int32_t NameIndex::Find(const std::string& name) {
  const int32_t exact = FindExact(name);
  if (!name_key_) return exact;
  // The same text has the same key, so a trigger bearing the name has its key, and only a lower
  // slot whose name has that key as well can come before it. The key of the name itself is made
  // only when no trigger bears the name or when a hash matches.
  std::optional<std::string> key;
  if (exact < 0) key = name_key_(name);
  const uint64_t hash = exact >= 0 ? KeyHash(exact) : Hash(*key);
  const int32_t end = exact >= 0 ? exact : triggers::kSlotCount;
  for (int32_t slot = 0; slot < end; ++slot) {
    if (!entries_[static_cast<size_t>(slot)].indexed || KeyHash(slot) != hash) continue;
    if (!key) key = name_key_(name);
    if (name_key_(*name_at_(slot)) == *key) return slot;
  }
  return exact;
}

uint64_t NameIndex::KeyHash(int32_t slot) {
  Entry& entry = entries_[static_cast<size_t>(slot)];
  if (!entry.keyed) {
    entry.key_hash = Hash(name_key_(*name_at_(slot)));
    entry.keyed = true;
  }
  return entry.key_hash;
}

}  // namespace core::registry
