// Exports the trigger list: checks the path rules, the file handling and the copy in the host log.
// The checker's golden file holds the exported bytes; the row adapter tests check the columns.
#include "core/registry/list_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

namespace fs = std::filesystem;
using test_support::ReadBytes;

class ExportTest : public RegistryTest {
 protected:
  std::string PathOf(const std::string& name) const { return (scratch_ / name).string(); }
  test_support::ScratchDir scratch_;
};

TEST_F(ExportTest, PathRulesAndTheCopyInTheLog) {
  EXPECT_HR(kOk, registry_.LogTriggerList());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{""}) << "an empty registry gives no text";
  Create(TriggerKind::IOAccess);
  EXPECT_HR(kOk, registry_.LogTriggerList());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{core::registry::TriggerListText(registry_)});
  fs::create_directories(scratch_ / "dir.d");
  const std::pair<std::string, const char*> cases[] = {
      // the file written; nullptr: E_FAIL and no file anywhere
      {"list", "list.txt"},
      {"upper.TXT", "upper.TXT"},
      {"mixed.tXt", "mixed.tXt"},
      {"list.csv", nullptr},
      {"list.", nullptr},
      {"list.txt.bak", nullptr},
      {"dir.d/list", nullptr},  // the last dot is in the folder's name
      {"dir.d/list.txt", "dir.d/list.txt"},
      // A NUL ends the name the file system sees: "list.dat" would be written.
      {std::string("list.dat\0.txt", 13), nullptr},
      {std::string("list\0", 5), nullptr},
  };
  const auto files = [&] {
    return std::distance(fs::recursive_directory_iterator(scratch_.path()),
                         fs::recursive_directory_iterator());
  };
  for (const auto& [path, written] : cases) {
    SCOPED_TRACE(path.c_str());
    const auto before = files();
    EXPECT_HR(written ? kOk : kFail, registry_.ExportTriggerList(PathOf(path)));
    EXPECT_EQ(files(), before + (written ? 1 : 0));
    if (written) {
      EXPECT_EQ(ReadBytes(PathOf(written)), core::registry::TriggerListText(registry_));
    }
  }
  EXPECT_TRUE(TakeLog().empty());

  // A file that cannot be opened is reported in the log only.
  const std::string missing = PathOf("missing/list.txt");
  EXPECT_HR(kOk, registry_.ExportTriggerList(missing));
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(TakeLog(),
            std::vector<std::string>{"The trigger list could not be written to " + missing});
#ifndef _WIN32
  // A file that cannot be written whole: the device that is always full.
  const std::string full = PathOf("full.txt");
  if (std::filesystem::exists("/dev/full")) {
    fs::create_symlink("/dev/full", full);
    EXPECT_HR(kOk, registry_.ExportTriggerList(full));
    EXPECT_EQ(TakeLog(), std::vector<std::string>{
                             "The trigger list could not be written completely to " + full});
  }
#endif
}

}  // namespace
}  // namespace registry_test
