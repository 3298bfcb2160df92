// The load messages' shape: what the registry writes reads back as the same key, state, field and
// text, and lines of other shapes are not taken for load messages.
#include "core/registry/load_log.h"

#include <gtest/gtest.h>

namespace {

using core::registry::FormatLoadMessage;
using core::registry::LineState;
using core::registry::LoadMessage;
using core::registry::ParseLoadMessage;

TEST(LoadLogTest, MessagesReadBackAsWritten) {
  const std::pair<LoadMessage, const char*> cases[] = {
      {{"4", LineState::Skipped, "", "trigger id 99 is outside 100..355"},
       "Trigger key 4 skipped: trigger id 99 is outside 100..355"},
      {{"13", LineState::NotRead, "", "it lies beyond"}, "Trigger key 13 not read: it lies beyond"},
      {{"3", LineState::NotRegistered, "Source", "empty"},
       "Trigger key 3 not registered, field Source: empty"},
      {{"3", LineState::NotRegistered, "", "the simulator refused the record"},
       "Trigger key 3 not registered: the simulator refused the record"},
      // A text with colons and a field-like phrase of its own stays whole.
      {{"255", LineState::Loaded, "Source", "Invalid parameter: x, field y: z"},
       "Trigger key 255, field Source: Invalid parameter: x, field y: z"},
      {{"MaxNum", LineState::Loaded, "", "it counts 5 lines"},
       "Trigger key MaxNum: it counts 5 lines"},
  };
  for (const auto& [message, line] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(FormatLoadMessage(message), line);
    const auto read = ParseLoadMessage(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->key, message.key);
    EXPECT_EQ(static_cast<int>(read->state), static_cast<int>(message.state));
    EXPECT_EQ(read->field, message.field);
    EXPECT_EQ(read->text, message.text);
  }
}

TEST(LoadLogTest, OtherLinesAreNotLoadMessages) {
  for (const char* line :
       {"Invalid parameter: illegal interrupt source", "Trigger key", "Trigger key 3",
        "Trigger key : x", "Trigger key 3, field : x", "Trigger key 3 skipped x",
        "Vireo: Trigger key 3: x", "Trigger key 3 skipped not read: x",
        "Trigger \"a\" saved without a definition line"}) {
    EXPECT_FALSE(ParseLoadMessage(line)) << line;
  }
}

}  // namespace
