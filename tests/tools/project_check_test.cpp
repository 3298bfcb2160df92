// The checker over the malformed projects and the sample: what it says about each line, which
// line each trigger came from, the exit status; --fix writing back only the section; and the
// sample's list and records against the golden files the add-in under Wine is compared with too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "core/automation/strings.h"
#include "tests/tools/tool_test_support.h"
#include "tools/trigger-check/checker.h"

namespace {

using tool_test::kMalformedDir;
using tool_test::kSample;
using tool_test::kSourceDir;
using tool_test::ReadBytes;
using trigger_check::Diagnostic;
using trigger_check::FixOutcome;
using trigger_check::ProjectCheck;
using trigger_check::SeverityName;

// "LINE SEVERITY KEY[ STATE][ FIELD]" per diagnostic, in report order.
std::vector<std::string> Signatures(const ProjectCheck& check) {
  std::vector<std::string> out;
  for (const Diagnostic& d : check.diagnostics()) {
    std::string s = std::to_string(d.line) + " " + SeverityName(d.severity) + " " +
                    (d.key.empty() ? "-" : d.key);
    std::string state = d.state;
    std::replace(state.begin(), state.end(), ' ', '_');
    if (!state.empty()) s += " " + state;
    if (!d.field.empty()) s += " " + d.field;
    out.push_back(s);
  }
  return out;
}

struct Expected {
  const char* file;
  int status;
  std::vector<std::string> diagnostics;
  std::vector<std::string> keys;  // the key each trigger came from, in slot order
};

const std::vector<Expected>& Corpus() {
  static const std::vector<Expected> corpus = {
      {"binary_garbage.vpj",
       1,
       {"18 error 0 skipped", "20 error 2 skipped", "21 error 3 skipped"},
       {"1"}},
      {"duplicate_ids.vpj", 1, {"19 error 1 skipped"}, {"0", "2"}},
      {"duplicate_names.vpj", 1, {"19 warning 1 Name"}, {"0", "1", "2"}},
      {"empty_section.vpj", 0, {}, {}},
      {"extra_fields.vpj",
       1,
       {"18 warning 0", "19 warning 1", "20 warning 2", "21 warning 3", "22 warning 4",
        "23 error 5 not_registered Mask", "23 note 5", "24 warning 6", "25 warning 7",
        "26 warning 8", "27 warning 9", "28 warning 10"},
       {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"ids_out_of_range.vpj",
       1,
       {"18 error 0 skipped", "19 error 1 skipped", "20 error 2 skipped", "22 error 4 skipped"},
       {"3"}},
      {"key_gaps.vpj", 1, {"20 warning 5"}, {"0", "2", "5"}},
      {"long_line.vpj",
       1,
       {"18 error 0 Name", "18 error 0 Source", "18 error 0 not_registered Name"},
       {"0", "1"}},
      {"maxnum_missing.vpj",
       1,
       {"16 warning MaxNum", "17 note 0 not_read", "18 note 1 not_read"},
       {}},
      {"maxnum_not_a_number.vpj",
       1,
       {"17 warning MaxNum", "18 note 0 not_read", "19 note 1 not_read"},
       {}},
      {"maxnum_too_large.vpj", 1, {"17 warning MaxNum"}, {"0", "1", "2"}},
      {"maxnum_too_small.vpj", 0, {"20 note 2 not_read", "21 note 3 not_read"}, {"0", "1"}},
      {"missing_fields.vpj",
       1,
       {"18 error 0 Source",
        "18 error 0 Source",
        "18 error 0 not_registered Source",
        "19 warning 1 Cycle",
        "20 error 2 Name",
        "20 error 2 not_registered Name",
        "21 error 3 Size",
        "21 error 3 not_registered Source",
        "22 error 4 not_registered StreamSource",
        "23 warning 5 DataList",
        "24 error 6 Name",
        "24 error 6 not_registered Name",
        "25 error 7 Destination",
        "25 error 7 not_registered Destination",
        "26 error 8 Action",
        "26 error 8 not_registered Action",
        "27 error 9 Source",
        "27 error 9 DstMode",
        "27 error 9 SrcMode",
        "27 error 9 not_registered DstMode",
        "28 error 10 Name",
        "28 error 10 not_registered Name"},
       {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"missing_section.vpj", 0, {"0 note -"}, {}},
      {"mixed_line_ends.vpj", 1, {"14 warning 1"}, {"0", "1"}},
      {"non_ascii_names.vpj", 0, {}, {"0", "1"}},
      {"read_only.vpj", 1, {"19 warning 2", "20 warning 3"}, {"0", "2", "3"}},
      {"refused_values.vpj",
       1,
       {"18 error 0 Source", "18 error 0 not_registered Source", "19 error 1 Size",
        "19 error 1 DstModeValue", "19 error 1 SrcMode", "19 error 1 not_registered SrcMode",
        "20 error 2 Source", "20 error 2 not_registered Source", "20 note 2",
        "21 error 3 not_registered Target", "22 warning 4 Members", "23 warning 5 Members",
        "24 error 6 SrcMode", "24 error 6 not_registered SrcMode", "25 error 7 not_registered Size",
        "26 warning 8 Destination"},
       {"0", "1", "2", "3", "4", "5", "6", "7", "8"}},
      {"stray_keys.vpj",
       1,
       {"19 warning 01", "20 warning Count", "22 warning 0", "24 warning -"},
       {"0", "1"}},
      {"truncated_lines.vpj",
       1,
       {"18 warning 0 Wait", "19 error 1 Destination", "19 error 1 not_registered Destination",
        "20 warning 2 DataList", "20 warning 2 Cycle", "21 error 3 Destination",
        "21 error 3 not_registered Destination", "22 error 4 SrcMode", "22 error 4 SrcMode",
        "22 error 4 not_registered SrcMode", "23 error 5 Action",
        "23 error 5 not_registered Action", "24 error 6 skipped"},
       {"0", "1", "2", "3", "4", "5"}},
      {"unknown_keywords.vpj",
       1,
       {"18 error 0 skipped", "19 error 1", "19 error 1 keyword", "19 error 1 not_registered Name",
        "20 error 2", "20 error 2 keyword", "20 error 2 not_registered", "21 warning 3",
        "22 error 4 skipped"},
       {"1", "2", "3"}},
  };
  return corpus;
}

TEST(ProjectCheckTest, EveryMalformedProjectIsReportedLineByLine) {
  std::set<std::string> listed;
  for (const Expected& expected : Corpus()) {
    SCOPED_TRACE(expected.file);
    listed.insert(expected.file);
    const ProjectCheck check((kMalformedDir / expected.file).string());
    ASSERT_TRUE(check.opened()) << check.open_error();
    EXPECT_EQ(Signatures(check), expected.diagnostics);
    EXPECT_EQ(check.Status(), expected.status);
    std::vector<std::string> keys;
    for (const auto& row : check.triggers()) keys.push_back(row.key);
    EXPECT_EQ(keys, expected.keys);
    // Every trigger line names its key and itself; the reasons are the add-in's log lines.
    for (const Diagnostic& d : check.diagnostics()) {
      if (d.state == "skipped" || d.state == "not registered") {
        EXPECT_FALSE(d.log.empty()) << d.message;
        EXPECT_NE(d.log.find("Trigger key " + d.key + " "), std::string::npos) << d.log;
      }
    }
  }
  // A project added to the corpus comes with its expectations.
  for (const auto& entry : std::filesystem::directory_iterator(kMalformedDir)) {
    if (entry.path().extension() == ".vpj") {
      EXPECT_EQ(listed.count(entry.path().filename().string()), 1u) << entry.path();
    }
  }
}

// (That it has no findings and registers all thirteen is its summary line's to say, in the
// command line's test.)
TEST(ProjectCheckTest, TheSampleSaysWhereEachTriggerCameFrom) {
  const ProjectCheck check(kSample.string());
  ASSERT_EQ(check.triggers().size(), 13u);
  for (size_t slot = 0; slot < 13; ++slot) {
    const auto& row = check.triggers()[slot];
    EXPECT_EQ(row.key, std::to_string(slot));
    EXPECT_EQ(row.line, 42 + static_cast<int>(slot)) << "the line of the key in the file";
  }
}

TEST(ProjectCheckTest, AnUnreadableProjectIsNotChecked) {
  const ProjectCheck check((kMalformedDir / "no_such_project.vpj").string());
  EXPECT_FALSE(check.opened());
  EXPECT_NE(check.open_error().find("no_such_project.vpj"), std::string::npos);
  EXPECT_EQ(check.Status(), 2);
}

// ---- --fix ----

// The file without the entries a save writes: MaxNum and the keys "0".."255" of the first
// [Trigger] section. Everything else must come through a save byte for byte.
std::string WithoutSavedEntries(const std::string& text) {
  std::string out;
  bool in_first_trigger = false;
  bool trigger_seen = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string line = text.substr(start, end - start);
    start = end;
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

class FixTest : public tool_test::ScratchTest {};

TEST_F(FixTest, ASaveWritesTheTriggersBackAndLeavesTheRestByteForByte) {
  std::vector<std::filesystem::path> projects = {kSample};
  for (const Expected& expected : Corpus()) projects.push_back(kMalformedDir / expected.file);
  for (const auto& project : projects) {
    SCOPED_TRACE(project.filename().string());
    const std::filesystem::path copy = Copy(project);
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

TEST_F(FixTest, AFileThatCannotBeWrittenIsLeftAsItWas) {
  const std::filesystem::path copy = Copy(kMalformedDir / "read_only.vpj");
  const std::string original = ReadBytes(copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  if (std::ofstream(copy, std::ios::app)) {
    GTEST_SKIP() << "this user may write read-only files (root)";
  }
  ProjectCheck check(copy.string());
  EXPECT_EQ(check.Status(), 1) << "it loads";
  const FixOutcome fix = check.Fix();
  EXPECT_FALSE(fix.ok);
  EXPECT_NE(fix.error.find("cannot write"), std::string::npos) << fix.error;
  EXPECT_EQ(ReadBytes(copy), original);
  EXPECT_FALSE(std::filesystem::exists(copy.string() + ".bak")) << "no backup of a file kept";
}

TEST_F(FixTest, AnEarlierBackupIsNeverOverwritten) {
  const std::filesystem::path copy = Copy(kMalformedDir / "key_gaps.vpj");
  tool_test::WriteBytes(copy.string() + ".bak", "the user's own backup");
  const FixOutcome fix = ProjectCheck(copy.string()).Fix();
  ASSERT_TRUE(fix.ok) << fix.error;
  EXPECT_EQ(fix.backup, copy.string() + ".bak1");
  EXPECT_EQ(ReadBytes(copy.string() + ".bak"), "the user's own backup");
}

// ---- The sample, against the files the add-in under Wine is compared with ----

// "ID HEX" per record, as the Windows test prints the stand-in's RecordBytes.
std::string RecordLines(const ProjectCheck& check) {
  std::string text;
  for (const auto& record : check.Records()) {
    text += std::to_string(record.id);
    for (uint8_t byte : record.bytes) text += core::automation::Format(" %02X", byte);
    text += '\n';
  }
  return text;
}

// The host log of a load: what the add-in wrote, as the stand-in's log window holds it.
std::string LoadLog(ProjectCheck& check) {
  const std::string log = check.LogText();
  EXPECT_EQ(log.find("Vireo: "), std::string::npos) << "no host notes in the projects compared";
  return log;
}

TEST(GoldenTest, TheCheckerGivesTheListRecordsAndLogTheAddinGivesUnderWine) {
  const std::filesystem::path golden = kSourceDir / "tests/tools/golden";
  ProjectCheck sample(kSample.string());
  ProjectCheck refused((kMalformedDir / "refused_values.vpj").string());
  const std::map<std::string, std::string> files = {
      {"sample-list.txt", sample.ListText()},
      {"sample-records.txt", RecordLines(sample)},
      {"sample-log.txt", LoadLog(sample)},
      {"refused_values-log.txt", LoadLog(refused)},
  };
  // TRIGGER_CHECK_WRITE_GOLDEN=1 writes them afresh, after a change meant to alter them.
  if (std::getenv("TRIGGER_CHECK_WRITE_GOLDEN") != nullptr) {
    for (const auto& [name, text] : files) tool_test::WriteBytes(golden / name, text);
    GTEST_SKIP() << "golden files written";
  }
  for (const auto& [name, text] : files) EXPECT_EQ(text, ReadBytes(golden / name)) << name;
}

}  // namespace
