// CTriggerCommand: the bridge to the host's debugger services. It obtains each service on first
// use, keeps it, and wraps every conversation with the simulator, the event list, the evaluator
// and the project settings in one operation.
//
// Results: 0 for success and 1 for failure, except Evaluate, which returns an HRESULT.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/automation/simulator_codes.h"
#include "core/bridge/host_access.h"
#include "core/bridge/ports.h"

namespace core::bridge {

// Simulator command codes carried by "SimCommand".
using core::automation::simulator::kActivateCode;
using core::automation::simulator::kActiveTableCode;
using core::automation::simulator::kDeactivateCode;
using core::automation::simulator::kDefineCode;
using core::automation::simulator::kDropCode;
using core::automation::simulator::kFireCode;
using core::automation::simulator::kResetCode;
using core::automation::simulator::kSourceTableCode;
inline constexpr char kSimCommand[] = "SimCommand";

// The 8-byte command block {u16 8, u16 code, i32 id}.
std::vector<uint8_t> CommandBlock(uint16_t code, int32_t id);

class CTriggerCommand {
 public:
  explicit CTriggerCommand(const HostAccess& host) : host_(host) {}
  virtual ~CTriggerCommand() = default;
  CTriggerCommand(const CTriggerCommand&) = delete;
  CTriggerCommand& operator=(const CTriggerCommand&) = delete;

  // Service getters: the cached port, obtained from the host on first use; null when the host has
  // no such service or the service lacks its interface.
  ManagerPort* GetManager();
  TargetCommandPort* GetTargetCommand();
  EventCommandPort* GetEventCommand();
  ObjectFilePort* GetObjectFile();
  EvaluationPort* GetEvaluation();

  int Initialise() { return 0; }
  // Releases the three debugger-server services; the evaluator and the object-file service stay.
  void ReleaseServices();

  // Profile access always succeeds; a failed read shows only as an unchanged default, a write the
  // host refuses as a line in the host log. A service the host cannot provide is named in the log
  // the first time it is missed.
  int ReadProfileInt(const std::string& section, const std::string& key, int32_t default_value,
                     int32_t* value);
  int ReadProfileString(const std::string& section, const std::string& key,
                        const std::string& default_value, std::string* value);
  int WriteProfileInt(const std::string& section, const std::string& key, int32_t value);
  int WriteProfileString(const std::string& section, const std::string& key,
                         const std::string& value);

  // Hands a trigger record to the simulator. Only the record is used; the id, the name and the
  // InSimulator flag are the callers' account of what they define.
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator);
  // Removes the event name, then drops the trigger from the simulator. When the simulator refuses,
  // the event name `name` is added back, so the trigger stays whole and can be deleted later.
  int DeleteTriggerCommand(int32_t id, const std::string& name);
  int SendTriggerCommand(uint16_t code, int32_t id);
  // The simulator's active table (256 words, owned and updated by the simulator).
  int GetActiveTable(const uint32_t** table);
  // The interrupt source table; the buffer becomes the caller's, to be released with std::free.
  int GetSourceTable(uint8_t** table);

  // Names the trigger's event; a trigger that had a name (`previous` not null) loses it first.
  // When the host refuses the new name, the previous one is added back.
  int SetEventName(int32_t id, const std::string& name, const std::string* previous);
  int RemoveEventName(int32_t id);
  HResult Evaluate(const std::string& expression, int32_t* value);

  bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }

 private:
  // One "SimCommand" call; the reply block, if any, is handed back (caller frees it).
  HResult SimCommand(const void* block, uint8_t** reply);
  int FetchPointer(uint16_t code, void** data);
  void MarkModified();
  void ReportWrite(const std::string& section, const std::string& key, HResult hr) const;

  const HostAccess& host_;
  std::unique_ptr<ManagerPort> manager_;
  std::unique_ptr<TargetCommandPort> target_command_;
  std::unique_ptr<EventCommandPort> event_command_;
  std::unique_ptr<ObjectFilePort> object_file_;
  std::unique_ptr<EvaluationPort> evaluation_;
  bool loading_ = false;
  // Services found missing and told in the log, until the services are obtained afresh.
  struct Missing {
    bool manager = false, target_command = false, event_command = false, object_file = false,
         evaluation = false;
  } missing_;
};

}  // namespace core::bridge
