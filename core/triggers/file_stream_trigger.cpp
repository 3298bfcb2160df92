// The file stream trigger: its three-field definition line and its 16-byte record.
#include "core/triggers/file_stream_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/line_writer.h"

namespace core::triggers {

CFileStreamTrigger::CFileStreamTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

std::string CFileStreamTrigger::GetDefinition() const {
  // "%d,filestream,%s"
  return LineWriter().Number(Id()).Text("filestream").Text(Name().c_str()).Take();
}

HResult CFileStreamTrigger::PutDefinition(const std::string& line) {
  // A short line gives an empty name (and Register refuses it). The keyword is not looked at and
  // fields after the name are ignored (and noted).
  int32_t id = 0;
  std::string_view keyword;
  std::string name;
  ScanDefinition(line, "%d,%[^,],%[^,]", {&id, &keyword, &name}, {"id", "keyword", "Name"});

  ApplyLineHead(id, name);
  return Register();
}

HResult CFileStreamTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;
  // Header only; bytes 8..15 are two zero words.
  return Define(StartRecord(kAction).bytes());
}

}  // namespace core::triggers
