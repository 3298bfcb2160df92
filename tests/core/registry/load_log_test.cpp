// The load messages' shape: what the registry writes reads back as the same key, state, field and
// text, and lines of other shapes are not taken for load messages.
#include "core/registry/load_log.h"

#include <gtest/gtest.h>

namespace {

using core::registry::LineState;
using core::registry::ParseLoadMessage;

TEST(LoadLogTest, MessagesReadBackAsWrittenAndOtherLinesAreNone) {
  const core::registry::LoadMessage messages[] = {
      {"13", LineState::NotRead, "", "it lies beyond"},
      {"3", LineState::NotRegistered, "Source", "empty"},
      // A text with colons and a field-like phrase of its own stays whole.
      {"255", LineState::Loaded, "Source", "Invalid parameter: x, field y: z"},
      {"MaxNum", LineState::Skipped, "", "it counts 5 lines"}};
  for (const auto& message : messages) {
    const auto read = ParseLoadMessage(core::registry::FormatLoadMessage(message));
    ASSERT_TRUE(read) << message.text;
    EXPECT_EQ(read->key + "|" + read->field + "|" + read->text,
              message.key + "|" + message.field + "|" + message.text);
    EXPECT_EQ(static_cast<int>(read->state), static_cast<int>(message.state));
  }
  for (const char* line :
       {"Invalid parameter: illegal interrupt source", "Trigger key", "Trigger key 3",
        "Trigger key : x", "Trigger key 3, field : x", "Trigger key 3 skipped x",
        "Vireo: Trigger key 3: x", "Trigger key 3 skipped not read: x",
        "Trigger \"a\" saved without a definition line"}) {
    EXPECT_FALSE(ParseLoadMessage(line)) << line;
  }
}

}  // namespace
