// Checks how wide the trigger list shows its columns in the IDE window of the stand-in, with the
// Wine prefix set to 144 DPI.
#include <gtest/gtest.h>

#include "tests/win/support/ui_test.h"

namespace {

using namespace wintest;

constexpr char kKey[] = "Software\\Trigger\\TriggerWindow";

class ColumnWidthTest : public WindowTest {
 protected:
  HWND OpenList() { return ListOf(Open(GetDlgItem(Ide(), IDC_MDI_CLIENT))); }
  static std::string Widths(HWND list) {
    std::string widths;
    for (int i = 0; i < 13; ++i) widths += std::to_string(ListView_GetColumnWidth(list, i)) + " ";
    return widths;
  }
  static std::string Kept() {
    char text[256] = "(none)";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_CURRENT_USER, kKey, "ColumnWidths", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
  }
  // The mouse on the header, at the divider right of a column and `dx` beyond it.
  static void Mouse(HWND list, int column, std::initializer_list<std::pair<UINT, int>> moves) {
    RECT item = {};
    Header_GetItemRect(ListView_GetHeader(list), column, &item);
    for (const auto& [message, dx] : moves) {
      SendMessageW(ListView_GetHeader(list), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                   MAKELPARAM(item.right - 1 + dx, 5));
    }
    Pump();
  }
};

// The user drags the Name divider 30 pixels right and double-clicks the Type divider; the widths
// are kept at 96 DPI and come back the next time.
TEST_F(ColumnWidthTest, TheTableGrowsWithTheDpiAndTheUsersWidthsAreKept) {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "ColumnWidths");
  const HWND list = OpenList();
  EXPECT_EQ(Widths(list), "60 105 150 150 150 75 105 75 105 75 75 75 150 ");
  EXPECT_EQ(Kept(), "(none)") << "nothing is kept until the user changes a width";
  Mouse(list, 2, {{WM_LBUTTONDOWN, 0}, {WM_MOUSEMOVE, 30}, {WM_LBUTTONUP, 30}});
  EXPECT_EQ(Kept(), "40,70,120,100,100,50,70,50,70,50,50,50,100");
  Mouse(list, 3, {{WM_LBUTTONDBLCLK, 0}, {WM_LBUTTONUP, 0}});
  // The widest Type text in the list's font, with the 6 pixels each side the rows leave.
  const HDC dc = GetDC(list);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  SIZE text = {};
  GetTextExtentPoint32A(dc, "ClearInterrupt", 14, &text);
  ReleaseDC(list, dc);
  EXPECT_EQ(ListView_GetColumnWidth(list, 3), text.cx + 12);
  const int kept_type = MulDiv(text.cx + 12, 96, 144);
  EXPECT_EQ(Kept(), "40,70,120," + std::to_string(kept_type) + ",100,50,70,50,70,50,50,50,100");
  Close(GetParent(list));
  EXPECT_EQ(Widths(OpenList()), "60 105 180 " + std::to_string(MulDiv(kept_type, 144, 96)) +
                                    " 150 75 105 75 105 75 75 75 150 ");
}

}  // namespace
