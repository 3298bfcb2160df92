// CStreamTrigger: makes the simulator write data to a Destination each time the trigger fires,
// Size units at a time. One class serves two kinds, chosen by its Kind text: "data" takes the
// values from a pattern the user typed (a value list or a random count,min,max, read by
// GenerateData), "stream" reads them from memory at the StreamSource address.
//
// Its definition line differs from the other kinds': the data list may hold commas, so the data
// line closes it with the mark ",)", and the line is cut field by field from the left with every
// field assigned before the puts run over it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/triggers/trigger.h"

namespace core::triggers {

class CStreamTrigger : public CTrigger {
 public:
  static constexpr uint16_t kAction = 2;
  // Pattern codes at record offset 16.
  static constexpr uint8_t kValueListPattern = 1;
  static constexpr uint8_t kRandomPattern = 2;
  static constexpr uint8_t kRandom2Pattern = 3;
  static constexpr uint8_t kStreamPattern = 4;

  explicit CStreamTrigger(std::shared_ptr<TriggerContext> context);

  TriggerKind Kind() const override { return TriggerKind::Stream; }

  uint32_t Cycle() const { return cycle_; }
  HResult PutCycle(uint32_t cycle);
  uint32_t Wait() const { return wait_; }
  HResult PutWait(uint32_t wait);
  uint32_t Count() const { return count_; }
  HResult PutCount(uint32_t count);

  // VT_BSTR: an expression the evaluator accepts, stored as written. VT_UI1, VT_UI2, VT_UI4:
  // "0x%08x" of the value. Any other type stores nothing, yet succeeds and marks the trigger.
  Variant Destination() const { return Variant::Bstr(destination_); }
  const std::string& DestinationText() const { return destination_; }
  HResult PutDestination(const Variant& destination);
  // The same types as Destination; always stored in "0x%08x" form.
  Variant Mask() const { return Variant::Bstr(mask_); }
  const std::string& MaskText() const { return mask_; }
  HResult PutMask(const Variant& mask);

  // "byte", "word", "long" (as 8BIT, 16BIT, 32BIT), "8bit", "16bit", "32bit", "double"; any case,
  // stored upper-case.
  const std::string& Size() const { return size_; }
  HResult PutSize(std::string_view size);
  // "single", "repeat", "const"; any case, stored upper-case.
  const std::string& RepeatMode() const { return repeat_mode_; }
  HResult PutRepeatMode(std::string_view mode);
  // "default", "random", "random2"; any case, stored upper-case.
  const std::string& GenerateMode() const { return generate_mode_; }
  HResult PutGenerateMode(std::string_view mode);

  // Stored as given, no test.
  const std::string& DataList() const { return data_list_; }
  HResult PutDataList(const std::string& list);
  const std::string& StreamSource() const { return stream_source_; }
  HResult PutStreamSource(const std::string& source);
  // The automation property Kind: "data" or "stream" in any case. (Kind() is the kind code.)
  const std::string& KindText() const { return kind_; }
  HResult PutKind(const std::string& kind);

  // The data or stream line by Kind; empty for any other Kind.
  std::string GetDefinition() const override;
  HResult PutDefinition(const std::string& line) override;
  HResult Register() override;

 protected:
  const char* NameClashMessage() const override { return kShortNameClashMessage; }

 private:
  bool IsData() const;
  bool IsStream() const;
  // The puts of a VT_BSTR (the text may be the stored one itself).
  HResult PutDestinationText(const std::string& destination);
  HResult PutMaskText(const std::string& mask);

  uint32_t cycle_ = 0;
  uint32_t wait_ = 0;
  uint32_t count_ = 0;
  std::string destination_;
  std::string size_;
  std::string generate_mode_;
  std::string repeat_mode_;
  std::string data_list_;
  std::string stream_source_;
  std::string kind_;
  std::string mask_ = "0x00000000";
};

}  // namespace core::triggers
