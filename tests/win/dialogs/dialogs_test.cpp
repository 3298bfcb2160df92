// The six trigger dialogs, real and modal, driven as a user drives them: each test creates or
// edits a trigger through the trigger window's edit-or-create loop and ends in the registry (the
// trigger's definition line) and the simulator (the record it received).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "core/window/edit_loop.h"
#include "tests/core/registry/registry_fixture.h"
#include "tests/win/dialogs/dialog_driver.h"
#include "win/resources/dialog_ids.h"
#include "win/ui/dialogs/dialog_runner.h"
#include "win/ui/framework/activation_context.h"

namespace {

using namespace dialog_test;
using core::rows::TriggerInfo;
using core::window::DialogData;
using core::window::DialogResult;
using core::window::EditKind;
using core::window::EditLoop;
using core::window::Field;
using core::window::TriggerDocument;
using Items = std::vector<std::string>;

// A file of the build beside the test.
std::wstring BesideTest(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring test(path);
  return test.substr(0, test.find_last_of(L"\\/") + 1) + name;
}

// TriggerRES.dll, loaded as the add-in loads it.
HINSTANCE Resources() {
  static const HINSTANCE module =
      LoadLibraryExW(BesideTest(L"TriggerRES.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return module;
}

// Only version 6 of the common controls has buttons that know their ideal size.
bool IsVersion6Button(HWND button) {
  SIZE size = {};
  return SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) != FALSE;
}

// A button made under whatever activation context is active.
bool NewButtonIsVersion6() {
  HWND button = CreateWindowW(L"Button", L"OK", WS_CHILD, 0, 0, 50, 14, HWND_MESSAGE, nullptr,
                              nullptr, nullptr);
  EXPECT_NE(button, nullptr);
  const bool version6 = IsVersion6Button(button);
  DestroyWindow(button);
  return version6;
}

// Three interrupt sources, codes 0x20 to 0x22; INT1's table value 1 marks it as never cleared.
std::vector<uint8_t> InterruptSources() {
  const std::pair<const char*, uint16_t> sources[] = {{"INT0", 0}, {"INT1", 1}, {"INTX", 9}};
  core::automation::ByteWriter table(4 + 3 * 20);
  table.U16(0, 0xFFFF);
  table.U16(2, 3);
  for (size_t i = 0; i < 3; ++i) {
    table.Text(4 + 20 * i, sources[i].first, 16);
    table.U16(4 + 20 * i + 16, static_cast<uint16_t>(0x20 + i));
    table.U16(4 + 20 * i + 18, sources[i].second);
  }
  return table.Take();
}

// The size of a trigger record by its action code.
size_t RecordSize(const uint8_t* record) {
  switch (core::automation::ReadU16(record + 6)) {
    case 1:
    case 10:
      return 18;
    case 12:
      return 20;
    case 11:
      return 20 + 2u * core::automation::ReadU16(record + 16);
    case 16:
      return 24;
    default:
      return 836;
  }
}

class DialogsTest : public registry_test::RegistryTest {
 protected:
  DialogsTest() {
    simulator_.source_table = InterruptSources();
    auto reply = state_.reply;
    state_.reply = [this, reply](const uint8_t* block) {
      if (core::automation::ReadU16(block) != 8) {
        records_[core::automation::ReadU16(block + 4)].assign(block, block + RecordSize(block));
      }
      return reply(block);
    };
  }
  void SetUp() override {
    ASSERT_NE(Resources(), nullptr) << "TriggerRES.dll is not beside the test";
  }

  void Create(EditKind kind) { loop_.EditOrCreate(kind, std::nullopt); }
  void Edit(EditKind kind, int slot) { loop_.EditOrCreate(kind, slot); }
  // A trigger made through its adapter's setters, registered unless told otherwise.
  TriggerInfo* Make(const char* keyword, const std::string& columns, bool registered = true) {
    TriggerInfo* adapter = document_.CreateTrigger(keyword);
    EXPECT_NE(adapter, nullptr);
    if (adapter == nullptr) return nullptr;
    row_test::SetColumns(*adapter, columns);
    if (registered) {
      EXPECT_EQ(adapter->Register(), 0);
    }
    return adapter;
  }
  std::string Line(int slot) {
    const TriggerInfo* adapter = document_.GetTriggerInfo(slot);
    return adapter ? adapter->GetDefinitionText() : "(no trigger)";
  }
  // The first bytes of the last record the simulator received for the slot's trigger.
  std::string Record(int slot, size_t bytes) {
    const std::vector<uint8_t>& record = records_[slot + 100];
    return fakes::Hex(record.data(), std::min(bytes, record.size()));
  }

  TriggerDocument document_{registry_};
  std::vector<std::string> help_;
  win::ui::DialogRunner dialogs_{Resources(), nullptr,
                                 [this](const std::string& topic) { help_.push_back(topic); }};
  EditLoop loop_{document_, dialogs_};
  std::map<int, std::vector<uint8_t>> records_;
  UserScript user_;
};

TEST_F(DialogsTest, TransferCreated) {
  Items sizes, modes;
  user_.Then([&](HWND d) {
    EXPECT_EQ(ComboItems(d, IDC_TRIGGER_NUMBER), Items{"new"});
    EXPECT_EQ(Text(d, IDC_TRIGGER_NUMBER), "new");
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "transfer");
    EXPECT_EQ(Focused(d), IDC_TRIGGER_NAME);
    EXPECT_EQ(SendMessageW(Control(d, IDC_TRIGGER_NAME), EM_GETLIMITTEXT, 0, 0), 255);
    // Spins count in base 10 over their ranges.
    const std::pair<int, int> spins[] = {{IDC_TRANSFER_COUNT_SPIN, 32767},
                                         {IDC_TRANSFER_SRC_VALUE_SPIN, 31},
                                         {IDC_TRANSFER_DST_VALUE_SPIN, 31}};
    for (const auto& [spin, upper] : spins) {
      int lower = -1, high = -1;
      SendMessageW(Control(d, spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                   reinterpret_cast<LPARAM>(&high));
      EXPECT_EQ(lower, 0) << spin;
      EXPECT_EQ(high, upper) << spin;
      EXPECT_EQ(SendMessageW(Control(d, spin), UDM_GETBASE, 0, 0), 10) << spin;
    }
    // A new trigger has no size and no modes: the size list shows none, the mode lists their
    // first item, which takes no value.
    EXPECT_EQ(Text(d, IDC_TRANSFER_SIZE), "");
    EXPECT_EQ(Text(d, IDC_TRANSFER_SRC_MODE), "FIX");
    EXPECT_EQ(Text(d, IDC_TRANSFER_DST_MODE), "FIX");
    EXPECT_FALSE(Enabled(d, IDC_TRANSFER_SRC_VALUE));
    EXPECT_FALSE(Enabled(d, IDC_TRANSFER_SRC_VALUE_LABEL));
    sizes = ComboItems(d, IDC_TRANSFER_SIZE);
    modes = ComboItems(d, IDC_TRANSFER_SRC_MODE);
    EXPECT_EQ(ComboItems(d, IDC_TRANSFER_DST_MODE), modes);

    Click(d, IDOK);  // nothing chosen: the size list is the first to complain
    EXPECT_EQ(Focused(d), IDC_TRANSFER_SIZE);
    Pick(d, IDC_TRANSFER_SIZE, "16BIT");
    Type(d, IDC_TRANSFER_COUNT, "12a");
    Click(d, IDOK);
    EXPECT_EQ(Focused(d), IDC_TRANSFER_COUNT);
    EXPECT_TRUE(AllSelected(d, IDC_TRANSFER_COUNT));
    Type(d, IDC_TRANSFER_COUNT, "70000");  // the spin's range binds its arrows only
    Type(d, IDC_TRANSFER_SOURCE, "0x100");
    Pick(d, IDC_TRANSFER_SRC_MODE, "INCREMENT");
    EXPECT_TRUE(Enabled(d, IDC_TRANSFER_SRC_VALUE));
    EXPECT_TRUE(Enabled(d, IDC_TRANSFER_SRC_VALUE_SPIN));
    EXPECT_TRUE(Enabled(d, IDC_TRANSFER_SRC_VALUE_LABEL));
    Type(d, IDC_TRANSFER_SRC_VALUE, "2");
    Type(d, IDC_TRANSFER_DESTINATION, "0x200");
    EXPECT_FALSE(Enabled(d, IDC_TRANSFER_DST_VALUE));
    Type(d, IDC_TRIGGER_CYCLE, "3");
    Type(d, IDC_TRIGGER_WAIT, "4");
    Screenshot(d, "transfer");
    Click(d, IDOK);
  });
  Create(EditKind::Transfer);
  EXPECT_EQ(Line(0), "100,transfer,transfer,70000,16BIT,0x100,INCREMENT,0x200,FIX,3,4,2,0");
  EXPECT_EQ(Record(0, 40),
            "00 00 00 01 64 00 04 00 03 00 00 00 04 00 00 00 02 02 01 00 "
            "70 11 01 00 00 01 00 00 00 02 00 00 02 00 00 00 00 00 00 00");
  // The lists offer exactly what the trigger takes.
  EXPECT_EQ(sizes, (Items{"8BIT", "16BIT", "32BIT", "8BIT*", "16BIT*", "32BIT*"}));
  EXPECT_EQ(modes, (Items{"FIX", "INCREMENT", "DECREMENT"}));
  TriggerInfo* adapter = document_.GetTriggerInfo(0);
  for (const std::string& size : sizes) EXPECT_EQ(adapter->SetSize(size), 0) << size;
  for (const std::string& mode : modes) EXPECT_EQ(adapter->SetSrcMode(mode), 0) << mode;
}

TEST_F(DialogsTest, TransferEditedWithAModeValueTheTriggerRefuses) {
  Make("transfer",
       "Size=16bit;Source=0x100;SrcMode=increment;SrcModeValue=2;Destination=0x200;DstMode=fix;"
       "Count=16;Cycle=3;Wait=4");
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(ComboItems(d, IDC_TRIGGER_NUMBER), (Items{"new", "0"}));
        EXPECT_EQ(Text(d, IDC_TRIGGER_NUMBER), "0");
        EXPECT_EQ(Text(d, IDC_TRANSFER_SIZE), "16BIT");
        EXPECT_EQ(Text(d, IDC_TRANSFER_SRC_MODE), "INCREMENT");
        EXPECT_EQ(Text(d, IDC_TRANSFER_SRC_VALUE), "2");
        EXPECT_TRUE(Enabled(d, IDC_TRANSFER_SRC_VALUE));
        EXPECT_EQ(Text(d, IDC_TRANSFER_DST_MODE), "FIX");
        EXPECT_FALSE(Enabled(d, IDC_TRANSFER_DST_VALUE));
        EXPECT_EQ(Text(d, IDC_TRANSFER_COUNT), "16");
        HELPINFO help = {};
        help.cbSize = sizeof help;
        SendMessageW(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));  // F1
        Click(d, IDHELP);
        Type(d, IDC_TRANSFER_SRC_VALUE, "40");
        Click(d, IDOK);  // the dialog takes 40; the trigger does not
      })
      .Then([&](HWND d) {
        EXPECT_EQ(Text(d, IDC_TRANSFER_SRC_VALUE), "40");
        EXPECT_EQ(Focused(d), IDC_TRANSFER_SRC_VALUE);
        EXPECT_TRUE(AllSelected(d, IDC_TRANSFER_SRC_VALUE));
        Type(d, IDC_TRANSFER_SRC_VALUE, "31");
        Click(d, IDOK);
      });
  Edit(EditKind::Transfer, 0);
  EXPECT_EQ(help_, (Items{"html\\SIM_DLG_TrnsTrg.htm", "html\\SIM_DLG_TrnsTrg.htm"}));
  EXPECT_EQ(Line(0), "100,transfer,transfer,16,16BIT,0x100,INCREMENT,0x200,FIX,3,4,31,0");
  EXPECT_EQ(Record(0, 40).substr(96), "1F 00 00 00 00 00 00 00");
}

