// The codes of the simulator protocol that both sides use: the add-in sends them (core/bridge)
// and the host stand-in answers them (project/records.h). They are defined once here, below both,
// so that the two sides cannot drift apart.
#pragma once

#include <cstdint>

namespace core::automation::simulator {

// The second word of a trigger record: define the trigger.
inline constexpr uint16_t kDefineCode = 0x0100;
// Command codes of the 8-byte command block {u16 8, u16 code, i32 trigger id}.
inline constexpr uint16_t kDropCode = 0x101;
inline constexpr uint16_t kActivateCode = 0x102;
inline constexpr uint16_t kDeactivateCode = 0x103;
inline constexpr uint16_t kActiveTableCode = 0x104;
inline constexpr uint16_t kFireCode = 0x105;
inline constexpr uint16_t kResetCode = 0x106;
inline constexpr uint16_t kSourceTableCode = 0x200;

}  // namespace core::automation::simulator
