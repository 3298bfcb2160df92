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

// A pattern taken apart once reads a line as its text does: the same fields, the same stop.
TEST(LineScannerTest, APatternTakenApartOnceReadsAsItsText) {
  using core::triggers::ScanLineStop;
  using core::triggers::ScanPattern;
  const struct {
    const char* pattern;
    const char* line;
  } kCases[] = {
      {"%d,%[^,],%u", "1,ab,3"},
      {"%d,connect,%[^,],%s", "5,connect,n,a,b c"},
      {"%d , %u", "1  ,\t7"},
      {"%d,x", "1,y"},
      {"%d,%d", "1,"},
      {"%d,%d", "1,z"},
      {"%[^,],%d", ",1"},
      {"%[^;,]%d", "ab;1"},
      {"%d,%[^,]", "1,toolong"},
      {"%q", "1"},
      {"%[abc]", "x"},
      {"%d%", "1%"},
      {"%d,%[^,],%d,%d,%d", "1,a,2"},
  };
  for (const auto& c : kCases) {
    int32_t id[2] = {-1, -1};
    uint32_t count[2] = {9, 9};
    std::string_view text[2] = {"~", "~"};
    std::string word[2] = {"~", "~"};
    const ScanPattern compiled(c.pattern);
    core::triggers::ScanStop stops[2];
    for (int i = 0; i < 2; ++i) {
      const std::initializer_list<core::triggers::ScanField> fields = {
          &id[i], {&text[i], 5}, &count[i], &word[i], &id[i]};
      stops[i] =
          i == 0 ? ScanLineStop(c.line, c.pattern, fields) : ScanLineStop(c.line, compiled, fields);
    }
    const std::string what = std::string(c.pattern) + " over " + c.line;
    EXPECT_EQ(stops[0].stored, stops[1].stored) << what;
    EXPECT_EQ(stops[0].cause, stops[1].cause) << what;
    EXPECT_EQ(stops[0].position, stops[1].position) << what;
    EXPECT_EQ(stops[0].field_start, stops[1].field_start) << what;
    EXPECT_EQ(stops[0].literal, stops[1].literal) << what;
    EXPECT_EQ(id[0], id[1]) << what;
    EXPECT_EQ(text[0], text[1]) << what;
    EXPECT_EQ(count[0], count[1]) << what;
    EXPECT_EQ(word[0], word[1]) << what;
  }
}

// Fields are found sixteen characters at a time: a comma before, at and after each boundary of
// that, from every start, is found where a plain search finds it; a word ends at any white space
// (and at nothing else, such as the bytes next to \t and \r).
TEST(LineScannerTest, FieldEndsAcrossSixteenCharacterBlocks) {
  for (size_t size = 0; size <= 40; ++size) {
    for (size_t end = 0; end <= size; ++end) {
      std::string text(size, 'a');
      if (end < size) text[end] = ',';
      for (size_t from = 0; from <= size + 1; ++from) {
        EXPECT_EQ(core::automation::FindChar(text, ',', from),
                  std::string_view(text).find(',', from))
            << size << " " << end << " " << from;
      }
      for (const char space : {' ', '\t', '\n', '\v', '\f', '\r', '\x08', '\x0E', '\x88'}) {
        std::string word(size + 2, 'a');
        word[end + 1] = space;
        std::string read;
        ScanLine(word, "%s", {&read});
        const bool white = space == ' ' || (space >= '\t' && space <= '\r');
        EXPECT_EQ(read.size(), white ? end + 1 : size + 2)
            << size << " " << end << " " << int{space};
      }
    }
  }
}

}  // namespace
