// The project file: profile operations as the Manager service offers them, the modified mark and
// saving, and the symbols and interrupt sources the stand-in reads from it.
#include "project/project.h"

#include <gtest/gtest.h>

#include "tests/core/test_support.h"

namespace {

using core::automation::HResultText;
using core::automation::kInvalidArg;
using project::InterruptSource;
using project::IntValue;
using project::Project;
using project::SymbolTable;

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
  test_support::ScratchDir scratch;
  const std::string path = (scratch / "save.vpj").string();
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
  EXPECT_EQ(test_support::ReadBytes(path),
            text + "\r\n[Trigger]\r\nMaxNum=1\r\n0=100,filestream,f\r\n");

  Project opened;
  ASSERT_TRUE(Project::Open(path, &opened).ok());
  EXPECT_EQ(opened.CpuFamily(), "V16");
  EXPECT_EQ(opened.ReadProfileString("Trigger", "0", ""), "100,filestream,f");
  EXPECT_FALSE(opened.modified());
  std::filesystem::remove(path);

  const auto missing = Project::Open(path, &opened);
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.message, "cannot open " + path);
  const std::string folder = scratch.path().string();
  EXPECT_EQ(Project::Open(folder, &opened).message, "cannot open " + folder + ": it is a folder");
  EXPECT_FALSE(project.SaveAs(path + "/no/such/dir").ok());
  EXPECT_EQ(project.path(), path) << "a failed SaveAs keeps the old name";
}

// Symbols are read in order, each over the earlier ones (names are case-sensitive; a later
// definition of a name is skipped); interrupt sources take 16 characters, a code of 16 bits and
// an optional value. What is skipped is said, one warning a line.
TEST(ProjectTest, ReadsSymbolsAndInterruptSourcesAsTheTranscriptSays) {
  const Project project = Project::FromText(
      "[Symbols]\nRAM=0x0100\nBUF_LEN=64\nBUF_END=RAM + BUF_LEN - 1\nTOP=0xFFFFFFFF\n"
      "LATER=EARLY + 1\nEARLY=1\nram=2\nRAM=3\n1BAD=1\nDIV=1/0\nIRQ_BASE=0x10\n"
      "[InterruptSources]\nNMI=2\nTIMER0_OVF=IRQ_BASE, 1\nABCDEFGHIJKLMNOP=0xFFFF,0xFFFF\n"
      "ABCDEFGHIJKLMNOPQ=1\nA,B=1\nnmi=3\nBIG=0x10000\nBADVALUE=1,x\nNEGATIVE=-1\n"
      "UART0_RX=0x20,2,extra\n");
  std::vector<std::string> warnings;
  const SymbolTable symbols = project.Symbols(&warnings);
  std::string transcript;
  for (const char* name : {"RAM", "ram", "BUF_LEN", "BUF_END", "TOP", "LATER", "EARLY", "DIV"}) {
    const IntValue* value = symbols.Find(name);
    transcript +=
        std::string(name) +
        (value ? core::automation::Format(" %08X%s\n", value->bits, value->is_unsigned ? "u" : "")
               : " none\n");
  }
  EXPECT_EQ(*symbols.Find("TOP"), (IntValue{0xFFFFFFFFu, true}));
  transcript += std::to_string(symbols.size()) + " symbols\n";
  const auto sources = project.InterruptSources(symbols, &warnings);
  EXPECT_EQ(sources.front(), (InterruptSource{"NMI", 2, 0}));
  EXPECT_FALSE(sources.front() == (InterruptSource{"NMI", 2, 1}));
  for (const InterruptSource& source : sources) {
    transcript += core::automation::Format("source %s %04X %u\n", source.name.c_str(), source.code,
                                           source.value);
  }
  for (const std::string& warning : warnings) transcript += warning + "\n";
  test_support::ExpectGolden("standin/golden/project_symbols.txt", transcript);
}

}  // namespace
