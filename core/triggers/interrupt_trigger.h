// CInterruptTrigger: raises an interrupt request of one interrupt source when its event fires, or,
// in its clearing form, clears a pending request of that source. The flag Raise chooses the form;
// the definition line carries it as its keyword ("interrupt" or "clearInterrupt").
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/triggers/trigger.h"

namespace core::triggers {

inline constexpr char kIllegalInterruptSourceMessage[] =
    "Invalid parameter: illegal interrupt source";

class CInterruptTrigger : public CTrigger {
 public:
  static constexpr uint16_t kRaiseAction = 1;
  static constexpr uint16_t kClearAction = 10;

  explicit CInterruptTrigger(std::shared_ptr<TriggerContext> context);

  // Both forms are one kind; Raise tells them apart.
  TriggerKind Kind() const override { return TriggerKind::Interrupt; }

  int32_t Cycle() const { return cycle_; }
  HResult PutCycle(int32_t cycle);
  int32_t Wait() const { return wait_; }
  HResult PutWait(int32_t wait);
  // The name of an entry of the simulator's interrupt source table, or its index as a number.
  const std::string& Source() const { return source_; }
  // Refused (and logged) unless the registry accepts the source.
  HResult PutSource(const std::string& source);
  bool Raise() const { return raise_; }
  VariantBool GetRaise() const { return automation::ToVariantBool(raise_); }
  HResult PutRaise(VariantBool raise);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 private:
  std::string source_;
  int32_t cycle_ = 0;
  int32_t wait_ = 0;
  bool raise_ = true;
};

}  // namespace core::triggers