TEST_F(DialogsTest, DataCreatedAfterTheBadPatternMessage) {
  Items sizes, repeats, modes;
  std::string message;
  HWND dialog = nullptr;
  user_
      .Then([&](HWND d) {
        dialog = d;
        EXPECT_TRUE(Checked(d, IDC_DATA_KIND_DATA));
        EXPECT_FALSE(Checked(d, IDC_DATA_KIND_STREAM));
        EXPECT_TRUE(Enabled(d, IDC_DATA_LIST));
        EXPECT_FALSE(Enabled(d, IDC_DATA_STREAM_SOURCE));
        EXPECT_FALSE(Enabled(d, IDC_DATA_COUNT));
        EXPECT_EQ(Text(d, IDC_DATA_MASK), "0x00000000");
        // A new trigger's lists open on their first items.
        EXPECT_EQ(Text(d, IDC_DATA_SIZE), "8BIT");
        EXPECT_EQ(Text(d, IDC_DATA_REPEAT), "SINGLE");
        EXPECT_EQ(Text(d, IDC_DATA_GENERATE), "DEFAULT");
        sizes = ComboItems(d, IDC_DATA_SIZE);
        repeats = ComboItems(d, IDC_DATA_REPEAT);
        modes = ComboItems(d, IDC_DATA_GENERATE);
        Type(d, IDC_DATA_DESTINATION, "0x20");
        Pick(d, IDC_DATA_REPEAT, "REPEAT");
        Type(d, IDC_DATA_MASK, "0xff");
        Pick(d, IDC_DATA_GENERATE, "RANDOM");
        Type(d, IDC_DATA_LIST, "10,1.5,x");
        // Switching kinds and back keeps the texts of the fields it disables.
        Click(d, IDC_DATA_KIND_STREAM);
        EXPECT_FALSE(Enabled(d, IDC_DATA_LIST));
        EXPECT_FALSE(Enabled(d, IDC_DATA_GENERATE));
        EXPECT_TRUE(Enabled(d, IDC_DATA_STREAM_SOURCE));
        EXPECT_TRUE(Enabled(d, IDC_DATA_COUNT_SPIN));
        Type(d, IDC_DATA_STREAM_SOURCE, "buf");
        Click(d, IDC_DATA_KIND_DATA);
        EXPECT_FALSE(Checked(d, IDC_DATA_KIND_STREAM));
        EXPECT_EQ(Text(d, IDC_DATA_LIST), "10,1.5,x");
        EXPECT_EQ(Text(d, IDC_DATA_STREAM_SOURCE), "buf");
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
        message = MessageOf(box);
        Screenshot(box, "data_pattern_message");
        SendMessageW(box, WM_COMMAND, IDOK, 0);
      });
  Create(EditKind::Stream);
  EXPECT_EQ(user_.WindowsSeen(), 2);  // the dialog and one message box
  EXPECT_EQ(message.find("Data Pattern: "), 0u) << message;
  EXPECT_NE(message.find("RANDOM takes count,min,max"), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,Data,stream,0x20,8BIT,REPEAT,RANDOM,10,1.5,2.5,),0,0,0x000000ff");
  // Pattern 2 (random), repeat 3, size 1; count 10, min 1.5 and max 2.5 as doubles.
  EXPECT_EQ(Record(0, 52),
            "00 00 00 01 64 00 02 00 00 00 00 00 00 00 00 00 02 03 01 00 20 00 00 00 00 00 00 00 "
            "FF 00 00 00 0A 00 00 00 00 00 00 00 00 00 F8 3F 00 00 00 00 00 00 04 40");
  EXPECT_EQ(sizes, (Items{"8BIT", "16BIT", "32BIT", "DOUBLE"}));
  EXPECT_EQ(repeats, (Items{"SINGLE", "REPEAT", "CONST"}));
  EXPECT_EQ(modes, (Items{"DEFAULT", "RANDOM", "RANDOM2"}));
  TriggerInfo* adapter = document_.GetTriggerInfo(0);
  for (const std::string& size : sizes) EXPECT_EQ(adapter->SetSize(size), 0) << size;
  for (const std::string& repeat : repeats) EXPECT_EQ(adapter->SetDstMode(repeat), 0) << repeat;
  for (const std::string& mode : modes) EXPECT_EQ(adapter->SetSrcMode(mode), 0) << mode;
}

