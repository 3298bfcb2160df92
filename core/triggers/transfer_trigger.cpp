// The transfer trigger: its puts and keyword tables, its 13-field definition line and its
// 836-byte record.
#include "core/triggers/transfer_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"
#include "core/triggers/keyword_table.h"
#include "core/triggers/line_scanner.h"

namespace core::triggers {
namespace {

using automation::Failed;
using automation::kFail;
using automation::kOk;
using automation::VarType;

constexpr KeywordForm kSizeForms[] = {
    {"byte", "8BIT"},   {"word", "16BIT"},    {"long", "32BIT"},
    {"8bit", "8BIT"},   {"16bit", "16BIT"},   {"32bit", "32BIT"},
    {"8bit*", "8BIT*"}, {"16bit*", "16BIT*"}, {"32bit*", "32BIT*"},
};
constexpr KeywordForm kModeForms[] = {
    {"fix", "FIX"}, {"increment", "INCREMENT"}, {"decrement", "DECREMENT"}};

// The codes of the texts the puts store; a starred size is the plain code with bit 7 set. The
// simulator also knows BYTE, WORD, LONG and DOUBLE sizes and the IO, IO2 and IO4 modes, but the
// puts never store those words (a block transfer has no double unit and no port mode), so they
// are not accepted here either: anything else goes to the simulator as 0xFF.
constexpr KeywordCode kSizeCodes[] = {{"8BIT", 0x01},  {"16BIT", 0x02},  {"32BIT", 0x04},
                                      {"8BIT*", 0x81}, {"16BIT*", 0x82}, {"32BIT*", 0x84}};
constexpr KeywordCode kModeCodes[] = {{"FIX", 1}, {"INCREMENT", 2}, {"DECREMENT", 3}};
constexpr uint8_t kUnknownCode = 0xFF;
constexpr uint16_t kMaxModeValue = 31;

HResult PutKeyword(std::optional<std::string_view> stored, std::string* field) {
  if (!stored) return kFail;
  *field = *stored;
  return kOk;
}

}  // namespace

CTransferTrigger::CTransferTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

HResult CTransferTrigger::PutCycle(uint32_t cycle) { return Store(&cycle_, cycle); }

HResult CTransferTrigger::PutWait(uint32_t wait) { return Store(&wait_, wait); }

HResult CTransferTrigger::PutCount(uint32_t count) { return Store(&count_, count); }

HResult CTransferTrigger::PutSize(std::string_view size) {
  if (Failed(PutKeyword(StoredForm(kSizeForms, size), &size_))) return kFail;
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutSrcMode(std::string_view mode) {
  if (Failed(PutKeyword(StoredForm(kModeForms, mode), &src_mode_))) return kFail;
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutDstMode(std::string_view mode) {
  if (Failed(PutKeyword(StoredForm(kModeForms, mode), &dst_mode_))) return kFail;
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutSrcModeValue(int16_t value) {
  if (static_cast<uint16_t>(value) > kMaxModeValue) return kFail;
  src_mode_value_ = value;
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutDstModeValue(int16_t value) {
  if (static_cast<uint16_t>(value) > kMaxModeValue) return kFail;
  dst_mode_value_ = value;
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutSource(const Variant& source) { return PutAddress(source, &source_); }

HResult CTransferTrigger::PutDestination(const Variant& destination) {
  return PutAddress(destination, &destination_);
}

HResult CTransferTrigger::PutAddress(const Variant& address, std::string* stored) {
  switch (static_cast<VarType>(address.TypeWord())) {
    case VarType::Bstr:
      return PutAddressText(address.Text(), stored);
    case VarType::I2:
    case VarType::I4:
    case VarType::UI2:
    case VarType::UI4:
      // Integer() extends each type as it says: I2 by its sign, UI2 with zeros.
      *stored = automation::Hex8Text(static_cast<uint32_t>(address.Integer()));
      break;
    case VarType::I1:
    case VarType::UI1:
      // A byte is an address byte: -1 as VT_I1 is 0x000000ff.
      *stored = automation::Hex8Text(static_cast<uint32_t>(address.Bits() & 0xFFu));
      break;
    default:
      break;  // nothing stored; still a successful put
  }
  MarkModified();
  return kOk;
}

HResult CTransferTrigger::PutAddressText(const std::string& address, std::string* stored) {
  int32_t value = 0;
  if (Failed(Context().Evaluate(address, &value))) return kFail;
  *stored = address;
  MarkModified();
  return kOk;
}

std::string CTransferTrigger::GetDefinition() const {
  TransferLine line;
  line.id = Id();
  line.name = Name();
  line.count = count_;
  line.size = size_;
  line.source = source_;
  line.src_mode = src_mode_;
  line.destination = destination_;
  line.dst_mode = dst_mode_;
  line.cycle = cycle_;
  line.wait = wait_;
  line.src_mode_value = src_mode_value_;
  line.dst_mode_value = dst_mode_value_;
  return line.Write();
}

HResult CTransferTrigger::PutDefinition(const std::string& line) {
  // The numbers go straight into the trigger (a short line leaves the ones it does not supply as
  // they were); the texts go through the puts, whose refusals leave the previous values and are
  // otherwise ignored: Register decides. Texts a short line does not supply read as empty.
  TransferLine fields;
  fields.count = count_;
  fields.cycle = cycle_;
  fields.wait = wait_;
  fields.src_mode_value = src_mode_value_;
  fields.dst_mode_value = dst_mode_value_;
  // The keyword is part of the pattern: the registry accepts "Transfer", but then nothing after
  // the id is read.
  int32_t id = 0;
  std::string_view keyword;
  ScanLine(line, "%d,%[^,]", {&id, &keyword});
  const ScanStop stop = fields.Read(line);
  if (keyword == "transfer") {
    NoteScan(line, stop, TransferLine::kFields);
  } else {
    NoteField("keyword", Quoted(keyword) +
                             " is not written \"transfer\"; the fields after it "
                             "are not read");
  }
  count_ = fields.count;
  cycle_ = fields.cycle;
  wait_ = fields.wait;
  src_mode_value_ = fields.src_mode_value;
  dst_mode_value_ = fields.dst_mode_value;
  const std::string_view size = fields.size;
  const std::string_view src_mode = fields.src_mode;
  const std::string_view dst_mode = fields.dst_mode;
  const std::string source(fields.source);
  const std::string destination(fields.destination);

  // Refusals are noted for the texts the line held; an empty one was noted by the scan. The
  // reason is written only for a refusal: most lines have none, and a project has many lines.
  auto take = [this](HResult result, const char* field, std::string_view text, auto why) {
    if (Failed(result) && !text.empty()) NoteField(field, why());
  };
  auto mode_value = [](int32_t value) {
    return [value] {
      return automation::Format("%d is outside 0..%u", static_cast<int16_t>(value),
                                static_cast<unsigned>(kMaxModeValue));
    };
  };
  ApplyLineHead(fields.id, fields.name);
  take(PutSize(size), "Size", size, [&] { return NotOneOf(size, kSizeForms); });
  PutCount(count_);
  // The puts of VT_BSTRs.
  take(PutAddressText(destination, &destination_), "Destination", destination,
       [&] { return Unevaluable(destination); });
  take(PutDstMode(dst_mode), "DstMode", dst_mode, [&] { return NotOneOf(dst_mode, kModeForms); });
  // A value above 31 read from the line is refused here but is already in place.
  take(PutDstModeValue(static_cast<int16_t>(dst_mode_value_)), "DstModeValue", "-",
       mode_value(dst_mode_value_));
  take(PutAddressText(source, &source_), "Source", source, [&] { return Unevaluable(source); });
  take(PutSrcMode(src_mode), "SrcMode", src_mode, [&] { return NotOneOf(src_mode, kModeForms); });
  take(PutSrcModeValue(static_cast<int16_t>(src_mode_value_)), "SrcModeValue", "-",
       mode_value(src_mode_value_));
  PutCycle(cycle_);
  PutWait(wait_);
  return Register();
}

HResult CTransferTrigger::Register() {
  if (Failed(RequireTexts({{"Name", &Name()},
                           {"Source", &source_},
                           {"SrcMode", &src_mode_},
                           {"Destination", &destination_},
                           {"DstMode", &dst_mode_}}))) {
    return kFail;
  }
  int32_t source = 0;
  int32_t destination = 0;
  if (Failed(Context().Evaluate(source_, &source))) {
    return NotRegistered("Source", Unevaluable(source_));
  }
  if (Failed(Context().Evaluate(destination_, &destination))) {
    return NotRegistered("Destination", Unevaluable(destination_));
  }

  // An empty or unknown Size is not refused: the simulator gets 0xFF and judges.
  automation::ByteWriter record = StartRecord(kAction);
  record.U32(8, cycle_);
  record.U32(12, wait_);
  record.U8(16, CodeOf(kSizeCodes, size_, Match::IgnoreCase, kUnknownCode));
  record.U8(17, CodeOf(kModeCodes, src_mode_, Match::IgnoreCase, kUnknownCode));
  record.U8(18, CodeOf(kModeCodes, dst_mode_, Match::IgnoreCase, kUnknownCode));
  record.U32(20, count_);
  record.I32(24, source);
  record.I32(28, destination);
  record.I32(32, src_mode_value_);
  record.I32(36, dst_mode_value_);
  return Define(record.bytes());
}

}  // namespace core::triggers
