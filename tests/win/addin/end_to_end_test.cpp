// The main job end to end: the add-in connected to the stand-in loads the sample project's
// triggers (one of every kind) into its registry and defines them in the simulator byte for byte;
// changes made through automation are saved back into the project file exactly; loading twice
// adds nothing; deleting an active trigger drops it in the simulator; a definition the add-in
// refuses leaves its trigger "New".
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "core/automation/strings.h"
#include "core/triggers/connect_trigger.h"
#include "core/triggers/control_trigger.h"
#include "core/triggers/file_stream_trigger.h"
#include "core/triggers/interrupt_sources.h"
#include "core/triggers/interrupt_trigger.h"
#include "core/triggers/io_access_trigger.h"
#include "core/triggers/io_stream_trigger.h"
#include "core/triggers/kinds.h"
#include "core/triggers/line_scanner.h"
#include "core/triggers/make_trigger.h"
#include "core/triggers/message_trigger.h"
#include "core/triggers/sio_trigger.h"
#include "core/triggers/stream_trigger.h"
#include "core/triggers/transfer_trigger.h"
#include "tests/win/addin/addin_test_support.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using addintest::Lines;
using addintest::Narrow;
using addintest::UniqueBstr;
using addintest::UniqueVariant;
using core::automation::Format;
using core::automation::HResult;
namespace ct = core::triggers;

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t byte : bytes) text += Format(text.empty() ? "%02X" : " %02X", byte);
  return text;
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// What surrounds a core trigger built here from a definition line, independently of the add-in's
// registry and bridge: the project's interrupt sources and symbols as the stand-in reads them, the
// trigger numbers the lines give their names, and the record the trigger defines.
class LineContext : public ct::TriggerContext {
 public:
  LineContext(IVireoStandin* standin, ct::InterruptSources sources,
              std::map<std::string, int32_t> numbers)
      : standin_(standin), sources_(std::move(sources)), numbers_(std::move(numbers)) {}

  std::vector<uint8_t> record;

  HResult CheckNameUniqueExcept(const std::string&, int32_t) override { return 0; }
  HResult CheckInterruptSource(const std::string& source) override {
    return sources_.Check(source);
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    sources_.Resolve(source, code);
    return 0;
  }
  int32_t FindNumberByName(const std::string& name) override {
    auto it = numbers_.find(name);
    return it == numbers_.end() ? -1 : it->second;
  }
  int DefineTrigger(int32_t, const std::string&, const std::vector<uint8_t>& bytes, bool) override {
    record = bytes;
    return 0;
  }
  int SetEventName(int32_t, const std::string&, const std::string*) override { return 0; }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    UniqueVariant result;
    const HRESULT hr = standin_->Evaluate(
        Bstr(std::wstring(expression.begin(), expression.end()).c_str()).Get(), result.Get());
    if (FAILED(hr)) return hr;
    UniqueVariant number;
    if (FAILED(VariantChangeType(number.Get(), result.Get(), 0, VT_I4))) return E_FAIL;
    *value = V_I4(number.Get());
    return 0;
  }
  HResult WriteLog(const std::string& text) override {
    ADD_FAILURE() << "the line was refused: " << text;
    return 0;
  }
  void RefreshTriggerWindow() override {}
  uint32_t RegisterMessageName(const std::string& name) override {
    return RegisterWindowMessageA(name.c_str());
  }

 private:
  IVireoStandin* standin_;
  ct::InterruptSources sources_;
  std::map<std::string, int32_t> numbers_;
};

