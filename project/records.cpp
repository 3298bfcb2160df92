// Record sizes, the checks and replies of a record, and the readable decoding of trigger records
// and command blocks.
#include "project/records.h"

#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"

namespace project {
namespace {

using core::automation::Format;
using core::automation::ReadF64;
using core::automation::ReadI32;
using core::automation::ReadU16;
using core::automation::ReadU32;

struct Layout {
  uint16_t action;
  const char* name;
  size_t size;  // for connect, the fixed part
};

constexpr Layout kLayouts[] = {
    {kActionInterrupt, "interrupt", 18},
    {kActionStream, "stream", kFullRecordSize},
    {kActionTransfer, "transfer", 40},
    {kActionIoAccess, "ioaccess", 28},
    {kActionClearInterrupt, "clearInterrupt", 18},
    {kActionConnect, "connect", kConnectFixedSize},
    {kActionIoStream, "iostream", 20},
    {kActionMessage, "message", 28},
    {kActionSio, "sio", 44},
    {kActionControl, "control", 24},
    {kActionFileStream, "filestream", 16},
};

const Layout* FindLayout(uint16_t action) {
  for (const Layout& layout : kLayouts) {
    if (layout.action == action) return &layout;
  }
  return nullptr;
}

// The text of a code from a small table, "?" for a value no entry has.
struct CodeName {
  uint32_t code;
  const char* name;
};
template <size_t N>
const char* NameOf(const CodeName (&table)[N], uint32_t code) {
  for (const CodeName& entry : table) {
    if (entry.code == code) return entry.name;
  }
  return "?";
}

constexpr CodeName kMessageTypes[] = {
    {0, "TIME"},         {1, "PC"},        {2, "ADDRESS"},    {3, "DATA"},    {4, "TIME,PC"},
    {5, "TIME,ADDRESS"}, {6, "TIME,DATA"}, {7, "PC,ADDRESS"}, {8, "PC,DATA"}, {9, "ADDRESS,DATA"},
};
constexpr CodeName kControlActions[] = {{1, "STOP"}, {2, "RESET"}, {3, "RESTART"}};
constexpr CodeName kStreamSizes[] = {{1, "8BIT"}, {2, "16BIT"}, {4, "32BIT"}, {8, "DOUBLE"}};
constexpr CodeName kRepeatModes[] = {{1, "CONST"}, {2, "SINGLE"}, {3, "REPEAT"}};
constexpr CodeName kPatterns[] = {{1, "list"}, {2, "random"}, {3, "random2"}, {4, "memory"}};
constexpr CodeName kTransferSizes[] = {{0x01, "8BIT"},  {0x02, "16BIT"},  {0x04, "32BIT"},
                                       {0x81, "8BIT*"}, {0x82, "16BIT*"}, {0x84, "32BIT*"}};
constexpr CodeName kAddressModes[] = {{1, "FIX"}, {2, "INCREMENT"}, {3, "DECREMENT"}};

class Describer {
 public:
  Describer(const uint8_t* record, const std::vector<InterruptSource>* sources)
      : r_(record), sources_(sources) {}

  // "0x0010 (TIMER0)": a source code with the name of the first source that has it.
  std::string Source(uint32_t code) const {
    std::string text = Format("0x%04X", code);
    if (sources_ != nullptr) {
      for (const InterruptSource& source : *sources_) {
        if (source.code == code) return text + " (" + source.name + ")";
      }
    }
    return text;
  }

  // A 32-bit field that holds a resolved source code, -1 when the add-in could not resolve it.
  std::string Source32(size_t at) const {
    const int32_t code = ReadI32(r_ + at);
    return code == -1 ? std::string("-1 (unresolved)") : Source(static_cast<uint32_t>(code));
  }

  // The 16-byte text field of an SIO record: printable characters as they are, others escaped.
  std::string Text16(size_t at) const {
    std::string text = "\"";
    size_t i = 0;
    for (; i < 16 && r_[at + i] != 0; ++i) {
      const uint8_t c = r_[at + i];
      if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
        text += static_cast<char>(c);
      } else {
        text += Format("\\x%02X", c);
      }
    }
    text += "\"";
    if (i == 16) text += " (no terminating zero)";
    return text;
  }

