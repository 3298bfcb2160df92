// The row adapters over real triggers in a fake context: the thirteen column texts of every kind,
// the status per kind and state, the text conversions of the setters, which setters are live per
// kind (the others change nothing), refusals, and the operations every adapter shares.
#include "core/rows/trigger_info.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/rows/kind_infos.h"
#include "tests/core/fakes/fake_context.h"

namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::Variant;
using core::rows::MakeTriggerInfo;
using core::rows::TriggerInfo;
using core::triggers::TriggerKind;
using Texts = std::vector<std::string>;
namespace triggers = core::triggers;
namespace rows = core::rows;

std::shared_ptr<fakes::FakeContext> Context() {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->sources = triggers::InterruptSources({{"INT0", 0x20, 0}, {"INT1", 0x21, 0}});
  for (const char* numeral : {"0x100", "0x200", "0x300", "0x00000000", "0xff", "0x000000ff"}) {
    fake->symbols[numeral] = static_cast<int32_t>(std::stoul(numeral, nullptr, 16));
  }
  fake->numbers["target"] = 3;
  return fake;
}

std::shared_ptr<triggers::CTrigger> MakeTrigger(TriggerKind kind,
                                                std::shared_ptr<triggers::TriggerContext> context) {
  switch (kind) {
    case TriggerKind::Interrupt:
      return std::make_shared<triggers::CInterruptTrigger>(context);
    case TriggerKind::IOAccess:
      return std::make_shared<triggers::CIOAccessTrigger>(context);
    case TriggerKind::Transfer:
      return std::make_shared<triggers::CTransferTrigger>(context);
    case TriggerKind::Stream:
      return std::make_shared<triggers::CStreamTrigger>(context);
    case TriggerKind::IOStream:
      return std::make_shared<triggers::CIOStreamTrigger>(context);
    case TriggerKind::Connect:
      return std::make_shared<triggers::CConnectTrigger>(context);
    case TriggerKind::Message:
      return std::make_shared<triggers::CMessageTrigger>(context);
    case TriggerKind::Control:
      return std::make_shared<triggers::CControlTrigger>(context);
    case TriggerKind::Sio:
      return std::make_shared<triggers::CSioTrigger>(context);
    case TriggerKind::FileStream:
      return std::make_shared<triggers::CFileStreamTrigger>(context);
  }
  return nullptr;
}

// A trigger as the registry makes it: number 5, a name, nothing else.
std::unique_ptr<TriggerInfo> Fresh(TriggerKind kind,
                                   std::shared_ptr<fakes::FakeContext> context = Context()) {
  std::shared_ptr<triggers::CTrigger> trigger = MakeTrigger(kind, context);
  trigger->SetNumber(5);
  trigger->SetNameUnchecked("n");
  return MakeTriggerInfo(trigger);
}

Texts Columns(const TriggerInfo& info) {
  Texts texts;
  for (rows::ColumnText column : rows::ListColumns()) texts.push_back((info.*column)());
  return texts;
}

