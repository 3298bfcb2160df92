// trigger-check's command line: exit statuses and usage errors, the compiler-like text form, the
// shape of every JSON line, and --export as the add-in exports.
#include "tools/trigger-check/cli.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/tools/tool_test_support.h"

namespace {

using tool_test::kMalformedDir;
using tool_test::kSample;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

Outcome Check(std::vector<std::string> args) {
  std::ostringstream out, err;
  Outcome run;
  run.status = trigger_check::RunTriggerCheck(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string Malformed(const char* file) { return (kMalformedDir / file).string(); }

// (Which findings make a project's status 1 is the checker's rule, in the corpus table.)
TEST(CliTest, ExitStatusTellsCleanProblemsAndUnusable) {
  const std::string sample = kSample.string();
  const std::string missing = Malformed("no_such_project.vpj");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;  // the start of the usage error, if any
  };
  const Case cases[] = {
      {{sample}, 0, ""},
      {{"--json", "--list", "--records", sample}, 0, ""},
      {{Malformed("refused_values.vpj")}, 1, ""},
      {{sample, Malformed("refused_values.vpj")}, 1, ""},
      {{missing}, 2, ""},
      {{sample, missing, Malformed("refused_values.vpj")}, 2, ""},
      {{}, 2, "trigger-check: no project given"},
      {{"--lsit", sample}, 2, "trigger-check: unknown option \"--lsit\""},
      {{sample, "--export"}, 2, "trigger-check: --export needs a file"},
      {{"--export", "a.txt", sample, sample}, 2, "trigger-check: --export writes one list"},
      {{"--export=a.txt", "--export", "b.txt", sample}, 2, "trigger-check: --export is given"},
      {{"--help"}, 0, ""},
      {{"--", "--json"}, 2, ""},  // a project named --json, which does not exist
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args) joined += arg + " ";
    SCOPED_TRACE(joined);
    const Outcome run = Check(c.args);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
    if (*c.err) {
      EXPECT_NE(run.err.find("usage: trigger-check"), std::string::npos);
    }
  }
  EXPECT_NE(Check({"-h"}).out.find("EXIT STATUS"), std::string::npos);
}

TEST(CliTest, ProblemsAreReportedInTheFormEditorsRead) {
  const std::string file = Malformed("refused_values.vpj");
  const Outcome run = Check({file});
  const std::string expected[] = {
      file +
          ":18: error: key 0 (trigger 100 \"irq\"), field Source: Invalid parameter: illegal "
          "interrupt source\n",
      file + ":18: error: key 0 (trigger 100 \"irq\") not registered, field Source: empty\n",
      file +
          ":20: note: key 2 (trigger 102 \"move2\"): the evaluator cannot read \"NOWHERE\": "
          "unknown symbol 'NOWHERE' at column 1\n",
      file +
          ":22: warning: key 4 (trigger 104 \"group\"), field Members: \"nobody\" names no "
          "trigger; the record holds id 99 in its place\n",
      file + ": 9 lines, 9 triggers loaded, 3 registered: 12 errors, 3 warnings, 1 note\n",
  };
  for (const std::string& line : expected) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "in\n" << run.out;
  }
  EXPECT_EQ(Check({kSample.string()}).out,
            kSample.string() + ": 13 lines, 13 triggers loaded, 13 registered: no problems\n");
  // Text outside ASCII comes out as UTF-8, control characters escaped.
  const std::string garbage = Check({Malformed("binary_garbage.vpj")}).out;
  EXPECT_NE(garbage.find("\\x09"), std::string::npos);
  EXPECT_EQ(garbage.find('\t'), std::string::npos);
}

// ---- JSON lines ----

// A flat JSON object read strictly: its member names in order and each value's kind ("string",
// "number", "null", "bool", "array"). Fails the test on anything that is not valid JSON text.
std::vector<std::pair<std::string, std::string>> Members(const std::string& line) {
  std::vector<std::pair<std::string, std::string>> members;
  size_t i = 0;
  auto fail = [&](const char* why) {
    ADD_FAILURE() << why << " at " << i << ": " << line;
    return std::vector<std::pair<std::string, std::string>>{};
  };
  auto string = [&](std::string* text) {
    if (line[i] != '"') return false;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      const auto byte = static_cast<unsigned char>(line[i]);
      if (byte < 0x20) return false;
      if (line[i] == '\\') {
        ++i;
        if (i >= line.size() || std::string("\"\\/bfnrtu").find(line[i]) == std::string::npos) {
          return false;
        }
      }
      if (text) *text += line[i];
    }
    return i++ < line.size();
  };
  if (line.empty() || line[i++] != '{') return fail("no object");
  while (i < line.size()) {
    std::string name;
    if (!string(&name) || line[i++] != ':') return fail("no member name");
    std::string kind;
    if (line[i] == '"') {
      if (!string(nullptr)) return fail("bad string");
      kind = "string";
    } else if (line.compare(i, 4, "null") == 0) {
      i += 4;
      kind = "null";
    } else if (line.compare(i, 4, "true") == 0 || line.compare(i, 5, "false") == 0) {
      i += line[i] == 't' ? 4 : 5;
      kind = "bool";
    } else if (line[i] == '[') {
      for (++i; line[i] != ']';) {
        if (!string(nullptr)) return fail("bad array");
        if (line[i] == ',') ++i;
      }
      ++i;
      kind = "array";
    } else {
      const size_t start = i;
      if (line[i] == '-') ++i;
      while (i < line.size() && isdigit(static_cast<unsigned char>(line[i]))) ++i;
      if (i == start) return fail("no value");
      kind = "number";
    }
    members.emplace_back(name, kind);
    if (line[i] == '}') return i + 1 == line.size() ? members : fail("text after the object");
    if (line[i++] != ',') return fail("no comma");
  }
  return fail("unterminated");
}

