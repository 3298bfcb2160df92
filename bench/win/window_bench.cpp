// Times the trigger window of Trigger.dll in the host stand-in, on a project of 256 triggers:
//   open    the trigger command until the window is painted, against creating a bare report list
//           view, inserting the same 256 rows of 13 texts and painting it;
//   delete  the Delete command on all 256 rows selected until the window is painted again,
//           against inserting into a bare list view as many rows (with their texts) as the
//           command's rebuilds once inserted: 255 + 254 + ... + 1; and against opening the
//           window on the same triggers, since the command fills the list once.
// Each figure is the median of several runs. A last run counts the window's paints for each
// action: it watches every message with hooks, which would slow the timed runs.
// Run it under Wine on a display (scripts/bench-window).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/common/rows.h"
#include "bench/common/statistics.h"
#include "standin/win/standin_ids.h"
#include "win/com/trigger_ids.h"

namespace {

int kTriggers = 256;  // the second argument may say fewer, for a quick look
constexpr int kColumns = 13;
int kRuns = 5;  // --repetitions=N says how many

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// WM_PAINT reaching list views, sent (UpdateWindow) or taken from the queue.
int paints = 0;
bool IsList(HWND window) {
  wchar_t name[32] = L"";
  GetClassNameW(window, name, 32);
  return wcsstr(name, L"SysListView32") != nullptr;
}
LRESULT CALLBACK SentHook(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && message->message == WM_PAINT && IsList(message->hwnd)) ++paints;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
LRESULT CALLBACK TakenHook(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && message->message == WM_PAINT &&
      IsList(message->hwnd)) {
    ++paints;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

BSTR Bstr(const std::wstring& text) { return SysAllocString(text.c_str()); }

bool Check(HRESULT hr, const char* what) {
  if (SUCCEEDED(hr)) return true;
  std::fprintf(stderr, "window_bench: %s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
  return false;
}

HRESULT RegisterModule(const wchar_t* name) {
  HMODULE module = LoadLibraryW(name);
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  return entry ? entry() : E_NOINTERFACE;
}

// The sample project with 256 triggers of five kinds in place of its own.
std::wstring MakeProject(const char* sample) {
  std::ifstream in(sample);
  if (!in) return L"";
  std::ostringstream project;
  for (std::string line; std::getline(in, line);) {
    if (line == "[Trigger]") break;
    project << line << "\r\n";
  }
  project << "[Trigger]\r\nMaxNum=" << kTriggers << "\r\n";
  const char* const kinds[] = {
      "%d,interrupt,irq_%d,TIMER0_OVF,1000,10",
      "%d,ioaccess,poll_%d,50,2",
      "%d,transfer,copy_%d,16,8BIT,RX_BUFFER,INCREMENT,TX_BUFFER,INCREMENT,100,5,0,0",
      "%d,data,hello_%d,UART0_DATA,8BIT,SINGLE,DEFAULT,0x48,0x65,0x6c,),200,20,0x000000ff",
      "%d,filestream,samples_%d",
  };
  char text[200];
  for (int slot = 0; slot < kTriggers; ++slot) {
    std::snprintf(text, sizeof text, kinds[slot % 5], slot + 100, slot);
    project << slot << "=" << text << "\r\n";
  }
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"window_bench.vpj";
  std::ofstream(path.c_str(), std::ios::binary) << project.str();
  return path;
}

// The rows as the window shows them, read from its list.
std::vector<std::vector<std::string>> ReadRows(HWND list) {
  std::vector<std::vector<std::string>> rows;
  char text[260];
  for (int row = 0; row < ListView_GetItemCount(list); ++row) {
    std::vector<std::string> texts;
    for (int column = 0; column < kColumns; ++column) {
      LVITEMA item = {};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      const LRESULT length =
          SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      texts.emplace_back(text, static_cast<size_t>(length));
    }
    rows.push_back(std::move(texts));
  }
  return rows;
}

// A bare report list view in a window of the trigger window's size, with the same columns.
struct BareList {
  HWND frame = nullptr;
  HWND list = nullptr;
  explicit BareList(const RECT& size) {
    frame = CreateWindowExW(0, L"STATIC", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            size.right - size.left, size.bottom - size.top, nullptr, nullptr,
                            nullptr, nullptr);
    RECT client;
    GetClientRect(frame, &client);
    list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 0,
                           0, client.right, client.bottom, frame, nullptr, nullptr, nullptr);
    const int widths[kColumns] = {40, 70, 100, 100, 100, 50, 70, 50, 70, 50, 50, 50, 100};
    for (int column = 0; column < kColumns; ++column) {
      LVCOLUMNA header = {};
      header.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
      header.cx = widths[column];
      header.pszText = const_cast<char*>("Column");
      header.iSubItem = column;
      SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
  }
  ~BareList() { DestroyWindow(frame); }
  // The rows, in place of what the list had, drawn once the last change is made.
  void BeginChanges() { SendMessageW(list, WM_SETREDRAW, FALSE, 0); }
  void EndChanges() {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }
  void Fill(const std::vector<std::vector<std::string>>& rows, size_t count) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t row = 0; row < count; ++row) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.pszText = const_cast<char*>(rows[row][0].c_str());
      const int index =
          static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
      for (int column = 1; column < kColumns; ++column) {
        item.iSubItem = column;
        item.pszText = const_cast<char*>(rows[row][column].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
      }
    }
  }
};

HWND FindFrame() { return FindWindowW(L"TriggerAddinFrame", nullptr); }

}  // namespace