class EndToEndTest : public addintest::AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    ASSERT_EQ(Connect(), 0);
    registry_ = Registry();
    ASSERT_TRUE(registry_);
  }

  std::string Setting(const wchar_t* section, const std::string& key) {
    UniqueVariant value;
    EXPECT_HR(S_OK, standin_->Setting(Bstr(section).Get(),
                                      Bstr(std::wstring(key.begin(), key.end()).c_str()).Get(),
                                      value.Get()));
    return V_VT(value.Get()) == VT_BSTR ? Narrow(V_BSTR(value.Get())) : std::string();
  }
  // The project's trigger lines, in key order.
  std::vector<std::string> TriggerLines() {
    std::vector<std::string> lines;
    const int count = std::atoi(Setting(L"Trigger", "MaxNum").c_str());
    for (int i = 0; i < count; ++i) lines.push_back(Setting(L"Trigger", std::to_string(i)));
    return lines;
  }
  ct::InterruptSources ProjectSources() {
    UniqueBstr text;
    EXPECT_HR(S_OK, standin_->SectionText(Bstr(L"InterruptSources").Get(), text.Put()));
    std::vector<ct::InterruptSource> sources;
    for (const std::string& entry : Lines(Narrow(text.Get()))) {
      const size_t equals = entry.find('=');
      char* end = nullptr;
      ct::InterruptSource source;
      source.name = entry.substr(0, equals);
      source.code = static_cast<uint16_t>(std::strtoul(entry.c_str() + equals + 1, &end, 0));
      source.value = static_cast<uint16_t>(*end == ',' ? std::strtoul(end + 1, nullptr, 0) : 0);
      sources.push_back(source);
    }
    return ct::InterruptSources(std::move(sources));
  }
  std::string RecordBytes(int32_t id) {
    UniqueBstr bytes;
    EXPECT_HR(S_OK, standin_->RecordBytes(id, bytes.Put()));
    return Narrow(bytes.Get());
  }
  std::string Status(const wchar_t* name) {
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry_->FindTrigger(Bstr(name).Get(), found.Put()));
    ComPtr<IDispatch> trigger;
    if (!found || FAILED(found.As(IID_IDispatch, &trigger))) return "(none)";
    auto flag = [&](const wchar_t* property) {
      UniqueVariant value;
      EXPECT_HR(S_OK, comtest::InvokeByName(trigger.Get(), property, DISPATCH_PROPERTYGET, {},
                                            value.Get()));
      return static_cast<uint8_t>(V_VT(value.Get()) == VT_BOOL &&
                                  V_BOOL(value.Get()) == VARIANT_TRUE);
    };
    ct::TriggerFlags flags;
    flags.in_simulator = flag(L"InSimulator");
    flags.registered = flag(L"Registered");
    flags.modified = flag(L"Modified");
    flags.active = flag(L"Active");
    SHORT kind = 0;
    LONG number = -1;
    EXPECT_HR(S_OK, registry_->FindNumberByName(Bstr(name).Get(), &number));
    EXPECT_HR(S_OK, registry_->GetKindByNumber(number, &kind));
    return std::string(ct::StatusText(static_cast<ct::TriggerKind>(kind), flags));
  }

  ComPtr<ITriggerAction> registry_;
};

TEST_F(EndToEndTest, EveryKindLoadsAndReachesTheSimulatorByteForByte) {
  const std::vector<std::string> lines = TriggerLines();
  ASSERT_EQ(lines.size(), 13u);
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  LONG count = 0;
  ASSERT_HR(S_OK, registry_->get_Count(&count));
  EXPECT_EQ(count, 13);
  EXPECT_TRUE(AddinLog().empty()) << Log();
  EXPECT_TRUE(HostNotes().empty()) << Log();
  VARIANT_BOOL modified = VARIANT_TRUE;
  ASSERT_HR(S_OK, standin_->get_Modified(&modified));
  EXPECT_EQ(modified, VARIANT_FALSE) << "loading alone does not modify the project";

  // The same lines made into core triggers here, with nothing of the add-in around them.
  std::map<std::string, int32_t> numbers;
  std::set<ct::TriggerKind> kinds;
  std::string events;
  for (const std::string& line : lines) {
    int32_t id = 0;
    std::string keyword, name;
    ASSERT_EQ(ct::ScanLine(line, "%d,%[^,],%[^,]", {&id, &keyword, &name}), 3) << line;
    numbers[name] = id - 100;
    events += Format("%d %s\n", id, name.c_str());
  }
  EXPECT_EQ(Events(), events);
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    int32_t id = 0;
    std::string keyword;
    ct::ScanLine(line, "%d,%[^,]", {&id, &keyword});
    const auto kind = ct::KindFromKeyword(keyword);
    ASSERT_TRUE(kind);
    kinds.insert(*kind);
    auto context = std::make_shared<LineContext>(standin_.Get(), ProjectSources(), numbers);
    std::shared_ptr<ct::CTrigger> trigger = ct::MakeTrigger(*kind, context);
    ASSERT_HR(S_OK, trigger->PutDefinition(line));
    ASSERT_EQ(context->record.size(), 836u);
    EXPECT_EQ(RecordBytes(id), Hex(context->record)) << "the whole block, byte for byte";
  }
  EXPECT_EQ(kinds.size(), 10u) << "the sample has every kind";

  // Two records spelt out: raising and clearing TIMER0_OVF (code 0x0010); zero after that.
  const std::string zeros = Hex(std::vector<uint8_t>(836 - 18));
  EXPECT_EQ(RecordBytes(100), "00 00 00 01 64 00 01 00 E8 03 00 00 0A 00 00 00 10 00 " + zeros);
  EXPECT_EQ(RecordBytes(101), "00 00 00 01 65 00 0A 00 00 00 00 00 00 00 00 00 10 00 " + zeros);
  // Nothing the simulator decoded points at stray bytes past a layout.
  EXPECT_EQ(Read(&IVireoStandin::get_DecodedRecords).find("not zero"), std::string::npos);
}

