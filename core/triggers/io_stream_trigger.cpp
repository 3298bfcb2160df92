// The I/O stream trigger: its destination, its four-field definition line and its 20-byte record.
#include "core/triggers/io_stream_trigger.h"

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/line_writer.h"

namespace core::triggers {

CIOStreamTrigger::CIOStreamTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_port") {}

HResult CIOStreamTrigger::PutDestination(int16_t destination) {
  return Store(&destination_, destination);
}

std::string CIOStreamTrigger::GetDefinition() const {
  // "%d,iostream,%s,%d"
  return LineWriter()
      .Number(Id())
      .Text("iostream")
      .Text(Name().c_str())
      .Number(static_cast<int32_t>(destination_))
      .Take();
}

HResult CIOStreamTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as zero or empty; fields after the destination are
  // ignored (and noted), and the keyword is not looked at (the registry chose the kind by it).
  int32_t id = 0;
  std::string_view keyword;
  std::string name;
  std::string_view destination_text;
  ScanDefinition(line, "%d,%[^,],%[^,],%[^,]", {&id, &keyword, &name, &destination_text},
                 {"id", "keyword", "Name", "Destination"});
  // The destination is read as a C number (0x hexadecimal, leading-0 octal, else decimal) so a
  // port may be written in hexadecimal; only its low 16 bits are kept. A text that holds no
  // number gives 0: no destination is refused.
  const automation::NumberRead<int32_t> read = automation::ReadLong(destination_text, 0);
  const auto destination = static_cast<int16_t>(static_cast<uint16_t>(read.value));
  // A port is 16 bits, written signed or unsigned: anything else is not what the user meant.
  const bool partly_read = !destination_text.empty() && read.consumed != destination_text.size();
  if (partly_read || read.value < -32768 || read.value > 65535) {
    NoteField("Destination",
              Quoted(destination_text) + automation::Format(" is read as %d", destination));
  }

  ApplyLineHead(id, name);
  PutDestination(destination);
  return Register();
}

HResult CIOStreamTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;

  automation::ByteWriter record = StartRecord(kAction);
  record.I32(16, destination_);  // bytes 8..15 stay zero
  return Define(record.bytes());
}

}  // namespace core::triggers
