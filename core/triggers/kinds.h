// The trigger vocabulary every layer shares: the ten kinds and their names, trigger numbers and
// ids, the four status flags and the status text they give.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace core::triggers {

// Kind codes as the row adapters and the registry report them. Code 1 belongs to no kind.
enum class TriggerKind : uint16_t {
  Interrupt = 0,
  IOStream = 2,
  Transfer = 3,
  Stream = 4,
  Connect = 5,
  Message = 6,
  Sio = 7,
  Control = 8,
  FileStream = 9,
  IOAccess = 10,
};
inline constexpr uint16_t kNoKindCode = 0xFFFF;  // the registry's answer for a free slot

struct KindInfo {
  TriggerKind kind;
  const char* class_name;
  const char* interface_name;
  const char* prog_id;        // nullptr: created only through the registry
  const char* keyword;        // written in definition lines
  const char* other_keyword;  // the second form: "clearInterrupt", "stream"; nullptr if none
  const char* type_text;      // the list's "Type" column
  const char* other_type_text;
  const char* adapter_name;
  const char* stem;  // of default names
  const char* create_operation;
};

// In the order the registry's creation operations and the type library list them.
const std::array<KindInfo, 10>& KindTable();
const KindInfo& InfoOf(TriggerKind kind);

// The keywords a loaded definition line may carry, compared without regard to case, in the order
// they are tried. "iostream" as written and "ioStream" as accepted are the same keyword.
struct AcceptedKeyword {
  const char* keyword;
  TriggerKind kind;
};
const std::array<AcceptedKeyword, 12>& AcceptedKeywords();
std::optional<TriggerKind> KindFromKeyword(std::string_view keyword);

// Trigger number (the registry slot, 0..255) and trigger id (number + 100), the id that the
// simulator, the event list and definition lines use. -1 in a command means every trigger.
inline constexpr int32_t kSlotCount = 256;
inline constexpr int32_t kIdBase = 100;
inline constexpr int32_t kAllTriggers = -1;
// Wrapping arithmetic: a number or id read from a line may be any 32-bit value.
constexpr int32_t IdOf(int32_t number) {
  return static_cast<int32_t>(static_cast<uint32_t>(number) + static_cast<uint32_t>(kIdBase));
}
constexpr int32_t NumberOf(int32_t id) {
  return static_cast<int32_t>(static_cast<uint32_t>(id) - static_cast<uint32_t>(kIdBase));
}
constexpr bool IsValidNumber(int32_t number) { return number >= 0 && number < kSlotCount; }

// One byte each, side by side in this order; a byte is true when it holds 1.
struct TriggerFlags {
  uint8_t in_simulator = 0;
  uint8_t registered = 0;
  uint8_t modified = 0;
  uint8_t active = 0;
};

// "Modified", "New", "Activate" or "InActivate". Interrupt and I/O access triggers never show
// "Modified".
std::string_view StatusText(TriggerKind kind, const TriggerFlags& flags);

}  // namespace core::triggers
