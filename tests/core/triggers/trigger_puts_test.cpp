// The puts that are easy to get wrong: address values by Variant type, keyword puts and what
// they store, the stream's mask, the message type, the connect members, control words, booleans,
// and which puts leave Modified alone.
#include <gtest/gtest.h>

#include <map>

#include "tests/core/rows/set_columns.h"
#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::kVariantFalse;
using core::automation::kVariantTrue;
using core::triggers::CConnectTrigger;
using core::triggers::CMessageTrigger;
using core::triggers::CStreamTrigger;
using core::triggers::CTransferTrigger;

TEST(TriggerPutTest, AddressesByVariantType) {
  // The transfer kind stores every integer, extended as its type says (a byte as an address
  // byte); the stream kind and the SIO source store unsigned integers only; a stream mask keeps
  // a text's leading number. Other types store nothing, yet count as a write.
  struct Case {
    Variant value;
    HResult result;
    const char *transfer, *unsigned_only, *mask;
  };
  const Case cases[] = {
      {Variant::I2(-2), kOk, "0xfffffffe", "", "0x00000000"},
      {Variant::I4(-1), kOk, "0xffffffff", "", "0x00000000"},
      {Variant::I1(-1), kOk, "0x000000ff", "", "0x00000000"},
      {Variant::UI1(0xFE), kOk, "0x000000fe", "0x000000fe", "0x000000fe"},
      {Variant::UI2(0xFFFF), kOk, "0x0000ffff", "0x0000ffff", "0x0000ffff"},
      {Variant::UI4(0x80000000u), kOk, "0x80000000", "0x80000000", "0x80000000"},
      {Variant::Int(5), kOk, "", "", "0x00000000"},
      {Variant::R8(256.0), kOk, "", "", "0x00000000"},
      {Variant(), kOk, "", "", "0x00000000"},
      {Variant::Bstr("0x0000ffff"), kOk, "0x0000ffff", "0x0000ffff", "0x0000ffff"},
      {Variant::Bstr("nowhere"), kFail, "", "", "0x00000000"},  // refused silently
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.Describe());
    auto fake = MakeContext();
    CTransferTrigger transfer(fake), transfer2(fake);
    CStreamTrigger stream(fake), stream2(fake);
    core::triggers::CSioTrigger sio(fake);
    EXPECT_HR(c.result, transfer.PutSource(c.value));
    EXPECT_HR(c.result, transfer2.PutDestination(c.value));
    EXPECT_HR(c.result, stream.PutDestination(c.value));
    EXPECT_HR(c.result, stream2.PutMask(c.value));
    EXPECT_HR(c.result, sio.PutSource(c.value));
    EXPECT_EQ(transfer.Source(), Variant::Bstr(c.transfer));
    EXPECT_EQ(transfer2.Destination(), Variant::Bstr(c.transfer));
    EXPECT_EQ(stream.Destination(), Variant::Bstr(c.unsigned_only));
    EXPECT_EQ(stream2.Mask(), Variant::Bstr(c.mask));
    EXPECT_EQ(sio.GetSource(), Variant::Bstr(c.unsigned_only));
    const CTrigger* put[] = {&transfer, &transfer2, &stream, &stream2, &sio};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(put[i]->GetModified() != 0, c.result == kOk) << i;
    EXPECT_TRUE(fake->log.empty());
  }
}

TEST(TriggerPutTest, MaskKeepsTheLeadingNumberAndSaysWhenItIsNotTheValue) {
  auto fake = MakeContext();
  CStreamTrigger t(fake);
  EXPECT_EQ(t.PutMask(Variant::Bstr("-1")), kOk);
  EXPECT_EQ(t.Mask().Text(), "0xffffffff");
  EXPECT_TRUE(fake->log.empty());
  EXPECT_EQ(t.PutMask(Variant::Bstr("MASK")), kOk);
  EXPECT_EQ(t.Mask().Text(), "0x00000000");
  EXPECT_EQ(fake->log, Calls{"Mask \"MASK\" is kept as its leading number 0x00000000, not its "
                             "value 0x000000f0"});
}