TEST(CliTest, EveryJsonLineHasItsDocumentedShape) {
  // Member names in order; a value may be null where it is absent.
  const std::map<std::string, std::vector<std::string>> shapes = {
      {"diagnostic",
       {"type", "file", "line", "severity", "section", "key", "id", "name", "state", "field",
        "message", "log"}},
      {"trigger",
       {"type", "file", "key", "line", "slot", "id", "name", "kind", "status", "registered",
        "definition"}},
      {"list", {"type", "file", "text"}},
      {"record", {"type", "file", "id", "decoded", "bytes"}},
      {"summary",
       {"type", "file", "lines", "loaded", "registered", "errors", "warnings", "notes", "status"}},
  };
  std::map<std::string, int> seen;
  std::vector<std::string> args = {"--json", "--list", "--records"};
  for (const char* file : {"binary_garbage.vpj", "non_ascii_names.vpj", "refused_values.vpj",
                           "stray_keys.vpj", "missing_section.vpj"}) {
    args.push_back(Malformed(file));
  }
  args.push_back(kSample.string());
  const Outcome run = Check(args);
  EXPECT_EQ(run.status, 1);
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    const auto members = Members(line);
    ASSERT_FALSE(members.empty());
    ASSERT_EQ(members[0].first, "type");
    const std::string type = line.substr(9, line.find('"', 9) - 9);
    ++seen[type];
    ASSERT_EQ(shapes.count(type), 1u) << line;
    std::vector<std::string> names;
    for (const auto& [name, kind] : members) names.push_back(name);
    EXPECT_EQ(names, shapes.at(type)) << line;
  }
  EXPECT_EQ(seen["summary"], 6);
  EXPECT_EQ(seen["list"], 6);
  EXPECT_EQ(seen["record"], 13 + 1 + 2 + 3 + 2) << "what the simulator holds of each project";
  EXPECT_GT(seen["diagnostic"], 20);
  // Latin-1 in the file is UTF-8 in the report; UTF-8 stays as it was.
  EXPECT_NE(run.out.find("\"name\":\"z\xC3\xA4hler\""), std::string::npos);
  EXPECT_NE(run.out.find("\"name\":\"\xC3\xA9v\xC3\xA9nement\""), std::string::npos);
}

TEST(CliTest, UnreadableProjectsAndFixesHaveJsonLinesToo) {
  const Outcome missing = Check({"--json", Malformed("no_such_project.vpj")});
  EXPECT_EQ(missing.status, 2);
  std::istringstream lines(missing.out);
  std::string diagnostic, summary;
  std::getline(lines, diagnostic);
  std::getline(lines, summary);
  EXPECT_EQ(Members(diagnostic).size(), 12u) << diagnostic;
  EXPECT_NE(diagnostic.find("\"severity\":\"error\""), std::string::npos);
  EXPECT_NE(summary.find("\"status\":2"), std::string::npos);
}

class ExportTest : public tool_test::ScratchTest {};

// (Which names the export takes is the core's rule, tested with it.)
TEST_F(ExportTest, TheListIsWrittenAsTheAddinExportsIt) {
  const std::string sample = kSample.string();
  const std::string list = Check({"--list", sample}).out;
  const std::string table = list.substr(0, list.rfind(sample + ": 13 lines"));
  ASSERT_EQ(table.rfind("total number of defined trigger = 13\n", 0), 0u);

  EXPECT_EQ(Check({"--export", (dir_ / "list.txt").string(), sample}).status, 0);
  EXPECT_EQ(tool_test::ReadBytes(dir_ / "list.txt"), table);

  const Outcome refused = Check({"--export", (dir_ / "list.csv").string(), sample});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.out.find("error: --export"), std::string::npos) << refused.out;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "list.csv"));
  const Outcome unwritable =
      Check({"--export", (dir_ / "no/such/folder/list.txt").string(), sample});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.out.find("could not be written"), std::string::npos) << unwritable.out;
}

}  // namespace
