// What the host's simulator receives through "SimCommand": trigger records and command
// blocks, their sizes, the checks a record must pass before a simulator holds it, the reply
// blocks it answers with, and a readable one-line decoding of each, so that the log shows what the
// simulator understood byte for byte.
//
// The add-in passes a bare pointer, never a length: every trigger record is the same block of
// kFullRecordSize bytes, of which the layout of its action code (for a connect record, with its
// member count) covers the first part; the rest is zero. The simulator keeps the whole block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/simulator_codes.h"
#include "project/interrupt_source_table.h"

namespace project {

// Trigger record header: u16 0, u16 0x0100, u16 trigger id, u16 action code.
inline constexpr size_t kRecordHeaderSize = 8;
using core::automation::simulator::kDefineCode;

// Action codes of the trigger kinds.
inline constexpr uint16_t kActionInterrupt = 1;
inline constexpr uint16_t kActionStream = 2;  // data and stream triggers
inline constexpr uint16_t kActionTransfer = 4;
inline constexpr uint16_t kActionIoAccess = 9;
inline constexpr uint16_t kActionClearInterrupt = 10;
inline constexpr uint16_t kActionConnect = 11;
inline constexpr uint16_t kActionIoStream = 12;
inline constexpr uint16_t kActionMessage = 13;
inline constexpr uint16_t kActionSio = 15;
inline constexpr uint16_t kActionControl = 16;
inline constexpr uint16_t kActionFileStream = 17;

// The block every trigger record is, whatever its kind; the stream's layout fills all of it.
inline constexpr size_t kFullRecordSize = 836;
inline constexpr size_t kConnectFixedSize = 18;  // header, 8 zero bytes, u16 member count
inline constexpr size_t kMaxConnectMembers = 8;

// Command block: u16 8, u16 command code, i32 trigger id (-1: all triggers).
inline constexpr size_t kCommandBlockSize = 8;
inline constexpr uint16_t kCommandBlockTag = 8;
using core::automation::simulator::kActivateCode;
using core::automation::simulator::kActiveTableCode;
using core::automation::simulator::kDeactivateCode;
using core::automation::simulator::kDropCode;
using core::automation::simulator::kFireCode;
using core::automation::simulator::kResetCode;
using core::automation::simulator::kSourceTableCode;
inline constexpr int32_t kAllTriggers = -1;

// Trigger ids name the 256 registry slots: id = number + 100.
inline constexpr int32_t kFirstTriggerId = 100;
inline constexpr int32_t kLastTriggerId = 355;
inline bool IsTriggerId(int32_t id) { return id >= kFirstTriggerId && id <= kLastTriggerId; }

// Refusal words of a trigger record, as the reply to it carries them.
inline constexpr uint32_t kRefusedBadHeader = 1;       // first word not 0 or second not 0x0100
inline constexpr uint32_t kRefusedUnknownAction = 2;   // no kind has that action code
inline constexpr uint32_t kRefusedBadId = 3;           // id outside 100..355
inline constexpr uint32_t kRefusedTooManyMembers = 4;  // connect record with more than 8 members

struct RecordCheck {
  uint32_t word = 0;   // 0 when the record is taken, else its refusal word
  std::string reason;  // why it is refused: "interrupt id 99 outside 100..355"
  bool accepted() const { return word == 0; }
};

// What a simulator makes of a record before it holds it. `record` holds at least the header, and
// for a connect record the member count at offset 16.
RecordCheck CheckRecord(const uint8_t* record);
// The line a simulator's journal gives a refused record: "refused record (word 3): ...".
std::string RefusalText(const RecordCheck& check);

// Every reply block: kReplyBlockSize bytes, malloc'ed, word 0 zero, at byte offset 4 either the
// refusal word of a record or the data pointer a command answers with (pointer-sized, written
// with memcpy). The add-in releases it with free(). Null when no memory is left.
inline constexpr size_t kReplyBlockSize = 16;
void* NewReplyBlock(uint32_t word, const void* pointer);

// "interrupt", "clearInterrupt", "stream", ...; null for an action code no kind uses.
const char* ActionName(uint16_t action);

// The number of bytes a record with that action code occupies: kFullRecordSize, 0 for an unknown
// code.
size_t RecordSize(uint16_t action);
// The number of bytes the layout of that action code covers; 0 for an unknown code. For a connect
// record the member count decides, so `record` must hold its first 18 bytes.
size_t LayoutSize(uint16_t action, const uint8_t* record);

// One line naming the kind and every field, e.g.
// "id 101 interrupt: source 0x0010 (TIMER0) cycle 5 wait 6". Source codes are followed by the
// name of the first source with that code when `sources` is given. `size` is what the caller
// holds; a record shorter than the block is reported as truncated, never read past. Bytes past
// the layout that are not zero are pointed out: the add-in zeroes what its kind does not write.
std::string DescribeRecord(const uint8_t* record, size_t size,
                           const std::vector<InterruptSource>* sources = nullptr);

// "activate 101", "drop all", "active table", "command 0x0107 for 101".
std::string DescribeCommand(const uint8_t* block);

}  // namespace project
