// The six trigger dialogs, real and modal from TriggerRES.dll, driven as a user drives them through
// the edit-or-create loop of the trigger window, against a registry over the fake host of the core:
// each shows every field of its trigger, writes back what the user changed, enables and names as
// the user chooses, marks a refused field and explains one it cannot mark. With TRIGGER_SCREENSHOTS
// set to a folder, each dialog and message is saved there as a picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "core/window/edit_loop.h"
#include "tests/core/registry/registry_fixture.h"
#include "tests/win/support/ui_test.h"
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/dialog_runner.h"

namespace {

using namespace wintest;
using core::window::EditKind;
using Strings = std::vector<std::string>;

// TriggerRES.dll, loaded from beside the test as the add-in loads it.
HINSTANCE Resources() {
  static const HINSTANCE module = LoadLibraryW(BesideTest(L"TriggerRES.dll").c_str());
  return module;
}

// Three interrupt sources, codes 0x20 to 0x22; INT1's table value 1 marks it as never cleared.
std::vector<uint8_t> InterruptSources() {
  core::automation::ByteWriter table(4 + 3 * 20);
  table.U16(0, 0xFFFF);
  table.U16(2, 3);
  const std::pair<const char*, uint16_t> sources[] = {{"INT0", 0}, {"INT1", 1}, {"INTX", 9}};
  for (size_t i = 0; i < 3; ++i) {
    table.Text(4 + 20 * i, sources[i].first, 16);
    table.U16(4 + 20 * i + 16, static_cast<uint16_t>(0x20 + i));
    table.U16(4 + 20 * i + 18, sources[i].second);
  }
  return table.Take();
}

class DialogsTest : public registry_test::RegistryTest {
 protected:
  DialogsTest() { simulator_.source_table = InterruptSources(); }

  // A trigger made through its adapter's setters, in the next slot; registered unless told not.
  core::rows::TriggerInfo* Make(const char* keyword, const std::string& columns,
                                bool registered = true) {
    core::rows::TriggerInfo* adapter = document_.CreateTrigger(keyword);
    row_test::SetColumns(*adapter, columns);
    if (registered) {
      EXPECT_EQ(adapter->Register(), 0);
    }
    return adapter;
  }
  void Edit(EditKind kind, int slot) { loop_.EditOrCreate(kind, slot); }
  void Create(EditKind kind) { loop_.EditOrCreate(kind, std::nullopt); }
  std::string Line(int slot) {
    const core::rows::TriggerInfo* adapter = document_.GetTriggerInfo(slot);
    return adapter ? adapter->GetDefinitionText() : "(no trigger)";
  }

