// The stream trigger: its puts and keyword tables, its two definition lines and its 836-byte
// record with the four pattern codes.
#include "core/triggers/stream_trigger.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"
#include "core/triggers/generate_data.h"
#include "core/triggers/keyword_table.h"

namespace core::triggers {
namespace {

using automation::EqualsIgnoreCase;
using automation::Failed;
using automation::kFail;
using automation::kOk;
using automation::VarType;

constexpr KeywordForm kSizeForms[] = {
    {"byte", "8BIT"},   {"word", "16BIT"},  {"long", "32BIT"},    {"8bit", "8BIT"},
    {"16bit", "16BIT"}, {"32bit", "32BIT"}, {"double", "DOUBLE"},
};
constexpr KeywordForm kRepeatForms[] = {
    {"single", "SINGLE"}, {"repeat", "REPEAT"}, {"const", "CONST"}};
constexpr KeywordForm kGenerateForms[] = {
    {"default", "DEFAULT"}, {"random", "RANDOM"}, {"random2", "RANDOM2"}};

// Looked up with the exact stored text: the puts store upper-case, and a text a put refused
// while a line was read (it stays as read) gives 0.
constexpr KeywordCode kSizeCodes[] = {{"BYTE", 1},  {"WORD", 2},  {"LONG", 4},  {"8BIT", 1},
                                      {"16BIT", 2}, {"32BIT", 4}, {"DOUBLE", 8}};
constexpr KeywordCode kRepeatCodes[] = {{"SINGLE", 2}, {"REPEAT", 3}, {"CONST", 1}};
constexpr uint8_t kDoubleSizeCode = 8;

std::string AddressText(uint32_t value) { return automation::Hex8Text(value); }

bool IsUnsignedInteger(const Variant& value) {
  return value.Is(VarType::UI1) || value.Is(VarType::UI2) || value.Is(VarType::UI4);
}

}  // namespace

CStreamTrigger::CStreamTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), "trg_stream") {}

bool CStreamTrigger::IsData() const { return EqualsIgnoreCase(kind_, "data"); }
bool CStreamTrigger::IsStream() const { return EqualsIgnoreCase(kind_, "stream"); }

HResult CStreamTrigger::PutCycle(uint32_t cycle) { return Store(&cycle_, cycle); }

HResult CStreamTrigger::PutWait(uint32_t wait) { return Store(&wait_, wait); }

HResult CStreamTrigger::PutCount(uint32_t count) { return Store(&count_, count); }

