// CSioTrigger: serial input for the simulator. An address expression (Source) evaluated by the
// host, two interrupt sources (DstMode, SrcMode) and a short name (Destination) that the record
// carries as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CSioTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 15;
  // The record's text field holds 16 bytes: the name and its terminating zero.
  static constexpr size_t kMaxDestination = 15;

  explicit CSioTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Sio; }

  const std::string& Source() const { return source_; }
  const std::string& DstMode() const { return dst_mode_; }
  const std::string& SrcMode() const { return src_mode_; }
  const std::string& Destination() const { return destination_; }

  // The address expression as a string value.
  Variant GetSource() const;
  // A string must be accepted by the host's evaluator and is stored as written; an unsigned
  // integer is stored as "0x%08x"; any other type stores nothing but still succeeds.
  HResult PutSource(const Variant& source);
  // Each must be an interrupt source the registry accepts; a refusal is logged.
  HResult PutDstMode(const std::string& mode);
  HResult PutSrcMode(const std::string& mode);
  // No check here: a name too long for the record is refused by Register.
  HResult PutDestination(std::string_view destination);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 private:
  HResult PutSourceText(const std::string& source);  // the put of a VT_BSTR
  HResult PutInterruptSource(const std::string& mode, std::string* field, const char* name);

  std::string source_;
  std::string dst_mode_;
  std::string src_mode_;
  std::string destination_;
};

}  // namespace core::triggers
