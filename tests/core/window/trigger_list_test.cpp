// The trigger window's list against the registry and its scripted simulator: the rebuild, the
// command rules, deletion, the simulator commands and the hand-over to the dialogs.
#include "core/window/trigger_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/core/fakes/fake_editor.h"
#include "tests/core/registry/registry_fixture.h"

namespace {

using core::window::ContextMenuStates;
using core::window::EditKind;
using core::window::RowTexts;
using core::window::TriggerDocument;
using core::window::TriggerList;
using fakes::Edit;
using fakes::FakeEditor;
using registry_test::HResultText;
using registry_test::kOk;
using registry_test::Variant;

// The list control: its rows and selection, and what was done to it.
class FakeList : public core::window::TriggerListPort {
 public:
  void DeleteAllRows() override {
    rows.clear();
    slots.clear();
    selected.clear();
    events.push_back("delete all");
  }
  void InsertRow(int row, const RowTexts& texts, int slot) override {
    EXPECT_EQ(row, static_cast<int>(rows.size())) << "rows are appended";
    rows.insert(rows.begin() + row, texts);
    slots.insert(slots.begin() + row, slot);
    events.push_back("insert " + texts[0]);
  }
  std::vector<int> SelectedRows() const override { return selected; }
  std::string RowText(int row, int column) const override { return rows.at(row).at(column); }
  int RowSlot(int row) const override { return slots.at(row); }
  void ShowDeleteRefused() override { events.push_back("refused"); }
  void BeginChanges() override { ++depth; }
  void EndChanges() override {
    if (--depth == 0) ++redraws;
  }

  std::vector<std::string> Column(int column) const {
    std::vector<std::string> texts;
    for (const RowTexts& row : rows) texts.push_back(row[column]);
    return texts;
  }

  std::vector<RowTexts> rows;
  std::vector<int> slots;
  std::vector<int> selected;
  std::vector<std::string> events;
  int depth = 0;
  int redraws = 0;  // ends of outermost changes
};

class FakeWindowHost : public core::window::TriggerWindowHost {
 public:
  explicit FakeWindowHost(std::vector<std::string>& events) : events_(events) {}
  void TriggersChanged() override { events_.push_back("triggers changed"); }
  void WriteLog(const std::string& line) override { log.push_back(line); }
  void ShowHelp(const std::string&) override {}
  std::vector<std::string> log;

 private:
  std::vector<std::string>& events_;
};

class TriggerListTest : public registry_test::RegistryTest {
 protected:
  TriggerListTest() {
    document_.SetUpdateAllViews([this] { trigger_list_.Rebuild(); });
  }

  // A trigger in the simulator, in the lowest free slot.
  core::rows::TriggerInfo* Registered(const char* keyword = "filestream") {
    core::rows::TriggerInfo* adapter = window_registry_.AdapterAt(CreateIn(keyword));
    EXPECT_EQ(adapter->Register(), 0);
    return adapter;
  }
  int CreateIn(const char* keyword) {
    Variant made;
    EXPECT_HR(kOk, window_registry_.CreateTriggerByKeyword(keyword, &made));
    return static_cast<core::rows::TriggerInfo*>(made.Pointer())->GetTrigger()->Number();
  }
  void Select(std::vector<int> rows) { list_.selected = std::move(rows); }
  // Forgets what was done to the list so far.
  void ClearEvents() {
    list_.events.clear();
    list_.redraws = 0;
  }

