// The interrupt trigger: its puts, its definition line and its 18-byte record.
#include "core/triggers/interrupt_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"

namespace core::triggers {

CInterruptTrigger::CInterruptTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_interrupt") {}

HResult CInterruptTrigger::PutCycle(int32_t cycle) { return Store(&cycle_, cycle); }

HResult CInterruptTrigger::PutWait(int32_t wait) { return Store(&wait_, wait); }

HResult CInterruptTrigger::PutSource(const std::string& source) {
  if (automation::Failed(Context().CheckInterruptSource(source))) {
    return Refuse(kIllegalInterruptSourceMessage, "Source");
  }
  source_ = source;
  MarkModified();
  return automation::kOk;
}

HResult CInterruptTrigger::PutRaise(VariantBool raise) {
  raise_ = automation::IsVariantTrue(raise);
  MarkModified();
  return automation::kOk;
}

std::string CInterruptTrigger::GetDefinition() const {
  InterruptLine line;
  line.id = Id();
  line.keyword = raise_ ? "interrupt" : "clearInterrupt";
  line.name = automation::TextUpToNul(Name());
  line.source = automation::TextUpToNul(source_);
  line.cycle = cycle_;
  line.wait = wait_;
  return line.Write();
}

HResult CInterruptTrigger::PutDefinition(const std::string& line) {
  // Fields a short line does not supply read as zero or empty.
  InterruptLine fields;
  NoteScan(line, fields.Read(line), InterruptLine::kFields);
  const std::string_view keyword = fields.keyword;

  ApplyLineHead(fields.id, fields.name);
  PutSource(std::string(fields.source));  // a refused source is logged and the old one kept
  if (automation::EqualsIgnoreCase(keyword, "interrupt")) {
    PutCycle(fields.cycle);
    PutWait(fields.wait);
    PutRaise(automation::kVariantTrue);
  } else if (automation::EqualsIgnoreCase(keyword, "clearInterrupt")) {
    // Clearing carries no timing: the line's Cycle and Wait are not taken.
    PutRaise(automation::kVariantFalse);
  } else {
    // Number, name and source have been applied already; the trigger is not registered.
    return NotRegistered("keyword", Quoted(keyword) + " is neither interrupt nor clearInterrupt");
  }
  return Register();
}

HResult CInterruptTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}, {"Source", &source_}}))) {
    return automation::kFail;
  }

  // A name the table no longer knows (it changed after the source was accepted) resolves to
  // nothing; the record then carries 0xFFFF, as an out-of-range number does.
  int32_t code = -1;
  Context().ResolveInterruptSource(source_, &code);

  automation::ByteWriter record = StartRecord(raise_ ? kRaiseAction : kClearAction);
  if (raise_) {
    record.I32(8, cycle_);
    record.I32(12, wait_);
  }  // the simulator does not read bytes 8..15 of a clearing record: they stay zero
  record.U16(16, static_cast<uint16_t>(code));
  return Define(record.bytes());
}

}  // namespace core::triggers
