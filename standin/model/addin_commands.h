// What add-ins registered for the host's menu bar and toolbar: their commands, their sub-menus
// with the entries in them, and their toolbar buttons, each under the cookie of the connection
// that registered it. The IDE window builds its add-in menus and buttons from this table and
// routes their commands back to the add-in; a connection's registrations go when it ends.
//
// How the host reads the registration calls:
// - AddPopupMenu(name, position, flags, popup, caption): a sub-menu on the menu bar, titled with
//   the name, holding the entries of the popup menu it was handed; the caption describes it in
//   the status bar. With kByPosition in the flags, the position counts among the add-in
//   sub-menus already there; otherwise the sub-menu goes after them.
// - AddMenuItem(name, position, flags, command, enabled): an entry in the connection's last
//   sub-menu on the menu bar (in an "Add-ins" sub-menu of its own when it registered none). With
//   kByPosition the position is an index into the sub-menu, otherwise it is the command of the
//   entry to go in front of; the entry goes last when there is no such place. `enabled` is the
//   state of the entry when the status query of the add-in leaves it alone.
// - AddToolbarButton(name, image): a button showing the image slot, running the command the
//   connection registered last with AddCommand; the name is its tooltip.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace standin::model {

// The menu flag that makes a position an index.
inline constexpr int32_t kByPosition = 0x400;

// Command ids the host keeps for itself: its own menu commands, and the Window menu's entries
// for the MDI children from kFirstChildWindowCommand up. A menu or toolbar command is 16 bits.
inline constexpr int32_t kFirstHostCommand = 40000;
inline constexpr int32_t kLastHostCommand = 40999;
inline constexpr int32_t kFirstChildWindowCommand = 0xFF00;
inline constexpr int32_t kLastMenuCommand = 0xFFFF;

// The title of the sub-menu that takes the entries of an add-in that registered no sub-menu.
inline constexpr char kStrayEntriesMenu[] = "Add-ins";

struct MenuEntry {
  std::string name;     // empty for a separator
  int32_t command = 0;  // 0 for a separator
  bool enabled = true;
};

struct AddinPopup {
  int32_t cookie = 0;
  std::string name;
  std::string caption;
  std::vector<MenuEntry> entries;
};

struct ToolbarButton {
  int32_t cookie = 0;
  std::string name;
  int32_t image = 0;
  int32_t command = 0;
};

// What the host has to say about a registration call, one line for its log each.
using Notes = std::vector<std::string>;

struct AddinCommand {
  int32_t cookie = 0;
  std::string name;
  int32_t command = 0;
};

class AddinCommands {
 public:
  // What can be registered is, even when there is something to say about it; an entry or
  // button whose command no menu can carry is not.
  Notes AddCommand(int32_t cookie, const std::string& name, int32_t command);
  Notes AddPopupMenu(int32_t cookie, const std::string& name, int32_t position, int32_t flags,
                     const std::string& caption, std::vector<MenuEntry> entries);
  Notes AddMenuItem(int32_t cookie, const std::string& name, int32_t position, int32_t flags,
                    int32_t command, bool enabled);
  Notes AddToolbarButton(int32_t cookie, const std::string& name, int32_t image);
  // Withdraws everything the connection registered.
  void Remove(int32_t cookie);

  // Menu-bar order.
  const std::vector<AddinPopup>& popups() const { return popups_; }
  // Toolbar order.
  const std::vector<ToolbarButton>& buttons() const { return buttons_; }
  // The registered command, null when no connection registered it.
  const AddinCommand* FindCommand(int32_t command) const;
  // Whether a menu entry or a toolbar button carries the command.
  bool Offers(int32_t command) const;

  // Counts the changes, so that a window can tell whether what it shows is still current.
  uint64_t revision() const { return revision_; }
  // Told after every change.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  // Empty when a menu entry or toolbar button can carry the command, else why not.
  static std::string Unroutable(int32_t command);
  void Changed() {
    ++revision_;
    if (listener_) listener_();
  }

  std::vector<AddinCommand> commands_;
  std::vector<AddinPopup> popups_;
  std::vector<ToolbarButton> buttons_;
  uint64_t revision_ = 0;
  std::function<void()> listener_;
};

}  // namespace standin::model
