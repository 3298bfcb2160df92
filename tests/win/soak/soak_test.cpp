// A long run of Trigger.dll in the host stand-in: cycles in which 256 triggers of every kind are
// created (through the registry and through the trigger window's dialogs), edited, saved,
// deleted in the window, loaded back and deleted by the registry, with the window opened and
// closed, each cycle ending disconnected. The first cycle lets the process settle (type
// information, caches, the common controls, Wine's own allocations); after it, every cycle must
// leave no live object in the add-in, no host reference held, the GDI and USER objects and the
// heap blocks the process had, and its private bytes within a tolerance. Each cycle's figures go
// to the log.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/win/addin/addin_test_support.h"
#include "tests/win/dialogs/dialog_driver.h"
#include "tests/win/soak/process_resources.h"
#include "tests/win/ui/window_test_support.h"
#include "win/resources/dialog_ids.h"

namespace {

using addintest::ComPtr;
using addintest::UniqueVariant;
using windowtest::ListOf;
using windowtest::Pump;
using windowtest::TriggerFrames;

constexpr UINT kInterrupt = 54202, kStream = 54203, kTransfer = 54204, kDelete = 54205,
               kConnect = 54206, kIOStream = 54209, kControl = 54210;
constexpr int kSlots = 256;

// After the first cycle the heaps and Wine's own caches have their working size. The heap blocks
// are the exact measure: less Wine's own records (process_resources.h), a cycle leaves what the
// first one left, give or take what settles once (measured: 2 blocks, from the second cycle on).
// Anything left per trigger or per operation would be hundreds of blocks a cycle.
constexpr int64_t kHeapBlocksTolerance = 8;
// Private bytes also count the pages the heaps keep once touched and Wine's native side (the X
// connection, fonts): measured, 40 to 70 KB above the baseline after the next cycles, then about
// 5 KB a cycle (Wine's records among them; 140 KB after 20 cycles). They catch what grows outside
// the heaps; a trigger record of 836 bytes kept per trigger alone would be over 200 KB a cycle.
constexpr int64_t kPrivateBytesTolerance = 256 * 1024;
constexpr int64_t kPrivateBytesPerCycle = 8 * 1024;
constexpr int kMeasuredCycles = 7;

// The kinds as the registry makes them, and the fields of the definition line that fills each
// (after id, keyword and name). `refers` earlier triggers are named at the end: members of a
// connect trigger, the target of a control trigger.
using Create = HRESULT (STDMETHODCALLTYPE ITriggerAction::*)(IDispatch**);
struct Kind {
  Create create;
  const char* keyword;
  const char* fields;
  int refers;
  bool has_cycle;
};
const Kind kKinds[] = {
    {&ITriggerAction::CreateInterruptTrigger, "interrupt", "TIMER0_OVF,1000,10", 0, true},
    {&ITriggerAction::CreateInterruptTrigger, "clearInterrupt", "TIMER0_CMP,0,0", 0, false},
    {&ITriggerAction::CreateIOAccessTrigger, "ioaccess", "50,2", 0, true},
    {&ITriggerAction::CreateIOStreamTrigger, "iostream", "32", 0, false},
    {&ITriggerAction::CreateTransferTrigger, "transfer",
     "16,8BIT,RX_BUFFER,INCREMENT,TX_BUFFER,INCREMENT,100,5,0,0", 0, true},
    {&ITriggerAction::CreateStreamTrigger, "data",
     "UART0_DATA,8BIT,SINGLE,DEFAULT,0x48,0x65,0x6c,0x6c,0x6f,),200,20,0x000000ff", 0, true},
    {&ITriggerAction::CreateStreamTrigger, "stream",
     "PORT1,8BIT,REPEAT,WAVE_TABLE,16,50,5,0x0000000f", 0, true},
    {&ITriggerAction::CreateConnectTrigger, "connect", "", 2, false},
    {&ITriggerAction::CreateMessageTrigger, "message", "true,VireoTriggerFired,4,0,100", 0, true},
    {&ITriggerAction::CreateControlTrigger, "control", "STOP", 1, false},
    {&ITriggerAction::CreateSioTrigger, "sio", "UART0_DATA,UART0_RX,UART0_TX,UART0", 0, false},
    {&ITriggerAction::CreateFileStreamTrigger, "filestream", "", 0, false},
    {&ITriggerAction::CreateStreamTrigger, "data",
     "ADC_RESULT,16BIT,REPEAT,RANDOM2,32,0,1023,),10,1,0x000003ff", 0, true},
};
constexpr int kKindCount = static_cast<int>(sizeof(kKinds) / sizeof(kKinds[0]));
// The six triggers a cycle makes in the dialogs fill the registry.
constexpr int kByRegistry = kSlots - 6;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Name(int slot) {
  char name[16];
  std::snprintf(name, sizeof name, "t%03d", slot);
  return name;
}

// No window manager runs on the test's display, and Wine waits up to two seconds for one to
// withdraw each window it hides (every dialog, every closed top-level window). Wine is told to
// manage this program's windows itself, as it does where no window manager is wanted; it reads
// this before the program's first window.
class UnmanagedWindows : public ::testing::Environment {
 public:
  void SetUp() override {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Wine\\AppDefaults\\soak_tests.exe\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"),
                     2 * sizeof(wchar_t));
      RegCloseKey(key);
    }
  }
};
const auto* const unmanaged = ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);