TEST_F(DialogsTest, DataEditedIntoAMemoryStream) {
  Make("data",
       "Size=16bit;Destination=0x20;DstMode=single;SrcMode=default;DataList=1,2,3;"
       "SourceKind=Data");
  std::string message;
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Text(d, IDC_DATA_SIZE), "16BIT");
        EXPECT_EQ(Text(d, IDC_DATA_REPEAT), "SINGLE");
        EXPECT_EQ(Text(d, IDC_DATA_GENERATE), "DEFAULT");
        EXPECT_EQ(Text(d, IDC_DATA_LIST), "1,2,3");
        Type(d, IDC_DATA_COUNT, "abc");  // tested though disabled: a message says why
        Click(d, IDOK);
        SetFocus(Control(d, IDC_DATA_KIND_DATA));
        MSG down = {GetFocus(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
        IsDialogMessageW(d, &down);  // one radio group: Down chooses the other kind
        Type(d, IDC_DATA_STREAM_SOURCE, "0x600");
        Click(d, IDOK);
        EXPECT_EQ(Focused(d), IDC_DATA_COUNT);
        Type(d, IDC_DATA_COUNT, "5");
        Click(d, IDOK);
      })
      .Then([&](HWND box) {
        message = MessageOf(box);
        Screenshot(box, "data_count_message");
        SendMessageW(box, WM_COMMAND, IDOK, 0);
      });
  Edit(EditKind::Stream, 0);
  EXPECT_NE(message.find("choose \"Memory stream\""), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,Stream,stream,0x20,16BIT,SINGLE,0x600,5,0,0,0x00000000");
  EXPECT_EQ(Record(0, 36),
            "00 00 00 01 64 00 02 00 00 00 00 00 00 00 00 00 04 02 02 00 20 00 00 00 05 00 00 00 "
            "00 00 00 00 00 06 00 00");
}

