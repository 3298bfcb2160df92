// The scan-pattern reader: literal keywords, white space in the pattern, limits of fields. (Where a
// scan stops is what the definition lines and the checker's corpus report.)
#include "core/triggers/line_scanner.h"

#include <gtest/gtest.h>

namespace {

using core::triggers::ScanLine;

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
  EXPECT_EQ(ScanLine("+7,x", "%d,%u", {&id, &count}), 1);
  EXPECT_EQ(id, 7);
  const core::triggers::ScanStop stop =
      core::triggers::ScanLineStop("+7,x", "%d,%u", {&id, &count});
  EXPECT_EQ(stop.cause, core::triggers::ScanStop::Cause::Number);
  EXPECT_EQ(stop.position, 3u);

  // A field with its own, smaller limit.
  std::string option;
  EXPECT_EQ(ScanLine("1,falsetto,x", "%d,%[^,],%[^,]", {&id, {&option, 7}, &name}), 1);
  EXPECT_EQ(ScanLine("1,false,x", "%d,%[^,],%[^,]", {&id, {&option, 7}, &name}), 3);
  EXPECT_EQ(option, "false");
}

}  // namespace