// The lines that differ, slot by slot ("slot 3: saved ... loaded ...").
std::string Differences(const std::vector<std::string>& saved,
                        const std::vector<std::string>& loaded) {
  std::string text;
  for (size_t slot = 0; slot < std::max(saved.size(), loaded.size()); ++slot) {
    const std::string before = slot < saved.size() ? saved[slot] : "(none)";
    const std::string after = slot < loaded.size() ? loaded[slot] : "(none)";
    if (before != after) {
      text += "slot " + std::to_string(slot) + ": saved " + before + ", loaded " + after + "\n";
    }
  }
  return text;
}

// Closes the context menu once it is open, noting how many items it showed.
size_t context_menu_items = 0;
void CALLBACK CloseContextMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  context_menu_items = windowtest::ReadOpenMenu().size();
  EndMenu();
}

// What one cycle did.
struct Tally {
  int by_registry = 0;
  int by_dialog = 0;
  int refused = 0;
  int cancelled = 0;
  int edited_by_property = 0;
  int edited_in_dialog = 0;
  int saved = 0;
  int deleted_in_window = 0;
  int loaded = 0;
  int deleted_by_registry = 0;
  int windows = 0;  // opened and closed
  int menus = 0;
  long calls = 0;  // every call the test made on the add-in

  int Operations() const {
    return by_registry + by_dialog + refused + cancelled + edited_by_property + edited_in_dialog +
           saved + deleted_in_window + loaded + deleted_by_registry + 2 * windows + menus;
  }
};

class SoakTest : public addintest::AddinTest {
 protected:
  void TearDown() override {
    AddinTest::TearDown();
    Pump();
    EXPECT_TRUE(TriggerFrames().empty());
  }

  // One cycle, from connecting to disconnecting; false when it could not go on.
  bool Cycle(Tally& tally) {
    tally_ = &tally;
    const bool done = RunCycle();
    tally_ = nullptr;
    return done && !::testing::Test::HasFatalFailure();
  }