// (The other spellings the kinds take are the definition lines' rows.)
TEST(TriggerPutTest, KeywordsAreStoredInUpperCaseOrRefusedWithoutAMark) {
  // Through the row adapter's setters: Size, DstMode (the stream's repeat mode), SrcMode (the
  // stream's generate mode).
  const std::map<std::string, core::rows::ColumnText> getters = {
      {"Size", &core::rows::TriggerInfo::GetSizeText},
      {"DstMode", &core::rows::TriggerInfo::GetDstModeText},
      {"SrcMode", &core::rows::TriggerInfo::GetSrcModeText}};
  struct Case {
    TriggerKind kind;
    const char *column, *given, *stored;  // stored null: refused
  };
  const TriggerKind T = TriggerKind::Transfer, S = TriggerKind::Stream;
  const Case cases[] = {{T, "Size", "Word", "16BIT"},   {T, "Size", "LONG", "32BIT"},
                        {T, "Size", "8bit**", nullptr}, {T, "Size", "", nullptr},
                        {T, "SrcMode", "IO", nullptr},  {T, "DstMode", "Fix", "FIX"},
                        {S, "Size", "8 bit", nullptr},  {S, "DstMode", "once", nullptr},
                        {S, "SrcMode", "x", nullptr},   {S, "SrcMode", "Random2", "RANDOM2"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.column) + " " + c.given);
    auto fake = MakeContext();
    const std::unique_ptr<core::rows::TriggerInfo> info =
        core::rows::MakeTriggerInfo(MakeTrigger(c.kind, fake));
    EXPECT_EQ(row_test::ColumnSetters().at(c.column)(*info, c.given), c.stored ? 0 : 1);
    EXPECT_EQ(((*info).*getters.at(c.column))(), c.stored ? c.stored : "");
    EXPECT_EQ(info->GetTrigger()->Flags().modified, c.stored ? 1 : 0);
    EXPECT_EQ(fake->calls, Calls{});
  }
}

TEST(TriggerPutTest, MessageTypeByValueType) {
  const std::pair<Variant, int32_t> cases[] = {
      {Variant::I2(-2), -2},
      {Variant::Int(0x12345), 0x2345},  // the low 16 bits, sign-extended
      {Variant::Int(0x18000), -32768},
      {Variant::UI4(0xFFFFFFFFu), -1},
      {Variant::UI2(0xFFFF), 65535},
      {Variant::I1(-1), 255},         // bytes are zero-extended, signed or not
      {Variant::Bstr("PC,DATA"), 0},  // a text is not read
      {Variant(), 3},                 // other types leave the index, yet count as a write
      {Variant::R8(8.0), 3}};
  for (const auto& [value, index] : cases) {
    SCOPED_TRACE(value.Describe());
    CMessageTrigger trigger(MakeContext());
    ASSERT_EQ(trigger.PutDefinition("100,message,m,false,WM_A,3,0,0"), kOk);
    EXPECT_HR(kOk, trigger.PutSource(value));
    EXPECT_EQ(trigger.SourceIndex(), index);
    EXPECT_EQ(trigger.GetModified(), kVariantTrue);
  }
  CMessageTrigger trigger(MakeContext());
  trigger.PutSource(Variant::I4(8));
  EXPECT_EQ(trigger.GetSource(), Variant::Bstr("PC,DATA"));
  trigger.PutSource(Variant::I4(10));
  EXPECT_EQ(trigger.GetSource(), Variant::Bstr("")) << "no text beyond the table";
}

Variant NameArray(const std::vector<std::string>& names) {
  std::vector<Variant> items;
  for (const std::string& name : names) items.push_back(Variant::Bstr(name));
  return Variant::Array(items);
}

