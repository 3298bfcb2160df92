// The module's entry points: process attach and detach, class objects and unloading.

#include <windows.h>

#include "win/com/addin.h"
#include "win/com/class_table.h"
#include "win/comkit/class_factory.h"
#include "win/comkit/module.h"
#include "win/comkit/self_registration.h"
#include "win/module/addin_window.h"
#include "win/ui/framework/window.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // The add-in's connection makes the trigger window's template with these classes.
  if (reason == DLL_PROCESS_ATTACH) win::ui::InstallTriggerWindow();
  // The window classes are this module's: they go when it is unloaded (not at process exit), so
  // that the module loaded again registers them afresh.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) win::ui::Window::UnregisterClasses();
  return win::comkit::ModuleDllMain(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  const auto& classes = win::com::ClassTable();
  return win::comkit::GetClassObject(classes.data(), classes.size(), clsid, iid, out);
}

// With no object of the module left, the add-in's state goes too: what it still holds of a host is
// released now, while COM runs, rather than never.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (win::comkit::ModuleLockCount() != 0) return S_FALSE;
  win::com::Addin::Unload();
  return S_OK;
}
