// The module's entry points: process attach and detach, class objects and unloading.

#include <windows.h>

#include "win/com/class_factory.h"
#include "win/com/class_table.h"
#include "win/com/module.h"

using win::com::ClassFactory;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    win::com::ModuleAttach(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // At process exit (reserved set) other DLLs may already be gone: leave the rest to the system.
    win::com::ModuleDetach();
  }
  return TRUE;
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
