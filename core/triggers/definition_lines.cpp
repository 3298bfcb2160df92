// The kinds' definition lines: their patterns, the stream kind's cursor, and their writing.
#include "core/triggers/definition_lines.h"

#include <algorithm>

#include "core/automation/numbers.h"
#include "core/triggers/line_writer.h"
#include "core/triggers/trigger.h"

namespace core::triggers {
namespace {

using automation::EqualsIgnoreCase;
using namespace std::string_view_literals;

// Cuts a stream line from the left, keeping what it could not read as notes.
class LineCursor {
 public:
  LineCursor(std::string_view line, StreamLine::Notes* notes) : line_(line), notes_(notes) {}

  std::string_view Field(const char* name) {
    const size_t comma = automation::FindChar(line_, ',', pos_);
    if (comma == std::string_view::npos) {
      // Every field but the last needs a comma after it; the text left goes to the mask.
      if (!ended_) Note(name, "missing: the line has too few commas");
      ended_ = true;
      return {};
    }
    const std::string_view field = line_.substr(pos_, comma - pos_);
    pos_ = comma + 1;
    return field;
  }

  // Count is written signed and Cycle and Wait unsigned: wrapping, each reads back as written.
  uint32_t Number(const char* name) {
    const std::string_view field = Field(name);
    uint32_t value = 0;
    size_t end = 0;
    const bool read = ReadDecimal(field, end, &value);
    if (notes_ != nullptr && !field.empty() && (!read || end != field.size())) {
      Note(name, Quoted(field) + automation::Format(" is read as %u", value));
    }
    return value;
  }

  // The data list: everything up to the first ",)", after which the reading resumes past ",),".
  // Without the mark the list is empty and the reading resumes two characters on, where it
  // would had the mark stood just before them; Register then judges what is left.
  std::string_view DataList() {
    const size_t mark = FindMark();
    std::string_view list;
    if (mark == std::string_view::npos) {
      if (!ended_) {
        Note("DataList",
             "no \",)\" closes the list: it is read as empty and the fields after it from the "
             "wrong place");
      }
      pos_ = std::min(pos_ + 2, line_.size());
    } else {
      list = line_.substr(pos_, mark - pos_);
      pos_ = std::min(mark + 3, line_.size());
      if (list.empty()) Note("DataList", "empty: the trigger has no data to write");
    }
    return list;
  }

  std::string_view Rest() {
    const std::string_view rest = line_.substr(pos_);
    pos_ = line_.size();
    return rest;
  }

 private:
  // Where the first ",)" from the cursor on is. The list holds many commas but no parenthesis, so
  // the search looks for the parenthesis and then for the comma before it.
  size_t FindMark() const {
    size_t close = automation::FindChar(line_, ')', pos_ + 1);
    while (close != std::string_view::npos && line_[close - 1] != ',') {
      close = automation::FindChar(line_, ')', close + 1);
    }
    return close == std::string_view::npos ? close : close - 1;
  }

  void Note(const char* name, std::string why) {
    if (notes_ != nullptr) notes_->emplace_back(name, std::move(why));
  }

  std::string_view line_;
  StreamLine::Notes* notes_;
  size_t pos_ = 0;
  bool ended_ = false;
};

}  // namespace

ScanStop InterruptLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%[^,],%d,%d");
  return ScanLineStop(line, kPattern, {&id, &keyword, &name, &source, &cycle, &wait});
}

std::string InterruptLine::Write() const {
  // A clearing trigger writes its Cycle and Wait too, although its own parse ignores them.
  return WriteLine(id, EqualsIgnoreCase(keyword, "interrupt") ? "interrupt"sv : "clearInterrupt"sv,
                   name, source, cycle, wait);
}

ScanStop IOAccessLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%d,%d");
  return ScanLineStop(line, kPattern, {&id, &keyword, &name, &cycle, &wait});
}

std::string IOAccessLine::Write() const { return WriteLine(id, "ioaccess"sv, name, cycle, wait); }

ScanStop IOStreamLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%[^,]");
  const ScanStop stop = ScanLineStop(line, kPattern, {&id, &keyword, &name, &destination_text});
  const automation::NumberRead<int32_t> read = automation::ReadLong(destination_text, 0);
  destination = static_cast<int16_t>(static_cast<uint16_t>(read.value));
  // A port is 16 bits, written signed or unsigned.
  destination_as_written = (destination_text.empty() || read.consumed == destination_text.size()) &&
                           read.value >= -32768 && read.value <= 65535;
  return stop;
}

