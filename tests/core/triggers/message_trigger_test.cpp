// The message trigger: the message type by value type, its record against golden bytes, the
// option word of its line and the simulator's refusal reported as E_FAIL.
#include "core/triggers/message_trigger.h"

#include <gtest/gtest.h>

#include "core/automation/bytes.h"
#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::kVariantTrue;
using core::automation::Variant;
using core::triggers::CMessageTrigger;
using Calls = std::vector<std::string>;

class MessageTriggerTest : public ::testing::Test {
 protected:
  std::shared_ptr<fakes::FakeContext> context_ = std::make_shared<fakes::FakeContext>();
  CMessageTrigger trigger_{context_};
};

TEST_F(MessageTriggerTest, RecordCarriesTimingOptionTypeAndMessage) {
  struct Case {
    int32_t number, cycle, wait;
    int16_t option;
    Variant source;
    const char* destination;
    const char* head;  // the bytes before the message number
  };
  const Case cases[] = {
      {5, 10, 20, kVariantTrue, Variant::I4(4), "WM_TICK",
       "00 00 00 01 69 00 0D 00 0A 00 00 00 14 00 00 00 01 00 00 00 04 00 00 00"},
      {0, -1, INT32_MIN, 1, Variant::I4(-1), "x",
       "00 00 00 01 64 00 0D 00 FF FF FF FF 00 00 00 80 00 00 00 00 FF FF FF FF"},
      {65500, INT32_MAX, 0, 0, Variant::UI2(0xFFFF), "WM_APP_EVENT",
       "00 00 00 01 40 00 0D 00 FF FF FF 7F 00 00 00 00 00 00 00 00 FF FF 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination);
    CMessageTrigger trigger(context_);
    trigger.SetNumber(c.number);
    trigger.PutCycle(c.cycle);
    trigger.PutWait(c.wait);
    trigger.PutOption(c.option);
    trigger.PutSource(c.source);
    trigger.PutDestination(c.destination);
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    ASSERT_FALSE(context_->records.empty());
    // The message number is whatever the platform's registration answered for the name.
    core::automation::ByteWriter message(4);
    message.U32(0, core::triggers::PortableWindowMessage(c.destination));
    EXPECT_EQ(fakes::Hex(context_->records.back().data(), context_->records.back().size()),
              std::string(c.head) + " " + fakes::Hex(message.bytes().data(), 4));
    EXPECT_EQ(context_->calls[0], std::string("RegisterMessageName(") + c.destination + ")");
  }
}

TEST_F(MessageTriggerTest, SourceIndexByValueType) {
  struct Case {
    Variant value;
    int32_t index;
  };
  const Case cases[] = {
      {Variant::I2(-2), -2},
      {Variant::Int(0x12345), 0x2345},  // the low 16 bits, sign-extended
      {Variant::Int(0x18000), -32768},
      {Variant::I4(-5), -5},
      {Variant::UI4(0xFFFFFFFFu), -1},
      {Variant::UI2(0xFFFF), 65535},
      {Variant::I1(-1), 255},  // bytes are zero-extended, signed or not
      {Variant::UI1(200), 200},
      {Variant::Bstr("PC,DATA"), 0},  // a text is not read
      // Other types leave the index at 3 but still count as a write.
      {Variant(), 3},
      {Variant::UInt(8), 3},
      {Variant::R8(8.0), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.Describe());
    CMessageTrigger trigger(context_);
    trigger.PutSource(Variant::I4(3));
    trigger.PutDestination("m");
    ASSERT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    EXPECT_EQ(HResultText(trigger.PutSource(c.value)), HResultText(kOk));
    EXPECT_EQ(trigger.SourceIndex(), c.index);
    EXPECT_EQ(trigger.GetModified(), kVariantTrue);
  }
  trigger_.PutSource(Variant::I4(8));
  EXPECT_EQ(trigger_.GetSource(), Variant::Bstr("PC,DATA"));
  trigger_.PutSource(Variant::I4(10));
  EXPECT_EQ(trigger_.GetSource(), Variant::Bstr("")) << "no text beyond the table";
}

TEST_F(MessageTriggerTest, LineFields) {
  struct Case {
    const char* line;
    bool option;
    int32_t index, wait, cycle;
    const char* destination;
  };
  const Case cases[] = {
      {"105,message,m,true,WM_A,4,-3,7", true, 4, -3, 7, "WM_A"},
      {"105,anything,m,TrUe,WM_A,9,0,0", true, 9, 0, 0, "WM_A"},
      {"105,message,m,1,WM_A,0,0,0", false, 0, 0, 0, "WM_A"},
      {"105,message,m,false,WM_A,65535,1,2", false, -1, 1, 2, "WM_A"},  // low 16 bits, signed
      {"105,message,m,false,WM_A,70000,1,2", false, 4464, 1, 2, "WM_A"},
      // An option word of eight characters ends the scan: the rest reads as empty and zero.
      {"105,message,m,truetrue,WM_A,4,1,2", false, 0, 0, 0, ""},
      {"105,message,m,true", true, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CMessageTrigger trigger(context_);
    trigger.PutDestination("OLD");
    trigger.PutCycle(9);
    trigger.PutSource(Variant::I4(5));
    const bool registers = *c.destination != '\0';
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(registers ? kOk : kFail));
    EXPECT_EQ(trigger.GetOption() != 0, c.option);
    EXPECT_EQ(trigger.SourceIndex(), c.index);
    EXPECT_EQ(trigger.Wait(), c.wait);
    EXPECT_EQ(trigger.Cycle(), c.cycle);
    EXPECT_EQ(trigger.Destination(), c.destination);
  }

  EXPECT_EQ(trigger_.GetDefinition(), "100,message,trg_message,false,,0,0,0");
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,message,m,TRUE,WM_A,4,-3,7")),
            HResultText(kOk));
  EXPECT_EQ(trigger_.GetDefinition(), "105,message,m,true,WM_A,4,-3,7");  // Wait before Cycle
}

TEST_F(MessageTriggerTest, SimulatorRefusalIsAFailure) {
  trigger_.PutDestination("WM_A");
  context_->define_result = 1;
  context_->calls.clear();
  EXPECT_EQ(HResultText(trigger_.Register()), HResultText(kFail));
  EXPECT_EQ(context_->calls,
            (Calls{"RegisterMessageName(WM_A)", "DefineTrigger(100,trg_message,28 bytes,0)"}));
  EXPECT_EQ(trigger_.GetRegistered(), 0);
  EXPECT_EQ(trigger_.GetModified(), kVariantTrue);
}

}  // namespace
