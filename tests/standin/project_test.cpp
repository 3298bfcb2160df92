// The project file: profile operations as the Manager service offers them, the modified mark and
// saving, and the symbols and interrupt sources the stand-in reads from it.
#include "project/project.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using core::automation::HResultText;
using core::automation::kInvalidArg;
using project::InterruptSource;
using project::IntValue;
using project::Project;
using project::SymbolTable;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string TempPath(const char* name) { return ::testing::TempDir() + "standin_" + name + ".vpj"; }

TEST(ProjectTest, ReadsProfileIntegersLikeCNumbers) {
  const Project project = Project::FromText(
      "[Trigger]\nMaxNum=3\nhex=0x10\noctal=010\nneg=-5\ntrail=12abc\nword=abc\nempty=\n"
      "huge=99999999999\nspaced=  7  \n");
  struct Case {
    const char* key;
    int32_t value;  // default 42
  };
  const Case cases[] = {{"MaxNum", 3},       {"maxnum", 3}, {"hex", 16},    {"octal", 8},
                        {"neg", -5},         {"trail", 12}, {"word", 42},   {"empty", 42},
                        {"huge", INT32_MAX}, {"spaced", 7}, {"missing", 42}};
  for (const Case& c : cases) {
    EXPECT_EQ(project.ReadProfileInt("Trigger", c.key, 42), c.value) << c.key;
  }
  EXPECT_EQ(project.ReadProfileInt("NoSection", "MaxNum", -1), -1);
  EXPECT_EQ(project.ReadProfileString("Trigger", "empty", "dflt"), "") << "present but empty";
  EXPECT_EQ(project.ReadProfileString("Trigger", "missing", "dflt"), "dflt");
  EXPECT_EQ(project.ReadProfileString("Trigger", "word", "dflt"), "abc");
}

TEST(ProjectTest, WritesMarkTheProjectModifiedOnlyWhenTheyChangeIt) {
  Project project = Project::FromText("[Trigger]\nMaxNum=2\n");
  EXPECT_FALSE(project.modified());
  EXPECT_TRUE(project.WriteProfileInt("Trigger", "MaxNum", 2).ok());
  EXPECT_FALSE(project.modified()) << "same value";
  EXPECT_TRUE(project.WriteProfileString("Trigger", "0", "100,filestream,f").ok());
  EXPECT_TRUE(project.modified());
  EXPECT_EQ(project.ReadProfileString("Trigger", "0", ""), "100,filestream,f");

  project.MarkModified(0);
  const auto refused = project.WriteProfileString("Trigger", "1", "two\r\nlines");
  EXPECT_EQ(refused.hr, kInvalidArg) << HResultText(refused.hr);
  EXPECT_FALSE(project.modified());
  EXPECT_EQ(project.ReadProfileString("Trigger", "1", "none"), "none");

  project.MarkModified(1);
  EXPECT_TRUE(project.modified());
  EXPECT_TRUE(project.WriteProfileInt("Trigger", "MaxNum", -7).ok());
  EXPECT_EQ(project.settings().Get("Trigger", "MaxNum").value_or(""), "-7");
}

TEST(ProjectTest, SavesAndOpensAgain) {
  const std::string path = TempPath("save");
  const std::string text = "; kept\r\n[Project]\r\nCpuFamily=V16\r\n\r\n[Unknown]\r\nx = 1\r\n";
  Project project = Project::FromText(text);
  EXPECT_FALSE(project.Save().ok()) << "no file name yet";
  project.WriteProfileInt("Trigger", "MaxNum", 1);
  project.WriteProfileString("Trigger", "0", "100,filestream,f");
  ASSERT_TRUE(project.modified());
  const auto saved = project.SaveAs(path);
  ASSERT_TRUE(saved.ok()) << saved.message;
  EXPECT_FALSE(project.modified());
  EXPECT_EQ(project.path(), path);
  EXPECT_EQ(ReadFile(path), text + "\r\n[Trigger]\r\nMaxNum=1\r\n0=100,filestream,f\r\n");

  Project opened;
  ASSERT_TRUE(Project::Open(path, &opened).ok());
  EXPECT_EQ(opened.CpuFamily(), "V16");
  EXPECT_EQ(opened.ReadProfileString("Trigger", "0", ""), "100,filestream,f");
  EXPECT_FALSE(opened.modified());
  std::remove(path.c_str());

  const auto missing = Project::Open(path, &opened);
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.message, "cannot open " + path);
  const std::string folder = ::testing::TempDir();
  EXPECT_EQ(Project::Open(folder, &opened).message, "cannot open " + folder + ": it is a folder");
  EXPECT_FALSE(project.SaveAs(path + "/no/such/dir").ok());
  EXPECT_EQ(project.path(), path) << "a failed SaveAs keeps the old name";
}