TEST_F(DialogsTest, InterruptCreatedAndNamedAfterItsSource) {
  user_.Then([&](HWND d) {
    EXPECT_EQ(ComboItems(d, IDC_INTERRUPT_SOURCE), (Items{"0:INT0", "1:INT1", "2:INTX"}));
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "interrupt");
    Click(d, IDOK);
    EXPECT_EQ(Focused(d), IDC_INTERRUPT_SOURCE);
    Pick(d, IDC_INTERRUPT_SOURCE, "2:INTX");
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "setINTX");
    // The clear box sets what cycle and wait apply to, not the name; the next source chosen
    // names the trigger after both.
    Click(d, IDC_INTERRUPT_CLEAR);
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "setINTX");
    EXPECT_FALSE(Enabled(d, IDC_TRIGGER_CYCLE));
    EXPECT_FALSE(Enabled(d, IDC_INTERRUPT_WAIT_SPIN));
    // A source that is never cleared: no clear box, and its timing applies; the choice comes
    // back with the next source.
    Pick(d, IDC_INTERRUPT_SOURCE, "1:INT1");
    EXPECT_FALSE(Enabled(d, IDC_INTERRUPT_CLEAR));
    EXPECT_FALSE(Checked(d, IDC_INTERRUPT_CLEAR));
    EXPECT_TRUE(Enabled(d, IDC_TRIGGER_CYCLE));
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "setINT1");
    Pick(d, IDC_INTERRUPT_SOURCE, "0:INT0");
    EXPECT_TRUE(Enabled(d, IDC_INTERRUPT_CLEAR));
    EXPECT_TRUE(Checked(d, IDC_INTERRUPT_CLEAR));
    EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "clearINT0");
    Click(d, IDC_INTERRUPT_CLEAR);
    EXPECT_TRUE(Enabled(d, IDC_INTERRUPT_WAIT_SPIN));  // the cycle is stepped below
    Pick(d, IDC_INTERRUPT_SOURCE, "2:INTX");
    Type(d, IDC_TRIGGER_CYCLE, "1000");
    SendMessageW(Control(d, IDC_TRIGGER_CYCLE), WM_KEYDOWN, VK_UP, 0);  // the spin's arrow key
    EXPECT_EQ(Text(d, IDC_TRIGGER_CYCLE), "1001");
    Type(d, IDC_TRIGGER_WAIT, "10");
    Screenshot(d, "interrupt");
    Click(d, IDOK);
  });
  Create(EditKind::Interrupt);
  EXPECT_EQ(Line(0), "100,interrupt,setINTX,INTX,1001,10");
  EXPECT_EQ(Record(0, 18), "00 00 00 01 64 00 01 00 E9 03 00 00 0A 00 00 00 22 00");
}

