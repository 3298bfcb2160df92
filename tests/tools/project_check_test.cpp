// The checker over the malformed projects and the sample: what it says about each line and which
// line each trigger came from (against a golden report of every project in the corpus); --fix
// writing back only the section; and the sample's list and records against the golden files the
// add-in under Wine is compared with too.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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
}

TEST(ProjectCheckTest, TheSampleSaysWhereEachTriggerCameFromAndAMissingProjectIsNotChecked) {
  const ProjectCheck check(kSample.string());
  ASSERT_EQ(check.triggers().size(), 13u);
  for (size_t slot = 0; slot < 13; ++slot) {
    EXPECT_EQ(check.triggers()[slot].key, std::to_string(slot));
    EXPECT_EQ(check.triggers()[slot].line, 42 + static_cast<int>(slot)) << "the key's line";
  }
  const ProjectCheck missing((kMalformedDir / "no_such_project.vpj").string());
  EXPECT_FALSE(missing.opened());
  EXPECT_NE(missing.open_error().find("no_such_project.vpj"), std::string::npos);
  EXPECT_EQ(missing.Status(), 2);
}

// ---- --fix ----

// The file without the entries a save writes: MaxNum and the keys "0".."255" of the first
// [Trigger] section. Everything else must come through a save byte for byte.
std::string WithoutSavedEntries(const std::string& text) {
  std::string out;
  bool in_first_trigger = false, trigger_seen = false;
  for (size_t start = 0, end; start < text.size(); start = end) {
    end = std::min(text.find('\n', start), text.size() - 1) + 1;
    const std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] == '[') {
      const bool trigger = core::automation::EqualsIgnoreCase(line.substr(0, 9), "[Trigger]");
      in_first_trigger = trigger && !trigger_seen;
      trigger_seen = trigger_seen || trigger;
    }
    const std::string key = line.substr(0, line.find('='));
    const bool saved_key =
        core::automation::EqualsIgnoreCase(key, "MaxNum") ||
        (!key.empty() && key.size() <= 3 &&
         key.find_first_not_of("0123456789") == std::string::npos && (key == "0" || key[0] != '0'));
    if (!(in_first_trigger && saved_key && line.find('=') != std::string::npos)) out += line;
  }
  return out;
}

// The triggers a save must bring back: every one by kind and name, and a registered one with its
// line (without the id), registered again. A trigger left out of the simulator may hold an empty
// field, and a line with an empty field is read only up to it: such a line does not come back
// whole, which the fix reports.
std::multiset<std::string> Triggers(const ProjectCheck& check, bool registered) {
  std::multiset<std::string> out;
  for (const auto& row : check.triggers()) {
    if (row.registered != registered && registered) continue;
    out.insert(row.type + "|" + row.name +
               (registered ? "|" + row.definition.substr(row.definition.find(',')) : ""));
  }
  return out;
}

TEST(FixTest, ASaveWritesTheTriggersBackAndLeavesTheRestByteForByte) {
  test_support::ScratchDir scratch;
  std::vector<std::filesystem::path> projects = Corpus();
  projects.push_back(kSample);
  for (const auto& project : projects) {
    SCOPED_TRACE(project.filename().string());
    const std::filesystem::path copy = scratch.Copy(project);
    const std::string original = ReadBytes(copy);
    std::multiset<std::string> all, registered;
    FixOutcome fix;
    size_t unregistered = 0;
    {
      ProjectCheck check(copy.string());
      all = Triggers(check, false);
      registered = Triggers(check, true);
      unregistered = check.triggers().size() - registered.size();
      fix = check.Fix();
    }
    ASSERT_TRUE(fix.ok) << fix.error;
    const std::string fixed = ReadBytes(copy);
    if (!fix.written) {
      EXPECT_EQ(fixed, original);
      EXPECT_TRUE(fix.backup.empty());
      continue;
    }
    EXPECT_EQ(ReadBytes(fix.backup), original) << "the backup is the file as it was";
    EXPECT_EQ(WithoutSavedEntries(fixed), WithoutSavedEntries(original));

    // Read again, every trigger comes back as it was, numbered without gaps from its key.
    ProjectCheck again(copy.string());
    EXPECT_EQ(Triggers(again, false), all);
    const std::multiset<std::string> back = Triggers(again, true);
    EXPECT_TRUE(std::includes(back.begin(), back.end(), registered.begin(), registered.end()));
    EXPECT_EQ(fix.rewritten.size(), unregistered) << "every line not kept as written is named";
    for (size_t i = 0; i < again.triggers().size(); ++i) {
      EXPECT_EQ(again.triggers()[i].key, std::to_string(i));
      EXPECT_EQ(again.triggers()[i].id, 100 + static_cast<int32_t>(i));
    }
    for (const Diagnostic& d : again.diagnostics()) {
      EXPECT_NE(d.state, "skipped") << d.key << ": " << d.message;
    }
    EXPECT_EQ(static_cast<int>(fix.left.size()),
              std::count_if(again.diagnostics().begin(), again.diagnostics().end(),
                            [](const Diagnostic& d) { return d.state == "not read"; }))
        << "what the save left behind is not loaded";
    if (unregistered == 0) {
      const FixOutcome twice = again.Fix();
      EXPECT_TRUE(twice.ok && !twice.written) << "a fixed section needs no second fix";
    }
  }
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
