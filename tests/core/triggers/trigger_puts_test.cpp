// The puts that are easy to get wrong: address values by Variant type, the stream's mask, the
// message type, the connect members, control words and booleans.
#include <gtest/gtest.h>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::kVariantFalse;
using core::automation::kVariantTrue;
using core::triggers::CConnectTrigger;
using core::triggers::CMessageTrigger;
using core::triggers::CStreamTrigger;
using core::triggers::CTransferTrigger;

// Addresses by Variant type: the transfer kind stores every integer, extended as its type says (a
// byte as an address byte); the stream kind and the SIO source store unsigned integers only; a
// stream mask keeps a text's leading number. Other types store nothing, yet count as a write;
// a text that cannot be evaluated is refused silently. The message type takes the low 16 bits of
// an integer, bytes zero-extended; other types leave the index.
TEST(TriggerPutTest, VariantPutsAsTheTranscriptSays) {
  // clang-format off
  const Variant values[] = {
      Variant::I2(-2), Variant::I4(-1), Variant::I1(-1), Variant::UI1(0xFE), Variant::UI2(0xFFFF),
      Variant::UI4(0x80000000u), Variant::Int(5), Variant::Int(0x12345), Variant::Int(0x18000),
      Variant::UI4(0xFFFFFFFFu), Variant::R8(256.0), Variant(), Variant::Bstr("0x0000ffff"),
      Variant::Bstr("nowhere"), Variant::Bstr("PC,DATA")};
  // clang-format on
  std::string transcript;
  for (const Variant& value : values) {
    auto fake = MakeContext();
    CTransferTrigger source(fake), destination(fake);
    CStreamTrigger stream(fake), mask(fake);
    core::triggers::CSioTrigger sio(fake);
    CMessageTrigger message(fake);
    ASSERT_EQ(message.PutDefinition("100,message,m,false,WM_A,3,0,0"), kOk);
    const HResult results[] = {source.PutSource(value),      destination.PutDestination(value),
                               stream.PutDestination(value), mask.PutMask(value),
                               sio.PutSource(value),         message.PutSource(value)};
    transcript += value.Describe() + ":";
    for (HResult hr : results) transcript += " " + HResultText(hr);
    transcript += "\n  " + Joined({source.Source().Text(), destination.Destination().Text(),
                                   stream.Destination().Text(), mask.Mask().Text(),
                                   sio.GetSource().Text(), std::to_string(message.SourceIndex())});
    const CTrigger* put[] = {&source, &destination, &stream, &mask, &sio, &message};
    transcript += "\n  modified";
    for (const CTrigger* trigger : put)
      transcript += " " + std::to_string(trigger->Flags().modified);
    transcript += "\n";
    EXPECT_TRUE(fake->log.empty());
  }
  test_support::ExpectGolden("core/triggers/golden/variant_puts.txt", transcript);
  CMessageTrigger trigger(MakeContext());
  trigger.PutSource(Variant::I4(8));
  EXPECT_EQ(trigger.GetSource(), Variant::Bstr("PC,DATA"));
  trigger.PutSource(Variant::I4(10));
  EXPECT_EQ(trigger.GetSource(), Variant::Bstr("")) << "no text beyond the table";
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
  EXPECT_EQ(RecordText(fake->records.back()),
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
  EXPECT_EQ(trigger.GetModified(), kVariantTrue);
  EXPECT_EQ(trigger.Register(), kOk);
  EXPECT_EQ(fake->records.back()[20], 2);
}

TEST(TriggerPutTest, BooleansAreTrueOnlyForVariantTrue) {
  for (const int16_t value : {-1, 1, 0x7FFF, 0}) {
    core::triggers::CInterruptTrigger interrupt(MakeContext()), active(MakeContext());
    CMessageTrigger message(MakeContext());
    // Each starts at the opposite of what the value gives.
    const int16_t before = value == -1 ? kVariantFalse : kVariantTrue;
    interrupt.PutRaise(before), message.PutOption(before), active.PutActive(before);
    EXPECT_EQ(interrupt.PutRaise(value) | message.PutOption(value) | active.PutActive(value), kOk);
    EXPECT_EQ(
        std::vector<bool>({interrupt.Raise(), message.GetOption() != 0, active.GetActive() != 0}),
        std::vector<bool>(3, value == -1))
        << value;
    EXPECT_EQ(active.GetModified(), 0) << "Active is no modification";
  }
}

}  // namespace
}  // namespace trigger_test
