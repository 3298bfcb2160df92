// The core's host ports over the opened project.
#include "tools/trigger-check/project_host.h"

#include <algorithm>

#include "core/automation/strings.h"
#include "core/automation/variant.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"

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
// The host starts its own lines in the log with this, as the stand-in does.
constexpr char kNotePrefix[] = "Vireo: ";
// The type a "SimCommand" block comes as: VT_BYREF with a pointer.
constexpr uint16_t kByRef = 0x4000;

}  // namespace

project::Outcome ProjectHost::Open(const std::string& path) {
  project::Project opened;
  const project::Outcome outcome = project::Project::Open(path, &opened);
  if (!outcome.ok()) return outcome;
  std::vector<std::string> warnings;
  project::SymbolTable symbols = opened.Symbols(&warnings);
  records_.SetSources(opened.InterruptSources(symbols, &warnings));
  project_ = std::move(opened);
  symbols_ = std::move(symbols);
  opening_warnings_ = std::move(warnings);
  return outcome;
}

void ProjectHost::Note(const std::string& text) { log_.push_back(kNotePrefix + text); }

KeyCalls* ProjectHost::Current() {
  return current_key_.empty() ? nullptr : &key_calls_[current_key_];
}

// The add-in passes an empty file name, meaning the open project; the host offers no other file.
class ProjectHost::Manager : public ManagerPort {
 public:
  explicit Manager(ProjectHost& host) : host_(host) {}

  HResult ReadProfileInt(const std::string& file, const std::string& section,
                         const std::string& key, int32_t default_value, int32_t* value) override {
    *value = default_value;
    if (!IsOpenProject(file, "ReadProfileInt")) return kInvalidArg;
    *value = host_.project_.ReadProfileInt(section, key, default_value);
    return kOk;
  }
  HResult WriteProfileInt(const std::string& file, const std::string& section,
                          const std::string& key, int32_t value) override {
    if (!IsOpenProject(file, "WriteProfileInt")) return kInvalidArg;
    return Written("WriteProfileInt", host_.project_.WriteProfileInt(section, key, value));
  }
  HResult ReadProfileString(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& default_value,
                            std::string* value) override {
    *value = default_value;
    if (EqualsIgnoreCase(section, project::kTriggerSection)) {
      host_.current_key_ = key;
      host_.read_keys_.insert(key);
    }
    if (!IsOpenProject(file, "ReadProfileString")) return kInvalidArg;
    *value = host_.project_.ReadProfileString(section, key, default_value);
    return kOk;
  }
  HResult WriteProfileString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) override {
    if (!IsOpenProject(file, "WriteProfileString")) return kInvalidArg;
    return Written("WriteProfileString", host_.project_.WriteProfileString(section, key, value));
  }
  HResult MarkProjectModified(int32_t flag) override {
    host_.project_.MarkModified(flag);
    return kOk;
  }

 private:
  bool IsOpenProject(const std::string& file, const char* method) {
    if (file.empty()) return true;
    host_.Note(
        Format("Manager.%s: file \"%s\" refused; the host offers the open project's settings "
               "only (an empty file name)",
               method, file.c_str()));
    return false;
  }
  HResult Written(const char* method, const project::Outcome& outcome) {
    if (!outcome.ok()) host_.Note(std::string("Manager.") + method + ": " + outcome.message);
    return outcome.hr;
  }

  ProjectHost& host_;
};

// The reply block comes back as VT_BYREF, malloc'ed, for the caller to free.
class ProjectHost::TargetCommand : public TargetCommandPort {
 public:
  explicit TargetCommand(ProjectHost& host) : host_(host) {}

  HResult Command(const std::string& name, int32_t, const Variant& in, Variant* reply) override {
    *reply = Variant();
    if (name != core::bridge::kSimCommand) {
      host_.Note("TargetCommand.Command: unknown command \"" + name +
                 "\"; the host knows \"SimCommand\" only");
      return kInvalidArg;
    }
    if (in.TypeWord() != kByRef || in.Pointer() == nullptr) {
      host_.Note(
          Format("TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
                 "(0x4000) with a pointer; it came as type 0x%04X%s",
                 in.TypeWord(), in.TypeWord() == kByRef ? " with a null pointer" : ""));
      return kInvalidArg;
    }
    void* answer = nullptr;
    std::string refusal;
    const HResult hr =
        host_.records_.Command(static_cast<const uint8_t*>(in.Pointer()), &answer, &refusal);
    if (answer != nullptr) *reply = Variant::ByRef(answer);
    KeyCalls* calls = host_.Current();
    if (calls != nullptr && !refusal.empty()) calls->refused_record = refusal;
    return hr;
  }

 private:
  ProjectHost& host_;
};

class ProjectHost::EventCommand : public EventCommandPort {
 public:
  explicit EventCommand(ProjectHost& host) : host_(host) {}

  HResult AddName(int32_t id, const std::string& name) override {
    if (KeyCalls* calls = host_.Current()) {
      calls->named = true;
      calls->id = id;
      calls->name = name;
    }
    return host_.events_.AddName(id, name);
  }
  HResult RemoveName(int32_t id) override { return host_.events_.RemoveName(id); }

 private:
  ProjectHost& host_;
};

class ProjectHost::Evaluation : public EvaluationPort {
 public:
  explicit Evaluation(ProjectHost& host) : host_(host) {}

  HResult Evaluate(const std::string& expression, Variant* result) override {
    const project::Evaluation evaluated = project::Evaluate(expression, host_.symbols_);
    if (evaluated.ok()) {
      std::string problem;
      if (!host_.project_.Answer(evaluated.value, result, &problem)) {
        host_.Note("Evaluation: " + problem);
      }
      return kOk;
    }
    if (KeyCalls* calls = host_.Current()) {
      const std::pair<std::string, std::string> refusal(expression, evaluated.error);
      auto& refused = calls->refused_expressions;
      if (std::find(refused.begin(), refused.end(), refusal) == refused.end()) {
        refused.push_back(refusal);
      }
    }
    return evaluated.hr;
  }

 private:
  ProjectHost& host_;
};

// The trigger window's notice that the trigger set may have changed: there is no window here.
class ProjectHost::MemoryCommand : public MemoryCommandPort {
 public:
  explicit MemoryCommand(ProjectHost&) {}
  HResult TriggersChanged() override { return kOk; }
};

// One service object as GetService hands it out: the log window answers by member name, the
// debugger services by their interfaces.
class ProjectHost::Service : public HostObject {
 public:
  Service(ProjectHost& host, std::string name) : host_(host), name_(std::move(name)) {}

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
    host_.log_.push_back(args[0].Text());
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

  ProjectHost& host_;
  std::string name_;
};

std::unique_ptr<HostObject> ProjectHost::GetService(const std::string& name) {
  // The services the stand-in offers, by name, without regard to case.
  for (const char* known : {core::bridge::kManagerService, core::bridge::kTargetCommandService,
                            core::bridge::kEventCommandService, core::bridge::kMemoryCommandService,
                            core::bridge::kEvaluationService, core::bridge::kLogService,
                            core::bridge::kCpuNameService}) {
    if (EqualsIgnoreCase(name, known)) return std::make_unique<Service>(*this, known);
  }
  Note("GetService: no service \"" + name + "\"");
  return nullptr;
}

}  // namespace trigger_check
