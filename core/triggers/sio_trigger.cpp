// The SIO trigger: its puts, line and record.
#include "core/triggers/sio_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"
#include "core/triggers/interrupt_trigger.h"

namespace core::triggers {

namespace {

using automation::VarType;

// The record cannot hold a longer name; cutting it would hand the simulator a different name,
// so Register refuses and says why.
constexpr char kLongDestinationMessage[] =
    "Invalid parameter: the SIO destination is longer than 15 characters";

}  // namespace

CSioTrigger::CSioTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

Variant CSioTrigger::GetSource() const { return Variant::Bstr(source_); }

HResult CSioTrigger::PutSource(const Variant& source) {
  const auto bits = static_cast<uint32_t>(source.Bits());
  switch (static_cast<VarType>(source.TypeWord())) {
    case VarType::Bstr:
      return PutSourceText(source.Text());
    case VarType::UI1:
      source_ = automation::Hex8Text(static_cast<uint8_t>(bits));
      break;
    case VarType::UI2:
      source_ = automation::Hex8Text(static_cast<uint16_t>(bits));
      break;
    case VarType::UI4:
      source_ = automation::Hex8Text(bits);
      break;
    default:
      break;
  }
  MarkModified();
  return automation::kOk;
}

HResult CSioTrigger::PutSourceText(const std::string& source) {
  int32_t value = 0;
  if (automation::Failed(Context().Evaluate(source, &value))) return automation::kFail;
  source_ = source;
  MarkModified();
  return automation::kOk;
}

HResult CSioTrigger::PutInterruptSource(const std::string& mode, std::string* field,
                                        const char* name) {
  if (automation::Failed(Context().CheckInterruptSource(mode))) {
    return Refuse(kIllegalInterruptSourceMessage, name);
  }
  *field = mode;
  MarkModified();
  return automation::kOk;
}

HResult CSioTrigger::PutDstMode(const std::string& mode) {
  return PutInterruptSource(mode, &dst_mode_, "DstMode");
}

HResult CSioTrigger::PutSrcMode(const std::string& mode) {
  return PutInterruptSource(mode, &src_mode_, "SrcMode");
}

HResult CSioTrigger::PutDestination(std::string_view destination) {
  return Store(&destination_, destination);
}

std::string CSioTrigger::GetDefinition() const {
  SioLine line;
  line.id = Id();
  line.name = automation::TextUpToNul(Name());
  line.source = automation::TextUpToNul(source_);
  line.dst_mode = automation::TextUpToNul(dst_mode_);
  line.src_mode = automation::TextUpToNul(src_mode_);
  line.destination = automation::TextUpToNul(destination_);
  return line.Write();
}

HResult CSioTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as 0 or empty.
  SioLine fields;
  NoteScan(line, fields.Read(line), SioLine::kFields);
  ApplyLineHead(fields.id, fields.name);
  // Each refusal keeps the old value (and the interrupt sources log theirs); the parse goes on.
  // The put of a VT_BSTR.
  if (automation::Failed(PutSourceText(std::string(fields.source))) && !fields.source.empty()) {
    NoteField("Source", Unevaluable(fields.source));
  }
  PutDstMode(std::string(fields.dst_mode));
  PutSrcMode(std::string(fields.src_mode));
  PutDestination(fields.destination);
  return Register();
}

HResult CSioTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()},
                                       {"DstMode", &dst_mode_},
                                       {"SrcMode", &src_mode_},
                                       {"Source", &source_},
                                       {"Destination", &destination_}}))) {
    return automation::kFail;
  }
  if (destination_.size() > kMaxDestination) return Refuse(kLongDestinationMessage, "Destination");

  int32_t address = 0;
  if (automation::Failed(Context().Evaluate(source_, &address))) {
    return NotRegistered("Source", Unevaluable(source_));
  }
  // A name the table no longer knows leaves its code unresolved; it goes out as -1, the code of
  // an interrupt source number beyond the table.
  int32_t dst_code = -1;
  int32_t src_code = -1;
  Context().ResolveInterruptSource(dst_mode_, &dst_code);
  Context().ResolveInterruptSource(src_mode_, &src_code);

  automation::ByteWriter record = StartRecord(kAction);
  record.U32(8, 0);
  record.U32(12, 0);
  record.I32(16, address);
  record.I32(20, dst_code);
  record.I32(24, src_code);
  record.Text(28, destination_, kMaxDestination);  // byte 43 stays zero: the terminator
  return Define(record.bytes());
}

}  // namespace core::triggers
