// The row adapter base, the adapter factory and the text helpers the adapters share.
#include "core/rows/trigger_info.h"

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/rows/kind_infos.h"

namespace core::rows {

using triggers::TriggerKind;

TriggerInfo::TriggerInfo(std::shared_ptr<triggers::CTrigger> trigger)
    : trigger_(std::move(trigger)) {}

std::string TriggerInfo::GetNumberText() const { return SignedText(trigger_->Number()); }
std::string TriggerInfo::GetNameText() const { return trigger_->Name(); }
std::string TriggerInfo::GetStatusText() const {
  return std::string(triggers::StatusText(trigger_->Kind(), trigger_->Flags()));
}
std::string TriggerInfo::GetTypeText() const {
  return triggers::InfoOf(trigger_->Kind()).type_text;
}

int TriggerInfo::SetNumber(std::string text) {
  trigger_->SetNumber(ReadNumber(text));
  return 0;
}
int TriggerInfo::SetName(std::string text) { return Accepted(trigger_->PutName(text)); }

void TriggerInfo::SetActive(bool active) { trigger_->PutActive(automation::ToVariantBool(active)); }

// Parsing and registering may reach the trigger window, whose refresh can delete this adapter
// (its purge drops triggers the simulator refused). The local reference keeps the trigger alive
// until its own operation has returned; nothing here touches the adapter afterwards.
HResult TriggerInfo::SetDefinition(const std::string& line) {
  const std::shared_ptr<triggers::CTrigger> trigger = trigger_;
  return trigger->PutDefinition(line);
}
int TriggerInfo::Register() {
  const std::shared_ptr<triggers::CTrigger> trigger = trigger_;
  return Accepted(trigger->Register());
}

std::string TriggerInfo::GetDefinitionText() const { return trigger_->GetDefinition(); }
bool TriggerInfo::IsInSimulator() const {
  return automation::IsVariantTrue(trigger_->GetInSimulator());
}

HResult TriggerInfo::RemoveFromRegistry() {
  if (owner_ == nullptr) return automation::kFail;
  TriggerInfoOwner* const owner = owner_;
  return owner->DeleteTrigger(GetNameText());  // destroys this adapter
}

namespace {

std::unique_ptr<TriggerInfo> MakeKindInfo(std::shared_ptr<triggers::CTrigger> trigger) {
  using std::static_pointer_cast;
  if (!trigger) return nullptr;
  switch (trigger->Kind()) {
    case TriggerKind::Interrupt:
      return std::make_unique<InterruptTriggerInfo>(
          static_pointer_cast<triggers::CInterruptTrigger>(trigger));
    case TriggerKind::IOAccess:
      return std::make_unique<IOAccessTriggerInfo>(
          static_pointer_cast<triggers::CIOAccessTrigger>(trigger));
    case TriggerKind::Transfer:
      return std::make_unique<TransferTriggerInfo>(
          static_pointer_cast<triggers::CTransferTrigger>(trigger));
    case TriggerKind::Stream:
      return std::make_unique<StreamTriggerInfo>(
          static_pointer_cast<triggers::CStreamTrigger>(trigger));
    case TriggerKind::IOStream:
      return std::make_unique<IOStreamTriggerInfo>(
          static_pointer_cast<triggers::CIOStreamTrigger>(trigger));
    case TriggerKind::Connect:
      return std::make_unique<ConnectTriggerInfo>(
          static_pointer_cast<triggers::CConnectTrigger>(trigger));
    case TriggerKind::Message:
      return std::make_unique<MessageTriggerInfo>(
          static_pointer_cast<triggers::CMessageTrigger>(trigger));
    case TriggerKind::Control:
      return std::make_unique<ControlTriggerInfo>(
          static_pointer_cast<triggers::CControlTrigger>(trigger));
    case TriggerKind::Sio:
      return std::make_unique<SioTriggerInfo>(static_pointer_cast<triggers::CSioTrigger>(trigger));
    case TriggerKind::FileStream:
      return std::make_unique<FileStreamTriggerInfo>(
          static_pointer_cast<triggers::CFileStreamTrigger>(trigger));
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<TriggerInfo> MakeTriggerInfo(std::shared_ptr<triggers::CTrigger> trigger,
                                             TriggerInfoOwner* owner) {
  std::unique_ptr<TriggerInfo> info = MakeKindInfo(std::move(trigger));
  if (info) info->owner_ = owner;
  return info;
}

const std::array<ColumnText, kColumnCount>& ListColumns() {
  static const std::array<ColumnText, kColumnCount> columns = {
      &TriggerInfo::GetNumberText,  &TriggerInfo::GetStatusText,      &TriggerInfo::GetNameText,
      &TriggerInfo::GetTypeText,    &TriggerInfo::GetDestinationText, &TriggerInfo::GetSizeText,
      &TriggerInfo::GetDstModeText, &TriggerInfo::GetSourceText,      &TriggerInfo::GetSrcModeText,
      &TriggerInfo::GetCountText,   &TriggerInfo::GetCycleText,       &TriggerInfo::GetWaitText,
      &TriggerInfo::GetMaskText,
  };
  return columns;
}

std::string SignedText(int32_t value) { return automation::DecimalText(value); }
std::string UnsignedText(uint32_t value) { return automation::DecimalText(value); }

int32_t ReadNumber(const std::string& text) { return automation::ReadLong(text, 0).value; }

int Accepted(HResult hr) { return automation::Failed(hr) ? 1 : 0; }

}  // namespace core::rows
