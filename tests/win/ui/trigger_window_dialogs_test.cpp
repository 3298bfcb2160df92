// The trigger window of Trigger.dll in the host stand-in with its real dialogs, as a user meets
// them on the sample project: a trigger created through a command and one edited by a
// double-click end in the list, the registry's definition line and the simulator's record; F1 in
// the window and in each dialog opens the stand-in's help file at the right topic.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/win/addin/addin_test_support.h"
#include "tests/win/dialogs/dialog_driver.h"
#include "tests/win/ui/window_test_support.h"
#include "win/resources/dialog_ids.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using addintest::UniqueBstr;
using windowtest::ListOf;
using windowtest::Pump;
namespace user = dialog_test;

constexpr UINT kTransferCommand = 54204;

class TriggerWindowDialogsTest : public addintest::AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_EQ(Connect(), 0);
    ASSERT_HR(S_OK, LoadTriggers());
    ASSERT_HR(S_OK, standin_->Exec(54201));
    Pump();
    const std::vector<HWND> frames = windowtest::TriggerFrames();
    ASSERT_EQ(frames.size(), 1u);
    frame_ = frames.front();
    list_ = ListOf(frame_);
  }

  // A double-click as the mouse makes it, in the middle of a row's Name cell.
  void DoubleClick(int row) {
    RECT cell = {};
    ListView_GetSubItemRect(list_, row, 2, LVIR_BOUNDS, &cell);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    PostMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list_, WM_LBUTTONUP, 0, at);
    PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list_, WM_LBUTTONUP, 0, at);
    Pump();
  }

  // The definition line the registry keeps for the named trigger.
  std::string Definition(const wchar_t* name) {
    ComPtr<IUnknown> trigger;
    EXPECT_HR(S_OK, Registry()->FindTrigger(Bstr(name).Get(), trigger.Put()));
    ComPtr<IDispatch> object;
    if (!trigger || FAILED(trigger.As(IID_IDispatch, &object))) return "(no trigger)";
    standintest::UniqueVariant line;
    EXPECT_HR(S_OK, comtest::InvokeByName(object.Get(), L"Definition", DISPATCH_PROPERTYGET, {},
                                          line.Put()));
    return V_VT(line.Get()) == VT_BSTR ? addintest::Narrow(V_BSTR(line.Get())) : "(no line)";
  }

  // The first bytes of the record the simulator holds for the trigger id.
  std::string Record(LONG id, size_t bytes) {
    UniqueBstr text;
    EXPECT_HR(S_OK, standin_->RecordBytes(id, text.Put()));
    return addintest::Narrow(text.Get()).substr(0, bytes * 3 - 1);
  }

  HWND frame_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(TriggerWindowDialogsTest, ATransferTriggerCreatedThroughItsCommand) {
  windowtest::Select(list_, {3});  // an I/O stream row: the transfer command creates
  Pump();
  user::UserScript script;
  script.Then([](HWND d) {
    EXPECT_EQ(user::Text(d, IDC_TRIGGER_NUMBER), "new");
    user::Type(d, IDC_TRIGGER_NAME, "tx_copy");
    user::Pick(d, IDC_TRANSFER_SIZE, "16BIT");
    user::Type(d, IDC_TRANSFER_SOURCE, "RX_BUFFER");
    user::Pick(d, IDC_TRANSFER_SRC_MODE, "INCREMENT");
    user::Type(d, IDC_TRANSFER_SRC_VALUE, "2");
    user::Type(d, IDC_TRANSFER_DESTINATION, "0x0300");
    user::Pick(d, IDC_TRANSFER_DST_MODE, "FIX");
    user::Type(d, IDC_TRANSFER_COUNT, "8");
    user::Type(d, IDC_TRIGGER_CYCLE, "20");
    user::Type(d, IDC_TRIGGER_WAIT, "3");
    user::Click(d, IDOK);
  });
  windowtest::ClickToolbarButton(frame_, kTransferCommand);
  Pump();

  ASSERT_EQ(windowtest::RowCount(list_), 14);
  EXPECT_EQ(windowtest::RowLines(list_)[13],
            "13, InActivate, tx_copy, Transfer, 0x0300, 16BIT, FIX, RX_BUFFER, INCREMENT, 8, 20, "
            "3, -");
  EXPECT_EQ(Definition(L"tx_copy"),
            "113,transfer,tx_copy,8,16BIT,RX_BUFFER,INCREMENT,0x0300,FIX,20,3,2,0");
  // Id 113, action 4; cycle 20, wait 3; 16-bit units, source incrementing by 2, destination
  // fixed; count 8; from RX_BUFFER (0x200) to 0x300.
  EXPECT_EQ(Record(113, 40),
            "00 00 00 01 71 00 04 00 14 00 00 00 03 00 00 00 02 02 01 00 08 00 00 00 00 02 00 00 "
            "00 03 00 00 02 00 00 00 00 00 00 00");
}

