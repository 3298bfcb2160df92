// The load messages' shape: key, state, field and text in one line the user can read.
#include "core/registry/load_log.h"

#include <gtest/gtest.h>

namespace {

using core::registry::FormatLoadMessage;
using core::registry::LineState;

TEST(LoadLogTest, MessagesTakeTheirOneShape) {
  const std::pair<core::registry::LoadMessage, const char*> cases[] = {
      {{"13", LineState::NotRead, "", "it lies beyond"}, "Trigger key 13 not read: it lies beyond"},
      {{"3", LineState::NotRegistered, "Source", "empty"},
       "Trigger key 3 not registered, field Source: empty"},
      // A text with colons and a field-like phrase of its own stays whole.
      {{"255", LineState::Loaded, "Source", "Invalid parameter: x, field y: z"},
       "Trigger key 255, field Source: Invalid parameter: x, field y: z"},
      {{"MaxNum", LineState::Skipped, "", "it counts 5 lines"},
       "Trigger key MaxNum skipped: it counts 5 lines"}};
  for (const auto& [message, line] : cases) EXPECT_EQ(FormatLoadMessage(message), line);
}

}  // namespace