  bool RunCycle() {
    if (Connect(connections_++ == 0 ? VARIANT_TRUE : VARIANT_FALSE) != 0) return false;
    EXPECT_HR(S_OK, standin_->OnEvent(0x2002));  // the debugger starts: the memory commands
    registry_ = Registry();
    if (!registry_) return false;

    std::vector<std::string> saved;
    {
      windowtest::MdiFrame host;
      const HWND frame = Open(host.client());
      if (frame == nullptr) return false;
      const HWND list = ListOf(frame);
      if (!FillByRegistry()) return false;
      FillInDialogs(frame, list);
      EXPECT_EQ(Count(), kSlots);
      RefuseWhenFull(frame, list);
      EditInDialogs(frame, list);
      EditByProperty();
      ++tally_->calls;
      EXPECT_HR(S_OK, registry_->SaveTriggers());
      tally_->saved += kSlots;
      saved = Definitions();
      DeleteAllInWindow(list);
      Close(frame);
    }

    ++tally_->calls;
    EXPECT_HR(S_OK, registry_->LoadTriggers());
    tally_->loaded += Count();
    EXPECT_EQ(Differences(saved, Definitions()), "") << "the load gives back what the save wrote";
    const HWND frame = Open(nullptr);  // a top-level window now, as no MDI client exists
    if (frame == nullptr) return false;
    EXPECT_EQ(windowtest::RowCount(ListOf(frame)), kSlots);
    ContextMenu(ListOf(frame));
    Close(frame);

    tally_->deleted_by_registry += Count();
    ++tally_->calls;
    EXPECT_HR(S_OK, registry_->DeleteAllTriggers());
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(State(), "") << "the simulator holds no trigger";

    registry_.Reset();
    EXPECT_HR(S_OK, standin_->OnEvent(0x2003));
    EXPECT_HR(S_OK, standin_->Disconnect());
    Pump();
    EXPECT_TRUE(TriggerFrames().empty());
    EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow()) << "an object of the add-in lives on";
    EXPECT_EQ(Held(), std::vector<std::string>{}) << "the add-in holds the host's objects";
    // What the host recorded of the cycle is the host's, not the add-in's.
    EXPECT_HR(S_OK, standin_->ClearLog());
    EXPECT_HR(S_OK, standin_->ClearCalls());
    EXPECT_HR(S_OK, standin_->ClearJournal());
    EXPECT_HR(S_OK, standin_->ClearSimulatorJournal());
    return true;
  }

  // ---- The registry ----

  LONG Count() {
    LONG count = -1;
    ++tally_->calls;
    EXPECT_HR(S_OK, registry_->get_Count(&count));
    return count;
  }

  HRESULT Call(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args = {},
               VARIANT* result = nullptr) {
    ++tally_->calls;
    return comtest::InvokeByName(object, name, flags, std::move(args), result);
  }

  // Every kind in turn, each from its definition line; a few are renamed or retimed afterwards.
  bool FillByRegistry() {
    referenced_.assign(kSlots, false);
    for (int slot = 0; slot < kByRegistry; ++slot) {
      if (!MakeByRegistry(slot)) return false;
    }
    return true;
  }
  bool MakeByRegistry(int slot) {
    const Kind& kind = kKinds[slot % kKindCount];
    ComPtr<IDispatch> trigger;
    ++tally_->calls;
    const HRESULT made = (registry_.Get()->*kind.create)(trigger.Put());
    EXPECT_HR(S_OK, made) << kind.keyword;
    if (FAILED(made) || !trigger) return false;
    UniqueVariant number;
    EXPECT_HR(S_OK, Call(trigger.Get(), L"Number", DISPATCH_PROPERTYGET, {}, number.Put()));
    EXPECT_EQ(V_I4(number.Get()), slot) << "the lowest free number";
    std::string line = std::to_string(slot + 100) + "," + kind.keyword + "," + Name(slot);
    if (*kind.fields) line += std::string(",") + kind.fields;
    for (int back = kind.refers; back > 0; --back) {
      line += "," + Name(slot - back);
      referenced_[slot - back] = true;
    }
    EXPECT_HR(S_OK, Call(trigger.Get(), L"Definition", DISPATCH_PROPERTYPUT,
                         {standintest::TextArg(Wide(line).c_str())}))
        << line;
    UniqueVariant in_simulator;
    EXPECT_HR(S_OK,
              Call(trigger.Get(), L"InSimulator", DISPATCH_PROPERTYGET, {}, in_simulator.Put()));
    const bool registered = V_BOOL(in_simulator.Get()) == VARIANT_TRUE;
    EXPECT_TRUE(registered) << line;
    ++tally_->by_registry;
    return registered;
  }

  void EditByProperty() {
    for (int slot = 0; slot < kByRegistry; slot += 4) {
      const Kind& kind = kKinds[slot % kKindCount];
      ComPtr<IUnknown> found;
      ++tally_->calls;
      ASSERT_HR(S_OK, registry_->GetTriggerByNumber(slot, found.Put()));
      ComPtr<IDispatch> trigger;
      ASSERT_HR(S_OK, found.As(IID_IDispatch, &trigger));
      // A trigger another one names keeps its name.
      if (!referenced_[slot]) {
        EXPECT_HR(S_OK, Call(trigger.Get(), L"Name", DISPATCH_PROPERTYPUT,
                             {standintest::TextArg(Wide("r" + Name(slot).substr(1)).c_str())}));
      }
      if (kind.has_cycle) {
        EXPECT_HR(S_OK, Call(trigger.Get(), L"Cycle", DISPATCH_PROPERTYPUT,
                             {standintest::LongArg(2000 + slot)}))
            << kind.keyword;
      }
      EXPECT_HR(S_OK, Call(trigger.Get(), L"Register", DISPATCH_METHOD));
      ++tally_->edited_by_property;
    }
  }

  // Every slot's definition line, in slot order.
  std::vector<std::string> Definitions() {
    std::vector<std::string> lines;
    for (int slot = 0; slot < kSlots; ++slot) {
      ComPtr<IUnknown> found;
      ++tally_->calls;
      EXPECT_HR(S_OK, registry_->GetTriggerByNumber(slot, found.Put()));
      ComPtr<IDispatch> trigger;
      if (!found || FAILED(found.As(IID_IDispatch, &trigger))) {
        lines.push_back("(none)");
        continue;
      }
      UniqueVariant line;
      EXPECT_HR(S_OK, Call(trigger.Get(), L"Definition", DISPATCH_PROPERTYGET, {}, line.Put()));
      lines.push_back(V_VT(line.Get()) == VT_BSTR ? addintest::Narrow(V_BSTR(line.Get())) : "");
    }
    return lines;
  }

  // ---- The window ----

  // The trigger command, as the host's menu runs it: the one frame it opened.
  HWND Open(HWND client) {
    ++tally_->calls;
    EXPECT_HR(S_OK, standin_->Exec(54201));
    Pump();
    const std::vector<HWND> frames = TriggerFrames(client);
    EXPECT_EQ(frames.size(), 1u);
    return frames.size() == 1 ? frames.front() : nullptr;
  }

  void Close(HWND frame) {
    ++tally_->calls;
    SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(frame));
    ++tally_->windows;
  }

  // A toolbar command on exactly these rows; the dialog it opens runs the steps.
  void Command(HWND frame, HWND list, UINT command, const std::vector<int>& rows,
               std::vector<dialog_test::UserScript::Step> steps) {
    windowtest::Select(list, rows);
    Pump();  // the toolbar follows the selection once the queue is idle
    dialog_test::UserScript user;
    for (auto& step : steps) user.Then(std::move(step));
    ++tally_->calls;
    windowtest::ClickToolbarButton(frame, command);
    Pump();
  }

  // The six dialogs of the window create a trigger each (after one cancelled), up to 256.
  void FillInDialogs(HWND frame, HWND list) {
    using namespace dialog_test;
    Command(frame, list, kInterrupt, {}, {[](HWND d) {
              Pick(d, IDC_INTERRUPT_SOURCE, "2:TIMER0_CMP");
              Type(d, IDC_TRIGGER_NAME, "d_irq");
              Type(d, IDC_TRIGGER_CYCLE, "100");
              Click(d, IDOK);
            }});
    Command(frame, list, kStream, {}, {[](HWND d) {
              Type(d, IDC_TRIGGER_NAME, "d_data");
              Type(d, IDC_DATA_DESTINATION, "PORT0");
              Type(d, IDC_DATA_LIST, "1,2,3");
              Click(d, IDOK);
            }});
    Command(frame, list, kTransfer, {}, {[](HWND d) {
              Type(d, IDC_TRIGGER_NAME, "d_move");
              Pick(d, IDC_TRANSFER_SIZE, "16BIT");
              Type(d, IDC_TRANSFER_COUNT, "8");
              Type(d, IDC_TRANSFER_SOURCE, "RX_BUFFER");
              Type(d, IDC_TRANSFER_DESTINATION, "TX_BUFFER");
              Click(d, IDOK);
            }});
    Command(frame, list, kIOStream, {}, {[](HWND d) {
              Type(d, IDC_TRIGGER_NAME, "d_port");
              Type(d, IDC_IO_STREAM_VALUE, "40");
              Click(d, IDOK);
            }});
    Command(frame, list, kControl, {}, {[](HWND d) { Click(d, IDCANCEL); }});
    ++tally_->cancelled;
    Command(frame, list, kControl, {}, {[](HWND d) {
              Type(d, IDC_TRIGGER_NAME, "d_ctl");
              Pick(d, IDC_CONTROL_ACTION, "RESET");
              Pick(d, IDC_CONTROL_TARGET, Name(0));
              Click(d, IDOK);
            }});
    Command(frame, list, kConnect, {}, {[](HWND d) {
              for (int member = 0; member < 2; ++member) {
                dialog_test::Select(d, IDC_CONNECTION_AVAILABLE, 0);
                Click(d, IDC_CONNECTION_ADD);
              }
              Type(d, IDC_CONNECTION_NAME, "d_pair");
              Click(d, IDOK);
            }});
    tally_->by_dialog += 6;
    // The dialogs' control trigger targets t000 and their connect trigger joins t000 and t001.
    referenced_[0] = referenced_[1] = true;
    EXPECT_EQ(windowtest::RowCount(list), kSlots);
    EXPECT_EQ(windowtest::Column(list, 2).back(), "d_pair");
  }

  // A full registry makes nothing: neither a creation operation nor the window's commands,
  // which then open no dialog.
  void RefuseWhenFull(HWND frame, HWND list) {
    const Create creations[] = {
        &ITriggerAction::CreateInterruptTrigger,  &ITriggerAction::CreateTransferTrigger,
        &ITriggerAction::CreateStreamTrigger,     &ITriggerAction::CreateIOStreamTrigger,
        &ITriggerAction::CreateConnectTrigger,    &ITriggerAction::CreateControlTrigger,
        &ITriggerAction::CreateMessageTrigger,    &ITriggerAction::CreateSioTrigger,
        &ITriggerAction::CreateFileStreamTrigger, &ITriggerAction::CreateIOAccessTrigger,
    };
    for (Create create : creations) {
      ComPtr<IDispatch> none;
      ++tally_->calls;
      EXPECT_HR(E_FAIL, (registry_.Get()->*create)(none.Put()));
      EXPECT_FALSE(none);
      ++tally_->refused;
    }
    for (UINT command : {kInterrupt, kStream, kTransfer, kIOStream, kControl, kConnect}) {
      Command(frame, list, command, {}, {});
      ++tally_->refused;
    }
    EXPECT_EQ(Count(), kSlots);
  }

  void EditInDialogs(HWND frame, HWND list) {
    using namespace dialog_test;
    // Rows 0, 3 and 4: t000 (interrupt), t003 (I/O stream), t004 (transfer).
    Command(frame, list, kInterrupt, {0}, {[](HWND d) {
              EXPECT_EQ(Text(d, IDC_TRIGGER_NAME), "t000");
              Type(d, IDC_TRIGGER_CYCLE, "1500");
              Click(d, IDOK);
            }});
    Command(frame, list, kIOStream, {3}, {[](HWND d) {
              Type(d, IDC_IO_STREAM_VALUE, "64");
              Click(d, IDOK);
            }});
    Command(frame, list, kTransfer, {4}, {[](HWND d) {
              Type(d, IDC_TRANSFER_COUNT, "32");
              Click(d, IDOK);
            }});
    tally_->edited_in_dialog += 3;
    EXPECT_EQ(windowtest::ItemText(list, 0, 10), "1500");  // Cycle
    EXPECT_EQ(windowtest::ItemText(list, 3, 4), "64");     // Destination: the port
    EXPECT_EQ(windowtest::ItemText(list, 4, 9), "32");     // Count
    EXPECT_EQ(Count(), kSlots) << "an edit makes no trigger";
  }

  // Ctrl+A and the Delete key, as the user empties the window.
  void DeleteAllInWindow(HWND list) {
    SetFocus(list);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(list, WM_KEYDOWN, 'A', 0x001E0001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), kSlots);
    const LONG before = Count();
    ++tally_->calls;
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0x00530001);
    Pump();
    EXPECT_EQ(windowtest::RowCount(list), 0);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(State(), "") << "every trigger left the simulator";
    tally_->deleted_in_window += before - Count();
  }

  void ContextMenu(HWND list) {
    windowtest::Select(list, {1});
    context_menu_items = 0;
    SetTimer(nullptr, 0, 20, &CloseContextMenu);
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    POINT at = {row.left + 40, row.bottom};
    ClientToScreen(list, &at);
    ++tally_->calls;
    SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    Pump();
    EXPECT_EQ(context_menu_items, 12u);
    ++tally_->menus;
  }

  int connections_ = 0;
  Tally* tally_ = nullptr;
  ComPtr<ITriggerAction> registry_;
  std::vector<bool> referenced_;
};

