// The definition lines of every kind: what a line sets and what the trigger writes back, the
// context calls a parse makes in order, and the stream kind's own reading of its two lines.
#include <gtest/gtest.h>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::Format;
using K = TriggerKind;

TEST(DefinitionLineTest, NewTriggersRender) {
  const std::pair<K, const char*> cases[] = {
      {K::Interrupt, "100,interrupt,trg_interrupt,,0,0"},
      {K::IOAccess, "100,ioaccess,trg_ioaccess,0,0"},
      {K::IOStream, "100,iostream,trg_port,8000"},
      {K::FileStream, "100,filestream,"},
      {K::Transfer, "100,transfer,,0,,,,,,0,0,0,0"},
      {K::Stream, ""},  // no source kind yet: no line
      {K::Connect, "100,connect,"},
      {K::Control, "100,control,,,"},
      {K::Message, "100,message,trg_message,false,,0,0,0"},
      {K::Sio, "100,sio,,,,,"},
  };
  for (const auto& [kind, line] : cases) {
    EXPECT_EQ(MakeTrigger(kind, MakeContext())->GetDefinition(), line);
  }
}

TEST(DefinitionLineTest, WhatALineSetsAndWhatIsWrittenBack) {
  const char* kTransfer =
      "109,transfer,pre,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2";
  const std::string kIllegal = core::triggers::kIllegalInterruptSourceMessage;
  const std::string kNotConnect =
      "Invalid parameter: the keyword of a connect definition must be \"connect\"";
  struct Case {
    K kind;
    const char* before;  // the line the trigger read first, if any
    std::string line;
    HResult result;
    std::string after;
    std::string log = "";  // what the host log received
  };
  const Case cases[] = {
      {K::Interrupt, "", "107,INTERRUPT,my pump,int1,-5,2147483647", kOk,
       "107,interrupt,my pump,int1,-5,2147483647"},
      // A clearing line's Cycle and Wait are not read; the trigger still writes its own.
      {K::Interrupt, "101,interrupt,x,INT0,1,2", "107,ClearInterrupt,p,TIMER,3,4", kOk,
       "107,clearInterrupt,p,TIMER,1,2"},
      // An unknown keyword: number, name and source are taken, and nothing is registered.
      {K::Interrupt, "100,clearInterrupt,x,INT0,0,0", "101,interrupts,a,int1,3,4", kFail,
       "101,clearInterrupt,a,int1,0,0"},
      {K::IOAccess, "", "103,ioaccess,n,-7,9", kOk, "103,ioaccess,n,-7,9"},
      // The keyword is not looked at; missing fields read as zero.
      {K::IOAccess, "103,ioaccess,y,5,6", "104,anything,x", kOk, "104,ioaccess,x,0,0"},
      // The destination: a C number, of which the low 16 bits are kept, signed.
      {K::IOStream, "", "105,IOStream,p,0x1F40", kOk, "105,iostream,p,8000"},
      {K::IOStream, "", "105,iostream,p,010", kOk, "105,iostream,p,8"},
      {K::IOStream, "", "105,iostream,p,0x8000", kOk, "105,iostream,p,-32768"},
      {K::IOStream, "", "105,iostream,p,0x12345", kOk, "105,iostream,p,9029"},
      {K::IOStream, "", "105,iostream,p,99999999999", kOk, "105,iostream,p,-1"},  // saturated
      {K::IOStream, "", "105,iostream,p,port", kOk, "105,iostream,p,0"},
      {K::IOStream, "", "105,iostream,p,12,34,56", kOk, "105,iostream,p,12"},
      {K::FileStream, "", "104,transfer,log,more", kOk, "104,filestream,log"},
      {K::FileStream, "104,filestream,log", "104,filestream", kFail, "104,filestream,"},
      {K::Transfer, kTransfer, "101,transfer,t,16,byte,0x100,increment,0x200,Fix,1,2,3,4", kOk,
       "101,transfer,t,16,8BIT,0x100,INCREMENT,0x200,FIX,1,2,3,4"},
      // Refused puts keep the old values; mode values above 31 are in place already.
      {K::Transfer, kTransfer, "101,transfer,t,16,double,0x100,IO,nowhere,fix,1,2,40,-1", kOk,
       "101,transfer,t,16,32BIT*,0x100,DECREMENT,0x00000300,FIX,1,2,40,-1"},
      // Numbers wrap; a mode value is put by its low 16 bits.
      {K::Transfer, kTransfer,
       "101,transfer,t,4294967297,8bit,0x100,fix,0x200,fix,4294967295,-1,65541,0", kOk,
       "101,transfer,t,1,8BIT,0x100,FIX,0x200,FIX,4294967295,4294967295,5,0"},
      {K::Transfer, kTransfer, "101,transfer,t,16", kOk,
       "101,transfer,t,16,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
      {K::Transfer, kTransfer, "101,Transfer,t,16,8bit,0x100,fix,0x200,fix", kFail,
       "101,transfer,,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2"},
      {K::Stream, "",
       "107,Data,trg 7,0x20,DOUBLE,CONST,RANDOM,,10,,1.5,2.5,,),4000000000,3,0x000000f0", kOk,
       "107,Data,trg 7,0x20,DOUBLE,CONST,RANDOM,,10,,1.5,2.5,,),4000000000,3,0x000000f0"},
      {K::Stream, "",
       "102,data,d,0x20,32BIT,SINGLE,DEFAULT," + std::string(5000, '7') + ",),1,2,0x00000020", kOk,
       "102,data,d,0x20,32BIT,SINGLE,DEFAULT," + std::string(5000, '7') + ",),1,2,0x00000020"},
      {K::Stream, "", "355,stream,s,0x00000020,16BIT,REPEAT,buf,-2147483648,0,0,0x0000ffff", kOk,
       "355,stream,s,0x00000020,16BIT,REPEAT,buf,-2147483648,0,0,0x0000ffff"},
      {K::Connect, "", "105,connect,link,abc,d,e", kOk, "105,connect,link,abc,d,e"},
      {K::Connect, "", "105,connect,link,,a,,b", kOk, "105,connect,link,,a,,b"},
      {K::Connect, "", "105,connect,link,a,b,", kOk, "105,connect,link,a,b"},
      {K::Connect, "", "105,connect,link,a b,c", kOk, "105,connect,link,a"},  // ends at a space
      {K::Connect, "", "105,connect,link", kOk, "105,connect,link"},
      // Read with the keyword as a literal: any other spelling is refused whole.
      {K::Connect, "103,connect,x", "105,Connect,link,a", kFail, "103,connect,x", kNotConnect},
      {K::Connect, "103,connect,x", "105, connect,link", kFail, "103,connect,x", kNotConnect},
      {K::Control, "", "105,whatever,ctl,restart,pump", kOk, "105,control,ctl,restart,pump"},
      // A word that is no control word leaves the action; fields the line lacks read as empty.
      {K::Control, "105,control,ctl,restart,pump", "105,control,ctl,HALT,valve", kOk,
       "105,control,ctl,restart,valve"},
      {K::Control, "105,control,ctl,STOP,pump", "106,control,ctl2", kFail,
       "106,control,ctl2,STOP,"},
      // The option word without regard to case; the line holds Wait before Cycle.
      {K::Message, "", "105,anything,m,TrUe,WM_A,4,-3,7", kOk, "105,message,m,true,WM_A,4,-3,7"},
      {K::Message, "", "105,message,m,1,WM_A,0,0,0", kOk, "105,message,m,false,WM_A,0,0,0"},
      {K::Message, "", "105,message,m,false,WM_A,65535,1,2", kOk,
       "105,message,m,false,WM_A,-1,1,2"},
      {K::Message, "", "105,message,m,false,WM_A,70000,1,2", kOk,
       "105,message,m,false,WM_A,4464,1,2"},
      // An option word of eight characters ends the scan: the rest reads as empty and zero.
      {K::Message, "105,message,m,true,OLD,5,9,9", "105,message,m,truetrue,WM_A,4,1,2", kFail,
       "105,message,m,false,,0,0,0"},
      {K::Sio, "", "105,sio,s,UART0,RX,TX,ser", kOk, "105,sio,s,UART0,RX,TX,ser"},
      // Refused values are kept (the sources logged); the keyword is not compared.
      {K::Sio, "105,sio,s,UART0,RX,TX,ser", "105,SIO?,s,nowhere,BAD,WORSE,ser", kOk,
       "105,sio,s,UART0,RX,TX,ser", kIllegal + " | " + kIllegal},
      {K::Sio, "", "106,sio,t,UART0,BAD,TX,ser", kFail, "106,sio,t,UART0,,TX,ser", kIllegal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 70));
    auto fake = MakeContext();
    const std::shared_ptr<CTrigger> trigger = MakeTrigger(c.kind, fake);
    if (*c.before) {
      ASSERT_EQ(trigger->PutDefinition(c.before), kOk);
    }
    fake->log.clear();
    EXPECT_HR(c.result, trigger->PutDefinition(c.line));
    EXPECT_EQ(trigger->GetDefinition(), c.after);
    EXPECT_EQ(Joined(fake->log), c.log);
    // What is written reads back as itself (a clearing trigger's timing aside).
    if (c.result == kOk && c.after.find("clearInterrupt") == std::string::npos) {
      const std::shared_ptr<CTrigger> copy = MakeTrigger(c.kind, MakeContext());
      EXPECT_HR(kOk, copy->PutDefinition(c.after));
      EXPECT_EQ(copy->GetDefinition(), c.after);
    }
  }
}

