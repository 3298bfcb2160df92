// A long run of Trigger.dll in the host stand-in's IDE: cycles in which 256 triggers of every
// kind are created (through the registry and the trigger window's dialogs), refused when the
// registry is full, saved, deleted in the window, loaded back and deleted by the registry, each
// cycle ending disconnected. After the first cycle, which lets the process settle, every cycle
// must leave no object of the add-in, no host reference held, the GDI and USER objects and heap
// blocks the first one left, and its private bytes within a tolerance. Each cycle's figures go
// to the log; TRIGGER_SOAK_CYCLES sets how many cycles follow the first (two by default, as a
// record kept per trigger outgrows the tolerance only in the second).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "tests/win/support/process_resources.h"
#include "tests/win/support/ui_test.h"
#include "win/resources/dialog_ids.h"

namespace {

using namespace wintest;

constexpr int kSlots = 256;
// Less Wine's own records, a cycle leaves the heap blocks the first one left, give or take what
// settles once (measured: 2 blocks); anything left per trigger would be hundreds. The private
// bytes also count pages the heaps keep once touched and Wine's native side: measured 40 to 70 KB
// above the first cycle, then about 5 KB a cycle. A record of 836 bytes kept per trigger alone
// would be over 200 KB a cycle.
constexpr int64_t kHeapBlocksTolerance = 8;
constexpr int64_t kPrivateBytesTolerance = 256 * 1024, kPrivateBytesPerCycle = 8 * 1024;

// The kinds as the registry makes them, and the fields of the definition line that fills each
// (after id, keyword and name); `refers` earlier triggers are named at the end (the members of a
// connect trigger, the target of a control trigger).
using Create = HRESULT (STDMETHODCALLTYPE ITriggerAction::*)(IDispatch**);
const struct Kind {
  Create create;
  const char* keyword;
  const char* fields;
  int refers;
} kKinds[] = {
    {&ITriggerAction::CreateInterruptTrigger, "interrupt", ",TIMER0_OVF,1000,10", 0},
    {&ITriggerAction::CreateInterruptTrigger, "clearInterrupt", ",TIMER0_CMP,0,0", 0},
    {&ITriggerAction::CreateIOAccessTrigger, "ioaccess", ",50,2", 0},
    {&ITriggerAction::CreateIOStreamTrigger, "iostream", ",32", 0},
    {&ITriggerAction::CreateTransferTrigger, "transfer",
     ",16,8BIT,RX_BUFFER,INCREMENT,TX_BUFFER,INCREMENT,100,5,0,0", 0},
    {&ITriggerAction::CreateStreamTrigger, "data",
     ",UART0_DATA,8BIT,SINGLE,DEFAULT,0x48,0x65,0x6c,0x6c,0x6f,),200,20,0x000000ff", 0},
    {&ITriggerAction::CreateStreamTrigger, "stream",
     ",PORT1,8BIT,REPEAT,WAVE_TABLE,16,50,5,0x0000000f", 0},
    {&ITriggerAction::CreateConnectTrigger, "connect", "", 2},
    {&ITriggerAction::CreateMessageTrigger, "message", ",true,VireoTriggerFired,4,0,100", 0},
    {&ITriggerAction::CreateControlTrigger, "control", ",STOP", 1},
    {&ITriggerAction::CreateSioTrigger, "sio", ",UART0_DATA,UART0_RX,UART0_TX,UART0", 0},
    {&ITriggerAction::CreateFileStreamTrigger, "filestream", "", 0},
    {&ITriggerAction::CreateStreamTrigger, "data",
     ",ADC_RESULT,16BIT,REPEAT,RANDOM2,32,0,1023,),10,1,0x000003ff", 0},
};

std::string Name(int slot) {
  char name[8];
  std::snprintf(name, sizeof name, "t%03d", slot);
  return name;
}

// The six triggers a cycle makes in the dialogs, each opened by a toolbar command with no row
// selected, to fill the registry to 256.
const std::pair<UINT, void (*)(HWND)> kDialogSteps[] = {
    {ID_TRIGGER_INTERRUPT,
     [](HWND d) {
       Pick(d, IDC_INTERRUPT_SOURCE, "2:TIMER0_CMP");
       Type(d, IDC_TRIGGER_NAME, "d_irq");
       Click(d, IDOK);
     }},
    {ID_TRIGGER_STREAM,
     [](HWND d) {
       Type(d, IDC_TRIGGER_NAME, "d_data");
       Type(d, IDC_DATA_DESTINATION, "PORT0");
       Type(d, IDC_DATA_LIST, "1,2,3");
       Click(d, IDOK);
     }},
    {ID_TRIGGER_TRANSFER,
     [](HWND d) {
       Type(d, IDC_TRIGGER_NAME, "d_move");
       Pick(d, IDC_TRANSFER_SIZE, "16BIT");
       Type(d, IDC_TRANSFER_SOURCE, "RX_BUFFER");
       Type(d, IDC_TRANSFER_DESTINATION, "TX_BUFFER");
       Click(d, IDOK);
     }},
    {ID_TRIGGER_IOSTREAM, [](HWND d) { Click(d, IDOK); }},
    {ID_TRIGGER_CONTROL,
     [](HWND d) {
       Pick(d, IDC_CONTROL_ACTION, "RESET");
       Pick(d, IDC_CONTROL_TARGET, "t000");
       Click(d, IDOK);
     }},
    {ID_TRIGGER_CONNECT,
     [](HWND d) {
       for (int member = 0; member < 2; ++member) {
         Choose(d, IDC_CONNECTION_AVAILABLE, 0);
         Click(d, IDC_CONNECTION_ADD);
       }
       Click(d, IDOK);
     }},
};

class SoakTest : public WindowTest {
 protected:
  void SetUp() override { HostTest::SetUp(); }

