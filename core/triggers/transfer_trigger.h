// CTransferTrigger: tells the simulator to move a block of memory when the trigger fires, Count
// units of Size from the Source to the Destination address, each address stepping by its own
// mode ("FIX", "INCREMENT", "DECREMENT") and mode value, with Cycle and Wait handed on. The
// addresses are expressions left to the host's evaluator.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CTransferTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 4;

  explicit CTransferTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Transfer; }

  uint32_t Cycle() const { return cycle_; }
  HResult PutCycle(uint32_t cycle);
  uint32_t Wait() const { return wait_; }
  HResult PutWait(uint32_t wait);
  uint32_t Count() const { return count_; }
  HResult PutCount(uint32_t count);

  // "byte", "word", "long" (as 8BIT, 16BIT, 32BIT), "8bit", "16bit", "32bit" and the starred
  // "8bit*", "16bit*", "32bit*"; any case, stored upper-case. "double" is refused.
  const std::string& Size() const { return size_; }
  HResult PutSize(std::string_view size);

  // The address puts. VT_BSTR: an expression the evaluator accepts, stored as written. Integer
  // types: "0x%08x" of the value, VT_I2 sign-extended, VT_I1 and the unsigned types
  // zero-extended. Any other type stores nothing, yet succeeds and marks the trigger.
  Variant Source() const { return Variant::Bstr(source_); }
  const std::string& SourceText() const { return source_; }
  HResult PutSource(const Variant& source);
  Variant Destination() const { return Variant::Bstr(destination_); }
  const std::string& DestinationText() const { return destination_; }
  HResult PutDestination(const Variant& destination);

  // "fix", "increment", "decrement"; any case, stored upper-case.
  const std::string& SrcMode() const { return src_mode_; }
  HResult PutSrcMode(std::string_view mode);
  const std::string& DstMode() const { return dst_mode_; }
  HResult PutDstMode(std::string_view mode);

  // 0..31, taken as unsigned 16-bit (so every negative value is refused). The getter gives the
  // low 16 bits of the stored 32-bit value, which a definition line may have set beyond 31.
  int16_t SrcModeValue() const { return static_cast<int16_t>(src_mode_value_); }
  HResult PutSrcModeValue(int16_t value);
  int16_t DstModeValue() const { return static_cast<int16_t>(dst_mode_value_); }
  HResult PutDstModeValue(int16_t value);

  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 protected:
  const char* NameClashMessage() const override { return kShortNameClashMessage; }

 private:
  HResult PutAddress(const Variant& address, std::string* stored);
  // The address put of a VT_BSTR.
  HResult PutAddressText(const std::string& address, std::string* stored);

  uint32_t cycle_ = 0;
  uint32_t wait_ = 0;
  uint32_t count_ = 0;
  std::string size_;
  std::string source_;
  std::string destination_;
  std::string src_mode_;
  std::string dst_mode_;
  int32_t src_mode_value_ = 0;
  int32_t dst_mode_value_ = 0;
};

}  // namespace core::triggers
