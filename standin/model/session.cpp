// The stand-in's working state: opening a project, the call journal and the texts the automation
// surface reports.
#include "standin/model/session.h"

#include <vector>

#include "core/automation/strings.h"
#include "standin/model/records.h"

namespace standin::model {
namespace {

using core::automation::Format;
using core::automation::IsSpace;
using core::automation::ToLowerAscii;

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

bool Session::AcceptsSettingsFile(std::string_view file, std::string_view method) {
  if (file.empty()) return true;
  Note(Format(
      "Manager.%.*s: file \"%.*s\" refused; the host offers the open project's "
      "settings only (an empty file name)",
      static_cast<int>(method.size()), method.data(), static_cast<int>(file.size()), file.data()));
  return false;
}

bool Session::AcceptsTargetCommand(std::string_view name, uint16_t block_type, const void* block) {
  constexpr uint16_t kByRef = 0x4000;
  if (name != "SimCommand") {
    Note("TargetCommand.Command: unknown command \"" + std::string(name) +
         "\"; the host knows \"SimCommand\" only");
    return false;
  }
  if (block_type != kByRef || block == nullptr) {
    Note(
        Format("TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
               "(0x4000) with a pointer; it came as type 0x%04X%s",
               block_type, block_type == kByRef ? " with a null pointer" : ""));
    return false;
  }
  return true;
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
