// The reference reader and writer: sscanf and snprintf, one pattern per kind.
#include "bench/reference/definition_lines.h"

#include <strings.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench::reference {
namespace {

using core::triggers::TriggerKind;

// snprintf into a string: a line fits the stack buffer unless a data list is long.
std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string line;
  if (length < static_cast<int>(sizeof buffer)) {
    line.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
  } else {
    line.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(line.data(), line.size(), format, again);
    line.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return line;
}

bool ParseStream(const char* line, StreamLine* s) {
  int used = 0;
  if (std::sscanf(line, "%d,%259[^,],%259[^,],%259[^,],%259[^,],%n", &s->id, s->kind, s->name,
                  s->destination, s->size, &used) != 5 ||
      used == 0) {
    return false;
  }
  const char* rest = line + used;
  if (strcasecmp(s->kind, "data") == 0) {
    used = 0;
    if (std::sscanf(rest, "%259[^,],%259[^,],%n", s->repeat_mode, s->generate_mode, &used) != 2 ||
        used == 0) {
      return false;
    }
    rest += used;
    const char* mark = std::strstr(rest, ",)");
    if (mark == nullptr) return false;
    s->data_list.assign(rest, static_cast<size_t>(mark - rest));
    s->stream_source[0] = '\0';
    s->count = 0;
    return std::sscanf(mark + 3, "%u,%u,%259s", &s->cycle, &s->wait, s->mask) == 3;
  }
  if (strcasecmp(s->kind, "stream") == 0) {
    s->generate_mode[0] = '\0';
    s->data_list.clear();
    return std::sscanf(rest, "%259[^,],%259[^,],%d,%u,%u,%259s", s->repeat_mode, s->stream_source,
                       &s->count, &s->cycle, &s->wait, s->mask) == 6;
  }
  return false;
}

bool ParseConnect(const char* line, ConnectLine* c) {
  Text rest;
  c->member_count = 0;
  const int read = std::sscanf(line, "%d,connect,%259[^,],%259s", &c->id, c->name, rest);
  if (read < 2) return false;
  if (read == 2) return true;
  for (const char* piece = rest; *piece != '\0' && c->member_count < ConnectLine::kMaxMembers;) {
    const char* comma = std::strchr(piece, ',');
    const size_t length = comma ? static_cast<size_t>(comma - piece) : std::strlen(piece);
    std::memcpy(c->members[c->member_count], piece, length);
    c->members[c->member_count][length] = '\0';
    ++c->member_count;
    if (comma == nullptr) break;
    piece = comma + 1;
  }
  return true;
}

}  // namespace

bool DefinitionLines::Parse(TriggerKind kind, const char* line) {
  switch (kind) {
    case TriggerKind::Interrupt: {
      InterruptLine& i = interrupt;
      if (std::sscanf(line, "%d,%259[^,],%259[^,],%259[^,],%d,%d", &i.id, i.keyword, i.name,
                      i.source, &i.cycle, &i.wait) != 6) {
        return false;
      }
      if (strcasecmp(i.keyword, "interrupt") != 0) i.cycle = i.wait = 0;  // clearing: no timing
      return true;
    }
    case TriggerKind::IOAccess: {
      IOAccessLine& a = io_access;
      return std::sscanf(line, "%d,%259[^,],%259[^,],%d,%d", &a.id, a.keyword, a.name, &a.cycle,
                         &a.wait) == 5;
    }
    case TriggerKind::IOStream: {
      IOStreamLine& p = io_stream;
      if (std::sscanf(line, "%d,%259[^,],%259[^,],%259[^,]", &p.id, p.keyword, p.name,
                      p.destination_text) != 4) {
        return false;
      }
      p.destination =
          static_cast<int16_t>(static_cast<uint16_t>(std::strtol(p.destination_text, nullptr, 0)));
      return true;
    }
    case TriggerKind::Transfer: {
      TransferLine& t = transfer;
      return std::sscanf(line,
                         "%d,transfer,%259[^,],%u,%259[^,],%259[^,],%259[^,],%259[^,],%259[^,],%u,"
                         "%u,%d,%d",
                         &t.id, t.name, &t.count, t.size, t.source, t.src_mode, t.destination,
                         t.dst_mode, &t.cycle, &t.wait, &t.src_mode_value, &t.dst_mode_value) == 12;
    }
    case TriggerKind::Stream:
      return ParseStream(line, &stream);
    case TriggerKind::Connect:
      return ParseConnect(line, &connect);
    case TriggerKind::Control: {
      ControlLine& c = control;
      return std::sscanf(line, "%d,%259[^,],%259[^,],%259[^,],%259[^,]", &c.id, c.keyword, c.name,
                         c.action, c.target) == 5;
    }
    case TriggerKind::Message: {
      MessageLine& m = message;
      if (std::sscanf(line, "%d,%259[^,],%259[^,],%7[^,],%259[^,],%d,%d,%d", &m.id, m.keyword,
                      m.name, m.option, m.destination, &m.source, &m.wait, &m.cycle) != 8) {
        return false;
      }
      m.source = static_cast<int16_t>(static_cast<uint16_t>(m.source));
      return true;
    }
    case TriggerKind::Sio: {
      SioLine& s = sio;
      return std::sscanf(line, "%d,%259[^,],%259[^,],%259[^,],%259[^,],%259[^,],%259[^,]", &s.id,
                         s.keyword, s.name, s.source, s.dst_mode, s.src_mode, s.destination) == 7;
    }
    case TriggerKind::FileStream: {
      FileStreamLine& f = file_stream;
      return std::sscanf(line, "%d,%259[^,],%259[^,]", &f.id, f.keyword, f.name) == 3;
    }
  }
  return false;
}

