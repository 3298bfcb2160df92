// The simulator's command entry: record checks, the per-trigger commands and the replies.
#include "standin/model/simulator.h"

#include <cstdlib>
#include <cstring>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "project/records.h"

namespace standin::model {
namespace {

using core::automation::Format;
using core::automation::kFail;
using core::automation::kOk;
using core::automation::kOutOfMemory;
using core::automation::kPointer;
using core::automation::ReadI32;
using core::automation::ReadU16;
using project::DescribeCommand;
using project::DescribeRecord;
using project::IsTriggerId;
using project::kActivateCode;
using project::kActiveTableCode;
using project::kAllTriggers;
using project::kCommandBlockTag;
using project::kDeactivateCode;
using project::kDropCode;
using project::kFireCode;
using project::kFirstTriggerId;
using project::kLastTriggerId;
using project::kResetCode;
using project::kSourceTableCode;
using project::RecordSize;
using project::SourceTableBytes;

}  // namespace

Simulator::Simulator() = default;

HResult Simulator::Command(const uint8_t* block, void** reply_block) {
  if (reply_block == nullptr) {
    journal_.Add("E_POINTER: no place for the reply");
    return kPointer;
  }
  *reply_block = nullptr;
  if (block == nullptr) {
    journal_.Add("E_POINTER: no command block");
    return kPointer;
  }
  if (ReadU16(block) == kCommandBlockTag) return RunCommand(block, reply_block);
  return DefineRecord(block, reply_block);
}

HResult Simulator::DefineRecord(const uint8_t* record, void** reply_block) {
  const project::RecordCheck check = project::CheckRecord(record);
  if (!check.accepted()) return Refuse(check, reply_block);
  const int32_t id = ReadU16(record + 4);
  const uint16_t action = ReadU16(record + 6);
  const size_t size = RecordSize(action);
  const HResult hr = Reply(0, nullptr, reply_block);
  if (hr != kOk) return hr;
  StoredTrigger& trigger = triggers_[id];
  const bool redefined = trigger.definitions != 0;
  trigger.id = id;
  trigger.action = action;
  trigger.record.assign(record, record + size);
  trigger.definitions += 1;
  trigger.fires = 0;
  journal_.Add((redefined ? "redefine " : "define ") + DescribeRecord(record, size, &sources_));
  return kOk;
}

HResult Simulator::RunCommand(const uint8_t* block, void** reply_block) {
  const uint16_t code = ReadU16(block + 2);
  const std::string what = DescribeCommand(block);
  if (code == kActiveTableCode) {
    journal_.Add(what);
    return Reply(0, active_.data(), reply_block);
  }
  if (code == kSourceTableCode) {
    const std::vector<uint8_t> bytes = SourceTableBytes(sources_);
    // The buffer becomes the add-in's, which releases it with free().
    void* table = std::malloc(bytes.size());
    if (table == nullptr) return kOutOfMemory;
    std::memcpy(table, bytes.data(), bytes.size());
    const HResult hr = Reply(0, table, reply_block);
    if (hr != kOk) {
      std::free(table);
      return hr;
    }
    journal_.Add(what + " (" + std::to_string(sources_.size()) + " sources)");
    return kOk;
  }
  if (code != kDropCode && code != kActivateCode && code != kDeactivateCode && code != kFireCode &&
      code != kResetCode) {
    return FailCommand(what + ": unknown command code");
  }

  const int32_t id = ReadI32(block + 4);
  if (id == kAllTriggers) {
    const size_t held = triggers_.size();
    if (code == kDropCode) {
      triggers_.clear();
      active_.fill(0);
    } else {
      for (auto& entry : triggers_) Apply(code, entry.second);
    }
    const HResult hr = Reply(0, nullptr, reply_block);
    if (hr != kOk) return hr;
    journal_.Add(what + " (" + std::to_string(held) + (held == 1 ? " trigger)" : " triggers)"));
    return kOk;
  }
  if (!IsTriggerId(id)) {
    return FailCommand(
        Format("%s: id outside %d..%d", what.c_str(), kFirstTriggerId, kLastTriggerId));
  }
  const auto found = triggers_.find(id);
  if (found == triggers_.end() && code != kDropCode) {
    return FailCommand(what + ": no such trigger");
  }
  const HResult hr = Reply(0, nullptr, reply_block);
  if (hr != kOk) return hr;
  if (found == triggers_.end()) {
    journal_.Add(what + ": not held, nothing to drop");
    return kOk;
  }
  if (code == kDropCode) {
    ActiveWord(id) = 0;
    triggers_.erase(found);
  } else {
    Apply(code, found->second);
  }
  journal_.Add(what);
  return kOk;
}

void Simulator::Apply(uint16_t code, StoredTrigger& trigger) {
  switch (code) {
    case kActivateCode:
      ActiveWord(trigger.id) = 1;
      break;
    case kDeactivateCode:
      ActiveWord(trigger.id) = 0;
      break;
    case kFireCode:
      trigger.fires += 1;
      break;
    case kResetCode:
      ActiveWord(trigger.id) = 0;
      trigger.fires = 0;
      break;
    default:
      break;
  }
}

HResult Simulator::Reply(uint32_t word, const void* pointer, void** reply_block) {
  void* reply = project::NewReplyBlock(word, pointer);
  if (reply == nullptr) {
    journal_.Add("E_OUTOFMEMORY: no reply block");
    return kOutOfMemory;
  }
  *reply_block = reply;
  return kOk;
}

HResult Simulator::Refuse(const project::RecordCheck& check, void** reply_block) {
  const HResult hr = Reply(check.word, nullptr, reply_block);
  if (hr != kOk) return hr;
  journal_.Add(project::RefusalText(check));
  return kOk;
}

HResult Simulator::FailCommand(const std::string& reason) {
  journal_.Add("E_FAIL: " + reason);
  return kFail;
}

void Simulator::Clear() {
  triggers_.clear();
  active_.fill(0);
}

bool Simulator::IsActive(int32_t id) const {
  return IsTriggerId(id) && active_[static_cast<size_t>(id - kFirstTriggerId)] != 0;
}

const StoredTrigger* Simulator::Find(int32_t id) const {
  const auto found = triggers_.find(id);
  return found == triggers_.end() ? nullptr : &found->second;
}

std::vector<int32_t> Simulator::Ids() const {
  std::vector<int32_t> ids;
  for (const auto& entry : triggers_) ids.push_back(entry.first);
  return ids;
}

}  // namespace standin::model
