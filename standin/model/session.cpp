// The stand-in's working state: opening a project, the call journal and the texts the automation
// surface reports.
#include "standin/model/session.h"

#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "core/automation/strings.h"
#include "project/records.h"

namespace standin::model {
namespace {

using core::automation::Format;
using core::automation::IsSpace;
using core::automation::kInvalidArg;
using core::automation::kOk;
using core::automation::ToLowerAscii;
using project::ActionName;
using project::DescribeRecord;
using project::Evaluation;
using project::InterruptSource;
using project::kActiveTableCode;
using project::kCommandBlockTag;
using project::kProjectSection;
using project::kSourceTableCode;
using project::Outcome;
using project::Project;
using project::SymbolTable;

// A refusal the host was told to make (RefusedCalls): E_ACCESSDENIED.
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = ToLowerAscii(c);
  return lower;
}

}  // namespace

Session::Session() {
  auto changed = [this] {
    if (listener_) listener_();
  };
  log_.SetListener(changed);
  addin_commands_.SetListener(changed);
}

Outcome Session::OpenProject(const std::string& path) {
  Project opened;
  Outcome outcome = Project::Open(path, &opened);
  if (!outcome.ok()) return outcome;
  std::vector<std::string> warnings;
  SymbolTable symbols = opened.Symbols(&warnings);
  std::vector<InterruptSource> sources = opened.InterruptSources(symbols, &warnings);

  project_ = std::move(opened);
  symbols_ = std::move(symbols);
  simulator_.Clear();
  simulator_.ClearJournal();
  simulator_.SetSources(std::move(sources));
  events_.Clear();
  for (const std::string& warning : warnings) Note(path + ": " + warning);
  if (listener_) listener_();
  return outcome;
}

// ---- The debugger services ----

namespace {

// " = 0x80004005" after a journal line of a call that failed.
std::string Failure(HResult hr) {
  return core::automation::Failed(hr) ? " = " + core::automation::HResultText(hr) : std::string();
}

}  // namespace

// A project that cannot be written, as far as the add-in sees it: told to refuse the write.
bool Session::RefusedWrite(const char* method) {
  if (!Refuses(std::string("Manager.") + method)) return false;
  Note(Format("Manager.%s refused, as the host was told to", method));
  return true;
}

bool Session::IsOpenProject(std::string_view file, const char* method) {
  if (file.empty()) return true;
  Note(
      Format("Manager.%s: file \"%.*s\" refused; the host offers the open project's settings "
             "only (an empty file name)",
             method, static_cast<int>(file.size()), file.data()));
  return false;
}

HResult Session::ReadProfileInt(std::string_view file, const std::string& section,
                                const std::string& key, int32_t default_value, int32_t* value) {
  *value = default_value;
  if (!IsOpenProject(file, "ReadProfileInt")) return kInvalidArg;
  *value = project_.ReadProfileInt(section, key, default_value);
  Journal(Format("Manager.ReadProfileInt(%s, %s, %d) = %d", section.c_str(), key.c_str(),
                 default_value, *value));
  return kOk;
}

HResult Session::WriteProfileInt(std::string_view file, const std::string& section,
                                 const std::string& key, int32_t value) {
  if (!IsOpenProject(file, "WriteProfileInt")) return kInvalidArg;
  Journal(Format("Manager.WriteProfileInt(%s, %s, %d)", section.c_str(), key.c_str(), value));
  if (RefusedWrite("WriteProfileInt")) return kAccessDenied;
  const Outcome outcome = project_.WriteProfileInt(section, key, value);
  if (!outcome.ok()) Note("Manager.WriteProfileInt: " + outcome.message);
  return outcome.hr;
}

HResult Session::ReadProfileString(std::string_view file, const std::string& section,
                                   const std::string& key, const std::string& default_value,
                                   std::string* value) {
  *value = default_value;
  if (!IsOpenProject(file, "ReadProfileString")) return kInvalidArg;
  *value = project_.ReadProfileString(section, key, default_value);
  Journal(Format("Manager.ReadProfileString(%s, %s, \"%s\") = \"%s\"", section.c_str(), key.c_str(),
                 default_value.c_str(), value->c_str()));
  return kOk;
}

HResult Session::WriteProfileString(std::string_view file, const std::string& section,
                                    const std::string& key, const std::string& value) {
  if (!IsOpenProject(file, "WriteProfileString")) return kInvalidArg;
  Journal(Format("Manager.WriteProfileString(%s, %s, \"%s\")", section.c_str(), key.c_str(),
                 value.c_str()));
  if (RefusedWrite("WriteProfileString")) return kAccessDenied;
  const Outcome outcome = project_.WriteProfileString(section, key, value);
  if (!outcome.ok()) Note("Manager.WriteProfileString: " + outcome.message);
  return outcome.hr;
}

HResult Session::MarkProjectModified(int32_t flag) {
  project_.MarkModified(flag);
  RecordCall(CallKind::Other, Format("MarkProjectModified(%d)", flag));
  return kOk;
}

