// How the add-in registers its command with its host when it is connected. It adds the bitmaps
// of the command (on the first connection only), the command itself, a sub-menu, a menu entry
// and a toolbar button, in that order, with the texts and bitmaps of the resource library. The
// host calls are a port; win/host makes them through the host application's DISPIDs 8, 7, 15, 12
// and 25.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace core::addin {

// The resource identifiers the registration names (win/resources/resource_ids.h).
struct CommandResources {
  uint32_t command_name;     // string: the command's name
  uint32_t submenu_caption;  // string: the sub-menu's caption
  uint32_t submenu_entry;    // string: a menu entry name, handed with the sub-menu
  uint32_t menu_entry;       // string: the menu entry of the command
  uint32_t large_bitmap;
  uint32_t small_bitmap;
};

// An empty popup menu, destroyed with this object.
class PopupMenu {
 public:
  virtual ~PopupMenu() = default;
};

// The host calls of the registration. Each answers whether the host reported success.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // A string of the resource library; empty when it has none of that identifier.
  virtual std::string ResourceString(uint32_t id) = 0;
  // Null when no menu can be made.
  virtual std::unique_ptr<PopupMenu> CreatePopupMenu() = 0;

  // The resource module is the platform's own argument of this call.
  virtual bool AddCommandImages(uint32_t large_bitmap, uint32_t small_bitmap, int32_t* image_index,
                                int32_t flags, int32_t cookie) = 0;
  virtual bool AddCommand(const std::string& name, int32_t command, int32_t flags,
                          int32_t cookie) = 0;
  virtual bool AddPopupMenu(const std::string& name, int32_t position, int32_t flags,
                            const PopupMenu& popup, const std::string& caption, int32_t cookie) = 0;
  virtual bool AddMenuItem(const std::string& name, int32_t position, int32_t flags,
                           int32_t command, int32_t enabled, int32_t cookie) = 0;
  virtual bool AddToolbarButton(const std::string& name, int32_t* image_index, int32_t flags,
                                int32_t cookie) = 0;
};

// Runs the registration; it stops at the first call the host refuses. `image_index` is the
// image slot the host hands out with the bitmaps; it is kept by the caller across connections,
// since a later connection registers no bitmaps but still names the slot for its button.
// Returns the name of the refused call ("AddMenuItem", or "CreatePopupMenu" when no menu could
// be made), empty when the host took every call.
std::string RegisterCommand(CommandHost& host, const CommandResources& resources, bool first_time,
                            int32_t cookie, int32_t* image_index);

}  // namespace core::addin
