// The simulator's "SimCommand" entry as the add-in drives it: records accepted and refused,
// per-trigger commands, the live active table and the interrupt source table.
#include "standin/model/simulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/hresult.h"
#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using core::automation::HResult;
using core::automation::HResultText;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::kPointer;
using core::automation::ReadU32;
using project::InterruptSource;
using standin::model::Simulator;

void ExpectAccepted(const Reply& reply) {
  ASSERT_EQ(reply.hr, kOk) << HResultText(reply.hr);
  ASSERT_NE(reply.block, nullptr);
  EXPECT_EQ(ReadU32(reply.block.get()), 0u);
  EXPECT_EQ(reply.Word(), 0u);
}

TEST(SimulatorTest, StoresEachRecordByIdWithItsLayoutsBytes) {
  Simulator simulator;
  struct Case {
    Bytes record;
    uint16_t id;
  };
  // Records of other kinds: header only, the rest zero.
  const Bytes transfer = Record(110, 4).Take();
  const Bytes stream = Record(111, 2).Take();
  const Bytes sio = Record(112, 15).Take();
  const Case cases[] = {
      {Interrupt(100), 100},
      {FileStream(355), 355},
      {Connect(102, 0), 102},
      {Connect(103, 8), 103},
      {transfer, 110},
      {stream, 111},
      {sio, 112},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ExpectAccepted(Send(simulator, c.record));
    const auto* stored = simulator.Find(c.id);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->record, c.record);
    EXPECT_EQ(stored->definitions, 1u);
    EXPECT_FALSE(simulator.IsActive(c.id)) << "a new trigger starts inactive";
  }
  EXPECT_EQ(simulator.Ids(), (std::vector<int32_t>{100, 102, 103, 110, 111, 112, 355}));
  EXPECT_EQ(simulator.journal().entries().front(),
            "define id 100 interrupt: source 0x0010 cycle 5 wait 6");
}

TEST(SimulatorTest, RefusesMalformedRecordsWithAReason) {
  struct Case {
    const char* name;
    Bytes record;
    uint32_t word;
    const char* reason;
  };
  Bytes bad_first = Interrupt(101);
  bad_first[0] = 1;
  Bytes bad_second = Interrupt(101);
  bad_second[3] = 2;
  Bytes unknown = Interrupt(101);
  unknown[6] = 3;
  const Case cases[] = {
      {"first word", bad_first, 1,
       "refused record (word 1): bad header: words 0x0001 0x0100, expected 0x0000 0x0100 or a "
       "command block"},
      {"second word", bad_second, 1,
       "refused record (word 1): bad header: words 0x0000 0x0200, expected 0x0000 0x0100 or a "
       "command block"},
      {"action", unknown, 2, "refused record (word 2): unknown action code 3 for id 101"},
      {"id below", Interrupt(99), 3, "refused record (word 3): interrupt id 99 outside 100..355"},
      {"id above", FileStream(356), 3,
       "refused record (word 3): filestream id 356 outside 100..355"},
      {"members", Connect(104, 9), 4,
       "refused record (word 4): connect id 104 with 9 members, at most 8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Simulator simulator;
    const Reply reply = Send(simulator, c.record);
    ASSERT_EQ(reply.hr, kOk) << HResultText(reply.hr);
    ASSERT_NE(reply.block, nullptr);
    EXPECT_EQ(reply.Word(), c.word);
    EXPECT_TRUE(simulator.Ids().empty());
    ASSERT_EQ(simulator.journal().entries().size(), 1u);
    EXPECT_EQ(simulator.journal().entries()[0], c.reason);
  }
}

TEST(SimulatorTest, CommandsChangeTheLiveActiveTable) {
  Simulator simulator;
  const uint32_t* table = simulator.ActiveTable();
  for (uint16_t id : {100, 101, 355}) ExpectAccepted(Send(simulator, Interrupt(id)));

  struct Step {
    uint16_t code;
    int32_t id;
    HResult hr;
    uint32_t active_100, active_101, active_355;
    uint32_t fires_101;
  };
  const Step steps[] = {
      {0x102, 101, kOk, 0, 1, 0, 0},  // activate one
      {0x102, -1, kOk, 1, 1, 1, 0},   // activate all
      {0x103, 100, kOk, 0, 1, 1, 0},  // deactivate one
      {0x105, 101, kOk, 0, 1, 1, 1},  // fire once: activation unchanged
      {0x105, -1, kOk, 0, 1, 1, 2},   // fire all
      {0x106, 101, kOk, 0, 0, 1, 0},  // reset: inactive, never fired
      {0x102, 101, kOk, 0, 1, 1, 0},   {0x103, -1, kOk, 0, 0, 0, 0},  // deactivate all
      {0x102, 200, kFail, 0, 0, 0, 0},                                // not held
      {0x105, 99, kFail, 0, 0, 0, 0},                                 // no trigger id
      {0x107, 101, kFail, 0, 0, 0, 0},                                // no such command
      {0x102, 355, kOk, 0, 0, 1, 0},   {0x106, -1, kOk, 0, 0, 0, 0},  // reset all
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << std::hex << s.code << " " << std::dec << s.id);
    const Reply reply = Send(simulator, Command(s.code, s.id));
    EXPECT_EQ(reply.hr, s.hr) << HResultText(reply.hr);
    if (s.hr == kOk) {
      ASSERT_NE(reply.block, nullptr);
      EXPECT_EQ(reply.Word(), 0u);
    } else {
      EXPECT_EQ(reply.block, nullptr);
    }
    EXPECT_EQ(table[0], s.active_100);
    EXPECT_EQ(table[1], s.active_101);
    EXPECT_EQ(table[255], s.active_355);
    EXPECT_EQ(simulator.Find(101)->fires, s.fires_101);
  }
  EXPECT_EQ(simulator.ActiveTable(), table);
}

