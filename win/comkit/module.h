// The COM module: the DLL's instance and resource handles, its lock count, the type library
// beside it and the table of creatable classes.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace win::comkit {

// Counts live objects and class-factory locks; DllCanUnloadNow answers S_OK only at zero.
void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();

HINSTANCE ModuleInstance();
// Where dialogs, menus, strings and bitmaps come from: the satellite library beside the module
// when it loaded, otherwise the module itself.
HINSTANCE ResourceInstance();
// The satellite library's path, and whether it loaded.
std::wstring SatellitePath();
bool SatelliteLoaded();
std::wstring ModulePath();
// A string of a module's string table, in the ANSI code page; empty when it has none of that
// identifier.
std::string LoadResourceString(HINSTANCE module, UINT id);
// The type library file beside the module: the module's path with its extension replaced.
std::wstring TypeLibraryPath();

// The type information of one of the library's interfaces, loaded from the type library file on
// first use and kept until the module unloads. Null (with the loading error) when it is missing.
HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** info);

// Called from DllMain.
void ModuleAttach(HINSTANCE instance);
void ModuleDetach();

}  // namespace win::comkit