TEST(TriggerPutTest, ConnectMembersTakeOnlyTheArrayFormAndAtMostEight) {
  auto fake = MakeContext();
  CConnectTrigger trigger(fake);
  ASSERT_EQ(trigger.PutDefinition("100,connect,link,pump,valve"), kOk);
  // Another value keeps the names, but every write looks the numbers up again: a member
  // renumbered since the last write is taken at its new number.
  fake->numbers["valve"] = 9;
  for (const Variant& other : {Variant::Bstr("x,y"), Variant::I4(3), Variant::Raw(0x600C, 0)}) {
    fake->calls.clear();
    EXPECT_HR(kOk, trigger.PutMembers(other)) << other;
    EXPECT_EQ(fake->calls, (Calls{"FindNumberByName(pump)", "FindNumberByName(valve)"}));
  }
  EXPECT_EQ(trigger.Members(), (Calls{"pump", "valve"}));
  EXPECT_EQ(trigger.MemberNumbers(), (std::vector<int32_t>{0, 9}));
  fake->numbers["valve"] = 155;

  // Empty cells, empty names and values that are no names keep what is at their index.
  EXPECT_HR(kOk, trigger.PutMembers(Variant::Array({Variant(), Variant::Bstr(""), Variant::I4(7),
                                                    Variant::Bstr("far"), Variant()})));
  EXPECT_EQ(trigger.GetMembers(), NameArray({"pump", "valve", "", "far", ""}));
  EXPECT_EQ(trigger.MemberNumbers(), (std::vector<int32_t>{0, 155, -1, 70000, -1}));

  const Calls eight = {"pump", "valve", "c", "d", "e", "f", "g", "h"};
  EXPECT_HR(kOk, trigger.PutMembers(NameArray(eight)));
  EXPECT_EQ(trigger.MemberNumbers().size(), 8u);
  ASSERT_HR(kOk, trigger.PutMembers(NameArray({"pump", "valve"})));
  ASSERT_HR(kOk, trigger.Register());

  // Nine are stored but not taken: no look-up, no message, nothing marked.
  fake->calls.clear();
  Calls nine = eight;
  nine.push_back("i");
  EXPECT_HR(kFail, trigger.PutMembers(NameArray(nine)));
  EXPECT_EQ(trigger.Members(), nine);
  EXPECT_HR(kFail, trigger.PutMembers(Variant::I4(3))) << "nine held";
  EXPECT_TRUE(fake->calls.empty());
  EXPECT_EQ(trigger.GetModified(), 0);
  // The simulator and the line still see the two members whose numbers were taken.
  EXPECT_EQ(trigger.GetDefinition(), "100,connect,link,pump,valve");
  EXPECT_HR(kOk, trigger.Register());
  EXPECT_EQ(LastRecord(*fake),
            "836 bytes; 0000: 00 00 00 01 64 00 0B 00 00 00 00 00 00 00 00 00; "
            "0010: 02 00 64 00 FF 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(TriggerPutTest, ControlActionMustBeAControlWord) {
  auto fake = MakeContext();
  core::triggers::CControlTrigger trigger(fake);
  ASSERT_EQ(trigger.PutDefinition("100,control,c,STOP,pump"), kOk);
  for (const char* refused : {"HALT", "STOPS", " STOP", ""}) {
    EXPECT_HR(kFail, trigger.PutAction(refused)) << refused;
  }
  EXPECT_EQ(trigger.Action(), "STOP");
  EXPECT_EQ(trigger.GetModified(), 0) << "a refused action marks nothing";
  EXPECT_TRUE(fake->log.empty()) << "refused silently";
  EXPECT_EQ(trigger.PutAction("reset"), kOk);
  EXPECT_EQ(trigger.Register(), kOk);
  EXPECT_EQ(fake->records.back()[20], 2);
}

TEST(TriggerPutTest, BooleansAreTrueOnlyForVariantTrue) {
  const std::pair<int16_t, bool> cases[] = {{-1, true}, {1, false}, {0x7FFF, false}, {0, false}};
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    core::triggers::CInterruptTrigger interrupt(MakeContext()), active(MakeContext());
    CMessageTrigger message(MakeContext());
    interrupt.PutRaise(expected ? kVariantFalse : kVariantTrue);
    message.PutOption(expected ? kVariantFalse : kVariantTrue);
    active.PutActive(expected ? kVariantFalse : kVariantTrue);
    EXPECT_EQ(interrupt.PutRaise(value), kOk);
    EXPECT_EQ(message.PutOption(value), kOk);
    EXPECT_EQ(active.PutActive(value), kOk);
    EXPECT_EQ(interrupt.Raise(), expected);
    EXPECT_EQ(message.GetOption() != 0, expected);
    EXPECT_EQ(active.GetActive() != 0, expected);
    EXPECT_EQ(active.GetModified(), 0) << "Active is no modification";
  }
}

TEST(TriggerPutTest, RecordOnlyValuesAndNumberingLeaveModifiedAlone) {
  auto fake = MakeContext();
  core::triggers::CIOAccessTrigger io(fake);
  CConnectTrigger connect(fake);
  ASSERT_EQ(io.PutDefinition("100,ioaccess,io,1,2"), kOk);
  ASSERT_EQ(connect.PutDefinition("101,connect,link,pump"), kOk);
  io.PutExtra1(3), io.PutExtra2(3), io.PutExtra3(3);
  connect.SetNumber(6);
  connect.PutMembers(NameArray({"valve"}));
  EXPECT_EQ(io.GetModified(), 0);
  EXPECT_EQ(connect.GetModified(), 0);
  io.PutWait(3);
  EXPECT_EQ(io.GetModified(), kVariantTrue);
}

}  // namespace
}  // namespace trigger_test
