// The row adapters over real triggers in a fake context: every kind's row from new, through the
// columns that make it registrable, Register and the Active flag, to every setter (the live ones
// write, the others change nothing), against a golden transcript; the text conversions of the
// setters, refusals, and the operations every adapter shares.
#include "core/rows/trigger_info.h"

#include <gtest/gtest.h>

#include "tests/core/rows/set_columns.h"
#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::rows::MakeTriggerInfo;
using core::rows::TriggerInfo;
using Texts = std::vector<std::string>;
namespace rows = core::rows;
namespace triggers = core::triggers;

// A trigger as the registry makes it: number 5, a name, nothing else.
std::unique_ptr<TriggerInfo> Fresh(TriggerKind kind,
                                   std::shared_ptr<fakes::FakeContext> context = MakeContext()) {
  std::shared_ptr<CTrigger> trigger = MakeTrigger(kind, context);
  trigger->SetNumber(5);
  trigger->SetNameUnchecked("n");
  return MakeTriggerInfo(trigger);
}

// The columns as the list writes them, the line and the Modified flag.
std::string Row(const TriggerInfo& info) {
  Texts texts;
  for (rows::ColumnText column : rows::ListColumns()) texts.push_back((info.*column)());
  return Joined(texts, ", ") + " | " + info.GetDefinitionText() +
         (info.GetTrigger()->Flags().modified ? " | modified" : "");
}

TEST(TriggerInfoTest, EveryKindsRowThroughItsSettersAsTheTranscriptSays) {
  // Per kind, the columns that make it registrable.
  const std::pair<TriggerKind, const char*> kinds[] = {
      {TriggerKind::Interrupt, "Destination=INT1;Cycle=3"},
      {TriggerKind::IOAccess, "Wait=4"},
      {TriggerKind::Transfer,
       "Destination=0x200;DstMode=fix;Source=0x100;SrcMode=increment;Size=long"},
      {TriggerKind::Stream, "Destination=0x300;Size=word;DstMode=const;Mask=0xff"},
      {TriggerKind::IOStream, "Destination=100"},
      {TriggerKind::Connect, "Destination=pump"},
      {TriggerKind::Message, "Destination=WM_X"},
      {TriggerKind::Control, "Destination=pump;Source=reset"},
      {TriggerKind::Sio, "Destination=COM1;DstMode=INT0;Source=0x100;SrcMode=1"},
      {TriggerKind::FileStream, ""},
  };
  // Texts that every live setter of any kind takes, in column order.
  const std::pair<const char*, const char*> texts[] = {
      {"Destination", "0x300"}, {"Size", "byte"},      {"DstMode", "single"},
      {"Source", "0x100"},      {"SrcMode", "random"}, {"Mask", "0x000000ff"},
      {"Count", "0x10"},        {"Cycle", "0x10"},     {"Wait", "0x10"}};
  std::string transcript;
  for (const auto& [kind, ready] : kinds) {
    auto context = MakeContext();
    const std::unique_ptr<TriggerInfo> info = Fresh(kind, context);
    EXPECT_EQ(info->GetKind(), static_cast<int32_t>(kind));
    transcript += "new: " + Row(*info) + "\n";
    row_test::SetColumns(*info, ready);
    transcript += "ready: " + Row(*info) + "\n";
    const int registered = info->Register();
    transcript += "register " + std::to_string(registered) + ": " + Row(*info) + "\n";
    info->SetActive(true);
    transcript += "active: " + Row(*info) + "\n";
    context->calls.clear();
    for (const auto& [column, text] : texts) {
      const int result = row_test::ColumnSetters().at(column)(*info, text);
      transcript += std::string("  ") + column + " " + std::to_string(result) + ": " + Row(*info) +
                    (context->calls.empty() ? "" : " | " + Joined(context->calls)) + "\n";
      context->calls.clear();
    }
    info->SetActive(false);
    transcript += "inactive: " + Row(*info) + "\n";
  }
  test_support::ExpectGolden("core/rows/golden/rows.txt", transcript);
}

TEST(TriggerInfoTest, NumericSettersReadAutomaticBase) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"0x10", 16}, {"010", 8}, {"12ab", 12}, {"", 0}, {"-1", 0xFFFFFFFFu}};
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    auto transfer = std::make_shared<triggers::CTransferTrigger>(MakeContext());
    rows::TransferTriggerInfo info(transfer);
    EXPECT_EQ(info.SetCycle(text) + info.SetWait(text) + info.SetCount(text), 0);
    EXPECT_EQ(transfer->Cycle(), value);
    EXPECT_EQ(transfer->Wait(), value);
    EXPECT_EQ(transfer->Count(), value);
    EXPECT_EQ(info.GetCycleText(), std::to_string(value)) << "shown unsigned";
    EXPECT_EQ(info.SetNumber(text), 0);
    EXPECT_EQ(info.GetNumberText(), std::to_string(static_cast<int32_t>(value)));
  }
}