TEST(DefinitionLineTest, ParseCallsTheContextInOrder) {
  const std::pair<const char*, const char*> cases[] = {
      // The destination is put before the source; Register evaluates both again.
      {"101,transfer,mv,16,8BIT,0x100,INCREMENT,0x200,INCREMENT,0,0,0,0",
       "SetEventName(101,mv,fresh) | Evaluate(0x200) | Evaluate(0x100) | Evaluate(0x100) | "
       "Evaluate(0x200) | DefineTrigger(101,mv,836 bytes,0)"},
      {"104,stream,s1,0x20,16bit,repeat,buf,5,1,2,0x0000ffff",
       "SetEventName(104,s1,fresh) | Evaluate(0x20) | Evaluate(0x0000ffff) | Evaluate(0x20) | "
       "Evaluate(0x0000ffff) | Evaluate(buf) | DefineTrigger(104,s1,836 bytes,0)"},
      {"105,sio,s,UART0,RX,TX,ser",
       "SetEventName(105,s,fresh) | Evaluate(UART0) | CheckInterruptSource(RX) | "
       "CheckInterruptSource(TX) | Evaluate(UART0) | ResolveInterruptSource(RX) | "
       "ResolveInterruptSource(TX) | DefineTrigger(105,s,836 bytes,0)"},
      {"105,connect,link,pump,,valve",
       "SetEventName(105,link,fresh) | FindNumberByName(pump) | FindNumberByName() | "
       "FindNumberByName(valve) | DefineTrigger(105,link,836 bytes,0)"},
      {"105,control,ctl,stop,pump",
       "SetEventName(105,ctl,fresh) | FindNumberByName(pump) | DefineTrigger(105,ctl,836 bytes,0)"},
      {"105,message,m,true,WM_A,4,-3,7",
       "SetEventName(105,m,fresh) | RegisterMessageName(WM_A) | DefineTrigger(105,m,836 bytes,0)"},
      // The window is asked to refresh after the definition, accepted or not.
      {"102,ioaccess,io,1,2",
       "SetEventName(102,io,fresh) | DefineTrigger(102,io,836 bytes,0) | RefreshTriggerWindow()"},
      {"103,iostream,p,8", "SetEventName(103,p,fresh) | DefineTrigger(103,p,836 bytes,0)"},
      {"103,filestream,f", "SetEventName(103,f,fresh) | DefineTrigger(103,f,836 bytes,0)"},
  };
  for (const auto& [line, calls] : cases) {
    SCOPED_TRACE(line);
    auto fake = MakeContext();
    const std::shared_ptr<CTrigger> trigger = TriggerFor(line, fake);
    EXPECT_HR(kOk, trigger->PutDefinition(line));
    EXPECT_EQ(Joined(fake->calls), calls);
    EXPECT_EQ(trigger->GetModified(), 0) << "registered: nothing modified";
  }
}

