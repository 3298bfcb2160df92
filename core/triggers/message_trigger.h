// CMessageTrigger: hands the simulator a registered window-message number, obtained from the
// message name in Destination, with the message type that selects which simulation values go with
// the message, an option flag and the two timing values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CMessageTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 13;
  static constexpr int32_t kMessageTypeCount = 10;

  explicit CMessageTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Message; }

  // "TIME", "PC", ... "ADDRESS,DATA" for the indexes 0 to 9; an empty text for any other index.
  static const char* MessageTypeText(int32_t index);

  const std::string& Destination() const { return destination_; }
  int32_t SourceIndex() const { return source_; }
  int32_t Cycle() const { return cycle_; }
  int32_t Wait() const { return wait_; }

  HResult PutDestination(std::string_view destination);
  HResult PutCycle(int32_t cycle);
  HResult PutWait(int32_t wait);
  VariantBool GetOption() const { return automation::ToVariantBool(option_); }
  HResult PutOption(VariantBool option);

  // The message type's text as a string value.
  Variant GetSource() const;
  // The index by the value's type, unchecked; a string counts as 0, other types change nothing.
  // Always marks the trigger modified and succeeds.
  HResult PutSource(const Variant& source);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  // A refused record is reported as E_FAIL, not as the bridge's 1.
  HResult Register() override;

 private:
  std::string destination_;
  int32_t source_ = 0;
  bool option_ = false;
  int32_t cycle_ = 0;
  int32_t wait_ = 0;
};

}  // namespace core::triggers
