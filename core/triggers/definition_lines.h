// The definition line of each kind: the fields it holds, the pattern it is read with and how it is
// written. A trigger reads its line into the struct of its kind and writes its line from one, so
// the line of each kind is described here once. Code that wants the fields of a line without a
// trigger (a tool, the benchmarks) reads them with the same structs.
//
// Texts are views: into the line after Read (valid while the line is), into the trigger when it
// writes its line. Read stores the fields the line gives, as ScanLine does, and leaves the others
// as they were (except for the stream kind, which sets every field). kFields names the fields in
// pattern order, for the notes on what a line lacked. Write writes the kind's keyword as the kind
// writes it, whatever the keyword field read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/automation/strings.h"
#include "core/triggers/line_scanner.h"

namespace core::triggers {

// "%d,%[^,],%[^,],%[^,],%d,%d"
struct InterruptLine {
  static constexpr const char* kFields[] = {"id", "keyword", "Name", "Source", "Cycle", "Wait"};
  int32_t id = 0;
  std::string_view keyword;  // "interrupt" raises; "clearInterrupt" clears
  std::string_view name;
  std::string_view source;
  int32_t cycle = 0;
  int32_t wait = 0;

  ScanStop Read(std::string_view line);
  // "interrupt" for that keyword in any case, else "clearInterrupt".
  std::string Write() const;
};

// "%d,%[^,],%[^,],%d,%d"
struct IOAccessLine {
  static constexpr const char* kFields[] = {"id", "keyword", "Name", "Cycle", "Wait"};
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;
  int32_t cycle = 0;
  int32_t wait = 0;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

// "%d,%[^,],%[^,],%[^,]"; the destination is written as the decimal of a signed 16-bit port.
struct IOStreamLine {
  static constexpr const char* kFields[] = {"id", "keyword", "Name", "Destination"};
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;
  std::string_view destination_text;
  // Read from destination_text as a C number (0x hexadecimal, leading-0 octal, else decimal), of
  // which the low 16 bits are kept: a port may be written in hexadecimal. A text that holds no
  // number gives 0. Write writes this, not the text.
  int16_t destination = 0;
  // False when the text held more than a number, or a number no 16-bit port is written as.
  bool destination_as_written = true;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

// "%d,transfer,%[^,],%u,%[^,],%[^,],%[^,],%[^,],%[^,],%u,%u,%d,%d": the keyword is a literal.
struct TransferLine {
  static constexpr const char* kFields[] = {"id",     "Name",    "Count",        "Size",
                                            "Source", "SrcMode", "Destination",  "DstMode",
                                            "Cycle",  "Wait",    "SrcModeValue", "DstModeValue"};
  int32_t id = 0;
  std::string_view name;
  uint32_t count = 0;
  std::string_view size;
  std::string_view source;
  std::string_view src_mode;
  std::string_view destination;
  std::string_view dst_mode;
  uint32_t cycle = 0;
  uint32_t wait = 0;
  int32_t src_mode_value = 0;
  int32_t dst_mode_value = 0;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

// Two lines by the kind text: "data" with a value list or random pattern the user typed, closed by
// ",)" since it may hold commas, and "stream" with a memory source:
//   "%d,data,%s,%s,%s,%s,%s,%s,),%u,%u,%s"    id, kind, name, destination, size, repeat mode,
//                                             generate mode, data list, cycle, wait, mask
//   "%d,stream,%s,%s,%s,%s,%s,%d,%u,%u,%s"    ..., repeat mode, stream source, count, cycle, wait,
//                                             mask
// The line is cut field by field from the left: a field runs to the next comma, the mask to the
// line's end. When no comma follows, the field reads as empty and its text stays for the fields
// after it. Numbers are decimal, wrapping modulo 2^32 as the scan's; a field that holds no number
// reads as 0. A kind text that is neither form ends the reading after the size.
struct StreamLine {
  // What the reading could not read: the field, and why.
  using Notes = std::vector<std::pair<const char*, std::string>>;