TEST(TriggerInfoTest, SixteenBitSettersKeepTheLowBits) {
  auto io_stream = std::make_shared<triggers::CIOStreamTrigger>(MakeContext());
  rows::IOStreamTriggerInfo port(io_stream);
  EXPECT_EQ(port.SetDestination("0x12345"), 0);
  EXPECT_EQ(port.GetDestinationText(), "9029");
  EXPECT_EQ(port.SetDestination("40000"), 0);
  EXPECT_EQ(port.GetDestinationText(), "-25536") << "a signed 16-bit value";

  // The transfer's mode values: 0 to 31 of the low 16 bits; a refused value leaves the old one.
  const std::pair<const char*, int16_t> mode_values[] = {
      {"0", 0}, {"0x1f", 31}, {"0x10005", 5}, {"32", -1}, {"0x10020", -1}, {"-1", -1}};
  for (const auto& [text, stored] : mode_values) {
    SCOPED_TRACE(text);
    auto transfer = std::make_shared<triggers::CTransferTrigger>(MakeContext());
    rows::TransferTriggerInfo info(transfer);
    transfer->PutSrcModeValue(7);
    transfer->PutDstModeValue(7);
    EXPECT_EQ(info.SetSrcModeValue(text), stored < 0 ? 1 : 0);
    EXPECT_EQ(info.SetDstModeValue(text), stored < 0 ? 1 : 0);
    EXPECT_EQ(transfer->SrcModeValue(), stored < 0 ? 7 : stored);
    EXPECT_EQ(transfer->DstModeValue(), stored < 0 ? 7 : stored);
  }
}

// (Refused keywords give 1 too: the keyword rows of the put tests go through these setters.)
TEST(TriggerInfoTest, RefusedValuesGiveOne) {
  const std::pair<TriggerKind, const char*> cases[] = {
      {TriggerKind::Transfer, "Destination=nowhere"},
      {TriggerKind::Interrupt, "Destination=INT9"},
      {TriggerKind::Control, "Source=jump"},
      {TriggerKind::Sio, "SrcMode=5"},
      {TriggerKind::Connect, "Destination=a,b,c,d,e,f,g,h,i"}};
  for (const auto& [kind, column] : cases) {
    const std::string text = column;
    const size_t equals = text.find('=');
    EXPECT_EQ(
        row_test::ColumnSetters().at(text.substr(0, equals))(*Fresh(kind), text.substr(equals + 1)),
        1)
        << column;
  }
  auto context = MakeContext();
  context->name_check = kFail;
  const std::unique_ptr<TriggerInfo> info = Fresh(TriggerKind::Transfer, context);
  EXPECT_EQ(info->SetName("taken"), 1);
  EXPECT_EQ(info->GetNameText(), "n");
  EXPECT_EQ(context->log, Texts{triggers::kShortNameClashMessage});
}

TEST(TriggerInfoTest, InterruptTypeRefreshesTheClearFlag) {
  auto trigger = std::make_shared<triggers::CInterruptTrigger>(MakeContext());
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
  const std::pair<const char*, const char*> cases[] = {{"Data", "1,2,3"},  {"Stream", "buffer"},
                                                       {"data", "#ERROR"}, {"STREAM", "#ERROR"},
                                                       {"", "#ERROR"},     {"Data ", "#ERROR"}};
  for (const auto& [kind, source] : cases) {
    auto trigger = std::make_shared<triggers::CStreamTrigger>(MakeContext());
    rows::StreamTriggerInfo info(trigger);
    row_test::SetColumns(info,
                         std::string("DataList=1,2,3;StreamSource=buffer;SourceKind=") + kind);
    EXPECT_EQ(trigger->KindText(), kind);
    EXPECT_EQ(info.GetSourceText(), source) << kind;
  }
}

TEST(TriggerInfoTest, ConnectDestinationSplitsAtEveryComma) {
  struct Case {
    const char* text;
    Texts members;
    const char *shown, *count;
  };
  const Case cases[] = {
      {"a,b,c", {"a", "b", "c"}, "a,b,c", "3"},
      {"a,,b,", {"a", "", "b"}, "a,,b", "3"},  // a trailing comma adds no member
      {",a", {"", "a"}, ",a", "2"},
      {",", {""}, "", "1"},
      {"", {}, "", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto trigger = std::make_shared<triggers::CConnectTrigger>(MakeContext());
    rows::ConnectTriggerInfo info(trigger);
    EXPECT_EQ(info.SetDestination(c.text), 0);
    EXPECT_EQ(info.Members(), c.members);
    EXPECT_EQ(trigger->Members(), c.members);
    EXPECT_EQ(info.GetDestinationText(), c.shown);
    EXPECT_EQ(info.GetCountText(), c.count);
  }
}

TEST(TriggerInfoTest, SharedOperationsReachTheTrigger) {
  auto context = MakeContext();
  auto trigger = std::make_shared<triggers::CFileStreamTrigger>(context);
  std::unique_ptr<TriggerInfo> info = MakeTriggerInfo(trigger);
  EXPECT_EQ(info->GetTrigger(), trigger);

  EXPECT_HR(kOk, info->SetDefinition("107,filestream,file"));
  EXPECT_EQ(info->GetNumberText(), "7");
  EXPECT_EQ(info->GetNameText(), "file");
  EXPECT_TRUE(info->IsInSimulator());
  EXPECT_EQ(info->GetStatusText(), "InActivate");

  // Register gives 1 only for a failure result: a kind's own refusal, or the message kind's
  // E_FAIL for a refused record. The bridge's 1 (S_FALSE) of the other kinds is no failure.
  context->define_result = 1;
  EXPECT_EQ(info->Register(), 0);
  EXPECT_HR(kFail, info->SetDefinition("108,filestream"));
  EXPECT_EQ(info->Register(), 1) << "no name";
  const std::unique_ptr<TriggerInfo> message = Fresh(TriggerKind::Message, context);
  ASSERT_EQ(message->SetDestination("WM_X"), 0);
  EXPECT_EQ(message->Register(), 1);
}

}  // namespace
}  // namespace trigger_test
