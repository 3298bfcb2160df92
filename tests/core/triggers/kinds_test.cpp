// The trigger vocabulary: keywords, status texts and default names. (Which slot a new trigger
// takes, and most default names, are checked through the registry over random sequences.)
#include "core/triggers/kinds.h"

#include <gtest/gtest.h>

#include <map>

#include "core/triggers/numbering.h"

namespace {

using core::triggers::KindFromKeyword;
using core::triggers::TriggerKind;

TEST(KindsTest, KeywordsSelectKindsWithoutRegardToCaseAndFlagsGiveTheStatus) {
  for (const auto& info : core::triggers::KindTable()) {
    SCOPED_TRACE(info.class_name);
    EXPECT_EQ(KindFromKeyword(info.keyword), info.kind);
    if (info.other_keyword) {
      EXPECT_EQ(KindFromKeyword(info.other_keyword), info.kind);
    }
    EXPECT_EQ(&core::triggers::InfoOf(info.kind), &info);
    EXPECT_EQ(info.prog_id == nullptr, info.kind == TriggerKind::IOAccess);
  }
  for (const char* keyword : {"CLEARINTERRUPT", "ioStream", "DATA", "FileStream"}) {
    EXPECT_TRUE(KindFromKeyword(keyword)) << keyword;
  }
  for (const char* keyword : {"interrupts", "", "io stream"}) {
    EXPECT_FALSE(KindFromKeyword(keyword)) << keyword;
  }
  // The flags in order: in simulator, registered, modified, active; a byte is true only when it
  // holds 1, and interrupts never show Modified. (Every kind's statuses are the rows' transcript.)
  using core::triggers::StatusText;
  EXPECT_EQ(StatusText(TriggerKind::Transfer, {1, 1, 1, 1}), "Modified");
  EXPECT_EQ(StatusText(TriggerKind::Interrupt, {0, 0, 1, 0}), "New");
  EXPECT_EQ(StatusText(TriggerKind::Stream, {0, 0, 0, 1}), "New");
  EXPECT_EQ(StatusText(TriggerKind::Sio, {1, 1, 2, 2}), "InActivate");
}

// Slots as a map from slot to (number, name).
class MapSlots : public core::triggers::SlotView {
 public:
  std::map<int32_t, std::pair<int32_t, std::string>> slots;
  bool Occupied(int32_t slot) const override { return slots.count(slot) != 0; }
  int32_t NumberAt(int32_t slot) const override { return slots.at(slot).first; }
  std::string NameAt(int32_t slot) const override { return slots.at(slot).second; }
};

TEST(NumberingTest, DefaultNamesCountUpwardsAndRestart) {
  struct Case {
    std::vector<std::string> names;  // in slots 0, 1, ...
    std::optional<int32_t> excluded;
    const char* expected;
    const char* stem = "transfer";
    int32_t first_number = 0;  // the number of the trigger in slot 0 (after a save, not 0)
  };
  // The counter never goes back; the excluded number is the trigger's own, not its slot.
  std::vector<std::string> full = {"s"};  // 256 names "s", "s255", ..., "s1"
  for (int32_t i = 1; i < 256; ++i) full.push_back("s" + std::to_string(256 - i));
  const Case cases[] = {{{"transfer1", "x", "transfer"}, std::nullopt, "transfer2"},
                        {{"transfer2", "transfer", "transfer1"}, std::nullopt, "transfer3"},
                        {{"Transfer"}, std::nullopt, "transfer"},
                        {{"transfer"}, 0, "transfer"},
                        {{"pump"}, 5, "pump", "pump", 5},
                        {{"pump"}, 0, "pump1", "pump", 5},
                        {full, std::nullopt, "s256", "s"}};
  for (const Case& c : cases) {
    MapSlots view;
    for (size_t i = 0; i < c.names.size(); ++i) view.slots[int32_t(i)] = {int32_t(i), c.names[i]};
    if (!c.names.empty()) view.slots[0].first = c.first_number;
    EXPECT_EQ(core::triggers::MakeUniqueName(view, c.stem, c.excluded), c.expected);
  }
}

}  // namespace
