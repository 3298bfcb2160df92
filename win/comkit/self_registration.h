// Self-registration of a COM server module: its registry scripts (resources of type "REGISTRY")
// run through the registrar object with %MODULE% standing for the module's path, and its type
// library, the file beside the module. COM is initialised on the calling thread for the
// duration, as regsvr32-like callers may not have done.
#pragma once

#include <windows.h>

#include <vector>

namespace win::comkit {

// The scripts first, then the type library: a missing type-library file fails after the scripts
// have run.
HRESULT RegisterModule(const std::vector<UINT>& scripts);
// The scripts alone, for a module without a type library.
HRESULT RegisterScripts(const std::vector<UINT>& scripts);
// The scripts in removal mode, each whatever became of the one before, then the type library's
// registration: S_OK. SELFREG_E_CLASS, with nothing touched, when there is no registrar.
HRESULT UnregisterModule(const std::vector<UINT>& scripts, REFGUID libid);

// The body of a module's DllMain: it attaches and detaches the module state.
BOOL ModuleDllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

}  // namespace win::comkit
