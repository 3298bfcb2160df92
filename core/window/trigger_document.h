// The behaviour of TriggerDoc, the document of the trigger window. It holds no triggers of its own;
// it is a thin front of the registry addressed by slot number, plus the interrupt lists the
// interrupt dialog needs, read once per document. The Windows document wraps one of these and tells
// its views to update when it refreshes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/registry/trigger_action.h"
#include "core/rows/trigger_info.h"

namespace core::window {

class TriggerDocument {
 public:
  // `update_all_views` rebuilds every view of the document (the refresh's second half); it may
  // be empty, and may be set later.
  explicit TriggerDocument(registry::CTriggerAction& registry,
                           std::function<void()> update_all_views = {});
  TriggerDocument(const TriggerDocument&) = delete;
  TriggerDocument& operator=(const TriggerDocument&) = delete;

  void SetUpdateAllViews(std::function<void()> update_all_views) {
    update_all_views_ = std::move(update_all_views);
  }
  registry::CTriggerAction& Registry() const { return registry_; }

  // ---- Slots ----
  int GetSlotCount() const { return triggers::kSlotCount; }
  int GetTriggerCount() const { return registry_.Count(); }
  // The adapter in the slot; null for an empty slot or one outside 0..255.
  rows::TriggerInfo* GetTriggerInfo(int slot) const { return registry_.AdapterAt(slot); }
  // A new trigger of the kind named by a definition-line keyword; null when the registry
  // refuses (unknown keyword, all slots taken) or the keyword is null.
  rows::TriggerInfo* CreateTrigger(const char* keyword);
  // 0 deleted, 1 failed (empty slot, or the registry refused). The registry refreshes the
  // document itself after a deletion.
  int DeleteSlot(int slot);
  // Deletes the trigger of exactly this adapter: 0 deleted, 1 failed (null adapter, or one no
  // slot holds). With `refresh` the document refreshes afterwards whatever the result.
  int DeleteTrigger(const rows::TriggerInfo* adapter, bool refresh);
  // The Active flags from the simulator, then every view rebuilt.
  void Refresh();

  // ---- The four simulator commands (activate, deactivate, fire, reset) on a slot's trigger ----
  // 0 done (and the document refreshed), 1 failed (empty slot, or the registry refused).
  int SimulatorCommand1(int slot);
  int SimulatorCommand2(int slot);
  int SimulatorCommand3(int slot);
  int SimulatorCommand4(int slot);

  // ---- Interrupt lists for the interrupt dialog ----
  // The registry's source count, stored each time it is read.
  int GetInterruptSourceCount();
  // Built on first request and kept for the document's life. Names hold at most 16 characters.
  const std::vector<std::string>& GetInterruptSourceNames();
  const std::vector<int32_t>& GetInterruptSourceIndices();
  // The simulator's interrupt table as one value per entry (see InterruptTableValues); empty when
  // the simulator gives no table.
  const std::vector<uint32_t>& GetInterruptTableValues();

 private:
  int SimulatorCommand(
      int slot, automation::HResult (registry::CTriggerAction::*command)(const std::string&));
  void BuildInterruptSourceLists();

  registry::CTriggerAction& registry_;
  std::function<void()> update_all_views_;
  int interrupt_source_count_ = 0;
  bool source_lists_built_ = false;
  std::vector<std::string> interrupt_source_names_;
  std::vector<int32_t> interrupt_source_indices_;
  bool table_values_built_ = false;
  std::vector<uint32_t> interrupt_table_values_;
};

// The interrupt table as the simulator delivers it, one value per entry: the extended layout
// (u16 0xFFFF, u16 count, 20-byte entries) gives each entry's u16 at offset 18, zero-extended;
// the short layout (u16 count, 10-byte entries) gives 0 per entry. `size` bounds the read.
std::vector<uint32_t> InterruptTableValues(const uint8_t* table, size_t size);

}  // namespace core::window
