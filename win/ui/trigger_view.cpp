// The trigger window's list view.
#include "win/ui/trigger_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "win/comkit/module.h"
#include "win/resources/resource_ids.h"
#include "win/ui/framework/handles.h"
#include "win/ui/framework/mdi_child_frame.h"
#include "win/ui/trigger_doc.h"

namespace win::ui {
namespace {

namespace cw = core::window;

static_assert(
    cw::kCommandInterrupt == ID_TRIGGER_INTERRUPT && cw::kCommandStream == ID_TRIGGER_STREAM &&
        cw::kCommandTransfer == ID_TRIGGER_TRANSFER && cw::kCommandDelete == ID_TRIGGER_DELETE &&
        cw::kCommandConnect == ID_TRIGGER_CONNECT && cw::kCommandActivate == ID_TRIGGER_ACTIVATE &&
        cw::kCommandDeactivate == ID_TRIGGER_DEACTIVATE &&
        cw::kCommandIOStream == ID_TRIGGER_IOSTREAM && cw::kCommandControl == ID_TRIGGER_CONTROL &&
        cw::kCommandFire == ID_TRIGGER_FIRE && cw::kCommandReset == ID_TRIGGER_RESET &&
        cw::kCommandCopy == ID_EDIT_COPY && cw::kCommandPaste == ID_EDIT_PASTE &&
        cw::kCommandUndo == ID_EDIT_UNDO,
    "the resources name the window's commands by these numbers");

constexpr size_t kTextLimit = 260;
constexpr char kDeleteRefused[] = "Can not delete TriggerAction associated with event";
constexpr char kDeleteRefusedCaption[] = "TriggerAction Error";

// The clipboard format of copied triggers: their definition lines, as ANSI text.
UINT LinesFormat() {
  static const UINT format = RegisterClipboardFormatW(L"Trigger Definition Lines");
  return format;
}

// Another program may hold the clipboard for a moment.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

// Puts an ANSI text on the open clipboard under the format.
void PutText(UINT format, const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr) return;
  if (void* at = GlobalLock(memory)) {
    memcpy(at, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory) != nullptr) return;  // the clipboard owns it now
  }
  GlobalFree(memory);
}

// The text the open clipboard holds under the format, up to its first NUL.
std::string TakeText(UINT format) {
  HANDLE memory = GetClipboardData(format);
  if (memory == nullptr) return {};
  const char* at = static_cast<const char*>(GlobalLock(memory));
  if (at == nullptr) return {};
  const std::string text(at, strnlen(at, GlobalSize(memory)));
  GlobalUnlock(memory);
  return text;
}

}  // namespace

TriggerView::TriggerView(TriggerDoc& document, TriggerFrameHost& host, EditorFactory make_editor)
    : document_(document),
      host_(host),
      make_editor_(std::move(make_editor)),
      list_(document.Triggers(), *this, host) {}

bool TriggerView::Create(MDIChildFrame& frame, UINT id) {
  if (!CListViewEx::Create(frame, id)) return false;
  if (make_editor_) list_.SetEditor(make_editor_(document_.Triggers(), hwnd()));
  return true;
}

