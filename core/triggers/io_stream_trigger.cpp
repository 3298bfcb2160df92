// The I/O stream trigger: its destination, its four-field definition line and its 20-byte record.
#include "core/triggers/io_stream_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

namespace core::triggers {

CIOStreamTrigger::CIOStreamTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_port") {}

HResult CIOStreamTrigger::PutDestination(int16_t destination) {
  return Store(&destination_, destination);
}

std::string CIOStreamTrigger::GetDefinition() const {
  IOStreamLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  line.destination = destination_;
  return line.Write();
}

HResult CIOStreamTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as zero or empty; fields after the destination are
  // ignored (and noted), and the keyword is not looked at (the registry chose the kind by it).
  IOStreamLine fields;
  NoteScan(line, fields.Read(line), IOStreamLine::kFields);
  // No destination is refused; one that is not what the user meant is noted.
  if (!fields.destination_as_written) {
    NoteField("Destination", Quoted(fields.destination_text) +
                                 automation::Format(" is read as %d", fields.destination));
  }

  ApplyLineHead(fields.id, fields.name);
  PutDestination(fields.destination);
  return Register();
}

HResult CIOStreamTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;

  automation::ByteWriter record = StartRecord(kAction);
  record.I32(16, destination_);  // bytes 8..15 stay zero
  return Define(record.bytes());
}

}  // namespace core::triggers
