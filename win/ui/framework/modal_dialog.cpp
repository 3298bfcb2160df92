// The modal dialog base.
#include "win/ui/framework/modal_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "win/ui/framework/activation_context.h"

namespace win::ui {
namespace {

std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsClass(HWND window, const char* name) {
  char class_name[32] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  return lstrcmpiA(class_name, name) == 0;
}

std::vector<std::string> ComboItems(HWND box) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string item(static_cast<size_t>(SendMessageA(box, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
    item.resize(static_cast<size_t>(
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

// ---- DataExchange ----

void DataExchange::Text(int id, std::string& text) {
  HWND control = GetDlgItem(dialog_, id);
  if (saving_) {
    text = WindowText(control);
  } else {
    SetWindowTextA(control, text.c_str());
  }
}

void DataExchange::Check(int id, bool& checked) {
  if (saving_) {
    checked = IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
  } else {
    CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
  }
}

void DataExchange::List(int id, std::string& text, Finder find) {
  HWND box = GetDlgItem(dialog_, id);
  if (saving_) {
    text = WindowText(box);
    return;
  }
  const int index = find(ComboItems(box), text);
  SendMessageA(box, CB_SETCURSEL, index, 0);
  const bool editable = (GetWindowLongW(box, GWL_STYLE) & 3) == CBS_DROPDOWN;
  if (index < 0 && editable) SetWindowTextA(box, text.c_str());
}

// ---- ModalDialog ----

ModalDialog::ModalDialog(HINSTANCE resources, UINT template_id, std::string help_topic,
                         ShowHelp show_help)
    : resources_(resources),
      template_id_(template_id),
      help_topic_(std::move(help_topic)),
      show_help_(std::move(show_help)) {}

INT_PTR ModalDialog::DoModal(HWND parent) {
  // The dialog, its controls and the message boxes it shows get this module's controls.
  const ActivationScope scope;
  static const bool common_controls = [] {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)common_controls;
  // The resource library may be loaded as a data file: take the template from it and make the
  // dialog for this module.
  HRSRC found = FindResourceW(resources_, MAKEINTRESOURCEW(template_id_), MAKEINTRESOURCEW(5));
  HGLOBAL loaded = found ? LoadResource(resources_, found) : nullptr;
  const auto* dialog_template =
      static_cast<const DLGTEMPLATE*>(loaded ? LockResource(loaded) : nullptr);
  if (dialog_template == nullptr) return -1;
  const INT_PTR result = DialogBoxIndirectParamW(ThisModule(), dialog_template, parent, Procedure,
                                                 reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    reinterpret_cast<ModalDialog*>(lparam)->window_ = window;
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  return self ? self->HandleMessage(message, wparam, lparam) : FALSE;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      FillLists();
      OnFillLists();
      UpdateData(false);
      const int focus = OnInitDialog();
      if (focus == 0) return TRUE;
      MarkField(focus);
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          UpdateData(true);
          if (OnOk()) EndDialog(window_, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(window_, IDCANCEL);
          return TRUE;
        case IDHELP:
          if (show_help_) show_help_(help_topic_);
          return TRUE;
        default:
          OnCommand(LOWORD(wparam), HIWORD(wparam));
          return TRUE;
      }
    case WM_DRAWITEM:
      return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)) ? TRUE : FALSE;
    case WM_HELP:  // F1
      if (show_help_) show_help_(help_topic_);
      return TRUE;
    default:
      return FALSE;
  }
}

void ModalDialog::UpdateData(bool saving) {
  DataExchange exchange(window_, saving);
  DoDataExchange(exchange);
}

void ModalDialog::FillLists() {
  HRSRC found = FindResourceW(resources_, MAKEINTRESOURCEW(template_id_), MAKEINTRESOURCEW(10));
  HGLOBAL loaded = found ? LoadResource(resources_, found) : nullptr;
  const auto* data = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
  if (data == nullptr) return;
  const size_t size = SizeofResource(resources_, found);
  size_t at = 0;
  while (at + 2 <= size) {
    uint16_t id = 0;
    std::memcpy(&id, data + at, 2);
    at += 2;
    if (id == 0) break;
    HWND control = Item(id);
    const UINT add = IsClass(control, "ListBox") ? LB_ADDSTRING : CB_ADDSTRING;
    while (at < size && data[at] != '\0') {
      const size_t length = strnlen(data + at, size - at);
      const std::string item(data + at, length);
      SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(item.c_str()));
      at += length + 1;
    }
    ++at;  // the empty string that ends the list
  }
}

std::string ModalDialog::ItemText(int id) const { return WindowText(Item(id)); }

void ModalDialog::SetItemText(int id, const std::string& text) {
  SetWindowTextA(Item(id), text.c_str());
}

void ModalDialog::MarkField(int id) {
  HWND control = Item(id);
  if (control == nullptr) return;
  SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  if (IsClass(control, "Edit")) {
    SendMessageW(control, EM_SETSEL, 0, -1);
    SendMessageW(control, EM_SCROLLCARET, 0, 0);
  }
}

void ModalDialog::SetUpSpin(int spin, int lower, int upper, int position) {
  HWND control = Item(spin);
  HWND buddy = reinterpret_cast<HWND>(SendMessageW(control, UDM_GETBUDDY, 0, 0));
  const std::string text = WindowText(buddy);
  SendMessageW(control, UDM_SETBASE, 10, 0);
  SendMessageW(control, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  SendMessageW(control, UDM_SETPOS32, 0, position);
  SetWindowTextA(buddy, text.c_str());
}

void ModalDialog::FitHorizontalExtent(int list) {
  HWND control = Item(list);
  HDC dc = GetDC(control);
  HGDIOBJ old_font =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::string item(static_cast<size_t>(SendMessageA(control, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    item.resize(static_cast<size_t>(
        SendMessageA(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(item.size()), &extent);
    widest = std::max(widest, extent.cx);
  }
  SelectObject(dc, old_font);
  ReleaseDC(control, dc);
  SendMessageW(control, LB_SETHORIZONTALEXTENT, widest + GetSystemMetrics(SM_CXVSCROLL), 0);
}

std::vector<std::string> ModalDialog::ListItems(int id) const { return ComboItems(Item(id)); }

void ModalDialog::ShowError(UINT caption, UINT text) const {
  char caption_text[256] = {};
  char message[512] = {};
  LoadStringA(resources_, caption, caption_text, sizeof caption_text);
  LoadStringA(resources_, text, message, sizeof message);
  // No owner; task-modal, so that the dialog waits for the box all the same.
  MessageBoxA(nullptr, message, caption_text, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  // The box went while the dialog was still disabled, so nothing took the activation: the
  // dialog takes it back, and with it the focus it had.
  SetActiveWindow(window_);
}

}  // namespace win::ui
