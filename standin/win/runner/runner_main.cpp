// vireo-standin: the host stand-in on the command line. It opens a project in the stand-in
// (VireoStandin.dll, loaded from beside the runner), connects the add-in by its ProgIDs, and then
// runs a JScript file against the stand-in or loads the project's triggers and prints what the
// host saw; with --gui it loads the triggers and opens the stand-in's IDE window instead.
#include <windows.h>

#undef GetObject

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "standin/win/runner/script_host.h"
#include "standin/win/standin_calls.h"
#include "vireo_standin.h"
#include "win/comkit/conversion.h"
#include "win/comkit/raii.h"

namespace {

using win::comkit::ComPtr;
using win::comkit::UniqueBstr;

constexpr char kUsage[] =
    "usage: vireo-standin --project FILE [--script FILE.js]\n"
    "                     [--connect CONNECT_PROGID COMMAND_PROGID | --no-connect]\n"
    "                     [--gui [--exec COMMAND]... [--ready-file FILE]]\n"
    "\n"
    "Opens the project FILE in the Vireo stand-in and connects the add-in whose Connect and\n"
    "Command classes have the given ProgIDs (Trigger.Connect and Trigger.Command unless told\n"
    "otherwise; --no-connect connects none). Then:\n"
    "  with --script  runs the JScript file in this process; the script reaches the stand-in as\n"
    "                 the global object Vireo, and WScript offers Echo, Quit, ScriptFullName and\n"
    "                 ScriptName (Quit raises an error to stop the script: call it outside try);\n"
    "  without        loads the project's triggers through the add-in's TriggerAction object and\n"
    "                 prints the log, the event list, the simulator's decoded records and its\n"
    "                 journal.\n"
    "  with --gui     loads the project's triggers into the add-in and opens the IDE window, runs\n"
    "                 each --exec COMMAND (a number) as its menu entry or toolbar button would,\n"
    "                 then the script if one is given, and stays until the window is closed; a\n"
    "                 script that calls WScript.Quit or fails closes it without asking. Once the\n"
    "                 window is idle after all that, --ready-file FILE is written with the\n"
    "                 window's handle, for scripts that take screenshots.\n"
    "\n"
    "The add-in's DLL must be registered (regsvr32); VireoStandin.dll must sit beside this\n"
    "program.\n"
    "\n"
    "Exit status: 0 when all went well, the code the script passed to WScript.Quit, 1 when\n"
    "something failed (the project, the add-in, the script), 2 for a bad command line.\n";

struct Options {
  std::wstring project;
  std::wstring script;
  std::wstring connect = L"Trigger.Connect";
  std::wstring command = L"Trigger.Command";
  bool no_connect = false;
  bool help = false;
  bool gui = false;
  std::vector<LONG> exec;  // commands to run in the IDE window at start
  std::wstring ready_file;
};

using ::win::comkit::ToNarrow;

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "vireo-standin: %s\n\n%s", problem.c_str(), kUsage);
  return 2;
}

