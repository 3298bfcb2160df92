// The core's host ports over the stand-in's model.
#include "tools/trigger-check/model_host.h"

#include <algorithm>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "core/bridge/host_access.h"
#include "project/evaluator.h"
#include "project/project.h"
#include "project/records.h"

namespace trigger_check {

using core::automation::EqualsIgnoreCase;
using core::automation::Format;
using core::automation::HResult;
using core::automation::kInvalidArg;
using core::automation::kOk;
using core::automation::Variant;
using core::bridge::EvaluationPort;
using core::bridge::EventCommandPort;
using core::bridge::HostObject;
using core::bridge::ManagerPort;
using core::bridge::MemoryCommandPort;
using core::bridge::TargetCommandPort;

namespace {

// The log window's one member, by the DISPID the stand-in gives it.
constexpr int32_t kAddLogString = 1;

}  // namespace

// Each service forwards to the session, which decides what the host does (as the stand-in's COM
// services do); the host here only notes which key of the add-in's section a call is about.

class ModelHost::Manager : public ManagerPort {
 public:
  explicit Manager(ModelHost& host) : host_(host) {}

  HResult ReadProfileInt(const std::string& file, const std::string& section,
                         const std::string& key, int32_t default_value, int32_t* value) override {
    return session().ReadProfileInt(file, section, key, default_value, value);
  }
  HResult WriteProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, int32_t value) override {
    return session().WriteProfileInt(file, section, key, value);
  }
  HResult ReadProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& default_value,
                            std::string* value) override {
    if (EqualsIgnoreCase(section, project::kTriggerSection)) {
      host_.current_key_ = key;
      host_.read_keys_.insert(key);
    }
    return session().ReadProfileString(file, section, key, default_value, value);
  }
  HResult WriteProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    return session().WriteProfileString(file, section, key, value);
  }
  HResult MarkProjectModified(int32_t flag) override { return session().MarkProjectModified(flag); }

 private:
  standin::model::Session& session() { return host_.session_; }
  ModelHost& host_;
};

// The reply block comes back as VT_BYREF, malloc'ed, for the caller to free.
class ModelHost::TargetCommand : public TargetCommandPort {
 public:
  explicit TargetCommand(ModelHost& host) : host_(host) {}

  HResult Command(const std::string& name, int32_t, const Variant& in, Variant* reply) override {
    *reply = Variant();
    void* answer = nullptr;
    const HResult hr = host_.session_.SimCommand(name, in.TypeWord(), in.Pointer(), &answer);
    if (answer == nullptr) return hr;
    *reply = Variant::ByRef(answer);
    // A refused record answers with a non-zero word at offset 4; the simulator's journal says
    // why.
    const auto* block = static_cast<const uint8_t*>(in.Pointer());
    const standin::model::Log& journal = host_.session_.simulator().journal();
    KeyCalls* calls = host_.Current();
    if (calls != nullptr && core::automation::ReadU16(block) != project::kCommandBlockTag &&
        core::automation::ReadU32(static_cast<const uint8_t*>(answer) + 4) != 0 &&
        !journal.entries().empty()) {
      calls->refused_record = journal.entries().back();
    }
    return hr;
  }

 private:
  ModelHost& host_;
};

class ModelHost::EventCommand : public EventCommandPort {
 public:
  explicit EventCommand(ModelHost& host) : host_(host) {}

  HResult AddName(int32_t id, const std::string& name) override {
    if (KeyCalls* calls = host_.Current()) {
      calls->named = true;
      calls->id = id;
      calls->name = name;
    }
    return host_.session_.AddEventName(id, name);
  }
  HResult RemoveName(int32_t id) override { return host_.session_.RemoveEventName(id); }

 private:
  ModelHost& host_;
};

class ModelHost::Evaluation : public EvaluationPort {
 public:
  explicit Evaluation(ModelHost& host) : host_(host) {}

