// The INI store: lines it does not own survive a save, lookups follow the profile conventions,
// and writes change only their entry.
#include "project/ini_file.h"

#include <gtest/gtest.h>

namespace {

using project::IniFile;

TEST(IniFileTest, KeepsEveryLineThroughARoundTrip) {
  const char* texts[] = {
      "",
      "[A]\nx=1\n",
      "; header comment\n\n[A]\n  key  =  spaced value  \n# hash comment\nno equals sign\n"
      "=no key\n[broken\n[B] trailing text\ny=2\n",
      "[A]\r\nx=1\r\n\r\n[Unknown]\r\nanything=goes\r\n",
      "[A]\nx=1",                // no final line end
      "\xEF\xBB\xBF[A]\nx=1\n",  // byte order mark
      "stray=before any section\n[A]\n",
      "[A]\r\nx=1\ny=2\r\n[B]\nz=3\n",  // line ends of both kinds, as edited on two systems
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(IniFile::Parse(text).Serialize(), text);
  }
}

TEST(IniFileTest, ReadsWithTheProfileConventions) {
  const IniFile file = IniFile::Parse(
      "lead=0\n"
      "[Trigger]\n"
      "  MaxNum = 3  \n"
      "0=100,interrupt,a,TIMER0,1,2\n"
      "maxnum=99\n"  // a later duplicate: the first wins
      "; 1=commented out\n"
      "empty=\n"
      "eq=a=b\n"
      "quoted = \" both ends \" \n"
      "half=\"open\n"
      "[trigger]\n"  // a later section of the same name: not read
      "late=1\n"
      "[Other]\n"
      "0=other\n");
  struct Case {
    const char* section;
    const char* key;
    const char* value;  // null: missing
  };
  const Case cases[] = {
      {"Trigger", "MaxNum", "3"},
      {"TRIGGER", "maxnum", "3"},
      {"Trigger", "0", "100,interrupt,a,TIMER0,1,2"},
      {"Trigger", "1", nullptr},
      {"Trigger", "; 1", nullptr},
      {"Trigger", "empty", ""},
      {"Trigger", "eq", "a=b"},
      {"Trigger", "quoted", " both ends "},
      {"Trigger", "half", "\"open"},
      {"Trigger", "late", nullptr},
      {"Other", "0", "other"},
      {"Missing", "0", nullptr},
      {"", "lead", nullptr},  // lines before any section belong to no section
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    const auto value = file.Get(c.section, c.key);
    if (c.value == nullptr) {
      EXPECT_FALSE(value.has_value()) << *value;
    } else {
      ASSERT_TRUE(value.has_value());
      EXPECT_EQ(*value, c.value);
    }
  }
  const auto entries = file.Entries("Trigger");
  ASSERT_EQ(entries.size(), 7u) << "duplicates included, comments not";
  EXPECT_EQ(entries[2].first, "maxnum");
  EXPECT_EQ(entries[2].second, "99");
  EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"Trigger", "trigger", "Other"}));
}

TEST(IniFileTest, WritesChangeOnlyTheirEntry) {
  struct Case {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
    bool changed;
  };
  const Case cases[] = {
      {"replace keeps the key's spelling and the other lines", "; c\n[T]\nMaxNum = 1\n; tail\n",
       "t", "maxnum", "2", "; c\n[T]\nMaxNum=2\n; tail\n", true},
      {"same value changes nothing", "[T]\nk = v\n", "T", "k", "v", "[T]\nk = v\n", false},
      {"first duplicate is the one written", "[T]\nk=1\nk=2\n", "T", "K", "3", "[T]\nk=3\nk=2\n",
       true},
      {"new key goes after the last line, before the blank separator", "[T]\na=1\n; note\n\n[U]\n",
       "T", "b", "2", "[T]\na=1\n; note\nb=2\n\n[U]\n", true},
      {"new section at the end after a blank line", "[T]\na=1\n", "New", "k", "v",
       "[T]\na=1\n\n[New]\nk=v\n", true},
      {"new section in an empty file, with CRLF", "", "Trigger", "MaxNum", "0",
       "[Trigger]\r\nMaxNum=0\r\n", true},
      {"CRLF file stays CRLF", "[T]\r\na=1\r\n", "T", "b", "2", "[T]\r\na=1\r\nb=2\r\n", true},
      {"empty value", "[T]\na=1\n", "T", "a", "", "[T]\na=\n", true},
      {"mixed line ends stay; a new line takes the first one's", "[T]\r\na=1\nb=2\r\n", "T", "c",
       "3", "[T]\r\na=1\nb=2\r\nc=3\r\n", true},
      {"no final line end stays so", "[T]\na=1", "T", "b", "2", "[T]\na=1\nb=2", true},
      // A definition line whose last field (a name) ends in a space must come back whole.
      {"white space at an end is kept in quotes", "[T]\n", "T", "0", "100,filestream,f ",
       "[T]\n0=\"100,filestream,f \"\n", true},
      {"a quoted value keeps its quotes", "[T]\n", "T", "k", "\"q\"", "[T]\nk=\"\"q\"\"\n", true},
      {"a quote at one end needs none", "[T]\n", "T", "k", "\"q", "[T]\nk=\"q\n", true},
      {"a quoted value read is the same", "[T]\nk=\" v\"\n", "T", "k", " v", "[T]\nk=\" v\"\n",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile file = IniFile::Parse(c.before);
    bool changed = !c.changed;
    EXPECT_TRUE(file.Set(c.section, c.key, c.value, &changed).ok());
    EXPECT_EQ(changed, c.changed);
    EXPECT_EQ(file.Serialize(), c.after);
    EXPECT_EQ(file.Get(c.section, c.key).value_or("<missing>"), c.value);
  }
}

TEST(IniFileTest, RefusesWhatWouldNotReadBack) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"T", "k", "two\nlines"}, {"T", "k", "cr\r"}, {"T", "", "v"},    {"T", "a=b", "v"},
      {"T", "[k", "v"},         {"T", ";k", "v"},   {"T", "#k", "v"},  {"T", " k", "v"},
      {"", "k", "v"},           {"T]", "k", "v"},   {"T\n", "k", "v"}, {" T", "k", "v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + "/" + c.value);
    IniFile file = IniFile::Parse("[T]\nk=old\n");
    const auto outcome = file.Set(c.section, c.key, c.value);
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

TEST(IniFileTest, PointsAtTheLinesOfSectionsAndEntries) {
  const IniFile file = IniFile::Parse(
      "; top\r\nloose=1\r\n[Trigger]\r\nMaxNum=2\r\n; note\r\n\r\n0=a\r\n[Other]\r\nx=1\r\n"
      "[trigger]\r\n1=b\r\n");
  EXPECT_EQ(file.SectionLines("TRIGGER"), (std::vector<int>{3, 10}));
  EXPECT_EQ(file.EntryLines("Trigger"), (std::vector<int>{4, 7})) << "the first section only";
  EXPECT_EQ(file.EntryLines("Missing"), std::vector<int>{});
  EXPECT_EQ(file.SectionLines("Missing"), std::vector<int>{});
}

}  // namespace
