// CListViewEx: a report list view that draws its own rows, so that a selected row is highlighted
// across all its columns and on to the client's right edge, with an ellipsis after texts that do
// not fit their column. Nothing in it knows what the rows are.
//
// A double-click on a divider of the header fits the column to its texts as the rows draw them
// (the list's own automatic size knows nothing of the margins of drawn rows). Once the user has
// resized columns, by dragging or double-clicking a divider, OnColumnWidthsChanged tells the view.
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

  // The widths, at 96 DPI, that fitting a column keeps to; scaled to the list's DPI when used.
  void SetColumnWidthLimits(int minimum, int maximum) {
    min_column_width_ = minimum;
    max_column_width_ = maximum;
  }
  // Makes the column as wide as its widest text, its header's included, needs; the new width.
  int FitColumn(int column);

 protected:
  // The creation style: always a report view with owner-drawn rows of one height.
  virtual DWORD PreCreateWindow(DWORD style);
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  virtual void DrawItem(const DRAWITEMSTRUCT& item);
  // A notification the list sent its parent, sent back; true when handled, with its result.
  virtual bool OnReflectedNotify(NMHDR& header, LRESULT* result);
  // The user has resized columns; the list has their new widths.
  virtual void OnColumnWidthsChanged() {}

 private:
  bool IsReport() const;
  bool DrawsFullRows() const;
  void OnPaint();
  bool EraseBesideRows(HDC dc);
  RECT ItemRect(int item, int part) const;
  bool OnHeaderNotify(UINT code, int item, LRESULT* result);

  bool full_row_selection_ = false;
  bool client_width_selection_ = true;
  int client_width_ = 0;
  int state_image_offset_ = 0;
  int min_column_width_ = 1;
  int max_column_width_ = 4096;
  COLORREF text_background_ = GetSysColor(COLOR_WINDOW);
  COLORREF background_ = GetSysColor(COLOR_WINDOW);
  // Drawing reuses these from row to row.
  char text_[260] = {};
  std::string shortened_;
};

}  // namespace win::ui
