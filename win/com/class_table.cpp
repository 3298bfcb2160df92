// The table of creatable classes.
#include "win/com/class_table.h"

#include "win/com/connect_object.h"
#include "win/com/kind_objects.h"
#include "win/com/trigger_action_object.h"
#include "win/com/trigger_ids.h"
#include "win/com/version_object.h"

namespace win::com {
namespace {

template <typename T>
HRESULT Make(IUnknown* outer, REFIID iid, void** out) {
  return T::CreateInstance(outer, iid, out);
}

}  // namespace

const std::array<ClassEntry, 13>& ClassTable() {
  static const std::array<ClassEntry, 13> table = {{
      {&CLSID_Command, L"Command", 14324, L"Both", false, Make<Command>},
      {&CLSID_Connect, L"Connect", 14325, L"Both", false, Make<Connect>},
      {&CLSID_InterruptTrigger, L"InterruptTrigger", 14321, L"Apartment", true,
       Make<InterruptTriggerObject>},
      {&CLSID_TriggerAction, L"TriggerAction", 14322, L"Apartment", true,
       Make<TriggerActionObject>},
      {&CLSID_TransferTrigger, L"TransferTrigger", 14323, L"Apartment", true,
       Make<TransferTriggerObject>},
      {&CLSID_StreamTrigger, L"StreamTrigger", 14326, L"Apartment", true,
       Make<StreamTriggerObject>},
      {&CLSID_IOStreamTrigger, L"IOStreamTrigger", 14327, L"Apartment", true,
       Make<IOStreamTriggerObject>},
      {&CLSID_ConnectTrigger, L"ConnectTrigger", 14328, L"Apartment", true,
       Make<ConnectTriggerObject>},
      {&CLSID_Version, L"Version", 14341, L"Both", false, Make<Version>},
      {&CLSID_MessageTrigger, L"MessageTrigger", 14344, L"Apartment", false,
       Make<MessageTriggerObject>},
      {&CLSID_ControlTrigger, L"ControlTrigger", 14345, L"Apartment", false,
       Make<ControlTriggerObject>},
      {&CLSID_SioTrigger, L"SioTrigger", 14346, L"Apartment", false, Make<SioTriggerObject>},
      {&CLSID_FileStreamTrigger, L"FileStreamTrigger", 14352, L"Both", false,
       Make<FileStreamTriggerObject>},
  }};
  return table;
}

const ClassEntry* FindClass(REFCLSID clsid) {
  for (const ClassEntry& entry : ClassTable()) {
    if (*entry.clsid == clsid) return &entry;
  }
  return nullptr;
}

}  // namespace win::com
