// What the checker tests share: where the projects are, and a run of the checker's command line
// that keeps its output, with the path of the source tree in it written as "<source>".
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/core/test_support.h"
#include "tools/trigger-check/cli.h"

namespace tool_test {

using test_support::ReadBytes;
inline const std::filesystem::path kMalformedDir =
    test_support::SourceDir() / "tests/projects/malformed";
inline const std::filesystem::path kSample = test_support::SourceDir() / "examples/sample.vpj";

inline std::string Malformed(const char* file) { return (kMalformedDir / file).string(); }

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline Outcome Check(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome run;
  run.status = trigger_check::RunTriggerCheck(args, out, err);
  run.out = out.str();
  run.err = err.str();
  const std::string source = test_support::SourceDir().string();
  for (size_t at; (at = run.out.find(source)) != std::string::npos;) {
    run.out.replace(at, source.size(), "<source>");
  }
  return run;
}

}  // namespace tool_test
