// Checking one project: opening, loading through the core, and turning the load's problems into
// diagnostics that point into the file.
#include "tools/trigger-check/checker.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/registry/list_export.h"
#include "core/registry/load_log.h"
#include "core/triggers/line_scanner.h"
#include "project/records.h"

namespace trigger_check {
namespace {

using core::automation::EqualsIgnoreCase;
using core::automation::Format;
using core::registry::FormatLoadMessage;
using core::registry::LineState;
using core::registry::LoadProblem;
using project::kTriggerSection;

constexpr char kMaxNumKey[] = "MaxNum";
constexpr int kLoadKeys = 256;  // "0" to "255"

std::string KeyOf(int index) { return std::to_string(index); }

const char* StateWord(LineState state) {
  switch (state) {
    case LineState::Skipped:
      return "skipped";
    case LineState::NotRead:
      return "not read";
    case LineState::NotRegistered:
      return "not registered";
    case LineState::Loaded:
      break;
  }
  return "";
}

}  // namespace

bool IsLoadKey(const std::string& key) {
  if (key.empty() || key.size() > 3 || (key.size() > 1 && key[0] == '0')) return false;
  if (!std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return std::stoi(key) < kLoadKeys;
}

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      return "note";
  }
  return "";
}

ProjectCheck::ProjectCheck(std::string path)
    : path_(std::move(path)), host_(std::make_shared<ProjectHost>()) {
  access_.SetApplication(host_);
  bridge_ = std::make_unique<core::bridge::CTriggerCommand>(access_);
  registry_ = std::make_unique<core::registry::CTriggerAction>(*bridge_, access_);
  const project::Outcome opened = host_->Open(path_);
  if (!opened.ok()) {
    open_error_ = opened.message;
    return;
  }
  opened_ = true;
  Load();
}

ProjectCheck::~ProjectCheck() {
  registry_.reset();
  bridge_.reset();
}

void ProjectCheck::Load() {
  const size_t first = host_->log().size();
  AddOpeningWarnings();
  std::vector<LoadProblem> problems;
  registry_->LoadTriggers(&problems);
  host_->ForgetKey();
  AddTriggerRows(problems);
  AddLoadProblems(problems, first);
  AddUnreadLines();
  AddUnreadKeys();
  AddEvaluatorNotes();
  std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  for (int index = 0; index < kLoadKeys; ++index) {
    const auto value = host_->project().settings().Get(kTriggerSection, KeyOf(index));
    if (value && !value->empty()) ++lines_;
  }
}

std::vector<std::string> ProjectCheck::LogSince(size_t first) const {
  const auto& entries = host_->log();
  first = std::min(first, entries.size());
  return {entries.begin() + static_cast<std::ptrdiff_t>(first), entries.end()};
}

int ProjectCheck::SectionLine() const {
  const std::vector<int> lines = host_->project().settings().SectionLines(kTriggerSection);
  return lines.empty() ? 0 : lines.front();
}

// What the line says it defines, as far as its head can be read: the id when a kind keyword
// follows it, and the name.
void ProjectCheck::Identify(Diagnostic* d) const {
  if (!IsLoadKey(d->key)) return;
  const auto value = host_->project().settings().Get(kTriggerSection, d->key);
  if (!value) return;
  int32_t id = 0;
  std::string keyword, name;
  const int read = core::triggers::ScanLine(*value, "%d,%[^,],%[^,]", {&id, &keyword, &name});
  if (read >= 2) d->id = id;
  if (read >= 3) d->name = name;
}

int ProjectCheck::LineOfKey(const std::string& key) const {
  const auto& settings = host_->project().settings();
  const auto entries = settings.Entries(kTriggerSection);
  const std::vector<int> lines = settings.EntryLines(kTriggerSection);
  for (size_t i = 0; i < entries.size() && i < lines.size(); ++i) {
    if (EqualsIgnoreCase(entries[i].first, key)) return lines[i];
  }
  return SectionLine();
}