void TriggerView::OnInitialUpdate() {
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  const auto& columns = cw::TriggerListColumns();
  const cw::ColumnWidths widths = InitialColumnWidths();
  for (size_t index = 0; index < columns.size(); ++index) {
    std::string header = win::comkit::LoadResourceString(win::comkit::ResourceInstance(),
                                                         columns[index].header_string);
    if (header.size() > kTextLimit) header.resize(kTextLimit);
    column.cx = widths[index];
    column.pszText = header.data();
    column.iSubItem = static_cast<int>(index);
    SendMessageW(hwnd(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
  }
  OnUpdate(nullptr, 0);
}

void TriggerView::OnUpdate(View*, LPARAM) { list_.Rebuild(); }

bool TriggerView::OnCommand(UINT id) {
  if (id == ID_WINDOW_HELP) {
    list_.Help();
    return true;
  }
  return list_.Execute(id);
}

bool TriggerView::OnUpdateCommand(CommandUI& ui) {
  if (ui.id() == ID_WINDOW_HELP) {
    ui.Enable(true);
    return true;
  }
  const std::optional<bool> enabled = list_.Enabled(ui.id());
  if (!enabled) return false;
  ui.Enable(*enabled);
  return true;
}

// ---- The list control ----

void TriggerView::DeleteAllRows() { SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0); }

void TriggerView::InsertRow(int row, const cw::RowTexts& texts, int slot) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<char*>(texts[0].c_str());
  item.lParam = slot;
  const int inserted =
      static_cast<int>(SendMessageW(hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (inserted < 0) return;
  item.mask = LVIF_TEXT;
  for (size_t column = 1; column < texts.size(); ++column) {
    item.iSubItem = static_cast<int>(column);
    item.pszText = const_cast<char*>(texts[column].c_str());
    SendMessageW(hwnd(), LVM_SETITEMTEXTA, inserted, reinterpret_cast<LPARAM>(&item));
  }
}

std::vector<int> TriggerView::SelectedRows() const {
  std::vector<int> rows;
  const int count = static_cast<int>(SendMessageW(hwnd(), LVM_GETSELECTEDCOUNT, 0, 0));
  rows.reserve(count);
  int row = -1;
  for (int i = 0; i < count; ++i) {
    row = static_cast<int>(
        SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) break;
    rows.push_back(row);
  }
  return rows;
}

std::string TriggerView::RowText(int row, int column) const {
  char text[kTextLimit] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(sizeof(text));
  const int length = static_cast<int>(
      SendMessageW(hwnd(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

int TriggerView::RowSlot(int row) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return static_cast<int>(item.lParam);
}

void TriggerView::ShowDeleteRefused() {
  // The list behind the box shows what is done so far.
  if (changes_ > 0) {
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  MessageBoxA(hwnd(), kDeleteRefused, kDeleteRefusedCaption, MB_OK | MB_ICONERROR);
  if (changes_ > 0) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
}

void TriggerView::BeginChanges() {
  if (changes_++ == 0) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
}

void TriggerView::EndChanges() {
  if (--changes_ > 0) return;
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
  if (MDIChildFrame* frame = GetParentFrame()) frame->RequestCommandUIUpdate();
}

int TriggerView::FocusedRow() const {
  return static_cast<int>(
      SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TriggerView::SetRowState(int row, bool selected, bool focused) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = (selected ? LVIS_SELECTED : 0) | (focused ? LVIS_FOCUSED : 0);
  SendMessageW(hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  if (focused) SendMessageW(hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
}

// ---- The clipboard ----

bool TriggerView::CopyToClipboard(const std::string& table, const std::string& lines) {
  if (!OpenClipboardSoon(hwnd())) return false;
  EmptyClipboard();
  PutText(CF_TEXT, table);
  PutText(LinesFormat(), lines);
  CloseClipboard();
  return true;
}

std::string TriggerView::ClipboardText() const {
  if (!OpenClipboardSoon(hwnd())) return {};
  const UINT format = IsClipboardFormatAvailable(LinesFormat()) ? LinesFormat() : CF_TEXT;
  std::string text = TakeText(format);
  CloseClipboard();
  return text;
}

bool TriggerView::ClipboardHasText() const {
  return IsClipboardFormatAvailable(LinesFormat()) || IsClipboardFormatAvailable(CF_TEXT);
}

// ---- Menus, keys and notifications ----

void TriggerView::ShowContextMenu(POINT at) {
  if (at.x == -1 && at.y == -1) {
    // From the keyboard: below the focused row, centred on its name (the menu is centred on
    // the point), inside the list.
    RECT client;
    GetClientRect(hwnd(), &client);
    RECT name = {LVIR_BOUNDS, cw::kNameColumn, 0, 0};
    const int focused = FocusedRow();
    if (focused < 0 ||
        !SendMessageW(hwnd(), LVM_GETSUBITEMRECT, focused, reinterpret_cast<LPARAM>(&name))) {
      name = client;
      name.bottom = name.top;
    }
    at = {std::clamp((name.left + name.right) / 2, client.left, client.right),
          std::clamp(name.bottom, client.top, client.bottom)};
    ClientToScreen(hwnd(), &at);
  }
  const UniqueMenu menu(
      LoadMenuW(win::comkit::ResourceInstance(), MAKEINTRESOURCEW(IDR_TRIGGER_CONTEXT_MENU)));
  const HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
  if (popup == nullptr) return;
  for (const cw::MenuItemState& item : list_.ContextMenu()) {
    EnableMenuItem(popup, item.command, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
  }
  TrackPopupMenu(popup, TPM_CENTERALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

bool TriggerView::OnReflectedNotify(NMHDR& header, LRESULT* result) {
  switch (header.code) {
    case NM_DBLCLK:
      *result = 0;
      list_.DoubleClick(reinterpret_cast<NMITEMACTIVATE&>(header).iItem);
      return true;
    case NM_RETURN:
      *result = 0;
      list_.DoubleClick(FocusedRow());
      return true;
    case LVN_DELETEALLITEMS:
      // A row's data is its slot number, nothing to free: no notice per deleted row.
      *result = TRUE;
      return true;
    case LVN_ITEMCHANGED:
      if (MDIChildFrame* frame = GetParentFrame()) frame->RequestCommandUIUpdate();
      *result = 0;
      return true;
    default:
      return CListViewEx::OnReflectedNotify(header, result);
  }
}

LRESULT TriggerView::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CONTEXTMENU:
      ShowContextMenu({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_COMMAND:  // the context menu's choice
      if (lparam == 0) {
        if (MDIChildFrame* frame = GetParentFrame()) frame->RouteCommand(LOWORD(wparam));
        return 0;
      }
      break;
    case WM_MENUSELECT:  // context menu items show their prompts as the frame menu items do
      if (MDIChildFrame* frame = GetParentFrame()) {
        frame->ShowPrompt(MenuSelectCommand(wparam, lparam));
      }
      break;
    case WM_HELP:
      list_.Help();
      return TRUE;
    case WM_KEYDOWN:
      if (wparam == VK_DELETE) {
        if (MDIChildFrame* frame = GetParentFrame()) frame->RouteCommand(cw::kCommandDelete);
        return 0;
      }
      if (GetKeyState(VK_CONTROL) < 0 && (wparam == 'C' || wparam == 'V' || wparam == 'Z')) {
        const UINT command = wparam == 'C'   ? cw::kCommandCopy
                             : wparam == 'V' ? cw::kCommandPaste
                                             : cw::kCommandUndo;
        if (MDIChildFrame* frame = GetParentFrame()) frame->RouteCommand(command);
        return 0;
      }
      if (wparam == 'A' && GetKeyState(VK_CONTROL) < 0) {
        LVITEMW all = {};
        all.stateMask = LVIS_SELECTED;
        all.state = LVIS_SELECTED;
        SendMessageW(hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&all));
        return 0;
      }
      break;
    default:
      break;
  }
  return CListViewEx::WindowProc(message, wparam, lparam);
}

}  // namespace win::ui
