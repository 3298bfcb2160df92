// The stand-in's working state behind its COM objects: the open project with the symbols and
// interrupt sources read from it, the simulator, the event list, the log window, and a journal of
// the calls an add-in made on the host application. The COM side converts and forwards; what the
// host does with a call is decided here.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "project/evaluator.h"
#include "project/event_list.h"
#include "project/project.h"
#include "standin/model/addin_commands.h"
#include "standin/model/log.h"
#include "standin/model/simulator.h"

namespace standin::model {

// Calls the host journals, by what they register: commands (command, images, toolbar button),
// menus (popup menu, menu entry), and everything else (window kinds, view notifications, ...).
enum class CallKind { Command, Menu, Other };

// The first image slot handed to an add-in; the host's own images occupy the slots below it, so
// an add-in that ignores the slot it was given shows up.
inline constexpr int32_t kFirstAddinImage = 40;

// The host starts its own lines in the log window with this, so they stand apart from the lines
// of the add-in.
inline constexpr char kNotePrefix[] = "Vireo: ";

class Session {
 public:
  Session();  // an untitled, empty project
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens the project file and starts afresh: symbols and interrupt sources read from it, the
  // simulator, its journal and the event list emptied. The log window and the call journal stay,
  // as they do in the IDE. Entries the project gets wrong are noted in the log. A file that cannot
  // be read changes nothing.
  project::Outcome OpenProject(const std::string& path);
  project::Outcome SaveProject() { return project_.Save(); }
  project::Outcome SaveProjectAs(const std::string& path) { return project_.SaveAs(path); }

  project::Project& project() { return project_; }
  const project::Project& project() const { return project_; }
  const project::SymbolTable& symbols() const { return symbols_; }
  Simulator& simulator() { return simulator_; }
  const Simulator& simulator() const { return simulator_; }
  project::EventList& events() { return events_; }
  const project::EventList& events() const { return events_; }
  Log& log() { return log_; }
  const Log& log() const { return log_; }
  // What the connected add-in registered for the menu bar and toolbar.
  AddinCommands& addin_commands() { return addin_commands_; }
  const AddinCommands& addin_commands() const { return addin_commands_; }

  // Told after the log window, the add-in's menus and buttons or the open project changed, so
  // that the IDE window can catch up. One listener; an empty function removes it.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  // One line of the host's own in the log window.
  void Note(const std::string& text) { log_.Add(kNotePrefix + text); }

  // ---- The debugger services' members, for the COM objects and the native host alike ----
  // Each call is journalled; what the host refuses is noted in the log.
  //
  // Manager: the open project's settings. The add-in passes an empty file name, meaning the open
  // project; the host offers no other file, and refuses any other name with E_INVALIDARG (the
  // value read is then the default).
  HResult ReadProfileInt(std::string_view file, const std::string& section, const std::string& key,
                         int32_t default_value, int32_t* value);
  HResult WriteProfileInt(std::string_view file, const std::string& section, const std::string& key,
                          int32_t value);
  HResult ReadProfileString(std::string_view file, const std::string& section,
                            const std::string& key, const std::string& default_value,
                            std::string* value);
  HResult WriteProfileString(std::string_view file, const std::string& section,
                             const std::string& key, const std::string& value);
  HResult MarkProjectModified(int32_t flag);
  // TargetCommand: only "SimCommand", its block passed as VT_BYREF (0x4000) with a pointer. When
  // the simulator gives a reply block, the caller owns it (malloc'ed).
  HResult SimCommand(std::string_view name, uint16_t block_type, const void* block, void** reply);
  // EventCommand.
  HResult AddEventName(int32_t id, const std::string& name);
  HResult RemoveEventName(int32_t id);
  // Evaluation: the value in the type [Project] EvaluatorType asks for (see AnswerAs). A failure
  // is E_FAIL, with the evaluator's reason in *error.
  HResult Evaluate(const std::string& expression, core::automation::Variant* answer,
                   std::string* error = nullptr);
  // AddLogString of the log window; GetCPUName of the CPU-name service.
  void AddLogString(const std::string& line);
  std::string GetCpuName();

  // A registration call: in the call journal and the host journal.
  void RecordCall(CallKind kind, const std::string& text);
  // The host journal: every call an add-in made on the host, one line each, in the order they
  // came: services obtained, the Manager's reads and writes, event names, every "SimCommand"
  // block, evaluations, log lines and the registration calls. A line feed inside `text` is
  // written as "\n", so that a call stays one line.
  void Journal(const std::string& text);
  std::string JournalText() const { return journal_.Text(); }
  void ClearJournal() { journal_.Clear(); }
  // One call per line, in the order they came.
  std::string CallsText() const { return calls_.Text(); }
  std::string CommandsText() const { return commands_.Text(); }
  std::string MenusText() const { return menus_.Text(); }
  void ClearCalls();

  // Registration calls the host answers with failure, by member name ("AddCommand,AddMenuItem"),
  // so that an add-in's failure paths can be driven. Names are separated by commas or white
  // space and compare without regard to case.
  void SetRefusedCalls(std::string_view names);
  std::string RefusedCallsText() const;  // comma-separated, sorted
  bool Refuses(std::string_view call) const;

  // AddCommandImages hands out image slots from kFirstAddinImage up.
  int32_t AssignImage() { return next_image_++; }
  bool IsAssignedImage(int32_t image) const {
    return image >= kFirstAddinImage && image < next_image_;
  }

  // The help file HTML Help is handed: the [Project] HelpPath of the project, else the help file
  // of the host when it has one, else the folder the project file is in (empty untitled).
  std::string HelpPath() const;
  void SetHelpFile(std::string path) { help_file_ = std::move(path); }

  // "101 tick" per named event, by id.
  std::string EventListText() const;
  // One decoded line per held trigger record, by id; " [active]" ends the line of an active one.
  std::string DecodedRecordsText() const;
  // "101 interrupt active, defined 1, fired 0" per held trigger, by id.
  std::string SimulatorStateText() const;
  // "key=value" per entry of the section, in file order.
  std::string SectionText(std::string_view section) const;

 private:
  // False, with a note, for a settings file other than the open project.
  bool IsOpenProject(std::string_view file, const char* method);
  bool RefusedWrite(const char* method);

  project::Project project_;
  std::string help_file_;
  project::SymbolTable symbols_;
  Simulator simulator_;
  project::EventList events_;
  Log log_;
  AddinCommands addin_commands_;
  std::function<void()> listener_;
  Log calls_;
  Log commands_;
  Log menus_;
  Log journal_;
  std::set<std::string> refused_;  // lower case
  int32_t next_image_ = kFirstAddinImage;
};

}  // namespace standin::model
