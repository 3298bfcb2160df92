// CIOStreamTrigger: names one 16-bit destination, an I/O port, that the simulator serves as an
// I/O stream when the trigger's event fires.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CIOStreamTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 12;
  static constexpr int16_t kDefaultDestination = 8000;

  explicit CIOStreamTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::IOStream; }

  // Signed 16 bits: a port above 0x7FFF reads (and is written in the line) as negative.
  int16_t Destination() const { return destination_; }
  HResult PutDestination(int16_t destination);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 protected:
  const char* NameClashMessage() const override { return kShortNameClashMessage; }

 private:
  int16_t destination_ = kDefaultDestination;
};

}  // namespace core::triggers
