// The stand-in's simulator, as far as the add-in reaches it: the "SimCommand" entry. It keeps
// the trigger records it accepted by trigger id, the live active table, the interrupt source
// table, and a journal of everything it was asked, in readable lines for the log.
//
// What the commands do here (the add-in only relays them):
// - define (a trigger record): stores or replaces the record; a new trigger starts inactive, a
//   redefined one keeps its activation, as the same event with new parameters;
// - drop 0x101: forgets the trigger and clears its active word; dropping an id the simulator
//   does not hold succeeds, since the outcome the caller wants is already there;
// - activate 0x102 / deactivate 0x103: sets / clears the trigger's active word;
// - fire 0x105: fires the trigger once (counted), whether or not it is active;
// - reset 0x106: back to the state right after its definition: inactive, never fired.
// Each takes one id or -1 for every held trigger. A command for an id the simulator does not
// hold (other than drop) fails with E_FAIL, so that the add-in's caller hears of it.
//
// Replies: a malloc'ed block, word 0 zero, at byte offset 4 either the refusal word (records)
// or the data pointer (0x104, 0x200; pointer-sized, written with memcpy). The add-in frees every
// reply with free(). A refused record answers S_OK with a non-zero refusal word, which is what
// the add-in reads; a refused command block answers E_FAIL and no reply, because for those the
// add-in reads only the result.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/automation/hresult.h"
#include "project/interrupt_source_table.h"
#include "project/records.h"
#include "standin/model/log.h"

namespace standin::model {

using core::automation::HResult;

// The refusal word of a record the host was told to refuse (RefusedCalls); the words of the
// records' own faults are in project/records.h.
inline constexpr uint32_t kRefusedByRequest = 5;

inline constexpr size_t kActiveTableSize = 256;

struct StoredTrigger {
  int32_t id = 0;
  uint16_t action = 0;
  std::vector<uint8_t> record;  // the whole block, kFullRecordSize bytes
  uint32_t definitions = 0;     // how often it was (re)defined
  uint32_t fires = 0;           // fire-once commands since its definition or last reset
};

class Simulator {
 public:
  Simulator();
  Simulator(const Simulator&) = delete;  // the active table's address is handed out
  Simulator& operator=(const Simulator&) = delete;

  // One "SimCommand" call. `block` points at a trigger record or a command block (told apart by
  // the first word: 8 for a command block); `reply_block` receives the reply or null.
  // E_POINTER for null arguments, E_OUTOFMEMORY when no reply can be allocated.
  HResult Command(const uint8_t* block, void** reply_block);

  // The interrupt sources handed out on 0x200 and named in the journal.
  void SetSources(std::vector<project::InterruptSource> sources) { sources_ = std::move(sources); }
  const std::vector<project::InterruptSource>& sources() const { return sources_; }

  // Forgets every trigger (a new project); the active table stays where it is, all zero.
  void Clear();

  const uint32_t* ActiveTable() const { return active_.data(); }
  bool IsActive(int32_t id) const;
  const StoredTrigger* Find(int32_t id) const;
  std::vector<int32_t> Ids() const;  // ascending

  // One line per call, e.g. "define id 101 interrupt: ...", "refused record (word 3): ...",
  // "activate 101", "E_FAIL: activate 140: no such trigger". Bounded like the log window.
  const Log& journal() const { return journal_; }
  void ClearJournal() { journal_.Clear(); }

 private:
  HResult DefineRecord(const uint8_t* record, void** reply_block);
  HResult RunCommand(const uint8_t* block, void** reply_block);
  // Applies a per-trigger command to one held trigger.
  void Apply(uint16_t code, StoredTrigger& trigger);
  HResult Reply(uint32_t word, const void* pointer, void** reply_block);
  HResult Refuse(const project::RecordCheck& check, void** reply_block);
  HResult FailCommand(const std::string& reason);
  uint32_t& ActiveWord(int32_t id) { return active_[static_cast<size_t>(id - 100)]; }

  std::map<int32_t, StoredTrigger> triggers_;
  std::array<uint32_t, kActiveTableSize> active_{};
  std::vector<project::InterruptSource> sources_;
  Log journal_;
};

}  // namespace standin::model
