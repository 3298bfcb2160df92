// The IDE window's texts: the title, the log pane following the log, the trigger prompt's
// choices.
#include "standin/model/ide_view.h"

#include <gtest/gtest.h>

#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using standin::model::FrameTitle;
using standin::model::Log;
using standin::model::LogFollower;

TEST(IdeViewTest, TheTitleNamesTheProjectFileAndMarksUnsavedChanges) {
  struct Case {
    const char* path;
    bool modified;
    const char* title;
  };
  const Case cases[] = {
      {"Z:\\work\\sample.vpj", false, "Vireo stand-in - sample.vpj"},
      {"Z:\\work\\sample.vpj", true, "Vireo stand-in - sample.vpj*"},
      {"/tmp/x/other.vpj", false, "Vireo stand-in - other.vpj"},
      {"", false, "Vireo stand-in - Untitled"},
      {"", true, "Vireo stand-in - Untitled*"},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameTitle(c.path, c.modified), c.title) << c.path;
}

TEST(IdeViewTest, ThePaneAppendsNewEntriesAndStartsOverWhenTheLogDoes) {
  Log log;
  LogFollower follower;
  auto next = [&] {
    const LogFollower::Update update = follower.Next(log);
    return std::string(update.replace ? "replace:" : "append:") + update.text;
  };
  EXPECT_EQ(next(), "append:");
  log.Add("one");
  log.Add("two\nlines");
  log.Add("crlf\r\nkept");
  EXPECT_EQ(next(), "append:one\r\ntwo\r\nlines\r\ncrlf\r\nkept\r\n");
  EXPECT_EQ(next(), "append:");
  log.Add("three");
  EXPECT_EQ(next(), "append:three\r\n");

  // Cleared and written to again before the pane caught up: the count alone would not tell.
  log.Clear();
  for (const char* text : {"a", "b", "c", "d", "e"}) log.Add(text);
  EXPECT_EQ(next(), "replace:a\r\nb\r\nc\r\nd\r\ne\r\n");

  for (size_t i = 0; i < Log::kMaxEntries; ++i) log.Add("x");
  const LogFollower::Update full = follower.Next(log);
  EXPECT_TRUE(full.replace);  // the oldest fell off the front
  EXPECT_EQ(full.text.size(), Log::kMaxEntries * 3);
}

TEST(IdeViewTest, ThePromptOffersAllTriggersAndEachHeldOneWithItsEventAndState) {
  standin::model::Session session;
  ASSERT_EQ(Send(session.simulator(), Interrupt(101)).hr, 0);
  ASSERT_EQ(Send(session.simulator(), FileStream(100)).hr, 0);
  ASSERT_EQ(Send(session.simulator(), Command(0x102, 101)).hr, 0);
  session.events().AddName(101, "tick");
  const auto choices = standin::model::TriggerChoices(session);
  ASSERT_EQ(choices.size(), 3u);
  EXPECT_EQ(choices[0].id, -1);
  EXPECT_EQ(choices[0].label, "All triggers");
  EXPECT_EQ(choices[1].id, 100);
  EXPECT_EQ(choices[1].label, "100 (filestream, inactive)");
  EXPECT_EQ(choices[2].id, 101);
  EXPECT_EQ(choices[2].label, "101 tick (interrupt, active)");
}

}  // namespace
}  // namespace standin_test