// The symbols and interrupt sources the evaluator and the simulator were given: entries the
// project gets wrong are missing from them, which the load's messages do not show.
void ProjectCheck::AddOpeningWarnings() {
  const project::Project& project = host_->project();
  std::map<std::string, int> repeats;  // "defined before" warnings seen per entry
  for (const std::string& warning : host_->opening_warnings()) {
    // "[Section] key: text"
    Diagnostic d;
    d.severity = Severity::Warning;
    d.message = warning;
    const size_t close = warning.find("] ");
    const size_t colon = warning.find(": ", close);
    if (warning.rfind('[', 0) == 0 && close != std::string::npos && colon != std::string::npos) {
      d.section = warning.substr(1, close - 1);
      d.key = warning.substr(close + 2, colon - close - 2);
      d.message = warning.substr(colon + 2);
      // A repeated entry is the second (third, ...) of its key, not the first.
      int occurrence = 0;
      if (d.message.find("defined before") != std::string::npos) {
        occurrence = ++repeats[d.section + "/" + d.key];
      }
      const auto entries = project.settings().Entries(d.section);
      const std::vector<int> lines = project.settings().EntryLines(d.section);
      for (size_t i = 0; i < entries.size() && i < lines.size(); ++i) {
        if (entries[i].first == d.key && occurrence-- == 0) {
          d.line = lines[i];
          break;
        }
      }
    }
    diagnostics_.push_back(std::move(d));
  }
}

// Which line each trigger came from: the line whose id and name it named its event with, as the
// host saw while the add-in read that key; a trigger whose parse stopped before naming (a refused
// connect keyword) is matched in load order.
void ProjectCheck::AddTriggerRows(const std::vector<LoadProblem>& problems) {
  std::set<std::string> not_loaded = UnreadLines();  // keys whose line made no trigger
  for (const LoadProblem& problem : problems) {
    const LineState state = problem.message.state;
    if (state == LineState::Skipped || state == LineState::NotRead) {
      not_loaded.insert(problem.message.key);
    }
  }
  std::vector<std::string> loaded_keys;
  for (int index = 0; index < kLoadKeys; ++index) {
    const std::string key = KeyOf(index);
    const auto value = host_->project().settings().Get(kTriggerSection, key);
    if (value && !value->empty() && not_loaded.count(key) == 0) loaded_keys.push_back(key);
  }
  std::set<std::string> used;
  std::vector<int32_t> unmatched;
  for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
    const core::rows::TriggerInfo* adapter = registry_->AdapterAt(slot);
    if (adapter == nullptr) continue;
    const auto& trigger = adapter->GetTrigger();
    TriggerRow row;
    row.slot = slot;
    row.id = trigger->Id();
    row.name = trigger->Name();
    row.type = adapter->GetTypeText();
    row.status = adapter->GetStatusText();
    row.registered = trigger->Flags().registered == 1;
    row.definition = adapter->GetDefinitionText();
    for (const std::string& key : loaded_keys) {
      const auto calls = host_->key_calls().find(key);
      if (used.count(key) || calls == host_->key_calls().end() || !calls->second.named ||
          calls->second.id != row.id || calls->second.name != row.name) {
        continue;
      }
      row.key = key;
      used.insert(key);
      break;
    }
    if (row.key.empty()) unmatched.push_back(static_cast<int32_t>(triggers_.size()));
    triggers_.push_back(std::move(row));
  }
  auto next_key = loaded_keys.begin();
  for (int32_t row : unmatched) {
    while (next_key != loaded_keys.end() && used.count(*next_key)) ++next_key;
    if (next_key == loaded_keys.end()) break;
    triggers_[static_cast<size_t>(row)].key = *next_key++;
  }
  for (TriggerRow& row : triggers_) row.line = row.key.empty() ? 0 : LineOfKey(row.key);
}

