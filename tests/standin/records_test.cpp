// The decoding of records and command blocks into one line of text each: the add-in's records for
// the sample project, and those records changed where a layout has a boundary, against a golden
// file.
#include "project/records.h"

#include <gtest/gtest.h>

#include "standin/model/session.h"
#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using project::DescribeRecord;

Bytes Text(const char* text, size_t size) { return Bytes(text, text + size); }
Bytes F64(double a, double b) {
  core::automation::ByteWriter w(16);
  w.F64(0, a), w.F64(8, b);
  return w.Take();
}

TEST(RecordsTest, DescribesEveryKindAsTheGoldenFileSays) {
  standin::model::Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  const auto* sources = &session.simulator().sources();
  std::string text;
  for (const auto& [id, record] : SampleRecords()) {
    text += DescribeRecord(record.data(), record.size(), sources) + "\n";
  }
  const struct {
    const char* what;
    Bytes record;
  } changed[] = {
      {"clearing: bytes 8 to 15 mean nothing",
       Patched(101, 8, {9, 9, 9, 9, 9, 9, 9, 9, 0xFF, 0xFF})},
      {"I/O access extras", Patched(102, 12,
                                    {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F,
                                     0xFE, 0xFF, 0xFF, 0xFF})},
      {"a port above 0x7FFF", Patched(103, 16, {0x00, 0x80, 0xFF, 0xFF})},
      {"transfer: 8BIT*", Patched(104, 16, {0x81})},
      {"transfer: unknown codes", Patched(104, 16, {0xFF, 0xFF, 0x03})},
      {"transfer: a byte past its fields", Patched(104, 40, {0xCC})},
      {"doubles", With(With(Patched(105, 18, {8}), 32, {2, 0, 0, 0}), 36, F64(7.0, -2.5))},
      {"random", With(Patched(105, 16, {2, 1, 2}), 36, F64(1.5, 2.5))},
      {"an unknown pattern", Patched(105, 16, {7})},
      {"a list longer than the record", Patched(105, 32, {150})},
      {"connect without members", Patched(107, 16, {0, 0, 0, 0, 0, 0, 0, 0})},
      {"connect: a byte past its members", Patched(107, 25, {1})},
      {"a message type outside the table", Patched(108, 20, {10})},
      {"control: restart", Patched(109, 20, {3})},
      {"sio: sixteen characters and odd bytes", Patched(110, 28,
                                                        Text("A\"B\\\x01"
                                                             "CDEFGHIJKLM",
                                                             16))},
      {"sio: unresolved sources",
       Patched(110, 20, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"an unknown action", Patched(100, 6, {3})},
  };
  for (const auto& [what, record] : changed) {
    text += std::string(what) + ": " + DescribeRecord(record.data(), record.size(), sources) + "\n";
  }
  // Never read past what was given; without a source list the codes stand alone.
  const Bytes& interrupt = SampleRecords().at(100);
  text += DescribeRecord(interrupt.data(), 18) + "\n" + DescribeRecord(interrupt.data(), 4) + "\n" +
          DescribeRecord(interrupt.data(), interrupt.size()) + "\n";
  const Bytes many = Patched(107, 16, {0xFF, 0x01});
  text += DescribeRecord(many.data(), many.size()) + "\n";
  const std::pair<uint16_t, int32_t> commands[] = {{0x101, 101},        {0x102, -1},  {0x103, 355},
                                                   {0x104, 0},          {0x105, 100}, {0x106, -1},
                                                   {0x200, 0x78563412}, {0x107, 101}};
  for (const auto& [code, id] : commands) {
    text += project::DescribeCommand(CommandBlock(code, id).data()) + "\n";
  }
  test_support::ExpectGolden("standin/golden/records.txt", text);
}

}  // namespace
}  // namespace standin_test
