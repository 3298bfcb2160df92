// The debugger-service bridge.
#include "core/bridge/trigger_command.h"

#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"

namespace core::bridge {
namespace {

using automation::Failed;
using automation::VarType;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// Every service is obtained the same way: the named object from the host, asked for the service's
// own interface, then released. A service the host cannot provide makes every operation that
// needs it fail; the log says so once, until the services are obtained afresh.
template <typename Port, typename Query>
Port* Obtain(std::unique_ptr<Port>& cache, const HostAccess& host, const char* name, Query query,
             const char* consequence, bool* reported) {
  if (!cache) {
    if (std::unique_ptr<HostObject> object = host.GetService(name)) cache = ((*object).*query)();
    if (!cache && consequence != nullptr && !*reported) {
      *reported = true;
      host.WriteLog(automation::Format("The host has no %s service: %s", name, consequence));
    }
  }
  return cache.get();
}

// The reply VARIANT's pointer field.
uint8_t* ReplyBlock(const Variant& reply) {
  return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(reply.Bits()));
}

}  // namespace

std::vector<uint8_t> CommandBlock(uint16_t code, int32_t id) {
  automation::ByteWriter block(8);
  block.U16(0, 8);
  block.U16(2, code);
  block.I32(4, id);
  return block.Take();
}

ManagerPort* CTriggerCommand::GetManager() {
  return Obtain(manager_, host_, kManagerService, &HostObject::QueryManager,
                "the triggers cannot be read from or saved to the project", &missing_.manager);
}
TargetCommandPort* CTriggerCommand::GetTargetCommand() {
  return Obtain(target_command_, host_, kTargetCommandService, &HostObject::QueryTargetCommand,
                "no trigger can be defined in the simulator or given a command",
                &missing_.target_command);
}
EventCommandPort* CTriggerCommand::GetEventCommand() {
  return Obtain(event_command_, host_, kEventCommandService, &HostObject::QueryEventCommand,
                "triggers cannot be named in the event list or deleted", &missing_.event_command);
}
ObjectFilePort* CTriggerCommand::GetObjectFile() {
  // Nothing the user does needs it, so there is nothing to tell.
  return Obtain(object_file_, host_, kObjectFileService, &HostObject::QueryObjectFile, nullptr,
                &missing_.object_file);
}
EvaluationPort* CTriggerCommand::GetEvaluation() {
  return Obtain(evaluation_, host_, kEvaluationService, &HostObject::QueryEvaluation,
                "address expressions cannot be evaluated", &missing_.evaluation);
}

void CTriggerCommand::ReleaseServices() {
  event_command_.reset();
  manager_.reset();
  target_command_.reset();
  missing_ = {};
}

int CTriggerCommand::ReadProfileInt(const std::string& section, const std::string& key,
                                    int32_t default_value, int32_t* value) {
  if (ManagerPort* manager = GetManager()) {
    manager->ReadProfileInt("", section, key, default_value, value);
  }
  return kSuccess;
}

int CTriggerCommand::ReadProfileString(const std::string& section, const std::string& key,
                                       const std::string& default_value, std::string* value) {
  if (ManagerPort* manager = GetManager()) {
    manager->ReadProfileString("", section, key, default_value, value);
  }
  return kSuccess;
}

// Writes report success whatever the host answered, so that a save goes on with the other keys;
// a key the host did not take is named in the log, since what it held is not in the project.
int CTriggerCommand::WriteProfileInt(const std::string& section, const std::string& key,
                                     int32_t value) {
  if (ManagerPort* manager = GetManager()) {
    ReportWrite(section, key, manager->WriteProfileInt("", section, key, value));
  }
  return kSuccess;
}

int CTriggerCommand::WriteProfileString(const std::string& section, const std::string& key,
                                        const std::string& value) {
  if (ManagerPort* manager = GetManager()) {
    ReportWrite(section, key, manager->WriteProfileString("", section, key, value));
  }
  return kSuccess;
}

void CTriggerCommand::ReportWrite(const std::string& section, const std::string& key,
                                  HResult hr) const {
  if (!Failed(hr)) return;
  host_.WriteLog(automation::Format(
      "The host did not store [%s] %s in the project (0x%08X): that setting is not saved",
      section.c_str(), key.c_str(), static_cast<uint32_t>(hr)));
}

HResult CTriggerCommand::SimCommand(const void* block, uint8_t** reply) {
  *reply = nullptr;
  TargetCommandPort* target = GetTargetCommand();
  if (target == nullptr) return automation::kFail;
  Variant result;
  const HResult hr =
      target->Command(kSimCommand, 0, Variant::ByRef(const_cast<void*>(block)), &result);
  *reply = ReplyBlock(result);
  return hr;
}

