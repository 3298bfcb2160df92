// CControlTrigger: stops, resets or restarts another trigger, its target, when this trigger's
// event fires. The target is held by name and looked up afresh on every Register.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CControlTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 16;

  explicit CControlTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Control; }

  // "STOP" 1, "RESET" 2, "RESTART" 3, compared without regard to case; 0 for any other text.
  static int32_t ControlCode(std::string_view action);

  const std::string& Action() const { return action_; }
  const std::string& Target() const { return target_; }

  // Refuses (E_FAIL, no message) a text that is no control word; stores the word as written.
  HResult PutAction(std::string_view action);
  // No check: the target need not exist until Register.
  HResult PutTarget(std::string_view target);

  // The interface keeps four slots that take one argument, do nothing and fail.
  static HResult Reserved() { return automation::kFail; }

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 private:
  std::string action_;
  std::string target_;
};

}  // namespace core::triggers
