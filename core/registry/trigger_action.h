// CTriggerAction: the registry that owns every trigger. 256 numbered slots, each holding the row
// adapter of one trigger; creation by kind with the lowest free number and a default name,
// look-up, deletion, the simulator commands per trigger and for all, the Active flags from the
// simulator's active table, the interrupt source table, storage in the project settings
// (definition_storage.cpp) and the trigger list (list_export.cpp).
//
// The registry is also the context of the triggers it makes: each gets a shared context object
// that answers the registry checks from this registry, passes the bridge calls to the
// CTriggerCommand, the log to the HostAccess and the window calls to the WindowHooks. The
// registry cuts that object's link to itself when it goes, so a trigger that outlives it (held by
// the host) keeps a working bridge and log while its registry checks fail cleanly.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/automation/hresult.h"
#include "core/automation/variant.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/load_log.h"
#include "core/registry/name_index.h"
#include "core/rows/trigger_info.h"
#include "core/triggers/interrupt_sources.h"
#include "core/triggers/kinds.h"
#include "core/triggers/trigger.h"
#include "core/triggers/trigger_context.h"

namespace core::triggers {
class CInterruptTrigger;
class CTransferTrigger;
class CStreamTrigger;
class CIOStreamTrigger;
class CConnectTrigger;
class CControlTrigger;
class CMessageTrigger;
class CSioTrigger;
class CFileStreamTrigger;
class CIOAccessTrigger;
}  // namespace core::triggers

namespace core::registry {

using automation::HResult;
using automation::Variant;
using triggers::CTrigger;
using triggers::TriggerKind;

// What the Windows layer provides around the registry. Left empty, the refresh does nothing,
// window messages are numbered by triggers::PortableWindowMessage and names looked up by
// FindNumberByName compare exactly.
struct WindowHooks {
  // The trigger window's document, if it is open: resynchronise the Active flags and rebuild its
  // views. It may call back into the registry (even delete triggers).
  // Triggers keep calling both hooks after their registry is gone, so neither may assume it.
  std::function<void()> refresh_trigger_window;
  // RegisterWindowMessageA: the message number of a name, 0 on failure.
  std::function<uint32_t(const std::string&)> register_window_message;
  // The key under which the look-ups by name (FindTrigger, FindNumberByName and what rests on
  // them) compare names: a given name is a trigger's name when their keys are equal. On Windows
  // the sort key of the user's default locale, so that names compare as that locale compares
  // them: case-sensitive, but taking "ss" and the sharp s, say, for the same. A key is made once
  // per name, not once per comparison. The uniqueness checks do not use it: they compare exactly.
  std::function<std::string(const std::string& name)> name_key;
};

class CTriggerAction final : public rows::TriggerInfoOwner {
 public:
  // The bridge and the host access must outlive every trigger this registry makes (in the add-in
  // they are process-wide).
  CTriggerAction(bridge::CTriggerCommand& bridge, const bridge::HostAccess& host,
                 WindowHooks hooks = {});
  // Destroys every adapter (releasing its trigger); tells the simulator nothing.
  ~CTriggerAction();
  CTriggerAction(const CTriggerAction&) = delete;
  CTriggerAction& operator=(const CTriggerAction&) = delete;

  // ---- Creation ----
  // A new trigger of the kind in the lowest free slot, numbered by its slot and given the kind's
  // default name; nothing is sent to the simulator. E_FAIL, and *trigger null, when all 256 slots
  // are taken.
  HResult CreateTrigger(TriggerKind kind, std::shared_ptr<CTrigger>* trigger);
  HResult CreateInterruptTrigger(std::shared_ptr<triggers::CInterruptTrigger>* trigger);
  HResult CreateTransferTrigger(std::shared_ptr<triggers::CTransferTrigger>* trigger);
  HResult CreateStreamTrigger(std::shared_ptr<triggers::CStreamTrigger>* trigger);
  HResult CreateIOStreamTrigger(std::shared_ptr<triggers::CIOStreamTrigger>* trigger);
  HResult CreateConnectTrigger(std::shared_ptr<triggers::CConnectTrigger>* trigger);
  HResult CreateControlTrigger(std::shared_ptr<triggers::CControlTrigger>* trigger);
  HResult CreateMessageTrigger(std::shared_ptr<triggers::CMessageTrigger>* trigger);
  HResult CreateSioTrigger(std::shared_ptr<triggers::CSioTrigger>* trigger);
  HResult CreateFileStreamTrigger(std::shared_ptr<triggers::CFileStreamTrigger>* trigger);
  HResult CreateIOAccessTrigger(std::shared_ptr<triggers::CIOAccessTrigger>* trigger);
  // By a definition-line keyword (without regard to case); *adapter as GetAdapterByNumber gives
  // it for the new trigger. An unknown keyword, or a full registry: E_FAIL, *adapter empty.
  HResult CreateTriggerByKeyword(const std::string& keyword, Variant* adapter);

  // ---- Deletion ----
  // The first trigger bearing the name. A trigger in the simulator is dropped there first; when
  // the simulator refuses, the trigger stays (E_FAIL). Afterwards the trigger window refreshes.
  HResult DeleteTrigger(const std::string& name) override;
  // Every trigger in slot order; stops at the first failure and returns it.
  HResult DeleteAllTriggers();
  // The trigger in the slot, as DeleteTrigger deletes the trigger it finds by name.
  HResult DeleteSlot(int32_t number);