TEST_F(EndToEndTest, ChangesMadeThroughAutomationAreSavedBackExactly) {
  const std::string original = ReadFile(project_);
  ASSERT_HR(S_OK, registry_->LoadTriggers());

  ComPtr<IInterruptTrigger> tick =
      Trigger<IInterruptTrigger>(registry_.Get(), L"tick", IID_IInterruptTrigger);
  ASSERT_TRUE(tick);
  ASSERT_HR(S_OK, tick->put_Cycle(2000));
  ASSERT_HR(S_OK, tick->Register());
  ComPtr<IDispatch> created;
  ASSERT_HR(S_OK, registry_->CreateInterruptTrigger(created.Put()));
  ComPtr<IInterruptTrigger> spare;
  ASSERT_HR(S_OK, created.As(IID_IInterruptTrigger, &spare));
  ASSERT_HR(S_OK, spare->put_Name(Bstr(L"spare").Get()));
  ASSERT_HR(S_OK, spare->put_Source(Bstr(L"ADC_DONE").Get()));
  ASSERT_HR(S_OK, spare->put_Cycle(5));
  ASSERT_HR(S_OK, spare->put_Wait(6));
  ASSERT_HR(S_OK, spare->Register());
  VARIANT_BOOL modified = VARIANT_FALSE;
  ASSERT_HR(S_OK, standin_->get_Modified(&modified));
  EXPECT_EQ(modified, VARIANT_TRUE) << "a definition outside loading marks the project modified";

  ASSERT_HR(S_OK, registry_->SaveTriggers());
  ASSERT_HR(S_OK, standin_->SaveProject());
  std::string expected = Replace(original, "MaxNum=13", "MaxNum=14");
  expected = Replace(expected, "0=100,interrupt,tick,TIMER0_OVF,1000,10",
                     "0=100,interrupt,tick,TIMER0_OVF,2000,10");
  const std::string last =
      "12=112,Data,adc_noise,ADC_RESULT,16BIT,REPEAT,RANDOM2,32,0,1023,),10,1,0x000003ff";
  const std::string line_end = original.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  expected = Replace(expected, last + line_end,
                     last + line_end + "13=113,interrupt,spare,ADC_DONE,5,6" + line_end);
  EXPECT_EQ(ReadFile(project_), expected);
}

