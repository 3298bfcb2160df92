// trigger-check's command line: exit statuses and usage errors, the compiler-like text form and
// the JSON lines (against a golden file), and --export as the add-in exports.
#include "tools/trigger-check/cli.h"

#include <gtest/gtest.h>

#include "tests/tools/tool_test_support.h"

namespace {

using tool_test::Check;
using tool_test::kSample;
using tool_test::Malformed;

// (The checker decides which findings give a project the status 1; the corpus report states the
// rule.)
TEST(CliTest, ExitStatusTellsCleanProblemsAndUnusable) {
  const std::string sample = kSample.string();
  const std::string missing = Malformed("no_such_project.vpj");
  const std::string refused = Malformed("refused_values.vpj");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;  // the start of the usage error, if any
  };
  // clang-format off
  const Case cases[] = {
      {{sample}, 0, ""}, {{"--json", "--list", "--records", sample}, 0, ""}, {{refused}, 1, ""},
      {{sample, refused}, 1, ""}, {{missing}, 2, ""}, {{sample, missing, refused}, 2, ""},
      {{"--help"}, 0, ""}, {{"--", "--json"}, 2, ""},  // a project named --json: there is none
      {{}, 2, "trigger-check: no project given"},
      {{"--lsit", sample}, 2, "trigger-check: unknown option \"--lsit\""},
      {{sample, "--export"}, 2, "trigger-check: --export needs a file"},
      {{"--export", "a.txt", sample, sample}, 2, "trigger-check: --export writes one list"},
      {{"--export=a.txt", "--export", "b.txt", sample}, 2, "trigger-check: --export is given"},
      {{"--html=d", sample, sample}, 2, "trigger-check: --html writes one page per project name"}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(test_support::Joined(c.args, " "));
    const tool_test::Outcome run = Check(c.args);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
    if (*c.err) {
      EXPECT_NE(run.err.find("usage: trigger-check"), std::string::npos);
    }
  }
  EXPECT_NE(Check({"-h"}).out.find("EXIT STATUS"), std::string::npos);
}

// The text form editors read, the JSON lines of every kind (Latin-1 in a file is UTF-8 in the
// report, control characters escaped), and a project that cannot be read.
TEST(CliTest, ReportsAsTheGoldenFileSays) {
  std::string report = Check({kSample.string()}).out;
  for (const char* file : {"binary_garbage.vpj", "refused_values.vpj"}) {
    report += Check({Malformed(file)}).out;
  }
  std::vector<std::string> json = {"--json", "--list", "--records"};
  for (const char* file : {"binary_garbage.vpj", "non_ascii_names.vpj", "refused_values.vpj",
                           "stray_keys.vpj", "missing_section.vpj", "no_such_project.vpj"}) {
    json.push_back(Malformed(file));
  }
  json.push_back(kSample.string());
  const tool_test::Outcome run = Check(json);
  EXPECT_EQ(run.status, 2);
  test_support::ExpectGolden("tools/golden/cli.txt", report + run.out);
}

TEST(CliTest, TheListIsExportedAsTheAddinExportsIt) {
  test_support::ScratchDir scratch;
  const std::string sample = kSample.string();
  const std::string list = Check({"--list", sample}).out;
  const std::string table = list.substr(0, list.rfind("<source>/examples/sample.vpj: 13 lines"));
  ASSERT_EQ(table.rfind("total number of defined trigger = 13\n", 0), 0u);

  EXPECT_EQ(Check({"--export", (scratch / "list.txt").string(), sample}).status, 0);
  EXPECT_EQ(test_support::ReadBytes(scratch / "list.txt"), table);

  const tool_test::Outcome refused = Check({"--export", (scratch / "list.csv").string(), sample});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.out.find("error: --export"), std::string::npos) << refused.out;
  EXPECT_FALSE(std::filesystem::exists(scratch / "list.csv"));
  const tool_test::Outcome unwritable =
      Check({"--export", (scratch / "no/such/folder/list.txt").string(), sample});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.out.find("could not be written"), std::string::npos) << unwritable.out;
}

}  // namespace
