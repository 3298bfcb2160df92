// The control trigger: its control words, line and record.
#include "core/triggers/control_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/line_writer.h"

namespace core::triggers {

CControlTrigger::CControlTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

int32_t CControlTrigger::ControlCode(std::string_view action) {
  static constexpr const char* kWords[] = {"STOP", "RESET", "RESTART"};
  for (int32_t i = 0; i < 3; ++i) {
    if (automation::EqualsIgnoreCase(action, kWords[i])) return i + 1;
  }
  return 0;
}

HResult CControlTrigger::PutAction(std::string_view action) {
  if (ControlCode(action) == 0) return automation::kFail;
  action_ = action;
  MarkModified();
  return automation::kOk;
}

HResult CControlTrigger::PutTarget(std::string_view target) { return Store(&target_, target); }

std::string CControlTrigger::GetDefinition() const {
  // "%d,control,%s,%s,%s"
  return LineWriter()
      .Number(Id())
      .Text("control")
      .Text(Name().c_str())
      .Text(action_.c_str())
      .Text(target_.c_str())
      .Take();
}

HResult CControlTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as 0 or empty.
  int32_t id = 0;
  std::string name;
  std::string_view keyword, action, target;
  ScanDefinition(line, "%d,%[^,],%[^,],%[^,],%[^,]", {&id, &keyword, &name, &action, &target},
                 {"id", "keyword", "Name", "Action", "Target"});
  ApplyLineHead(id, name);
  // A word that is no control word leaves the old action (an empty one was noted by the scan).
  if (automation::Failed(PutAction(action)) && !action.empty()) {
    NoteField("Action", Quoted(action) + " is not one of STOP, RESET, RESTART");
  }
  PutTarget(target);
  return Register();
}

HResult CControlTrigger::Register() {
  if (automation::Failed(
          RequireTexts({{"Name", &Name()}, {"Action", &action_}, {"Target", &target_}}))) {
    return automation::kFail;
  }
  const int32_t target_number = Context().FindNumberByName(target_);
  if (target_number < 0) return NotRegistered("Target", "no trigger is named " + Quoted(target_));

  automation::ByteWriter record = StartRecord(kAction);
  record.U32(8, 0);
  record.U32(12, 0);
  record.I32(16, IdOf(target_number));
  record.I32(20, ControlCode(action_));
  return Define(record.bytes());
}

}  // namespace core::triggers
