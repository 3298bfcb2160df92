// The control trigger: its control words, line and record.
#include "core/triggers/control_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

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
  ControlLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  line.action = automation::TextUpToNul(action_);
  line.target = automation::TextUpToNul(target_);
  return line.Write();
}

HResult CControlTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as 0 or empty.
  ControlLine fields;
  NoteScan(line, fields.Read(line), ControlLine::kFields);
  const std::string_view action = fields.action;
  ApplyLineHead(fields.id, fields.name);
  // A word that is no control word leaves the old action (an empty one was noted by the scan).
  if (automation::Failed(PutAction(action)) && !action.empty()) {
    NoteField("Action", Quoted(action) + " is not one of STOP, RESET, RESTART");
  }
  PutTarget(fields.target);
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
