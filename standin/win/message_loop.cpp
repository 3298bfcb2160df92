// The message loops.
#include "standin/win/message_loop.h"

namespace standin::win {
namespace {

// Dispatches what is queued; false when WM_QUIT came (posted again).
bool DispatchQueued(const Translator& translate, DWORD deadline, bool* out_of_time) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    if (!translate || !translate(&message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (out_of_time != nullptr && static_cast<LONG>(GetTickCount() - deadline) >= 0) {
      *out_of_time = true;
      return true;
    }
  }
  return true;
}

}  // namespace

bool PumpUntilIdle(DWORD timeout_ms, const Translator& translate) {
  const DWORD deadline = GetTickCount() + timeout_ms;
  for (;;) {
    bool out_of_time = false;
    if (!DispatchQueued(translate, deadline, &out_of_time) || out_of_time) return false;
    const LONG left = static_cast<LONG>(deadline - GetTickCount());
    if (left <= 0) return false;
    const DWORD wait = left < static_cast<LONG>(kQuietMilliseconds) ? static_cast<DWORD>(left)
                                                                    : kQuietMilliseconds;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT) {
      return wait == kQuietMilliseconds;
    }
  }
}

void PumpUntil(const std::function<bool()>& done, const Translator& translate) {
  while (!done()) {
    if (!DispatchQueued(translate, 0, nullptr)) return;
    if (done()) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
  }
}

}  // namespace standin::win