  HResult Evaluate(const std::string& expression, Variant* result) override {
    std::string error;
    const HResult hr = host_.session_.Evaluate(expression, result, &error);
    KeyCalls* calls = host_.Current();
    if (core::automation::Failed(hr) && calls != nullptr) {
      const std::pair<std::string, std::string> refusal(expression, error);
      auto& refused = calls->refused_expressions;
      if (std::find(refused.begin(), refused.end(), refusal) == refused.end()) {
        refused.push_back(refusal);
      }
    }
    return hr;
  }

 private:
  ModelHost& host_;
};

// The trigger window's notice that the trigger set may have changed, recorded as the stand-in's
// COM service records it.
class ModelHost::MemoryCommand : public MemoryCommandPort {
 public:
  explicit MemoryCommand(ModelHost& host) : host_(host) {}

  HResult TriggersChanged() override {
    host_.session_.RecordCall(standin::model::CallKind::Other, "TriggersChanged()");
    return kOk;
  }

 private:
  ModelHost& host_;
};

// One service object as GetService hands it out: the log window answers by member name, the
// debugger services by their interfaces.
class ModelHost::Service : public HostObject {
 public:
  Service(ModelHost& host, std::string name) : host_(host), name_(std::move(name)) {}

  HResult GetIDsOfNames(const std::string& member, uint32_t, int32_t* dispid) override {
    if (!Is(core::bridge::kLogService) || !EqualsIgnoreCase(member, "AddLogString")) {
      return core::automation::kDispUnknownName;
    }
    *dispid = kAddLogString;
    return kOk;
  }
  HResult Invoke(int32_t dispid, uint32_t, uint16_t, const std::vector<Variant>& args,
                 Variant*) override {
    if (!Is(core::bridge::kLogService) || dispid != kAddLogString) {
      return core::automation::kDispMemberNotFound;
    }
    if (args.size() != 1) return core::automation::kDispBadParamCount;
    if (!args[0].Is(core::automation::VarType::Bstr)) return core::automation::kDispTypeMismatch;
    host_.session_.AddLogString(args[0].Text());
    return kOk;
  }
  std::unique_ptr<ManagerPort> QueryManager() override {
    return Query<Manager>(core::bridge::kManagerService);
  }
  std::unique_ptr<TargetCommandPort> QueryTargetCommand() override {
    return Query<TargetCommand>(core::bridge::kTargetCommandService);
  }
  std::unique_ptr<EventCommandPort> QueryEventCommand() override {
    return Query<EventCommand>(core::bridge::kEventCommandService);
  }
  std::unique_ptr<EvaluationPort> QueryEvaluation() override {
    return Query<Evaluation>(core::bridge::kEvaluationService);
  }
  std::unique_ptr<MemoryCommandPort> QueryMemoryCommand() override {
    return Query<MemoryCommand>(core::bridge::kMemoryCommandService);
  }

 private:
  bool Is(const char* service) const { return EqualsIgnoreCase(name_, service); }
  template <typename Port>
  std::unique_ptr<Port> Query(const char* service) {
    return Is(service) ? std::make_unique<Port>(host_) : nullptr;
  }

  ModelHost& host_;
  std::string name_;
};

KeyCalls* ModelHost::Current() {
  return current_key_.empty() ? nullptr : &key_calls_[current_key_];
}

std::unique_ptr<HostObject> ModelHost::GetService(const std::string& name) {
  // The services the stand-in offers, by name, without regard to case.
  for (const char* known : {core::bridge::kManagerService, core::bridge::kTargetCommandService,
                            core::bridge::kEventCommandService, core::bridge::kMemoryCommandService,
                            core::bridge::kEvaluationService, core::bridge::kLogService,
                            core::bridge::kCpuNameService}) {
    if (EqualsIgnoreCase(name, known)) return std::make_unique<Service>(*this, known);
  }
  session_.Note("GetService: no service \"" + name + "\"");
  return nullptr;
}

}  // namespace trigger_check
