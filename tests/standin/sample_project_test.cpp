// The sample project in examples/: it opens cleanly, holds one trigger of every kind, and every
// definition line has its kind's fields, with addresses the evaluator resolves, interrupt sources
// the project defines and member or target names of triggers that exist.
#include <gtest/gtest.h>

#include <set>

#include "core/automation/strings.h"
#include "standin/model/project.h"

namespace {

using core::automation::EqualsIgnoreCase;
using standin::model::Evaluate;
using standin::model::Project;

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

// What each keyword's line holds: its field count (0: any, at least 3) and which fields are
// address expressions, interrupt sources and trigger names (1-based field numbers).
struct LineLayout {
  const char* keyword;
  const char* kind;
  size_t fields;
  std::vector<size_t> addresses;
  std::vector<size_t> sources;
  std::vector<size_t> triggers;
};

const LineLayout kLayouts[] = {
    {"interrupt", "interrupt", 6, {}, {4}, {}},   {"clearInterrupt", "interrupt", 6, {}, {4}, {}},
    {"ioaccess", "ioaccess", 5, {}, {}, {}},      {"iostream", "iostream", 4, {}, {}, {}},
    {"transfer", "transfer", 13, {6, 8}, {}, {}}, {"stream", "stream", 11, {4, 7}, {}, {}},
    {"data", "stream", 0, {4}, {}, {}},  // the data list has commas of its own
    {"connect", "connect", 0, {}, {}, {}},        {"message", "message", 8, {}, {}, {}},
    {"control", "control", 5, {}, {}, {5}},       {"sio", "sio", 7, {4}, {5, 6}, {}},
    {"filestream", "filestream", 3, {}, {}, {}},
};

TEST(SampleProjectTest, DefinesOneTriggerOfEveryKindConsistently) {
  Project project;
  const auto opened = Project::Open(STANDIN_EXAMPLES_DIR "/sample.vpj", &project);
  ASSERT_TRUE(opened.ok()) << opened.message;
  EXPECT_FALSE(project.CpuFamily().empty());

  std::vector<std::string> warnings;
  const auto symbols = project.Symbols(&warnings);
  const auto sources = project.InterruptSources(symbols, &warnings);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  EXPECT_GE(sources.size(), 4u);

  const int32_t count = project.ReadProfileInt("Trigger", "MaxNum", -1);
  ASSERT_GT(count, 0);
  std::vector<std::vector<std::string>> lines;
  std::set<std::string> names;
  for (int32_t i = 0; i < count; ++i) {
    const std::string line = project.ReadProfileString("Trigger", std::to_string(i), "");
    ASSERT_FALSE(line.empty()) << "key " << i;
    lines.push_back(Split(line));
    EXPECT_EQ(lines.back()[0], std::to_string(100 + i)) << line << ": ids follow the keys";
    EXPECT_TRUE(names.insert(lines.back()[2]).second) << line << ": names are unique";
  }
  EXPECT_EQ(project.ReadProfileString("Trigger", std::to_string(count), ""), "");

  std::set<std::string> kinds;
  for (const auto& fields : lines) {
    const std::string line = fields[0] + "," + fields[1] + ",...";
    SCOPED_TRACE(line);
    const LineLayout* layout = nullptr;
    for (const LineLayout& candidate : kLayouts) {
      if (EqualsIgnoreCase(fields[1], candidate.keyword)) layout = &candidate;
    }
    ASSERT_NE(layout, nullptr) << "unknown keyword";
    kinds.insert(layout->kind);
    if (std::string(layout->kind) == "stream") {
      // Spelt as the stream dialog writes the kind: the trigger window's Source column reads
      // the data list or the stream's source only then.
      EXPECT_TRUE(fields[1] == "Data" || fields[1] == "Stream") << fields[1];
    }
    if (layout->fields != 0) {
      EXPECT_EQ(fields.size(), layout->fields);
    }
    EXPECT_GE(fields.size(), 3u);
    if (std::string(layout->keyword) == "data") {
      // The list is closed by ",)" and followed by cycle, wait and mask.
      ASSERT_GE(fields.size(), 12u);
      EXPECT_EQ(fields[fields.size() - 4], ")");
    }
    for (size_t f : layout->addresses) {
      const auto value = Evaluate(fields[f - 1], symbols);
      EXPECT_TRUE(value.ok()) << fields[f - 1] << ": " << value.error;
    }
    for (size_t f : layout->sources) {
      bool found = false;
      for (const auto& source : sources)
        found = found || EqualsIgnoreCase(source.name, fields[f - 1]);
      EXPECT_TRUE(found) << fields[f - 1] << " is no interrupt source";
    }
    std::vector<size_t> triggers = layout->triggers;
    if (std::string(layout->keyword) == "connect") {
      for (size_t f = 4; f <= fields.size(); ++f) triggers.push_back(f);
    }
    for (size_t f : triggers) EXPECT_EQ(names.count(fields[f - 1]), 1u) << fields[f - 1];
  }
  EXPECT_EQ(kinds.size(), 10u) << "one trigger of each of the ten kinds";
}

}  // namespace
