// The add-ins' menus and buttons as the host builds them from the registration calls: where
// sub-menus and entries go, which command a button runs, what is left out and what the host
// notes, and what goes when a connection ends.
#include "standin/model/addin_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace standin_test {
namespace {

using standin::model::AddinCommands;
using standin::model::AddinPopup;
using standin::model::MenuEntry;
using standin::model::Notes;
using standin::model::ToolbarButton;

constexpr int32_t kByPosition = standin::model::kByPosition;

// The menu bar's add-in part and the toolbar's, one line each:
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
  const char* layout;
  Notes notes;
};

// Runs the calls and gathers their notes.
Notes All(std::initializer_list<Notes> notes) {
  Notes all;
  for (const Notes& n : notes) all.insert(all.end(), n.begin(), n.end());
  return all;
}

TEST(AddinCommandsTest, RegistrationCallsBuildTheMenusAndButtons) {
  const Case cases[] = {
      {"the add-in's own sequence",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "Trigger Window", 54201),
                     t.AddPopupMenu(1, "Triggers", 0, 1024, "Simulator Triggers", {}),
                     t.AddMenuItem(1, "&Trigger Window", 0, 1024, 54201, true),
                     t.AddToolbarButton(1, "Triggers", 40)});
       },
       "Triggers [Simulator Triggers] #1: &Trigger Window=54201\n"
       "button Triggers #1: image 40 runs 54201\n",
       {}},
      {"the handed popup's entries are kept; an index counts within the sub-menu",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "a", 100), t.AddCommand(1, "b", 101),
                     t.AddCommand(1, "c", 102),
                     t.AddPopupMenu(1, "P", 0, 0, "", {{"Own", 103}, {"", 0}}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true),
                     t.AddMenuItem(1, "B", 1, kByPosition, 101, false),
                     t.AddMenuItem(1, "C", 99, kByPosition, 102, true)});
       },
       "P [] #1: A=100, B=101 (disabled), Own=103, -, C=102\n",
       {}},
      {"without the index flag the position is the command to go in front of",
       [](AddinCommands& t) {
         return All(
             {t.AddCommand(1, "a", 100), t.AddCommand(1, "b", 101), t.AddCommand(1, "c", 102),
              t.AddPopupMenu(1, "P", 0, 0, "", {}), t.AddMenuItem(1, "A", 0, 0, 100, true),
              t.AddMenuItem(1, "B", 100, 0, 101, true), t.AddMenuItem(1, "C", 555, 0, 102, true)});
       },
       "P [] #1: B=101, A=100, C=102\n",
       {"AddMenuItem: no entry with command 0 to go in front of; \"A\" goes last",
        "AddMenuItem: no entry with command 555 to go in front of; \"C\" goes last"}},
      {"sub-menus: an index among the add-in sub-menus, else after them; entries go to the last",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "a", 100), t.AddPopupMenu(1, "First", 0, 0, "", {}),
                     t.AddPopupMenu(1, "Last", 0, 0, "", {}),
                     t.AddPopupMenu(1, "Front", 0, kByPosition, "", {}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true)});
       },
       "Front [] #1:\nFirst [] #1:\nLast [] #1: A=100\n",
       {}},
      {"an entry without a sub-menu of its connection goes into an Add-ins menu",
       [](AddinCommands& t) {
         return All({t.AddCommand(2, "a", 100), t.AddPopupMenu(1, "Other's", 0, 0, "", {}),
                     t.AddMenuItem(2, "A", 0, kByPosition, 100, true),
                     t.AddMenuItem(2, "A2", 1, kByPosition, 100, true)});
       },
       "Other's [] #1:\nAdd-ins [] #2: A=100, A2=100\n",
       {"AddMenuItem: the add-in registered no sub-menu; \"A\" goes into the Add-ins menu"}},
      {"an entry for a command the connection did not register is kept and noted",
       [](AddinCommands& t) {
         return All({t.AddCommand(2, "a", 100), t.AddPopupMenu(1, "P", 0, 0, "", {}),
                     t.AddMenuItem(1, "A", 0, kByPosition, 100, true)});
       },
       "P [] #1: A=100\n",
       {"AddMenuItem: command 100 of \"A\" was not registered with AddCommand"}},
      {"commands no menu can carry: noted, and their entries and buttons left out",
       [](AddinCommands& t) {
         return All({t.AddCommand(1, "far", 70000),
                     t.AddPopupMenu(1, "P", 0, 0, "",
                                    {{"Host's", 40001}, {"Child's", 0xFF00}, {"Fine", 500}}),
                     t.AddMenuItem(1, "Zero", 0, kByPosition, 0, true),
                     t.AddToolbarButton(1, "Far", 40)});
       },
       "P [] #1: Fine=500\n",
       {"AddCommand: command 70000 is not a 16-bit menu command; no menu entry or button can run "
        "it",
        "AddPopupMenu: entries left out of \"P\": \"Host's\" (command 40001 is one of the host's "
        "own), \"Child's\" (command 65280 is one of the host's own)",
        "AddMenuItem: \"Zero\" is left out: command 0 is not a 16-bit menu command",
        "AddToolbarButton: the button \"Far\" is left out: command 70000 is not a 16-bit menu "
        "command"}},
      {"a button runs the connection's latest command; without one it is left out",
       [](AddinCommands& t) {
         return All({t.AddToolbarButton(1, "Early", 40), t.AddCommand(1, "a", 100),
                     t.AddCommand(2, "b", 200), t.AddCommand(1, "c", 101),
                     t.AddToolbarButton(1, "One", 40), t.AddToolbarButton(2, "Two", 41)});
       },
       "button One #1: image 40 runs 101\nbutton Two #2: image 41 runs 200\n",
       {"AddToolbarButton: the add-in registered no command for the button \"Early\"; it is left "
        "out"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AddinCommands table;
    EXPECT_EQ(c.calls(table), c.notes);
    EXPECT_EQ(Layout(table), c.layout);
  }
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