  std::string Body(uint16_t action) const {
    switch (action) {
      case kActionInterrupt:
        return Format("source %s cycle %d wait %d", Source(ReadU16(r_ + 16)).c_str(), I(8), I(12));
      case kActionClearInterrupt:
        return "source " + Source(ReadU16(r_ + 16));
      case kActionIoAccess:
        return Format("cycle %d wait %d extra1 %d extra2 %d extra3 %d", I(8), I(12), I(16), I(20),
                      I(24));
      case kActionIoStream:
        return Format("destination %d (0x%04X)", I(16), static_cast<unsigned>(ReadU16(r_ + 16)));
      case kActionConnect: {
        const unsigned count = ReadU16(r_ + 16);
        std::string text = Format("%u member%s", count, count == 1 ? "" : "s");
        for (unsigned i = 0; i < count; ++i) {
          text += Format(" %u", static_cast<unsigned>(ReadU16(r_ + 18 + 2 * i)));
        }
        return text;
      }
      case kActionMessage:
        return Format("cycle %d wait %d option %d type %d (%s) message 0x%04X", I(8), I(12), I(16),
                      I(20), NameOf(kMessageTypes, U(20)), U(24));
      case kActionSio:
        return Format("address 0x%08X dst source %s src source %s name %s", U(16),
                      Source32(20).c_str(), Source32(24).c_str(), Text16(28).c_str());
      case kActionControl:
        return Format("target %d action %d (%s)", I(16), I(20), NameOf(kControlActions, U(20)));
      case kActionFileStream:
        return {};
      case kActionStream:
        return Stream();
      case kActionTransfer:
        return Format(
            "cycle %u wait %u size 0x%02X (%s) count %u source 0x%08X mode %u (%s) value %d "
            "destination 0x%08X mode %u (%s) value %d",
            U(8), U(12), r_[16], NameOf(kTransferSizes, r_[16]), U(20), U(24), r_[17],
            NameOf(kAddressModes, r_[17]), I(32), U(28), r_[18], NameOf(kAddressModes, r_[18]),
            I(36));
      default:
        return {};
    }
  }

 private:
  int I(size_t at) const { return ReadI32(r_ + at); }
  unsigned U(size_t at) const { return ReadU32(r_ + at); }

  std::string Stream() const {
    const uint8_t pattern = r_[16];
    const uint8_t size = r_[18];
    std::string text = Format(
        "cycle %u wait %u destination 0x%08X size %u (%s) repeat %u (%s) count %u mask 0x%08X "
        "pattern %u (%s)",
        U(8), U(12), U(20), size, NameOf(kStreamSizes, size), r_[17], NameOf(kRepeatModes, r_[17]),
        U(24), U(28), pattern, NameOf(kPatterns, pattern));
    switch (pattern) {
      case 1: {
        const unsigned count = U(32);
        const unsigned shown = count < 100 ? count : 100;
        text += Format(" %u value%s", count, count == 1 ? "" : "s");
        if (count > 100) text += " (100 in the record)";
        if (shown > 0) text += ":";
        for (unsigned i = 0; i < shown; ++i) {
          const size_t at = 36 + 8 * i;
          text += size == 8 ? Format(" %g", ReadF64(r_ + at)) : Format(" 0x%X", U(at));
        }
        return text;
      }
      case 2:
        return text + Format(" values %u min %g max %g", U(32), ReadF64(r_ + 36), ReadF64(r_ + 44));
      case 3:
        return text + Format(" values %u min %u max %u", U(32), U(36), U(44));
      case 4:
        return text + Format(" source 0x%08X", U(32));
      default:
        return text;
    }
  }

  const uint8_t* r_;
  const std::vector<InterruptSource>* sources_;
};

}  // namespace

const char* ActionName(uint16_t action) {
  const Layout* layout = FindLayout(action);
  return layout == nullptr ? nullptr : layout->name;
}