  std::vector<std::string> Definitions() {
    std::vector<std::string> lines;
    for (int slot = 0; slot < kSlots; ++slot) {
      ComPtr<IUnknown> found;
      EXPECT_HR(S_OK, registry_->GetTriggerByNumber(slot, found.Put()));
      lines.push_back(Property(found.Get(), L"Definition"));
    }
    return lines;
  }
  // A toolbar command with no row selected; the dialog it opens, if any, runs the step.
  void Command(HWND frame, UINT command, void (*step)(HWND)) {
    SelectRows(ListOf(frame), {});
    UserScript user;
    if (step) user.Then(step);
    ClickButton(frame, command);
  }

  // One cycle, from connecting to disconnecting.
  void Cycle(bool first) {
    ASSERT_EQ(Connect(first ? VARIANT_TRUE : VARIANT_FALSE), 0);
    ASSERT_HR(S_OK, standin_->OnEvent(0x2002));  // the debugger starts: the memory commands
    registry_ = Registry();
    const HWND client = GetDlgItem(Ide(), IDC_MDI_CLIENT);  // the IDE stays open from now on
    HWND frame = Open(client);
    for (int slot = 0; slot < kSlots - 6; ++slot) {
      const Kind& kind = kKinds[slot % std::size(kKinds)];
      ComPtr<IDispatch> trigger;
      ASSERT_HR(S_OK, (registry_.Get()->*kind.create)(trigger.Put())) << kind.keyword;
      EXPECT_EQ(Property(trigger.Get(), L"Number"), std::to_string(slot)) << "the lowest free";
      std::string line = std::to_string(slot + 100) + "," + kind.keyword + "," + Name(slot);
      line += kind.fields;
      for (int back = kind.refers; back > 0; --back) line += "," + Name(slot - back);
      EXPECT_HR(S_OK,
                InvokeByName(trigger.Get(), L"Definition", DISPATCH_PROPERTYPUT, {TextArg(line)}));
      ASSERT_EQ(Property(trigger.Get(), L"InSimulator"), "True") << line;
    }
    for (const auto& [command, step] : kDialogSteps) Command(frame, command, step);
    // Full: neither the registry nor the window's commands make more.
    EXPECT_EQ(Count(), kSlots);
    for (const Kind& kind : kKinds) {
      ComPtr<IDispatch> none;
      EXPECT_HR(E_FAIL, (registry_.Get()->*kind.create)(none.Put())) << kind.keyword;
    }
    for (const auto& refused : kDialogSteps) Command(frame, refused.first, nullptr);
    const HWND list = ListOf(frame);
    EXPECT_HR(S_OK, registry_->SaveTriggers());
    const std::vector<std::string> saved = Definitions();
    // Ctrl+A and the Delete key, as the user empties the window.
    SetFocus(list);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(list, WM_KEYDOWN, 'A', 0x001E0001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), kSlots);
    PressKey(list, VK_DELETE);
    EXPECT_EQ(RowCount(list) + Count(), 0);
    EXPECT_EQ(State(), "") << "every trigger left the simulator";
    Close(frame);

