// The load messages' shape: key, state, field and text in one line the user can read.
#include "core/registry/load_log.h"

#include <gtest/gtest.h>

namespace {

using core::registry::FormatLoadMessage;
using core::registry::LineState;
using core::registry::LoadMessage;

TEST(LoadLogTest, MessagesTakeTheirOneShape) {
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
  }
}

}  // namespace