TEST_F(EndToEndTest, ASecondLoadAddsNothing) {
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  const std::string records = Read(&IVireoStandin::get_DecodedRecords);
  ASSERT_HR(S_OK, standin_->ClearSimulatorJournal());
  ASSERT_HR(S_OK, standin_->ClearLog());
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  LONG count = 0;
  ASSERT_HR(S_OK, registry_->get_Count(&count));
  EXPECT_EQ(count, 13);
  EXPECT_EQ(Journal(), "") << "nothing defined again";
  EXPECT_EQ(Read(&IVireoStandin::get_DecodedRecords), records);
  const std::vector<std::string> log = AddinLog();
  ASSERT_EQ(log.size(), 13u) << Log();
  EXPECT_EQ(log[0], "Trigger key 0 skipped: trigger id 100 is already taken by \"tick\"");
  EXPECT_EQ(log[12], "Trigger key 12 skipped: trigger id 112 is already taken by \"adc_noise\"");
}

TEST_F(EndToEndTest, DeletingAnActiveTriggerDropsItInTheSimulator) {
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  ASSERT_HR(S_OK, standin_->Activate(100));  // the debugger starts the trigger
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  EXPECT_EQ(Status(L"tick"), "Activate");
  ASSERT_HR(S_OK, standin_->ClearSimulatorJournal());

  ASSERT_HR(S_OK, registry_->DeleteTrigger(Bstr(L"tick").Get()));
  EXPECT_EQ(Journal(), "drop 100\n");
  VARIANT_BOOL active = VARIANT_TRUE;
  ASSERT_HR(S_OK, standin_->IsActive(100, &active));
  EXPECT_EQ(active, VARIANT_FALSE);
  EXPECT_EQ(State().find("100 "), std::string::npos) << State();
  EXPECT_EQ(Events().rfind("100 ", 0), std::string::npos) << Events();
  LONG count = 0;
  ASSERT_HR(S_OK, registry_->get_Count(&count));
  EXPECT_EQ(count, 12);
  VARIANT_BOOL modified = VARIANT_FALSE;
  ASSERT_HR(S_OK, standin_->get_Modified(&modified));
  EXPECT_EQ(modified, VARIANT_TRUE);
}

TEST_F(EndToEndTest, ARefusedDefinitionLeavesItsTriggerNew) {
  ASSERT_HR(S_OK, standin_->WriteSetting(Bstr(L"Trigger").Get(), Bstr(L"MaxNum").Get(),
                                         Bstr(L"14").Get()));
  ASSERT_HR(S_OK, standin_->WriteSetting(Bstr(L"Trigger").Get(), Bstr(L"13").Get(),
                                         Bstr(L"113,interrupt,stray,NO_SUCH_SOURCE,1,2").Get()));
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  // While loading, the kind's message names the line's key, and the reason the trigger stays out
  // of the simulator follows.
  EXPECT_EQ(AddinLog(),
            (std::vector<std::string>{
                "Trigger key 13, field Source: Invalid parameter: illegal interrupt source",
                "Trigger key 13 not registered, field Source: empty"}));
  EXPECT_EQ(Status(L"stray"), "New");
  EXPECT_EQ(Status(L"tick"), "InActivate");
  UniqueBstr bytes;
  EXPECT_HR(E_INVALIDARG, standin_->RecordBytes(113, bytes.Put())) << "never defined";
  EXPECT_NE(Events().find("113 stray\n"), std::string::npos) << "but named in the event list";
}