TEST_F(DialogsTest, ClearingInterruptEdited) {
  TriggerInfo* adapter = Make("interrupt", "Name=off;Destination=intx;Cycle=5;Wait=6", false);
  auto* trigger = static_cast<core::triggers::CInterruptTrigger*>(adapter->GetTrigger().get());
  trigger->PutRaise(core::automation::kVariantFalse);
  ASSERT_EQ(adapter->Register(), 0);
  std::string message;
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Text(d, IDC_INTERRUPT_SOURCE), "2:INTX");  // stored as "intx"
        Type(d, IDC_TRIGGER_CYCLE, "abc");  // tested though disabled: a message says why
        Click(d, IDOK);
        Type(d, IDC_TRIGGER_CYCLE, "5");
        Pick(d, IDC_INTERRUPT_SOURCE, "0:INT0");
        EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "off");  // an existing trigger keeps its name
        Click(d, IDOK);
      })
      .Then([&](HWND box) {
        message = MessageOf(box);
        Screenshot(box, "interrupt_cycle_message");
        SendMessageW(box, WM_COMMAND, IDOK, 0);
      });
  Edit(EditKind::Interrupt, 0);
  EXPECT_NE(message.find("uncheck \"Clear the request\""), std::string::npos) << message;
  EXPECT_EQ(Line(0), "100,clearInterrupt,off,INT0,5,6");
  EXPECT_EQ(Record(0, 8), "00 00 00 01 64 00 0A 00");
  EXPECT_TRUE(static_cast<core::rows::InterruptTriggerInfo*>(adapter)->ClearInterrupt());
}

