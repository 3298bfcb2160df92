// The trigger window's document.
#include "core/window/trigger_document.h"

#include <cstdlib>

#include "core/triggers/interrupt_sources.h"

namespace core::window {

TriggerDocument::TriggerDocument(registry::CTriggerAction& registry,
                                 std::function<void()> update_all_views)
    : registry_(registry), update_all_views_(std::move(update_all_views)) {}

rows::TriggerInfo* TriggerDocument::CreateTrigger(const char* keyword) {
  if (keyword == nullptr) return nullptr;
  automation::Variant adapter;
  if (automation::Failed(registry_.CreateTriggerByKeyword(keyword, &adapter))) return nullptr;
  return static_cast<rows::TriggerInfo*>(adapter.Pointer());
}

int TriggerDocument::DeleteSlot(int slot) {
  const rows::TriggerInfo* adapter = GetTriggerInfo(slot);
  if (adapter == nullptr) return 1;
  return automation::Failed(registry_.DeleteTrigger(adapter->GetNameText())) ? 1 : 0;
}

int TriggerDocument::DeleteTrigger(const rows::TriggerInfo* adapter, bool refresh) {
  int result = 1;
  if (adapter != nullptr) {
    for (int slot = 0; slot < GetSlotCount(); ++slot) {
      if (GetTriggerInfo(slot) == adapter) {
        result = DeleteSlot(slot);
        break;
      }
    }
  }
  if (refresh) Refresh();
  return result;
}

void TriggerDocument::Refresh() {
  registry_.RefreshActiveFlags();
  if (update_all_views_) update_all_views_();
}

int TriggerDocument::SimulatorCommand(
    int slot, automation::HResult (registry::CTriggerAction::*command)(const std::string&)) {
  const rows::TriggerInfo* adapter = GetTriggerInfo(slot);
  if (adapter == nullptr) return 1;
  if (automation::Failed((registry_.*command)(adapter->GetNameText()))) return 1;
  Refresh();
  return 0;
}

int TriggerDocument::SimulatorCommand1(int slot) {
  return SimulatorCommand(slot, &registry::CTriggerAction::Command0102);
}
int TriggerDocument::SimulatorCommand2(int slot) {
  return SimulatorCommand(slot, &registry::CTriggerAction::Command0103);
}
int TriggerDocument::SimulatorCommand3(int slot) {
  return SimulatorCommand(slot, &registry::CTriggerAction::Command0105);
}
int TriggerDocument::SimulatorCommand4(int slot) {
  return SimulatorCommand(slot, &registry::CTriggerAction::Command0106);
}

int TriggerDocument::GetInterruptSourceCount() {
  interrupt_source_count_ = registry_.SourceCount();
  return interrupt_source_count_;
}

void TriggerDocument::BuildInterruptSourceLists() {
  if (source_lists_built_) return;
  source_lists_built_ = true;
  const int count = GetInterruptSourceCount();
  for (int index = 0; index < count; ++index) {
    std::string name;
    if (automation::Failed(registry_.GetSourceName(index, &name))) name.clear();
    // The names come from 16-byte fields of the simulator's table; keep the bound explicit.
    if (name.size() > 16) name.resize(16);
    interrupt_source_names_.push_back(std::move(name));
    interrupt_source_indices_.push_back(index);
  }
}

const std::vector<std::string>& TriggerDocument::GetInterruptSourceNames() {
  BuildInterruptSourceLists();
  return interrupt_source_names_;
}

const std::vector<int32_t>& TriggerDocument::GetInterruptSourceIndices() {
  BuildInterruptSourceLists();
  return interrupt_source_indices_;
}

const std::vector<uint32_t>& TriggerDocument::GetInterruptTableValues() {
  if (table_values_built_) return interrupt_table_values_;
  table_values_built_ = true;
  uint8_t* table = nullptr;
  if (registry_.Bridge().GetSourceTable(&table) == 0 && table != nullptr) {
    interrupt_table_values_ = InterruptTableValues(table, triggers::SourceTableSize(table));
  }
  std::free(table);  // the reply handed its ownership over
  return interrupt_table_values_;
}

std::vector<uint32_t> InterruptTableValues(const uint8_t* table, size_t size) {
  std::vector<uint32_t> values;
  // Held by name: a loop over the entries of a temporary would outlive it.
  const triggers::InterruptSources sources = triggers::InterruptSources::FromBuffer(table, size);
  for (const triggers::InterruptSource& source : sources.entries()) {
    values.push_back(source.value);  // 0 in the short layout
  }
  return values;
}

}  // namespace core::window
