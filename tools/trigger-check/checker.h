// One project checked as the add-in would load it: ProjectHost opens the file, the registry of
// the core loads the [Trigger] section through it (the add-in's own load path), and the problems
// the load reports become diagnostics, each pointing at the line of the file it is about. The
// checker adds what the load cannot see: keys the add-in never reads, and what the evaluator and
// the simulator said about a line.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/load_log.h"
#include "core/registry/trigger_action.h"
#include "tools/trigger-check/project_host.h"

namespace trigger_check {

using Severity = core::registry::Severity;
const char* SeverityName(Severity severity);  // "error", "warning", "note"
// A key the add-in's load reads: "0" to "255" exactly as "%i" writes them.
bool IsLoadKey(const std::string& key);

struct Diagnostic {
  Severity severity = Severity::Error;
  int line = 0;               // 1-based line of the project file; 0 for the file as a whole
  std::string section;        // "Trigger", "Symbols", ...; empty for the file as a whole
  std::string key;            // the entry's key ("3", "MaxNum"); empty for a section or the file
  std::optional<int32_t> id;  // the trigger the line says it defines, as far as it can be read
  std::optional<std::string> name;
  std::string state;    // "skipped", "not read", "not registered"; empty when loaded
  std::string field;    // "Source", "Cycle", ...; empty for the line as a whole
  std::string message;  // the reason
  std::string log;      // the host-log line it comes from; empty for the checker's own
};

// A trigger the load made, with the line it came from.
struct TriggerRow {
  std::string key;
  int line = 0;
  int32_t slot = 0;
  int32_t id = 0;
  std::string name;
  std::string type;  // the list's type text: "Interrupt", "I/O Stream", ...
  std::string status;
  bool registered = false;
  std::string definition;  // the line as the trigger renders it now
};

// A trigger record the simulator holds.
struct RecordRow {
  int32_t id = 0;
  std::string decoded;  // the simulator's own reading of it
  std::vector<uint8_t> bytes;
};

struct FixOutcome {
  bool ok = true;        // false: the file could not be written (error says why)
  bool written = false;  // false when the section was already as a save writes it
  std::string backup;    // the copy of the file as it was, when written
  int32_t triggers = 0;  // lines written
  // What the save does not keep as the user wrote it (the backup has it): the keys of lines that
  // made no trigger, which are dropped, and of triggers the simulator does not hold, whose lines
  // are written as the trigger holds them, without what the add-in did not take.
  std::vector<std::string> dropped;
  std::vector<std::string> rewritten;
  std::vector<std::string> left;  // keys of an earlier, longer list the save leaves behind
  std::vector<std::string> log;   // what the save wrote to the host log
  std::string error;
};

class ProjectCheck {
 public:
  // Opens the project and loads its triggers. A file that cannot be read leaves opened() false.
  explicit ProjectCheck(std::string path);
  ~ProjectCheck();
  ProjectCheck(const ProjectCheck&) = delete;
  ProjectCheck& operator=(const ProjectCheck&) = delete;

  const std::string& path() const { return path_; }
  bool opened() const { return opened_; }
  const std::string& open_error() const { return open_error_; }

  // In file order; the notes that explain a diagnostic follow it.
  const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }
  const std::vector<TriggerRow>& triggers() const { return triggers_; }
  int lines() const { return lines_; }  // non-empty values under the keys the add-in reads
  int registered() const;
  int Count(Severity severity) const;
  // 0: every line loaded and registered, nothing to remark; 1: problems; 2: not readable.
  int Status() const;

  // The trigger list as the add-in writes it to its log and its export.
  std::string ListText() const;
  std::vector<RecordRow> Records() const;
  // The add-in's export of the list. False with a reason for a path the export refuses (not
  // ".txt") or a file it could not write.
  bool Export(const std::string& file, std::string* error);
  // Saves the triggers back as the add-in's save does, after copying the file to a backup; the
  // file is left alone when the save would not change it.
  FixOutcome Fix();

  core::registry::CTriggerAction& registry() { return *registry_; }
  const core::registry::CTriggerAction& registry() const { return *registry_; }
  // The host log, every line followed by a line feed.
  std::string LogText() const;

 private:
  void Load();
  void AddOpeningWarnings();
  void AddTriggerRows(const std::vector<core::registry::LoadProblem>& problems);
  void AddLoadProblems(const std::vector<core::registry::LoadProblem>& problems,
                       size_t first_log_entry);
  std::set<std::string> UnreadLines() const;
  void AddUnreadLines();
  void AddUnreadKeys();
  void AddEvaluatorNotes();
  // Log entries the add-in wrote since `first`, and forgets them.
  std::vector<std::string> LogSince(size_t first) const;
  int LineOfKey(const std::string& key) const;
  void Identify(Diagnostic* d) const;
  int SectionLine() const;

  std::string path_;
  bool opened_ = false;
  std::string open_error_;
  std::shared_ptr<ProjectHost> host_;
  core::bridge::HostAccess access_;
  std::unique_ptr<core::bridge::CTriggerCommand> bridge_;
  std::unique_ptr<core::registry::CTriggerAction> registry_;
  std::vector<Diagnostic> diagnostics_;
  std::vector<TriggerRow> triggers_;
  int lines_ = 0;
};

}  // namespace trigger_check
