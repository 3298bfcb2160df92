// The add-ins' menus and buttons.
#include "standin/model/addin_commands.h"

#include <algorithm>

#include "core/automation/strings.h"

namespace standin::model {
namespace {

using core::automation::Format;

// The place `position` names in a list of `count` when it counts by index: anything outside the
// list (such as -1) means after the last.
size_t IndexFor(int32_t position, size_t count) {
  return position < 0 || static_cast<size_t>(position) > count ? count
                                                               : static_cast<size_t>(position);
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

}  // namespace

std::string AddinCommands::Unroutable(int32_t command) {
  if (command < 1 || command > kLastMenuCommand) {
    return Format("command %d is not a 16-bit menu command", command);
  }
  if ((command >= kFirstHostCommand && command <= kLastHostCommand) ||
      command >= kFirstChildWindowCommand) {
    return Format("command %d is one of the host's own", command);
  }
  return std::string();
}

Notes AddinCommands::AddCommand(int32_t cookie, const std::string& name, int32_t command) {
  commands_.push_back({cookie, name, command});
  Changed();
  const std::string problem = Unroutable(command);
  if (problem.empty()) return {};
  return {"AddCommand: " + problem + "; no menu entry or button can run it"};
}

Notes AddinCommands::AddPopupMenu(int32_t cookie, const std::string& name, int32_t position,
                                  int32_t flags, const std::string& caption,
                                  std::vector<MenuEntry> entries) {
  std::string left_out;
  auto unroutable = [&](const MenuEntry& entry) {
    if (entry.command == 0 && entry.name.empty()) return false;  // a separator
    const std::string problem = Unroutable(entry.command);
    if (problem.empty()) return false;
    left_out += (left_out.empty() ? "" : ", ") + Quoted(entry.name) + " (" + problem + ")";
    return true;
  };
  entries.erase(std::remove_if(entries.begin(), entries.end(), unroutable), entries.end());

  const size_t at = (flags & kByPosition) ? IndexFor(position, popups_.size()) : popups_.size();
  popups_.insert(popups_.begin() + static_cast<std::ptrdiff_t>(at),
                 {cookie, name, caption, std::move(entries)});
  Changed();
  if (left_out.empty()) return {};
  return {"AddPopupMenu: entries left out of " + Quoted(name) + ": " + left_out};
}

Notes AddinCommands::AddMenuItem(int32_t cookie, const std::string& name, int32_t position,
                                 int32_t flags, int32_t command, bool enabled) {
  const std::string problem = Unroutable(command);
  if (!problem.empty()) return {"AddMenuItem: " + Quoted(name) + " is left out: " + problem};

  Notes notes;
  const bool registered = std::any_of(
      commands_.begin(), commands_.end(),
      [&](const AddinCommand& c) { return c.cookie == cookie && c.command == command; });
  if (!registered) {
    notes.push_back(Format("AddMenuItem: command %d of ", command) + Quoted(name) +
                    " was not registered with AddCommand");
  }

  // The connection's last sub-menu on the menu bar.
  auto popup = std::find_if(popups_.rbegin(), popups_.rend(),
                            [&](const AddinPopup& p) { return p.cookie == cookie; });
  if (popup == popups_.rend()) {
    notes.push_back("AddMenuItem: the add-in registered no sub-menu; " + Quoted(name) +
                    " goes into the " + kStrayEntriesMenu + " menu");
    popups_.push_back({cookie, kStrayEntriesMenu, std::string(), {}});
    popup = popups_.rbegin();
  }

  std::vector<MenuEntry>& entries = popup->entries;
  size_t at = entries.size();
  if (flags & kByPosition) {
    at = IndexFor(position, entries.size());
  } else {
    const auto before = std::find_if(entries.begin(), entries.end(),
                                     [&](const MenuEntry& e) { return e.command == position; });
    at = static_cast<size_t>(before - entries.begin());
    if (before == entries.end()) {
      notes.push_back(
          Format("AddMenuItem: no entry with command %d to go in front of; ", position) +
          Quoted(name) + " goes last");
    }
  }
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), {name, command, enabled});
  Changed();
  return notes;
}

Notes AddinCommands::AddToolbarButton(int32_t cookie, const std::string& name, int32_t image) {
  const auto command = std::find_if(commands_.rbegin(), commands_.rend(),
                                    [&](const AddinCommand& c) { return c.cookie == cookie; });
  if (command == commands_.rend()) {
    return {"AddToolbarButton: the add-in registered no command for the button " + Quoted(name) +
            "; it is left out"};
  }
  const std::string problem = Unroutable(command->command);
  if (!problem.empty()) {
    return {"AddToolbarButton: the button " + Quoted(name) + " is left out: " + problem};
  }
  buttons_.push_back({cookie, name, image, command->command});
  Changed();
  return {};
}

void AddinCommands::Remove(int32_t cookie) {
  auto of_cookie = [cookie](const auto& item) { return item.cookie == cookie; };
  const size_t before = commands_.size() + popups_.size() + buttons_.size();
  commands_.erase(std::remove_if(commands_.begin(), commands_.end(), of_cookie), commands_.end());
  popups_.erase(std::remove_if(popups_.begin(), popups_.end(), of_cookie), popups_.end());
  buttons_.erase(std::remove_if(buttons_.begin(), buttons_.end(), of_cookie), buttons_.end());
  if (commands_.size() + popups_.size() + buttons_.size() != before) Changed();
}

const AddinCommand* AddinCommands::FindCommand(int32_t command) const {
  const auto found = std::find_if(commands_.rbegin(), commands_.rend(),
                                  [&](const AddinCommand& c) { return c.command == command; });
  return found == commands_.rend() ? nullptr : &*found;
}

bool AddinCommands::Offers(int32_t command) const {
  if (command == 0) return false;
  for (const AddinPopup& popup : popups_) {
    for (const MenuEntry& entry : popup.entries) {
      if (entry.command == command) return true;
    }
  }
  return std::any_of(buttons_.begin(), buttons_.end(),
                     [&](const ToolbarButton& b) { return b.command == command; });
}

}  // namespace standin::model