  core::window::TriggerDocument document_{registry_};
  Strings help_;
  win::ui::DialogRunner dialogs_{Resources(), nullptr,
                                 [this](const std::string& topic) { help_.push_back(topic); }};
  core::window::EditLoop loop_{document_, dialogs_};
  UserScript user_;
};

TEST_F(DialogsTest, TransferShowsAndTakesEveryFieldMarksARefusedOneAndOpensItsHelp) {
  Make("transfer",
       "Name=move;Size=16bit;Source=0x100;SrcMode=increment;SrcModeValue=2;Destination=0x200;"
       "DstMode=fix;Count=16;Cycle=3;Wait=4");
  Strings sizes, modes;
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Items(d, IDC_TRIGGER_NUMBER), (Strings{"new", "0"}));
        EXPECT_EQ(Texts(d, {IDC_TRIGGER_NUMBER, IDC_TRIGGER_NAME, IDC_TRANSFER_SIZE,
                            IDC_TRANSFER_SOURCE, IDC_TRANSFER_SRC_MODE, IDC_TRANSFER_SRC_VALUE,
                            IDC_TRANSFER_DESTINATION, IDC_TRANSFER_DST_MODE, IDC_TRANSFER_COUNT,
                            IDC_TRIGGER_CYCLE, IDC_TRIGGER_WAIT}),
                  "0 move 16BIT 0x100 INCREMENT 2 0x200 FIX 16 3 4");
        EXPECT_EQ(Focused(d), IDC_TRIGGER_NAME);
        EXPECT_EQ(SendMessageW(Control(d, IDC_TRIGGER_NAME), EM_GETLIMITTEXT, 0, 0), 255);
        // Spins count in base 10 over their ranges.
        for (const auto& [spin, upper] :
             {std::pair{IDC_TRANSFER_COUNT_SPIN, 32767}, std::pair{IDC_TRANSFER_SRC_VALUE_SPIN, 31},
              std::pair{IDC_TRANSFER_DST_VALUE_SPIN, 31}}) {
          int lower = -1, high = -1;
          SendMessageW(Control(d, spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                       reinterpret_cast<LPARAM>(&high));
          EXPECT_EQ(std::pair(lower, high), std::pair(0, upper)) << spin;
          EXPECT_EQ(SendMessageW(Control(d, spin), UDM_GETBASE, 0, 0), 10) << spin;
        }
        // A mode takes a value unless it is FIX.
        EXPECT_TRUE(Enabled(d, IDC_TRANSFER_SRC_VALUE));
        EXPECT_FALSE(Enabled(d, IDC_TRANSFER_DST_VALUE));
        Pick(d, IDC_TRANSFER_DST_MODE, "DECREMENT");
        for (int id :
             {IDC_TRANSFER_DST_VALUE, IDC_TRANSFER_DST_VALUE_SPIN, IDC_TRANSFER_DST_VALUE_LABEL}) {
          EXPECT_TRUE(Enabled(d, id)) << id;
        }
        Pick(d, IDC_TRANSFER_SRC_MODE, "FIX");
        EXPECT_FALSE(Enabled(d, IDC_TRANSFER_SRC_VALUE_LABEL));
        sizes = Items(d, IDC_TRANSFER_SIZE);
        modes = Items(d, IDC_TRANSFER_SRC_MODE);
        EXPECT_EQ(Items(d, IDC_TRANSFER_DST_MODE), modes);
        HELPINFO f1 = {};
        f1.cbSize = sizeof f1;
        SendMessageW(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
        Click(d, IDHELP);

        Type(d, IDC_TRANSFER_COUNT, "12a");
        Click(d, IDOK);  // refused by the dialog: its field is marked
        EXPECT_EQ(Focused(d), IDC_TRANSFER_COUNT);
        EXPECT_TRUE(AllSelected(d, IDC_TRANSFER_COUNT));
        const std::pair<int, const char*> typed[] = {
            {IDC_TRIGGER_NAME, "copy"},     {IDC_TRANSFER_SOURCE, "0x300"},
            {IDC_TRANSFER_COUNT, "70000"},  {IDC_TRANSFER_DESTINATION, "0x400"},
            {IDC_TRANSFER_DST_VALUE, "40"}, {IDC_TRIGGER_CYCLE, "5"},
            {IDC_TRIGGER_WAIT, "6"}};
        for (const auto& [id, text] : typed) Type(d, id, text);
        Pick(d, IDC_TRANSFER_SIZE, "32BIT");
        Screenshot(d, "transfer");
        Click(d, IDOK);  // the dialog takes 40; the trigger does not
      })
      .Then([&](HWND d) {
        EXPECT_EQ(Focused(d), IDC_TRANSFER_DST_VALUE);
        EXPECT_TRUE(AllSelected(d, IDC_TRANSFER_DST_VALUE));
        Type(d, IDC_TRANSFER_DST_VALUE, "31");
        Click(d, IDOK);
      });
  Edit(EditKind::Transfer, 0);
  EXPECT_EQ(help_, (Strings{"html\\SIM_DLG_TrnsTrg.htm", "html\\SIM_DLG_TrnsTrg.htm"}));
  EXPECT_EQ(Line(0), "100,transfer,copy,70000,32BIT,0x300,FIX,0x400,DECREMENT,5,6,2,31");
  EXPECT_EQ(sizes, (Strings{"8BIT", "16BIT", "32BIT", "8BIT*", "16BIT*", "32BIT*"}));
  EXPECT_EQ(modes, (Strings{"FIX", "INCREMENT", "DECREMENT"}));
}

