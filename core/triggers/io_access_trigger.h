// CIOAccessTrigger: hands the simulator two timing values, Cycle and Wait, and three further
// values that travel only in its record. The registry alone creates it (it has no class of its
// own for the host to create), and its Register refreshes the trigger window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CIOAccessTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 9;

  explicit CIOAccessTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::IOAccess; }

  int32_t Cycle() const { return cycle_; }
  HResult PutCycle(int32_t cycle);
  int32_t Wait() const { return wait_; }
  HResult PutWait(int32_t wait);

  // Record-only values: not in the line, not in the list, and writing them does not mark the
  // trigger modified (the simulator learns them at the next Register).
  int32_t Extra1() const { return extra_[0]; }
  HResult PutExtra1(int32_t value);
  int32_t Extra2() const { return extra_[1]; }
  HResult PutExtra2(int32_t value);
  int32_t Extra3() const { return extra_[2]; }
  HResult PutExtra3(int32_t value);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  // Besides the common steps, asks the trigger window to refresh, whatever the simulator said.
  HResult Register() override;

 private:
  int32_t cycle_ = 0;
  int32_t wait_ = 0;
  int32_t extra_[3] = {0, 0, 0};  // nothing sets them before a put: they start at zero
};

}  // namespace core::triggers
