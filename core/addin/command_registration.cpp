// The command registration.
#include "core/addin/command_registration.h"

#include "core/addin/command_target.h"

namespace core::addin {
namespace {

// Arguments the host expects with every registration.
constexpr int32_t kFlags = 1;
constexpr int32_t kMenuPosition = 0;
constexpr int32_t kMenuFlags = 1024;
constexpr int32_t kEnabled = 1;

}  // namespace

std::string RegisterCommand(CommandHost& host, const CommandResources& resources, bool first_time,
                            int32_t cookie, int32_t* image_index) {
  if (first_time && !host.AddCommandImages(resources.large_bitmap, resources.small_bitmap,
                                           image_index, kFlags, cookie)) {
    return "AddCommandImages";
  }
  if (!host.AddCommand(host.ResourceString(resources.command_name), kTriggerCommand, kFlags,
                       cookie)) {
    return "AddCommand";
  }
  {
    // The sub-menu is named by its caption string and handed the entry string as its caption
    // argument, and the toolbar button below is named by the caption string as well: hosts have
    // always been called with these, whatever the names of the strings suggest.
    const std::unique_ptr<PopupMenu> popup = host.CreatePopupMenu();
    if (!popup) return "CreatePopupMenu";
    const std::string caption = host.ResourceString(resources.submenu_caption);
    const std::string entry = host.ResourceString(resources.submenu_entry);
    if (!host.AddPopupMenu(caption, kMenuPosition, kMenuFlags, *popup, entry, cookie)) {
      return "AddPopupMenu";
    }
  }  // the popup menu is destroyed here, and on every earlier way out of the block
  if (!host.AddMenuItem(host.ResourceString(resources.menu_entry), kMenuPosition, kMenuFlags,
                        kTriggerCommand, kEnabled, cookie)) {
    return "AddMenuItem";
  }
  if (!host.AddToolbarButton(host.ResourceString(resources.submenu_caption), image_index, kFlags,
                             cookie)) {
    return "AddToolbarButton";
  }
  return std::string();
}

}  // namespace core::addin
