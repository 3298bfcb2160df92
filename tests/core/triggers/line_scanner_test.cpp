// The scan-pattern reader: where a scan stops and what it stores.
#include "core/triggers/line_scanner.h"

#include <gtest/gtest.h>

namespace {

using core::triggers::ScanLine;
using core::triggers::ScanStop;
using Cause = ScanStop::Cause;

struct Fields {
  int32_t id = -7;
  std::string keyword = "?";
  std::string name = "?";
  int32_t cycle = -7;
  int32_t wait = -7;
};

ScanStop ScanInterruptLike(const std::string& line, Fields& f) {
  return core::triggers::ScanLineStop(line, "%d,%[^,],%[^,],%d,%d",
                                      {&f.id, &f.keyword, &f.name, &f.cycle, &f.wait});
}

TEST(LineScannerTest, StopsWhereTheC_LibraryWould) {
  const std::string long_name(259, 'n');
  const std::string too_long(260, 'n');
  struct Case {
    std::string line;
    int stored;
    Fields expected;
    Cause cause;
    size_t left = 0;  // where the scan left the line
  };
  // %d skips white space, %[ does not; an empty text field ends the scan; overflowing decimals
  // wrap modulo 2^32.
  // clang-format off
  const Case cases[] = {
      {"100,interrupt,pump,5,-6", 5, {100, "interrupt", "pump", 5, -6}, Cause::Done, 23},
      {" 100,a b,c d , 5,\t6", 5, {100, "a b", "c d ", 5, 6}, Cause::Done, 19},
      {"100,k,,5,6", 2, {100, "k", "?", -7, -7}, Cause::EmptyText, 6},
      {"100,k", 2, {100, "k", "?", -7, -7}, Cause::EndOfLine, 5},
      {"100,k,n,5", 4, {100, "k", "n", 5, -7}, Cause::EndOfLine, 9},
      {"100,k,n,x,6", 3, {100, "k", "n", -7, -7}, Cause::Number, 8},
      {"x,k,n,5,6", 0, {}, Cause::Number, 0}, {"", 0, {}, Cause::EndOfLine, 0},
      {"100;k", 1, {100, "?", "?", -7, -7}, Cause::Literal, 3},
      {"+100,k,n,-0,+2", 5, {100, "k", "n", 0, 2}, Cause::Done, 14},
      {"100,k,n,5,6,extra,fields", 5, {100, "k", "n", 5, 6}, Cause::Done, 11},
      {"100,k,n,12abc,6", 4, {100, "k", "n", 12, -7}, Cause::Literal, 10},
      {"100,k," + long_name + ",1,2", 5, {100, "k", long_name, 1, 2}, Cause::Done, 269},
      {"100,k," + too_long + ",1,2", 2, {100, "k", "?", -7, -7}, Cause::LongText, 6},
      {"4294967396,k,n,2147483648,-2147483649", 5, {100, "k", "n", INT32_MIN, INT32_MAX}, Cause::Done, 37},
      {"100,k,n,99999999999999999999,1", 5, {100, "k", "n", 1661992959, 1}, Cause::Done, 30}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 60));
    Fields f;
    const ScanStop stop = ScanInterruptLike(c.line, f);
    EXPECT_EQ(stop.stored, c.stored);
    EXPECT_EQ(static_cast<int>(stop.cause), static_cast<int>(c.cause));
    EXPECT_EQ(stop.position, c.left);
    EXPECT_EQ(f.id, c.expected.id);
    EXPECT_EQ(f.keyword, c.expected.keyword);
    EXPECT_EQ(f.name, c.expected.name);
    EXPECT_EQ(f.cycle, c.expected.cycle);
    EXPECT_EQ(f.wait, c.expected.wait);
  }
}

TEST(LineScannerTest, LiteralKeywordsAndTheRestOfTheLine) {
  int32_t id = 0;
  std::string name, rest;
  // %s takes the rest up to white space; a literal keyword must match exactly.
  EXPECT_EQ(ScanLine("105,connect,c,a,bb,c d", "%d,connect,%[^,],%s", {&id, &name, &rest}), 3);
  EXPECT_EQ(rest, "a,bb,c");
  name = rest = "";
  EXPECT_EQ(ScanLine("105,Connect,c,a", "%d,connect,%[^,],%s", {&id, &name, &rest}), 1);
  EXPECT_EQ(name, "");

  // A space in the pattern skips any white space of the line.
  EXPECT_EQ(ScanLine("1  \t,2", "%d ,%d", {&id, &id}), 2);
  EXPECT_EQ(ScanLine("1,2", "%d ,%d", {&id, &id}), 2);
  uint32_t count = 0;
  EXPECT_EQ(ScanLine("7,-1", "%d,%u", {&id, &count}), 2);
  EXPECT_EQ(count, 0xFFFFFFFFu);

  // A field with its own, smaller limit.
  std::string option;
  EXPECT_EQ(ScanLine("1,falsetto,x", "%d,%[^,],%[^,]", {&id, {&option, 7}, &name}), 1);
  EXPECT_EQ(ScanLine("1,false,x", "%d,%[^,],%[^,]", {&id, {&option, 7}, &name}), 3);
  EXPECT_EQ(option, "false");
}

}  // namespace
