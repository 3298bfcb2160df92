// What surrounds a trigger in the native benchmarks and their tests when no registry is wanted:
// every name and interrupt source is accepted, every named trigger is found, numerals evaluate to
// their value and every record is taken. The answers cost little and nothing here allocates, so
// that what is measured and counted through it is the work of the trigger itself. The part of a
// load that the host does is measured under Wine, beside the host calls alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/numbers.h"
#include "core/triggers/trigger_context.h"

namespace bench {

class AcceptingContext : public core::triggers::TriggerContext {
 public:
  using HResult = core::automation::HResult;

  HResult CheckNameUniqueExcept(const std::string&, int32_t) override { return 0; }
  HResult CheckInterruptSource(const std::string&) override { return 0; }
  HResult ResolveInterruptSource(const std::string&, int32_t* code) override {
    *code = 0x10;
    return 0;
  }
  int32_t FindNumberByName(const std::string&) override { return 0; }
  int DefineTrigger(int32_t, const std::string&, const std::vector<uint8_t>& record,
                    bool) override {
    last_record_size = record.size();
    return 0;
  }
  int SetEventName(int32_t, const std::string&, const std::string*) override { return 0; }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    const auto read = core::automation::ReadUnsigned(expression);
    if (read.consumed == 0) return core::automation::kFail;
    *value = static_cast<int32_t>(read.value);
    return 0;
  }
  HResult WriteLog(const std::string&) override { return 0; }
  void RefreshTriggerWindow() override {}
  uint32_t RegisterMessageName(const std::string&) override { return 0xC000; }

  size_t last_record_size = 0;
};

}  // namespace bench