class ConnectionDialogTest : public DialogsTest {
 protected:
  // Triggers numbered 3, 4 and 5 above three empty slots.
  void SetUp() override {
    DialogsTest::SetUp();
    for (int i = 0; i < 6; ++i) Make("iostream", "Name=n" + std::to_string(i));
    for (int slot = 0; slot < 3; ++slot) ASSERT_EQ(document_.DeleteSlot(slot), 0);
  }
};

TEST_F(ConnectionDialogTest, CreatedByAddingAndRemoving) {
  LRESULT extent = 0;
  user_.Then([&](HWND d) {
    EXPECT_EQ(ListBoxItems(d, IDC_CONNECTION_AVAILABLE), (Items{"n3", "n4", "n5"}));
    EXPECT_TRUE(ListBoxItems(d, IDC_CONNECTION_CONNECTED).empty());
    EXPECT_FALSE(Enabled(d, IDC_CONNECTION_ADD));
    EXPECT_FALSE(Enabled(d, IDC_CONNECTION_REMOVE));
    Click(d, IDOK);  // nothing connected: the dialog stays, the focus where the click left it
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(Focused(d), IDOK);

    Select(d, IDC_CONNECTION_AVAILABLE, 0);
    EXPECT_TRUE(Enabled(d, IDC_CONNECTION_ADD));
    Click(d, IDC_CONNECTION_ADD);
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg3");
    Select(d, IDC_CONNECTION_AVAILABLE, 1);
    Click(d, IDC_CONNECTION_ADD);
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg3+5");
    EXPECT_EQ(ListBoxItems(d, IDC_CONNECTION_AVAILABLE), Items{"n4"});
    EXPECT_EQ(SendMessageW(Control(d, IDC_CONNECTION_AVAILABLE), LB_GETCURSEL, 0, 0), 0);
    Select(d, IDC_CONNECTION_CONNECTED, 0);
    Click(d, IDC_CONNECTION_REMOVE);
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg5");
    EXPECT_EQ(ListBoxItems(d, IDC_CONNECTION_AVAILABLE), (Items{"n4", "n3"}));
    Select(d, IDC_CONNECTION_AVAILABLE, 1);
    Click(d, IDC_CONNECTION_ADD);
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg5+3");
    extent = SendMessageW(Control(d, IDC_CONNECTION_CONNECTED), LB_GETHORIZONTALEXTENT, 0, 0);
    Screenshot(d, "connection");
    Click(d, IDOK);
  });
  Create(EditKind::Connect);
  EXPECT_GT(extent, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(Line(0), "100,connect,trg5+3,n5,n3");
  EXPECT_EQ(Record(0, 24),
            "00 00 00 01 64 00 0B 00 00 00 00 00 00 00 00 00 02 00 69 00 67 00 00 00");
}

TEST_F(DialogsTest, ConnectionOkTestsNameTheFieldToFocusNextAndMoveNoFocus) {
  struct Case {
    const char* name;
    std::vector<std::string> members;
    Field focus;
  };
  const Case cases[] = {{"", {"n1"}, Field::Name}, {"pair", {}, Field::Destination}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.focus));
    DialogData data;
    data[Field::Name] = c.name;
    data.others = {{"n1", 1}, {"n2", 2}};
    data.members = c.members;
    user_.Then([&](HWND d) {
      EXPECT_EQ(Focused(d), IDC_CONNECTION_NAME);
      Click(d, IDOK);
      EXPECT_TRUE(IsWindowVisible(d));
      EXPECT_EQ(data.focus, c.focus);
      EXPECT_EQ(Focused(d), IDOK);
      Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialogs_.Run(EditKind::Connect, data), DialogResult::Cancel);
  }
}

