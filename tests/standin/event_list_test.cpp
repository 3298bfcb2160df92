// The event list and the log window's contents.
#include "project/event_list.h"

#include <gtest/gtest.h>

#include "core/automation/hresult.h"
#include "standin/model/log.h"

namespace {

using core::automation::kFail;
using core::automation::kOk;
using project::EventList;
using standin::model::Log;

TEST(EventListTest, NamesEventsByIdAndListsThemInIdOrder) {
  EventList events;
  EXPECT_EQ(events.AddName(102, "uart"), kOk);
  EXPECT_EQ(events.AddName(100, "tick"), kOk);
  EXPECT_EQ(events.AddName(101, "ack"), kOk);
  EXPECT_EQ(events.AddName(101, "ack_tick"), kOk) << "naming afresh replaces";
  using List = std::vector<std::pair<int32_t, std::string>>;
  EXPECT_EQ(events.List(), (List{{100, "tick"}, {101, "ack_tick"}, {102, "uart"}}));

  EXPECT_EQ(events.RemoveName(100), kOk);
  EXPECT_EQ(events.RemoveName(100), kFail) << "the add-in reads E_FAIL as: no such name";
  EXPECT_EQ(events.RemoveName(555), kFail);
  EXPECT_EQ(events.Find(100), nullptr);
  EXPECT_EQ(*events.Find(102), "uart");
  EXPECT_EQ(events.List(), (List{{101, "ack_tick"}, {102, "uart"}}));
}

TEST(LogTest, KeepsEntriesWholeAndDropsTheOldestBeyondItsLimit) {
  Log log;
  log.Add("Invalid parameter: illegal interrupt source");
  log.Add("No\tName\n0\ttick\n");
  EXPECT_EQ(log.entries().size(), 2u);
  EXPECT_EQ(log.Text(), "Invalid parameter: illegal interrupt source\nNo\tName\n0\ttick\n\n");

  for (size_t i = 0; i < Log::kMaxEntries; ++i) log.Add(std::to_string(i));
  EXPECT_EQ(log.entries().size(), Log::kMaxEntries);
  EXPECT_EQ(log.dropped(), 2u);
  EXPECT_EQ(log.entries().front(), "0");
  log.Clear();
  EXPECT_TRUE(log.entries().empty());
  EXPECT_EQ(log.dropped(), 0u);
}

}  // namespace
