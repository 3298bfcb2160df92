// Memory held by the triggers under Wine, their automation objects included: the memory rows of
// bench/common/memory_report.h with the automation object of each trigger (made as FindTrigger
// on the registry hands it out), counted by the replaced operator new. The free-threaded
// marshaler of the object comes from the system heap, which operator new does not see. So the
// whole share of an object is measured apart, from the blocks in use in the process heaps over
// many objects.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/common/memory_report.h"
#include "bench/common/project_lines.h"
#include "bench/common/rows.h"
#include "core/automation/strings.h"
#include "core/triggers/make_trigger.h"
#include "win/com/kind_objects.h"
#include "win/comkit/conversion.h"

namespace {

namespace ct = core::triggers;

// The bytes of the blocks in use in all heaps of the process (that of the C run-time and that of
// the system).
size_t HeapBytes() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  size_t bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return bytes;
}

// What an automation object takes from the heaps, its marshaler included: many objects of the
// stream kind, so that whatever else happens meanwhile divides out.
void PrintObjectShare() {
  constexpr int kObjects = 4096;
  std::vector<std::shared_ptr<ct::CTrigger>> triggers;
  for (int i = 0; i < kObjects; ++i)
    triggers.push_back(ct::MakeTrigger(ct::TriggerKind::Stream, nullptr));
  std::vector<IUnknown*> objects;
  objects.reserve(kObjects);
  const size_t before = HeapBytes();
  for (const auto& trigger : triggers) {
    void* object = nullptr;
    if (SUCCEEDED(win::com::TriggerPeer(trigger, IID_IUnknown, &object))) {
      objects.push_back(static_cast<IUnknown*>(object));
    }
  }
  const size_t after = HeapBytes();
  bench::PrintMemory("automation object with its free-threaded marshaler (Wine)",
                     (after - before) / objects.size(),
                     core::automation::Format("heap blocks over %zu objects", objects.size()));
  for (IUnknown* object : objects) object->Release();
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 0;
  {
    // Each object is kept until the report is done; the list's room is made first, so that it
    // is not counted as the objects'.
    std::vector<IUnknown*> kept;
    kept.reserve(4 * bench::kProjectLineCount);
    bench::MemoryReport report;
    report.holding = "trigger, row adapter and automation object";
    report.where = " (Wine)";
    report.hooks.name_key = win::comkit::NameKeyInUserLocale;
    report.make_peer = [&kept](const std::shared_ptr<ct::CTrigger>& trigger) {
      void* object = nullptr;
      if (SUCCEEDED(win::com::TriggerPeer(trigger, IID_IUnknown, &object))) {
        kept.push_back(static_cast<IUnknown*>(object));
      }
    };
    if (!bench::PrintMemoryRows(report)) status = 1;
    for (IUnknown* object : kept) object->Release();
    PrintObjectShare();
  }
  CoUninitialize();
  return status;
}
