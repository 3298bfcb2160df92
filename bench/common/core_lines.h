// The core's definition line structs behind one interface by kind, as the sscanf reference has:
// the benchmark reads and writes each line with its kind's struct, the one the triggers use, so
// the two sides do the same fields of the same lines.
#pragma once

#include <string>
#include <string_view>

#include "core/triggers/definition_lines.h"
#include "core/triggers/kinds.h"

namespace bench {

// Reads lines of one kind at a time into the struct of that kind and writes the last one read.
// Texts view the line read last.
class CoreLines {
 public:
  // False when the line's fields could not all be read.
  bool Parse(core::triggers::TriggerKind kind, std::string_view line);
  std::string Render(core::triggers::TriggerKind kind) const;

  core::triggers::InterruptLine interrupt;
  core::triggers::IOAccessLine io_access;
  core::triggers::IOStreamLine io_stream;
  core::triggers::TransferLine transfer;
  core::triggers::StreamLine stream;
  core::triggers::ConnectLine connect;
  int connect_member_count = 0;
  core::triggers::ControlLine control;
  core::triggers::MessageLine message;
  core::triggers::SioLine sio;
  core::triggers::FileStreamLine file_stream;
};

}  // namespace bench