TEST_F(DialogsTest, DataCreatedAfterTheBadPatternMessageThenEditedIntoAMemoryStream) {
  Strings sizes, repeats, modes;
  std::string message;
  HWND dialog = nullptr;
  user_
      .Then([&](HWND d) {
        dialog = d;
        EXPECT_TRUE(Checked(d, IDC_DATA_KIND_DATA));
        EXPECT_FALSE(Checked(d, IDC_DATA_KIND_STREAM));
        EXPECT_FALSE(Enabled(d, IDC_DATA_STREAM_SOURCE));
        EXPECT_FALSE(Enabled(d, IDC_DATA_COUNT));
        EXPECT_EQ(Text(d, IDC_DATA_MASK), "0x00000000");
        EXPECT_EQ(Text(d, IDC_DATA_SIZE) + Text(d, IDC_DATA_REPEAT) + Text(d, IDC_DATA_GENERATE),
                  "8BITSINGLEDEFAULT");
        sizes = Items(d, IDC_DATA_SIZE);
        repeats = Items(d, IDC_DATA_REPEAT);
        modes = Items(d, IDC_DATA_GENERATE);
        Type(d, IDC_DATA_DESTINATION, "0x20");
        Pick(d, IDC_DATA_REPEAT, "REPEAT");
        Type(d, IDC_DATA_MASK, "0xff");
        Pick(d, IDC_DATA_GENERATE, "RANDOM");
        Type(d, IDC_DATA_LIST, "10,1.5,x");
        Type(d, IDC_TRIGGER_CYCLE, "7");
        Type(d, IDC_TRIGGER_WAIT, "8");
        Click(d, IDC_DATA_KIND_STREAM);
        EXPECT_FALSE(Enabled(d, IDC_DATA_LIST));
        EXPECT_FALSE(Enabled(d, IDC_DATA_GENERATE));
        EXPECT_TRUE(Enabled(d, IDC_DATA_STREAM_SOURCE));
        EXPECT_TRUE(Enabled(d, IDC_DATA_COUNT_SPIN));
        Type(d, IDC_DATA_STREAM_SOURCE, "buf");
        Click(d, IDC_DATA_KIND_DATA);
        EXPECT_FALSE(Checked(d, IDC_DATA_KIND_STREAM));
        EXPECT_EQ(Text(d, IDC_DATA_LIST) + Text(d, IDC_DATA_STREAM_SOURCE), "10,1.5,xbuf");
        Screenshot(d, "data");
        Click(d, IDOK);  // the message box is the next step; then the dialog is still open
        EXPECT_TRUE(IsWindowEnabled(d));
        EXPECT_EQ(Focused(d), IDC_DATA_LIST);
        EXPECT_TRUE(AllSelected(d, IDC_DATA_LIST));
        Type(d, IDC_DATA_LIST, "10,1.5,2.5");
        Click(d, IDOK);
      })
      .Then([&](HWND box) {
        // No owner, yet the dialog waits for the box.
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        Answer(&message, "data_pattern_message")(box);
      });
  Create(EditKind::Stream);
  EXPECT_EQ(message.find("Data Pattern: "), 0u) << message;
  EXPECT_NE(message.find("RANDOM takes count,min,max"), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,Data,stream,0x20,8BIT,REPEAT,RANDOM,10,1.5,2.5,),7,8,0x000000ff");
  EXPECT_EQ(sizes, (Strings{"8BIT", "16BIT", "32BIT", "DOUBLE"}));
  EXPECT_EQ(repeats, (Strings{"SINGLE", "REPEAT", "CONST"}));
  EXPECT_EQ(modes, (Strings{"DEFAULT", "RANDOM", "RANDOM2"}));

  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Texts(d, {IDC_DATA_SIZE, IDC_DATA_LIST}), "8BIT 10,1.5,2.5");
        Type(d, IDC_DATA_COUNT, "abc");  // tested though disabled: a message says why
        Click(d, IDOK);
        SetFocus(Control(d, IDC_DATA_KIND_DATA));
        MSG down = {GetFocus(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
        IsDialogMessageW(d, &down);  // one radio group: Down chooses the other kind
        Type(d, IDC_DATA_STREAM_SOURCE, "0x600");
        Type(d, IDC_DATA_COUNT, "5");
        Click(d, IDOK);
      })
      .Then(Answer(&message, "data_count_message"));
  Edit(EditKind::Stream, 0);
  EXPECT_NE(message.find("choose \"Memory stream\""), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,Stream,stream,0x20,8BIT,REPEAT,0x600,5,7,8,0x000000ff");
}

