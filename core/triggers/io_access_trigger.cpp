// The I/O access trigger: its puts, its five-field definition line and its 28-byte record.
#include "core/triggers/io_access_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

namespace core::triggers {

CIOAccessTrigger::CIOAccessTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_ioaccess") {}

HResult CIOAccessTrigger::PutCycle(int32_t cycle) { return Store(&cycle_, cycle); }

HResult CIOAccessTrigger::PutWait(int32_t wait) { return Store(&wait_, wait); }

HResult CIOAccessTrigger::PutExtra1(int32_t value) {
  extra_[0] = value;
  return automation::kOk;
}

HResult CIOAccessTrigger::PutExtra2(int32_t value) {
  extra_[1] = value;
  return automation::kOk;
}

HResult CIOAccessTrigger::PutExtra3(int32_t value) {
  extra_[2] = value;
  return automation::kOk;
}

std::string CIOAccessTrigger::GetDefinition() const {
  IOAccessLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  line.cycle = cycle_;
  line.wait = wait_;
  return line.Write();
}

HResult CIOAccessTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as zero or empty. The keyword is not looked at:
  // the registry chose the kind by it.
  IOAccessLine fields;
  NoteScan(line, fields.Read(line), IOAccessLine::kFields);

  ApplyLineHead(fields.id, fields.name);
  PutCycle(fields.cycle);
  PutWait(fields.wait);
  return Register();
}

HResult CIOAccessTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;

  automation::ByteWriter record = StartRecord(kAction);
  record.I32(8, cycle_);
  record.I32(12, wait_);
  record.I32(16, extra_[0]);
  record.I32(20, extra_[1]);
  record.I32(24, extra_[2]);
  const HResult result = Define(record.bytes());
  // The window shows this kind's state only after a refresh, so it is asked for even when the
  // simulator refused the record.
  Context().RefreshTriggerWindow();
  return result;
}

}  // namespace core::triggers
