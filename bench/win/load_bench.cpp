// Loading a project of 256 triggers through COM, as the host does when it opens a project: the
// stand-in (VireoStandin.dll, in this process) connects the add-in and has its registry load the
// triggers, every record defined in the simulator. Beside it, the floor: the host calls that the
// connection and the load make, as the journal of the stand-in lists them, made by this program
// directly on the stand-in objects with no add-in in between (HostCalls), and the four COM
// activations a connection must make (the host makes the add-in's Connect and Command objects by
// their ProgIDs, the add-in its Version and TriggerAction objects by their class ids), made of a
// class that does nothing in BenchFloor.dll, registered the way the add-in's classes are.
//
//   load_bench.exe [--repetitions=N]
//
// Prints one row of the benchmark table (bench/common/rows.h) and, before it, the host calls the
// floor makes, by kind. Run under Wine by scripts/bench; it registers the two servers in the
// prefix it runs in.
#include <windows.h>

#undef GetObject

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/common/project_lines.h"
#include "bench/common/rows.h"
#include "bench/common/statistics.h"
#include "bench/win/host_calls.h"
#include "bench/win/wine_timing.h"
#include "core/automation/strings.h"
#include "standin/win/standin_ids.h"
#include "trigger.h"
#include "win/comkit/conversion.h"
#include "win/comkit/raii.h"

namespace {

using ::win::comkit::ComPtr;
using ::win::comkit::UniqueBstr;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "load_bench: %s\n", what.c_str());
  std::exit(1);
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    Fail(core::automation::Format("%s failed with 0x%08lX", what, static_cast<unsigned long>(hr)));
  }
}

// Whether the class of the ProgID is registered with this module as its server. A registration
// rewrites the prefix's registry, which the wineserver then saves while the benchmark runs.
bool RegisteredHere(const wchar_t* prog_id, HMODULE module) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(prog_id, &clsid))) return false;
  wchar_t clsid_text[64];
  StringFromGUID2(clsid, clsid_text, 64);
  const std::wstring key = std::wstring(L"CLSID\\") + clsid_text + L"\\InprocServer32";
  wchar_t registered[MAX_PATH] = {};
  DWORD size = sizeof registered;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, registered,
                   &size) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return lstrcmpiW(registered, path) == 0;
}

// Loads a module from beside this program and runs its DllRegisterServer, unless its class is
// registered with it already.
void Register(const wchar_t* name, const wchar_t* prog_id) {
  HMODULE module = LoadLibraryW(name);
  if (module == nullptr) Fail("cannot load the module beside the program");
  if (RegisteredHere(prog_id, module)) return;
  auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  Check(entry ? entry() : E_NOINTERFACE, "DllRegisterServer");
}

// The benchmark project as a project file: its interrupt sources and its 256 lines.
std::wstring WriteProject() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"load_bench.vpj";
  std::ofstream out(path.c_str(), std::ios::binary);
  out << "[Project]\r\nCpuFamily=VX16\r\n\r\n[InterruptSources]\r\n";
  int code = 0x10;
  for (const std::string& name : bench::InterruptSourceNames()) {
    out << name << core::automation::Format("=0x%04X,0\r\n", code++);
  }
  const std::vector<bench::ProjectLine> lines = bench::ProjectLines();
  out << "\r\n[Trigger]\r\nMaxNum=" << lines.size() << "\r\n";
  for (size_t i = 0; i < lines.size(); ++i) out << i << "=" << lines[i].text << "\r\n";
  if (!out) Fail("cannot write the project file");
  return path;
}

// The connection's four activations, of the class that does nothing. The objects live until
// `objects` is cleared, as the add-in's live until the host disconnects it.
void Activate(std::vector<ComPtr<IUnknown>>* objects) {
  for (int i = 0; i < 4; ++i) {
    CLSID clsid;
    Check(CLSIDFromProgID(L"BenchFloor.Object", &clsid), "CLSIDFromProgID(BenchFloor.Object)");
    ComPtr<IUnknown> object;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()),
          "creating the floor object");
    objects->push_back(std::move(object));
  }
}

std::string Text(IVireoStandin* standin,
                 HRESULT (STDMETHODCALLTYPE IVireoStandin::*getter)(BSTR*)) {
  UniqueBstr text;
  Check((standin->*getter)(text.Put()), "reading the stand-in");
  return ::win::comkit::ToNarrow(text.Get());
}

