// Runs a fuzz target's entry point once on every input it is given: files, or every file of a
// folder. Linked in place of libFuzzer, it lets any compiler's sanitizer build replay a corpus as
// a test. The target stops the program on a broken invariant; a finding of a sanitizer does too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
    return false;
  }
  const std::vector<uint8_t> input{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s INPUT-OR-FOLDER...\n", argv[0]);
    return 2;
  }
  size_t replayed = 0;
  bool readable = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        readable = Replay(file) && readable;
        ++replayed;
      }
    } else {
      readable = Replay(path) && readable;
      ++replayed;
    }
  }
  std::printf("replay: %zu inputs\n", replayed);
  return readable && replayed > 0 ? 0 : 1;
}