TEST(ProjectTest, ReadsSymbolsInOrderOverEarlierOnes) {
  const Project project = Project::FromText(
      "[Symbols]\n"
      "RAM=0x0100\n"
      "BUF_LEN=64\n"
      "BUF_END=RAM + BUF_LEN - 1\n"
      "TOP=0xFFFFFFFF\n"
      "LATER=EARLY + 1\n"  // EARLY comes after it
      "EARLY=1\n"
      "ram=2\n"  // another symbol: names are case-sensitive
      "RAM=3\n"  // taken
      "1BAD=1\n"
      "DIV=1/0\n");
  std::vector<std::string> warnings;
  const SymbolTable symbols = project.Symbols(&warnings);
  EXPECT_EQ(symbols.Find("BUF_END")->bits, 0x13Fu);
  EXPECT_EQ(*symbols.Find("TOP"), (IntValue{0xFFFFFFFFu, true}));
  EXPECT_EQ(symbols.Find("RAM")->bits, 0x100u);
  EXPECT_EQ(symbols.Find("ram")->bits, 2u);
  EXPECT_EQ(symbols.Find("LATER"), nullptr);
  EXPECT_EQ(symbols.size(), 6u);
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "[Symbols] LATER: unknown symbol 'EARLY' at column 1; skipped",
                          "[Symbols] RAM: defined before; skipped",
                          "[Symbols] 1BAD: not a C identifier; skipped",
                          "[Symbols] DIV: division by zero at column 2; skipped",
                      }));
}

TEST(ProjectTest, ReadsInterruptSourcesInOrder) {
  const Project project = Project::FromText(
      "[Symbols]\nIRQ_BASE=0x10\n"
      "[InterruptSources]\n"
      "NMI=2\n"
      "TIMER0_OVF=IRQ_BASE, 1\n"
      "ABCDEFGHIJKLMNOP=0xFFFF,0xFFFF\n"  // 16 characters: fits
      "ABCDEFGHIJKLMNOPQ=1\n"
      "A,B=1\n"
      "nmi=3\n"
      "BIG=0x10000\n"
      "BADVALUE=1,x\n"
      "NEGATIVE=-1\n"
      "UART0_RX=0x20,2,extra\n");
  std::vector<std::string> warnings;
  const auto sources = project.InterruptSources(project.Symbols(nullptr), &warnings);
  EXPECT_EQ(sources, (std::vector<InterruptSource>{
                         {"NMI", 2, 0},
                         {"TIMER0_OVF", 0x10, 1},
                         {"ABCDEFGHIJKLMNOP", 0xFFFF, 0xFFFF},
                     }));
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "[InterruptSources] ABCDEFGHIJKLMNOPQ: name longer than 16 characters; skipped",
                "[InterruptSources] A,B: comma in name; skipped",
                "[InterruptSources] nmi: defined before; skipped",
                "[InterruptSources] BIG: code: 0x10000 does not fit in 16 bits; skipped",
                "[InterruptSources] BADVALUE: value: unknown symbol 'x' at column 1; skipped",
                "[InterruptSources] NEGATIVE: code: 0xFFFFFFFF does not fit in 16 bits; skipped",
                "[InterruptSources] UART0_RX: value: syntax error: unexpected ',' at column 2; "
                "skipped",
            }));
}

}  // namespace
