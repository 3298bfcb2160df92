// The definition lines of every kind against a golden transcript: what a line sets (the line the
// trigger writes back, and the stream's fields that neither of its lines shows), the result, the
// context calls in order, what is logged and noted, the record sent with its golden bytes, and
// what a later Register does when the surroundings change.
#include <gtest/gtest.h>

#include <climits>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::automation::Format;
using K = TriggerKind;

// What happens after the line, each followed by Register: the interrupt sources are gone, the
// three record-only values of the I/O access kind are set, the numbers no longer evaluate, or
// the trigger loses its name. kRefused: the simulator refuses the line's record, then takes it.
enum class Then { kNothing, kSourcesLost, kExtras, kUnevaluable, kNoName, kRefused };

struct Case {
  K kind;
  std::string line;
  const char* before = "";  // a line the trigger read first
  Then then = Then::kNothing;
  bool reads_back = true;  // false: the line written back is not read as it was written
};

std::string StreamFields(const core::triggers::CStreamTrigger& t) {
  return Format("\n  stream %d|%s|%s|%s|%s|%s|%s|%s|%s|%u|%u|%u|%s", t.Number(),
                t.KindText().c_str(), t.Name().c_str(), t.Destination().Text().c_str(),
                t.Size().c_str(), t.RepeatMode().c_str(), t.GenerateMode().c_str(),
                t.DataList().c_str(), t.StreamSource().c_str(), t.Count(), t.Cycle(), t.Wait(),
                t.Mask().Text().c_str());
}

// One step's result and the trigger afterwards, then what reached the context since the last.
std::string Step(const std::string& what, HResult hr, const CTrigger& t, fakes::FakeContext& f) {
  std::string text = what + " " + HResultText(hr) + " -> " + t.GetDefinition().substr(0, 120) +
                     Format("\n  registered %d modified %d in simulator %d", t.Flags().registered,
                            t.Flags().modified, t.Flags().in_simulator);
  if (t.Kind() == K::Stream) {
    text += StreamFields(static_cast<const core::triggers::CStreamTrigger&>(t));
  }
  if (!f.calls.empty()) text += "\n  calls " + Joined(f.calls);
  if (!f.log.empty()) text += "\n  log " + Joined(f.log);
  if (!f.notes.empty()) text += "\n  notes " + Joined(f.notes);
  for (const auto& record : f.records) text += "\n  record " + RecordText(record);
  f.calls.clear(), f.log.clear(), f.notes.clear(), f.records.clear();
  return text + "\n";
}

std::string Transcript(const Case& c) {
  auto fake = MakeContext();
  fake->message_number = 0xC0A5;
  const std::shared_ptr<CTrigger> trigger = MakeTrigger(c.kind, fake);
  if (*c.before) {
    EXPECT_HR(kOk, trigger->PutDefinition(c.before)) << c.before;
  }
  fake->calls.clear(), fake->log.clear(), fake->notes.clear(), fake->records.clear();
  if (c.then == Then::kRefused) fake->define_result = 1;
  const std::string kind = core::triggers::InfoOf(c.kind).keyword;
  std::string text =
      Step(kind + " " + c.line.substr(0, 120), trigger->PutDefinition(c.line), *trigger, *fake);
  switch (c.then) {
    case Then::kNothing:
      return text;
    case Then::kSourcesLost:
      fake->sources = core::triggers::InterruptSources();
      break;
    case Then::kExtras: {
      auto& io = static_cast<core::triggers::CIOAccessTrigger&>(*trigger);
      io.PutExtra1(INT_MIN), io.PutExtra2(INT_MAX), io.PutExtra3(0x0102);
      break;
    }
    case Then::kUnevaluable:
      fake->numerals = false;
      break;
    case Then::kNoName:
      trigger->SetNameUnchecked("");
      break;
    case Then::kRefused:
      fake->define_result = 0;
      text += Step("register", trigger->Register(), *trigger, *fake);
      trigger->SetNameUnchecked("");
      break;
  }
  return text + Step("register", trigger->Register(), *trigger, *fake);
}