// What the pattern's chart shows once the dialog has redrawn it by itself: the rows its
// highlight colour spans in the left and the right half, and how many pixels have the colour of
// its text and of grey text.
struct ChartPixels {
  int left_top = INT_MAX, right_top = INT_MAX, bottom = -1, text = 0, grey = 0;
};
ChartPixels ChartOf(HWND dialog) {
  RECT place;
  GetWindowRect(Control(dialog, IDC_DATA_CHART), &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  InflateRect(&place, -3, -3);  // inside its frame
  const Image image = Capture(dialog, true, false);
  ChartPixels seen;
  for (int y = place.top; y < place.bottom; ++y) {
    for (int x = place.left; x < place.right; ++x) {
      const uint32_t pixel = image.At(x, y);
      seen.text += pixel == Rgb(COLOR_WINDOWTEXT);
      seen.grey += pixel == Rgb(COLOR_GRAYTEXT);
      if (pixel != Rgb(COLOR_HIGHLIGHT)) continue;
      int& top = 2 * x < place.left + place.right ? seen.left_top : seen.right_top;
      top = std::min(top, y);
      seen.bottom = std::max(seen.bottom, y);
    }
  }
  return seen;
}

TEST_F(DialogsTest, DataChartFollowsThePatternAsItIsTyped) {
  user_.Then([&](HWND d) {
    Type(d, IDC_DATA_LIST, "0,255");
    const ChartPixels bars = ChartOf(d);
    EXPECT_GE(bars.left_top, bars.bottom - 1) << "0 is a line at the bottom";
    EXPECT_LT(bars.right_top, bars.bottom - 80) << "255 reaches the top of 8BIT";
    Pick(d, IDC_DATA_GENERATE, "RANDOM2");
    Type(d, IDC_DATA_LIST, "10,0,127");
    const ChartPixels band = ChartOf(d);
    EXPECT_NEAR(band.left_top, (bars.right_top + bars.bottom) / 2, 2) << "127 is half of 8BIT";
    Screenshot(d, "data_chart");
    Type(d, IDC_DATA_LIST, "10,-1,3");
    const ChartPixels reason = ChartOf(d);
    EXPECT_EQ(reason.bottom, -1);
    EXPECT_GT(reason.text, 20) << "the reason is written in place";
    Click(d, IDC_DATA_KIND_STREAM);
    const ChartPixels stream = ChartOf(d);
    EXPECT_EQ(stream.bottom + stream.text, -1);
    EXPECT_GT(stream.grey, 20);
    Click(d, IDCANCEL);
  });
  Create(EditKind::Stream);
}

TEST_F(DialogsTest, InterruptNamedAfterItsSourceAndWhetherItClearsThenEditedIntoARaise) {
  user_.Then([&](HWND d) {
    EXPECT_EQ(Items(d, IDC_INTERRUPT_SOURCE), (Strings{"0:INT0", "1:INT1", "2:INTX"}));
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "interrupt");
    Type(d, IDC_TRIGGER_CYCLE, "1000");
    SendMessageW(Control(d, IDC_TRIGGER_CYCLE), WM_KEYDOWN, VK_UP, 0);  // the spin's arrow key
    EXPECT_EQ(Text(d, IDC_TRIGGER_CYCLE), "1001");
    Type(d, IDC_TRIGGER_WAIT, "10");
    Pick(d, IDC_INTERRUPT_SOURCE, "2:INTX");
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "setINTX");
    // The clear box sets what cycle and wait apply to, not the name.
    Click(d, IDC_INTERRUPT_CLEAR);
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "setINTX");
    EXPECT_FALSE(Enabled(d, IDC_TRIGGER_CYCLE));
    EXPECT_FALSE(Enabled(d, IDC_INTERRUPT_WAIT_SPIN));
    // A source that is never cleared: no clear box, its timing applies; the choice comes back
    // with the next source.
    Pick(d, IDC_INTERRUPT_SOURCE, "1:INT1");
    EXPECT_FALSE(Enabled(d, IDC_INTERRUPT_CLEAR));
    EXPECT_FALSE(Checked(d, IDC_INTERRUPT_CLEAR));
    EXPECT_TRUE(Enabled(d, IDC_TRIGGER_CYCLE));
    Pick(d, IDC_INTERRUPT_SOURCE, "0:INT0");
    EXPECT_TRUE(Checked(d, IDC_INTERRUPT_CLEAR));
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "clearINT0");
    Screenshot(d, "interrupt");
    Click(d, IDOK);
  });
  Create(EditKind::Interrupt);
  EXPECT_EQ(Line(0), "100,clearInterrupt,clearINT0,INT0,1001,10");
  std::string message;
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Text(d, IDC_INTERRUPT_SOURCE), "0:INT0");
        EXPECT_TRUE(Checked(d, IDC_INTERRUPT_CLEAR));
        Type(d, IDC_TRIGGER_CYCLE, "abc");  // tested though disabled: a message says why
        Click(d, IDOK);
        Click(d, IDC_INTERRUPT_CLEAR);
        Type(d, IDC_TRIGGER_CYCLE, "5");
        Pick(d, IDC_INTERRUPT_SOURCE, "2:INTX");
        EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "clearINT0");  // an existing trigger keeps its name
        Click(d, IDOK);
      })
      .Then(Answer(&message, "interrupt_cycle_message"));
  Edit(EditKind::Interrupt, 0);
  EXPECT_NE(message.find("uncheck \"Clear the request\""), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,interrupt,clearINT0,INTX,5,10");
}

