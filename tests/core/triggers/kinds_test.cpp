// The trigger vocabulary: keywords, status texts and default names. (Which slot a new trigger
// takes is checked through the registry, over random sequences.)
#include "core/triggers/kinds.h"

#include <gtest/gtest.h>

#include <map>

#include "core/triggers/numbering.h"

namespace {

using core::triggers::KindFromKeyword;
using core::triggers::MakeUniqueName;
using core::triggers::StatusText;
using core::triggers::TriggerFlags;
using core::triggers::TriggerKind;

TEST(KindsTest, KeywordsSelectKindsWithoutRegardToCase) {
  for (const auto& info : core::triggers::KindTable()) {
    SCOPED_TRACE(info.class_name);
    EXPECT_EQ(KindFromKeyword(info.keyword), info.kind);
    if (info.other_keyword) {
      EXPECT_EQ(KindFromKeyword(info.other_keyword), info.kind);
    }
    EXPECT_EQ(&core::triggers::InfoOf(info.kind), &info);
    EXPECT_EQ(info.prog_id == nullptr, info.kind == TriggerKind::IOAccess);
  }
  const std::pair<const char*, std::optional<TriggerKind>> cases[] = {
      {"CLEARINTERRUPT", TriggerKind::Interrupt},
      {"IOSTREAM", TriggerKind::IOStream},
      {"ioStream", TriggerKind::IOStream},
      {"DATA", TriggerKind::Stream},
      {"Stream", TriggerKind::Stream},
      {"FileStream", TriggerKind::FileStream},
      {"interrupts", std::nullopt},
      {"", std::nullopt},
      {"io stream", std::nullopt}};
  for (const auto& [keyword, kind] : cases) EXPECT_EQ(KindFromKeyword(keyword), kind) << keyword;
}

TEST(KindsTest, StatusTextFollowsTheFlagsInOrder) {
  struct Case {
    TriggerKind kind;
    TriggerFlags flags;  // in_simulator, registered, modified, active
    const char* status;
  };
  const Case cases[] = {
      {TriggerKind::Transfer, {0, 0, 1, 0}, "Modified"},
      {TriggerKind::Transfer, {1, 1, 1, 1}, "Modified"},
      {TriggerKind::Interrupt, {0, 0, 1, 0}, "New"},  // interrupts never show Modified
      {TriggerKind::IOAccess, {1, 1, 1, 1}, "Activate"},
      {TriggerKind::Stream, {0, 0, 0, 1}, "New"},
      {TriggerKind::Stream, {1, 1, 0, 0}, "InActivate"},
      {TriggerKind::Connect, {1, 1, 0, 1}, "Activate"},
      {TriggerKind::Sio, {1, 1, 2, 2}, "InActivate"}};  // a byte is true only when it holds 1
  for (const Case& c : cases) {
    EXPECT_EQ(StatusText(c.kind, c.flags), c.status);
  }
}

// Slots as a map from slot to (number, name).
class MapSlots : public core::triggers::SlotView {
 public:
  std::map<int32_t, std::pair<int32_t, std::string>> slots;
  void Add(int32_t slot, std::string name) { slots[slot] = {slot, std::move(name)}; }
  bool Occupied(int32_t slot) const override { return slots.count(slot) != 0; }
  int32_t NumberAt(int32_t slot) const override { return slots.at(slot).first; }
  std::string NameAt(int32_t slot) const override { return slots.at(slot).second; }
};

// A stem of 256 names "s", "s255", ..., "s1" in slots 0 to 255.
std::vector<std::string> FullTableOfOneStem() {
  std::vector<std::string> names = {"s"};
  for (int32_t i = 1; i < 256; ++i) names.push_back("s" + std::to_string(256 - i));
  return names;
}

TEST(NumberingTest, DefaultNamesCountUpwardsAndRestart) {
  struct Case {
    std::vector<std::string> names;  // in slots 0, 1, ...
    std::optional<int32_t> excluded;
    const char* expected;
    const char* stem = "transfer";
    int32_t first_number = 0;  // the number of the trigger in slot 0 (after a save, not 0)
  };
  const Case cases[] = {
      {{}, std::nullopt, "transfer"},
      {{"transfer"}, std::nullopt, "transfer1"},
      {{"Transfer"}, std::nullopt, "transfer"},  // case-sensitive
      {{"transfer", "transfer2"}, std::nullopt, "transfer1"},
      {{"transfer", "transfer1"}, std::nullopt, "transfer2"},
      // Found out of order: the restart finds "transfer1" in slot 0 after "transfer" in slot 2.
      {{"transfer1", "x", "transfer"}, std::nullopt, "transfer2"},
      // The counter never goes back: "transfer2" frees nothing once 3 is reached.
      {{"transfer2", "transfer", "transfer1"}, std::nullopt, "transfer3"},
      {{"transfer"}, 0, "transfer"},  // the trigger's own name, its number excluded
      {{"x", "transfer"}, 0, "transfer1"},
      // The excluded number is the trigger's own, not its slot.
      {{"pump"}, 5, "pump", "pump", 5},
      {{"pump"}, 0, "pump1", "pump", 5},
      {FullTableOfOneStem(), std::nullopt, "s256", "s"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    MapSlots view;
    for (size_t i = 0; i < c.names.size(); ++i) view.Add(static_cast<int32_t>(i), c.names[i]);
    if (!c.names.empty()) view.slots[0].first = c.first_number;
    EXPECT_EQ(MakeUniqueName(view, c.stem, c.excluded), c.expected);
  }
}

}  // namespace