TEST(TriggerInfoTest, ColumnsOfFreshTriggers) {
  struct Case {
    TriggerKind kind;
    int32_t code;
    Texts columns;
  };
  const Case cases[] = {
      {TriggerKind::Interrupt,
       0,
       {"5", "New", "n", "Interrupt", "", "-", "-", "-", "-", "-", "0", "0", "-"}},
      {TriggerKind::IOAccess,
       10,
       {"5", "New", "n", "I/O Access", "-", "-", "-", "-", "-", "-", "0", "0", "-"}},
      {TriggerKind::Transfer,
       3,
       {"5", "Modified", "n", "Transfer", "", "", "", "", "", "0", "0", "0", "-"}},
      {TriggerKind::Stream,
       4,
       {"5", "Modified", "n", "Stream", "", "", "", "#ERROR", "", "0", "0", "0", "0x00000000"}},
      {TriggerKind::IOStream,
       2,
       {"5", "Modified", "n", "I/O Stream", "8000", "-", "-", "-", "-", "-", "-", "-", "-"}},
      {TriggerKind::Connect,
       5,
       {"5", "Modified", "n", "Connect", "", "-", "-", "-", "-", "0", "-", "-", "-"}},
      {TriggerKind::Message,
       6,
       {"5", "Modified", "n", "Message", "", "-", "-", "TIME", "-", "-", "0", "0", "-"}},
      {TriggerKind::Control,
       8,
       {"5", "Modified", "n", "Control", "", "-", "-", "", "-", "-", "-", "-", "-"}},
      {TriggerKind::Sio, 7, {"5", "Modified", "n", "SIO", "", "-", "", "", "", "-", "-", "-", "-"}},
      {TriggerKind::FileStream,
       9,
       {"5", "Modified", "n", "File I/O", "-", "-", "-", "-", "-", "-", "-", "-", "-"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(triggers::InfoOf(c.kind).adapter_name);
    const std::unique_ptr<TriggerInfo> info = Fresh(c.kind);
    EXPECT_EQ(Columns(*info), c.columns);
    EXPECT_EQ(info->GetKind(), c.code);
  }
}

TEST(TriggerInfoTest, StatusFollowsTheFlagsWithInterruptKindsNeverModified) {
  struct Case {
    TriggerKind kind;
    Texts statuses;  // new, registered, active, changed while active, inactive again
  };
  const Case cases[] = {
      {TriggerKind::Message, {"Modified", "InActivate", "Activate", "Modified", "Modified"}},
      {TriggerKind::Interrupt, {"New", "InActivate", "Activate", "Activate", "InActivate"}},
      {TriggerKind::IOAccess, {"New", "InActivate", "Activate", "Activate", "InActivate"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(triggers::InfoOf(c.kind).adapter_name);
    const std::unique_ptr<TriggerInfo> info = Fresh(c.kind);
    ASSERT_EQ(info->SetDestination("INT0"), 0);  // interrupt: the source; message: its name
    Texts seen = {info->GetStatusText()};
    ASSERT_EQ(info->Register(), 0);
    EXPECT_TRUE(info->IsInSimulator());
    seen.push_back(info->GetStatusText());
    info->SetActive(true);
    seen.push_back(info->GetStatusText());
    ASSERT_EQ(info->SetCycle("9"), 0);
    seen.push_back(info->GetStatusText());
    info->SetActive(false);
    seen.push_back(info->GetStatusText());
    EXPECT_EQ(seen, c.statuses);
  }
}

TEST(TriggerInfoTest, NumericSettersReadAutomaticBase) {
  struct Case {
    const char* text;
    uint32_t value;
  };
  const Case cases[] = {
      {"0x10", 16}, {"010", 8}, {"12ab", 12}, {"", 0}, {"-1", 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto transfer = std::make_shared<triggers::CTransferTrigger>(Context());
    rows::TransferTriggerInfo info(transfer);
    EXPECT_EQ(info.SetCycle(c.text), 0);
    EXPECT_EQ(info.SetWait(c.text), 0);
    EXPECT_EQ(info.SetCount(c.text), 0);
    EXPECT_EQ(transfer->Cycle(), c.value);
    EXPECT_EQ(transfer->Wait(), c.value);
    EXPECT_EQ(transfer->Count(), c.value);
    EXPECT_EQ(info.GetCycleText(), std::to_string(c.value)) << "shown unsigned";
    EXPECT_EQ(info.SetNumber(c.text), 0);
    EXPECT_EQ(info.GetNumberText(), std::to_string(static_cast<int32_t>(c.value)));
  }
}

TEST(TriggerInfoTest, SixteenBitSettersKeepTheLowBits) {
  auto io_stream = std::make_shared<triggers::CIOStreamTrigger>(Context());
  rows::IOStreamTriggerInfo port(io_stream);
  EXPECT_EQ(port.SetDestination("0x12345"), 0);
  EXPECT_EQ(port.GetDestinationText(), "9029");
  EXPECT_EQ(port.SetDestination("40000"), 0);
  EXPECT_EQ(port.GetDestinationText(), "-25536") << "a signed 16-bit value";

  auto transfer = std::make_shared<triggers::CTransferTrigger>(Context());
  rows::TransferTriggerInfo info(transfer);
  EXPECT_EQ(info.SetDstModeValue("0x1f"), 0);
  EXPECT_EQ(info.SetSrcModeValue("0x10005"), 0);
  EXPECT_EQ(transfer->DstModeValue(), 31);
  EXPECT_EQ(transfer->SrcModeValue(), 5);
  EXPECT_EQ(info.SetDstModeValue("32"), 1);
  EXPECT_EQ(info.SetSrcModeValue("0x10020"), 1) << "the low bits are 32";
  EXPECT_EQ(transfer->DstModeValue(), 31);
}

// Setters by name, so that the table of live setters can name them.
using Setter = int (TriggerInfo::*)(std::string);
const std::vector<std::pair<std::string, Setter>>& AllSetters() {
  static const std::vector<std::pair<std::string, Setter>> setters = {
      {"Number", &TriggerInfo::SetNumber},
      {"Name", &TriggerInfo::SetName},
      {"Destination", &TriggerInfo::SetDestination},
      {"Size", &TriggerInfo::SetSize},
      {"DstMode", &TriggerInfo::SetDstMode},
      {"Source", &TriggerInfo::SetSource},
      {"SrcMode", &TriggerInfo::SetSrcMode},
      {"Mask", &TriggerInfo::SetMask},
      {"Count", &TriggerInfo::SetCount},
      {"Cycle", &TriggerInfo::SetCycle},
      {"Wait", &TriggerInfo::SetWait},
  };
  return setters;
}

// Each kind configured, through its adapter, so that Register succeeds and Modified is clear.
struct Configured {
  TriggerKind kind;
  std::set<std::string> live;
  std::vector<std::pair<std::string, std::string>> values;  // setter, text
};

const std::vector<Configured>& Kinds() {
  static const std::vector<Configured> kinds = {
      {TriggerKind::Interrupt,
       {"Number", "Name", "Destination", "Cycle", "Wait"},
       {{"Destination", "INT1"}, {"Cycle", "3"}}},
      {TriggerKind::IOAccess, {"Number", "Name", "Cycle", "Wait"}, {{"Wait", "4"}}},
      {TriggerKind::Transfer,
       {"Number", "Name", "Destination", "Size", "DstMode", "Source", "SrcMode", "Count", "Cycle",
        "Wait"},
       {{"Destination", "0x200"},
        {"DstMode", "fix"},
        {"Source", "0x100"},
        {"SrcMode", "increment"},
        {"Size", "long"}}},
      {TriggerKind::Stream,
       {"Number", "Name", "Destination", "Size", "DstMode", "SrcMode", "Mask", "Count", "Cycle",
        "Wait"},
       {{"Destination", "0x300"}, {"Size", "word"}, {"DstMode", "const"}, {"Mask", "0xff"}}},
      {TriggerKind::IOStream, {"Number", "Name", "Destination"}, {{"Destination", "100"}}},
      {TriggerKind::Connect, {"Number", "Name", "Destination"}, {{"Destination", "target"}}},
      {TriggerKind::Message,
       {"Number", "Name", "Destination", "Cycle", "Wait"},
       {{"Destination", "WM_X"}}},
      {TriggerKind::Control,
       {"Number", "Name", "Destination", "Source"},
       {{"Destination", "target"}, {"Source", "reset"}}},
      {TriggerKind::Sio,
       {"Number", "Name", "Destination", "DstMode", "Source", "SrcMode"},
       {{"Destination", "COM1"}, {"DstMode", "INT0"}, {"Source", "0x100"}, {"SrcMode", "1"}}},
      {TriggerKind::FileStream, {"Number", "Name"}, {}},
  };
  return kinds;
}

Setter SetterNamed(const std::string& name) {
  for (const auto& [setter_name, setter] : AllSetters()) {
    if (setter_name == name) return setter;
  }
  ADD_FAILURE() << name;
  return nullptr;
}

TEST(TriggerInfoTest, SettersOfColumnsAKindDoesNotShowChangeNothing) {
  // Texts that every live setter of any kind would take.
  const std::map<std::string, std::string> texts = {
      {"Destination", "0x300"}, {"Size", "byte"},      {"DstMode", "single"},
      {"Source", "0x100"},      {"SrcMode", "random"}, {"Mask", "0x000000ff"},
      {"Count", "0x10"},        {"Cycle", "0x10"},     {"Wait", "0x10"},
  };
  for (const Configured& kind : Kinds()) {
    SCOPED_TRACE(triggers::InfoOf(kind.kind).adapter_name);
    auto context = Context();
    const std::unique_ptr<TriggerInfo> info = Fresh(kind.kind, context);
    for (const auto& [name, text] : kind.values)
      ASSERT_EQ((info.get()->*SetterNamed(name))(text), 0);
    ASSERT_EQ(info->Register(), 0);
    const Texts columns = Columns(*info);
    const std::string line = info->GetDefinitionText();
    context->calls.clear();

    for (const auto& [name, setter] : AllSetters()) {
      if (kind.live.count(name) || name == "Number" || name == "Name") continue;
      SCOPED_TRACE(name);
      EXPECT_EQ((info.get()->*setter)(texts.at(name)), 0);
      EXPECT_EQ(info->GetTrigger()->Flags().modified, 0);
      EXPECT_EQ(Columns(*info), columns);
      EXPECT_EQ(info->GetDefinitionText(), line);
    }
    EXPECT_TRUE(context->calls.empty()) << "not even a check reaches the context";
    // (That the live setters write is shown by the list texts of every kind, list_export_test.)
  }
}

TEST(TriggerInfoTest, RefusedValuesGiveOne) {
  struct Case {
    const char* what;
    TriggerKind kind;
    Setter setter;
    const char* text;
  };
  const Case cases[] = {
      {"size double", TriggerKind::Transfer, &TriggerInfo::SetSize, "double"},
      {"mode IO", TriggerKind::Transfer, &TriggerInfo::SetSrcMode, "IO"},
      {"unknown expression", TriggerKind::Transfer, &TriggerInfo::SetDestination, "nowhere"},
      {"repeat mode", TriggerKind::Stream, &TriggerInfo::SetDstMode, "loop"},
      {"generate mode", TriggerKind::Stream, &TriggerInfo::SetSrcMode, "noise"},
      {"interrupt source", TriggerKind::Interrupt, &TriggerInfo::SetDestination, "INT9"},
      {"control word", TriggerKind::Control, &TriggerInfo::SetSource, "jump"},
      {"nine members", TriggerKind::Connect, &TriggerInfo::SetDestination, "a,b,c,d,e,f,g,h,i"},
      {"SIO interrupt source", TriggerKind::Sio, &TriggerInfo::SetSrcMode, "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ((Fresh(c.kind).get()->*c.setter)(c.text), 1);
  }

  auto context = Context();
  context->name_check = kFail;
  const std::unique_ptr<TriggerInfo> info = Fresh(TriggerKind::Transfer, context);
  EXPECT_EQ(info->SetName("taken"), 1);
  EXPECT_EQ(info->GetNameText(), "n");
  EXPECT_EQ(context->log, Texts{triggers::kShortNameClashMessage});
}

TEST(TriggerInfoTest, InterruptTypeRefreshesTheClearFlag) {
  auto trigger = std::make_shared<triggers::CInterruptTrigger>(Context());
  rows::InterruptTriggerInfo info(trigger);
  EXPECT_FALSE(info.ClearInterrupt());
  trigger->PutRaise(core::automation::kVariantFalse);
  EXPECT_FALSE(info.ClearInterrupt()) << "refreshed only by the Type text";
  EXPECT_EQ(info.GetTypeText(), "ClearInterrupt");
  EXPECT_TRUE(info.ClearInterrupt());
  trigger->PutRaise(core::automation::kVariantTrue);
  EXPECT_EQ(info.GetTypeText(), "Interrupt");
  EXPECT_FALSE(info.ClearInterrupt());
  info.SetClearInterrupt(true);  // the interrupt dialog's choice
  EXPECT_TRUE(info.ClearInterrupt());
}

TEST(TriggerInfoTest, StreamSourceFollowsTheExactKindText) {
  struct Case {
    const char* kind;
    const char* source;
  };
  const Case cases[] = {{"Data", "1,2,3"},    {"Stream", "buffer"}, {"data", "#ERROR"},
                        {"STREAM", "#ERROR"}, {"", "#ERROR"},       {"Data ", "#ERROR"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    auto trigger = std::make_shared<triggers::CStreamTrigger>(Context());
    rows::StreamTriggerInfo info(trigger);
    EXPECT_EQ(info.SetDataList("1,2,3"), 0);
    EXPECT_EQ(info.SetStreamSource("buffer"), 0);
    EXPECT_EQ(info.SetSourceKind(c.kind), 0);
    EXPECT_EQ(trigger->KindText(), c.kind);
    EXPECT_EQ(info.GetSourceText(), c.source);
  }
}

TEST(TriggerInfoTest, ConnectDestinationSplitsAtEveryComma) {
  struct Case {
    const char* text;
    Texts members;
    const char* shown;
    const char* count;
  };
  const Case cases[] = {
      {"a,b,c", {"a", "b", "c"}, "a,b,c", "3"},
      {"a,,b,", {"a", "", "b"}, "a,,b", "3"},  // a trailing comma adds no member
      {",a", {"", "a"}, ",a", "2"},
      {",", {""}, "", "1"},
      {"", {}, "", "0"},
      {"one", {"one"}, "one", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto trigger = std::make_shared<triggers::CConnectTrigger>(Context());
    rows::ConnectTriggerInfo info(trigger);
    EXPECT_EQ(info.SetDestination(c.text), 0);
    EXPECT_EQ(info.Members(), c.members);
    EXPECT_EQ(trigger->Members(), c.members);
    EXPECT_EQ(info.GetDestinationText(), c.shown);
    EXPECT_EQ(info.GetCountText(), c.count);
  }
}

TEST(TriggerInfoTest, SharedOperationsReachTheTrigger) {
  auto context = Context();
  auto trigger = std::make_shared<triggers::CFileStreamTrigger>(context);
  std::unique_ptr<TriggerInfo> info = MakeTriggerInfo(trigger);
  EXPECT_EQ(info->GetTrigger(), trigger);

  EXPECT_EQ(HResultText(info->SetDefinition("107,filestream,file")), HResultText(kOk));
  EXPECT_EQ(info->GetNumberText(), "7");
  EXPECT_EQ(info->GetNameText(), "file");
  EXPECT_EQ(info->GetDefinitionText(), "107,filestream,file");
  EXPECT_TRUE(info->IsInSimulator());
  EXPECT_EQ(info->GetStatusText(), "InActivate");

  info->SetActive(true);
  EXPECT_EQ(trigger->GetActive(), core::automation::kVariantTrue);
  EXPECT_EQ(trigger->Flags().modified, 0) << "Active is no modification";
  info->SetActive(false);
  EXPECT_EQ(trigger->Flags().active, 0);

  // Register gives 1 only for a failure result: a kind's own refusal, or the message kind's
  // E_FAIL for a refused record. The bridge's 1 (S_FALSE) of the other kinds is no failure.
  context->define_result = 1;
  EXPECT_EQ(info->Register(), 0);
  EXPECT_EQ(HResultText(info->SetDefinition("108,filestream")), HResultText(kFail));
  EXPECT_EQ(info->Register(), 1) << "no name";
  const std::unique_ptr<TriggerInfo> message = Fresh(TriggerKind::Message, context);
  ASSERT_EQ(message->SetDestination("WM_X"), 0);
  EXPECT_EQ(message->Register(), 1);
}

}  // namespace
