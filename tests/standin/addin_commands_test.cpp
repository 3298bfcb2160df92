// The add-ins' menus and buttons as the host builds them from the registration calls: where
// sub-menus and entries go, which command a button runs, what is left out and what the host
// notes (against a golden file), and what goes when a connection ends.
#include "standin/model/addin_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/core/test_support.h"

namespace standin_test {
namespace {

using standin::model::AddinCommands;
using standin::model::AddinPopup;
using standin::model::MenuEntry;
using standin::model::Notes;
using standin::model::ToolbarButton;

constexpr int32_t kByPosition = standin::model::kByPosition;

// The add-in part of the menu bar and that of the toolbar, one line each:
// "Triggers [Simulator Triggers] #1: &Trigger Window=54201, -, Other=54202 (disabled)"
// "button Triggers #1: image 40 runs 54201"
std::string Layout(const AddinCommands& table) {
  std::string text;
  for (const AddinPopup& popup : table.popups()) {
    text += popup.name + " [" + popup.caption + "] #" + std::to_string(popup.cookie) + ":";
    const char* separator = " ";
    for (const MenuEntry& entry : popup.entries) {
      text += separator;
      separator = ", ";
      if (entry.command == 0) {
        text += "-";
        continue;
      }
      text += entry.name + "=" + std::to_string(entry.command);
      if (!entry.enabled) text += " (disabled)";
    }
    text += "\n";
  }
  for (const ToolbarButton& button : table.buttons()) {
    text += "button " + button.name + " #" + std::to_string(button.cookie) + ": image " +
            std::to_string(button.image) + " runs " + std::to_string(button.command) + "\n";
  }
  return text;
}

struct Case {
  const char* what;
  std::function<Notes(AddinCommands&)> calls;  // returns every note, in order
};

// Runs the calls and gathers their notes.
Notes All(std::initializer_list<Notes> notes) {
  Notes all;
  for (const Notes& n : notes) all.insert(all.end(), n.begin(), n.end());
  return all;
}

// Commands "a", "b" and "c" (100, 101, 102) of connection 1.
Notes Abc(AddinCommands& t) {
  return All({t.AddCommand(1, "a", 100), t.AddCommand(1, "b", 101), t.AddCommand(1, "c", 102)});
}

TEST(AddinCommandsTest, RegistrationCallsBuildTheMenusAndButtonsAsTheTranscriptSays) {
  // clang-format off
  const Case cases[] = {
      {"the add-in's own sequence", [](AddinCommands& t) {
         return All({t.AddCommand(1, "Trigger Window", 54201),
                     t.AddPopupMenu(1, "Triggers", 0, 1024, "Simulator Triggers", {}),
                     t.AddMenuItem(1, "&Trigger Window", 0, 1024, 54201, true),
                     t.AddToolbarButton(1, "Triggers", 40)}); }},
      {"the handed popup's entries are kept; an index counts within the sub-menu",
       [](AddinCommands& t) {
         return All({Abc(t), t.AddPopupMenu(1, "P", 0, 0, "", {{"Own", 103}, {"", 0}}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true),
                     t.AddMenuItem(1, "B", 1, kByPosition, 101, false),
                     t.AddMenuItem(1, "C", 99, kByPosition, 102, true)}); }},
      {"without the index flag the position is the command to go in front of",
       [](AddinCommands& t) {
         return All({Abc(t), t.AddPopupMenu(1, "P", 0, 0, "", {}),
                     t.AddMenuItem(1, "A", 0, 0, 100, true),
                     t.AddMenuItem(1, "B", 100, 0, 101, true),
                     t.AddMenuItem(1, "C", 555, 0, 102, true)}); }},
      {"sub-menus: an index among the add-in sub-menus, else after them; entries go to the last",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "a", 100), t.AddPopupMenu(1, "First", 0, 0, "", {}),
                     t.AddPopupMenu(1, "Last", 0, 0, "", {}),
                     t.AddPopupMenu(1, "Front", 0, kByPosition, "", {}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true)}); }},
      {"an entry without a sub-menu of its connection goes into an Add-ins menu",
       [](AddinCommands& t) {
         return All({t.AddCommand(2, "a", 100), t.AddPopupMenu(1, "Other's", 0, 0, "", {}),
                     t.AddMenuItem(2, "A", 0, kByPosition, 100, true),
                     t.AddMenuItem(2, "A2", 1, kByPosition, 100, true)}); }},
      {"an entry for a command the connection did not register is kept and noted",
       [](AddinCommands& t) {
         return All({t.AddCommand(2, "a", 100), t.AddPopupMenu(1, "P", 0, 0, "", {}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true)}); }},
      {"commands no menu can carry: noted, and their entries and buttons left out",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "far", 70000),
                     t.AddPopupMenu(1, "P", 0, 0, "", {{"Host's", 40001}, {"Child's", 0xFF00},
                                                        {"Fine", 500}}),
                     t.AddMenuItem(1, "Zero", 0, kByPosition, 0, true),
                     t.AddToolbarButton(1, "Far", 40)}); }},
      {"a button runs the connection's latest command; without one it is left out",
       [](AddinCommands& t) {
         return All({t.AddToolbarButton(1, "Early", 40), t.AddCommand(1, "a", 100),
                     t.AddCommand(2, "b", 200), t.AddCommand(1, "c", 101),
                     t.AddToolbarButton(1, "One", 40), t.AddToolbarButton(2, "Two", 41)}); }},
  };
  // clang-format on
  std::string transcript;
  for (const Case& c : cases) {
    AddinCommands table;
    transcript += std::string(c.what) + "\n";
    for (const std::string& note : c.calls(table)) transcript += "  note: " + note + "\n";
    transcript += Layout(table);
  }
  test_support::ExpectGolden("standin/golden/addin_commands.txt", transcript);
}

TEST(AddinCommandsTest, AConnectionsRegistrationsGoWithIt) {
  AddinCommands table;
  int changes = 0;
  table.SetListener([&] { ++changes; });
  table.AddCommand(1, "one", 100);
  table.AddPopupMenu(1, "One", 0, 0, "", {});
  table.AddMenuItem(1, "One", 0, kByPosition, 100, true);
  table.AddToolbarButton(1, "One", 40);
  table.AddCommand(2, "two", 200);
  table.AddMenuItem(2, "Two", 0, kByPosition, 200, true);
  EXPECT_EQ(changes, 6);
  EXPECT_TRUE(table.Offers(100));
  EXPECT_TRUE(table.Offers(200));
  EXPECT_FALSE(table.Offers(300));
  ASSERT_NE(table.FindCommand(100), nullptr);
  EXPECT_EQ(table.FindCommand(100)->name, "one");

  table.Remove(1);
  EXPECT_EQ(changes, 7);
  EXPECT_EQ(Layout(table), "Add-ins [] #2: Two=200\n");
  EXPECT_FALSE(table.Offers(100));
  EXPECT_EQ(table.FindCommand(100), nullptr);
  table.Remove(1);  // nothing left of it: no change to tell
  EXPECT_EQ(changes, 7);
}

}  // namespace
}  // namespace standin_test
