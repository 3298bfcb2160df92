// Message loops for the stand-in's windows when a script or the runner drives them: waiting
// until the windows are idle (nothing left to do, everything painted), and running until the
// IDE window closes. Every message is offered to `translate` first (the IDE window's keyboard
// shortcuts and MDI keys); a WM_QUIT ends a loop and is posted again for the loop outside.
#pragma once

#include <windows.h>

#include <functional>

namespace standin::win {

using Translator = std::function<bool(MSG*)>;

// How long nothing must arrive before the thread counts as idle.
inline constexpr DWORD kQuietMilliseconds = 100;

// Dispatches messages until none arrived for kQuietMilliseconds, or until `timeout_ms` passed.
// True when it got idle in time.
bool PumpUntilIdle(DWORD timeout_ms, const Translator& translate);

// Dispatches messages until `done` answers true (asked before each wait).
void PumpUntil(const std::function<bool()>& done, const Translator& translate);

}  // namespace standin::win
