// What the native suites share: results compared as hex text, texts joined into one line, files
// in and out, golden files and a scratch folder per test.
#pragma once

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/automation/hresult.h"
#include "core/automation/strings.h"

// Results compare as their hex text, so a failure prints 0x80004005 rather than a negative number.
#define EXPECT_HR(expected, actual) \
  EXPECT_EQ(::core::automation::HResultText(expected), ::core::automation::HResultText(actual))
#define ASSERT_HR(expected, actual) \
  ASSERT_EQ(::core::automation::HResultText(expected), ::core::automation::HResultText(actual))

namespace test_support {

inline std::string Joined(const std::vector<std::string>& items, const char* separator = " | ") {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) text += (i ? separator : "") + items[i];
  return text;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The source tree, as the build of the test program names it (the library test_paths, which a
// test program that reads golden files or the sample project links).
extern const char* const kSourceDir;
inline std::filesystem::path SourceDir() { return kSourceDir; }

// Compares a text with the golden file tests/<name>. With TRIGGER_WRITE_GOLDEN=1 in the
// environment the file is written afresh instead, after a change meant to alter it; the diff
// is then read before it is committed.
inline void ExpectGolden(const std::string& name, const std::string& text) {
  const std::filesystem::path file = SourceDir() / "tests" / name;
  if (std::getenv("TRIGGER_WRITE_GOLDEN") != nullptr) {
    WriteBytes(file, text);
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  EXPECT_EQ(text, ReadBytes(file)) << "differs from " << name;
}

// An empty folder of the running test's own, removed with this object. The process id keeps
// apart the runs of other build trees at the same time.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::path(::testing::TempDir()) /
            (std::string("trigger-") + info->test_suite_name() + "-" + info->name() + "-" +
             std::to_string(getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // A copy of a file in the folder.
  std::filesystem::path Copy(const std::filesystem::path& file) const {
    const std::filesystem::path copy = path_ / file.filename();
    std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
