// The trigger window's list against the registry and its scripted simulator: the command rules,
// then the rebuild, deletion and the simulator commands on the selected rows as a golden
// transcript of what the list saw and the simulator received, and the hand-over to the dialogs.
#include "core/window/trigger_list.h"

#include <gtest/gtest.h>

#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

using core::window::EditKind;
using core::window::RowTexts;

// The list control: its rows and selection, and what was done to it, one event a line.
class FakeList : public core::window::TriggerListPort {
 public:
  void DeleteAllRows() override {
    rows.clear(), slots.clear(), selected.clear(), focused = -1;
    events.push_back("delete all");
  }
  void InsertRow(int row, const RowTexts& texts, int slot) override {
    EXPECT_EQ(row, static_cast<int>(rows.size())) << "rows are appended";
    rows.push_back(texts);
    slots.push_back(slot);
    events.push_back("insert " + texts[0] + " " + texts[2] + " " + texts[1]);
  }
  std::vector<int> SelectedRows() const override { return selected; }
  std::string RowText(int row, int column) const override { return rows.at(row).at(column); }
  int RowSlot(int row) const override { return slots.at(row); }
  void ShowDeleteRefused() override { events.push_back("refused"); }
  void BeginChanges() override { ++depth; }
  void EndChanges() override {
    if (--depth == 0) events.push_back("redraw");
  }
  int FocusedRow() const override { return focused; }
  void SetRowState(int row, bool is_selected, bool is_focused) override {
    if (is_selected) selected.push_back(row);
    if (is_focused) focused = row;
  }
  bool CopyToClipboard(const std::string& table, const std::string& lines) override {
    clipboard_table = table, clipboard = lines;
    return true;
  }
  std::string ClipboardText() const override { return clipboard; }
  bool ClipboardHasText() const override { return !clipboard.empty(); }

  std::vector<RowTexts> rows;
  std::vector<int> slots, selected;
  int focused = -1;
  std::string clipboard, clipboard_table;
  Calls events;
  int depth = 0;
};

// The window's host and the dialogs: what they were asked, one event a line.
class FakeWindowHost : public core::window::TriggerWindowHost, public core::window::TriggerEditor {
 public:
  explicit FakeWindowHost(Calls& events) : events_(events) {}
  void TriggersChanged() override { events_.push_back("triggers changed"); }
  void WriteLog(const std::string& line) override { events_.push_back("log " + line); }
  void ShowHelp(const std::string& topic) override { events_.push_back("help " + topic); }
  void EditOrCreate(EditKind kind, std::optional<int> slot) override {
    events_.push_back(std::string("edit ") + core::window::InfoOf(kind).keyword + " " +
                      (slot ? std::to_string(*slot) : "new"));
  }

 private:
  Calls& events_;
};

class TriggerListTest : public RegistryTest {
 protected:
  TriggerListTest() {
    document_.SetUpdateAllViews([this] { list_.Rebuild(); });
  }

  // A trigger of the keyword in the lowest free slot, defined in the simulator.
  void Registered(const char* keyword) {
    Variant made;
    ASSERT_HR(kOk, window_registry_.CreateTriggerByKeyword(keyword, &made));
    EXPECT_EQ(static_cast<TriggerInfo*>(made.Pointer())->Register(), 0);
  }
  core::registry::WindowHooks Hooks() {
    core::registry::WindowHooks hooks;
    // The registry refreshes the open window after every deletion, as the add-in's does.
    hooks.refresh_trigger_window = [this] {
      if (window_open_) document_.Refresh();
    };
    return hooks;
  }

  bool window_open_ = true;
  CTriggerAction window_registry_{bridge_, host_, Hooks()};
  core::window::TriggerDocument document_{window_registry_};
  FakeList rows_;
  FakeWindowHost window_host_{rows_.events};
  core::window::TriggerList list_{document_, rows_, window_host_};
};

