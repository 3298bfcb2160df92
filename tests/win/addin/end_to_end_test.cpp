// The main job end to end: the add-in connected to the stand-in loads the sample project's
// triggers (one of every kind) into its registry and defines them in the simulator byte for byte;
// changes made through automation are saved back into the project file exactly; loading twice
// adds nothing; deleting an active trigger drops it in the simulator; a definition the add-in
// refuses leaves its trigger "New".
#include <windows.h>

#include <gtest/gtest.h>

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
  int SetEventName(int32_t, const std::string&, bool) override { return 0; }
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

std::shared_ptr<ct::CTrigger> MakeTrigger(ct::TriggerKind kind,
                                          std::shared_ptr<ct::TriggerContext> context) {
  switch (kind) {
    case ct::TriggerKind::Interrupt:
      return std::make_shared<ct::CInterruptTrigger>(context);
    case ct::TriggerKind::IOStream:
      return std::make_shared<ct::CIOStreamTrigger>(context);
    case ct::TriggerKind::Transfer:
      return std::make_shared<ct::CTransferTrigger>(context);
    case ct::TriggerKind::Stream:
      return std::make_shared<ct::CStreamTrigger>(context);
    case ct::TriggerKind::Connect:
      return std::make_shared<ct::CConnectTrigger>(context);
    case ct::TriggerKind::Message:
      return std::make_shared<ct::CMessageTrigger>(context);
    case ct::TriggerKind::Sio:
      return std::make_shared<ct::CSioTrigger>(context);
    case ct::TriggerKind::Control:
      return std::make_shared<ct::CControlTrigger>(context);
    case ct::TriggerKind::FileStream:
      return std::make_shared<ct::CFileStreamTrigger>(context);
    case ct::TriggerKind::IOAccess:
      return std::make_shared<ct::CIOAccessTrigger>(context);
  }
  return nullptr;
}

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
      EXPECT_HR(S_OK,
                standintest::InvokeId(trigger.Get(), standintest::IdOfName(trigger.Get(), property),
                                      DISPATCH_PROPERTYGET, {}, value.Get()));
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
    std::shared_ptr<ct::CTrigger> trigger = MakeTrigger(*kind, context);
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
      "12=112,data,adc_noise,ADC_RESULT,16BIT,REPEAT,RANDOM2,32,0,1023,),10,1,0x000003ff";
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
  EXPECT_EQ(AddinLog(), std::vector<std::string>{"Invalid parameter: illegal interrupt source"});
  EXPECT_EQ(Status(L"stray"), "New");
  EXPECT_EQ(Status(L"tick"), "InActivate");
  UniqueBstr bytes;
  EXPECT_HR(E_INVALIDARG, standin_->RecordBytes(113, bytes.Put())) << "never defined";
  EXPECT_NE(Events().find("113 stray\n"), std::string::npos) << "but named in the event list";
}

}  // namespace