TEST_F(ConnectionDialogTest, EditedByDoubleClickingAMemberAway) {
  // Members are shown and written back as written: in another case, or naming no trigger.
  Make("connect", "Name=pair;Destination=n5,N3,gone");
  user_.Then([&](HWND d) {
    EXPECT_EQ(ListBoxItems(d, IDC_CONNECTION_AVAILABLE), Items{"n4"});
    EXPECT_EQ(ListBoxItems(d, IDC_CONNECTION_CONNECTED), (Items{"n5", "N3", "gone"}));
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "pair");
    HWND connected = Control(d, IDC_CONNECTION_CONNECTED);
    SendMessageW(connected, LB_SETCURSEL, 0, 0);
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_CONNECTION_CONNECTED, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(connected));
    EXPECT_EQ(Text(d, IDC_CONNECTION_NAME), "trg") << "N3 names no trigger exactly";
    Click(d, IDOK);
  });
  Edit(EditKind::Connect, 0);
  EXPECT_EQ(Line(0), "100,connect,trg,N3,gone");
  // The trigger compares names exactly: neither member names one of its triggers (id 99).
  EXPECT_EQ(Record(0, 22), "00 00 00 01 64 00 0B 00 00 00 00 00 00 00 00 00 02 00 63 00 63 00");
}

TEST_F(DialogsTest, IoStreamCreatedWithAValueBeyondTheSpin) {
  user_.Then([&](HWND d) {
    EXPECT_EQ(Text(d, IDC_IO_STREAM_VALUE), "8000");
    Type(d, IDC_IO_STREAM_VALUE, "8k");
    Click(d, IDOK);
    EXPECT_EQ(Focused(d), IDC_IO_STREAM_VALUE);
    EXPECT_TRUE(AllSelected(d, IDC_IO_STREAM_VALUE));
    Type(d, IDC_IO_STREAM_VALUE, "70000");
    Screenshot(d, "io_stream");
    Click(d, IDOK);
  });
  Create(EditKind::IOStream);
  EXPECT_EQ(Line(0), "100,iostream,iostream,4464");  // the port is 16 bits
  EXPECT_EQ(Record(0, 20), "00 00 00 01 64 00 0C 00 00 00 00 00 00 00 00 00 70 11 00 00");
}

