// The kinds' definition lines: their patterns, the stream kind's cursor, and their writing.
#include "core/triggers/definition_lines.h"

#include <algorithm>

#include "core/automation/numbers.h"
#include "core/triggers/line_writer.h"
#include "core/triggers/trigger.h"

namespace core::triggers {
namespace {

using automation::EqualsIgnoreCase;

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
    const size_t mark = line_.find(",)", pos_);
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
  return ScanLineStop(line, "%d,%[^,],%[^,],%[^,],%d,%d",
                      {&id, &keyword, &name, &source, &cycle, &wait});
}

std::string InterruptLine::Write() const {
  // A clearing trigger writes its Cycle and Wait too, although its own parse ignores them.
  return LineWriter()
      .Number(id)
      .Text(EqualsIgnoreCase(keyword, "interrupt") ? "interrupt" : "clearInterrupt")
      .Text(name)
      .Text(source)
      .Number(cycle)
      .Number(wait)
      .Take();
}

ScanStop IOAccessLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,%[^,],%[^,],%d,%d", {&id, &keyword, &name, &cycle, &wait});
}

std::string IOAccessLine::Write() const {
  return LineWriter().Number(id).Text("ioaccess").Text(name).Number(cycle).Number(wait).Take();
}

ScanStop IOStreamLine::Read(std::string_view line) {
  const ScanStop stop =
      ScanLineStop(line, "%d,%[^,],%[^,],%[^,]", {&id, &keyword, &name, &destination_text});
  const automation::NumberRead<int32_t> read = automation::ReadLong(destination_text, 0);
  destination = static_cast<int16_t>(static_cast<uint16_t>(read.value));
  // A port is 16 bits, written signed or unsigned.
  destination_as_written = (destination_text.empty() || read.consumed == destination_text.size()) &&
                           read.value >= -32768 && read.value <= 65535;
  return stop;
}

std::string IOStreamLine::Write() const {
  return LineWriter()
      .Number(id)
      .Text("iostream")
      .Text(name)
      .Number(static_cast<int32_t>(destination))
      .Take();
}

ScanStop TransferLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,transfer,%[^,],%u,%[^,],%[^,],%[^,],%[^,],%[^,],%u,%u,%d,%d",
                      {&id, &name, &count, &size, &source, &src_mode, &destination, &dst_mode,
                       &cycle, &wait, &src_mode_value, &dst_mode_value});
}

std::string TransferLine::Write() const {
  return LineWriter()
      .Number(id)
      .Text("transfer")
      .Text(name)
      .Number(count)
      .Text(size)
      .Text(source)
      .Text(src_mode)
      .Text(destination)
      .Text(dst_mode)
      .Number(cycle)
      .Number(wait)
      .Number(src_mode_value)
      .Number(dst_mode_value)
      .Take();
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
  const bool data = IsData();
  if (!data && !IsStream()) return {};
  LineWriter line;
  line.Number(id).Text(kind).Text(name).Text(destination).Text(size).Text(repeat_mode);
  if (data) {
    line.Text(generate_mode).Text(data_list).Text(")");
  } else {
    line.Text(stream_source).Number(static_cast<int32_t>(count));
  }
  return line.Number(cycle).Number(wait).Text(mask).Take();
}

ScanStop ConnectLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,connect,%[^,],%s", {&id, &name, &members});
}

std::string ConnectLine::Write() const {
  LineWriter line;
  line.Number(id).Text("connect").Text(name);
  if (!members.empty()) line.Text(members);
  return line.Take();
}

std::string ConnectLine::Write(int32_t id, std::string_view name,
                               const std::vector<std::string>& members, size_t count) {
  LineWriter line;
  line.Number(id).Text("connect").Text(name);
  for (size_t i = 0; i < count && i < members.size(); ++i) line.Text(members[i]);
  return line.Take();
}

ScanStop ControlLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,%[^,],%[^,],%[^,],%[^,]", {&id, &keyword, &name, &action, &target});
}

std::string ControlLine::Write() const {
  return LineWriter().Number(id).Text("control").Text(name).Text(action).Text(target).Take();
}

ScanStop MessageLine::Read(std::string_view line) {
  return ScanLineStop(
      line, "%d,%[^,],%[^,],%[^,],%[^,],%d,%d,%d",
      {&id, &keyword, &name, {&option, kMaxOption}, &destination, &source, &wait, &cycle});
}

std::string MessageLine::Write() const {
  return LineWriter()
      .Number(id)
      .Text("message")
      .Text(name)
      .Text(EqualsIgnoreCase(option, "true") ? "true" : "false")
      .Text(destination)
      .Number(source)
      .Number(wait)
      .Number(cycle)
      .Take();
}

ScanStop SioLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,%[^,],%[^,],%[^,],%[^,],%[^,],%[^,]",
                      {&id, &keyword, &name, &source, &dst_mode, &src_mode, &destination});
}

std::string SioLine::Write() const {
  return LineWriter()
      .Number(id)
      .Text("sio")
      .Text(name)
      .Text(source)
      .Text(dst_mode)
      .Text(src_mode)
      .Text(destination)
      .Take();
}

ScanStop FileStreamLine::Read(std::string_view line) {
  return ScanLineStop(line, "%d,%[^,],%[^,]", {&id, &keyword, &name});
}

std::string FileStreamLine::Write() const {
  return LineWriter().Number(id).Text("filestream").Text(name).Take();
}

}  // namespace core::triggers