int MeasuredCycles() {
  const char* text = std::getenv("TRIGGER_SOAK_CYCLES");
  const int cycles = text ? std::atoi(text) : 0;
  return cycles > 0 ? cycles : kMeasuredCycles;
}

std::string Kilobytes(int64_t bytes) { return std::to_string(bytes / 1024) + " KB"; }

std::string Figures(const soaktest::ProcessResources& now) {
  char text[160];
  std::snprintf(text, sizeof text,
                "GDI %lu, USER %lu, private %s, heaps %llu blocks (%llu of Wine's)", now.gdi,
                now.user, Kilobytes(static_cast<int64_t>(now.private_bytes)).c_str(),
                static_cast<unsigned long long>(now.heap_blocks),
                static_cast<unsigned long long>(now.wine_font_records));
  return text;
}

// This test runs first: the add-in keeps the first host's evaluator for the life of the process,
// and the journal of that host is the one the cycles clear.
TEST_F(SoakTest, CyclesOf256TriggersLeaveNothingBehind) {
  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // the figures reach the log even if the run dies
  std::printf("start: %s\n", Figures(soaktest::MeasureProcessResources()).c_str());

  soaktest::ProcessResources baseline;
  const int cycles = 1 + MeasuredCycles();
  long operations = 0, calls = 0;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    const auto cycle_started = Clock::now();
    Tally tally;
    ASSERT_TRUE(Cycle(tally));
    Pump();
    const soaktest::ProcessResources now = soaktest::MeasureProcessResources();
    operations += tally.Operations();
    calls += tally.calls;
    std::printf(
        "cycle %d: %d operations (created %d by the registry and %d in dialogs, %d refused, %d "
        "cancelled; edited %d by property and %d in dialogs; saved %d; deleted %d in the window; "
        "loaded %d; deleted %d by the registry; window opened and closed %d times; context menu "
        "%d), %ld calls, %.1f s; %s",
        cycle, tally.Operations(), tally.by_registry, tally.by_dialog, tally.refused,
        tally.cancelled, tally.edited_by_property, tally.edited_in_dialog, tally.saved,
        tally.deleted_in_window, tally.loaded, tally.deleted_by_registry, tally.windows,
        tally.menus, tally.calls,
        std::chrono::duration<double>(Clock::now() - cycle_started).count(), Figures(now).c_str());
    if (cycle == 0) {
      baseline = now;
      std::printf(" (the baseline)\n");
      continue;
    }
    const int64_t growth =
        static_cast<int64_t>(now.private_bytes) - static_cast<int64_t>(baseline.private_bytes);
    const int64_t blocks = static_cast<int64_t>(now.heap_blocks - now.wine_font_records) -
                           static_cast<int64_t>(baseline.heap_blocks - baseline.wine_font_records);
    std::printf(" (private %+lld KB, our heap blocks %+lld)\n",
                static_cast<long long>(growth / 1024), static_cast<long long>(blocks));
    EXPECT_EQ(now.gdi, baseline.gdi) << soaktest::GdiChanges(baseline, now);
    EXPECT_EQ(now.user, baseline.user) << soaktest::UserChanges(baseline, now);
    EXPECT_LE(blocks, kHeapBlocksTolerance) << "heap blocks left behind";
    EXPECT_LE(growth, kPrivateBytesTolerance + cycle * kPrivateBytesPerCycle)
        << "private bytes grew by " << growth;
  }
  std::printf("%d cycles, %ld operations, %ld calls on the add-in, %.1f s\n", cycles, operations,
              calls, std::chrono::duration<double>(Clock::now() - started).count());
}

