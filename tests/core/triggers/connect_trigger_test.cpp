// The connect trigger: its record against golden bytes, its variable-length line, the member
// array's rules and the operations that do not mark it modified.
#include "core/triggers/connect_trigger.h"

#include <gtest/gtest.h>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::Variant;
using core::triggers::CConnectTrigger;
using Names = std::vector<std::string>;

Variant NameArray(const Names& names) {
  std::vector<Variant> items;
  for (const std::string& name : names) items.push_back(Variant::Bstr(name));
  return Variant::Array(items);
}

class ConnectTriggerTest : public ::testing::Test {
 protected:
  std::string LastRecord() const {
    if (context_->records.empty()) return "(none)";
    return fakes::Hex(context_->records.back().data(), context_->records.back().size());
  }

  std::shared_ptr<fakes::FakeContext> context_ = std::make_shared<fakes::FakeContext>();
  CConnectTrigger trigger_{context_};
};

TEST_F(ConnectTriggerTest, RecordCarriesTheMemberIds) {
  struct Case {
    int32_t number;
    Names members;
    const char* record;
  };
  const Case cases[] = {
      {5, {}, "00 00 00 01 69 00 0B 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      // "gone" is no trigger's name: id 99.
      {5,
       {"pump", "gone", "valve"},
       "00 00 00 01 69 00 0B 00 00 00 00 00 00 00 00 00 03 00 64 00 63 00 FF 00 00 00"},
      // Ids are cut to 16 bits: 65600 is 0x10040, 65536 is 0x10000.
      {65500,
       {"far", "farther"},
       "00 00 00 01 40 00 0B 00 00 00 00 00 00 00 00 00 02 00 40 00 00 00 00 00"},
  };
  context_->numbers = {{"pump", 0}, {"valve", 155}, {"far", 65500}, {"farther", 65436}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    CConnectTrigger trigger(context_);
    trigger.SetNumber(c.number);
    trigger.SetNameUnchecked("link");
    ASSERT_EQ(HResultText(trigger.PutMembers(NameArray(c.members))), HResultText(kOk));
    EXPECT_EQ(HResultText(trigger.Register()), HResultText(kOk));
    EXPECT_EQ(LastRecord(), c.record);
  }
}

TEST_F(ConnectTriggerTest, LineRoundTrip) {
  struct Case {
    const char* line;
    Names members;
    const char* rendered;
  };
  const Case cases[] = {
      {"105,connect,link,abc,d,e", {"abc", "d", "e"}, "105,connect,link,abc,d,e"},
      {"105,connect,link,,a,,b", {"", "a", "", "b"}, "105,connect,link,,a,,b"},
      {"105,connect,link,a,b,", {"a", "b"}, "105,connect,link,a,b"},
      {"105,connect,link,a b,c", {"a"}, "105,connect,link,a"},  // the rest ends at white space
      {"105,connect,link", {}, "105,connect,link"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CConnectTrigger trigger(context_);
    EXPECT_EQ(HResultText(trigger.PutDefinition(c.line)), HResultText(kOk));
    EXPECT_EQ(trigger.Number(), 5);
    EXPECT_EQ(trigger.Name(), "link");
    EXPECT_EQ(trigger.Members(), c.members);
    EXPECT_EQ(trigger.GetDefinition(), c.rendered);
  }

  context_->calls.clear();
  context_->numbers = {{"a", 1}, {"b", 2}};
  EXPECT_EQ(HResultText(trigger_.PutDefinition("105,connect,link,a,,b")), HResultText(kOk));
  EXPECT_EQ(context_->calls,
            (Names{"SetEventName(105,link,fresh)", "FindNumberByName(a)", "FindNumberByName()",
                   "FindNumberByName(b)", "DefineTrigger(105,link,26 bytes,0)"}));
  EXPECT_EQ(LastRecord(),
            "00 00 00 01 69 00 0B 00 00 00 00 00 00 00 00 00 03 00 65 00 63 00 66 00 00 00");
}

TEST_F(ConnectTriggerTest, LineWithoutTheExactKeywordIsRefusedWhole) {
  trigger_.SetNumber(3);
  for (const char* line : {"105,Connect,link,a", "105,connects,link", "105, connect,link", ""}) {
    SCOPED_TRACE(line);
    context_->calls.clear();
    EXPECT_EQ(HResultText(trigger_.PutDefinition(line)), HResultText(kFail));
    EXPECT_EQ(context_->calls,
              (Names{"WriteLog(Invalid parameter: the keyword of a connect definition must be "
                     "\"connect\")"}));
    EXPECT_EQ(trigger_.Number(), 3);
    EXPECT_EQ(trigger_.Name(), "");
  }
}

TEST_F(ConnectTriggerTest, MembersPutTakesOnlyTheArrayForm) {
  ASSERT_EQ(HResultText(trigger_.PutMembers(NameArray({"a", "b", "c"}))), HResultText(kOk));
  context_->calls.clear();
  for (const Variant& other : {Variant::Bstr("x,y"), Variant::I4(3), Variant::Raw(0x600C, 0)}) {
    EXPECT_EQ(HResultText(trigger_.PutMembers(other)), HResultText(kOk)) << other;
    EXPECT_EQ(trigger_.Members(), (Names{"a", "b", "c"})) << other;
  }
  EXPECT_TRUE(context_->calls.empty());

  // Empty cells, empty names and values that are no names keep what is at their index.
  context_->numbers = {{"a", 1}, {"d", 4}};
  EXPECT_EQ(HResultText(trigger_.PutMembers(Variant::Array(
                {Variant(), Variant::Bstr(""), Variant::I4(7), Variant::Bstr("d"), Variant()}))),
            HResultText(kOk));
  EXPECT_EQ(trigger_.GetMembers(), NameArray({"a", "b", "c", "d", ""}));
  EXPECT_EQ(trigger_.MemberNumbers(), (std::vector<int32_t>{1, -1, -1, 4, -1}));
  EXPECT_EQ(HResultText(trigger_.PutMembers(NameArray({"x"}))), HResultText(kOk));
  EXPECT_EQ(trigger_.Members(), (Names{"x"}));
}

TEST_F(ConnectTriggerTest, NineMembersAreStoredButNotTaken) {
  trigger_.SetNameUnchecked("link");
  context_->numbers = {{"a", 1}, {"b", 2}};
  ASSERT_EQ(HResultText(trigger_.PutMembers(NameArray({"a", "b"}))), HResultText(kOk));
  ASSERT_EQ(HResultText(trigger_.Register()), HResultText(kOk));
  context_->calls.clear();

  const Names nine = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};
  EXPECT_EQ(HResultText(trigger_.PutMembers(NameArray(nine))), HResultText(kFail));
  EXPECT_EQ(trigger_.Members(), nine);
  EXPECT_TRUE(context_->calls.empty()) << "no message, no look-up";
  EXPECT_EQ(trigger_.GetModified(), 0);
  // The simulator and the line still see the two members whose numbers were taken.
  EXPECT_EQ(trigger_.GetDefinition(), "100,connect,link,a,b");
  EXPECT_EQ(HResultText(trigger_.Register()), HResultText(kOk));
  EXPECT_EQ(LastRecord(),
            "00 00 00 01 64 00 0B 00 00 00 00 00 00 00 00 00 02 00 65 00 66 00 00 00");
}

TEST_F(ConnectTriggerTest, RenumberingMarksNothingAndTheClashIsWordedShort) {
  trigger_.SetNameUnchecked("link");
  ASSERT_EQ(HResultText(trigger_.Register()), HResultText(kOk));
  trigger_.SetNumber(6);
  trigger_.PutMembers(NameArray({"a"}));
  EXPECT_EQ(trigger_.GetModified(), 0);

  context_->name_check = kFail;
  EXPECT_EQ(HResultText(trigger_.PutName("taken")), HResultText(kFail));
  EXPECT_EQ(context_->log, (Names{"The name is the same as other trigger action"}));
}

}  // namespace
