// Fuzz target for the project file. The input is a project file, up to an optional
// line "#writes" after which each line "section|key|value" is a profile write. It stops on a
// broken invariant:
//   - a file read and written back without a write is not the same bytes;
//   - a write that is accepted does not read back as the value written, before and after the file
//     is written out and read again, or changes what another key reads;
//   - a write that is refused changes the file;
//   - the project's symbols and interrupt sources break their own rules (identifiers, 16-character
//     names without commas, unique without regard to case).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/automation/strings.h"
#include "fuzz/fuzz_check.h"
#include "project/ini_file.h"
#include "project/project.h"

namespace {

constexpr std::string_view kWrites = "\n#writes\n";

struct Write {
  std::string section, key, value;
};

std::string Lower(std::string text) {
  for (char& c : text) c = core::automation::ToLowerAscii(c);
  return text;
}

std::vector<Write> ReadWrites(std::string_view text) {
  std::vector<Write> writes;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const size_t first = line.find('|');
    const size_t second = first == std::string_view::npos ? first : line.find('|', first + 1);
    if (second == std::string_view::npos) continue;
    // "\\n" in a value stands for a line break, which a write must refuse.
    std::string value(line.substr(second + 1));
    for (size_t at = value.find("\\n"); at != std::string::npos; at = value.find("\\n", at)) {
      value.replace(at, 2, "\n");
    }
    writes.push_back({std::string(line.substr(0, first)),
                      std::string(line.substr(first + 1, second - first - 1)), value});
  }
  return writes;
}

// What every key of every section reads, first entries only, by lower-case section and key.
using KeyReadings = std::map<std::pair<std::string, std::string>, std::string>;
KeyReadings Readings(const project::IniFile& file) {
  KeyReadings readings;
  for (const std::string& section : file.SectionNames()) {
    for (const auto& [key, value] : file.Entries(section)) {
      const auto name = std::make_pair(Lower(section), Lower(key));
      readings.emplace(name, *file.Get(section, key));
    }
  }
  return readings;
}

void CheckProject(const std::string& text) {
  const project::Project project = project::Project::FromText(text);
  std::vector<std::string> warnings;
  const project::SymbolTable symbols = project.Symbols(&warnings);
  for (const auto& [name, value] : symbols.symbols()) {
    FUZZ_CHECK(project::SymbolTable::IsIdentifier(name), name);
  }
  const std::vector<project::InterruptSource> sources =
      project.InterruptSources(symbols, &warnings);
  for (size_t i = 0; i < sources.size(); ++i) {
    FUZZ_CHECK(sources[i].name.size() <= project::kSourceNameWidth, sources[i].name);
    FUZZ_CHECK(sources[i].name.find(',') == std::string::npos, sources[i].name);
    for (size_t j = 0; j < i; ++j) {
      FUZZ_CHECK(!core::automation::EqualsIgnoreCase(sources[i].name, sources[j].name),
                 sources[i].name);
    }
  }
  project.ReadProfileInt(project::kTriggerSection, "MaxNum", 0);
  project.CpuFamily();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find(kWrites);
  const std::string text(input.substr(0, split));
  const std::vector<Write> writes = split == std::string_view::npos
                                        ? std::vector<Write>()
                                        : ReadWrites(input.substr(split + kWrites.size()));

  project::IniFile file = project::IniFile::Parse(text);
  FUZZ_CHECK(file.Serialize() == text, text);
  CheckProject(text);

  // What every key reads, carried from write to write: each accepted write changes one entry.
  KeyReadings expected = writes.empty() ? KeyReadings() : Readings(file);
  for (const Write& write : writes) {
    const std::string detail =
        text + "\n  write [" + write.section + "] " + write.key + "=" + write.value;
    const std::string before = file.Serialize();
    bool changed = false;
    const project::Outcome outcome = file.Set(write.section, write.key, write.value, &changed);
    if (!outcome.ok()) {
      FUZZ_CHECK(!outcome.message.empty() && !changed && file.Serialize() == before, detail);
      continue;
    }
    FUZZ_CHECK(changed == (file.Serialize() != before), detail);
    FUZZ_CHECK(file.Get(write.section, write.key) == write.value, detail);
    expected[{Lower(write.section), Lower(write.key)}] = write.value;
    // Written out and read again, every key reads as before and the written one as written.
    const project::IniFile reread = project::IniFile::Parse(file.Serialize());
    FUZZ_CHECK(reread.Serialize() == file.Serialize(), detail);
    FUZZ_CHECK(Readings(reread) == expected, detail);
    file = reread;
  }
  return 0;
}
