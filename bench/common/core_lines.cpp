// The core's line structs by kind.
#include "bench/common/core_lines.h"

namespace bench {
namespace {

namespace ct = core::triggers;
using ct::ScanStop;
using ct::TriggerKind;

bool AllRead(const ScanStop& stop) { return stop.cause == ScanStop::Cause::Done; }

}  // namespace

bool CoreLines::Parse(TriggerKind kind, std::string_view line) {
  switch (kind) {
    case TriggerKind::Interrupt:
      return AllRead(interrupt.Read(line));
    case TriggerKind::IOAccess:
      return AllRead(io_access.Read(line));
    case TriggerKind::IOStream:
      return AllRead(io_stream.Read(line));
    case TriggerKind::Transfer:
      return AllRead(transfer.Read(line));
    case TriggerKind::Stream: {
      ct::StreamLine::Notes notes;
      stream.Read(line, &notes);
      return notes.empty() && (stream.IsData() || stream.IsStream());
    }
    case TriggerKind::Connect: {
      // The members as the reference keeps them: counted, one piece per comma.
      const ScanStop stop = connect.Read(line);
      if (stop.stored < 2) return false;
      connect_member_count = static_cast<int>(
          ct::ConnectLine::Split(connect.members, [](size_t, std::string_view) {}));
      return true;
    }
    case TriggerKind::Control:
      return AllRead(control.Read(line));
    case TriggerKind::Message:
      return AllRead(message.Read(line));
    case TriggerKind::Sio:
      return AllRead(sio.Read(line));
    case TriggerKind::FileStream:
      return AllRead(file_stream.Read(line));
  }
  return false;
}

std::string CoreLines::Render(TriggerKind kind) const {
  switch (kind) {
    case TriggerKind::Interrupt:
      return interrupt.Write();
    case TriggerKind::IOAccess:
      return io_access.Write();
    case TriggerKind::IOStream:
      return io_stream.Write();
    case TriggerKind::Transfer:
      return transfer.Write();
    case TriggerKind::Stream:
      return stream.Write();
    case TriggerKind::Connect:
      return connect.Write();
    case TriggerKind::Control:
      return control.Write();
    case TriggerKind::Message:
      return message.Write();
    case TriggerKind::Sio:
      return sio.Write();
    case TriggerKind::FileStream:
      return file_stream.Write();
  }
  return {};
}

}  // namespace bench