std::string IOStreamLine::Write() const {
  return WriteLine(id, "iostream"sv, name, static_cast<int32_t>(destination));
}

ScanStop TransferLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern(
      "%d,transfer,%[^,],%u,%[^,],%[^,],%[^,],%[^,],%[^,],%u,%u,%d,%d");
  return ScanLineStop(line, kPattern,
                      {&id, &name, &count, &size, &source, &src_mode, &destination, &dst_mode,
                       &cycle, &wait, &src_mode_value, &dst_mode_value});
}

std::string TransferLine::Write() const {
  return WriteLine(id, "transfer"sv, name, count, size, source, src_mode, destination, dst_mode,
                   cycle, wait, src_mode_value, dst_mode_value);
}

void StreamLine::Read(std::string_view line, Notes* notes) {
  *this = StreamLine();  // a line of one form has none of the other's fields
  LineCursor cursor(line, notes);
  id = static_cast<int32_t>(cursor.Number("id"));
  kind = cursor.Field("keyword");
  name = cursor.Field("Name");
  destination = cursor.Field("Destination");
  size = cursor.Field("Size");
  if (IsData()) {
    repeat_mode = cursor.Field("RepeatMode");
    generate_mode = cursor.Field("GenerateMode");
    data_list = cursor.DataList();
    cycle = cursor.Number("Cycle");
    wait = cursor.Number("Wait");
    mask = cursor.Rest();
  } else if (IsStream()) {
    repeat_mode = cursor.Field("RepeatMode");
    stream_source = cursor.Field("StreamSource");
    count = cursor.Number("Count");
    cycle = cursor.Number("Cycle");
    wait = cursor.Number("Wait");
    mask = cursor.Rest();
  }
}

std::string StreamLine::Write() const {
  // The count is written signed, Cycle and Wait unsigned, as LineCursor::Number reads them.
  if (IsData()) {
    return WriteLine(id, kind, name, destination, size, repeat_mode, generate_mode, data_list,
                     ")"sv, cycle, wait, mask);
  }
  if (IsStream()) {
    return WriteLine(id, kind, name, destination, size, repeat_mode, stream_source,
                     static_cast<int32_t>(count), cycle, wait, mask);
  }
  return {};
}

ScanStop ConnectLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,connect,%[^,],%s");
  return ScanLineStop(line, kPattern, {&id, &name, &members});
}

std::string ConnectLine::Write() const {
  if (members.empty()) return WriteLine(id, "connect"sv, name);
  return WriteLine(id, "connect"sv, name, members);
}

std::string ConnectLine::Write(int32_t id, std::string_view name,
                               const std::vector<std::string>& members, size_t count) {
  count = std::min(count, members.size());
  std::string line = WriteLine(id, "connect"sv, name);
  size_t length = line.size();
  for (size_t i = 0; i < count; ++i) length += 1 + members[i].size();
  line.reserve(length);
  for (size_t i = 0; i < count; ++i) line.append(",").append(members[i]);
  return line;
}

ScanStop ControlLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%[^,],%[^,]");
  return ScanLineStop(line, kPattern, {&id, &keyword, &name, &action, &target});
}

std::string ControlLine::Write() const { return WriteLine(id, "control"sv, name, action, target); }

ScanStop MessageLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%[^,],%[^,],%d,%d,%d");
  return ScanLineStop(
      line, kPattern,
      {&id, &keyword, &name, {&option, kMaxOption}, &destination, &source, &wait, &cycle});
}

std::string MessageLine::Write() const {
  return WriteLine(id, "message"sv, name, EqualsIgnoreCase(option, "true") ? "true"sv : "false"sv,
                   destination, source, wait, cycle);
}

ScanStop SioLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,],%[^,],%[^,],%[^,],%[^,]");
  return ScanLineStop(line, kPattern,
                      {&id, &keyword, &name, &source, &dst_mode, &src_mode, &destination});
}

std::string SioLine::Write() const {
  return WriteLine(id, "sio"sv, name, source, dst_mode, src_mode, destination);
}

ScanStop FileStreamLine::Read(std::string_view line) {
  static constexpr ScanPattern kPattern("%d,%[^,],%[^,]");
  return ScanLineStop(line, kPattern, {&id, &keyword, &name});
}

std::string FileStreamLine::Write() const { return WriteLine(id, "filestream"sv, name); }

}  // namespace core::triggers
