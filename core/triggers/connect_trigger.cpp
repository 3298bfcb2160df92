// The connect trigger: members, its variable-length line and its record.
#include "core/triggers/connect_trigger.h"

#include "core/automation/strings.h"
#include "core/triggers/definition_lines.h"
#include "core/triggers/line_scanner.h"

namespace core::triggers {

namespace {

constexpr char kKeyword[] = "connect";
// The registry picks the kind by keyword without regard to case, but this line is read with the
// keyword as a literal: a "Connect" line would leave name and members unread, so it is refused
// as a whole rather than registered half-read.
constexpr char kBadKeywordMessage[] =
    "Invalid parameter: the keyword of a connect definition must be \"connect\"";

}  // namespace

CConnectTrigger::CConnectTrigger(std::shared_ptr<TriggerContext> context)
    : CTrigger(std::move(context), std::string()) {}

void CConnectTrigger::SetNumber(int32_t number) { StoreNumber(number); }

Variant CConnectTrigger::GetMembers() const {
  std::vector<Variant> items;
  items.reserve(members_.size());
  for (const std::string& member : members_) items.push_back(Variant::Bstr(member));
  return Variant::Array(std::move(items));
}

HResult CConnectTrigger::PutMembers(const Variant& members) {
  // Any other value leaves the names as they are, but the count check and the look-up of the
  // numbers below still run: a write is how the numbers are brought up to date.
  if (members.Is(automation::VarType::Array | automation::VarType::Variant)) {
    const std::vector<Variant>& items = members.Items();
    members_.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      // An element of another type carries no name: it is treated as an empty one.
      if (items[i].Is(automation::VarType::Bstr)) StoreMember(i, items[i].Text());
    }
  }
  return RefreshMemberNumbers();
}

void CConnectTrigger::StoreMember(size_t index, std::string_view name) {
  // An empty name keeps the name already at that index (empty for a new index).
  if (!name.empty()) members_[index] = name;
}

HResult CConnectTrigger::RefreshMemberNumbers() {
  if (members_.size() > kMaxMembers) return automation::kFail;

  member_numbers_.resize(members_.size());
  for (size_t i = 0; i < members_.size(); ++i) {
    member_numbers_[i] = Context().FindNumberByName(members_[i]);
  }
  return automation::kOk;
}

std::string CConnectTrigger::GetDefinition() const {
  // The member numbers, not the names, say how many members the simulator knows of; after a
  // refused write the names beyond them are not part of the trigger.
  return ConnectLine::Write(Id(), automation::TextUpToNul(Name()), members_,
                            member_numbers_.size());
}

HResult CConnectTrigger::PutDefinition(const std::string& line) {
  int32_t id = 0;
  std::string_view keyword;
  ScanLine(line, "%d,%[^,]", {&id, &keyword});
  if (keyword != kKeyword) return Refuse(kBadKeywordMessage, "keyword");

  ConnectLine fields;
  NoteScan(line, fields.Read(line), ConnectLine::kFields, ConnectLine::kOptionalFrom);
  ApplyLineHead(fields.id, fields.name);
  // The members' write, as an array of the pieces would make it, without making the array.
  const size_t count = ConnectLine::Split(fields.members, [](size_t, std::string_view) {});
  members_.resize(count);
  ConnectLine::Split(fields.members,
                     [this](size_t index, std::string_view piece) { StoreMember(index, piece); });
  if (automation::Failed(RefreshMemberNumbers())) {
    // More than eight: refused, the parse goes on.
    NoteField("Members", automation::Format("%zu members, at most %zu; the trigger keeps the "
                                            "members it had",
                                            count, kMaxMembers));
  } else {
    NoteMissingMembers();
  }
  return Register();
}

void CConnectTrigger::NoteMissingMembers() const {
  for (size_t i = 0; i < member_numbers_.size(); ++i) {
    if (member_numbers_[i] >= 0) continue;
    NoteField("Members", (members_[i].empty() ? automation::Format("member %zu is empty", i + 1)
                                              : Quoted(members_[i]) + " names no trigger") +
                             "; the record holds id 99 in its place");
  }
}

HResult CConnectTrigger::Register() {
  if (automation::Failed(RequireTexts({{"Name", &Name()}}))) return automation::kFail;

  const size_t count = member_numbers_.size();
  automation::ByteWriter record = StartRecord(kAction);
  record.U32(8, 0);
  record.U32(12, 0);
  record.U16(16, static_cast<uint16_t>(count));
  for (size_t i = 0; i < count; ++i) {
    // A member not found (-1) goes out as id 99, which no trigger has.
    record.U16(18 + 2 * i, static_cast<uint16_t>(IdOf(member_numbers_[i])));
  }
  return Define(record.bytes());
}

}  // namespace core::triggers