  int32_t id = 0;
  std::string_view kind;  // "data" or "stream", in any case
  std::string_view name;
  std::string_view destination;
  std::string_view size;
  std::string_view repeat_mode;
  std::string_view generate_mode;  // data
  std::string_view data_list;      // data
  std::string_view stream_source;  // stream
  uint32_t count = 0;              // stream
  uint32_t cycle = 0;
  uint32_t wait = 0;
  std::string_view mask;

  bool IsData() const { return automation::EqualsIgnoreCase(kind, "data"); }
  bool IsStream() const { return automation::EqualsIgnoreCase(kind, "stream"); }

  // Reads the fields of the form the line has, and empties the fields of the other form; `notes`,
  // when given, receives what it could not read.
  void Read(std::string_view line, Notes* notes = nullptr);
  // Empty for a kind text that is neither form.
  std::string Write() const;
};

// "%d,connect,%[^,],%s": the keyword is a literal, and the members follow the name, one per comma,
// until the line ends (or white space).
struct ConnectLine {
  static constexpr const char* kFields[] = {"id", "Name", "Members"};
  // A connect trigger may have no members: its line may end after the name.
  static constexpr size_t kOptionalFrom = 2;
  int32_t id = 0;
  std::string_view name;
  std::string_view members;  // as the line lists them

  ScanStop Read(std::string_view line);
  std::string Write() const;
  // The line of a trigger: the first `count` of its member names.
  static std::string Write(int32_t id, std::string_view name,
                           const std::vector<std::string>& members, size_t count);

  // The members of a list as a line gives them: a piece per comma, an empty piece between two
  // adjacent commas; an empty piece after the last comma is no member. Calls `take` with each
  // piece's index and text; returns the number of pieces.
  template <typename Take>
  static size_t Split(std::string_view members, Take take) {
    size_t count = 0;
    size_t start = 0;
    for (size_t comma = automation::FindChar(members, ','); comma != std::string_view::npos;
         comma = automation::FindChar(members, ',', start)) {
      take(count++, members.substr(start, comma - start));
      start = comma + 1;
    }
    if (start < members.size()) take(count++, members.substr(start));
    return count;
  }
};

// "%d,%[^,],%[^,],%[^,],%[^,]"
struct ControlLine {
  static constexpr const char* kFields[] = {"id", "keyword", "Name", "Action", "Target"};
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;
  std::string_view action;
  std::string_view target;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

// "%d,%[^,],%[^,],%[^,],%[^,],%d,%d,%d": Wait before Cycle.
struct MessageLine {
  static constexpr const char* kFields[] = {"id",          "keyword", "Name", "Option",
                                            "Destination", "Source",  "Wait", "Cycle"};
  // The option field: "true" or "false" and a little room; a longer word ends the scan.
  static constexpr size_t kMaxOption = 7;
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;
  std::string_view option;
  std::string_view destination;
  int32_t source = 0;  // the message type's index
  int32_t wait = 0;
  int32_t cycle = 0;

  ScanStop Read(std::string_view line);
  // "true" for that option in any case, else "false".
  std::string Write() const;
};

// "%d,%[^,],%[^,],%[^,],%[^,],%[^,],%[^,]"
struct SioLine {
  static constexpr const char* kFields[] = {"id",      "keyword", "Name",       "Source",
                                            "DstMode", "SrcMode", "Destination"};
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;
  std::string_view source;
  std::string_view dst_mode;
  std::string_view src_mode;
  std::string_view destination;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

// "%d,%[^,],%[^,]"
struct FileStreamLine {
  static constexpr const char* kFields[] = {"id", "keyword", "Name"};
  int32_t id = 0;
  std::string_view keyword;
  std::string_view name;

  ScanStop Read(std::string_view line);
  std::string Write() const;
};

}  // namespace core::triggers
