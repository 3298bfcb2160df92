// Trigger.dll's self-registration: the registry script of every class in the class table, and
// the type library.
#include <windows.h>

#include <vector>

#include "win/com/class_table.h"
#include "win/com/trigger_ids.h"
#include "win/comkit/self_registration.h"

namespace {

std::vector<UINT> Scripts() {
  std::vector<UINT> scripts;
  for (const win::comkit::ClassEntry& entry : win::com::ClassTable())
    scripts.push_back(entry.script);
  return scripts;
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return win::comkit::RegisterModule(Scripts());
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return win::comkit::UnregisterModule(Scripts(), LIBID_Trigger);
}
