// The owner-drawn list view.
#include "win/ui/framework/list_view.h"

#include <algorithm>
#include <string_view>

#include "win/ui/framework/handles.h"
#include "win/ui/framework/list_drawing.h"
#include "win/ui/framework/mdi_child_frame.h"

namespace win::ui {
namespace {

class DeviceMeasure : public TextMeasure {
 public:
  explicit DeviceMeasure(HDC dc) : dc_(dc) {}
  int Width(std::string_view text) const override {
    SIZE size = {};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

 private:
  HDC dc_;
};

// Posted to the list when the user has dragged a divider: the header takes the new width after
// telling the list that the drag ended.
constexpr UINT kColumnsResized = WM_APP + 0x42;

constexpr UINT kTextFormat = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_VCENTER;

UINT AlignFormat(Align align) {
  switch (align) {
    case Align::Right:
      return DT_RIGHT;
    case Align::Center:
      return DT_CENTER;
    case Align::Left:
      break;
  }
  return 0;
}

// Fills a rectangle with a colour, without a brush.
void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  const COLORREF old = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
Rect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool CListViewEx::Create(MDIChildFrame& frame, UINT id) {
  SetParentFrame(&frame);
  const DWORD style = PreCreateWindow(WS_CHILD | WS_VISIBLE | WS_BORDER);
  return CreateControl(0, WC_LISTVIEWW, style, frame.hwnd(), id) != nullptr;
}

DWORD CListViewEx::PreCreateWindow(DWORD style) {
  full_row_selection_ = true;
  return (style & ~(LVS_TYPEMASK | LVS_SMALLICON)) | LVS_REPORT | LVS_OWNERDRAWFIXED;
}

bool CListViewEx::IsReport() const {
  return (GetWindowLongPtrW(hwnd(), GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

bool CListViewEx::DrawsFullRows() const {
  return full_row_selection_ && client_width_selection_ && IsReport();
}

RECT CListViewEx::ItemRect(int item, int part) const {
  RECT rect = {part, 0, 0, 0};
  if (!SendMessageW(hwnd(), LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect))) {
    return {0, 0, 0, 0};
  }
  return rect;
}

void CListViewEx::DrawItem(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const int index = static_cast<int>(item.itemID);
  const bool focused = GetFocus() == hwnd();
  const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);

  LVITEMA row = {};
  row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  row.iItem = index;
  row.stateMask = 0xFFFF;
  row.pszText = text_;
  row.cchTextMax = static_cast<int>(sizeof(text_));
  text_[0] = '\0';
  SendMessageW(hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row));

  const bool selected = DrawnSelected(row.state, focused, (style & LVS_SHOWSELALWAYS) != 0);
  const RECT bounds = ItemRect(index, LVIR_BOUNDS);
  RECT label = ItemRect(index, LVIR_LABEL);
  const RECT highlight =
      ToRect(HighlightRect(FromRect(bounds), label.left, client_width_selection_, client_width_));

  const UniqueSelection font =
      SelectInto(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  COLORREF text_colour = static_cast<COLORREF>(SendMessageW(hwnd(), LVM_GETTEXTCOLOR, 0, 0));
  if (text_colour == CLR_DEFAULT || text_colour == CLR_NONE)
    text_colour = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF old_text =
      SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text_colour);
  Fill(dc, highlight, selected ? GetSysColor(COLOR_HIGHLIGHT) : text_background_);
  // The row's few pixels left of its label belong to no highlight, and the background erase
  // skips every row: paint them here, or a scroll leaves old pixels in them.
  if (bounds.left < highlight.left) {
    Fill(dc, {bounds.left, bounds.top, highlight.left, bounds.bottom}, text_background_);
  }

  // Images: the state image at the row's left, the small icon in its place.
  const ImageBlend blend = ImageBlendOf(row.state, selected);
  const COLORREF foreground =
      blend.highlight_foreground ? GetSysColor(COLOR_HIGHLIGHT) : background_;
  const UINT image_style = ILD_TRANSPARENT | (blend.blend ? ILD_BLEND50 : 0);
  if (const UINT state_image = (row.state & LVIS_STATEIMAGEMASK) >> 12) {
    const auto states =
        reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    if (states) {
      ImageList_Draw(states, static_cast<int>(state_image) - 1, dc, item.rcItem.left,
                     item.rcItem.top, ILD_TRANSPARENT);
    }
  }
  const auto small_images =
      reinterpret_cast<HIMAGELIST>(SendMessageW(hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  if (small_images && item.rcItem.left < item.rcItem.right - 1) {
    const RECT icon = ItemRect(index, LVIR_ICON);
    ImageList_DrawEx(small_images, row.iImage, dc, icon.left, icon.top, 16, 16, background_,
                     foreground, image_style | (row.state & LVIS_OVERLAYMASK));
  }

  // The first column's text, then the others', each shortened to its column.
  const DeviceMeasure measure(dc);
  label.right -= state_image_offset_;
  std::string_view text =
      ShortenToFit(measure, text_, label.right - label.left, ColumnTextMargins(0), shortened_);
  RECT cell = {label.left + 2, label.top, label.right - 2, label.bottom};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &cell, kTextFormat);

  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH;
  int left = label.right;
  for (int sub_item = 1;
       SendMessageW(hwnd(), LVM_GETCOLUMNA, sub_item, reinterpret_cast<LPARAM>(&column));
       ++sub_item) {
    const RECT rect = {left, label.top, left + column.cx, label.bottom};
    left = rect.right;
    LVITEMA sub = {};
    sub.iSubItem = sub_item;
    sub.pszText = text_;
    sub.cchTextMax = static_cast<int>(sizeof(text_));
    const int length = static_cast<int>(
        SendMessageW(hwnd(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub)));
    if (length <= 0) continue;
    const std::string_view full(text_, static_cast<size_t>(length));
    text = ShortenToFit(measure, full, column.cx, ColumnTextMargins(sub_item), shortened_);
    const bool shortened = text.data() != full.data();
    cell = {rect.left + 6, rect.top, rect.right - 6, rect.bottom};
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &cell,
              kTextFormat | AlignFormat(TextAlign(column.fmt, shortened)));
  }

  if ((row.state & LVIS_FOCUSED) && focused) DrawFocusRect(dc, &highlight);

  SetTextColor(dc, old_text);
  SetBkMode(dc, old_mode);
}

void CListViewEx::InvalidateSelection() {
  bool any = false;
  const auto invalidate = [this, &any](int item) {
    RECT rect = ItemRect(item, LVIR_BOUNDS);
    rect.left = ItemRect(item, LVIR_LABEL).left;
    InvalidateRect(hwnd(), &rect, FALSE);
    any = true;
  };
  const int focused = static_cast<int>(
      SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (focused >= 0) invalidate(focused);
  if (!(GetWindowLongPtrW(hwnd(), GWL_STYLE) & LVS_SHOWSELALWAYS)) {
    for (int item = -1;
         (item = static_cast<int>(SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                               LVNI_SELECTED))) >= 0;) {
      invalidate(item);
    }
  }
  // At once, so that the focus change shows before what follows it; a list whose rows show no
  // focus or selection (one still being filled) waits for its next paint.
  if (any) UpdateWindow(hwnd());
}

// The list paints only the rows' bounds; when they end left of the client's edge, the paint is
// widened to the edge so that a highlight there is repainted with its row.
void CListViewEx::OnPaint() {
  if (!DrawsFullRows()) return;
  const RECT first = ItemRect(0, LVIR_BOUNDS);
  if (first.right >= client_width_) return;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd(), &paint);
  RECT clip;
  GetClipBox(dc, &clip);
  const RECT widened = ToRect(PastLastColumn(FromRect(clip), first.right, client_width_));
  InvalidateRect(hwnd(), &widened, FALSE);
  EndPaint(hwnd(), &paint);
}

// Erases only what no row covers: above the first visible row (under the header) and below the
// last one. Rows fill their whole width when they are drawn.
bool CListViewEx::EraseBesideRows(HDC dc) {
  if (!DrawsFullRows()) return false;
  const int count = static_cast<int>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
  if (count == 0) return false;
  const int top = static_cast<int>(SendMessageW(hwnd(), LVM_GETTOPINDEX, 0, 0));
  const int per_page = static_cast<int>(SendMessageW(hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
  const int last = std::min(count - 1, top + per_page);
  const RECT first_row = ItemRect(top, LVIR_BOUNDS);
  const RECT last_row = ItemRect(last, LVIR_BOUNDS);
  RECT client;
  GetClientRect(hwnd(), &client);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left, first_row.top, client.right, last_row.bottom);
  Fill(dc, client, background_);
  RestoreDC(dc, saved);
  return true;
}

int CListViewEx::FitColumn(int column) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
  const HDC dc = GetDC(hwnd());
  if (dc == nullptr) return 0;
  const DeviceMeasure measure(dc);
  // The rows' texts in the font they are drawn with.
  int widest = 0;
  {
    const UniqueSelection font =
        SelectInto(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    const int rows = static_cast<int>(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text_;
    item.cchTextMax = static_cast<int>(sizeof(text_));
    for (int row = 0; row < rows; ++row) {
      const int length = static_cast<int>(
          SendMessageW(hwnd(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
      if (length > 0) {
        widest = std::max(widest, measure.Width({text_, static_cast<size_t>(length)}));
      }
    }
  }
  // The first column's label starts right of its left edge (and, on old systems, ends left of
  // its right edge by the state image).
  int label_inset = 0;
  if (column == 0 && SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0) > 0) {
    const RECT label = ItemRect(0, LVIR_LABEL);
    label_inset = static_cast<int>(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 0, 0)) -
                  (label.right - label.left) + state_image_offset_;
  }
  // The header text with the header's margins (three edges each side) and its own edges.
  int header_width = 0;
  char header_text[260] = "";
  HDITEMA header_item = {};
  header_item.mask = HDI_TEXT;
  header_item.pszText = header_text;
  header_item.cchTextMax = static_cast<int>(sizeof(header_text));
  if (header &&
      SendMessageW(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&header_item)) &&
      header_text[0]) {
    const UniqueSelection font =
        SelectInto(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
    header_width = measure.Width(header_text) + 8 * GetSystemMetrics(SM_CXEDGE);
  }
  ReleaseDC(hwnd(), dc);
  const int dpi = WindowDpi(hwnd());
  const int width = FittedColumnWidth(column, widest, label_inset, header_width,
                                      MulDiv(min_column_width_, dpi, USER_DEFAULT_SCREEN_DPI),
                                      MulDiv(max_column_width_, dpi, USER_DEFAULT_SCREEN_DPI));
  SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
  return width;
}

// Notifications of the list's own header, which come to the list before anyone else.
bool CListViewEx::OnHeaderNotify(UINT code, int item, LRESULT* result) {
  switch (code) {
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
      // In place of the list's own automatic size.
      FitColumn(item);
      OnColumnWidthsChanged();
      *result = 0;
      return true;
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
      PostMessageW(hwnd(), kColumnsResized, 0, 0);
      return false;
    default:
      return false;
  }
}

bool CListViewEx::OnReflectedNotify(NMHDR& header, LRESULT* result) {
  switch (header.code) {
    case LVN_DELETEITEM:
    case LVN_KEYDOWN:
      *result = 0;
      return true;
    default:
      return false;
  }
}

LRESULT CListViewEx::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      client_width_ = LOWORD(lparam);
      break;
    case WM_PAINT:
      OnPaint();
      break;
    case WM_ERASEBKGND:
      if (EraseBesideRows(reinterpret_cast<HDC>(wparam))) return TRUE;
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT result = Default(message, wparam, lparam);
      // The label editor is a child of the list: focus moving to or from it changes nothing.
      const HWND other = reinterpret_cast<HWND>(wparam);
      if (!(other && IsChild(hwnd(), other)) && full_row_selection_ && IsReport()) {
        InvalidateSelection();
      }
      return result;
    }
    case LVM_SETIMAGELIST:
      // Old systems put the state image inside the label.
      if (wparam == LVSIL_STATE && LOBYTE(LOWORD(GetVersion())) < 4) {
        int width = 0, height = 0;
        state_image_offset_ =
            ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(lparam), &width, &height) ? width
                                                                                         : 0;
      }
      break;
    case LVM_SETTEXTBKCOLOR:
      text_background_ = static_cast<COLORREF>(lparam);
      break;
    case LVM_SETBKCOLOR:
      background_ = static_cast<COLORREF>(lparam);
      break;
    case WM_NOTIFY: {
      const auto& notice = *reinterpret_cast<const NMHEADERW*>(lparam);
      LRESULT result = 0;
      if (notice.hdr.hwndFrom ==
              reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0)) &&
          OnHeaderNotify(notice.hdr.code, notice.iItem, &result)) {
        return result;
      }
      break;
    }
    case kColumnsResized:
      OnColumnWidthsChanged();
      return 0;
    case kReflectedBase + WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case kReflectedBase + WM_NOTIFY: {
      LRESULT result = 0;
      OnReflectedNotify(*reinterpret_cast<NMHDR*>(lparam), &result);
      return result;
    }
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

}  // namespace win::ui