TEST_F(DialogsTest, ConnectionCreatedByAddingAndRemovingAndEditedByADoubleClick) {
  for (int i = 0; i < 6; ++i) Make("iostream", "Name=n" + std::to_string(i));
  for (int slot = 0; slot < 3; ++slot) ASSERT_EQ(document_.DeleteSlot(slot), 0);  // 3, 4, 5 left
  LRESULT extent = 0;
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Items(d, IDC_CONNECTION_AVAILABLE), (Strings{"n3", "n4", "n5"}));
        EXPECT_FALSE(Enabled(d, IDC_CONNECTION_ADD));
        EXPECT_FALSE(Enabled(d, IDC_CONNECTION_REMOVE));
        EXPECT_EQ(Focused(d), IDC_CONNECTION_NAME);
        Click(d, IDOK);  // nothing connected: the dialog stays, the focus where the click left it
        EXPECT_TRUE(IsWindowVisible(d));
        EXPECT_EQ(Focused(d), IDOK);
        Choose(d, IDC_CONNECTION_AVAILABLE, 0);
        EXPECT_TRUE(Enabled(d, IDC_CONNECTION_ADD));
        Click(d, IDC_CONNECTION_ADD);
        Choose(d, IDC_CONNECTION_AVAILABLE, 1);
        Click(d, IDC_CONNECTION_ADD);
        EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg3+5");
        EXPECT_EQ(Items(d, IDC_CONNECTION_AVAILABLE), Strings{"n4"});
        EXPECT_EQ(SendMessageW(Control(d, IDC_CONNECTION_AVAILABLE), LB_GETCURSEL, 0, 0), 0);
        Choose(d, IDC_CONNECTION_CONNECTED, 0);
        Click(d, IDC_CONNECTION_REMOVE);
        EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg5");
        EXPECT_EQ(Items(d, IDC_CONNECTION_AVAILABLE), (Strings{"n4", "n3"}));
        Choose(d, IDC_CONNECTION_AVAILABLE, 1);
        Click(d, IDC_CONNECTION_ADD);
        extent = SendMessageW(Control(d, IDC_CONNECTION_CONNECTED), LB_GETHORIZONTALEXTENT, 0, 0);
        Screenshot(d, "connection");
        Click(d, IDOK);
      })
      .Then([&](HWND d) {
        // Members are shown and written back as written: in another case, or naming no trigger.
        EXPECT_EQ(Items(d, IDC_CONNECTION_CONNECTED), (Strings{"n5", "N3", "gone"}));
        EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "pair");
        Choose(d, IDC_CONNECTION_CONNECTED, 0, true);
        EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg") << "N3 names no trigger exactly";
        Click(d, IDOK);
      });
  Create(EditKind::Connect);
  EXPECT_GT(extent, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(Line(0), "100,connect,trg5+3,n5,n3");
  Make("connect", "Name=pair;Destination=n5,N3,gone");
  Edit(EditKind::Connect, 1);
  EXPECT_EQ(Line(1), "101,connect,trg,N3,gone");
}