// While it lives, the system refuses to create list views on this thread, as it does when it
// runs out of what a window needs.
class RefuseListViews {
 public:
  RefuseListViews() : hook_(SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId())) {}
  ~RefuseListViews() { UnhookWindowsHookEx(hook_); }
  RefuseListViews(const RefuseListViews&) = delete;
  RefuseListViews& operator=(const RefuseListViews&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
      wchar_t name[32] = L"";
      GetClassNameW(reinterpret_cast<HWND>(wparam), name, 32);
      if (lstrcmpiW(name, WC_LISTVIEWW) == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  HHOOK hook_;
};

using RefusedWindowTest = SoakTest;

// The window's frame is destroyed while it is being created; the document that was opening it
// must outlive that and go once, with the frame.
TEST_F(RefusedWindowTest, LeavesNothingBehind) {
  ASSERT_EQ(Connect(), 0);
  ASSERT_HR(S_OK, LoadTriggers());
  const auto refused = [&] {
    RefuseListViews refuse;
    EXPECT_HR(S_OK, standin_->Exec(54201));
    Pump();
  };
  // What the host recorded is the host's.
  const auto forget = [&] {
    EXPECT_HR(S_OK, standin_->ClearLog());
    EXPECT_HR(S_OK, standin_->ClearJournal());
    EXPECT_HR(S_OK, standin_->ClearCalls());
  };
  // What the process keeps from the first attempts (Wine settles over a few).
  for (int attempt = 0; attempt < 20; ++attempt) refused();
  EXPECT_TRUE(TriggerFrames().empty());
  EXPECT_TRUE(
      LogHas("Trigger add-in: the trigger window cannot be opened (the system refused to "
             "create it)"))
      << Log();
  forget();
  const soaktest::ProcessResources before = soaktest::MeasureProcessResources();
  for (int attempt = 0; attempt < 20; ++attempt) refused();
  forget();
  const soaktest::ProcessResources after = soaktest::MeasureProcessResources();
  EXPECT_EQ(after.gdi, before.gdi) << soaktest::GdiChanges(before, after);
  EXPECT_EQ(after.user, before.user) << soaktest::UserChanges(before, after);
  EXPECT_EQ(after.heap_blocks, before.heap_blocks);
  EXPECT_TRUE(TriggerFrames().empty());

  // The window opens once the system allows it again.
  EXPECT_HR(S_OK, standin_->Exec(54201));
  Pump();
  ASSERT_EQ(TriggerFrames().size(), 1u);
  EXPECT_EQ(windowtest::RowCount(ListOf(TriggerFrames().front())), 13);
  ASSERT_HR(S_OK, standin_->Disconnect());
  Pump();
  EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow());
}