// The options, or nothing when the command line is bad (the problem already reported, with the
// usage, and *exit_code set).
std::optional<Options> Parse(const std::vector<std::wstring>& args, int* exit_code) {
  Options options;
  bool connect_given = false;
  std::string problem;
  // The `count` values after option i, which must not look like options themselves.
  auto has_values = [&](size_t i, size_t count) {
    for (size_t k = 1; k <= count; ++k) {
      if (i + k >= args.size() || args[i + k].rfind(L"--", 0) == 0) return false;
    }
    return true;
  };
  for (size_t i = 0; i < args.size() && problem.empty(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
      options.help = true;
    } else if (arg == L"--project" || arg == L"--script" || arg == L"--ready-file") {
      std::wstring& target = arg == L"--project"  ? options.project
                             : arg == L"--script" ? options.script
                                                  : options.ready_file;
      if (!has_values(i, 1)) {
        problem = ToNarrow(arg) + " needs a file name";
      } else if (!target.empty()) {
        problem = ToNarrow(arg) + " given twice";
      } else {
        target = args[++i];
      }
    } else if (arg == L"--connect") {
      if (!has_values(i, 2)) {
        problem = "--connect needs two ProgIDs: the add-in's Connect class and its Command class";
      } else if (connect_given) {
        problem = "--connect given twice";
      } else {
        connect_given = true;
        options.connect = args[++i];
        options.command = args[++i];
      }
    } else if (arg == L"--no-connect") {
      options.no_connect = true;
    } else if (arg == L"--gui") {
      options.gui = true;
    } else if (arg == L"--exec") {
      wchar_t* end = nullptr;
      const long command = has_values(i, 1) ? std::wcstol(args[i + 1].c_str(), &end, 0) : 0;
      if (!has_values(i, 1) || end == args[i + 1].c_str() || *end != L'\0' || command <= 0) {
        problem = "--exec needs a command number";
      } else {
        options.exec.push_back(static_cast<LONG>(command));
        ++i;
      }
    } else {
      problem = "unknown argument \"" + ToNarrow(arg) + "\"";
    }
  }
  if (problem.empty() && !options.help) {
    if (connect_given && options.no_connect) {
      problem = "--connect and --no-connect exclude each other";
    } else if (options.project.empty()) {
      problem = "--project FILE is required";
    } else if (!options.gui && !options.exec.empty()) {
      problem = "--exec needs --gui";
    } else if (!options.gui && !options.ready_file.empty()) {
      problem = "--ready-file needs --gui";
    }
  }
  if (!problem.empty()) {
    *exit_code = UsageError(problem);
    return std::nullopt;
  }
  return options;
}

// What the last failed call on the stand-in said, or the bare result.
std::string Describe(HRESULT hr) { return standin::win::DescribeFailure(hr); }

int Fail(const std::string& text) {
  std::fprintf(stderr, "vireo-standin: %s\n", text.c_str());
  return 1;
}

std::wstring RunnerFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The stand-in's automation object, from the DLL beside the runner (no registration needed).
HRESULT CreateStandin(ComPtr<IVireoStandin>* standin, std::string* problem) {
  const std::wstring dll = RunnerFolder() + L"VireoStandin.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  if (module == nullptr) {
    *problem = "cannot load " + ToNarrow(dll);
    return HRESULT_FROM_WIN32(GetLastError());
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (get == nullptr) {
    *problem = ToNarrow(dll) + " is no COM server";
    return E_NOINTERFACE;
  }
  ComPtr<IClassFactory> factory;
  HRESULT hr = get(CLSID_Standin, IID_IClassFactory, factory.PutVoid());
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IVireoStandin, standin->PutVoid());
  if (FAILED(hr)) *problem = "cannot create the stand-in from " + ToNarrow(dll);
  return hr;
}

std::string Text(IVireoStandin* standin,
                 HRESULT (STDMETHODCALLTYPE IVireoStandin::*getter)(BSTR*)) {
  UniqueBstr text;
  (standin->*getter)(text.Put());
  return ToNarrow(text.Get());
}

void PrintSection(const char* title, const std::string& text) {
  std::printf("== %s\n%s", title, text.empty() ? "(empty)\n" : text.c_str());
}

void PrintReport(IVireoStandin* standin) {
  PrintSection("Log", Text(standin, &IVireoStandin::get_Log));
  PrintSection("Event list", Text(standin, &IVireoStandin::get_EventList));
  PrintSection("Simulator", Text(standin, &IVireoStandin::get_DecodedRecords));
  PrintSection("Simulator journal", Text(standin, &IVireoStandin::get_SimulatorJournal));
  std::fflush(stdout);
}

// LoadTriggers of the add-in's TriggerAction object, called by name as a host calls it.
int LoadTriggers(IVireoStandin* standin) {
  std::string problem;
  const HRESULT hr = standin::win::CallTriggerAction(standin, L"LoadTriggers", &problem);
  PrintReport(standin);
  return FAILED(hr) ? Fail(problem) : 0;
}

