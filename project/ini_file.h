// The project file: an INI store that keeps what it does not understand. Sections,
// keys and values keep their order; comments, blank lines, unknown sections and malformed lines
// are written back exactly as they were read, and only the entries that were written change.
//
// Reading follows the Windows profile conventions a host project file is expected to have:
// section names and keys compare without regard to ASCII case, keys and values are trimmed of
// surrounding white space and a value enclosed in double quotes loses them (so a value written
// with white space at its ends is written in quotes, and reads back whole), and when a key (or a
// section) occurs twice the first one wins. The later duplicates stay in the file untouched: they
// are someone's text, and dropping them on a save would lose it silently.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/automation/hresult.h"

namespace project {

using core::automation::HResult;

// The result of an operation that can fail for a reason the host's log should show.
struct Outcome {
  HResult hr = core::automation::kOk;
  std::string message;  // empty on success

  bool ok() const { return core::automation::Succeeded(hr); }
  static Outcome Ok() { return {}; }
  static Outcome Fail(HResult hr, std::string message) { return {hr, std::move(message)}; }
};

class IniFile {
 public:
  // An empty file; it is written with CRLF line ends, the host platform's convention.
  IniFile() = default;

  // Reads text with LF or CRLF line ends. Every line keeps its own line end (a file whose lines
  // mix both comes back as it was); lines added later take the style of the first line end. A
  // UTF-8 byte order mark and a missing final line end are kept for the save.
  static IniFile Parse(std::string_view text);
  std::string Serialize() const;

  bool HasSection(std::string_view section) const;
  // The value of the first entry with that key in the first section of that name.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the first entry's value, or appends the entry to the section (after its last entry),
  // or appends the section to the file. Refuses (E_INVALIDARG) what would not read back: line
  // breaks anywhere, an empty key, a key that begins with '[', ';' or '#' or holds '=', a section
  // name that holds ']'. `changed` tells whether the file's content changed.
  Outcome Set(std::string_view section, std::string_view key, std::string_view value,
              bool* changed = nullptr);

  // Every entry of the first section of that name, in file order, duplicates included.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
  // Section names in file order (duplicates included).
  std::vector<std::string> SectionNames() const;

  // Where things are, as 1-based line numbers of the text as read (or as it would be written
  // now), so that messages can point into the file: the header of every section of that name,
  // in file order, and the entries of the first one, in the order Entries gives them.
  std::vector<int> SectionLines(std::string_view section) const;
  std::vector<int> EntryLines(std::string_view section) const;

 private:
  struct Line {
    bool entry = false;  // a key=value line; otherwise kept verbatim
    std::string text;    // the line as read (or as last written), without its line end
    std::string end;     // its line end as read; empty for a line the file did not have
    std::string key;
    std::string value;
  };
  struct Section {
    bool has_header = false;  // false only for the lines before the first section
    std::string name;
    std::string header;  // the header line as read
    std::string header_end;
    std::vector<Line> lines;
  };

  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_ = std::vector<Section>(1);  // [0]: lines before any header
  std::string line_end_ = "\r\n";
  bool byte_order_mark_ = false;
  bool final_line_end_ = true;
};

}  // namespace project