  // ---- One line at a time (paste and undo; definition_storage.cpp) ----
  struct PlacedLine {
    int32_t slot = -1;  // of the new trigger; -1 when the line was refused
    // What reading the line found, as a load would log it (the key left empty).
    std::vector<LoadMessage> messages;
  };
  // Makes a trigger from a definition line, in `slot` when that slot is free and otherwise in the
  // lowest free slot; the line's id becomes that of the new trigger. The line is read as a load
  // reads it, but nothing is logged. A line that makes no trigger, or whose trigger the
  // simulator does not hold, is refused: its trigger is deleted again.
  PlacedLine PlaceLine(const std::string& line, int32_t slot = -1);

  // ---- Simulator commands ----
  // By name: E_FAIL, nothing sent, when no trigger bears the name; otherwise the code with the
  // trigger id of its slot. "All": the code with id -1. A bridge failure gives E_FAIL.
  HResult Command0102(const std::string& name);
  HResult Command0103(const std::string& name);
  HResult Command0105(const std::string& name);
  HResult Command0106(const std::string& name);
  HResult Command0102All();
  HResult Command0103All();
  HResult Command0106All();

  // ---- Look-up ----
  // Names are compared by the hooks' name keys (exactly without them); the lowest slot wins.
  std::shared_ptr<CTrigger> FindTrigger(const std::string& name) const;
  int32_t FindNumberByName(const std::string& name) const;  // -1 when none
  // Numbers outside 0..255 are free slots.
  std::shared_ptr<CTrigger> GetTriggerByNumber(int32_t number) const;
  uint16_t GetKindByNumber(int32_t number) const;  // triggers::kNoKindCode when free
  // VT_BYREF (no base type) pointing at the slot's TriggerInfo; a null pointer when free.
  Variant GetAdapterByNumber(int32_t number) const;
  rows::TriggerInfo* AdapterAt(int32_t number) const;
  int32_t Count() const { return count_; }

  // ---- Names ----
  // S_OK when no trigger bears the name (the trigger numbered `number` aside), else E_FAIL.
  HResult CheckNameUnique(const std::string& name) const;
  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) const;

  // ---- Activity ----
  // Sets the Active flag of every trigger from the simulator's active table, which is fetched on
  // first need; without a table nothing changes. Always S_OK.
  HResult RefreshActiveFlags();

  // ---- Interrupt sources ----
  // The simulator's table is fetched while the registry holds none; Resolve never fetches.
  HResult CheckInterruptSource(const std::string& source);
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) const;
  int32_t SourceCount();
  // E_FAIL for an index outside 0..SourceCount()-1.
  HResult GetSourceName(int32_t index, std::string* name);
  const triggers::InterruptSources& Sources() const { return sources_; }

  // ---- Storage (definition_storage.cpp) ----
  // Writes "MaxNum" and one definition line per trigger, renumbering the triggers 0, 1, ... in
  // slot order. Always S_OK.
  HResult SaveTriggers();
  // Rebuilds triggers from the stored lines; lines that cannot be loaded are skipped. Every
  // problem found goes to the host log, one line each (load_log.h), and to *problems when it is
  // given. E_FAIL only when the line count cannot be read.
  HResult LoadTriggers(std::vector<LoadProblem>* problems = nullptr);

  // ---- The list (list_export.cpp) ----
  // The list text to a file: a ".txt" path, or one without any dot (".txt" is appended); any other
  // extension is E_FAIL. A file that cannot be written is reported in the host log, still S_OK.
  HResult ExportTriggerList(const std::string& path);
  // The list text to the host log, whole. S_OK.
  HResult LogTriggerList();

  // Occupies its place in the automation interface; does nothing.
  HResult Reserved(int32_t, int32_t) { return automation::kOk; }

  // ---- Around the registry ----
  // The context the registry's triggers share (also what a process-wide trigger context defers
  // its registry checks to).
  std::shared_ptr<triggers::TriggerContext> Context() const;
  bridge::CTriggerCommand& Bridge() const { return bridge_; }
  // One line in the host log; the result is not looked at by the registry.
  HResult WriteLog(const std::string& text) const { return host_.WriteLog(text); }

 private:
  class SharedContext;
  class Slots;

  // Makes a trigger of the kind in the free slot, numbers and names it and wraps it in its adapter.
  HResult Install(TriggerKind kind, int32_t slot, std::shared_ptr<CTrigger>* trigger);
  template <typename Kind>
  HResult CreateTyped(TriggerKind kind, std::shared_ptr<Kind>* trigger);
  HResult SendCommand(uint16_t code, const std::string& name);
  // While a load parses a line, what its trigger logs or notes is a problem of that line, in the
  // load's report (definition_storage.cpp); *reason_given tells afterwards whether the trigger
  // said why its Register failed.
  class LineScope {
   public:
    LineScope(CTriggerAction& registry, LoadReport& report, bool* reason_given);
    ~LineScope();
    LineScope(const LineScope&) = delete;
    LineScope& operator=(const LineScope&) = delete;

   private:
    SharedContext& context_;
    bool* reason_given_;
  };
  HResult SendCommandAll(uint16_t code);
  void FetchSources();
  // A trigger of this registry was renamed: its slot is read again at the next look-up.
  void NoteRename(const CTrigger& trigger);

  bridge::CTriggerCommand& bridge_;
  const bridge::HostAccess& host_;
  std::shared_ptr<SharedContext> context_;
  std::array<std::unique_ptr<rows::TriggerInfo>, triggers::kSlotCount> slots_;
  int32_t count_ = 0;
  int32_t lowest_free_ = 0;                 // every slot below it holds a trigger
  const uint32_t* active_table_ = nullptr;  // the simulator's; stays valid while it runs
  // The slots by name, told of every slot that gains or loses a trigger and of every rename.
  mutable NameIndex names_;
  triggers::InterruptSources sources_;
};

}  // namespace core::registry