TEST(TriggerListRules, CommandEnabling) {
  const struct {
    uint32_t command;
    int selected, triggers;
    std::optional<bool> enabled;
  } cases[] = {{54202, 0, 0, true},        {54203, 0, 0, true},  {54204, 0, 0, true},
               {54209, 0, 0, true},        {54210, 0, 0, true},  {54206, 0, 1, false},
               {54206, 0, 2, true},        {54205, 0, 5, false}, {54205, 1, 5, true},
               {54207, 0, 5, false},       {54207, 2, 5, true},  {54208, 1, 1, true},
               {54212, 0, 1, false},       {54213, 3, 3, true},  {54201, 1, 1, std::nullopt},
               {54211, 1, 1, std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(core::window::CommandEnabled(c.command, c.selected, c.triggers), c.enabled)
        << c.command << " with " << c.selected << " selected of " << c.triggers;
  }
  // The context menu's enabled items, in menu order: connect only for selected rows.
  const auto enabled = [](int selected, int triggers) {
    std::vector<uint32_t> on;
    for (const auto& item : core::window::ContextMenuStates(selected, triggers)) {
      if (item.enabled) on.push_back(item.command);
    }
    return on;
  };
  using Commands = std::vector<uint32_t>;
  const Commands kinds = {54202, 54203, 54204, 54209, 54210};
  EXPECT_EQ(enabled(0, 0), kinds);
  EXPECT_EQ(enabled(0, 5), kinds);
  EXPECT_EQ(enabled(1, 5),
            (Commands{54202, 54203, 54204, 54209, 54210, 54205, 54207, 54208, 54212, 54213}));
  EXPECT_EQ(enabled(2, 2), (Commands{54202, 54203, 54204, 54209, 54210, 54205, 54206, 54207, 54208,
                                     54212, 54213}));
  EXPECT_EQ(core::window::ContextMenuStates(0, 0).size(), 11u);
}

// The rebuild purges triggers outside the simulator, then fills the rows in slot order; a
// deletion goes from the bottom up with one box per refusal; after a save renumbers the triggers
// every command still acts on the trigger of the row the user picked.
TEST_F(TriggerListTest, RowsAndCommandsAsTheTranscriptSays) {
  for (const char* keyword : {"filestream", "ioaccess", "filestream", "filestream", "filestream",
                              "filestream", "filestream"}) {
    Registered(keyword);
  }
  const auto select = [&](std::vector<int> rows, uint32_t command) {
    return [=] {
      rows_.selected = rows;
      return list_.Execute(command) ? kOk : kFail;
    };
  };
  const auto behind_the_window = [&](int slot) {
    return [=] {
      window_open_ = false;
      const HResult hr =
          window_registry_.DeleteTrigger(document_.GetTriggerInfo(slot)->GetNameText());
      window_open_ = true;
      return hr;
    };
  };
  const Steps steps = {
      {"rebuild", [&] { return list_.Rebuild(), kOk; }},
      {"slot 2 goes behind the window's back", behind_the_window(2)},
      {"an interrupt never defined",
       [&] {
         Variant made;
         return window_registry_.CreateTriggerByKeyword("interrupt", &made);
       }},
      {"rebuild purges it", [&] { return list_.Rebuild(), kOk; }},
      {"slot 3 goes behind the window's back", behind_the_window(3)},
      {"fire row 2, gone", select({2}, 54212)},
      {"delete rows 0, 2 (gone) and 3", select({0, 2, 3}, 54205)},
      {"save", [&] { return window_registry_.SaveTriggers(); }},
      {"rebuild", [&] { return list_.Rebuild(), kOk; }},
      {"activate row 1", select({1}, 54207)},
      {"deactivate rows 0, 1", select({0, 1}, 54208)},
      {"fire rows 0, 1", select({0, 1}, 54212)},
      {"reset rows 1, 0", select({1, 0}, 54213)},
      {"delete row 0", select({0}, 54205)},
      {"no such command", select({0}, 54211)},
      {"an edit without dialogs", select({0}, 54203)},
      {"help", [&] { return list_.Help(), kOk; }},
  };
  std::string transcript;
  rows_.events.clear();
  for (const auto& [what, run] : steps) {
    const int rebuilds = list_.Rebuilds();
    transcript += Transcript({{what, run}}, window_registry_);
    for (const std::string& event : rows_.events) transcript += "  list: " + event + "\n";
    transcript += "  rebuilds " + std::to_string(list_.Rebuilds() - rebuilds) + ", rows:";
    for (size_t row = 0; row < rows_.rows.size(); ++row) {
      // Rebuilt, a row shows its trigger's columns; until then the row may be stale.
      const TriggerInfo* adapter = document_.GetTriggerInfo(rows_.slots[row]);
      transcript += " " + rows_.rows[row][0] + "@" + std::to_string(rows_.slots[row]) +
                    (adapter ? "" : " (gone)");
      const bool rebuilt = list_.Rebuilds() > rebuilds;
      for (size_t column = 0; adapter && rebuilt && column < 13; ++column) {
        EXPECT_EQ(rows_.rows[row][column], (adapter->*core::rows::ListColumns()[column])());
      }
    }
    transcript += "\n";
    rows_.events.clear();
    EXPECT_EQ(rows_.depth, 0);
  }
  test_support::ExpectGolden("core/window/golden/trigger_list.txt", transcript);
}

TEST_F(TriggerListTest, EditCommandsAndDoubleClicksGoToTheDialogs) {
  // The rows show numbers that are not their slots, as after a save.
  rows_.rows = {
      {"0", "", "", "ClearInterrupt"}, {"0", "", "", "Connect"}, {"1", "", "", "Message"}};
  rows_.slots = {4, 6, 9};
  list_.SetEditor(std::make_unique<FakeWindowHost>(rows_.events));

  rows_.selected = {0};
  list_.Execute(54202);  // the selected interrupt row is edited
  list_.Execute(54203);  // a stream is created
  rows_.selected = {0, 1};
  list_.Execute(54206);  // two rows: a connect trigger is created
  list_.DoubleClick(1);
  list_.DoubleClick(2);  // message rows have no dialog
  list_.DoubleClick(-1);
  EXPECT_EQ(rows_.events,
            (Calls{"edit interrupt 4", "edit stream new", "edit connect new", "edit connect 6"}));
  EXPECT_EQ(list_.Enabled(54205), true) << "a row is selected";
  EXPECT_EQ(list_.Enabled(54206), false) << "no triggers to connect";
}

TEST(LineTransferRules, LinesInATextAndTheirHeads) {
  using core::registry::DefinitionLinesIn;
  EXPECT_EQ(DefinitionLinesIn("No\tStatus\tName\r\n 100,ioaccess,a,1,2 \r\nTrigger7=101,sio,b\n"
                              "dear all,\n5,\n12,3\n,x,y\nx=,y\n"),
            (std::vector<std::string>{"100,ioaccess,a,1,2", "101,sio,b"}));
  const struct {
    const char* line;
    std::optional<int32_t> id;
    std::optional<std::string_view> name;
    const char* written;
  } heads[] = {
      {"100,ioaccess,a,1,2", 105, std::nullopt, "105,ioaccess,a,1,2"},
      {"100,ioaccess,a,1,2", std::nullopt, "b1", "100,ioaccess,b1,1,2"},
      {"100,connect,g", 101, "h", "101,connect,h"},
      {"100,connect", 101, "h", "101,connect"},
      {"nothing", 101, "h", "nothing"},
  };
  for (const auto& c : heads) {
    EXPECT_EQ(core::registry::ReplaceLineHead(c.line, c.id, c.name), c.written) << c.line;
  }
}

// Pasting into the project the lines came from: names that clash get counters and references
// follow them; what cannot be pasted is logged, once a line. Undo takes the paste back, and a
// deletion, whose trigger comes back into its slot; the selection follows the triggers.
TEST_F(TriggerListTest, PasteUndoAndTheSelection) {
  rows_.clipboard = "100,ioaccess,poll,50,1\r\n";
  list_.Execute(core::window::kCommandPaste);
  Registered("ioaccess");  // slot 1
  list_.Rebuild();
  rows_.selected = {0};
  list_.Execute(core::window::kCommandCopy);
  EXPECT_EQ(rows_.clipboard, "100,ioaccess,poll,50,1\r\n");
  EXPECT_EQ(rows_.clipboard_table.substr(0, 14), "No\tStatus\tName");
  TakeLog();

  rows_.clipboard =
      "copied:\r\n101,connect,group,poll\r\nTrigger0=100,ioaccess,poll,50,1\r\n"
      "102,control,stopper,STOP,group\r\n103,bogus,x\r\n104,control,lost,STOP,nobody\r\n";
  rows_.selected = {1};
  list_.Execute(core::window::kCommandPaste);
  const auto line_of = [&](int slot) {
    const TriggerInfo* adapter = document_.GetTriggerInfo(slot);
    return adapter ? adapter->GetDefinitionText() : std::string("free");
  };
  EXPECT_EQ(line_of(2), "102,connect,group,poll1");
  EXPECT_EQ(line_of(3), "103,ioaccess,poll1,50,1");
  EXPECT_EQ(line_of(4), "104,control,stopper,STOP,group");
  EXPECT_EQ(line_of(5), "free");
  Calls logged;
  for (const std::string& event : rows_.events) {
    if (event.rfind("log ", 0) == 0) logged.push_back(event);
  }
  EXPECT_EQ(logged,
            (Calls{"log Trigger add-in: line \"103,bogus,x\" not pasted: unknown trigger kind "
                   "\"bogus\"",
                   "log Trigger add-in: line \"104,control,lost,STOP,nobody\" not pasted: Target: "
                   "no trigger is named \"nobody\""}));
  EXPECT_EQ(rows_.selected, (std::vector<int>{2, 3, 4})) << "the pasted rows";

  list_.Execute(core::window::kCommandUndo);
  EXPECT_EQ(window_registry_.Count(), 2);
  EXPECT_FALSE(list_.CanUndo());

  // The selected trigger in slot 1 stays selected when the trigger above it goes.
  rows_.selected = {1};
  rows_.focused = 1;
  window_registry_.DeleteSlot(0);
  EXPECT_EQ(rows_.selected, (std::vector<int>{0}));
  EXPECT_EQ(rows_.focused, 0);
  rows_.clipboard = "100,ioaccess,poll,50,1\r\n";
  list_.Execute(core::window::kCommandPaste);  // into slot 0
  rows_.selected = {0, 1};
  list_.Execute(core::window::kCommandDelete);
  EXPECT_EQ(window_registry_.Count(), 0);
  list_.Execute(core::window::kCommandUndo);
  EXPECT_EQ(line_of(0), "100,ioaccess,poll,50,1");
  EXPECT_EQ(line_of(1), "101,ioaccess,ioaccess,0,0");
  EXPECT_EQ(rows_.selected, (std::vector<int>{0, 1}));

  // An edit in a dialog is taken back to the line the trigger had before it.
  struct Renamer : core::window::TriggerEditor {
    core::window::TriggerDocument& document;
    explicit Renamer(core::window::TriggerDocument& d) : document(d) {}
    void EditOrCreate(EditKind, std::optional<int> slot) override {
      document.GetTriggerInfo(*slot)->SetName("renamed");
      document.Refresh();
    }
  };
  list_.SetEditor(std::make_unique<Renamer>(document_));
  list_.DoubleClick(0);  // an I/O access row: no dialog, nothing to undo
  EXPECT_FALSE(list_.CanUndo());
  rows_.rows[1][3] = "Control";  // the dialog of a kind that has one
  list_.DoubleClick(1);
  EXPECT_EQ(line_of(1), "101,ioaccess,renamed,0,0");
  list_.Execute(core::window::kCommandUndo);
  EXPECT_EQ(line_of(1), "101,ioaccess,ioaccess,0,0");
}

}  // namespace
}  // namespace registry_test
