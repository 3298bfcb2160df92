// The simulator's "SimCommand" entry as the add-in drives it: records stored and refused, the
// per-trigger commands and the live active table against a golden transcript; the tables it hands
// out, and null arguments.
#include "standin/model/simulator.h"

#include <gtest/gtest.h>

#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using core::automation::kOk;
using standin::model::Simulator;

TEST(SimulatorTest, RecordsAndCommandsAsTheTranscriptSays) {
  Simulator simulator;
  const uint32_t* table = simulator.ActiveTable();
  std::vector<std::pair<std::string, Bytes>> steps;
  for (const auto& [id, record] : SampleRecords()) steps.push_back({"define", record});
  const auto command = [](const char* what, uint16_t code, int32_t id) {
    return std::make_pair(std::string(what), CommandBlock(code, id));
  };
  // clang-format off
  const std::pair<std::string, Bytes> more[] = {
      {"bad first word", Patched(100, 0, {1})}, {"bad second word", Patched(100, 3, {2})},
      {"unknown action", Patched(100, 6, {3})}, {"id below", Patched(100, 4, {99})},
      {"id above", Patched(111, 4, {0x64, 1})}, {"nine members", Patched(107, 16, {9})},
      command("activate one", 0x102, 101), command("activate all", 0x102, -1),
      command("deactivate one", 0x103, 100), command("fire once: activation unchanged", 0x105, 101),
      command("fire all", 0x105, -1), command("reset: inactive, never fired", 0x106, 101),
      {"redefine keeps activation", Patched(102, 8, {9})}, command("deactivate all", 0x103, -1),
      command("not held", 0x102, 200), command("no trigger id", 0x105, 99),
      command("no such command", 0x107, 101), {"define the last id", Patched(111, 4, {0x63, 1})},
      command("activate the last id", 0x102, 355), command("reset all", 0x106, -1),
      command("drop", 0x101, 101), command("drop what is not there", 0x101, 101),
      command("drop no trigger id", 0x101, 50), command("drop all", 0x101, -1)};
  // clang-format on
  steps.insert(steps.end(), std::begin(more), std::end(more));
  std::string transcript;
  size_t journal = 0;
  for (const auto& [what, bytes] : steps) {
    const Reply reply = Send(simulator, bytes);
    transcript += what + ": " + HResultText(reply.hr);
    if (bytes.size() > 8 && reply.block && reply.Word() == 0) {
      EXPECT_EQ(simulator.Find(core::automation::ReadU16(&bytes[4]))->record, bytes) << what;
    }
    if (reply.block) {
      transcript += core::automation::Format(
          " reply %u %u", core::automation::ReadU32(reply.block.get()), reply.Word());
    }
    for (; journal < simulator.journal().entries().size(); ++journal) {
      transcript += "\n  " + simulator.journal().entries()[journal];
    }
    transcript += "\n  held";
    for (int32_t id : simulator.Ids()) {
      const auto* held = simulator.Find(id);
      transcript += core::automation::Format(" %d%s/%u/%u", id, table[id - 100] ? "+" : "",
                                             held->definitions, held->fires);
      EXPECT_EQ(simulator.IsActive(id), table[id - 100] != 0);
    }
    transcript += "\n";
  }
  EXPECT_EQ(simulator.Find(101), nullptr);
  for (size_t i = 0; i < 256; ++i) EXPECT_EQ(table[i], 0u) << i;
  EXPECT_EQ(simulator.ActiveTable(), table) << "the table stays where it is";
  test_support::ExpectGolden("standin/golden/simulator.txt", transcript);
}

TEST(SimulatorTest, HandsOutTheActiveTableItselfAndAFreshSourceTable) {
  Simulator simulator;
  ASSERT_EQ(Send(simulator, SampleRecords().at(104)).hr, kOk);
  const Reply reply = Send(simulator, CommandBlock(0x104, 0));
  ASSERT_EQ(reply.hr, kOk);
  const auto* table = static_cast<const uint32_t*>(reply.Pointer());
  EXPECT_EQ(table, simulator.ActiveTable());
  Send(simulator, CommandBlock(0x102, 104));
  EXPECT_EQ(table[4], 1u) << "the table the add-in holds changes in place";

  simulator.SetSources({{"TIMER0_OVF", 0x0010, 1}, {"ABCDEFGHIJKLMNOP", 0xBEEF, 0x1234}});
  const Reply first = Send(simulator, CommandBlock(0x200, 0));
  const Reply second = Send(simulator, CommandBlock(0x200, 0));
  // The tables the replies point to are the add-in's to free.
  using Table = std::unique_ptr<uint8_t, decltype(&std::free)>;
  const Table a(static_cast<uint8_t*>(first.Pointer()), &std::free);
  const Table b(static_cast<uint8_t*>(second.Pointer()), &std::free);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a.get(), b.get()) << "each reply hands over a buffer of its own";
  const std::string golden = std::string("\xFF\xFF\x02\0TIMER0_OVF\0\0\0\0\0\0\x10\0\x01\0", 24) +
                             "ABCDEFGHIJKLMNOP\xEF\xBE\x34\x12";
  EXPECT_EQ(std::string(a.get(), a.get() + golden.size()), golden);

  Simulator empty;
  const Reply none = Send(empty, CommandBlock(0x200, 0));
  const Table c(static_cast<uint8_t*>(none.Pointer()), &std::free);
  EXPECT_EQ(Bytes(c.get(), c.get() + 4), (Bytes{0xFF, 0xFF, 0, 0}));

  void* refused = reinterpret_cast<void*>(1);
  EXPECT_EQ(simulator.Command(nullptr, &refused), core::automation::kPointer);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(simulator.Command(CommandBlock(0x104, 0).data(), nullptr), core::automation::kPointer);
}

}  // namespace
}  // namespace standin_test
