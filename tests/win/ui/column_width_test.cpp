// The trigger list's column widths in the IDE window of the host stand-in, in a prefix set to
// 144 DPI: the table's widths grow with the DPI, a double-click on a divider fits the column to
// its texts, and the widths the user leaves are kept per user and come back the next time.
#include <gtest/gtest.h>

#include "tests/win/support/ui_test.h"

namespace {

using namespace wintest;
using Widths = std::vector<int>;

constexpr char kKey[] = "Software\\Trigger\\TriggerWindow";

class ColumnWidthTest : public WindowTest {
 protected:
  void SetUp() override {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "ColumnWidths");
    WindowTest::SetUp();
  }
  HWND OpenList() {
    const HWND frame = Open(GetDlgItem(Ide(), IDC_MDI_CLIENT));
    return frame ? ListOf(frame) : nullptr;
  }
  static Widths WidthsOf(HWND list) {
    Widths widths;
    for (int column = 0; column < 13; ++column) {
      widths.push_back(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
    }
    return widths;
  }
  static std::string Kept() {
    char text[256] = "";
    DWORD size = sizeof text;
    return RegGetValueA(HKEY_CURRENT_USER, kKey, "ColumnWidths", RRF_RT_REG_SZ, nullptr, text,
                        &size) == ERROR_SUCCESS
               ? text
               : "(none)";
  }
  // The mouse on the header, at the divider right of a column.
  static void OnDivider(HWND list, int column, std::initializer_list<std::pair<UINT, int>> moves) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT item = {};
    SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&item));
    for (const auto& [message, dx] : moves) {
      SendMessageW(header, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                   MAKELPARAM(item.right - 1 + dx, (item.top + item.bottom) / 2));
    }
    Pump();
  }
};

const Widths kAt144 = {60, 105, 150, 150, 150, 75, 105, 75, 105, 75, 75, 75, 150};

TEST_F(ColumnWidthTest, TheTableWidthsGrowWithTheDpi) {
  const HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 144) << "LogPixels of the test's prefix";
  ReleaseDC(nullptr, screen);
  const HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(WidthsOf(list), kAt144);
  EXPECT_EQ(Kept(), "(none)") << "nothing is kept until the user changes a width";
}

TEST_F(ColumnWidthTest, ADraggedWidthIsKeptAt96DpiAndComesBackUnlessItIsUnreadable) {
  HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  OnDivider(list, 2, {{WM_LBUTTONDOWN, 0}, {WM_MOUSEMOVE, 30}, {WM_LBUTTONUP, 30}});
  EXPECT_EQ(WidthsOf(list)[2], 180);
  EXPECT_EQ(Kept(), "40,70,120,100,100,50,70,50,70,50,50,50,100");

  Close(GetParent(list));
  list = OpenList();
  Widths expected = kAt144;
  expected[2] = 180;
  EXPECT_EQ(WidthsOf(list), expected);

  Close(GetParent(list));
  const char unreadable[] = "40,70,120";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "ColumnWidths", REG_SZ, unreadable,
                            sizeof unreadable),
            ERROR_SUCCESS);
  list = OpenList();
  EXPECT_EQ(WidthsOf(list), kAt144);
  EXPECT_TRUE(LogHas(
      "Trigger add-in: the kept column widths (HKEY_CURRENT_USER\\Software\\Trigger\\"
      "TriggerWindow, value ColumnWidths) are not 13 widths separated by commas; the trigger "
      "window shows its standard widths"))
      << Log();
}

TEST_F(ColumnWidthTest, ADoubleClickOnADividerFitsTheColumnToItsWidestText) {
  const HWND list = OpenList();
  ASSERT_NE(list, nullptr);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 3, 40);  // Type: too narrow for "ClearInterrupt"
  OnDivider(list, 3, {{WM_LBUTTONDBLCLK, 0}, {WM_LBUTTONUP, 0}});
  // The widest Type text in the list's font, with the 6 pixels each side the rows leave.
  const HDC dc = GetDC(list);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const std::string& text : Column(list, 3)) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  EXPECT_GT(widest, 80) << "the font of 144 DPI";
  EXPECT_EQ(WidthsOf(list)[3], widest + 12);
  EXPECT_EQ(Kept(), "40,70,100," + std::to_string(MulDiv(widest + 12, 96, 144)) +
                        ",100,50,70,50,70,50,50,50,100");
}

}  // namespace