RecordCheck CheckRecord(const uint8_t* record) {
  const uint16_t zero = ReadU16(record);
  const uint16_t define = ReadU16(record + 2);
  const int32_t id = ReadU16(record + 4);
  const uint16_t action = ReadU16(record + 6);
  if (zero != 0 || define != kDefineCode) {
    return {kRefusedBadHeader,
            Format("bad header: words 0x%04X 0x%04X, expected 0x0000 0x0100 or a command block",
                   zero, define)};
  }
  const char* name = ActionName(action);
  if (name == nullptr) {
    return {kRefusedUnknownAction,
            Format("unknown action code %u for id %d", static_cast<unsigned>(action), id)};
  }
  if (!IsTriggerId(id)) {
    return {kRefusedBadId,
            Format("%s id %d outside %d..%d", name, id, kFirstTriggerId, kLastTriggerId)};
  }
  if (action == kActionConnect && ReadU16(record + 16) > kMaxConnectMembers) {
    return {kRefusedTooManyMembers, Format("connect id %d with %u members, at most %u", id,
                                           static_cast<unsigned>(ReadU16(record + 16)),
                                           static_cast<unsigned>(kMaxConnectMembers))};
  }
  return {};
}

std::string RefusalText(const RecordCheck& check) {
  return Format("refused record (word %u): ", check.word) + check.reason;
}

void* NewReplyBlock(uint32_t word, const void* pointer) {
  auto* reply = static_cast<uint8_t*>(std::calloc(1, kReplyBlockSize));
  if (reply == nullptr) return nullptr;
  if (pointer != nullptr) {
    std::memcpy(reply + 4, &pointer, sizeof pointer);
  } else {
    core::automation::ByteWriter field(4);
    field.U32(0, word);
    std::memcpy(reply + 4, field.bytes().data(), 4);
  }
  return reply;
}

size_t RecordSize(uint16_t action) { return FindLayout(action) == nullptr ? 0 : kFullRecordSize; }

size_t LayoutSize(uint16_t action, const uint8_t* record) {
  const Layout* layout = FindLayout(action);
  if (layout == nullptr) return 0;
  if (action == kActionConnect) return kConnectFixedSize + 2u * ReadU16(record + 16);
  return layout->size;
}

std::string DescribeRecord(const uint8_t* record, size_t size,
                           const std::vector<InterruptSource>* sources) {
  if (size < kRecordHeaderSize) return "truncated record (" + std::to_string(size) + " bytes)";
  const uint16_t action = ReadU16(record + 6);
  std::string head = Format("id %u ", static_cast<unsigned>(ReadU16(record + 4)));
  const char* name = ActionName(action);
  if (name == nullptr) return head + Format("action %u (unknown)", static_cast<unsigned>(action));
  head += name;
  // A connect record with more members than the block holds needs more than the block.
  const size_t layout = size < kFullRecordSize ? 0 : LayoutSize(action, record);
  const size_t needed = layout > kFullRecordSize ? layout : kFullRecordSize;
  if (size < needed) {
    return head + ": truncated record (" + std::to_string(size) + " of " + std::to_string(needed) +
           " bytes)";
  }
  const std::string body = Describer(record, sources).Body(action);
  std::string text = body.empty() ? head : head + ": " + body;
  for (size_t at = layout; at < kFullRecordSize; ++at) {
    if (record[at] != 0) {
      text += Format(" (not zero past the layout, from offset %zu)", at);
      break;
    }
  }
  return text;
}

std::string DescribeCommand(const uint8_t* block) {
  const uint16_t code = ReadU16(block + 2);
  const int32_t id = ReadI32(block + 4);
  const std::string target = id == kAllTriggers ? std::string("all") : Format("%d", id);
  switch (code) {
    case kDropCode:
      return "drop " + target;
    case kActivateCode:
      return "activate " + target;
    case kDeactivateCode:
      return "deactivate " + target;
    case kFireCode:
      return "fire " + target;
    case kResetCode:
      return "reset " + target;
    case kActiveTableCode:
      return "active table";
    case kSourceTableCode:
      return "source table";
    default:
      return Format("command 0x%04X for %s", static_cast<unsigned>(code), target.c_str());
  }
}

}  // namespace project