HResult CStreamTrigger::PutDestination(const Variant& destination) {
  if (destination.Is(VarType::Bstr)) return PutDestinationText(destination.Text());
  if (IsUnsignedInteger(destination)) {
    destination_ = AddressText(static_cast<uint32_t>(destination.Integer()));
  }
  // Signed integers and every other type store nothing here (unlike the transfer trigger).
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutDestinationText(const std::string& destination) {
  int32_t value = 0;
  if (Failed(Context().Evaluate(destination, &value))) return kFail;
  destination_ = destination;
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutMask(const Variant& mask) {
  if (mask.Is(VarType::Bstr)) return PutMaskText(mask.Text());
  if (IsUnsignedInteger(mask)) mask_ = AddressText(static_cast<uint32_t>(mask.Integer()));
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutMaskText(const std::string& mask) {
  int32_t value = 0;
  if (Failed(Context().Evaluate(mask, &value))) return kFail;
  // The evaluator only vouches for the text; what is kept is the text's own leading number,
  // so a mask stays a plain numeral in the line and in the list. For a numeral the two agree.
  // When they differ (a symbol, an expression) the kept number is not what the user meant,
  // so the log says which number the simulator will get.
  const uint32_t leading = automation::ReadUnsigned(mask).value;
  if (leading != static_cast<uint32_t>(value)) {
    Context().WriteFieldLog(
        "Mask",
        automation::Format("Mask \"%s\" is kept as its leading number 0x%08x, not its value 0x%08x",
                           mask.c_str(), leading, static_cast<uint32_t>(value)));
  }
  mask_ = AddressText(leading);
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutSize(std::string_view size) {
  const std::optional<std::string_view> stored = StoredForm(kSizeForms, size);
  if (!stored) return kFail;
  size_ = *stored;
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutRepeatMode(std::string_view mode) {
  const std::optional<std::string_view> stored = StoredForm(kRepeatForms, mode);
  if (!stored) return kFail;
  repeat_mode_ = *stored;
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutGenerateMode(std::string_view mode) {
  const std::optional<std::string_view> stored = StoredForm(kGenerateForms, mode);
  if (!stored) return kFail;
  generate_mode_ = *stored;
  MarkModified();
  return kOk;
}

HResult CStreamTrigger::PutDataList(const std::string& list) { return Store(&data_list_, list); }

HResult CStreamTrigger::PutStreamSource(const std::string& source) {
  return Store(&stream_source_, source);
}

HResult CStreamTrigger::PutKind(const std::string& kind) { return Store(&kind_, kind); }

std::string CStreamTrigger::GetDefinition() const {
  StreamLine line;
  line.id = Id();
  line.kind = kind_;
  line.name = Name();
  line.destination = destination_;
  line.size = size_;
  line.repeat_mode = repeat_mode_;
  line.generate_mode = generate_mode_;
  line.data_list = data_list_;
  line.stream_source = stream_source_;
  line.count = count_;
  line.cycle = cycle_;
  line.wait = wait_;
  line.mask = mask_;
  return line.Write();
}

HResult CStreamTrigger::PutDefinition(const std::string& line) {
  // Every field goes straight into the trigger first; the puts then run over the stored values,
  // so a keyword a put refuses stays as read and one it accepts is normalised.
  StreamLine fields;
  StreamLine::Notes notes;
  fields.Read(line, &notes);
  kind_ = fields.kind;
  destination_ = fields.destination;
  size_ = fields.size;
  const bool data = fields.IsData();
  const bool stream = fields.IsStream();
  if (data) {
    repeat_mode_ = fields.repeat_mode;
    generate_mode_ = fields.generate_mode;
    data_list_ = fields.data_list;
  } else if (stream) {
    repeat_mode_ = fields.repeat_mode;
    stream_source_ = fields.stream_source;
    count_ = fields.count;
  }
  if (data || stream) {
    cycle_ = fields.cycle;
    wait_ = fields.wait;
    mask_ = fields.mask;
  }
  for (const auto& [field, why] : notes) NoteField(field, why);

  ApplyLineHead(fields.id, fields.name);
  PutDestinationText(destination_);  // the put of a VT_BSTR
  // A keyword a put refuses stays as read and goes to the simulator as code 0; Register does not
  // judge it, so it is noted here. Addresses stay as read too, and Register judges them.
  // (An empty one was noted by the cursor or is left to Register.)
  // The reason is written only for a refusal: most lines have none, and a project has many.
  auto keyword = [this](HResult result, const char* field, const std::string& text, auto why) {
    if (Failed(result) && !text.empty()) NoteField(field, why() + "; the record carries 0 for it");
  };
  keyword(PutSize(size_), "Size", size_, [this] { return NotOneOf(size_, kSizeForms); });
  keyword(PutRepeatMode(repeat_mode_), "RepeatMode", repeat_mode_,
          [this] { return NotOneOf(repeat_mode_, kRepeatForms); });
  // A stream line has no generate mode: the one the trigger has is put back unchanged.
  const HResult generate = PutGenerateMode(generate_mode_);
  if (data) {
    keyword(generate, "GenerateMode", generate_mode_,
            [this] { return NotOneOf(generate_mode_, kGenerateForms); });
  }
  PutKind(kind_);
  PutCount(count_);
  if (data) {
    PutDataList(data_list_);
  } else if (stream) {
    PutStreamSource(stream_source_);
  }
  PutMaskText(mask_);
  PutCycle(cycle_);
  PutWait(wait_);
  return Register();
}

HResult CStreamTrigger::Register() {
  if (Failed(RequireTexts({{"Name", &Name()}, {"Size", &size_}}))) return kFail;
  int32_t destination = 0;
  int32_t mask = 0;
  if (Failed(Context().Evaluate(destination_, &destination))) {
    return NotRegistered("Destination", Unevaluable(destination_));
  }
  if (Failed(Context().Evaluate(mask_, &mask))) return NotRegistered("Mask", Unevaluable(mask_));
  const uint8_t size_code = CodeOf(kSizeCodes, size_, Match::Exact, 0);

  automation::ByteWriter record = StartRecord(kAction);
  record.U32(8, cycle_);
  record.U32(12, wait_);
  record.U8(17, CodeOf(kRepeatCodes, repeat_mode_, Match::Exact, 0));
  record.U8(18, size_code);
  record.I32(20, destination);
  record.U32(24, count_);
  record.I32(28, mask);

  // The readers' error flags are not consulted: the dialog judged the pattern, and a bad item
  // goes to the simulator as 0.
  GenerateData generator;
  if (IsData()) {
    uint32_t count = 0;
    if (EqualsIgnoreCase(generate_mode_, "default")) {
      ValueArea values{};
      generator.ParseValueList(&count, &values, size_, data_list_);
      record.U8(16, kValueListPattern);
      record.U32(32, count);
      record.Bytes(36, values.data(), values.size());
    } else if (EqualsIgnoreCase(generate_mode_, "random")) {
      double min = 0.0;
      double max = 0.0;
      generator.ParseRealRange(data_list_, &count, &min, &max);
      record.U8(16, kRandomPattern);
      record.U32(32, count);
      record.F64(36, min);
      record.F64(44, max);
    } else if (EqualsIgnoreCase(generate_mode_, "random2")) {
      if (size_code == kDoubleSizeCode) {  // whole bounds cannot make doubles
        return NotRegistered("Size", "DOUBLE values cannot be generated by RANDOM2");
      }
      uint32_t min = 0;
      uint32_t max = 0;
      generator.ParseWholeRange(data_list_, &count, &min, &max);
      record.U8(16, kRandom2Pattern);
      record.U32(32, count);
      record.U32(36, min);
      record.U32(44, max);
    }
  } else if (IsStream()) {
    int32_t source = 0;
    if (Failed(Context().Evaluate(stream_source_, &source))) {
      return NotRegistered("StreamSource", Unevaluable(stream_source_));
    }
    record.U8(16, kStreamPattern);
    record.I32(32, source);
  }
  return Define(record.bytes());
}

}  // namespace core::triggers
