// The ten kinds' row adapters.
#include "core/rows/kind_infos.h"

#include <cstdint>

namespace core::rows {

using automation::Variant;

// ---- Interrupt and I/O access ----

std::string InterruptTriggerInfo::GetTypeText() const {
  clear_interrupt_ = !Typed().Raise();
  const triggers::KindInfo& info = triggers::InfoOf(triggers::TriggerKind::Interrupt);
  return clear_interrupt_ ? info.other_type_text : info.type_text;
}
std::string InterruptTriggerInfo::GetDestinationText() const { return Typed().Source(); }
std::string InterruptTriggerInfo::GetCycleText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Cycle()));
}
std::string InterruptTriggerInfo::GetWaitText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Wait()));
}
int InterruptTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutSource(text));
}
int InterruptTriggerInfo::SetCycle(std::string text) {
  return Accepted(Typed().PutCycle(ReadNumber(text)));
}
int InterruptTriggerInfo::SetWait(std::string text) {
  return Accepted(Typed().PutWait(ReadNumber(text)));
}

std::string IOAccessTriggerInfo::GetCycleText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Cycle()));
}
std::string IOAccessTriggerInfo::GetWaitText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Wait()));
}
int IOAccessTriggerInfo::SetCycle(std::string text) {
  return Accepted(Typed().PutCycle(ReadNumber(text)));
}
int IOAccessTriggerInfo::SetWait(std::string text) {
  return Accepted(Typed().PutWait(ReadNumber(text)));
}

// ---- Transfer ----

std::string TransferTriggerInfo::GetDestinationText() const { return Typed().DestinationText(); }
std::string TransferTriggerInfo::GetSizeText() const { return Typed().Size(); }
std::string TransferTriggerInfo::GetDstModeText() const { return Typed().DstMode(); }
std::string TransferTriggerInfo::GetSourceText() const { return Typed().SourceText(); }
std::string TransferTriggerInfo::GetSrcModeText() const { return Typed().SrcMode(); }
std::string TransferTriggerInfo::GetCountText() const { return UnsignedText(Typed().Count()); }
std::string TransferTriggerInfo::GetCycleText() const { return UnsignedText(Typed().Cycle()); }
std::string TransferTriggerInfo::GetWaitText() const { return UnsignedText(Typed().Wait()); }

int TransferTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutDestination(Variant::Bstr(std::move(text))));
}
int TransferTriggerInfo::SetSize(std::string text) { return Accepted(Typed().PutSize(text)); }
int TransferTriggerInfo::SetDstMode(std::string text) { return Accepted(Typed().PutDstMode(text)); }
int TransferTriggerInfo::SetSource(std::string text) {
  return Accepted(Typed().PutSource(Variant::Bstr(std::move(text))));
}
int TransferTriggerInfo::SetSrcMode(std::string text) { return Accepted(Typed().PutSrcMode(text)); }
int TransferTriggerInfo::SetCount(std::string text) {
  return Accepted(Typed().PutCount(static_cast<uint32_t>(ReadNumber(text))));
}
int TransferTriggerInfo::SetCycle(std::string text) {
  return Accepted(Typed().PutCycle(static_cast<uint32_t>(ReadNumber(text))));
}
int TransferTriggerInfo::SetWait(std::string text) {
  return Accepted(Typed().PutWait(static_cast<uint32_t>(ReadNumber(text))));
}
std::string TransferTriggerInfo::GetDstModeValueText() const {
  return SignedText(Typed().DstModeValue());
}
std::string TransferTriggerInfo::GetSrcModeValueText() const {
  return SignedText(Typed().SrcModeValue());
}
int TransferTriggerInfo::SetDstModeValue(std::string text) {
  return Accepted(Typed().PutDstModeValue(static_cast<int16_t>(ReadNumber(text))));
}
int TransferTriggerInfo::SetSrcModeValue(std::string text) {
  return Accepted(Typed().PutSrcModeValue(static_cast<int16_t>(ReadNumber(text))));
}

// ---- Stream ----

std::string StreamTriggerInfo::GetDestinationText() const { return Typed().DestinationText(); }
std::string StreamTriggerInfo::GetSizeText() const { return Typed().Size(); }
std::string StreamTriggerInfo::GetDstModeText() const { return Typed().RepeatMode(); }
std::string StreamTriggerInfo::GetSourceText() const {
  // Exact and case-sensitive: the data dialog writes these two forms.
  const std::string& kind = Typed().KindText();
  if (kind == "Data") return Typed().DataList();
  if (kind == "Stream") return Typed().StreamSource();
  return "#ERROR";
}
std::string StreamTriggerInfo::GetSrcModeText() const { return Typed().GenerateMode(); }
std::string StreamTriggerInfo::GetMaskText() const { return Typed().MaskText(); }
std::string StreamTriggerInfo::GetCountText() const { return UnsignedText(Typed().Count()); }
std::string StreamTriggerInfo::GetCycleText() const { return UnsignedText(Typed().Cycle()); }
std::string StreamTriggerInfo::GetWaitText() const { return UnsignedText(Typed().Wait()); }

int StreamTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutDestination(Variant::Bstr(std::move(text))));
}
int StreamTriggerInfo::SetSize(std::string text) { return Accepted(Typed().PutSize(text)); }
int StreamTriggerInfo::SetDstMode(std::string text) {
  return Accepted(Typed().PutRepeatMode(text));
}
int StreamTriggerInfo::SetSrcMode(std::string text) {
  return Accepted(Typed().PutGenerateMode(text));
}
int StreamTriggerInfo::SetMask(std::string text) {
  return Accepted(Typed().PutMask(Variant::Bstr(std::move(text))));
}
int StreamTriggerInfo::SetCount(std::string text) {
  return Accepted(Typed().PutCount(static_cast<uint32_t>(ReadNumber(text))));
}
int StreamTriggerInfo::SetCycle(std::string text) {
  return Accepted(Typed().PutCycle(static_cast<uint32_t>(ReadNumber(text))));
}
int StreamTriggerInfo::SetWait(std::string text) {
  return Accepted(Typed().PutWait(static_cast<uint32_t>(ReadNumber(text))));
}
std::string StreamTriggerInfo::GetDataListText() const { return Typed().DataList(); }
std::string StreamTriggerInfo::GetStreamSourceText() const { return Typed().StreamSource(); }
std::string StreamTriggerInfo::GetSourceKindText() const { return Typed().KindText(); }
int StreamTriggerInfo::SetDataList(std::string text) { return Accepted(Typed().PutDataList(text)); }
int StreamTriggerInfo::SetStreamSource(std::string text) {
  return Accepted(Typed().PutStreamSource(text));
}
int StreamTriggerInfo::SetSourceKind(std::string text) { return Accepted(Typed().PutKind(text)); }

// ---- I/O stream ----

std::string IOStreamTriggerInfo::GetDestinationText() const {
  return SignedText(Typed().Destination());
}
int IOStreamTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutDestination(static_cast<int16_t>(ReadNumber(text))));
}

// ---- Connect ----

std::string JoinMembers(const std::vector<std::string>& members) {
  std::string joined;
  for (size_t i = 0; i < members.size(); ++i) {
    if (i > 0) joined += ',';
    joined += members[i];
  }
  return joined;
}

std::vector<std::string> SplitMembers(const std::string& text) {
  std::vector<std::string> members;
  size_t start = 0;
  for (size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
    members.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  if (start < text.size()) members.push_back(text.substr(start));
  return members;
}

// Read from the trigger's names, not through its Members array: the list asks for both
// columns of every connect trigger on every rebuild and export.
std::string ConnectTriggerInfo::GetDestinationText() const {
  return JoinMembers(Typed().Members());
}

std::string ConnectTriggerInfo::GetCountText() const {
  return SignedText(static_cast<int32_t>(Typed().Members().size()));
}

int ConnectTriggerInfo::SetDestination(std::string text) {
  members_ = SplitMembers(text);

  std::vector<Variant> items;
  items.reserve(members_.size());
  for (const std::string& member : members_) items.push_back(Variant::Bstr(member));
  return Accepted(Typed().PutMembers(Variant::Array(std::move(items))));
}

// ---- Message ----

std::string MessageTriggerInfo::GetDestinationText() const { return Typed().Destination(); }
std::string MessageTriggerInfo::GetSourceText() const {
  return triggers::CMessageTrigger::MessageTypeText(Typed().SourceIndex());
}
std::string MessageTriggerInfo::GetCycleText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Cycle()));
}
std::string MessageTriggerInfo::GetWaitText() const {
  return UnsignedText(static_cast<uint32_t>(Typed().Wait()));
}
int MessageTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutDestination(text));
}
int MessageTriggerInfo::SetCycle(std::string text) {
  return Accepted(Typed().PutCycle(ReadNumber(text)));
}
int MessageTriggerInfo::SetWait(std::string text) {
  return Accepted(Typed().PutWait(ReadNumber(text)));
}

// ---- Control ----

std::string ControlTriggerInfo::GetDestinationText() const { return Typed().Target(); }
std::string ControlTriggerInfo::GetSourceText() const { return Typed().Action(); }
int ControlTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutTarget(text));
}
int ControlTriggerInfo::SetSource(std::string text) { return Accepted(Typed().PutAction(text)); }

// ---- SIO ----

std::string SioTriggerInfo::GetDestinationText() const { return Typed().Destination(); }
std::string SioTriggerInfo::GetDstModeText() const { return Typed().DstMode(); }
std::string SioTriggerInfo::GetSourceText() const { return Typed().Source(); }
std::string SioTriggerInfo::GetSrcModeText() const { return Typed().SrcMode(); }
int SioTriggerInfo::SetDestination(std::string text) {
  return Accepted(Typed().PutDestination(text));
}
int SioTriggerInfo::SetDstMode(std::string text) { return Accepted(Typed().PutDstMode(text)); }
int SioTriggerInfo::SetSource(std::string text) {
  return Accepted(Typed().PutSource(Variant::Bstr(std::move(text))));
}
int SioTriggerInfo::SetSrcMode(std::string text) { return Accepted(Typed().PutSrcMode(text)); }

}  // namespace core::rows
