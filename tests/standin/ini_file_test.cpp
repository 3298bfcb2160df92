// The INI store: lines it does not own survive a save, lookups follow the profile conventions,
// and writes change only their entry.
#include "project/ini_file.h"

#include <gtest/gtest.h>

#include "tests/core/test_support.h"

namespace {

using project::IniFile;

TEST(IniFileTest, KeepsEveryLineThroughARoundTrip) {
  const char* texts[] = {
      "",
      "[A]\nx=1\n",
      "stray=before any section\n[A]\n",
      "; header comment\n\n[A]\n  key  =  spaced value  \n# hash comment\nno equals sign\n"
      "=no key\n[broken\n[B] trailing text\ny=2\n",
      "[A]\r\nx=1\r\n\r\n[Unknown]\r\nanything=goes\r\n",
      "[A]\nx=1",                       // no final line end
      "\xEF\xBB\xBF[A]\nx=1\n",         // byte order mark
      "[A]\r\nx=1\ny=2\r\n[B]\nz=3\n",  // line ends of both kinds, as edited on two systems
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IniFile::Parse(text).Serialize(), text);
  }
}

TEST(IniFileTest, ReadsWithTheProfileConventions) {
  // A later duplicate key and a later section of the same name are not read.
  const IniFile file = IniFile::Parse(
      "lead=0\n[Trigger]\n  MaxNum = 3  \n0=100,interrupt,a,TIMER0,1,2\nmaxnum=99\n"
      "; 1=commented out\nempty=\neq=a=b\nquoted = \" both ends \" \nhalf=\"open\n"
      "[trigger]\nlate=1\n[Other]\n0=other\n");
  // A null value: missing. Lines before any section belong to no section.
  // clang-format off
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"Trigger", "MaxNum", "3"}, {"TRIGGER", "maxnum", "3"},
      {"Trigger", "0", "100,interrupt,a,TIMER0,1,2"}, {"Trigger", "1", nullptr},
      {"Trigger", "; 1", nullptr}, {"Trigger", "empty", ""}, {"Trigger", "eq", "a=b"},
      {"Trigger", "quoted", " both ends "}, {"Trigger", "half", "\"open"},
      {"Trigger", "late", nullptr}, {"Other", "0", "other"}, {"Missing", "0", nullptr},
      {"", "lead", nullptr}};
  // clang-format on
  for (const auto& [section, key, expected] : cases) {
    EXPECT_EQ(file.Get(section, key).value_or("<missing>"), expected ? expected : "<missing>")
        << section << "/" << key;
  }
  const auto entries = file.Entries("Trigger");
  ASSERT_EQ(entries.size(), 7u) << "duplicates included, comments not";
  EXPECT_EQ(entries[2].first, "maxnum");
  EXPECT_EQ(entries[2].second, "99");
  EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"Trigger", "trigger", "Other"}));
}

// A replaced value keeps the spelling of the key, the first of two alike is written, a new key
// goes after the last line of the section and before a blank separator, a new section at the
// end; line ends stay as they were, and a new line takes the line end of the first line; white
// space at an end is kept in quotes, and a value with quotes of its own gets quotes around them.
TEST(IniFileTest, WritesChangeOnlyTheirEntryAsTheTranscriptSays) {
  // clang-format off
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"; c\n[T]\nMaxNum = 1\n; tail\n", "t", "maxnum", "2"}, {"[T]\nk = v\n", "T", "k", "v"},
      {"[T]\nk=1\nk=2\n", "T", "K", "3"}, {"[T]\na=1\n; note\n\n[U]\n", "T", "b", "2"},
      {"[T]\na=1\n", "New", "k", "v"}, {"", "Trigger", "MaxNum", "0"},
      {"[T]\r\na=1\r\n", "T", "b", "2"}, {"[T]\na=1\n", "T", "a", ""},
      {"[T]\r\na=1\nb=2\r\n", "T", "c", "3"}, {"[T]\na=1", "T", "b", "2"},
      {"[T]\n", "T", "0", "100,filestream,f "}, {"[T]\n", "T", "k", "\"q\""},
      {"[T]\n", "T", "k", "\"q"}, {"[T]\nk=\" v\"\n", "T", "k", " v"}};
  // clang-format on
  std::string transcript;
  for (const auto& [before, section, key, value] : cases) {
    IniFile file = IniFile::Parse(before);
    bool changed = false;
    EXPECT_TRUE(file.Set(section, key, value, &changed).ok());
    EXPECT_EQ(file.Get(section, key).value_or("<missing>"), value);
    transcript += std::string(section) + "/" + key + "=" + value +
                  (changed ? " changed:\n" : ":\n") + file.Serialize() + "\n--\n";
  }
  test_support::ExpectGolden("standin/golden/ini_writes.txt", transcript);
}

TEST(IniFileTest, RefusesWhatWouldNotReadBack) {
  // clang-format off
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"T", "k", "two\nlines"}, {"T", "k", "cr\r"}, {"T", "", "v"}, {"T", "a=b", "v"},
      {"T", "[k", "v"}, {"T", ";k", "v"}, {"T", "#k", "v"}, {"T", " k", "v"}, {"", "k", "v"},
      {"T]", "k", "v"}, {"T\n", "k", "v"}, {" T", "k", "v"}};
  // clang-format on
  for (const auto& [section, key, value] : cases) {
    SCOPED_TRACE(std::string(section) + "/" + key + "/" + value);
    IniFile file = IniFile::Parse("[T]\nk=old\n");
    const auto outcome = file.Set(section, key, value);
    EXPECT_EQ(outcome.hr, core::automation::kInvalidArg);
    EXPECT_FALSE(outcome.message.empty());
    EXPECT_EQ(file.Serialize(), "[T]\nk=old\n");
  }
}

TEST(IniFileTest, KeepsLongValuesWhole) {
  const std::string line = "100,data,long," + std::string(20000, '7') + ",),0,0,0x00000000";
  IniFile file = IniFile::Parse("[Trigger]\r\n0=" + line + "\r\n");
  EXPECT_EQ(file.Get("Trigger", "0").value_or(""), line);
  ASSERT_TRUE(file.Set("Trigger", "1", line + line).ok());
  const IniFile again = IniFile::Parse(file.Serialize());
  EXPECT_EQ(again.Get("Trigger", "1").value_or(""), line + line);
}

}  // namespace
