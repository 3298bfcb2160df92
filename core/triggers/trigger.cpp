// The common trigger protocol.
#include "core/triggers/trigger.h"

namespace core::triggers {

CTrigger::CTrigger(std::shared_ptr<TriggerContext> context, std::string name)
    : context_(context ? std::move(context) : std::make_shared<DetachedContext>()),
      name_(std::move(name)) {}

void CTrigger::SetNumber(int32_t number) {
  number_ = number;
  MarkModified();
}

HResult CTrigger::SetNameUnchecked(const std::string& name) {
  name_ = name;
  MarkModified();
  return automation::kOk;
}

HResult CTrigger::PutName(const std::string& name) {
  if (automation::Failed(context_->CheckNameUniqueExcept(name, number_))) {
    return Refuse(NameClashMessage());
  }
  if (context_->SetEventName(Id(), name, false) != 0) return automation::kFail;
  name_ = name;
  MarkModified();
  return automation::kOk;
}

HResult CTrigger::PutActive(VariantBool active) {
  flags_.active = automation::IsVariantTrue(active) ? 1 : 0;
  return automation::kOk;
}

HResult CTrigger::Refuse(const char* message) {
  context_->WriteLog(message);
  return automation::kFail;
}

void CTrigger::ApplyLineHead(int32_t id, const std::string& name) {
  context_->SetEventName(id, name, true);
  SetNumber(NumberOf(id));
  SetNameUnchecked(name);
}

automation::ByteWriter CTrigger::StartRecord(uint16_t action) const {
  automation::ByteWriter record(kRecordSize);
  record.U16(0, 0);
  record.U16(2, 0x0100);
  record.U16(4, static_cast<uint16_t>(Id()));
  record.U16(6, action);
  return record;
}

HResult CTrigger::Define(const std::vector<uint8_t>& record, HResult failure) {
  if (context_->DefineTrigger(Id(), name_, record, flags_.in_simulator == 1) != 0) return failure;
  flags_.in_simulator = 1;
  flags_.registered = 1;
  flags_.modified = 0;
  return automation::kOk;
}

}  // namespace core::triggers
