// The trigger window's document: slot operations, deletion by adapter and the interrupt lists,
// against the registry and its scripted simulator. (Its simulator commands on triggers are the
// trigger list's transcript.)
#include "core/window/trigger_document.h"

#include <gtest/gtest.h>

#include "tests/core/registry/registry_fixture.h"

namespace {

class TriggerDocumentTest : public registry_test::RegistryTest {
 protected:
  TriggerDocumentTest() {
    document_.SetUpdateAllViews([this] { ++updates_; });
  }
  core::window::TriggerDocument document_{registry_};
  int updates_ = 0;
};

TEST_F(TriggerDocumentTest, CreatesByKeywordAndDeletesByAdapterWithOrWithoutRefresh) {
  EXPECT_EQ(document_.CreateTrigger(nullptr), nullptr);
  EXPECT_EQ(document_.CreateTrigger("nonsense"), nullptr);
  document_.CreateTrigger("interrupt");
  core::rows::TriggerInfo* second = document_.CreateTrigger("Transfer");
  ASSERT_EQ(document_.GetTriggerInfo(1), second);
  // Each result, then the refreshes: an adapter that no slot holds any more fails, and with the
  // flag still refreshes; a command on an empty slot fails.
  EXPECT_EQ(
      std::vector<int>(
          {document_.DeleteTrigger(second, false), updates_, document_.DeleteTrigger(second, true),
           updates_, document_.DeleteTrigger(nullptr, false), document_.DeleteSlot(5),
           document_.SimulatorCommand1(5), document_.DeleteSlot(0), document_.GetTriggerCount()}),
      std::vector<int>({0, 0, 1, 1, 1, 1, 1, 0, 0}));
}

TEST_F(TriggerDocumentTest, InterruptListsAreBuiltOnceFromTheSimulatorsTable) {
  simulator_.source_table = SourceTable({"INT0", "TIMER0_OVERFLOW_A", "RX"}, true);
  EXPECT_EQ(document_.GetInterruptSourceCount(), 3);
  EXPECT_EQ(document_.GetInterruptSourceNames(),
            (std::vector<std::string>{"INT0", "TIMER0_OVERFLOW_", "RX"}));
  EXPECT_EQ(document_.GetInterruptSourceIndices(), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(document_.GetInterruptTableValues(), (std::vector<uint32_t>{9, 9, 9}));
  simulator_.source_table = SourceTable({"OTHER"}, true);
  EXPECT_EQ(document_.GetInterruptTableValues().size(), 3u);  // kept for the document's life
}

}  // namespace
