// The texts of the IDE window: the title, the log pane following the log and the choices of the
// trigger prompt.
#include "standin/model/ide_view.h"

#include <gtest/gtest.h>

#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using core::automation::kOk;
using standin::model::Log;
using standin::model::LogFollower;

TEST(IdeViewTest, TheTitleNamesTheProjectFileAndMarksUnsavedChanges) {
  const std::tuple<const char*, bool, const char*> cases[] = {
      {"Z:\\work\\sample.vpj", false, "Vireo stand-in - sample.vpj"},
      {"Z:\\work\\sample.vpj", true, "Vireo stand-in - sample.vpj*"},
      {"/tmp/x/other.vpj", false, "Vireo stand-in - other.vpj"},
      {"", false, "Vireo stand-in - Untitled"},
      {"", true, "Vireo stand-in - Untitled*"}};
  for (const auto& [path, modified, title] : cases) {
    EXPECT_EQ(standin::model::FrameTitle(path, modified), title) << path;
  }
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
  for (const Bytes& block :
       {SampleRecords().at(101), SampleRecords().at(100), CommandBlock(0x102, 101)}) {
    ASSERT_EQ(Send(session.simulator(), block).hr, kOk);
  }
  session.events().AddName(101, "tick");
  std::string choices;
  for (const auto& choice : standin::model::TriggerChoices(session)) {
    choices += std::to_string(choice.id) + ": " + choice.label + "\n";
  }
  EXPECT_EQ(choices,
            "-1: All triggers\n100: 100 (interrupt, inactive)\n"
            "101: 101 tick (clearInterrupt, active)\n");
}

}  // namespace
}  // namespace standin_test
