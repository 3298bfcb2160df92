// The trigger list: its exact bytes for an empty registry, one trigger and every kind in several
// states; the export's path rules and file handling; the copy in the host log.
#include "core/registry/list_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

namespace fs = std::filesystem;

constexpr char kHeader[] =
    "No, Status, Name, Action, Destination, Size, DstMode, Source, SrcMode, Count, Cycle, Wait, "
    "Mask\n";

class ExportTest : public RegistryTest {
 protected:
  ExportTest() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(::testing::TempDir()) / (std::string("list_export_") + test->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~ExportTest() override { fs::remove_all(folder_); }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  fs::path folder_;
};

TEST_F(ExportTest, AnEmptyRegistryGivesNoBytes) {
  const std::string path = PathOf("empty.txt");
  Write(path, "old contents\n");
  EXPECT_HR(kOk, registry_.ExportTriggerList(path));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(Read(path), "");

  Take();
  EXPECT_HR(kOk, registry_.LogTriggerList());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{""});
}

TEST_F(ExportTest, OneTriggerGivesThreeLines) {
  for (int i = 0; i < 6; ++i) Create(TriggerKind::FileStream);
  for (int i = 0; i < 5; ++i) {
    ASSERT_HR(kOk, registry_.DeleteTrigger(i ? "filestream" + std::to_string(i) : "filestream"));
  }
  // The only trigger is in slot 5; renumbered by a save, its row shows its number, not its slot.
  registry_.AdapterAt(5)->SetNumber("0");
  const std::string expected = std::string("total number of defined trigger = 1\n") + kHeader +
                               "0, Modified, filestream5, File I/O, -, -, -, -, -, -, -, -, -\n";
  const std::string path = PathOf("one.txt");
  EXPECT_HR(kOk, registry_.ExportTriggerList(path));
  EXPECT_EQ(Read(path), expected);
  EXPECT_EQ(core::registry::TriggerListText(registry_), expected);
}

TEST_F(ExportTest, EveryKindWithItsColumns) {
  simulator_.source_table = ShortSourceTable();
  ConfigureAllKinds(registry_);
  ASSERT_FALSE(HasFatalFailure());
  uint32_t active[256] = {};
  active[0] = active[1] = active[6] = 1;
  simulator_.active_table = active;
  registry_.RefreshActiveFlags();
  ASSERT_EQ(registry_.AdapterAt(0)->SetWait("33"), 0);  // interrupt rows never show "Modified"
  ASSERT_EQ(registry_.AdapterAt(1)->SetCount("17"), 0);
  registry_.GetTriggerByNumber(4)->SetNameUnchecked("a, b");  // not escaped
  Create(TriggerKind::Interrupt);

  const std::string expected =
      std::string("total number of defined trigger = 12\n") + kHeader +
      "0, Activate, irq, Interrupt, INT1, -, -, -, -, -, 10, 33, -\n"
      "1, Modified, move, Transfer, 0x200, 16BIT, INCREMENT, 0x100, FIX, 17, 3, 4, -\n"
      "2, InActivate, wave, Stream, 0x300, 8BIT, REPEAT, 1,2,3, DEFAULT, 0, 5, 6, 0x000000ff\n"
      "3, InActivate, port, I/O Stream, 9000, -, -, -, -, -, -, -, -\n"
      "4, Modified, a, b, Connect, irq,move, -, -, -, -, 2, -, -, -\n"
      "5, InActivate, stopper, Control, wave, -, -, stop, -, -, -, -, -\n"
      "6, Activate, notify, Message, WM_TRIGGER, -, -, TIME, -, -, 7, 8, -\n"
      "7, InActivate, serial, SIO, COM1, -, INT0, 0x400, SERIALRX, -, -, -, -\n"
      "8, InActivate, file, File I/O, -, -, -, -, -, -, -, -, -\n"
      "9, InActivate, io, I/O Access, -, -, -, -, -, -, 11, 12, -\n"
      "10, InActivate, copy, Stream, 0x500, 32BIT, SINGLE, 0x600, , 4, 0, 0, 0x0000ffff\n"
      "11, New, interrupt, Interrupt, , -, -, -, -, -, 0, 0, -\n";
  const std::string path = PathOf("all");
  EXPECT_HR(kOk, registry_.ExportTriggerList(path));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(Read(path + ".txt"), expected);

  Take();
  EXPECT_HR(kOk, registry_.LogTriggerList());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{expected}) << "the whole text in one entry";
}

TEST_F(ExportTest, PathRules) {
  Create(TriggerKind::IOAccess);
  fs::create_directories(folder_ / "dir.d");
  struct Case {
    std::string path;
    HResult result;
    const char* written;  // nullptr: no file anywhere
  };
  const Case cases[] = {
      {"list", kOk, "list.txt"},
      {"upper.TXT", kOk, "upper.TXT"},
      {"mixed.tXt", kOk, "mixed.tXt"},
      {"list.csv", kFail, nullptr},
      {"list.", kFail, nullptr},
      {"list.txt.bak", kFail, nullptr},
      {"dir.d/list", kFail, nullptr},  // the last dot is in the folder's name
      {"dir.d/list.txt", kOk, "dir.d/list.txt"},
      // A NUL ends the name the file system sees: "list.dat" would be written.
      {std::string("list.dat\0.txt", 13), kFail, nullptr},
      {std::string("list\0", 5), kFail, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.c_str());
    const auto before = std::distance(fs::recursive_directory_iterator(folder_),
                                      fs::recursive_directory_iterator());
    EXPECT_HR(c.result, registry_.ExportTriggerList(PathOf(c.path)));
    const auto after = std::distance(fs::recursive_directory_iterator(folder_),
                                     fs::recursive_directory_iterator());
    if (c.written) {
      EXPECT_EQ(Read(PathOf(c.written)), core::registry::TriggerListText(registry_));
      EXPECT_EQ(after, before + 1);
    } else {
      EXPECT_EQ(after, before);
    }
  }
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ExportTest, AFileThatCannotBeOpenedIsReportedInTheLogOnly) {
  Create(TriggerKind::Sio);
  const std::string path = PathOf("missing/list.txt");
  EXPECT_HR(kOk, registry_.ExportTriggerList(path));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(TakeLog(),
            std::vector<std::string>{"The trigger list could not be written to " + path});
}

}  // namespace
}  // namespace registry_test
