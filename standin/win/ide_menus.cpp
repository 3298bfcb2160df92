// The IDE window's menus and buttons: the add-in's sub-menus and buttons as it registered them,
// their states when a menu opens, and the prompts of menu entries and buttons.
#include "core/automation/strings.h"
#include "standin/win/ide_frame.h"
#include "standin/win/ide_ids.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using core::automation::Format;
using ::win::comkit::ToNarrow;
using ::win::comkit::ToWide;
using ::win::ui::ToolBar;

// A menu entry's text as a tooltip: no mnemonic, no shortcut, no ellipsis.
std::wstring PlainMenuText(HMENU menu, LONG command) {
  wchar_t text[128] = L"";
  GetMenuStringW(menu, static_cast<UINT>(command), text, ARRAYSIZE(text), MF_BYCOMMAND);
  std::wstring plain;
  for (const wchar_t* c = text; *c != L'\0' && *c != L'\t'; ++c) {
    if (*c != L'&') plain += *c;
  }
  while (!plain.empty() && plain.back() == L'.') plain.pop_back();
  return plain;
}

int MenuPosition(HMENU bar, HMENU popup) {
  const int count = GetMenuItemCount(bar);
  for (int i = 0; i < count; ++i) {
    if (GetSubMenu(bar, i) == popup) return i;
  }
  return -1;
}

}  // namespace

void IdeFrame::RebuildAddinCommands() {
  const model::AddinCommands& table = session_->addin_commands();
  shown_revision_ = table.revision();

  // Sub-menus, between Debug and Window.
  for (const auto& [menu, popup] : addin_menus_) {
    const int position = MenuPosition(menu_bar_, menu);
    if (position >= 0) RemoveMenu(menu_bar_, static_cast<UINT>(position), MF_BYPOSITION);
    DestroyMenu(menu);
  }
  addin_menus_.clear();
  int at = MenuPosition(menu_bar_, window_menu_);
  for (const model::AddinPopup& popup : table.popups()) {
    HMENU menu = CreatePopupMenu();
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == 0) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        const std::string name =
            entry.name.empty() ? Format("Command %d", entry.command) : entry.name;
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.command), ToWide(name).c_str());
      }
    }
    const std::string title = popup.name.empty() ? "Add-in" : popup.name;
    InsertMenuW(menu_bar_, static_cast<UINT>(at++), MF_BYPOSITION | MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(menu), ToWide(title).c_str());
    addin_menus_.emplace_back(menu, popup);
  }
  if (GetMenu(hwnd()) == menu_bar_) DrawMenuBar(hwnd());

  // Buttons, after the host's.
  addin_buttons_ = table.buttons();
  std::vector<ToolBar::Button> buttons;
  for (const model::ToolbarButton& button : addin_buttons_) {
    buttons.push_back(
        {static_cast<uint32_t>(button.command), images_->Small(button.image),
         ToWide(button.name.empty() ? Format("Command %d", button.command) : button.name)});
  }
  toolbar_.SetRunTimeButtons(buttons);
  Layout();
}

// ---- Menus and tooltips ----

void IdeFrame::OnInitMenuPopup(HMENU menu) {
  for (const auto& [addin_menu, popup] : addin_menus_) {
    if (addin_menu != menu) continue;
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == 0) continue;
      const bool enabled = AddinCommandEnabled(entry.command, entry.enabled);
      EnableMenuItem(menu, static_cast<UINT>(entry.command),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    return;
  }
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const LONG command = static_cast<LONG>(GetMenuItemID(menu, i));
    if (!IsHostCommand(command)) continue;
    EnableMenuItem(menu, static_cast<UINT>(i),
                   MF_BYPOSITION | (HostCommandEnabled(command) ? MF_ENABLED : MF_GRAYED));
  }
}

// The status bar explains the highlighted menu entry.
void IdeFrame::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
  if (flags == 0xFFFF && menu == nullptr) {
    SetStatus("Ready");
    return;
  }
  std::string text;
  if (flags & MF_POPUP) {
    HMENU popup = GetSubMenu(menu, static_cast<int>(item));
    for (const auto& [addin_menu, entry] : addin_menus_) {
      if (addin_menu == popup) text = entry.caption;
    }
  } else if (IsHostCommand(static_cast<LONG>(item))) {
    text = ToNarrow(ResourceText(item));
  } else if (const model::AddinCommand* command =
                 session_->addin_commands().FindCommand(static_cast<LONG>(item))) {
    text = command->name;
  } else if (static_cast<LONG>(item) >= model::kFirstChildWindowCommand) {
    text = "Activates this window";
  }
  SetStatus(text);
}

LRESULT IdeFrame::OnNotify(NMHDR* header) {
  if (header->code != TTN_GETDISPINFOW) {
    return Default(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
  }
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const LONG command = static_cast<LONG>(header->idFrom);
  tooltip_.clear();
  if (IsHostCommand(command)) {
    tooltip_ = PlainMenuText(menu_bar_, command);
  } else {
    for (const model::ToolbarButton& button : addin_buttons_) {
      if (button.command == command) tooltip_ = ToWide(button.name);
    }
  }
  info->lpszText = tooltip_.data();
  info->hinst = nullptr;
  return 0;
}

}  // namespace standin::win