HResult Session::SimCommand(std::string_view name, uint16_t block_type, const void* block,
                            void** reply) {
  constexpr uint16_t kByRef = 0x4000;
  *reply = nullptr;
  if (name != "SimCommand") {
    Note("TargetCommand.Command: unknown command \"" + std::string(name) +
         "\"; the host knows \"SimCommand\" only");
    return kInvalidArg;
  }
  if (block_type != kByRef || block == nullptr) {
    Note(
        Format("TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
               "(0x4000) with a pointer; it came as type 0x%04X%s",
               block_type, block_type == kByRef ? " with a null pointer" : ""));
    return kInvalidArg;
  }
  // The code and, where the block carries one, the trigger id. A record holds the id in its third
  // word, a command block in its second double word (none for the two table requests).
  const auto* bytes = static_cast<const uint8_t*>(block);
  const uint16_t code = core::automation::ReadU16(bytes + 2);
  if (core::automation::ReadU16(bytes) != kCommandBlockTag) {
    Journal(Format("SimCommand(0x%04X, %u)", code,
                   static_cast<unsigned>(core::automation::ReadU16(bytes + 4))));
  } else if (code == kActiveTableCode || code == kSourceTableCode) {
    Journal(Format("SimCommand(0x%04X)", code));
  } else {
    Journal(Format("SimCommand(0x%04X, %d)", code, core::automation::ReadI32(bytes + 4)));
  }
  // Told to refuse this code: a record gets a refusal word, a command block a failure.
  if (Refuses(Format("SimCommand(0x%04X)", code))) {
    Note(Format("SimCommand(0x%04X) refused, as the host was told to", code));
    if (core::automation::ReadU16(bytes) == kCommandBlockTag) return core::automation::kFail;
    *reply = project::NewReplyBlock(kRefusedByRequest, nullptr);
    return *reply == nullptr ? core::automation::kOutOfMemory : core::automation::kOk;
  }
  return simulator_.Command(bytes, reply);
}

HResult Session::AddEventName(int32_t id, const std::string& name) {
  if (Refuses("EventCommand.AddEventName")) {
    Journal(Format("EventCommand.AddEventName(%d, %s) refused", id, name.c_str()));
    return kAccessDenied;
  }
  const HResult hr = events_.AddName(id, name);
  Journal(Format("EventCommand.AddEventName(%d, %s)", id, name.c_str()) + Failure(hr));
  return hr;
}

HResult Session::RemoveEventName(int32_t id) {
  const HResult hr = events_.RemoveName(id);
  Journal(Format("EventCommand.RemoveEventName(%d)", id) + Failure(hr));
  return hr;
}

HResult Session::Evaluate(const std::string& expression, core::automation::Variant* answer,
                          std::string* error) {
  const Evaluation evaluated = project::Evaluate(expression, symbols_);
  if (!evaluated.ok()) {
    Journal("Evaluate(" + expression + ")" + Failure(evaluated.hr));
    if (error != nullptr) *error = evaluated.error;
    return evaluated.hr;
  }
  std::string problem;
  if (!project_.Answer(evaluated.value, answer, &problem)) Note("Evaluation: " + problem);
  Journal("Evaluate(" + expression + ") = " + answer->Describe());
  return kOk;
}

void Session::AddLogString(const std::string& line) {
  Journal("AddLogString(\"" + line + "\")");
  log_.Add(line);
}

std::string Session::GetCpuName() {
  const std::string name = project_.CpuFamily();
  Journal("GetCPUName() = \"" + name + "\"");
  return name;
}

void Session::RecordCall(CallKind kind, const std::string& text) {
  Journal(text);
  calls_.Add(text);
  if (kind == CallKind::Command) commands_.Add(text);
  if (kind == CallKind::Menu) menus_.Add(text);
}

void Session::Journal(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c != '\r') {
      line += c;
    }
  }
  journal_.Add(std::move(line));
}

void Session::ClearCalls() {
  calls_.Clear();
  commands_.Clear();
  menus_.Clear();
}

void Session::SetRefusedCalls(std::string_view names) {
  refused_.clear();
  size_t i = 0;
  while (i < names.size()) {
    while (i < names.size() && (names[i] == ',' || IsSpace(names[i]))) ++i;
    const size_t start = i;
    while (i < names.size() && names[i] != ',' && !IsSpace(names[i])) ++i;
    if (i > start) refused_.insert(Lower(names.substr(start, i - start)));
  }
}

std::string Session::RefusedCallsText() const {
  std::string text;
  for (const std::string& name : refused_) text += (text.empty() ? "" : ",") + name;
  return text;
}

bool Session::Refuses(std::string_view call) const { return refused_.count(Lower(call)) != 0; }

std::string Session::HelpPath() const {
  if (auto configured = project_.settings().Get(kProjectSection, "HelpPath")) return *configured;
  if (!help_file_.empty()) return help_file_;
  const std::string& path = project_.path();
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Session::EventListText() const {
  std::string text;
  for (const auto& [id, name] : events_.List()) text += std::to_string(id) + ' ' + name + '\n';
  return text;
}

std::string Session::DecodedRecordsText() const {
  std::string text;
  for (int32_t id : simulator_.Ids()) {
    const StoredTrigger& trigger = *simulator_.Find(id);
    text += DescribeRecord(trigger.record.data(), trigger.record.size(), &simulator_.sources());
    if (simulator_.IsActive(id)) text += " [active]";
    text += '\n';
  }
  return text;
}

std::string Session::SimulatorStateText() const {
  std::string text;
  for (int32_t id : simulator_.Ids()) {
    const StoredTrigger& trigger = *simulator_.Find(id);
    const char* kind = ActionName(trigger.action);
    text +=
        Format("%d %s %s, defined %u, fired %u\n", id, kind ? kind : "?",
               simulator_.IsActive(id) ? "active" : "inactive", trigger.definitions, trigger.fires);
  }
  return text;
}

std::string Session::SectionText(std::string_view section) const {
  std::string text;
  for (const auto& [key, value] : project_.settings().Entries(section)) {
    text += key + '=' + value + '\n';
  }
  return text;
}

}  // namespace standin::model
