// The script host of the runner: JScript through the script engine of the platform
// (IActiveScript). It runs in the runner's own process so that the script drives the very
// stand-in the runner opened, with the add-in loaded in-process. The script sees two global
// objects: "Vireo", the automation object of the stand-in, and "WScript" with Echo, Quit,
// ScriptFullName and ScriptName, enough for scripts written for cscript.
//
// WScript.Quit ends the script by raising an error that the host recognises, because the engine
// offers no other way to stop a running script: call it outside try blocks, or a catch will
// swallow it.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace standin::runner {

// Runs the script file. The result is the exit code: WScript.Quit's, 0 when the script ends,
// 1 after a script error (reported on the error stream with its position) or when the script
// cannot be read or the engine cannot be started (reported likewise). `quit`, when given, tells
// whether the script called WScript.Quit.
int RunScript(const std::wstring& path, IDispatch* vireo, bool* quit = nullptr);

}  // namespace standin::runner
