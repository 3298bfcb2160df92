// The stream trigger: its record for every pattern code, size and repeat mode, the refusals of
// Register, the keyword and Variant puts, and its two definition lines with the ",)" mark.
#include "core/triggers/stream_trigger.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/core/fakes/fake_context.h"
#include "tests/core/triggers/record_rows.h"

namespace {

using core::automation::Format;
using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kFalse;
using core::automation::kOk;
using core::automation::Variant;
using core::triggers::CStreamTrigger;
using Calls = std::vector<std::string>;
using Rows = std::vector<std::string>;

std::shared_ptr<fakes::FakeContext> Evaluator() {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->symbols = {
      {"0x20", 0x20},       {"0x00000020", 0x20}, {"0x00000000", 0}, {"0x0000ffff", 0xFFFF},
      {"0x000000f0", 0xF0}, {"buf", 0x1000},      {"MASK", 0xF0},    {"-1", -1}};
  return fake;
}

// Every property, for comparing whole triggers in one line.
std::string Dump(const CStreamTrigger& t) {
  return Format("%d|%s|%s|%s|%s|%s|%s|%s|%s|%u|%u|%u|%s", t.Number(), t.KindText().c_str(),
                t.Name().c_str(), t.Destination().Text().c_str(), t.Size().c_str(),
                t.RepeatMode().c_str(), t.GenerateMode().c_str(), t.DataList().c_str(),
                t.StreamSource().c_str(), t.Count(), t.Cycle(), t.Wait(), t.Mask().Text().c_str());
}

TEST(StreamTriggerTest, RecordForEachPatternAndSize) {
  const char* kHead = "0000: 00 00 00 01 66 00 02 00 04 03 02 01 05 00 00 00";
  std::string hundred;  // 0x12345678 is the hundredth value, the last one read
  for (int i = 0; i < 120; ++i) hundred += i == 99 ? "0x12345678," : "0,";
  struct Case {
    const char* kind;
    const char* size;
    const char* repeat;
    const char* generate;  // nullptr: never set
    std::string text;      // the data list, and the stream source
    Rows rows;             // after the head
  };
  const Case cases[] = {
      {"data",
       "8bit",
       "single",
       "default",
       "1,x,3",  // a bad item goes as 0
       {"0010: 01 02 01 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 03 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00",
        "0030: 00 00 00 00 03 00 00 00 00 00 00 00 00 00 00 00"}},
      {"Data",
       "double",
       "repeat",
       "DEFAULT",
       "7,0x80000000",
       {"0010: 01 03 08 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 02 00 00 00 00 00 00 00 00 00 1C 40 00 00 00 00",
        "0030: 00 00 E0 41 00 00 00 00 00 00 00 00 00 00 00 00"}},
      {"data",
       "long",
       "const",
       "default",
       hundred,
       {"0010: 01 01 04 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
        "0330: 00 00 00 00 00 00 00 00 00 00 00 00 78 56 34 12"}},
      {"data",
       "word",
       "single",
       "Random",
       "10,1.5,2.5",
       {"0010: 02 02 02 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 0A 00 00 00 00 00 00 00 00 00 F8 3F 00 00 00 00",
        "0030: 00 00 04 40 00 00 00 00 00 00 00 00 00 00 00 00"}},
      {"DATA",
       "32bit",
       "single",
       "random2",
       "10,5,300",
       {"0010: 03 02 04 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 0A 00 00 00 05 00 00 00 00 00 00 00 2C 01 00 00"}},
      {"stream",
       "16bit",
       "repeat",
       "random",
       "buf",  // the generate mode is not looked at
       {"0010: 04 03 02 00 20 00 00 00 07 00 00 00 FF FF 00 00",
        "0020: 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00"}},
      {"data",
       "byte",
       "const",
       nullptr,
       "1,2",  // no generate mode: no pattern
       {"0010: 00 01 01 00 20 00 00 00 07 00 00 00 FF FF 00 00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.size);
    auto fake = Evaluator();
    CStreamTrigger t(fake);
    t.SetNumber(2);
    t.PutCycle(0x01020304);
    t.PutWait(5);
    t.PutCount(7);
    t.PutDestination(Variant::Bstr("0x20"));
    t.PutMask(Variant::UI4(0xFFFF));
    t.PutKind(c.kind);
    ASSERT_EQ(t.PutSize(c.size), kOk);
    ASSERT_EQ(t.PutRepeatMode(c.repeat), kOk);
    if (c.generate) {
      ASSERT_EQ(t.PutGenerateMode(c.generate), kOk);
    }
    t.PutDataList(c.text);
    t.PutStreamSource(c.text);
    ASSERT_EQ(HResultText(t.Register()), HResultText(kOk));
    ASSERT_EQ(fake->records.size(), 1u);
    EXPECT_EQ(fake->records[0].size(), 836u);
    Rows rows = {kHead};
    rows.insert(rows.end(), c.rows.begin(), c.rows.end());
    EXPECT_EQ(fakes::NonZeroRows(fake->records[0]), rows);
  }
}

TEST(StreamTriggerTest, RegisterRefusals) {
  const Calls kDefined = {"Evaluate(0x00000020)", "Evaluate(0x00000000)",
                          "DefineTrigger(100,trg_stream,836 bytes,0)"};
  struct Case {
    const char* what;
    const char* name;
    const char* size;
    uint32_t destination;
    const char* kind;
    const char* generate;
    int define_result;
    HResult result;
    Calls calls;
  };
  const Case cases[] = {
      {"accepted", "trg_stream", "8bit", 0x20, "data", "default", 0, kOk, kDefined},
      {"the simulator refuses", "trg_stream", "8bit", 0x20, "data", "default", 1, kFalse, kDefined},
      {"no kind: sent with no pattern", "trg_stream", "8bit", 0x20, "", "", 0, kOk, kDefined},
      {"no name", "", "8bit", 0x20, "data", "default", 0, kFail, {}},
      {"no size", "trg_stream", "", 0x20, "data", "default", 0, kFail, {}},
      {"destination the evaluator rejects",
       "trg_stream",
       "8bit",
       0x21,
       "data",
       "default",
       0,
       kFail,
       {"Evaluate(0x00000021)"}},
      {"random2 cannot make doubles",
       "trg_stream",
       "DOUBLE",
       0x20,
       "data",
       "RANDOM2",
       0,
       kFail,
       {"Evaluate(0x00000020)", "Evaluate(0x00000000)"}},
      {"stream source the evaluator rejects",
       "trg_stream",
       "8bit",
       0x20,
       "Stream",
       "",
       0,
       kFail,
       {"Evaluate(0x00000020)", "Evaluate(0x00000000)", "Evaluate(nowhere)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto fake = std::make_shared<fakes::FakeContext>();
    fake->symbols = {{"0x00000020", 0x20}, {"0x00000000", 0}};
    fake->define_result = c.define_result;
    CStreamTrigger t(fake);
    t.SetNameUnchecked(c.name);
    t.PutSize(c.size);
    t.PutDestination(Variant::UI4(c.destination));
    t.PutKind(c.kind);
    t.PutGenerateMode(c.generate);
    t.PutDataList("1,2,3");
    t.PutStreamSource("nowhere");
    EXPECT_EQ(HResultText(t.Register()), HResultText(c.result));
    EXPECT_EQ(fake->calls, c.calls);
    const bool defined = c.result == kOk;
    EXPECT_EQ(t.GetRegistered() != 0, defined);
    EXPECT_EQ(t.GetInSimulator() != 0, defined);
    EXPECT_EQ(t.GetModified() != 0, !defined);
  }
}

TEST(StreamTriggerTest, KeywordPuts) {
  using Put = HResult (CStreamTrigger::*)(const std::string&);
  const Put size = &CStreamTrigger::PutSize;
  const Put repeat = &CStreamTrigger::PutRepeatMode;
  const Put generate = &CStreamTrigger::PutGenerateMode;
  struct Case {
    Put put;
    const char* given;
    const char* stored;  // nullptr: refused
  };
  const Case cases[] = {
      {size, "byte", "8BIT"},         {size, "Word", "16BIT"},
      {size, "LONG", "32BIT"},        {size, "16Bit", "16BIT"},
      {size, "DOUBLE", "DOUBLE"},     {size, "8bit*", nullptr},
      {size, "8 bit", nullptr},       {size, "", nullptr},
      {repeat, "single", "SINGLE"},   {repeat, "Repeat", "REPEAT"},
      {repeat, "CONST", "CONST"},     {repeat, "once", nullptr},
      {generate, "RANDOM", "RANDOM"}, {generate, "Random2", "RANDOM2"},
      {generate, "x", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    auto fake = std::make_shared<fakes::FakeContext>();
    CStreamTrigger t(fake);
    EXPECT_EQ(HResultText((t.*c.put)(c.given)), HResultText(c.stored ? kOk : kFail));
    const std::string stored = c.put == size     ? t.Size()
                               : c.put == repeat ? t.RepeatMode()
                                                 : t.GenerateMode();
    EXPECT_EQ(stored, c.stored ? c.stored : "");
    EXPECT_EQ(t.GetModified() != 0, c.stored != nullptr);
    EXPECT_EQ(fake->calls, Calls{});
  }
}

TEST(StreamTriggerTest, AddressPutsByVariantType) {
  struct Case {
    Variant value;
    HResult result;
    const char* destination;  // "" for nothing stored
    const char* mask;         // from "0x00000000"
  };
  const Case cases[] = {
      {Variant::UI1(0xFF), kOk, "0x000000ff", "0x000000ff"},
      {Variant::UI2(0xFFFF), kOk, "0x0000ffff", "0x0000ffff"},
      {Variant::UI4(0x80000000u), kOk, "0x80000000", "0x80000000"},
      {Variant::I1(-1), kOk, "", "0x00000000"},
      {Variant::I2(-2), kOk, "", "0x00000000"},
      {Variant::I4(0x20), kOk, "", "0x00000000"},
      {Variant::UInt(0x20), kOk, "", "0x00000000"},
      {Variant::R8(32.0), kOk, "", "0x00000000"},
      {Variant(), kOk, "", "0x00000000"},
      {Variant::Bstr("0x0000ffff"), kOk, "0x0000ffff", "0x0000ffff"},
      {Variant::Bstr("nowhere"), kFail, "", "0x00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.Describe());
    CStreamTrigger t(Evaluator());
    EXPECT_EQ(HResultText(t.PutDestination(c.value)), HResultText(c.result));
    EXPECT_EQ(t.Destination(), Variant::Bstr(c.destination));
    EXPECT_EQ(t.GetModified() != 0, c.result == kOk);

    CStreamTrigger other(Evaluator());
    EXPECT_EQ(HResultText(other.PutMask(c.value)), HResultText(c.result));
    EXPECT_EQ(other.Mask(), Variant::Bstr(c.mask));
    EXPECT_EQ(other.GetModified() != 0, c.result == kOk);
  }
}

TEST(StreamTriggerTest, MaskKeepsTheLeadingNumberAndSaysWhenItIsNotTheValue) {
  struct Case {
    const char* text;
    const char* stored;
    Calls calls;
  };
  const Case cases[] = {
      {"0x000000f0", "0x000000f0", {"Evaluate(0x000000f0)"}},
      {"-1", "0xffffffff", {"Evaluate(-1)"}},
      {"MASK",
       "0x00000000",
       {"Evaluate(MASK)",
        "WriteLog(Mask \"MASK\" is kept as its leading number 0x00000000, "
        "not its value 0x000000f0)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto fake = Evaluator();
    CStreamTrigger t(fake);
    EXPECT_EQ(t.PutMask(Variant::Bstr(c.text)), kOk);
    EXPECT_EQ(t.Mask().Text(), c.stored);
    EXPECT_EQ(fake->calls, c.calls);
  }
}

TEST(StreamTriggerTest, Rendering) {
  CStreamTrigger t(Evaluator());
  EXPECT_EQ(t.GetDefinition(), "");  // no kind yet
  t.SetNumber(2);
  t.PutKind("data");
  t.PutDestination(Variant::Bstr("0x20"));
  t.PutSize("byte");
  t.PutRepeatMode("single");
  t.PutGenerateMode("default");
  t.PutDataList("1,2,3");
  EXPECT_EQ(t.GetDefinition(),
            "102,data,trg_stream,0x20,8BIT,SINGLE,DEFAULT,1,2,3,),0,0,0x00000000");
  t.PutKind("STREAM");
  t.PutStreamSource("buf");
  t.PutCount(4294967295u);  // written signed
  t.PutCycle(4294967295u);
  EXPECT_EQ(t.GetDefinition(),
            "102,STREAM,trg_stream,0x20,8BIT,SINGLE,buf,-1,4294967295,0,0x00000000");
  t.PutKind("datastream");
  EXPECT_EQ(t.GetDefinition(), "");
}

TEST(StreamTriggerTest, ParsingAssignsFieldsBeforeThePutsRun) {
  struct Case {
    const char* what;
    std::string line;
    HResult result;
    std::string dump;  // number|kind|name|destination|size|repeat|generate|list|source|count|
                       // cycle|wait|mask
  };
  const Case cases[] = {
      {"stream line", "104,stream,s1,0x20,16bit,repeat,buf,5,1,2,0x0000ffff", kOk,
       "4|stream|s1|0x20|16BIT|REPEAT|||buf|5|1|2|0x0000ffff"},
      {"data line", "102,Data,d,0x20,byte,Single,random2,10, 1 ,2,),7,8,0x000000f0", kOk,
       "2|Data|d|0x20|8BIT|SINGLE|RANDOM2|10, 1 ,2||0|7|8|0x000000f0"},
      {"refused keywords stay as read", "102,data,d,0x20,8bit*,loop,x,1,),0,0,0x00000000", kOk,
       "2|data|d|0x20|8bit*|loop|x|1||0|0|0|0x00000000"},
      {"no mark: empty list, reading resumes two characters on",
       "102,data,d,0x20,byte,single,default,1,2,3,0,0,0x00000000", kFail,
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|||0|2|3|0,0,0x00000000"},
      {"the mark ends the line", "102,data,d,0x20,byte,single,default,1,2,)", kFail,
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|1,2||0|0|0|"},
      {"an empty list", "102,data,d,0x20,byte,single,default,,),0,0,0x00000000", kOk,
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|||0|0|0|0x00000000"},
      {"numbers wrap and stop at a non-digit",
       "100,stream,s,0x20,long,const,buf,-1,4294967297,12abc,0x20", kOk,
       "0|stream|s|0x20|32BIT|CONST|||buf|4294967295|1|12|0x00000020"},
      {"a field with no comma after it is empty; its text stays", "105,stream,s", kFail,
       "5|stream||||||||0|0|0|s"},
      {"another kind reads no further", "103,other,n,0x20,8bit,more,fields", kOk,
       "3|other|n|0x20|8BIT|||||0|0|0|0x00000000"},
      {"a destination the evaluator rejects stays as read",
       "104,stream,s1,nowhere,16bit,repeat,buf,5,1,2,0x0000ffff", kFail,
       "4|stream|s1|nowhere|16BIT|REPEAT|||buf|5|1|2|0x0000ffff"},
      {"empty line", "", kFail, "-100|||||||||0|0|0|0x00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CStreamTrigger t(Evaluator());
    EXPECT_EQ(HResultText(t.PutDefinition(c.line)), HResultText(c.result));
    EXPECT_EQ(Dump(t), c.dump);
  }
}

TEST(StreamTriggerTest, ParseCallsInOrder) {
  auto fake = Evaluator();
  CStreamTrigger t(fake);
  EXPECT_EQ(t.PutDefinition("104,stream,s1,0x20,16bit,repeat,buf,5,1,2,0x0000ffff"), kOk);
  EXPECT_EQ(fake->calls, (Calls{"SetEventName(104,s1,fresh)", "Evaluate(0x20)",
                                "Evaluate(0x0000ffff)", "Evaluate(0x20)", "Evaluate(0x0000ffff)",
                                "Evaluate(buf)", "DefineTrigger(104,s1,836 bytes,0)"}));
  EXPECT_EQ(t.GetModified(), 0);
}

TEST(StreamTriggerTest, LinesReadBackAsRendered) {
  const std::string lines[] = {
      "107,Data,trg 7,0x20,DOUBLE,CONST,RANDOM,,10,,1.5,2.5,,),4000000000,3,0x000000f0",
      "102,data,d,0x20,32BIT,SINGLE,DEFAULT," + std::string(5000, '7') + ",),1,2,0x00000020",
      "355,stream,s,0x00000020,16BIT,REPEAT,buf,-2147483648,0,0,0x0000ffff",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line.substr(0, 60));
    CStreamTrigger t(Evaluator());
    EXPECT_EQ(t.PutDefinition(line), kOk);
    EXPECT_EQ(t.GetDefinition(), line);
  }
}

TEST(StreamTriggerTest, RenameUsesTheShortClashMessage) {
  auto fake = std::make_shared<fakes::FakeContext>();
  fake->name_check = kFail;
  CStreamTrigger t(fake);
  EXPECT_EQ(t.PutName("other"), kFail);
  EXPECT_EQ(fake->log, Calls{"The name is the same as other trigger action"});
  EXPECT_EQ(t.Name(), "trg_stream");
}

TEST(StreamTriggerTest, AnyLineEnds) {
  std::string line;  // every prefix of a line made of the characters that steer the parse
  for (int i = 0; i < 3000; ++i) {
    line += "1,)data,stream\0 x-"[i % 18];
    CStreamTrigger t(Evaluator());
    t.PutDefinition(line);
    t.GetDefinition();
  }
  for (const std::string kind : {"data", "stream"}) {
    CStreamTrigger t(Evaluator());
    t.PutDefinition("100," + kind + std::string(200000, ','));
    EXPECT_EQ(t.KindText(), kind);
    t.PutDefinition("100," + kind + ",n,d,s,r,g" + std::string(100000, ')'));
  }
}

}  // namespace
