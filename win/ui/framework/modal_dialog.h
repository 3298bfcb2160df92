// ModalDialog: a modal dialog whose template, list items and strings come from the resource
// library, with data exchange between its controls and texts in both directions, the help
// request, and the helpers the add-in's dialogs share (spins, list selection, marking a field
// that fails a test).
//
// The list items of the drop-down and list boxes in a template are kept beside it in the resource
// library, as an RCDATA resource with the identifier of the template: for each list a 16-bit
// control identifier, its items as NUL-terminated strings and an empty string; a 0 identifier ends
// it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace win::ui {

// Reads the dialog's controls into texts (saving) or writes texts into them (loading).
class DataExchange {
 public:
  DataExchange(HWND dialog, bool saving) : dialog_(dialog), saving_(saving) {}
  bool Saving() const { return saving_; }

  // An edit box, or the text of an editable drop-down box.
  void Text(int id, std::string& text);
  void Check(int id, bool& checked);
  // A list of a drop-down box: loading selects the item `find` names among the box's items (an
  // editable box shows the text when none matches); saving reads the text shown.
  using Finder = int (*)(const std::vector<std::string>& items, std::string_view text);
  void List(int id, std::string& text, Finder find);

 private:
  HWND dialog_;
  bool saving_;
};

class ModalDialog {
 public:
  using ShowHelp = std::function<void(const std::string& topic)>;

  // `resources`: the module holding the template `template_id` and its list items.
  ModalDialog(HINSTANCE resources, UINT template_id, std::string help_topic, ShowHelp show_help);
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // IDOK, IDCANCEL, or -1 when the dialog cannot be made (a missing template, for one).
  INT_PTR DoModal(HWND parent);
  HWND Handle() const { return window_; }

 protected:
  // Items the lists take at run time, added after those of the resource library.
  virtual void OnFillLists() {}
  // Both directions of the data exchange; loading runs once the lists are filled.
  virtual void DoDataExchange(DataExchange& exchange) = 0;
  // After the first exchange. Returns the control to focus, or 0 to leave the focus to the
  // dialog manager (the first control that takes it).
  virtual int OnInitDialog() { return 0; }
  // OK pressed, the fields read back: false keeps the dialog open (having marked the field).
  virtual bool OnOk() { return true; }
  // WM_COMMAND from a control other than OK, Cancel and Help.
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  // WM_DRAWITEM from an owner-drawn control: true when the dialog drew it.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

  void UpdateData(bool saving);
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  HINSTANCE Resources() const { return resources_; }
  void Enable(int id, bool enabled) { EnableWindow(Item(id), enabled); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  // Marks a field that failed a test: an edit box gets all its text selected, scrolled into view
  // and the focus; any other control the focus.
  void MarkField(int id);
  // A spin on its buddy edit box: base 10, the range and the position. The buddy keeps its text
  // (setting the position would rewrite it), so a typed value out of range is still shown.
  void SetUpSpin(int spin, int lower, int upper, int position);
  // Widens a list box's horizontal scroll range to its widest item and a vertical scroll bar.
  void FitHorizontalExtent(int list);
  std::vector<std::string> ListItems(int id) const;
  // A message box with the error icon, its caption and text strings of the resource library.
  // It has no owner but is task-modal: the dialog cannot be used while it is up.
  void ShowError(UINT caption, UINT text) const;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void FillLists();

  HINSTANCE resources_;
  UINT template_id_;
  std::string help_topic_;
  ShowHelp show_help_;
  HWND window_ = nullptr;
};

}  // namespace win::ui
