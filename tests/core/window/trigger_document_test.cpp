// The trigger window's document: slot operations, deletion by adapter and the interrupt lists,
// against the registry and its scripted simulator. (Its simulator commands are the trigger
// list's transcript.)
#include "core/window/trigger_document.h"

#include <gtest/gtest.h>

#include "tests/core/registry/registry_fixture.h"

namespace {

using core::window::InterruptTableValues;
using core::window::TriggerDocument;
using registry_test::RegistryTest;

class TriggerDocumentTest : public RegistryTest {
 protected:
  TriggerDocumentTest() {
    document_.SetUpdateAllViews([this] { ++updates_; });
  }
  TriggerDocument document_{registry_};
  int updates_ = 0;
};

TEST_F(TriggerDocumentTest, CreatesByKeywordAndDeletesByAdapterWithOrWithoutRefresh) {
  EXPECT_EQ(document_.CreateTrigger(nullptr), nullptr);
  EXPECT_EQ(document_.CreateTrigger("nonsense"), nullptr);
  core::rows::TriggerInfo* first = document_.CreateTrigger("interrupt");
  core::rows::TriggerInfo* second = document_.CreateTrigger("Transfer");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(document_.GetTriggerCount(), 2);
  EXPECT_EQ(document_.GetTriggerInfo(1), second);
  EXPECT_EQ(document_.GetTriggerInfo(2), nullptr);

  EXPECT_EQ(document_.DeleteTrigger(second, false), 0);
  EXPECT_EQ(updates_, 0);
  // An adapter that no slot holds any more fails, and with the flag still refreshes.
  EXPECT_EQ(document_.DeleteTrigger(second, true), 1);
  EXPECT_EQ(updates_, 1);
  EXPECT_EQ(document_.DeleteTrigger(nullptr, false), 1);
  EXPECT_EQ(document_.DeleteSlot(5), 1);
  EXPECT_EQ(document_.DeleteSlot(0), 0);
  EXPECT_EQ(document_.GetTriggerCount(), 0);
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

TEST(InterruptTableValuesTest, ReadsBothLayouts) {
  // Extended, count 3: the values come from offsets 22, 42 and 62.
  std::vector<uint8_t> extended(4 + 3 * 20, 0);
  extended[0] = extended[1] = 0xFF;
  extended[2] = 3;
  extended[22] = 1;
  extended[42] = 0x34;
  extended[43] = 0x12;
  extended[62] = 0xFF;
  extended[63] = 0xFF;
  EXPECT_EQ(InterruptTableValues(extended.data(), extended.size()),
            (std::vector<uint32_t>{1, 0x1234, 0xFFFF}));
  // Short, count 3: three zeros.
  std::vector<uint8_t> short_form(2 + 3 * 10, 0x55);
  short_form[0] = 3;
  short_form[1] = 0;
  EXPECT_EQ(InterruptTableValues(short_form.data(), short_form.size()),
            (std::vector<uint32_t>{0, 0, 0}));
  EXPECT_TRUE(InterruptTableValues(nullptr, 0).empty());
}

}  // namespace
