// trigger-check --html: one well-formed page per project, with every trigger's row, every
// problem of the text report, a chart per data pattern, and the project's text escaped.
#include <gtest/gtest.h>

#include <regex>

#include "tests/tools/tool_test_support.h"

namespace {

using tool_test::Check;

// Tags nest and close (void elements aside), and no text holds a bare "<" or "&".
std::string Malformation(const std::string& page) {
  std::vector<std::string> open;
  const std::regex token(
      R"(<(/?)([a-zA-Z0-9]+)[^<>]*?(/?)>|<!DOCTYPE html>|[<>]|&(?!(amp|lt|gt|quot|#39);))");
  for (std::sregex_iterator it(page.begin(), page.end(), token), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (m[0].length() == 1) return "bare " + m.str(0) + " at " + std::to_string(m.position(0));
    if (m[2].length() == 0 || m[3].length() == 1 || m.str(2) == "meta") continue;
    if (m[1].length() == 0) {
      open.push_back(m.str(2));
    } else if (open.empty() || open.back() != m.str(2)) {
      return "</" + m.str(2) + "> at " + std::to_string(m.position(0));
    } else {
      open.pop_back();
    }
  }
  return open.empty() ? "" : "<" + open.back() + "> not closed";
}

// How often a regular expression matches.
auto Count(const std::string& text, const char* pattern) {
  const std::regex expression(pattern);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), expression), {});
}

TEST(HtmlReportTest, APagePerProjectWithTheTableTheProblemsAndTheCharts) {
  test_support::ScratchDir scratch;
  const auto odd = scratch / "odd.vpj";
  test_support::WriteBytes(
      odd,
      "[Trigger]\nMaxNum=2\n0=100,Data,a<b&\"c\",0x20,8BIT,SINGLE,DEFAULT,1,"
      "x<y,),0,0,0x0\n1=101,Data,r,0x20,8BIT,SINGLE,RANDOM,10,1,200,),0,0,0\n");
  const auto folder = scratch / "pages";
  const tool_test::Outcome run = Check({"--html", folder.string(), tool_test::kSample.string(),
                                        tool_test::Malformed("refused_values.vpj"), odd.string()});
  EXPECT_EQ(run.status, 1);

  const std::string sample = test_support::ReadBytes(folder / "sample.html");
  EXPECT_EQ(Malformation(sample), "");
  EXPECT_EQ(Count(sample, "<tr>"), 14);  // the header and the 13 triggers
  EXPECT_EQ(Count(sample, "<svg "), 2);
  EXPECT_NE(sample.find("32 values drawn by the simulator between 0 and 1023"), std::string::npos);
  EXPECT_EQ(sample.find("<script"), std::string::npos);

  const std::string refused = test_support::ReadBytes(folder / "refused_values.html");
  EXPECT_EQ(Malformation(refused), "");
  EXPECT_EQ(Count(refused, "<li class="), Count(run.out, R"(refused_values\.vpj:[0-9]+: )"));
  EXPECT_NE(refused.find("field Members: &quot;nobody&quot; names no trigger"), std::string::npos);

  const std::string page = test_support::ReadBytes(folder / "odd.html");
  EXPECT_EQ(Malformation(page), "");
  EXPECT_NE(page.find("a&lt;b&amp;&quot;c&quot;"), std::string::npos);
  EXPECT_NE(page.find("Value 2, &quot;x&lt;y&quot;, is not a whole number."), std::string::npos);
  EXPECT_EQ(Count(page, "<svg "), 1);
}

}  // namespace
