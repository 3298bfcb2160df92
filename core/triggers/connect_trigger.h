// CConnectTrigger: ties up to eight other triggers, named by their trigger names, to this
// trigger's event. The member names cross the interface as an array of strings; the numbers they
// stand for are looked up when the members are written, and the record carries them as trigger ids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CConnectTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 11;
  static constexpr size_t kMaxMembers = 8;

  explicit CConnectTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Connect; }

  // Stores the number only: a connect trigger is not marked modified by renumbering.
  void SetNumber(int32_t number) override;

  const std::vector<std::string>& Members() const { return members_; }
  // The number of each member as it was when the members were last written (-1: not found).
  const std::vector<int32_t>& MemberNumbers() const { return member_numbers_; }

  // An array of strings, one per member, built afresh on every call.
  Variant GetMembers() const;
  // Takes an array of strings; any other value leaves the names as they were. Either way, more
  // than eight members are refused (E_FAIL, the names stay stored and the member numbers keep
  // their old values); otherwise every member's number is looked up afresh. Never marks the
  // trigger modified.
  HResult PutMembers(const Variant& members);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 protected:
  const char* NameClashMessage() const override { return kShortNameClashMessage; }

 private:
  // Notes each member that names no trigger (its place in the record holds id 99).
  void NoteMissingMembers() const;
  // The steps of the members' write: one name from the given list, then the count check and
  // the numbers' look-up.
  void StoreMember(size_t index, std::string_view name);
  HResult RefreshMemberNumbers();

  std::vector<std::string> members_;
  std::vector<int32_t> member_numbers_;
};

}  // namespace core::triggers