// The IDE window: loads the triggers of the project, runs the start-up commands and the script,
// then runs the window's own message loop until the window is closed.
int RunWindow(const Options& options, IVireoStandin* standin) {
  if (!options.no_connect) {
    std::string problem;
    if (FAILED(standin::win::CallTriggerAction(standin, L"LoadTriggers", &problem))) {
      Fail(problem);  // the window shows the log; the user decides what next
    }
  }
  LONG window = 0;
  HRESULT hr = standin->ShowWindow(&window);
  if (FAILED(hr)) return Fail("cannot open the IDE window: " + Describe(hr));
  VARIANT_BOOL closed = VARIANT_FALSE;
  for (LONG command : options.exec) {
    hr = standin->RunCommand(command);
    if (FAILED(hr)) {
      const int code = Fail("--exec " + std::to_string(command) + ": " + Describe(hr));
      standin->CloseWindow(VARIANT_FALSE, &closed);
      return code;
    }
  }
  if (!options.script.empty()) {
    bool quit = false;
    const int code = standin::runner::RunScript(options.script, standin, &quit);
    if (quit || code != 0) {
      standin->CloseWindow(VARIANT_FALSE, &closed);
      return code;
    }
  }
  VARIANT_BOOL idle = VARIANT_FALSE;
  standin->WaitIdle(10000, &idle);
  standin->get_MainWindow(&window);
  if (!options.ready_file.empty()) {
    std::ofstream ready(ToNarrow(options.ready_file));
    ready << window << '\n';
    if (!ready) Fail("cannot write " + ToNarrow(options.ready_file));
  }
  if (window != 0) standin->RunWindow();
  return 0;
}

int Run(const Options& options) {
  ComPtr<IVireoStandin> standin;
  std::string problem;
  HRESULT hr = CreateStandin(&standin, &problem);
  if (FAILED(hr)) return Fail(problem + ": " + Describe(hr));

  // The stand-in opens the path as given; a full path makes its ProjectPath and help path clear.
  std::wstring full(MAX_PATH, L'\0');
  const DWORD length = GetFullPathNameW(options.project.c_str(), MAX_PATH, full.data(), nullptr);
  full.resize(length > 0 && length < MAX_PATH ? length : 0);
  UniqueBstr project(SysAllocString(full.empty() ? options.project.c_str() : full.c_str()));
  hr = standin->OpenProject(project.Get());
  if (FAILED(hr)) return Fail("cannot open the project: " + Describe(hr));

  if (!options.no_connect) {
    UniqueBstr connect(SysAllocString(options.connect.c_str()));
    UniqueBstr command(SysAllocString(options.command.c_str()));
    LONG result = 1;
    hr = standin->Connect(connect.Get(), command.Get(), VARIANT_TRUE, &result);
    if (FAILED(hr)) return Fail("cannot connect the add-in: " + Describe(hr));
    if (result != 0) {
      PrintReport(standin.Get());
      return Fail("the add-in refused the connection (OnConnection returned " +
                  std::to_string(result) + ")");
    }
  }

  int exit_code = 0;
  if (options.gui) {
    exit_code = RunWindow(options, standin.Get());
  } else if (!options.script.empty()) {
    exit_code = standin::runner::RunScript(options.script, standin.Get());
  } else if (!options.no_connect) {
    exit_code = LoadTriggers(standin.Get());
  } else {
    PrintReport(standin.Get());
  }
  standin->Disconnect();
  return exit_code;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return UsageError("cannot read the command line");
  const std::vector<std::wstring> args(argv + 1, argv + count);
  LocalFree(argv);

  int exit_code = 2;
  const std::optional<Options> options = Parse(args, &exit_code);
  if (!options) return exit_code;
  if (options->help) {
    std::fputs(kUsage, stdout);
    return 0;
  }

  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com)) return Fail("cannot initialise COM");
  exit_code = Run(*options);
  CoUninitialize();
  return exit_code;
}