  // The registry refreshes the open window after every deletion, as the add-in's does.
  bool window_open_ = true;
  core::registry::CTriggerAction window_registry_{bridge_, host_, Hooks()};
  core::registry::WindowHooks Hooks() {
    core::registry::WindowHooks hooks;
    hooks.refresh_trigger_window = [this] {
      if (window_open_) document_.Refresh();
    };
    return hooks;
  }
  TriggerDocument document_{window_registry_};
  FakeList list_;
  FakeWindowHost window_host_{list_.events};
  TriggerList trigger_list_{document_, list_, window_host_};
  std::vector<Edit> edits_;
};

TEST_F(TriggerListTest, RebuildPurgesTriggersOutsideTheSimulatorThenFillsInSlotOrder) {
  Registered();
  Registered("ioaccess");  // its registration refreshes the window
  Registered();
  Registered();
  window_open_ = false;
  ASSERT_HR(kOk, window_registry_.DeleteTrigger(window_registry_.AdapterAt(2)->GetNameText()));
  window_open_ = true;
  ASSERT_EQ(CreateIn("interrupt"), 2);  // never defined in the simulator: the purge drops it
  ClearEvents();
  const int rebuilds = trigger_list_.Rebuilds();

  trigger_list_.Rebuild();
  // The purge's deletion asked for a rebuild while this one ran; it was left out, so there is
  // one row per trigger.
  EXPECT_EQ(trigger_list_.Rebuilds(), rebuilds + 1);
  EXPECT_EQ(list_.events, (std::vector<std::string>{"delete all", "triggers changed", "insert 0",
                                                    "insert 1", "insert 3"}));
  EXPECT_EQ(document_.GetTriggerCount(), 3);
  ASSERT_EQ(list_.rows.size(), 3u);
  EXPECT_EQ(list_.slots, (std::vector<int>{0, 1, 3}));
  for (size_t row = 0; row < list_.rows.size(); ++row) {
    const core::rows::TriggerInfo* adapter = document_.GetTriggerInfo(list_.slots[row]);
    ASSERT_NE(adapter, nullptr);
    for (size_t column = 0; column < list_.rows[row].size(); ++column) {
      EXPECT_EQ(list_.rows[row][column], (adapter->*core::rows::ListColumns()[column])()) << column;
    }
  }
  EXPECT_EQ(list_.depth, 0);
  EXPECT_EQ(list_.redraws, 1);
}

TEST(TriggerListRules, CommandEnabling) {
  const struct {
    uint32_t command;
    int selected;
    int triggers;
    std::optional<bool> enabled;
  } cases[] = {
      {54202, 0, 0, true},         {54203, 0, 0, true},  {54204, 0, 0, true},
      {54209, 0, 0, true},         {54210, 0, 0, true},  {54206, 0, 1, false},
      {54206, 0, 2, true},         {54205, 0, 5, false}, {54205, 1, 5, true},
      {54207, 0, 5, false},        {54207, 2, 5, true},  {54208, 1, 1, true},
      {54212, 0, 1, false},        {54213, 3, 3, true},  {54201, 1, 1, std::nullopt},
      {54211, 1, 1, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::window::CommandEnabled(c.command, c.selected, c.triggers), c.enabled)
        << c.command << " with " << c.selected << " selected of " << c.triggers;
  }
}

TEST(TriggerListRules, ContextMenuStates) {
  // The enabled items, in menu order.
  const auto enabled = [](int selected, int triggers) {
    std::vector<uint32_t> on;
    for (const auto& item : ContextMenuStates(selected, triggers)) {
      if (item.enabled) on.push_back(item.command);
    }
    return on;
  };
  using Commands = std::vector<uint32_t>;
  const Commands kinds = {54202, 54203, 54204, 54209, 54210};
  EXPECT_EQ(enabled(0, 0), kinds);
  EXPECT_EQ(enabled(0, 5), kinds) << "connect is offered for selected rows";
  EXPECT_EQ(enabled(1, 5),
            (Commands{54202, 54203, 54204, 54209, 54210, 54205, 54207, 54208, 54212, 54213}));
  EXPECT_EQ(enabled(2, 2), (Commands{54202, 54203, 54204, 54209, 54210, 54205, 54206, 54207, 54208,
                                     54212, 54213}));
  EXPECT_EQ(ContextMenuStates(0, 0).size(), 11u);
}

TEST_F(TriggerListTest, DeleteGoesFromTheBottomUpAndShowsOneBoxPerRefusal) {
  for (int i = 0; i < 5; ++i) Registered();
  trigger_list_.Rebuild();
  // Slot 3's trigger goes behind the window's back, so its row is stale.
  window_open_ = false;
  ASSERT_HR(kOk, window_registry_.DeleteTrigger(window_registry_.AdapterAt(3)->GetNameText()));
  window_open_ = true;
  Take();
  ClearEvents();
  const int rebuilds = trigger_list_.Rebuilds();
  Select({0, 3, 4});  // slots 0, 3 (gone) and 4

  EXPECT_EQ(trigger_list_.Enabled(54205), true);
  ASSERT_TRUE(trigger_list_.Execute(54205));
  EXPECT_EQ(Take("EventCommand."),
            (registry_test::Calls{"EventCommand.RemoveName(104)", "EventCommand.RemoveName(100)"}));
  EXPECT_EQ(std::count(list_.events.begin(), list_.events.end(), "refused"), 1);
  // Rebuilt after each deletion and once at the end; drawn once.
  EXPECT_EQ(trigger_list_.Rebuilds(), rebuilds + 3);
  EXPECT_EQ(list_.redraws, 1);
  EXPECT_EQ(list_.Column(0), (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(list_.selected.empty());
}

// A save renumbers the triggers without moving them: after a deletion the rows show numbers
// below their slots, and every command still acts on the trigger of the row the user picked.
TEST_F(TriggerListTest, AfterASaveRenumbersCommandsActOnTheRowsOwnTrigger) {
  for (int i = 0; i < 4; ++i) Registered();
  trigger_list_.Rebuild();
  Select({1});
  ASSERT_TRUE(trigger_list_.Execute(54205));
  ASSERT_HR(kOk, window_registry_.SaveTriggers());
  trigger_list_.Rebuild();
  ASSERT_EQ(list_.Column(0), (std::vector<std::string>{"0", "1", "2"}));
  ASSERT_EQ(list_.slots, (std::vector<int>{0, 2, 3}));
  const std::string kept = document_.GetTriggerInfo(3)->GetNameText();

  Select({1});  // shows No 1, the trigger in slot 2
  Take();
  ASSERT_TRUE(trigger_list_.Execute(54207));
  const registry_test::Calls sent = Take("TargetCommand.");
  ASSERT_FALSE(sent.empty());
  EXPECT_NE(sent.front().find("08 00 02 01 66 00 00 00"), std::string::npos) << sent.front();
  Select({1});  // the command's refresh rebuilt the rows
  ASSERT_TRUE(trigger_list_.Execute(54205));
  EXPECT_EQ(document_.GetTriggerInfo(2), nullptr);
  ASSERT_NE(document_.GetTriggerInfo(3), nullptr);
  EXPECT_EQ(document_.GetTriggerInfo(3)->GetNameText(), kept);
  EXPECT_EQ(std::count(list_.events.begin(), list_.events.end(), "refused"), 0);
}

TEST_F(TriggerListTest, SimulatorCommandsGoToEachSelectedTriggerInRowOrder) {
  for (int i = 0; i < 3; ++i) Registered();
  trigger_list_.Rebuild();
  const std::pair<uint32_t, const char*> commands[] = {{54207, "08 00 02 01"},
                                                       {54208, "08 00 03 01"},
                                                       {54212, "08 00 05 01"},
                                                       {54213, "08 00 06 01"}};
  for (const auto& [command, block] : commands) {
    SCOPED_TRACE(command);
    Select({0, 2});
    Take();
    const int redraws = list_.redraws;
    ASSERT_TRUE(trigger_list_.Execute(command));
    std::vector<std::string> sent;  // the command blocks among the simulator calls
    for (const std::string& call : Take("TargetCommand.")) {
      const std::string hex = call.substr(call.rfind(',') + 1);
      if (hex.rfind(block, 0) == 0) sent.push_back(hex);
    }
    EXPECT_EQ(sent, (std::vector<std::string>{std::string(block) + " 64 00 00 00)",
                                              std::string(block) + " 66 00 00 00)"}));
    EXPECT_EQ(list_.redraws, redraws + 1);
  }
}

TEST_F(TriggerListTest, EditCommandsAndDoubleClicksGoToTheDialogs) {
  // The rows show numbers that are not their slots, as after a save.
  list_.rows = {
      {"0", "", "", "ClearInterrupt"}, {"0", "", "", "Connect"}, {"1", "", "", "Message"}};
  list_.slots = {4, 6, 9};
  trigger_list_.SetEditor(std::make_unique<FakeEditor>(edits_));

  Select({0});
  trigger_list_.Execute(54202);  // the selected interrupt row is edited
  trigger_list_.Execute(54203);  // a stream is created
  Select({0, 1});
  trigger_list_.Execute(54206);  // two rows: a connect trigger is created
  trigger_list_.DoubleClick(1);
  trigger_list_.DoubleClick(2);  // message rows have no dialog
  trigger_list_.DoubleClick(-1);
  EXPECT_EQ(edits_, (std::vector<Edit>{{EditKind::Interrupt, 4},
                                       {EditKind::Stream, std::nullopt},
                                       {EditKind::Connect, std::nullopt},
                                       {EditKind::Connect, 6}}));
  EXPECT_TRUE(window_host_.log.empty());
}

}  // namespace
