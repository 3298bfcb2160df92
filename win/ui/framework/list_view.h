// CListViewEx: a report list view that draws its own rows, so that a selected row is highlighted
// across all its columns and on to the client's right edge, with an ellipsis after texts that do
// not fit their column. Nothing in it knows what the rows are.
//
// The control is the common list view, subclassed; its frame sends its WM_DRAWITEM and WM_NOTIFY
// back to it (kReflectedBase). The background under the rows is never erased, since every row
// fills its whole width itself: repainting does not flicker.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "win/ui/framework/document.h"

namespace win::ui {

class CListViewEx : public View {
 public:
  CListViewEx() = default;

  bool Create(MDIChildFrame& frame, UINT id) override;

  // Whether the highlight of a selected row reaches the right edge of the client (on by default).
  void SetClientWidthSelection(bool on) { client_width_selection_ = on; }
  // Repaints the focused row and, unless the list shows its selection always, the selected ones.
  void InvalidateSelection();

 protected:
  // The creation style: always a report view with owner-drawn rows of one height.
  virtual DWORD PreCreateWindow(DWORD style);
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& item);
  // A notification the list sent its parent, sent back; true when handled, with its result.
  virtual bool OnReflectedNotify(NMHDR& header, LRESULT* result);

 private:
  bool IsReport() const;
  bool DrawsFullRows() const;
  void OnPaint();
  bool EraseBesideRows(HDC dc);
  RECT ItemRect(int item, int part) const;

  bool full_row_selection_ = false;
  bool client_width_selection_ = true;
  int client_width_ = 0;
  int state_image_offset_ = 0;
  COLORREF text_background_ = GetSysColor(COLOR_WINDOW);
  COLORREF background_ = GetSysColor(COLOR_WINDOW);
  // Drawing reuses these from row to row.
  char text_[260] = {};
  std::string shortened_;
};

}  // namespace win::ui