    EXPECT_HR(S_OK, registry_->LoadTriggers());
    const std::vector<std::string> loaded = Definitions();
    for (int slot = 0; slot < kSlots; ++slot) {
      EXPECT_EQ(loaded[slot], saved[slot]) << "the load gives back what the save wrote";
    }
    frame = Open(client);
    EXPECT_EQ(RowCount(ListOf(frame)), kSlots);
    SelectRows(ListOf(frame), {1});
    if (OpenClipboard(nullptr)) EmptyClipboard(), CloseClipboard();  // Paste stays disabled
    EXPECT_EQ(ReadMenu([&] { SendMessageW(ListOf(frame), WM_CONTEXTMENU, 0, -1); }).size(), 13u);
    Close(frame);
    EXPECT_HR(S_OK, registry_->DeleteAllTriggers());
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(State(), "") << "the simulator holds no trigger";
    registry_.Reset();
    EXPECT_HR(S_OK, standin_->OnEvent(0x2003));
    EXPECT_HR(S_OK, standin_->Disconnect());
    Pump();
    EXPECT_HR(S_OK, TriggerCanUnload()) << "an object of the add-in lives on";
    EXPECT_EQ(Held(), std::vector<std::string>{}) << "the add-in holds the host's objects";
    // What the host recorded during the cycle belongs to the host, not to the add-in: clear it.
    for (auto clear : {&IVireoStandin::ClearLog, &IVireoStandin::ClearCalls,
                       &IVireoStandin::ClearJournal, &IVireoStandin::ClearSimulatorJournal}) {
      EXPECT_HR(S_OK, (standin_.Get()->*clear)());
    }
  }
};

// This test runs first: the add-in keeps the first host's evaluator for the life of the process.
TEST_F(SoakTest, CyclesOf256TriggersLeaveNothingBehind) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // the figures reach the log even if the run dies
  const char* text = std::getenv("TRIGGER_SOAK_CYCLES");
  const int cycles = 1 + (text && std::atoi(text) > 0 ? std::atoi(text) : 2);
  ProcessResources first;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    const auto started = std::chrono::steady_clock::now();
    Cycle(cycle == 0);
    ASSERT_FALSE(HasFatalFailure());
    const ProcessResources now = MeasureProcessResources();
    std::printf("cycle %d: %.1f s; GDI %d, USER %d, private %llu KB, heap blocks %lld\n", cycle,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                now.gdi, now.user, static_cast<unsigned long long>(now.private_bytes / 1024),
                static_cast<long long>(now.heap_blocks));
    if (cycle == 0) first = now;
    EXPECT_EQ(now.gdi, first.gdi);
    EXPECT_EQ(now.user, first.user);
    EXPECT_LE(now.heap_blocks - first.heap_blocks, kHeapBlocksTolerance);
    EXPECT_LE(static_cast<int64_t>(now.private_bytes - first.private_bytes),
              kPrivateBytesTolerance + cycle * kPrivateBytesPerCycle);
  }
}

// The measurement sees each kind of thing the process makes, and sees it go: the checks above
// can fail, under Wine as anywhere.
TEST(ProcessResources, SeesWhatTheProcessMakesAndFrees) {
  // The second round is measured: the first leaves for good what the process keeps (stock
  // objects, the thread's input window, which comes with a first top-level window).
  const HWND parent =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
  for (int round = 0; round < 2; ++round) {
    const ProcessResources before = MeasureProcessResources();
    const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const HMENU menu = CreatePopupMenu();
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, parent, nullptr, nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    void* memory = VirtualAlloc(nullptr, 4 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::memset(memory, 1, 4 << 20);
    const ProcessResources made = MeasureProcessResources();
    void* block = HeapAlloc(GetProcessHeap(), 0, 100);
    const ProcessResources one_more = MeasureProcessResources();
    HeapFree(GetProcessHeap(), 0, block);
    VirtualFree(memory, 0, MEM_RELEASE);
    DestroyWindow(window);
    DestroyMenu(menu);
    DeleteObject(brush);
    const ProcessResources after = MeasureProcessResources();
    if (round == 0) continue;
    EXPECT_EQ(made.gdi - before.gdi, 1);
    EXPECT_EQ(made.user - before.user, 3) << "a menu and two windows";
    EXPECT_GE(made.private_bytes - before.private_bytes, uint64_t{4} << 20);
    EXPECT_EQ(one_more.heap_blocks - made.heap_blocks, 1);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    EXPECT_EQ(after.heap_blocks, before.heap_blocks);
  }
  DestroyWindow(parent);
}

// The stand-in's IDE window, opened and closed again and again, keeps nothing of its own: no
// window object, menu, accelerator table or bitmap, no heap block beyond a few of Wine's.
TEST_F(SoakTest, TheIdeWindowOpensAndClosesWithoutKeepingAnything) {
  ProcessResources first;
  for (int cycle = 0; cycle < 4; ++cycle) {
    Ide();
    VARIANT_BOOL closed = VARIANT_FALSE;
    ASSERT_HR(S_OK, standin_->CloseWindow(VARIANT_FALSE, &closed));
    Pump();
    const ProcessResources now = MeasureProcessResources();
    if (cycle == 0) first = now;
    EXPECT_EQ(now.user - first.user, 0) << cycle;
    EXPECT_EQ(now.gdi - first.gdi, 0) << cycle;
    EXPECT_LE(now.heap_blocks - first.heap_blocks, kHeapBlocksTolerance) << cycle;
  }
}

}  // namespace