void CTriggerCommand::MarkModified() {
  if (ManagerPort* manager = GetManager()) manager->MarkProjectModified(1);
}

int CTriggerCommand::DefineTrigger(int32_t /*id*/, const std::string& /*name*/,
                                   const std::vector<uint8_t>& record, bool /*in_simulator*/) {
  uint8_t* reply = nullptr;
  const HResult hr = SimCommand(record.data(), &reply);
  // Every reply block is released here, accepted or not: the simulator allocates a fresh one for
  // each answer.
  const bool refused = reply != nullptr && automation::ReadU32(reply + 4) != 0;
  std::free(reply);
  if (Failed(hr) || refused) return kFailure;
  if (!loading_) MarkModified();
  return kSuccess;
}

int CTriggerCommand::DeleteTriggerCommand(int32_t id, const std::string& name) {
  EventCommandPort* events = GetEventCommand();
  if (events == nullptr || Failed(events->RemoveName(id))) return kFailure;
  const std::vector<uint8_t> block = CommandBlock(kDropCode, id);
  uint8_t* reply = nullptr;
  const HResult hr = SimCommand(block.data(), &reply);
  std::free(reply);
  if (Failed(hr)) {
    // The simulator keeps the trigger, so it keeps its event name too: without it every later
    // deletion would fail at the removal above.
    events->AddName(id, name);
    return kFailure;
  }
  MarkModified();  // even while loading
  return kSuccess;
}

int CTriggerCommand::SendTriggerCommand(uint16_t code, int32_t id) {
  const std::vector<uint8_t> block = CommandBlock(code, id);
  uint8_t* reply = nullptr;
  const HResult hr = SimCommand(block.data(), &reply);
  std::free(reply);
  return Failed(hr) ? kFailure : kSuccess;
}

int CTriggerCommand::FetchPointer(uint16_t code, void** data) {
  // The id field means nothing for these codes; it is sent as 0.
  const std::vector<uint8_t> block = CommandBlock(code, 0);
  uint8_t* reply = nullptr;
  const HResult hr = SimCommand(block.data(), &reply);
  if (Failed(hr) || reply == nullptr) {
    std::free(reply);
    return kFailure;
  }
  // The data pointer sits at byte 4 and is pointer-sized in this build.
  std::memcpy(data, reply + 4, sizeof *data);
  std::free(reply);
  return kSuccess;
}

int CTriggerCommand::GetActiveTable(const uint32_t** table) {
  void* data = nullptr;
  if (FetchPointer(kActiveTableCode, &data) != kSuccess) return kFailure;
  *table = static_cast<const uint32_t*>(data);
  return kSuccess;
}

int CTriggerCommand::GetSourceTable(uint8_t** table) {
  void* data = nullptr;
  if (FetchPointer(kSourceTableCode, &data) != kSuccess) return kFailure;
  *table = static_cast<uint8_t*>(data);
  return kSuccess;
}

int CTriggerCommand::RemoveEventName(int32_t id) {
  EventCommandPort* events = GetEventCommand();
  if (events == nullptr) return kFailure;
  const HResult hr = events->RemoveName(id);
  // A name that does not exist is no failure.
  return (Failed(hr) && hr != automation::kFail) ? kFailure : kSuccess;
}

int CTriggerCommand::SetEventName(int32_t id, const std::string& name,
                                  const std::string* previous) {
  EventCommandPort* events = GetEventCommand();
  if (events == nullptr) return kFailure;
  bool removed = false;
  if (previous != nullptr) {
    const HResult hr = events->RemoveName(id);
    // A name that does not exist is no failure, as in RemoveEventName.
    if (Failed(hr) && hr != automation::kFail) return kFailure;
    removed = !Failed(hr);
  }
  if (Failed(events->AddName(id, name))) {
    // The trigger keeps its old name, so its event must keep it too: a later deletion removes
    // the event name first and fails when there is none.
    if (removed) events->AddName(id, *previous);
    return kFailure;
  }
  return kSuccess;
}

HResult CTriggerCommand::Evaluate(const std::string& expression, int32_t* value) {
  EvaluationPort* evaluation = GetEvaluation();
  if (evaluation == nullptr) return automation::kFail;
  Variant result;
  const HResult hr = evaluation->Evaluate(expression, &result);
  if (Failed(hr)) return hr;
  switch (static_cast<VarType>(result.TypeWord())) {
    case VarType::I1:  // the byte, zero-extended
    case VarType::UI1:
      *value = static_cast<int32_t>(static_cast<uint8_t>(result.Bits()));
      return automation::kOk;
    case VarType::I2:
    case VarType::UI2:
    case VarType::I4:
    case VarType::UI4:
      *value = static_cast<int32_t>(result.Integer());
      return automation::kOk;
    default:
      return automation::kFail;
  }
}

}  // namespace core::bridge
