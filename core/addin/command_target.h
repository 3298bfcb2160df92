// The add-in's face towards its host in portable form: the one command it adds, the objects a
// host asks for by name, the notifications it acts on and the key under which the host knows
// the trigger window's kind. The COM classes Connect and Command (win/com) follow these rules.
#pragma once

#include <cstdint>
#include <string>

namespace core::addin {

// The command that opens the trigger window (0xD3B9).
inline constexpr int32_t kTriggerCommand = 54201;
// QueryStatus's answer for it: enabled.
inline constexpr int32_t kCommandEnabled = 1;

// What the Connect object's Type property says the library is.
inline constexpr char kAddinType[] = "ADDIN";

// ---- Named objects (Command's GetObject) ----
enum class NamedObject { None, TriggerAction, Version };

// The text after the first "." of the name (the whole name when it has none), compared with
// "TriggerAction" and "Version" without regard to case: "Trigger.TriggerAction", "version" and
// "Trigger.Version" all name an object, "Trigger.Nothing" and "Trigger.Version.1" do not.
NamedObject FindNamedObject(const std::string& name);

// ---- Notifications (Command's OnEvent) ----
// The host's notification codes mean more to the host than to the add-in; the add-in acts on
// five of them.
enum class NotificationEffect {
  None,
  ObtainMemoryCommand,   // 0x2002: the debugger runs the target; hold Marlin.MemoryCommand
  ReleaseMemoryCommand,  // 0x2003: let it go
  RefreshActiveFlags,    // 0x2011, 0x2200, 0x2901: the simulator's event states may have changed
};
NotificationEffect EffectOf(int32_t code);

// ---- Command status (Command's QueryStatus) ----
// The trigger command is enabled; the status of any other command is left as the host set it.
void QueryStatus(int32_t command, int32_t* status);

// ---- The trigger window's kind ----
// The host knows each kind of add-in window by a key of two numbers, each written as three
// upper-case hexadecimal digits ("%03X%03X"); the trigger window's is 0x115, 1: "115001".
inline constexpr uint32_t kTriggerWindowKind = 0x115;
inline constexpr uint32_t kTriggerWindowIndex = 1;
std::string WindowKindKey(uint32_t kind, uint32_t index);

}  // namespace core::addin