TEST(SimulatorTest, DropForgetsTriggersAndRedefinitionKeepsActivation) {
  Simulator simulator;
  for (uint16_t id : {100, 101, 102}) ExpectAccepted(Send(simulator, Interrupt(id)));
  ExpectAccepted(Send(simulator, Command(0x102, -1)));

  // A redefinition replaces the record and keeps the trigger active.
  Bytes changed = Interrupt(101);
  changed[8] = 9;
  ExpectAccepted(Send(simulator, changed));
  EXPECT_EQ(simulator.Find(101)->record, changed);
  EXPECT_EQ(simulator.Find(101)->definitions, 2u);
  EXPECT_TRUE(simulator.IsActive(101));
  EXPECT_EQ(simulator.journal().entries().back(),
            "redefine id 101 interrupt: source 0x0010 cycle 9 wait 6");

  ExpectAccepted(Send(simulator, Command(0x101, 101)));
  EXPECT_EQ(simulator.Find(101), nullptr);
  EXPECT_FALSE(simulator.IsActive(101));
  EXPECT_TRUE(simulator.IsActive(100));
  // Dropping what is not there succeeds: the trigger is gone either way.
  ExpectAccepted(Send(simulator, Command(0x101, 101)));
  EXPECT_EQ(simulator.journal().entries().back(), "drop 101: not held, nothing to drop");
  EXPECT_EQ(Send(simulator, Command(0x101, 50)).hr, kFail);

  ExpectAccepted(Send(simulator, Command(0x101, -1)));
  EXPECT_TRUE(simulator.Ids().empty());
  for (size_t i = 0; i < 256; ++i) EXPECT_EQ(simulator.ActiveTable()[i], 0u) << i;
  EXPECT_EQ(simulator.journal().entries().back(), "drop all (2 triggers)");
}

TEST(SimulatorTest, HandsOutTheActiveTableItself) {
  Simulator simulator;
  ExpectAccepted(Send(simulator, Interrupt(104)));
  const Reply reply = Send(simulator, Command(0x104, 0));
  ASSERT_EQ(reply.hr, kOk) << HResultText(reply.hr);
  ASSERT_NE(reply.block, nullptr);
  EXPECT_EQ(ReadU32(reply.block.get()), 0u);
  const auto* table = static_cast<const uint32_t*>(reply.Pointer());
  EXPECT_EQ(table, simulator.ActiveTable());
  EXPECT_EQ(table[4], 0u);
  Send(simulator, Command(0x102, 104));
  EXPECT_EQ(table[4], 1u) << "the table the add-in holds changes in place";
}

TEST(SimulatorTest, HandsOutAFreshExtendedSourceTable) {
  Simulator simulator;
  simulator.SetSources({{"TIMER0_OVF", 0x0010, 1}, {"ABCDEFGHIJKLMNOP", 0xBEEF, 0x1234}});
  const Reply first = Send(simulator, Command(0x200, 0));
  const Reply second = Send(simulator, Command(0x200, 0));
  ASSERT_EQ(first.hr, kOk);
  ASSERT_EQ(second.hr, kOk);
  // The tables the replies point to are the add-in's to free.
  using Table = std::unique_ptr<uint8_t, decltype(&std::free)>;
  const Table a(static_cast<uint8_t*>(first.Pointer()), &std::free);
  const Table b(static_cast<uint8_t*>(second.Pointer()), &std::free);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a.get(), b.get()) << "each reply hands over a buffer of its own";
  const Bytes golden = {
      0xFF, 0xFF, 2,   0,  // extended, 2
      'T',  'I',  'M', 'E', 'R', '0', '_',  'O',  'V',  'F',
      0,    0,    0,   0,   0,   0,   0x10, 0x00, 0x01, 0x00,  // code, value
      'A',  'B',  'C', 'D', 'E', 'F', 'G',  'H',  'I',  'J',
      'K',  'L',  'M', 'N', 'O', 'P', 0xEF, 0xBE, 0x34, 0x12,
  };
  EXPECT_EQ(Bytes(a.get(), a.get() + golden.size()), golden);

  Simulator empty;
  const Reply none = Send(empty, Command(0x200, 0));
  const Table c(static_cast<uint8_t*>(none.Pointer()), &std::free);
  EXPECT_EQ(Bytes(c.get(), c.get() + 4), (Bytes{0xFF, 0xFF, 0, 0}));
}

TEST(SimulatorTest, RefusesNullArguments) {
  Simulator simulator;
  void* reply = reinterpret_cast<void*>(1);
  EXPECT_EQ(simulator.Command(nullptr, &reply), kPointer);
  EXPECT_EQ(reply, nullptr);
  const Bytes block = Command(0x104, 0);
  EXPECT_EQ(simulator.Command(block.data(), nullptr), kPointer);
}

}  // namespace
}  // namespace standin_test
