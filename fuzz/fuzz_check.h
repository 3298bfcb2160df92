// What the fuzz targets share: stopping on a broken invariant with the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

[[noreturn]] inline void Broken(const char* what, const std::string& detail) {
  std::fprintf(stderr, "invariant broken: %s\n  %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail)                       \
  do {                                                      \
    if (!(condition)) ::fuzz::Broken(#condition, (detail)); \
  } while (0)