TEST_F(DialogsTest, IoStreamCancelledLeavesItsTriggerThenTakesAValueBeyondTheSpin) {
  Make("iostream", "Name=port;Destination=9000");
  user_
      .Then([&](HWND d) {
        SendMessageW(Control(d, IDC_IO_STREAM_VALUE), WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Text(d, IDC_IO_STREAM_VALUE), "9001");
        Click(d, IDCANCEL);
      })
      .Then([&](HWND d) {
        Type(d, IDC_IO_STREAM_VALUE, "70000");
        Screenshot(d, "io_stream");
        Click(d, IDOK);
      });
  Edit(EditKind::IOStream, 0);
  EXPECT_EQ(Line(0), "100,iostream,port,9000");
  Edit(EditKind::IOStream, 0);
  EXPECT_EQ(Line(0), "100,iostream,port,4464") << "the port is 16 bits";
}

TEST_F(DialogsTest, ControlSelectsItsTargetIgnoringCaseAndTakesTheChosenAction) {
  Make("iostream", "Name=p1");
  Make("control", "Destination=P1;Source=stop", false);  // "P1" names no trigger
  Strings actions;
  user_.Then([&](HWND d) {
    EXPECT_EQ(Items(d, IDC_CONTROL_TARGET), Strings{"p1"});
    EXPECT_EQ(Text(d, IDC_CONTROL_TARGET) + " " + Text(d, IDC_CONTROL_ACTION), "p1 STOP");
    actions = Items(d, IDC_CONTROL_ACTION);
    Pick(d, IDC_CONTROL_ACTION, "RESTART");
    Screenshot(d, "control");
    Click(d, IDOK);
  });
  Edit(EditKind::Control, 1);
  EXPECT_EQ(Line(1), "101,control,control,RESTART,p1");
  EXPECT_EQ(actions, (Strings{"STOP", "RESET", "RESTART"}));
}

}  // namespace
