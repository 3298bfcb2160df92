// The records every kind sends to the simulator, against golden bytes: one row per layout and per
// boundary a layout has (sign extension, ids cut to 16 bits, unresolvable codes, text widths, the
// stream's pattern codes and the transfer's size and mode codes).
#include <gtest/gtest.h>

#include <climits>

#include "tests/core/triggers/trigger_test_support.h"

namespace trigger_test {
namespace {

using core::triggers::CIOAccessTrigger;

// After the line: the interrupt sources are gone (a name the table no longer knows), or the
// three record-only values of the I/O access kind are set; then the trigger registers again.
enum class Then { kNothing, kSourcesLost, kExtras };

TEST(TriggerRecordTest, EveryKindAgainstGoldenBytes) {
  std::string hundred;  // 0x12345678 is the hundredth value, the last one the record holds
  for (int i = 0; i < 120; ++i) hundred += i == 99 ? "0x12345678," : "0,";
  const std::string data = "102,data,d,0x20,";
  const std::string timing = ",),16909060,5,0x0000ffff";  // cycle 0x01020304, wait 5
  const std::string head = "836 bytes; 0000: 00 00 00 01 66 00 02 00 04 03 02 01 05 00 00 00; ";
  struct Case {
    std::string line;
    Then then;
    std::string record;
  };
  const Case cases[] = {
      {"105,interrupt,n,TIMER,1000,-2", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 69 00 01 00 E8 03 00 00 FE FF FF FF; 0010: 20 80 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"105,clearInterrupt,n,1,1000,-2", Then::kNothing,  // no timing
       "836 bytes; 0000: 00 00 00 01 69 00 0A 00 00 00 00 00 00 00 00 00; 0010: 01 00 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"355,interrupt,n,int1,-2147483648,2147483647", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 63 01 01 00 00 00 00 80 FF FF FF 7F; 0010: 11 00 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"101,interrupt,n,INT1,1,2", Then::kSourcesLost,
       "836 bytes; 0000: 00 00 00 01 65 00 01 00 01 00 00 00 02 00 00 00; 0010: FF FF 00 00 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"102,ioaccess,n,305419896,-1", Then::kExtras,
       "836 bytes; 0000: 00 00 00 01 66 00 09 00 78 56 34 12 FF FF FF FF; "
       "0010: 00 00 00 80 FF FF FF 7F 02 01 00 00 00 00 00 00"},
      {"105,iostream,p,0x8000", Then::kNothing,  // sign-extended to 32 bits
       "836 bytes; 0000: 00 00 00 01 69 00 0C 00 00 00 00 00 00 00 00 00; 0010: 00 80 FF FF 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"65600,filestream,f", Then::kNothing,  // the id keeps 16 bits
       "836 bytes; 0000: 00 00 00 01 40 00 11 00 00 00 00 00 00 00 00 00"},
      {"105,connect,link,pump,gone,valve", Then::kNothing,  // a name no trigger bears: id 99
       "836 bytes; 0000: 00 00 00 01 69 00 0B 00 00 00 00 00 00 00 00 00; "
       "0010: 03 00 64 00 63 00 FF 00 00 00 00 00 00 00 00 00"},
      {"65600,connect,link,far", Then::kNothing,  // member ids are cut to 16 bits too
       "836 bytes; 0000: 00 00 00 01 40 00 0B 00 00 00 00 00 00 00 00 00; 0010: 01 00 D4 11 00 00 "
       "00 00 00 00 00 00 00 00 00 00"},
      {"105,control,ctl,STOP,pump", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 69 00 10 00 00 00 00 00 00 00 00 00; "
       "0010: 64 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00"},
      {"65600,control,ctl,Restart,far", Then::kNothing,  // the target's id keeps its 32 bits
       "836 bytes; 0000: 00 00 00 01 40 00 10 00 00 00 00 00 00 00 00 00; "
       "0010: D4 11 01 00 03 00 00 00 00 00 00 00 00 00 00 00"},
      {"105,message,m,true,WM_TICK,4,20,10", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 69 00 0D 00 0A 00 00 00 14 00 00 00; "
       "0010: 01 00 00 00 04 00 00 00 A5 C0 00 00 00 00 00 00"},
      {"65600,message,m,false,WM_X,65535,-2147483648,2147483647", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 40 00 0D 00 FF FF FF 7F 00 00 00 80; "
       "0010: 00 00 00 00 FF FF FF FF A5 C0 00 00 00 00 00 00"},
      {"105,sio,s,UART0,RX,tx,ser", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 69 00 0F 00 00 00 00 00 00 00 00 00; "
       "0010: 00 00 FE FF 21 00 00 00 22 00 00 00 73 65 72 00"},
      {"105,sio,s,UART0,1,0,ABCDEFGHIJKLMNO", Then::kNothing,  // fifteen leave room for the zero
       "836 bytes; 0000: 00 00 00 01 69 00 0F 00 00 00 00 00 00 00 00 00; "
       "0010: 00 00 FE FF 01 00 00 00 00 00 00 00 41 42 43 44; "
       "0020: 45 46 47 48 49 4A 4B 4C 4D 4E 4F 00 00 00 00 00"},
      {"105,sio,s,UART0,RX,TX,ser", Then::kSourcesLost,
       "836 bytes; 0000: 00 00 00 01 69 00 0F 00 00 00 00 00 00 00 00 00; "
       "0010: 00 00 FE FF FF FF FF FF FF FF FF FF 73 65 72 00"},
      {"101,transfer,t,16,8bit*,-1,increment,0x200,DECREMENT,287454020,2,31,5", Then::kNothing,
       "836 bytes; 0000: 00 00 00 01 65 00 04 00 44 33 22 11 02 00 00 00; "
       "0010: 81 02 03 00 10 00 00 00 FF FF FF FF 00 02 00 00; "
       "0020: 1F 00 00 00 05 00 00 00 00 00 00 00 00 00 00 00"},
      // The stream kind, one row per pattern; a bad list item goes as 0.
      {data + "8bit,single,default,1,x,3" + timing, Then::kNothing,
       head + "0010: 01 02 01 00 20 00 00 00 00 00 00 00 FF FF 00 00; " +
           "0020: 03 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00; " +
           "0030: 00 00 00 00 03 00 00 00 00 00 00 00 00 00 00 00"},
      {data + "double,repeat,default,7,0x80000000" + timing, Then::kNothing,
       head + "0010: 01 03 08 00 20 00 00 00 00 00 00 00 FF FF 00 00; " +
           "0020: 02 00 00 00 00 00 00 00 00 00 1C 40 00 00 00 00; " +
           "0030: 00 00 E0 41 00 00 00 00 00 00 00 00 00 00 00 00"},
      {data + "long,const,default," + hundred + timing, Then::kNothing,
       head + "0010: 01 01 04 00 20 00 00 00 00 00 00 00 FF FF 00 00; " +
           "0020: 64 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00; " +
           "0330: 00 00 00 00 00 00 00 00 00 00 00 00 78 56 34 12"},
      {data + "word,single,Random,10,1.5,2.5" + timing, Then::kNothing,
       head + "0010: 02 02 02 00 20 00 00 00 00 00 00 00 FF FF 00 00; " +
           "0020: 0A 00 00 00 00 00 00 00 00 00 F8 3F 00 00 00 00; " +
           "0030: 00 00 04 40 00 00 00 00 00 00 00 00 00 00 00 00"},
      {data + "32bit,single,random2,10,5,300" + timing, Then::kNothing,
       head + "0010: 03 02 04 00 20 00 00 00 00 00 00 00 FF FF 00 00; " +
           "0020: 0A 00 00 00 05 00 00 00 00 00 00 00 2C 01 00 00"},
      {"102,stream,s,0x20,16bit,repeat,buf,7,16909060,5,0x0000ffff", Then::kNothing,
       head + "0010: 04 03 02 00 20 00 00 00 07 00 00 00 FF FF 00 00; " +
           "0020: 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {data + "byte,const,none,1,2" + timing, Then::kNothing,  // no generate mode: no pattern
       head + "0010: 00 01 01 00 20 00 00 00 00 00 00 00 FF FF 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 60));
    auto fake = MakeContext();
    fake->message_number = 0xC0A5;
    const std::shared_ptr<CTrigger> trigger = TriggerFor(c.line, fake);
    ASSERT_NE(trigger, nullptr);
    ASSERT_HR(kOk, trigger->PutDefinition(c.line));
    if (c.then == Then::kSourcesLost) fake->sources = core::triggers::InterruptSources();
    if (c.then == Then::kExtras) {
      auto& io = static_cast<CIOAccessTrigger&>(*trigger);
      io.PutExtra1(INT_MIN);
      io.PutExtra2(INT_MAX);
      io.PutExtra3(0x0102);
    }
    if (c.then != Then::kNothing) {
      ASSERT_HR(kOk, trigger->Register());
    }
    EXPECT_EQ(LastRecord(*fake), c.record);
  }
}

TEST(TriggerRecordTest, TransferSizeAndModeCodes) {
  struct Case {
    const char* fields;  // size to destination mode
    const char* codes;   // record bytes 16..18
  };
  const Case cases[] = {
      {"8bit,0x100,fix,0x200,increment", "01 01 02"},
      {"16BIT,0x100,decrement,0x200,fix", "02 03 01"},
      {"32bit,0x100,increment,0x200,decrement", "04 02 03"},
      {"8bit*,0x100,fix,0x200,fix", "81 01 01"},
      {"16Bit*,0x100,fix,0x200,fix", "82 01 01"},
      {"32BIT*,0x100,fix,0x200,fix", "84 01 01"},
      {"double,0x100,fix,0x200,fix", "FF 01 01"},  // refused: the size stays unset
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    auto fake = MakeContext();
    core::triggers::CTransferTrigger trigger(fake);
    ASSERT_EQ(trigger.PutDefinition(std::string("100,transfer,t,0,") + c.fields + ",0,0,0,0"), kOk);
    const std::vector<uint8_t>& r = fake->records.back();
    EXPECT_EQ(core::automation::Format("%02X %02X %02X", r[16], r[17], r[18]), c.codes);
  }
}

}  // namespace
}  // namespace trigger_test