// The load's problems, and the other lines the host log got while it ran, in the order of the
// log. Each problem wrote one line; a line that is none of theirs is a host note or a message of
// the add-in's own, about no line of the file.
void ProjectCheck::AddLoadProblems(const std::vector<LoadProblem>& problems, size_t first) {
  auto next = problems.begin();
  auto add_problem = [this](const LoadProblem& problem) {
    Diagnostic d;
    d.severity = problem.severity;
    d.section = kTriggerSection;
    d.key = problem.message.key;
    d.id = problem.id;
    d.name = problem.name;
    d.state = StateWord(problem.message.state);
    d.field = problem.message.field;
    d.message = problem.message.text;
    d.log = FormatLoadMessage(problem.message);
    d.line = LineOfKey(d.key);
    diagnostics_.push_back(std::move(d));
  };
  for (std::string& text : LogSince(first)) {
    if (next != problems.end() && text == FormatLoadMessage(next->message)) {
      add_problem(*next++);
      continue;
    }
    Diagnostic d;
    d.severity = Severity::Warning;
    d.message = text;
    d.log = std::move(text);
    diagnostics_.push_back(std::move(d));
  }
  // Problems whose lines the log did not keep.
  for (; next != problems.end(); ++next) add_problem(*next);
}

// Lines the add-in's load never asked for: it stops once it has found as many lines as "MaxNum"
// counts, so lines past the count (often the remains of a longer list, which a save leaves
// behind) are not loaded. Worth knowing, not a fault by itself.
std::set<std::string> ProjectCheck::UnreadLines() const {
  std::set<std::string> unread;
  for (int index = 0; index < kLoadKeys; ++index) {
    const std::string key = KeyOf(index);
    const auto value = host_->project().settings().Get(kTriggerSection, key);
    if (value && !value->empty() && host_->read_keys().count(key) == 0) unread.insert(key);
  }
  return unread;
}

void ProjectCheck::AddUnreadLines() {
  const auto count_text = host_->project().settings().Get(kTriggerSection, kMaxNumKey);
  const int32_t count =
      count_text ? static_cast<int32_t>(core::automation::ReadLong(*count_text, 0).value) : 0;
  for (const std::string& key : UnreadLines()) {
    Diagnostic d;
    d.severity = Severity::Note;
    d.section = kTriggerSection;
    d.key = key;
    d.state = StateWord(LineState::NotRead);
    d.message = count > 0 ? Format("it lies beyond the %d %s \"%s\" counts", count,
                                   count == 1 ? "line" : "lines", kMaxNumKey)
                          : Format("\"%s\" is %d: no line is read", kMaxNumKey, count);
    d.line = LineOfKey(key);
    Identify(&d);
    diagnostics_.push_back(std::move(d));
  }
}

// Keys of the section that the add-in's load never looks at, and a count it cannot use.
void ProjectCheck::AddUnreadKeys() {
  const auto& settings = host_->project().settings();
  const std::vector<int> headers = settings.SectionLines(kTriggerSection);
  if (headers.empty()) {
    diagnostics_.push_back({Severity::Note, 0, "", "", std::nullopt, std::nullopt, "", "",
                            "no [Trigger] section: the project defines no triggers", ""});
    return;
  }
  auto add = [this](int line, const std::string& key, std::string message) {
    diagnostics_.push_back({Severity::Warning, line, kTriggerSection, key, std::nullopt,
                            std::nullopt, "", "", std::move(message), ""});
  };
  for (size_t i = 1; i < headers.size(); ++i) {
    add(headers[i], "",
        Format("a second [Trigger] section: the add-in reads only the one on line %d",
               headers.front()));
  }
  const auto entries = settings.Entries(kTriggerSection);
  const std::vector<int> lines = settings.EntryLines(kTriggerSection);
  std::map<std::string, int> first_line;  // lower-case key
  bool has_count = false;
  bool has_lines = false;
  for (size_t i = 0; i < entries.size() && i < lines.size(); ++i) {
    const auto& [key, value] = entries[i];
    std::string lower = key;
    for (char& c : lower) c = core::automation::ToLowerAscii(c);
    const auto seen = first_line.find(lower);
    if (seen != first_line.end()) {
      add(lines[i], key,
          Format("the key appears again: the add-in reads the one on line %d", seen->second));
      continue;
    }
    first_line[lower] = lines[i];
    if (EqualsIgnoreCase(key, kMaxNumKey)) {
      has_count = true;
      if (core::automation::ReadLong(value, 0).consumed == 0) {
        add(lines[i], key,
            "\"" + value + "\" is not a number: the add-in reads 0 and loads no line");
      }
    } else if (IsLoadKey(key)) {
      has_lines = has_lines || !value.empty();
    } else {
      add(lines[i], key,
          "the add-in never reads this key: it reads \"MaxNum\" and \"0\" to \"255\"");
    }
  }
  if (!has_count && has_lines) {
    add(headers.front(), kMaxNumKey, "missing: the add-in reads 0 and loads no line");
  }
}

