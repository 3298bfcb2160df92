// CFileStreamTrigger: defines an event of the file stream kind in the simulator. It carries
// nothing but its name; its record is the bare header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CFileStreamTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 17;

  // Starts without a name: the registry names it at creation.
  explicit CFileStreamTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::FileStream; }

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 protected:
  const char* NameClashMessage() const override { return kShortNameClashMessage; }
};

}  // namespace core::triggers
