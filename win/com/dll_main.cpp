// The module's entry points: process attach and detach, class objects and unloading.

#include <windows.h>

#include "win/com/class_factory.h"
#include "win/com/class_table.h"
#include "win/com/module.h"
#include "win/com/self_registration.h"
#include "win/ui/addin_window.h"

using win::com::ClassFactory;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // The add-in's connection makes the trigger window's template with these classes.
  if (reason == DLL_PROCESS_ATTACH) win::ui::InstallTriggerWindow();
  return win::com::ModuleDllMain(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  const win::com::ClassEntry* entry = win::com::FindClass(clsid);
  if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return ClassFactory::For(*entry).QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return win::com::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