TEST(DefinitionLineTest, EveryKindReadsWritesAndRegistersAsTheTranscriptSays) {
  const char* kTransfer =
      "109,transfer,pre,9,32BIT*,0x00000300,DECREMENT,0x00000300,DECREMENT,8,7,1,2";
  std::string hundred;  // 0x12345678 is the hundredth value, the last one the record holds
  for (int i = 0; i < 120; ++i) hundred += i == 99 ? "0x12345678," : "0,";
  const std::string data = "102,data,d,0x20,";
  const std::string timing = ",),16909060,5,0x0000ffff";  // cycle 0x01020304, wait 5
  const Case cases[] = {
      // Interrupts: a clearing line's Cycle and Wait are not read; an unknown keyword takes
      // number, name and source and registers nothing.
      {K::Interrupt, "107,INTERRUPT,my pump,int1,-5,2147483647"},
      {K::Interrupt, "107,ClearInterrupt,p,TIMER,3,4", "101,interrupt,x,INT0,1,2"},
      {K::Interrupt, "101,interrupts,a,int1,3,4", "100,clearInterrupt,x,INT0,0,0"},
      {K::Interrupt, "105,interrupt,n,TIMER,1000,-2"},
      {K::Interrupt, "355,interrupt,n,int1,-2147483648,2147483647"},
      {K::Interrupt, "101,interrupt,n,INT1,1,2", "", Then::kSourcesLost},
      {K::Interrupt, "105,interrupt,pump,INT9,3,4", "105,interrupt,pump,INT0,0,0"},
      {K::Interrupt, "101,interrupt,n,INT0,1,2", "", Then::kRefused},
      {K::Interrupt, "100,interrupt,tick,INT0,1x,2"},
      // I/O access: the keyword is not looked at; missing fields read as zero.
      {K::IOAccess, "104,anything,x", "103,ioaccess,y,5,6"},
      {K::IOAccess, "102,ioaccess,n,305419896,-1", "", Then::kExtras},
      {K::IOAccess, "102,ioaccess,n,1,2", "", Then::kNoName},
      {K::IOAccess, "100,ioaccess,io,fast,2"},
      {K::IOAccess, "100,ioaccess,io,,2"},
      // I/O stream: a C number of which the low 16 bits are kept, signed.
      {K::IOStream, "105,iostream,p,0x8000"},
      {K::IOStream, "105,iostream,p,0x12345"},
      {K::IOStream, "105,iostream,p,99999999999"},
      {K::IOStream, "105,iostream,p,port"},
      // File stream: the id keeps 16 bits in the record.
      {K::FileStream, "104,transfer,log,more"},
      {K::FileStream, "104,filestream", "104,filestream,log"},
      {K::FileStream, "65600,filestream,f"},
      // Transfer: refused puts keep the old values, numbers wrap, mode values are put by their
      // low 16 bits; the destination is put before the source and Register evaluates both again.
      {K::Transfer, "101,transfer,t,16,byte,0x100,increment,0x200,Fix,1,2,3,4", kTransfer},
      {K::Transfer, "101,transfer,t,16,double,0x100,IO,nowhere,fix,1,2,40,-1", kTransfer},
      {K::Transfer, "101,transfer,t,4294967297,8bit,0x100,fix,0x200,fix,4294967295,-1,65541,0",
       kTransfer},
      {K::Transfer, "101,Transfer,t,16,8bit,0x100,fix,0x200,fix", kTransfer},
      {K::Transfer, "101,transfer,t,16,8bit*,-1,increment,0x200,DECREMENT,287454020,2,31,5"},
      {K::Transfer, "100,transfer,t,0,8bit,0x100,fix,0x200,increment,0,0,0,0"},
      {K::Transfer, "100,transfer,t,0,16BIT,0x100,decrement,0x200,fix,0,0,0,0"},
      {K::Transfer, "100,transfer,t,0,32bit,0x100,increment,0x200,decrement,0,0,0,0"},
      {K::Transfer, "100,transfer,t,0,16Bit*,0x100,fix,0x200,fix,0,0,0,0"},
      {K::Transfer, "100,transfer,t,0,32BIT*,0x100,fix,0x200,fix,0,0,0,0"},
      {K::Transfer, "100,transfer,t,0,double,0x100,fix,0x200,fix,0,0,0,0", "", Then::kNothing,
       false},
      {K::Transfer, "101,transfer,t,16,8bit,0x100,fix,buf,fix,0,0,0,0", "", Then::kUnevaluable},
      {K::Transfer, "101,transfer,t,16,8bit,buf,fix,0x200,fix,0,0,0,0", "", Then::kUnevaluable},
      // Stream and data lines: one per pattern; a bad list item goes as 0; the fields are
      // assigned before the puts run, and a list without its mark is read as empty.
      {K::Stream,
       "107,Data,trg 7,0x20,DOUBLE,CONST,RANDOM,,10,,1.5,2.5,,),4000000000,3,0x000000f0"},
      {K::Stream,
       "102,data,d,0x20,32BIT,SINGLE,DEFAULT," + std::string(5000, '7') + ",),1,2,0x00000020"},
      {K::Stream, "355,stream,s,0x00000020,16BIT,REPEAT,buf,-2147483648,0,0,0x0000ffff"},
      {K::Stream, data + "8bit,single,default,1,x,3" + timing},
      {K::Stream, data + "double,repeat,default,7,0x80000000" + timing},
      {K::Stream, data + "long,const,default," + hundred + timing},
      {K::Stream, data + "word,single,Random,10,1.5,2.5" + timing},
      {K::Stream, data + "32bit,single,random2,10,5,300" + timing},
      {K::Stream, data + "byte,const,none,1,2" + timing},
      {K::Stream, "102,Data,d,0x20,byte,Single,random2,10, 1 ,2,),7,8,0x000000f0"},
      {K::Stream, "102,data,d,0x20,8bit*,loop,x,1,),0,0,0x00000000"},
      {K::Stream, "102,data,d,0x20,byte,single,default,1,2,3,0,0,0x00000000"},
      {K::Stream, "102,data,d,0x20,byte,single,default,1,2,)"},
      {K::Stream, "102,data,d,0x20,byte,single,default,,),0,0,0x00000000"},
      {K::Stream, "100,stream,s,0x20,long,const,buf,-1,4294967297,12abc,0x20"},
      {K::Stream, "103,other,n,0x20,8bit,more,fields", "", Then::kNothing, false},
      {K::Stream, "104,stream,s1,nowhere,16bit,repeat,buf,5,1,2,0x0000ffff"},
      {K::Stream, ""},
      {K::Stream, "102,data,d,0x20,,single,default,1,),0,0,0"},
      // Connect: the keyword is a literal (any other spelling is refused whole), members end at
      // a space, a name no trigger bears goes as id 99, member ids are cut to 16 bits.
      {K::Connect, "105,connect,link,abc,d,e"},
      {K::Connect, "105,connect,link,,a,,b"},
      {K::Connect, "105,connect,link,a,b,"},
      {K::Connect, "105,connect,link,a b,c"},
      {K::Connect, "105,Connect,link,a", "103,connect,x"},
      {K::Connect, "105,connect,link,pump,gone,valve"},
      {K::Connect, "65600,connect,link,far"},
      // Control: a word that is no control word leaves the action; the target keeps 32 bits.
      {K::Control, "105,whatever,ctl,restart,pump"},
      {K::Control, "105,control,ctl,HALT,valve", "105,control,ctl,restart,pump"},
      {K::Control, "106,control,ctl2", "105,control,ctl,STOP,pump"},
      {K::Control, "65600,control,ctl,Restart,far"},
      {K::Control, "105,control,ctl,STOP,gone"},
      // Message: the option word without regard to case (eight characters end the scan), Wait
      // before Cycle in the line; a refused record is E_FAIL.
      {K::Message, "105,anything,m,TrUe,WM_A,4,-3,7"},
      {K::Message, "105,message,m,1,WM_A,0,0,0"},
      {K::Message, "105,message,m,false,WM_A,65535,1,2"},
      {K::Message, "105,message,m,false,WM_A,70000,1,2"},
      {K::Message, "105,message,m,truetrue,WM_A,4,1,2", "105,message,m,true,OLD,5,9,9"},
      {K::Message, "65600,message,m,false,WM_X,65535,-2147483648,2147483647"},
      {K::Message, "109,message,n,true,WM_A,1,2,3", "", Then::kRefused},
      // SIO: refused values are kept and their sources logged; the destination takes fifteen
      // characters and a zero.
      {K::Sio, "105,SIO?,s,nowhere,BAD,WORSE,ser", "105,sio,s,UART0,RX,TX,ser"},
      {K::Sio, "105,sio,s,UART0,1,0,ABCDEFGHIJKLMNO"},
      {K::Sio, "105,sio,s,UART0,RX,TX,ABCDEFGHIJKLMNOP"},
      {K::Sio, "105,sio,s,UART0,RX,TX,ser", "", Then::kSourcesLost},
      {K::Sio, "105,sio,s,0x100,RX,TX,ser", "", Then::kUnevaluable},
      {K::Sio, "110,sio,n,UART0,RX,TX,ser", "", Then::kNoName},
  };
  std::string transcript;
  for (const auto& info : core::triggers::KindTable()) {
    transcript += std::string("new ") + info.keyword + " -> " +
                  MakeTrigger(info.kind, MakeContext())->GetDefinition() + "\n";
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 70));
    transcript += Transcript(c);
    // What is written reads back as itself (a clearing trigger's timing aside).
    auto fake = MakeContext();
    const std::shared_ptr<CTrigger> trigger = MakeTrigger(c.kind, fake);
    if (!c.reads_back || trigger->PutDefinition(c.line) != kOk ||
        trigger->GetDefinition().find("clearInterrupt") != std::string::npos) {
      continue;
    }
    const std::shared_ptr<CTrigger> copy = MakeTrigger(c.kind, fake);
    EXPECT_HR(kOk, copy->PutDefinition(trigger->GetDefinition()));
    EXPECT_EQ(copy->GetDefinition(), trigger->GetDefinition());
  }
  test_support::ExpectGolden("core/triggers/golden/definition_lines.txt", transcript);
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