// What the evaluator and the simulator said about a line, after the line's last diagnostic.
void ProjectCheck::AddEvaluatorNotes() {
  for (const auto& [key, calls] : host_->key_calls()) {
    std::vector<Diagnostic> notes;
    auto note = [&](std::string message) {
      notes.push_back({Severity::Note, LineOfKey(key), kTriggerSection, key, std::nullopt,
                       std::nullopt, "", "", std::move(message), ""});
      Identify(&notes.back());
    };
    for (const auto& [expression, reason] : calls.refused_expressions) {
      // An empty one is told as "empty" already.
      if (expression.find_first_not_of(" \t") == std::string::npos) continue;
      note("the evaluator cannot read \"" + expression + "\": " + reason);
    }
    if (!calls.refused_record.empty()) note("the simulator: " + calls.refused_record);
    if (notes.empty()) continue;
    auto last = diagnostics_.end();
    for (auto it = diagnostics_.begin(); it != diagnostics_.end(); ++it) {
      if (it->section == kTriggerSection && it->key == key) last = it + 1;
    }
    diagnostics_.insert(last, notes.begin(), notes.end());
  }
}

int ProjectCheck::registered() const {
  return static_cast<int>(std::count_if(triggers_.begin(), triggers_.end(),
                                        [](const TriggerRow& row) { return row.registered; }));
}

int ProjectCheck::Count(Severity severity) const {
  return static_cast<int>(
      std::count_if(diagnostics_.begin(), diagnostics_.end(),
                    [severity](const Diagnostic& d) { return d.severity == severity; }));
}

int ProjectCheck::Status() const {
  if (!opened_) return 2;
  return Count(Severity::Error) + Count(Severity::Warning) > 0 ? 1 : 0;
}

std::string ProjectCheck::ListText() const { return core::registry::TriggerListText(*registry_); }

std::vector<RecordRow> ProjectCheck::Records() const {
  std::vector<RecordRow> rows;
  const RecordKeeper& records = host_->records();
  for (const auto& [id, record] : records.records()) {
    rows.push_back(
        {id, project::DescribeRecord(record.data(), record.size(), &records.sources()), record});
  }
  return rows;
}

std::string ProjectCheck::LogText() const {
  std::string text;
  for (const std::string& line : host_->log()) text += line + '\n';
  return text;
}

bool ProjectCheck::Export(const std::string& file, std::string* error) {
  const size_t first = host_->log().size();
  if (core::automation::Failed(registry_->ExportTriggerList(file))) {
    *error = core::registry::kExportPathRule;
    return false;
  }
  // The export reports a file it could not write in the log only.
  const std::vector<std::string> problems = LogSince(first);
  if (!problems.empty()) {
    *error = problems.front();
    return false;
  }
  return true;
}

}  // namespace trigger_check