int CountLines(const std::string& text, const char* prefix) {
  int count = 0;
  for (size_t at = 0; at < text.size();) {
    if (text.compare(at, std::strlen(prefix), prefix) == 0) ++count;
    const size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return count;
}

class Bench {
 public:
  Bench() {
    CLSID clsid;
    Check(CLSIDFromProgID(L"Vireo.Standin", &clsid), "CLSIDFromProgID(Vireo.Standin)");
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVireoStandin,
                           standin_.PutVoid()),
          "creating the stand-in");
    Check(standin_->get_Application(application_.Put()), "the host application");
    project_ = UniqueBstr(SysAllocString(WriteProject().c_str()));
    connect_ = UniqueBstr(SysAllocString(L"Trigger.Connect"));
    command_ = UniqueBstr(SysAllocString(L"Trigger.Command"));
    registry_name_ = UniqueBstr(SysAllocString(L"Trigger.TriggerAction"));
  }

  IVireoStandin* standin() { return standin_.Get(); }
  IDispatch* application() { return application_.Get(); }

  // A fresh host: the project opened again (the simulator and the event list emptied), the
  // journal cleared.
  void Reopen() {
    Check(standin_->OpenProject(project_.Get()), "OpenProject");
    Check(standin_->ClearJournal(), "ClearJournal");
  }

  // What is measured: the host connects the add-in and has it load the project.
  void ConnectAndLoad() {
    LONG result = -1;
    const double t0 = bench::win::NowNs();
    Check(standin_->Connect(connect_.Get(), command_.Get(), VARIANT_TRUE, &result), "Connect");
    connect_ns = bench::win::NowNs() - t0;
    if (result != 0) Fail("the add-in refused the connection");
    ComPtr<IDispatch> object;
    Check(standin_->GetObject(registry_name_.Get(), object.Put()), "GetObject(TriggerAction)");
    ComPtr<ITriggerAction> registry;
    Check(object.As(IID_ITriggerAction, &registry), "ITriggerAction");
    const double t1 = bench::win::NowNs();
    Check(registry->LoadTriggers(), "LoadTriggers");
    load_ns = bench::win::NowNs() - t1;
  }

  void Disconnect() { Check(standin_->Disconnect(), "Disconnect"); }
  // The last ConnectAndLoad's parts: the connection, and the load alone.
  double connect_ns = 0;
  double load_ns = 0;

 private:
  ComPtr<IVireoStandin> standin_;
  ComPtr<IDispatch> application_;
  UniqueBstr project_, connect_, command_, registry_name_;
};

}  // namespace

int main(int argc, char** argv) {
  int repetitions = 15;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--repetitions=", 14) == 0) repetitions = std::atoi(argv[i] + 14);
  }
  if (repetitions < 1) Fail("--repetitions must be at least 1");

  Check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
  Register(L"VireoStandin.dll", L"Vireo.Standin");
  Register(L"Trigger.dll", L"Trigger.Connect");
  Register(L"BenchFloor.dll", L"BenchFloor.Object");
  int status = 0;
  {
    Bench bench;
    // One load to learn the host calls it makes, and to see that every record is defined.
    bench.Reopen();
    bench.ConnectAndLoad();
    const std::string journal = Text(bench.standin(), &IVireoStandin::get_Journal);
    const std::string records = Text(bench.standin(), &IVireoStandin::get_DecodedRecords);
    const int defined = CountLines(records, "id ");
    if (defined != bench::kProjectLineCount) {
      Fail(core::automation::Format("the simulator holds %d records, not %d:\n%s", defined,
                                    bench::kProjectLineCount,
                                    Text(bench.standin(), &IVireoStandin::get_Log).c_str()));
    }
    const std::string log = Text(bench.standin(), &IVireoStandin::get_Log);
    if (!log.empty()) Fail("the load wrote to the host's log:\n" + log);

    bench::win::HostCalls floor;
    std::string error;
    if (!floor.Read(journal, bench.standin(), GetModuleHandleW(L"TriggerRES.dll"), &error)) {
      Fail(error);
    }
    bench.Disconnect();
    std::printf("The floor makes the %zu host calls of one connection and load:\n", floor.size());
    for (const auto& [kind, count] : floor.Kinds()) std::printf("  %5d %s\n", count, kind.c_str());

    // Alternately, so that both meet the same load on the machine; the first of each is not
    // counted (it warms the caches).
    std::vector<double> ours;
    std::vector<double> floors;
    std::vector<double> connects;
    std::vector<double> loads;
    for (int r = 0; r <= repetitions; ++r) {
      for (int turn = 0; turn < 2; ++turn) {
        const bool ours_turn = (turn == 0) == (r % 2 == 0);
        bench.Reopen();
        std::vector<ComPtr<IUnknown>> activated;
        const double start = bench::win::NowNs();
        if (ours_turn) {
          bench.ConnectAndLoad();
        } else {
          Activate(&activated);
          if (!floor.Make(bench.application(), &error)) Fail(error);
        }
        const double time = bench::win::NowNs() - start;
        activated.clear();
        if (ours_turn) bench.Disconnect();
        if (r > 0) (ours_turn ? ours : floors).push_back(time);
        if (r > 0 && ours_turn) {
          connects.push_back(bench.connect_ns);
          loads.push_back(bench.load_ns);
        }
      }
    }
    std::printf("Medians: connection %.2f ms, LoadTriggers %.2f ms; the host calls %.2f ms\n",
                bench::Median(connects) / 1e6, bench::Median(loads) / 1e6,
                bench::Median(floors) / 1e6);
    const double excess = bench::Median(ours) - bench::Median(floors);
    std::printf("Above the floor: %.1f us a trigger\n", excess / 1e3 / bench::kProjectLineCount);
    bench::PrintComparison(
        "connect and load of 256 triggers through COM (Wine), vs the host calls and activations",
        bench::Median(ours), bench::Median(floors), 1.2,
        std::max(bench::SpreadPercent(ours), bench::SpreadPercent(floors)));
  }
  CoUninitialize();
  return status;
}
