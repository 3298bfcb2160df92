// The entry points of VireoStandin.dll: process attach and detach, the class object of Standin,
// self-registration and unloading. As in the add-in, the COM toolkit holds the module state
// (instance, lock count, the type library beside the module) and the class object, and the UI
// framework holds the window classes.
#include <windows.h>

#include "standin/win/standin_object.h"
#include "win/comkit/class_factory.h"
#include "win/comkit/module.h"
#include "win/comkit/self_registration.h"
#include "win/ui/framework/window.h"

namespace {

// The registry script resource of Standin.
constexpr UINT kStandinScript = 101;

constexpr win::comkit::ClassEntry kClasses[] = {
    {&CLSID_Standin, L"Standin", kStandinScript, L"Apartment", false,
     win::comkit::Make<standin::win::Standin>},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  // This module registers the window classes of the IDE window, so they go when it is unloaded
  // (not at process exit), and the module registers them afresh when it is loaded again.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) win::ui::Window::UnregisterClasses();
  return win::comkit::ModuleDllMain(instance, reason, reserved);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return win::comkit::GetClassObject(kClasses, std::size(kClasses), clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return win::comkit::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return win::comkit::RegisterModule({kStandinScript});
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return win::comkit::UnregisterModule({kStandinScript}, LIBID_VireoStandin);
}