std::string DefinitionLines::Render(TriggerKind kind) const {
  switch (kind) {
    case TriggerKind::Interrupt: {
      const InterruptLine& i = interrupt;
      const bool raise = strcasecmp(i.keyword, "interrupt") == 0;
      return Printed(raise ? "%d,interrupt,%s,%s,%d,%d" : "%d,clearInterrupt,%s,%s,%d,%d", i.id,
                     i.name, i.source, i.cycle, i.wait);
    }
    case TriggerKind::IOAccess:
      return Printed("%d,ioaccess,%s,%d,%d", io_access.id, io_access.name, io_access.cycle,
                     io_access.wait);
    case TriggerKind::IOStream:
      return Printed("%d,iostream,%s,%d", io_stream.id, io_stream.name, io_stream.destination);
    case TriggerKind::Transfer: {
      const TransferLine& t = transfer;
      return Printed("%d,transfer,%s,%u,%s,%s,%s,%s,%s,%u,%u,%d,%d", t.id, t.name, t.count, t.size,
                     t.source, t.src_mode, t.destination, t.dst_mode, t.cycle, t.wait,
                     t.src_mode_value, t.dst_mode_value);
    }
    case TriggerKind::Stream: {
      const StreamLine& s = stream;
      if (strcasecmp(s.kind, "data") == 0) {
        return Printed("%d,%s,%s,%s,%s,%s,%s,%s,),%u,%u,%s", s.id, s.kind, s.name, s.destination,
                       s.size, s.repeat_mode, s.generate_mode, s.data_list.c_str(), s.cycle, s.wait,
                       s.mask);
      }
      return Printed("%d,%s,%s,%s,%s,%s,%s,%d,%u,%u,%s", s.id, s.kind, s.name, s.destination,
                     s.size, s.repeat_mode, s.stream_source, s.count, s.cycle, s.wait, s.mask);
    }
    case TriggerKind::Connect: {
      std::string line = Printed("%d,connect,%s", connect.id, connect.name);
      for (int i = 0; i < connect.member_count; ++i) {
        line += ',';
        line += connect.members[i];
      }
      return line;
    }
    case TriggerKind::Control:
      return Printed("%d,control,%s,%s,%s", control.id, control.name, control.action,
                     control.target);
    case TriggerKind::Message: {
      const MessageLine& m = message;
      return Printed("%d,message,%s,%s,%s,%d,%d,%d", m.id, m.name,
                     strcasecmp(m.option, "true") == 0 ? "true" : "false", m.destination, m.source,
                     m.wait, m.cycle);
    }
    case TriggerKind::Sio: {
      const SioLine& s = sio;
      return Printed("%d,sio,%s,%s,%s,%s,%s", s.id, s.name, s.source, s.dst_mode, s.src_mode,
                     s.destination);
    }
    case TriggerKind::FileStream:
      return Printed("%d,filestream,%s", file_stream.id, file_stream.name);
  }
  return {};
}

}  // namespace bench::reference
