// Holding records and handing out the source table.
#include "tools/trigger-check/record_keeper.h"

#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "project/records.h"

namespace trigger_check {

using core::automation::HResult;
using core::automation::kOk;
using core::automation::kOutOfMemory;
using core::automation::ReadU16;

HResult RecordKeeper::Command(const uint8_t* block, void** reply, std::string* refusal) {
  *reply = nullptr;
  refusal->clear();
  if (ReadU16(block) == project::kCommandBlockTag) {
    if (ReadU16(block + 2) != project::kSourceTableCode) return core::automation::kFail;
    const std::vector<uint8_t> bytes = project::SourceTableBytes(sources_);
    // The buffer becomes the add-in's, which releases it with free().
    void* table = std::malloc(bytes.size());
    if (table == nullptr) return kOutOfMemory;
    std::memcpy(table, bytes.data(), bytes.size());
    *reply = project::NewReplyBlock(0, table);
    if (*reply == nullptr) std::free(table);
    return *reply == nullptr ? kOutOfMemory : kOk;
  }
  const project::RecordCheck check = project::CheckRecord(block);
  *reply = project::NewReplyBlock(check.word, nullptr);
  if (*reply == nullptr) return kOutOfMemory;
  if (!check.accepted()) {
    *refusal = project::RefusalText(check);
    return kOk;
  }
  records_[ReadU16(block + 4)].assign(block, block + project::RecordSize(ReadU16(block + 6)));
  return kOk;
}

}  // namespace trigger_check
