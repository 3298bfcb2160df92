// The message trigger: message types, line and record.
#include "core/triggers/message_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

namespace core::triggers {

namespace {

using automation::VarType;

}  // namespace

CMessageTrigger::CMessageTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_message") {}

const char* CMessageTrigger::MessageTypeText(int32_t index) {
  static constexpr const char* kTexts[kMessageTypeCount] = {
      "TIME",         "PC",        "ADDRESS",    "DATA",    "TIME,PC",
      "TIME,ADDRESS", "TIME,DATA", "PC,ADDRESS", "PC,DATA", "ADDRESS,DATA"};
  // An index outside the table is stored without complaint; it has no text to show.
  if (index < 0 || index >= kMessageTypeCount) return "";
  return kTexts[index];
}

HResult CMessageTrigger::PutDestination(std::string_view destination) {
  return Store(&destination_, destination);
}

HResult CMessageTrigger::PutCycle(int32_t cycle) { return Store(&cycle_, cycle); }

HResult CMessageTrigger::PutWait(int32_t wait) { return Store(&wait_, wait); }

HResult CMessageTrigger::PutOption(VariantBool option) {
  option_ = automation::IsVariantTrue(option);
  MarkModified();
  return automation::kOk;
}

Variant CMessageTrigger::GetSource() const { return Variant::Bstr(MessageTypeText(source_)); }

HResult CMessageTrigger::PutSource(const Variant& source) {
  const uint64_t bits = source.Bits();
  switch (static_cast<VarType>(source.TypeWord())) {
    case VarType::I2:
    case VarType::Int:
      source_ = static_cast<int16_t>(static_cast<uint16_t>(bits));
      break;
    case VarType::I4:
    case VarType::UI4:
      source_ = static_cast<int32_t>(static_cast<uint32_t>(bits));
      break;
    case VarType::UI2:
      source_ = static_cast<uint16_t>(bits);
      break;
    case VarType::I1:
    case VarType::UI1:
      source_ = static_cast<uint8_t>(bits);
      break;
    case VarType::Bstr:
      source_ = 0;  // a text is not interpreted: it selects the first type
      break;
    default:
      break;
  }
  MarkModified();
  return automation::kOk;
}

std::string CMessageTrigger::GetDefinition() const {
  MessageLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  line.option = option_ ? "true" : "false";
  line.destination = automation::TextUpToNul(destination_);
  line.source = source_;
  line.wait = wait_;
  line.cycle = cycle_;
  return line.Write();
}

HResult CMessageTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as 0 or empty.
  MessageLine fields;
  NoteScan(line, fields.Read(line), MessageLine::kFields);
  const std::string_view option = fields.option;
  const int32_t index = fields.source;
  ApplyLineHead(fields.id, fields.name);
  PutDestination(fields.destination);
  const bool option_true = automation::EqualsIgnoreCase(option, "TRUE");
  if (!option_true && !option.empty() && !automation::EqualsIgnoreCase(option, "FALSE")) {
    NoteField("Option", Quoted(option) + " is neither true nor false; it is read as false");
  }
  PutOption(automation::ToVariantBool(option_true));
  if (MessageTypeText(static_cast<int16_t>(index))[0] == '\0') {
    NoteField("Source",
              automation::Format("%d names no message type (0..%d)", index, kMessageTypeCount - 1));
  }
  PutSource(Variant::Int(static_cast<int32_t>(static_cast<uint32_t>(index) & 0xFFFFu)));
  PutWait(fields.wait);
  PutCycle(fields.cycle);
  return Register();
}

HResult CMessageTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}, {"Destination", &destination_}}))) {
    return automation::kFail;
  }
  const uint32_t message = Context().RegisterMessageName(destination_);

  automation::ByteWriter record = StartRecord(kAction);
  record.I32(8, cycle_);
  record.I32(12, wait_);
  record.U32(16, option_ ? 1 : 0);
  record.I32(20, source_);
  record.U32(24, message);
  return Define(record.bytes(), automation::kFail);
}

}  // namespace core::triggers
