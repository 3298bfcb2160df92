// Calls a host makes on the automation object of the stand-in beyond a single method: the add-in
// registry reached by name (LoadTriggers when a project opens, SaveTriggers before it is saved),
// and the description a failed call left. The console runner and the IDE window share them.
#pragma once

#include <windows.h>

#undef GetObject

#include <string>

#include "vireo_standin.h"

namespace standin::win {

// The description in the calling thread's error information, or the result in hexadecimal.
std::string DescribeFailure(HRESULT hr);

// Calls a method without arguments of the add-in's "TriggerAction" object by name, as a host
// does. On failure `problem` says what went wrong, e.g. "LoadTriggers failed: ...".
HRESULT CallTriggerAction(IVireoStandin* standin, const wchar_t* method, std::string* problem);

}  // namespace standin::win
