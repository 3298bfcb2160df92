// The Debug menu's prompt: which trigger a command applies to, every trigger or one that the
// simulator holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin/model/ide_view.h"

namespace standin::win {

// Shows the prompt with `title` as its caption and the choices in its list, `*trigger`
// selected (the first choice when it is none of them). False when the user cancelled; otherwise
// `*trigger` is the chosen trigger id (kAllTriggers for every trigger).
bool AskForTrigger(HWND owner, const std::wstring& title,
                   const std::vector<model::TriggerChoice>& choices, int32_t* trigger);

}  // namespace standin::win
