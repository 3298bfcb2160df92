// The common trigger protocol.
#include "core/triggers/trigger.h"

#include <algorithm>

#include "core/automation/strings.h"

namespace core::triggers {

namespace {

using Problem = TriggerContext::Problem;

// Enough of a field to recognise it; a 4 KB value would drown the message.
constexpr size_t kQuotedLength = 60;

}  // namespace

std::string Quoted(std::string_view text) {
  if (text.size() <= kQuotedLength) return "\"" + std::string(text) + "\"";
  return "\"" + std::string(text.substr(0, kQuotedLength)) + "...\"";
}

std::string Unevaluable(std::string_view expression) {
  return expression.empty() ? "empty" : Quoted(expression) + " cannot be evaluated";
}

CTrigger::CTrigger(std::shared_ptr<TriggerContext> context, std::string name)
    : context_(context ? std::move(context) : std::make_shared<DetachedContext>()),
      name_(std::move(name)) {}

void CTrigger::SetNumber(int32_t number) {
  number_ = number;
  MarkModified();
}

HResult CTrigger::SetNameUnchecked(const std::string& name) {
  name_ = name;
  context_->NameChanged(*this);
  MarkModified();
  return automation::kOk;
}

HResult CTrigger::PutName(const std::string& name) {
  if (automation::Failed(context_->CheckNameUniqueExcept(name, number_))) {
    return Refuse(NameClashMessage());
  }
  if (context_->SetEventName(Id(), name, &name_) != 0) return automation::kFail;
  name_ = name;
  context_->NameChanged(*this);
  MarkModified();
  return automation::kOk;
}

HResult CTrigger::PutActive(VariantBool active) {
  flags_.active = automation::IsVariantTrue(active) ? 1 : 0;
  return automation::kOk;
}

HResult CTrigger::Refuse(const char* message, const char* field) {
  context_->WriteFieldLog(field, message);
  return automation::kFail;
}

void CTrigger::NoteField(const char* field, const std::string& why) const {
  context_->NoteProblem(Problem::Field, field, why);
}

HResult CTrigger::NotRegistered(const char* field, const std::string& why) const {
  context_->NoteProblem(Problem::NotRegistered, field, why);
  return automation::kFail;
}

HResult CTrigger::RequireTexts(
    std::initializer_list<std::pair<const char*, const std::string*>> texts) const {
  for (const auto& [field, text] : texts) {
    if (text->empty()) return NotRegistered(field, "empty");
  }
  return automation::kOk;
}

void CTrigger::NoteScan(std::string_view line, const ScanStop& stop, const char* const* names,
                        size_t name_count, size_t optional_from) const {
  using Cause = ScanStop::Cause;
  const auto index = static_cast<size_t>(stop.stored);
  auto name = [names, name_count](size_t i) { return i < name_count ? names[i] : ""; };
  auto unread_after = [name_count](size_t i) {
    return i + 1 < name_count ? std::string("; the fields after it are not read") : std::string();
  };
  // The field from where it begins to the comma that ends it.
  auto field_text = [line](size_t from) {
    from = std::min(from, line.size());
    return line.substr(from, std::min(line.find(',', from), line.size()) - from);
  };
  switch (stop.cause) {
    case Cause::Done:
      if (stop.position < line.size()) {
        NoteField("", Quoted(line.substr(stop.position)) + " after the last field is ignored");
      }
      break;
    case Cause::EndOfLine:
      if (index < optional_from) NoteField(name(index), "missing: the line ends before it");
      break;
    case Cause::Number: {
      const std::string_view text = field_text(stop.position);
      NoteField(name(index),
                (text.empty() ? "empty" : Quoted(text) + " is not a number") + unread_after(index));
      break;
    }
    case Cause::EmptyText:
      NoteField(name(index), "empty" + unread_after(index));
      break;
    case Cause::LongText:
      NoteField(name(index), automation::Format("longer than %zu characters", stop.max_length) +
                                 unread_after(index));
      break;
    case Cause::Literal:
      if (stop.literal == ',' && index > 0) {
        // A number with something after it: its digits were read, the rest stopped the scan.
        NoteField(name(index - 1), Quoted(field_text(stop.field_start)) +
                                       " is not a number: only its leading digits are read" +
                                       unread_after(index - 1));
      } else {
        NoteField(name(index), "not read: the line does not go on as its kind's lines do");
      }
      break;
    case Cause::Pattern:
      break;
  }
}

void CTrigger::ApplyLineHead(int32_t id, std::string_view name) {
  const std::string text(name);
  context_->SetEventName(id, text, nullptr);
  SetNumber(NumberOf(id));
  SetNameUnchecked(text);
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
  if (context_->DefineTrigger(Id(), name_, record, flags_.in_simulator == 1) != 0) {
    context_->NoteProblem(Problem::NotRegistered, "", "the simulator refused the record");
    return failure;
  }
  flags_.in_simulator = 1;
  flags_.registered = 1;
  flags_.modified = 0;
  return automation::kOk;
}

}  // namespace core::triggers
