// What the checker's tests share: where the projects are, files in and out, and a scratch folder
// per test for projects the tests change.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tool_test {

inline const std::filesystem::path kSourceDir = TRIGGER_SOURCE_DIR;
inline const std::filesystem::path kMalformedDir = kSourceDir / "tests/projects/malformed";
inline const std::filesystem::path kSample = kSourceDir / "examples/sample.vpj";

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// An empty folder of the test's own, removed with the fixture.
class ScratchTest : public ::testing::Test {
 protected:
  ScratchTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("trigger-check-") + info->test_suite_name() + "-" + info->name() + "-" +
            std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchTest() override {
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  // A copy of a project in the scratch folder.
  std::filesystem::path Copy(const std::filesystem::path& project) {
    const std::filesystem::path copy = dir_ / project.filename();
    std::filesystem::copy_file(project, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
  }

  std::filesystem::path dir_;
};

}  // namespace tool_test