// The measurement sees each kind of thing the process makes, and sees it go: the checks above can
// fail, under Wine as anywhere.
TEST(ProcessResourcesTest, SeesWhatTheProcessMakesAndFrees) {
  // Top-level windows bring the thread's input method window along; children do not.
  const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
  struct Case {
    const char* what;
    std::function<std::function<void()>()> make;  // gives what frees it
    int gdi, user, blocks;                        // -1: not looked at
    int64_t private_bytes;                        // at least
  };
  const Case cases[] = {
      {"brush",
       [] {
         HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
         return std::function<void()>([brush] { DeleteObject(brush); });
       },
       1, 0, 0, 0},
      {"bitmap",
       [] {
         HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
         return std::function<void()>([bitmap] { DeleteObject(bitmap); });
       },
       1, 0, 0, 0},
      {"menu",
       [] {
         HMENU menu = CreatePopupMenu();
         return std::function<void()>([menu] { DestroyMenu(menu); });
       },
       0, 1, -1, 0},
      {"accelerators",
       [] {
         ACCEL key = {FVIRTKEY, 'A', 1};
         HACCEL table = CreateAcceleratorTableW(&key, 1);
         return std::function<void()>([table] { DestroyAcceleratorTable(table); });
       },
       0, 1, -1, 0},
      {"window and its child",
       [parent] {
         HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, parent, nullptr,
                                       nullptr, nullptr);
         CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr,
                         nullptr);
         return std::function<void()>([window] { DestroyWindow(window); });
       },
       0, 2, -1, 0},
      {"heap block",
       [] {
         void* block = HeapAlloc(GetProcessHeap(), 0, 100);
         return std::function<void()>([block] { HeapFree(GetProcessHeap(), 0, block); });
       },
       0, 0, 1, 0},
      {"4 MB of memory",
       [] {
         const size_t size = 4 << 20;
         void* memory = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
         if (memory) std::memset(memory, 1, size);
         return std::function<void()>([memory] { VirtualFree(memory, 0, MEM_RELEASE); });
       },
       0, 0, 0, 4 << 20},
  };
  // What the first of each leaves for good (stock objects, the thread's input window).
  for (const Case& c : cases) c.make()();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const soaktest::ProcessResources before = soaktest::MeasureProcessResources();
    const std::function<void()> free = c.make();
    const soaktest::ProcessResources made = soaktest::MeasureProcessResources();
    free();
    const soaktest::ProcessResources after = soaktest::MeasureProcessResources();
    if (c.gdi >= 0) {
      EXPECT_EQ(made.gdi - before.gdi, static_cast<DWORD>(c.gdi));
      EXPECT_EQ(after.gdi, before.gdi);
    }
    if (c.user >= 0) {
      EXPECT_EQ(made.user - before.user, static_cast<DWORD>(c.user));
      EXPECT_EQ(after.user, before.user);
    }
    if (c.blocks >= 0) {
      EXPECT_EQ(made.heap_blocks - before.heap_blocks, static_cast<uint64_t>(c.blocks));
      EXPECT_EQ(after.heap_blocks, before.heap_blocks);
    }
    EXPECT_GE(static_cast<int64_t>(made.private_bytes - before.private_bytes), c.private_bytes);
  }
  DestroyWindow(parent);
}

}  // namespace