TEST_F(EndToEndTest, TheBridgeKeepsTheDebuggerServicesAndAsksForTheLogAtEveryLine) {
  // A new service object for every request: each reference the add-in takes belongs to one.
  ASSERT_HR(S_OK, standin_->put_FreshServices(VARIANT_TRUE));
  ASSERT_HR(S_OK, standin_->ClearJournal());
  ASSERT_HR(S_OK, registry_->LoadTriggers());
  ASSERT_HR(S_OK, registry_->LogTriggerList());
  ASSERT_HR(S_OK, registry_->LogTriggerList());
  const std::vector<std::string> journal = Lines(Read(&IVireoStandin::get_Journal));
  std::map<std::string, int> asked;
  for (const std::string& line : journal) {
    if (line.rfind("GetService(", 0) == 0) ++asked[line.substr(11, line.find(')') - 11)];
  }
  EXPECT_EQ(asked["Marlin.Manager"], 1);
  EXPECT_EQ(asked["Marlin.EventCommand"], 1);
  EXPECT_EQ(asked["Marlin.TargetCommand"], 1);
  EXPECT_LE(asked["Quillon.Evaluation"], 1) << "kept from an earlier connection of this process";
  EXPECT_EQ(asked["Tamber.Service"], 2);

  // The calls in their order: the settings first, then each trigger's event name before its
  // record; a log line right after the log service was obtained.
  const auto at = [&](const std::string& line) {
    return std::find(journal.begin(), journal.end(), line) - journal.begin();
  };
  const auto first_with = [&](const std::string& prefix) {
    return std::find_if(journal.begin(), journal.end(),
                        [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }) -
           journal.begin();
  };
  const auto size = static_cast<std::ptrdiff_t>(journal.size());
  ASSERT_LT(at("Manager.ReadProfileInt(Trigger, MaxNum, 0) = 13"), size)
      << Read(&IVireoStandin::get_Journal);
  EXPECT_LT(at("Manager.ReadProfileInt(Trigger, MaxNum, 0) = 13"),
            at("Manager.ReadProfileString(Trigger, 0, \"\") = "
               "\"100,interrupt,tick,TIMER0_OVF,1000,10\""));
  EXPECT_LT(at("EventCommand.AddEventName(100, tick)"), at("SimCommand(0x0100, 100)"));
  EXPECT_LT(at("SimCommand(0x0100, 100)"), at("EventCommand.AddEventName(101, tick_ack)"));
  const auto log = first_with("GetService(Tamber.Service)");
  ASSERT_LT(log + 1, size);
  EXPECT_EQ(journal[static_cast<size_t>(log + 1)].rfind("AddLogString(\"total number", 0), 0u);
}

// Runs a program of this folder with the arguments; its exit code and what it printed.
DWORD RunBeside(const std::wstring& program, const std::wstring& arguments, std::string* output) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = self;
  command =
      L"\"" + command.substr(0, command.find_last_of(L'\\') + 1) + program + L"\" " + arguments;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return ~0u;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(write);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0)
      output->append(buffer, got);
  }
  CloseHandle(read);
  if (!started) return ~0u;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = ~0u;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// Every type of answer the evaluator may give, each in a host of its own: the add-in keeps its
// evaluator for the life of the process, so each project runs in a process of its own.
TEST_F(EndToEndTest, AddressesTakeEveryTypeTheEvaluatorAnswersIn) {
  struct Case {
    const char* type;
    const char* destination;  // 0xFF80 as the add-in read it; null: refused
    const char* source;       // 0x12345680 likewise
  };
  const Case cases[] = {
      {"I1", "0x00000080", "0x00000080"},  // bytes are taken zero-extended
      {"UI1", "0x00000080", "0x00000080"},
      {"I2", "0xFFFFFF80", "0x00005680"},  // a short sign-extended
      {"UI2", "0x0000FF80", "0x00005680"},
      {"I4", "0x0000FF80", "0x12345680"},
      {"UI4", "0x0000FF80", "0x12345680"},
      {"BSTR", nullptr, nullptr},
  };
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const std::wstring project = std::wstring(folder) + L"evaluator_types.vpj";
    std::ofstream(project.c_str(), std::ios::binary)
        << "[Project]\r\nCpuFamily=VX16\r\nEvaluatorType=" << c.type
        << "\r\n[Trigger]\r\nMaxNum=1\r\n"
           "0=100,stream,s,0xFF80,8BIT,SINGLE,0x12345680,1,0,0,0x0000007f\r\n";
    std::string output;
    ASSERT_EQ(RunBeside(L"vireo-standin.exe", L"--project \"" + project + L"\"", &output), 0u)
        << output;
    const std::string record =
        c.destination ? Format(
                            "id 100 stream: cycle 0 wait 0 destination %s size 1 (8BIT) repeat "
                            "2 (SINGLE) count 1 mask 0x0000007F pattern 4 (memory) source %s",
                            c.destination, c.source)
                      : "id 100 stream";
    EXPECT_EQ(output.find(record) != std::string::npos, c.destination != nullptr) << output;
    EXPECT_EQ(output.find("Vireo: "), std::string::npos) << output;
  }
}

}  // namespace
