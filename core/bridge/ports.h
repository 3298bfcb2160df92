// The host as the add-in sees it: abstract ports for the host application and each debugger
// service it uses. win/host implements them on the host's COM interfaces; tests fake them.
// Destroying a port releases the host object behind it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/automation/hresult.h"
#include "core/automation/variant.h"

namespace core::bridge {

using automation::HResult;
using automation::Variant;

// Project settings and the project's modified mark ("Marlin.Manager").
class ManagerPort {
 public:
  virtual ~ManagerPort() = default;
  virtual HResult ReadProfileInt(const std::string& file, const std::string& section,
                                 const std::string& key, int32_t default_value, int32_t* value) = 0;
  virtual HResult WriteProfileInt(const std::string& file, const std::string& section,
                                  const std::string& key, int32_t value) = 0;
  virtual HResult ReadProfileString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& default_value,
                                    std::string* value) = 0;
  virtual HResult WriteProfileString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& value) = 0;
  virtual HResult MarkProjectModified(int32_t flag) = 0;
};

// The simulator's command entry ("Marlin.TargetCommand"). `in` is a VT_BYREF value pointing at a
// command block or trigger record; `reply` receives a VARIANT whose pointer field, when set,
// points at a reply block allocated with malloc, which the caller frees.
class TargetCommandPort {
 public:
  virtual ~TargetCommandPort() = default;
  virtual HResult Command(const std::string& name, int32_t arg, const Variant& in,
                          Variant* reply) = 0;
};

// The debugger's event list ("Marlin.EventCommand").
class EventCommandPort {
 public:
  virtual ~EventCommandPort() = default;
  virtual HResult AddName(int32_t id, const std::string& name) = 0;
  virtual HResult RemoveName(int32_t id) = 0;
};

// The expression evaluator ("Quillon.Evaluation").
class EvaluationPort {
 public:
  virtual ~EvaluationPort() = default;
  virtual HResult Evaluate(const std::string& expression, Variant* result) = 0;
};

// The debugger's memory commands while it runs the target ("Marlin.MemoryCommand"): the trigger
// window tells it when the trigger set may have changed.
class MemoryCommandPort {
 public:
  virtual ~MemoryCommandPort() = default;
  virtual HResult TriggersChanged() = 0;
};
// A service the add-in only holds ("Quillon.Omf").
class ObjectFilePort {
 public:
  virtual ~ObjectFilePort() = default;
};

// An automation object handed out by the host: reached by member name (the log and CPU-name
// services) or asked for a debugger service's own interface (null when it lacks it).
class HostObject {
 public:
  virtual ~HostObject() = default;
  virtual HResult GetIDsOfNames(const std::string& name, uint32_t lcid, int32_t* dispid) = 0;
  virtual HResult Invoke(int32_t dispid, uint32_t lcid, uint16_t flags,
                         const std::vector<Variant>& args, Variant* result) = 0;
  virtual std::unique_ptr<ManagerPort> QueryManager() { return nullptr; }
  virtual std::unique_ptr<TargetCommandPort> QueryTargetCommand() { return nullptr; }
  virtual std::unique_ptr<EventCommandPort> QueryEventCommand() { return nullptr; }
  virtual std::unique_ptr<EvaluationPort> QueryEvaluation() { return nullptr; }
  virtual std::unique_ptr<MemoryCommandPort> QueryMemoryCommand() { return nullptr; }
  virtual std::unique_ptr<ObjectFilePort> QueryObjectFile() { return nullptr; }
};

// The host application's automation object.
class HostApplication {
 public:
  virtual ~HostApplication() = default;
  // The member with DISPID 39 read as a property with the service name: the service object, or
  // null when the call fails or the host has no such service.
  virtual std::unique_ptr<HostObject> GetService(const std::string& name) = 0;
};

// IDispatch constants the ports carry.
inline constexpr uint32_t kLocaleSystemDefault = 0x0800;
inline constexpr uint16_t kDispatchMethod = 1;
inline constexpr uint16_t kDispatchPropertyGet = 2;

}  // namespace core::bridge
