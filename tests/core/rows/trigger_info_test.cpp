// The row adapters over real triggers in a fake context: every kind's row from new, through the
// columns that make it registrable, Register and the Active flag, to every setter (the live ones
// write, the others change nothing), against a golden transcript; the text conversions of the
// setters, refusals, the interrupt row's clear flag and what Register gives.
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

// Numbers are read in automatic base and shown unsigned; 16-bit values keep their low bits;
// the transfer's mode values take 0 to 31 of the low 16 bits; a connect destination splits at
// every comma; the stream's Source column follows the exact kind text; refused values give 1
// and leave the old value.
TEST(TriggerInfoTest, EveryKindsRowThroughItsSettersAsTheTranscriptSays) {
  // Per kind, the columns that make it registrable, and texts for its own setters.
  const std::tuple<TriggerKind, const char*, const char*> kinds[] = {
      {TriggerKind::Interrupt, "Destination=INT1;Cycle=3", "Destination=INT9"},
      {TriggerKind::IOAccess, "Wait=4", ""},
      {TriggerKind::Transfer,
       "Destination=0x200;DstMode=fix;Source=0x100;SrcMode=increment;Size=long",
       "Number=0x10;Number=010;Number=12ab;Number=;Number=-1;Cycle=-1;Count=12ab;Wait=010;"
       "SrcModeValue=0x1f;DstModeValue=0x10005;SrcModeValue=32;DstModeValue=0x10020;"
       "SrcModeValue=-1;Destination=nowhere"},
      {TriggerKind::Stream, "Destination=0x300;Size=word;DstMode=const;Mask=0xff",
       "DataList=1,2,3;StreamSource=buffer;SourceKind=Data;SourceKind=Stream;SourceKind=data;"
       "SourceKind=STREAM;SourceKind=;SourceKind=Data "},
      {TriggerKind::IOStream, "Destination=100", "Destination=0x12345;Destination=40000"},
      {TriggerKind::Connect, "Destination=pump",
       "Destination=a,b,c;Destination=a,,b,;Destination=,a;Destination=,;Destination=;"
       "Destination=a,b,c,d,e,f,g,h,i"},
      {TriggerKind::Message, "Destination=WM_X", ""},
      {TriggerKind::Control, "Destination=pump;Source=reset", "Source=jump"},
      {TriggerKind::Sio, "Destination=COM1;DstMode=INT0;Source=0x100;SrcMode=1", "SrcMode=5"},
      {TriggerKind::FileStream, "", ""},
  };
  // Texts that every live setter of any kind takes, in column order.
  const std::string every =
      "Destination=0x300;Size=byte;DstMode=single;Source=0x100;SrcMode=random;Mask=0x000000ff;"
      "Count=0x10;Cycle=0x10;Wait=0x10";
  std::string transcript;
  for (const auto& [kind, ready, own] : kinds) {
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
    for (const std::string& texts : {every, std::string(own)}) {
      for (size_t start = 0, end; start < texts.size(); start = end + 1) {
        end = std::min(texts.find(';', start), texts.size());
        const std::string column = texts.substr(start, end - start);
        const size_t equals = column.find('=');
        const int result = row_test::ColumnSetters().at(column.substr(0, equals))(
            *info, column.substr(equals + 1));
        transcript += "  " + column + " " + std::to_string(result) + ": " + Row(*info) +
                      (context->calls.empty() ? "" : " | " + Joined(context->calls)) + "\n";
        context->calls.clear();
      }
    }
    info->SetActive(false);
    transcript += "inactive: " + Row(*info) + "\n";
  }
  test_support::ExpectGolden("core/rows/golden/rows.txt", transcript);
}

TEST(TriggerInfoTest, ClearFlagRegisterResultsMembersAndRefusedNames) {
  auto context = MakeContext();
  auto trigger = std::make_shared<triggers::CInterruptTrigger>(context);
  rows::InterruptTriggerInfo info(trigger);
  trigger->PutRaise(core::automation::kVariantFalse);
  EXPECT_FALSE(info.ClearInterrupt()) << "refreshed only by the Type text";
  EXPECT_EQ(info.GetTypeText(), "ClearInterrupt");
  EXPECT_TRUE(info.ClearInterrupt());
  info.SetClearInterrupt(false);  // the interrupt dialog's choice
  EXPECT_FALSE(info.ClearInterrupt());

  // Register gives 1 only for a failure result: a kind refusing on its own, or the E_FAIL that
  // the message kind gives for a refused record. For the other kinds, 1 (S_FALSE) from the bridge
  // is no failure.
  context->define_result = 1;
  EXPECT_EQ(Fresh(TriggerKind::FileStream, context)->Register(), 0);
  const std::unique_ptr<TriggerInfo> message = Fresh(TriggerKind::Message, context);
  ASSERT_EQ(message->SetDestination("WM_X"), 0);
  EXPECT_EQ(message->Register(), 1);
  // The connect member list keeps empty pieces.
  rows::ConnectTriggerInfo connect(std::make_shared<triggers::CConnectTrigger>(context));
  EXPECT_EQ(connect.SetDestination("a,,b,"), 0);
  EXPECT_EQ(connect.Members(), (Texts{"a", "", "b"}));
  // A name another trigger bears is refused (the wording is the trigger's).
  context->name_check = kFail;
  EXPECT_EQ(message->SetName("taken"), 1);
  EXPECT_EQ(message->GetNameText(), "n");
}

}  // namespace
}  // namespace trigger_test
