// The file stream trigger: its three-field definition line and its 16-byte record.
#include "core/triggers/file_stream_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

namespace core::triggers {

CFileStreamTrigger::CFileStreamTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

std::string CFileStreamTrigger::GetDefinition() const {
  FileStreamLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  return line.Write();
}

HResult CFileStreamTrigger::PutDefinition(const std::string& line) {
  // A short line gives an empty name (and Register refuses it). The keyword is not looked at and
  // fields after the name are ignored (and noted).
  FileStreamLine fields;
  NoteScan(line, fields.Read(line), FileStreamLine::kFields);

  ApplyLineHead(fields.id, fields.name);
  return Register();
}

HResult CFileStreamTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;
  // Header only; bytes 8..15 are two zero words.
  return Define(StartRecord(kAction).bytes());
}

}  // namespace core::triggers
