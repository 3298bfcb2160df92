// Record sizes and the decoding of every record kind: golden bytes in, one line of text out.
#include "project/records.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/automation/bytes.h"

namespace {

using core::automation::ByteWriter;
using project::DescribeCommand;
using project::DescribeRecord;
using project::InterruptSource;
using project::LayoutSize;
using project::RecordSize;

const std::vector<InterruptSource> kSources = {
    {"TIMER0_OVF", 0x10, 1}, {"UART0_RX", 0x20, 2}, {"ALIAS", 0x20, 0}};

using Bytes = std::vector<uint8_t>;

// The 836-byte stream record up to offset 32: header, timing, codes, destination, count, mask.
// Each case writes its pattern's part.
ByteWriter StreamRecord(uint8_t pattern, uint8_t repeat, uint8_t size) {
  ByteWriter w(836);
  w.U16(2, 0x0100);
  w.U16(4, 110);
  w.U16(6, 2);
  w.U32(8, 200);
  w.U32(12, 20);
  w.U8(16, pattern);
  w.U8(17, repeat);
  w.U8(18, size);
  w.U8(19, 0xEE);  // not set by the add-in: not shown
  w.U32(20, 0x60);
  w.U32(24, 7);
  w.U32(28, 0xFF);
  return w;
}

TEST(RecordsTest, DescribesEveryKind) {
  struct Case {
    std::string name;
    Bytes record;
    std::string text;
  };
  std::vector<Case> cases = {
      {"interrupt",
       {0, 0, 0x00, 0x01, 0x65, 0, 1, 0, 5, 0, 0, 0, 6, 0, 0, 0, 0x10, 0x00},
       "id 101 interrupt: source 0x0010 (TIMER0_OVF) cycle 5 wait 6"},
      {"clearInterrupt: bytes 8 to 15 mean nothing",
       {0, 0, 0x00, 0x01, 0x66, 0, 10, 0, 9, 9, 9, 9, 9, 9, 9, 9, 0xFF, 0xFF},
       "id 102 clearInterrupt: source 0xFFFF"},
      {"ioaccess",
       {0,    0,    0x00, 0x01, 0x67, 0, 9,    0,    50,   0,    0,    0,    0xFF, 0xFF,
        0xFF, 0xFF, 1,    0,    0,    0, 0xFF, 0xFF, 0xFF, 0x7F, 0xFE, 0xFF, 0xFF, 0xFF},
       "id 103 ioaccess: cycle 50 wait -1 extra1 1 extra2 2147483647 extra3 -2"},
      {"iostream with a port above 0x7FFF",
       {0, 0, 0x00, 0x01, 0x68, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80, 0xFF, 0xFF},
       "id 104 iostream: destination -32768 (0x8000)"},
      {"connect",
       {0, 0, 0x00, 0x01, 0x69, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 100, 0, 101, 0, 99, 0},
       "id 105 connect: 3 members 100 101 99"},
      {"connect without members",
       {0, 0, 0x00, 0x01, 0x69, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       "id 105 connect: 0 members"},
      {"message",
       {0,    0,    0x00, 0x01, 0x6A, 0, 13, 0,  // header
        100,  0,    0,    0,                     // cycle
        0,    0,    0,    0,                     // wait
        1,    0,    0,    0,                     // option
        4,    0,    0,    0,                     // type
        0xA5, 0xC0, 0,    0},                    // message identifier
       "id 106 message: cycle 100 wait 0 option 1 type 4 (TIME,PC) message 0xC0A5"},
      {"message with a type outside the table",
       {0, 0, 0x00, 0x01, 0x6A, 0, 13, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0,    0,    0,    0, 10, 0, 0, 0, 0, 0, 0, 0},
       "id 106 message: cycle 0 wait 0 option 0 type 10 (?) message 0x0000"},
      {"control",
       {0, 0, 0x00, 0x01, 0x6C, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 106, 0, 0, 0, 3, 0, 0, 0},
       "id 108 control: target 106 action 3 (RESTART)"},
      {"filestream",
       {0, 0, 0x00, 0x01, 0x6D, 0, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       "id 109 filestream"},
  };

  // SIO: 44 bytes, the name in the last 16.
  auto sio = [](const char* name, size_t length) {
    Bytes r = {0, 0, 0x00, 0x01, 0x6B, 0, 15,   0, 0, 0, 0,    0,    0,    0,
               0, 0, 0x60, 0,    0,    0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    r.resize(44, 0);
    for (size_t i = 0; i < length; ++i) r[28 + i] = static_cast<uint8_t>(name[i]);
    return r;
  };
  cases.push_back({"sio", sio("UART0", 5),
                   "id 107 sio: address 0x00000060 dst source 0x0020 (UART0_RX) src source -1 "
                   "(unresolved) name \"UART0\""});
  cases.push_back({"sio with 16 characters and odd bytes",
                   sio("A\"B\\\x01"
                       "CDEFGHIJKLM",
                       16),
                   "id 107 sio: address 0x00000060 dst source 0x0020 (UART0_RX) src source -1 "
                   "(unresolved) name \"A\\x22B\\x5C\\x01CDEFGHIJKLM\" (no terminating zero)"});

  // Stream: one case per pattern; the value slots are 8 bytes each from offset 36.
  ByteWriter list = StreamRecord(1, 2, 1);
  list.U32(32, 3);
  list.U32(36, 0x48);
  list.U32(44, 0x65);
  list.U32(52, 0x6C);
  ByteWriter doubles = StreamRecord(1, 3, 8);
  doubles.U32(32, 2);
  doubles.F64(36, 7.0);
  doubles.F64(44, -2.5);
  ByteWriter random = StreamRecord(2, 1, 2);
  random.U32(32, 10);
  random.F64(36, 1.5);
  random.F64(44, 2.5);
  ByteWriter random2 = StreamRecord(3, 3, 4);
  random2.U32(32, 32);
  random2.U32(36, 5);
  random2.U32(40, 0xDDDDDDDD);  // not set by the add-in
  random2.U32(44, 1023);
  ByteWriter memory = StreamRecord(4, 3, 1);
  memory.U32(32, 0x200);
  const char* kStreamHead = "id 110 stream: cycle 200 wait 20 destination 0x00000060 ";
  const std::pair<ByteWriter*, const char*> streams[] = {
      {&list,
       "size 1 (8BIT) repeat 2 (SINGLE) count 7 mask 0x000000FF pattern 1 (list) 3 values: 0x48 "
       "0x65 0x6C"},
      {&doubles,
       "size 8 (DOUBLE) repeat 3 (REPEAT) count 7 mask 0x000000FF pattern 1 (list) 2 values: 7 "
       "-2.5"},
      {&random,
       "size 2 (16BIT) repeat 1 (CONST) count 7 mask 0x000000FF pattern 2 (random) values 10 min "
       "1.5 max 2.5"},
      {&random2,
       "size 4 (32BIT) repeat 3 (REPEAT) count 7 mask 0x000000FF pattern 3 (random2) values 32 "
       "min 5 max 1023"},
      {&memory,
       "size 1 (8BIT) repeat 3 (REPEAT) count 7 mask 0x000000FF pattern 4 (memory) source "
       "0x00000200"},
  };
  for (const auto& [record, text] : streams) {
    cases.push_back({text, record->bytes(), std::string(kStreamHead) + text});
  }

  // Transfer: 836 bytes, fields up to offset 40.
  auto transfer = [](uint8_t size, uint8_t src_mode, uint8_t dst_mode) {
    ByteWriter w(836);
    w.U16(2, 0x0100);
    w.U16(4, 111);
    w.U16(6, 4);
    w.U32(8, 100);
    w.U32(12, 5);
    w.U8(16, size);
    w.U8(17, src_mode);
    w.U8(18, dst_mode);
    w.U32(20, 16);
    w.U32(24, 0x200);
    w.U32(28, 0x280);
    w.U32(32, 0);
    w.U32(36, 31);
    return w.Take();
  };
  cases.push_back({"transfer", transfer(0x81, 2, 1),
                   "id 111 transfer: cycle 100 wait 5 size 0x81 (8BIT*) count 16 source 0x00000200 "
                   "mode 2 (INCREMENT) value 0 destination 0x00000280 mode 1 (FIX) value 31"});
  cases.push_back({"transfer with unknown codes", transfer(0xFF, 0xFF, 3),
                   "id 111 transfer: cycle 100 wait 5 size 0xFF (?) count 16 source 0x00000200 "
                   "mode 255 (?) value 0 destination 0x00000280 mode 3 (DECREMENT) value 31"});
  // What the kind leaves alone must be zero: a sender whose record is shorter than the block
  // shows here, as whatever followed it in its memory.
  Bytes stray = transfer(0x01, 1, 1);
  stray[40] = 0xCC;
  cases.push_back({"transfer with a byte past its fields", stray,
                   "id 111 transfer: cycle 100 wait 5 size 0x01 (8BIT) count 16 source 0x00000200 "
                   "mode 1 (FIX) value 0 destination 0x00000280 mode 1 (FIX) value 31 (not zero "
                   "past the layout, from offset 40)"});
  Bytes stray_member = cases[4].record;  // connect with 3 members: its layout ends at 24
  stray_member.resize(836);
  stray_member[25] = 1;
  cases.push_back({"connect with a byte past its members", stray_member,
                   "id 105 connect: 3 members 100 101 99 (not zero past the layout, from offset "
                   "25)"});

  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.record.resize(836);  // every record is the whole block, zero past what a case wrote
    EXPECT_EQ(DescribeRecord(c.record.data(), c.record.size(), &kSources), c.text);
  }
}

TEST(RecordsTest, EveryKindIsTheWholeBlockAndItsLayoutTheFirstPart) {
  struct Case {
    uint16_t action;
    size_t layout;  // 0: no kind has the code
  };
  const Case cases[] = {{1, 18},  {10, 18}, {9, 28},  {12, 20}, {13, 28},
                        {15, 44}, {16, 24}, {17, 16}, {2, 836}, {4, 40},
                        {0, 0},   {3, 0},   {14, 0},  {18, 0},  {0x100, 0}};
  const uint8_t unused[18] = {};
  for (const Case& c : cases) {
    EXPECT_EQ(LayoutSize(c.action, unused), c.layout) << "action " << c.action;
    EXPECT_EQ(RecordSize(c.action), c.layout ? 836u : 0u) << "action " << c.action;
  }
  uint8_t connect[18] = {};
  for (uint8_t members : {0, 1, 8, 9}) {
    connect[16] = members;
    EXPECT_EQ(LayoutSize(11, connect), 18u + 2u * members);
  }
}

TEST(RecordsTest, NeverReadsPastWhatItWasGiven) {
  const Bytes interrupt = {0, 0, 0, 1, 0x65, 0, 1, 0, 5, 0, 0, 0, 6, 0, 0, 0, 0x10, 0};
  EXPECT_EQ(DescribeRecord(interrupt.data(), interrupt.size()),
            "id 101 interrupt: truncated record (18 of 836 bytes)");
  EXPECT_EQ(DescribeRecord(interrupt.data(), 4), "truncated record (4 bytes)");
  Bytes connect = {0, 0, 0, 1, 0x69, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x01};
  connect.resize(836);
  EXPECT_EQ(DescribeRecord(connect.data(), connect.size()),
            "id 105 connect: truncated record (836 of 1040 bytes)");
  const Bytes unknown = {0, 0, 0, 1, 0x65, 0, 3, 0};
  EXPECT_EQ(DescribeRecord(unknown.data(), unknown.size()), "id 101 action 3 (unknown)");
  // Without a source list the codes stand alone.
  Bytes plain = interrupt;
  plain.resize(836);
  EXPECT_EQ(DescribeRecord(plain.data(), plain.size()),
            "id 101 interrupt: source 0x0010 cycle 5 wait 6");
}

TEST(RecordsTest, DescribesCommandBlocks) {
  struct Case {
    Bytes block;
    const char* text;
  };
  const Case cases[] = {
      {{8, 0, 0x01, 0x01, 0x65, 0, 0, 0}, "drop 101"},
      {{8, 0, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}, "activate all"},
      {{8, 0, 0x03, 0x01, 0x63, 0x01, 0, 0}, "deactivate 355"},
      {{8, 0, 0x04, 0x01, 0, 0, 0, 0}, "active table"},
      {{8, 0, 0x05, 0x01, 0x64, 0, 0, 0}, "fire 100"},
      {{8, 0, 0x06, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}, "reset all"},
      {{8, 0, 0x00, 0x02, 0x12, 0x34, 0x56, 0x78}, "source table"},
      {{8, 0, 0x07, 0x01, 0x65, 0, 0, 0}, "command 0x0107 for 101"},
  };
  for (const Case& c : cases) EXPECT_EQ(DescribeCommand(c.block.data()), c.text);
}

}  // namespace