// Every property of a stream trigger in one line, the fields neither of its lines shows included.
std::string Dump(const core::triggers::CStreamTrigger& t) {
  return Format("%d|%s|%s|%s|%s|%s|%s|%s|%s|%u|%u|%u|%s", t.Number(), t.KindText().c_str(),
                t.Name().c_str(), t.Destination().Text().c_str(), t.Size().c_str(),
                t.RepeatMode().c_str(), t.GenerateMode().c_str(), t.DataList().c_str(),
                t.StreamSource().c_str(), t.Count(), t.Cycle(), t.Wait(), t.Mask().Text().c_str());
}

TEST(DefinitionLineTest, StreamFieldsAreAssignedBeforeThePutsRun) {
  struct Case {
    const char* line;
    HResult result;
    const char* dump;  // number|kind|name|destination|size|repeat|generate|list|source|count|
                       // cycle|wait|mask
  };
  const Case cases[] = {
      {"104,stream,s1,0x20,16bit,repeat,buf,5,1,2,0x0000ffff", kOk,
       "4|stream|s1|0x20|16BIT|REPEAT|||buf|5|1|2|0x0000ffff"},
      {"102,Data,d,0x20,byte,Single,random2,10, 1 ,2,),7,8,0x000000f0", kOk,
       "2|Data|d|0x20|8BIT|SINGLE|RANDOM2|10, 1 ,2||0|7|8|0x000000f0"},
      // Refused keywords stay as read.
      {"102,data,d,0x20,8bit*,loop,x,1,),0,0,0x00000000", kOk,
       "2|data|d|0x20|8bit*|loop|x|1||0|0|0|0x00000000"},
      // No mark: an empty list, and the reading resumes two characters on.
      {"102,data,d,0x20,byte,single,default,1,2,3,0,0,0x00000000", kFail,
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|||0|2|3|0,0,0x00000000"},
      {"102,data,d,0x20,byte,single,default,1,2,)", kFail,  // the mark ends the line
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|1,2||0|0|0|"},
      {"102,data,d,0x20,byte,single,default,,),0,0,0x00000000", kOk,
       "2|data|d|0x20|8BIT|SINGLE|DEFAULT|||0|0|0|0x00000000"},
      // Numbers wrap and stop at a non-digit.
      {"100,stream,s,0x20,long,const,buf,-1,4294967297,12abc,0x20", kOk,
       "0|stream|s|0x20|32BIT|CONST|||buf|4294967295|1|12|0x00000020"},
      // A field with no comma after it reads as empty and its text stays for the mask.
      {"105,stream,s", kFail, "5|stream||||||||0|0|0|s"},
      {"103,other,n,0x20,8bit,more,fields", kOk, "3|other|n|0x20|8BIT|||||0|0|0|0x00000000"},
      {"104,stream,s1,nowhere,16bit,repeat,buf,5,1,2,0x0000ffff", kFail,
       "4|stream|s1|nowhere|16BIT|REPEAT|||buf|5|1|2|0x0000ffff"},
      {"", kFail, "-100|||||||||0|0|0|0x00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    core::triggers::CStreamTrigger t(MakeContext());
    EXPECT_HR(c.result, t.PutDefinition(c.line));
    EXPECT_EQ(Dump(t), c.dump);
  }
}

TEST(DefinitionLineTest, AnyStreamLineEnds) {
  std::string line;  // every prefix of a line made of the characters that steer the parse
  for (int i = 0; i < 3000; ++i) {
    line += "1,)data,stream\0 x-"[i % 18];
    core::triggers::CStreamTrigger t(MakeContext());
    t.PutDefinition(line);
    t.GetDefinition();
  }
  for (const std::string kind : {"data", "stream"}) {
    core::triggers::CStreamTrigger t(MakeContext());
    t.PutDefinition("100," + kind + std::string(200000, ','));
    EXPECT_EQ(t.KindText(), kind);
    t.PutDefinition("100," + kind + ",n,d,s,r,g" + std::string(100000, ')'));
  }
}

}  // namespace
}  // namespace trigger_test