TEST_F(DialogsTest, IoStreamEditedWithTheSpinAndCancelled) {
  Make("iostream", "Name=port;Destination=9000");
  user_
      .Then([&](HWND d) {
        EXPECT_EQ(Text(d, IDC_TRIGGER_NUMBER), "0");
        SendMessageW(Control(d, IDC_IO_STREAM_VALUE), WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Text(d, IDC_IO_STREAM_VALUE), "9001");
        Click(d, IDCANCEL);
      })
      .Then([&](HWND d) {
        Type(d, IDC_IO_STREAM_VALUE, "12000");
        Click(d, IDOK);
      });
  Edit(EditKind::IOStream, 0);
  EXPECT_EQ(Line(0), "100,iostream,port,9000");
  Edit(EditKind::IOStream, 0);
  EXPECT_EQ(Line(0), "100,iostream,port,12000");
  EXPECT_EQ(Record(0, 20), "00 00 00 01 64 00 0C 00 00 00 00 00 00 00 00 00 E0 2E 00 00");
}

TEST_F(DialogsTest, ControlCreatedAndCancelled) {
  Make("iostream", "Name=p1");
  Items actions, targets;
  user_.Then([&](HWND d) { Click(d, IDCANCEL); }).Then([&](HWND d) {
    actions = ComboItems(d, IDC_CONTROL_ACTION);
    targets = ComboItems(d, IDC_CONTROL_TARGET);
    Pick(d, IDC_CONTROL_ACTION, "RESTART");
    Pick(d, IDC_CONTROL_TARGET, "p1");
    Screenshot(d, "control");
    Click(d, IDOK);
  });
  Create(EditKind::Control);
  EXPECT_EQ(document_.GetTriggerCount(), 1);
  Create(EditKind::Control);
  EXPECT_EQ(Line(1), "101,control,control,RESTART,p1");
  EXPECT_EQ(Record(1, 24),
            "00 00 00 01 65 00 10 00 00 00 00 00 00 00 00 00 64 00 00 00 03 00 00 00");
  EXPECT_EQ(actions, (Items{"STOP", "RESET", "RESTART"}));
  EXPECT_EQ(targets, Items{"p1"});
  TriggerInfo* adapter = document_.GetTriggerInfo(1);
  for (const std::string& action : actions) EXPECT_EQ(adapter->SetSource(action), 0) << action;
}

TEST_F(DialogsTest, ControlEditedSelectsItsTargetIgnoringCase) {
  Make("iostream", "Name=p1");
  Make("control", "Destination=P1;Source=stop", false);  // "P1" names no trigger yet
  user_.Then([&](HWND d) {
    EXPECT_EQ(ComboItems(d, IDC_TRIGGER_NUMBER), (Items{"new", "1"}));
    EXPECT_EQ(Text(d, IDC_CONTROL_TARGET), "p1");
    EXPECT_EQ(Text(d, IDC_CONTROL_ACTION), "STOP");
    Click(d, IDOK);
  });
  Edit(EditKind::Control, 1);
  EXPECT_EQ(Line(1), "101,control,control,STOP,p1");
  EXPECT_EQ(Record(1, 24),
            "00 00 00 01 65 00 10 00 00 00 00 00 00 00 00 00 64 00 00 00 01 00 00 00");
}

TEST_F(DialogsTest, ControlsAreVersion6UnderTheAddinsManifest) {
  // The test asks for no version of its own (its manifest is resource 2, as in Trigger.dll),
  // so a button made outside any context is the system's.
  EXPECT_FALSE(NewButtonIsVersion6());
  // Trigger.dll carries the manifest...
  HMODULE addin = LoadLibraryW(BesideTest(L"Trigger.dll").c_str());
  ASSERT_NE(addin, nullptr) << "Trigger.dll is not beside the test";
  {
    const win::ui::ActivationContext context(addin);
    EXPECT_TRUE(context.Valid()) << "error " << GetLastError();
    const win::ui::ActivationScope scope(context);
    EXPECT_TRUE(scope.Active());
    EXPECT_TRUE(NewButtonIsVersion6());
  }
  EXPECT_FALSE(NewButtonIsVersion6());
  FreeLibrary(addin);
  // ...and the dialogs are made under it.
  bool version6 = false;
  user_.Then([&](HWND d) {
    version6 = IsVersion6Button(Control(d, IDOK));
    Click(d, IDCANCEL);
  });
  Create(EditKind::IOStream);
  EXPECT_TRUE(version6);
}

}  // namespace
