// The checker over the malformed projects and the sample: what it says about each line and which
// line each trigger came from (against a golden report of every project in the corpus); --fix
// writing back only the section; and the sample's list and records against the golden files the
// add-in under Wine is compared with too.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "tests/tools/tool_test_support.h"
#include "tools/trigger-check/checker.h"

namespace {

using test_support::ReadBytes;
using tool_test::kMalformedDir;
using tool_test::kSample;
using trigger_check::Diagnostic;
using trigger_check::FixOutcome;
using trigger_check::ProjectCheck;

// Every project of the corpus, in name order: a project added to it changes the golden report.
std::vector<std::filesystem::path> Corpus() {
  std::vector<std::filesystem::path> projects;
  for (const auto& entry : std::filesystem::directory_iterator(kMalformedDir)) {
    if (entry.path().extension() == ".vpj") projects.push_back(entry.path());
  }
  std::sort(projects.begin(), projects.end());
  return projects;
}

TEST(ProjectCheckTest, EveryMalformedProjectIsReportedLineByLine) {
  std::string report;
  for (const auto& project : Corpus()) {
    SCOPED_TRACE(project.filename().string());
    const ProjectCheck check(project.string());
    ASSERT_TRUE(check.opened()) << check.open_error();
    report += "== " + project.filename().string() + " status " + std::to_string(check.Status()) +
              ", triggers from keys";
    for (const auto& row : check.triggers()) report += " " + row.key;
    report += "\n" + tool_test::Check({project.string()}).out;
    // Every trigger line names its key and itself; the reasons are the add-in's log lines.
    for (const Diagnostic& d : check.diagnostics()) {
      if (d.state == "skipped" || d.state == "not registered") {
        EXPECT_NE(d.log.find("Trigger key " + d.key + " "), std::string::npos) << d.log;
      }
    }
  }
  test_support::ExpectGolden("tools/golden/malformed.txt", report);
  EXPECT_EQ(ProjectCheck((kMalformedDir / "no_such_project.vpj").string()).Status(), 2);
}

// ---- --fix ----

// The lines of `before` that `after` lacks ("-") and those it adds ("+"), each with its line end.
std::string Changes(const std::string& before, const std::string& after) {
  const auto lines = [](const std::string& text) {
    std::multiset<std::string> out;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
      end = std::min(text.find('\n', start), text.size() - 1);
      out.insert(text.substr(start, end + 1 - start));
    }
    return out;
  };
  const std::multiset<std::string> a = lines(before), b = lines(after);
  std::string text;
  for (const auto& [from, to, sign] : {std::tie(a, b, "-"), std::tie(b, a, "+")}) {
    std::vector<std::string> only;
    std::set_difference(from.begin(), from.end(), to.begin(), to.end(), std::back_inserter(only));
    for (std::string line : only) {
      for (size_t at; (at = line.find('\r')) != std::string::npos;) line.replace(at, 1, "\\r");
      text += sign + line + (line.back() == '\n' ? "" : "\n");
    }
  }
  return text;
}

// A save over a copy of every project: what --fix reports, the lines it changed (every other byte
// stays; the backup holds the file as it was), and what a second --fix finds in the fixed file.
TEST(FixTest, ASaveWritesTheTriggersBackAsTheTranscriptSays) {
  test_support::ScratchDir scratch;
  std::vector<std::filesystem::path> projects = Corpus();
  projects.push_back(kSample);
  std::string transcript;
  for (const auto& project : projects) {
    const std::filesystem::path copy = scratch.Copy(project);
    const std::string original = ReadBytes(copy);
    transcript += tool_test::Check({"--fix", copy.string()}).out;
    const std::string fixed = ReadBytes(copy);
    if (fixed == original) continue;
    EXPECT_EQ(ReadBytes(copy.string() + ".bak"), original) << copy;
    transcript += Changes(original, fixed) + tool_test::Check({"--fix", copy.string()}).out;
  }
  const std::string folder = scratch.path().string();
  for (size_t at; (at = transcript.find(folder)) != std::string::npos;) {
    transcript.replace(at, folder.size(), "<scratch>");
  }
  test_support::ExpectGolden("tools/golden/fix.txt", transcript);
}

TEST(FixTest, AnEarlierBackupIsNeverOverwrittenAndAFileThatCannotBeWrittenIsLeft) {
  test_support::ScratchDir scratch;
  const std::filesystem::path gaps = scratch.Copy(kMalformedDir / "key_gaps.vpj");
  test_support::WriteBytes(gaps.string() + ".bak", "the user's own backup");
  const FixOutcome fix = ProjectCheck(gaps.string()).Fix();
  ASSERT_TRUE(fix.ok) << fix.error;
  EXPECT_EQ(fix.backup, gaps.string() + ".bak1");
  EXPECT_EQ(ReadBytes(gaps.string() + ".bak"), "the user's own backup");

  const std::filesystem::path copy = scratch.Copy(kMalformedDir / "read_only.vpj");
  const std::string original = ReadBytes(copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  if (std::ofstream(copy, std::ios::app)) GTEST_SKIP() << "this user may write read-only files";
  ProjectCheck check(copy.string());
  EXPECT_EQ(check.Status(), 1) << "it loads";
  const FixOutcome refused = check.Fix();
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.error.find("cannot write"), std::string::npos) << refused.error;
  EXPECT_EQ(ReadBytes(copy), original);
  EXPECT_FALSE(std::filesystem::exists(copy.string() + ".bak")) << "no backup of a file kept";
}

// ---- The sample, against the files the add-in under Wine is compared with ----

TEST(GoldenTest, TheCheckerGivesTheListRecordsAndLogTheAddinGivesUnderWine) {
  ProjectCheck sample(kSample.string());
  ProjectCheck refused((kMalformedDir / "refused_values.vpj").string());
  // "ID HEX" per record, as the Windows test prints the stand-in's RecordBytes.
  std::string records;
  for (const auto& record : sample.Records()) {
    records += std::to_string(record.id);
    for (uint8_t byte : record.bytes) records += core::automation::Format(" %02X", byte);
    records += '\n';
  }
  // The host log of a load: what the add-in wrote, as the stand-in's log window holds it.
  for (ProjectCheck* check : {&sample, &refused}) {
    EXPECT_EQ(check->LogText().find("Vireo: "), std::string::npos)
        << "no host notes in the projects compared";
  }
  test_support::ExpectGolden("tools/golden/sample-list.txt", sample.ListText());
  test_support::ExpectGolden("tools/golden/sample-records.txt", records);
  test_support::ExpectGolden("tools/golden/sample-log.txt", sample.LogText());
  test_support::ExpectGolden("tools/golden/refused_values-log.txt", refused.LogText());
}

}  // namespace