TEST_F(TriggerWindowDialogsTest, AStreamTriggerEditedByADoubleClick) {
  ASSERT_EQ(windowtest::ItemText(list_, 6, 2), "port1_wave");
  user::UserScript script;
  script.Then([](HWND d) {
    EXPECT_EQ(user::Text(d, IDC_TRIGGER_NUMBER), "6");
    EXPECT_TRUE(user::Checked(d, IDC_DATA_KIND_STREAM));
    EXPECT_EQ(user::Text(d, IDC_DATA_STREAM_SOURCE), "WAVE_TABLE");
    EXPECT_EQ(user::Text(d, IDC_DATA_COUNT), "16");
    user::Type(d, IDC_DATA_STREAM_SOURCE, "WAVE_TABLE + 16");
    user::Type(d, IDC_DATA_COUNT, "8");
    user::Pick(d, IDC_DATA_REPEAT, "CONST");
    user::Click(d, IDOK);
  });
  DoubleClick(6);

  EXPECT_EQ(windowtest::RowLines(list_)[6],
            "6, InActivate, port1_wave, Stream, PORT1, 8BIT, CONST, WAVE_TABLE + 16, , 8, 50, 5, "
            "0x0000000f");
  EXPECT_EQ(Definition(L"port1_wave"),
            "106,Stream,port1_wave,PORT1,8BIT,CONST,WAVE_TABLE + 16,8,50,5,0x0000000f");
  // Id 106, action 2; cycle 50, wait 5; a memory stream, repeat code 1 (CONST), bytes; to PORT1
  // (0x21), count 8, mask 0x0f, from WAVE_TABLE + 16 (0x290).
  EXPECT_EQ(Record(106, 36),
            "00 00 00 01 6A 00 02 00 32 00 00 00 05 00 00 00 04 01 01 00 21 00 00 00 08 00 00 00 "
            "0F 00 00 00 90 02 00 00");
}

// While it lives, the HTML Help control registered in this prefix is the fake one beside the
// test, which records its calls; the registration it replaced comes back afterwards.
class FakeHtmlHelpRegistered {
 public:
  FakeHtmlHelpRegistered() {
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open the HTML Help control's key";
      return;
    }
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof value;
    if (RegQueryValueExW(key_, nullptr, nullptr, &type_, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS) {
      previous_ = value;
    }
    // A run killed while the fake was registered left it there: the system's control comes back.
    constexpr std::wstring_view kFakeName = L"FakeHtmlHelp.dll";
    if (previous_ && previous_->size() >= kFakeName.size() &&
        previous_->compare(previous_->size() - kFakeName.size(), kFakeName.size(), kFakeName) ==
            0) {
      wchar_t system[MAX_PATH];
      const UINT length = GetSystemDirectoryW(system, MAX_PATH);
      previous_ = std::wstring(system, length) + L"\\hhctrl.ocx";
    }
    wchar_t fake[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, fake, MAX_PATH);
    std::wstring path(fake, length);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + std::wstring(kFakeName);
    Set(REG_SZ, path);
  }
  ~FakeHtmlHelpRegistered() {
    if (key_ == nullptr) return;
    if (previous_) {
      Set(type_, *previous_);
    } else {
      RegDeleteValueW(key_, nullptr);
    }
    RegCloseKey(key_);
  }
  FakeHtmlHelpRegistered(const FakeHtmlHelpRegistered&) = delete;
  FakeHtmlHelpRegistered& operator=(const FakeHtmlHelpRegistered&) = delete;

 private:
  static constexpr wchar_t kKey[] =
      L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
  void Set(DWORD type, const std::wstring& value) {
    EXPECT_EQ(RegSetValueExW(key_, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  HKEY key_ = nullptr;
  DWORD type_ = REG_SZ;
  std::optional<std::wstring> previous_;
};

// F1 pressed on the keyboard, and what the queue makes of it.
void PressF1() {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_F1;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  EXPECT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  windowtest::PumpFor(300);
}

TEST_F(TriggerWindowDialogsTest, F1OpensTheStandinsHelpFileAtTheTopicOfTheWindowOrDialog) {
  // A CPU family whose help file the add-in names in the topic path.
  ASSERT_HR(S_OK, standin_->WriteSetting(Bstr(L"Project").Get(), Bstr(L"CpuFamily").Get(),
                                         Bstr(L"Orvex-3").Get()));
  const FakeHtmlHelpRegistered fake;
  UniqueBstr help_file;
  ASSERT_HR(S_OK, application_->get_HelpPath(help_file.Put()));
  ASSERT_NE(GetFileAttributesW(help_file.Get()), INVALID_FILE_ATTRIBUTES) << "the stand-in's help";

  SetForegroundWindow(frame_);
  SetFocus(list_);
  Pump();
  PressF1();
  addintest::HelpCall call = addintest::LastHelpCall();
  EXPECT_EQ(call.file, addintest::Narrow(help_file.Get())) << call.owner_file_command;
  EXPECT_EQ(call.data, "Vireo3.chm::\\html\\SIM_WIN_Trigger.htm");

  const struct {
    int row;  // of the sample's trigger whose dialog a double-click opens
    const char* topic;
  } dialogs[] = {
      {0, "html\\SIM_DLG_IntTrg.htm"},  {5, "html\\SIM_DLG_StrmTrg.htm"},
      {4, "html\\SIM_DLG_TrnsTrg.htm"}, {3, "html\\SIM_DLG_IoTrg.htm"},
      {9, "html\\SIM_DLG_CtrlTrg.htm"}, {7, "html\\SIM_DLG_ConnTrg.htm"},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.topic);
    user::UserScript script;
    script.Then([&](HWND d) {
      PressF1();
      call = addintest::LastHelpCall();
      EXPECT_TRUE(IsWindowVisible(d)) << "help leaves the dialog open";
      user::Click(d, IDCANCEL);
    });
    DoubleClick(dialog.row);
    EXPECT_EQ(script.WindowsSeen(), 1);
    EXPECT_EQ(call.file, addintest::Narrow(help_file.Get()));
    EXPECT_EQ(call.data, std::string("Vireo3.chm::\\") + dialog.topic);
  }
}

}  // namespace
