// A reference reader and writer of definition lines, written the straightforward way: each kind's
// line is read with its pattern by sscanf into fixed buffers and written back with snprintf. It is
// what a user of the lines could write instead of the triggers; the benchmarks measure the
// triggers beside it, and its test checks that it reads the same fields and writes the same lines.
#pragma once

#include <cstdint>
#include <string>

#include "core/triggers/kinds.h"

namespace bench::reference {

// A text field holds at most 259 characters, as in the triggers.
inline constexpr int kTextSize = 260;
using Text = char[kTextSize];

struct InterruptLine {
  int32_t id;
  Text keyword, name, source;
  int32_t cycle, wait;
};
struct IOAccessLine {
  int32_t id;
  Text keyword, name;
  int32_t cycle, wait;
};
struct IOStreamLine {
  int32_t id;
  Text keyword, name, destination_text;
  int16_t destination;
};
struct TransferLine {
  int32_t id;
  Text name;
  uint32_t count;
  Text size, source, src_mode, destination, dst_mode;
  uint32_t cycle, wait;
  int32_t src_mode_value, dst_mode_value;
};
// The data and the stream form of the stream kind.
struct StreamLine {
  int32_t id;
  Text kind, name, destination, size, repeat_mode, generate_mode, stream_source, mask;
  std::string data_list;  // the one field that may hold commas, of any length
  int32_t count;
  uint32_t cycle, wait;
};
struct ConnectLine {
  static constexpr int kMaxMembers = 8;
  int32_t id;
  Text name;
  int member_count;
  Text members[kMaxMembers];
};
struct ControlLine {
  int32_t id;
  Text keyword, name, action, target;
};
struct MessageLine {
  int32_t id;
  Text keyword, name, destination;
  char option[8];
  int32_t source, wait, cycle;
};
struct SioLine {
  int32_t id;
  Text keyword, name, source, dst_mode, src_mode, destination;
};
struct FileStreamLine {
  int32_t id;
  Text keyword, name;
};

// Reads lines of one kind at a time into the struct of that kind and writes the last one read.
class DefinitionLines {
 public:
  // False when the line's fields could not all be read.
  bool Parse(core::triggers::TriggerKind kind, const char* line);
  std::string Render(core::triggers::TriggerKind kind) const;

  InterruptLine interrupt{};
  IOAccessLine io_access{};
  IOStreamLine io_stream{};
  TransferLine transfer{};
  StreamLine stream{};
  ConnectLine connect{};
  ControlLine control{};
  MessageLine message{};
  SioLine sio{};
  FileStreamLine file_stream{};
};

}  // namespace bench::reference