int main(int argc, char** argv) {
  // As scripts/bench runs every benchmark program: --repetitions=N, and the sample project of
  // the source tree unless one is given.
  std::vector<char*> args(argv, argv + argc);
  for (auto arg = args.begin(); arg != args.end(); ++arg) {
    if (std::strncmp(*arg, "--repetitions=", 14) == 0) {
      kRuns = std::max(1, std::atoi(*arg + 14));
      args.erase(arg);
      break;
    }
  }
  std::string sample = "Z:" BENCH_SAMPLE_PROJECT;
  if (args.size() == 1) args.push_back(sample.data());
  argc = static_cast<int>(args.size());
  argv = args.data();
  if (argc < 2 || argc > 3 || (argc == 3 && (std::atoi(argv[2]) < 2 || std::atoi(argv[2]) > 256))) {
    std::fprintf(stderr,
                 "usage: window_bench [--repetitions=N] [SAMPLE.vpj [TRIGGERS (2 to 256)]]\n");
    return 2;
  }
  if (argc == 3) kTriggers = std::atoi(argv[2]);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (!Check(RegisterModule(L"VireoStandin.dll"), "registering VireoStandin.dll") ||
      !Check(RegisterModule(L"Trigger.dll"), "registering Trigger.dll")) {
    return 1;
  }
  const std::wstring project = MakeProject(argv[1]);
  if (project.empty()) {
    std::fprintf(stderr, "window_bench: cannot read %s\n", argv[1]);
    return 1;
  }
  IVireoStandin* standin = nullptr;
  CLSID clsid;
  if (!Check(CLSIDFromProgID(L"Vireo.Standin", &clsid), "finding Vireo.Standin") ||
      !Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVireoStandin,
                              reinterpret_cast<void**>(&standin)),
             "creating Vireo.Standin")) {
    return 1;
  }
  BSTR path = Bstr(project);
  BSTR connect = Bstr(L"Trigger.Connect");
  BSTR command = Bstr(L"Trigger.Command");
  BSTR registry_name = Bstr(L"TriggerAction");
  LONG connected = -1;
  if (!Check(standin->OpenProject(path), "opening the project") ||
      !Check(standin->Connect(connect, command, VARIANT_TRUE, &connected), "connecting") ||
      connected != 0) {
    return 1;
  }
  IDispatch* object = nullptr;
  ITriggerAction* registry = nullptr;
  if (!Check(standin->GetObject(registry_name, &object), "GetObject") || object == nullptr ||
      !Check(object->QueryInterface(IID_ITriggerAction, reinterpret_cast<void**>(&registry)),
             "the registry")) {
    return 1;
  }
  std::vector<double> open_times, open_floor, delete_times, delete_floor;
  int open_paints = 0, delete_paints = 0;
  size_t delete_rows = 0;
  HHOOK sent = nullptr, taken = nullptr;
  for (int run = 0; run <= kRuns; ++run) {
    const bool counting = run == kRuns;
    if (counting) {
      sent = SetWindowsHookExW(WH_CALLWNDPROC, &SentHook, nullptr, GetCurrentThreadId());
      taken = SetWindowsHookExW(WH_GETMESSAGE, &TakenHook, nullptr, GetCurrentThreadId());
    }
    // A fresh load of the 256 triggers.
    if (!Check(standin->OpenProject(path), "opening the project") ||
        !Check(registry->LoadTriggers(), "loading the triggers")) {
      return 1;
    }
    Pump();

    paints = 0;
    double start = Now();
    standin->Exec(54201);
    const HWND frame = FindFrame();
    if (frame == nullptr) {
      std::fprintf(stderr, "window_bench: the trigger window did not open\n");
      return 1;
    }
    UpdateWindow(frame);
    Pump();
    if (!counting) open_times.push_back(Now() - start);
    open_paints = paints;
    const HWND list = GetDlgItem(frame, 0xE900);
    const std::vector<std::vector<std::string>> rows = ReadRows(list);
    if (rows.size() != static_cast<size_t>(kTriggers)) {
      std::fprintf(stderr, "window_bench: %zu rows for %d triggers\n", rows.size(), kTriggers);
      return 1;
    }
    RECT size;
    GetWindowRect(frame, &size);

    // Every row selected, then Delete as the toolbar sends it.
    LVITEMW all = {};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    Pump();
    paints = 0;
    start = Now();
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(54205, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(frame, 103)));
    UpdateWindow(frame);
    Pump();
    if (!counting) delete_times.push_back(Now() - start);
    delete_paints = paints;
    if (ListView_GetItemCount(list) != 0) {
      std::fprintf(stderr, "window_bench: %d rows left after deleting all\n",
                   ListView_GetItemCount(list));
      return 1;
    }
    SendMessageW(frame, WM_CLOSE, 0, 0);
    Pump();
    if (counting) break;

    // The floors, on a bare list view.
    start = Now();
    {
      BareList bare(size);
      bare.BeginChanges();
      bare.Fill(rows, rows.size());
      bare.EndChanges();
      UpdateWindow(bare.frame);
      Pump();
      open_floor.push_back(Now() - start);

      start = Now();
      delete_rows = 0;
      bare.BeginChanges();
      for (size_t count = rows.size() - 1; count > 0; --count) {
        bare.Fill(rows, count);
        delete_rows += count;
      }
      bare.Fill(rows, 0);
      bare.EndChanges();
      UpdateWindow(bare.frame);
      Pump();
      delete_floor.push_back(Now() - start);
    }
    Pump();
  }
  UnhookWindowsHookEx(sent);
  UnhookWindowsHookEx(taken);

  const double open = Median(open_times), open_base = Median(open_floor);
  const double remove = Median(delete_times), remove_base = Median(delete_floor);
  std::printf("Trigger window under Wine, %d triggers, median of %d runs; paints counted apart\n",
              kTriggers, kRuns);
  std::printf("%-36s %10s %10s %7s %7s\n", "", "window", "floor", "ratio", "paints");
  std::printf("%-36s %8.1fms %8.1fms %7.2f %7d\n", "open the window", open, open_base,
              open / open_base, open_paints);
  std::printf("%-36s %8.1fms %8.1fms %7.2f %7d\n", "delete all rows selected", remove, remove_base,
              remove / remove_base, delete_paints);
  std::printf("(the delete floor inserts %zu rows of %d texts)\n", delete_rows, kColumns);
  // The same as rows of scripts/bench's table (nanoseconds).
  const double spread_open =
      std::max(bench::SpreadPercent(open_times), bench::SpreadPercent(open_floor));
  const double spread_delete =
      std::max(bench::SpreadPercent(delete_times), bench::SpreadPercent(delete_floor));
  // Goal: within twice the floor, the window painted once per user action.
  const auto painted = [](int paints) {
    return ", painted " + std::to_string(paints) + (paints == 1 ? " time" : " times");
  };
  bench::PrintComparison("trigger window opened on " + std::to_string(kTriggers) +
                             " triggers (Wine)" + painted(open_paints) + ", vs a list view",
                         open * 1e6, open_base * 1e6, 2.0, spread_open);
  bench::PrintComparison("its " + std::to_string(kTriggers) + " rows deleted, selected (Wine)" +
                             painted(delete_paints) + ", vs a list view filled again",
                         remove * 1e6, remove_base * 1e6, 2.0, spread_delete);
  bench::PrintComparison("its " + std::to_string(kTriggers) + " rows deleted, selected (Wine)" +
                             painted(delete_paints) + ", vs opening the window on them",
                         remove * 1e6, open * 1e6, 2.0, std::max(spread_open, spread_delete));
  const bool painted_once = open_paints <= 1 && delete_paints <= 1;
  if (!painted_once)
    std::fprintf(stderr, "window_bench: a user action painted the window more than once\n");

  registry->Release();
  object->Release();
  standin->Disconnect();
  standin->Release();
  SysFreeString(path);
  SysFreeString(connect);
  SysFreeString(command);
  SysFreeString(registry_name);
  CoUninitialize();
  return painted_once ? 0 : 1;
}
