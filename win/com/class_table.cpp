// The table of creatable classes.
#include "win/com/class_table.h"

#include "win/com/connect_object.h"
#include "win/com/kind_objects.h"
#include "win/com/trigger_action_object.h"
#include "win/com/trigger_ids.h"
#include "win/com/version_object.h"

namespace win::com {
namespace {

using comkit::Make;

// The object that each class of the list makes: a class added to the list without one here does
// not compile.
namespace made {
using Command = win::com::Command;
using Connect = win::com::Connect;
using Version = win::com::Version;
using InterruptTrigger = InterruptTriggerObject;
using TriggerAction = TriggerActionObject;
using TransferTrigger = TransferTriggerObject;
using StreamTrigger = StreamTriggerObject;
using IOStreamTrigger = IOStreamTriggerObject;
using ConnectTrigger = ConnectTriggerObject;
using MessageTrigger = MessageTriggerObject;
using ControlTrigger = ControlTriggerObject;
using SioTrigger = SioTriggerObject;
using FileStreamTrigger = FileStreamTriggerObject;
}  // namespace made

}  // namespace

const std::array<ClassEntry, kClassCount>& ClassTable() {
  // The rows come from the class list of the build (class_table.cmake), which also makes the
  // registry scripts and the installer's registry table.
#define TRIGGER_CLASS(name, script, threading, aggregatable) \
  {&CLSID_##name, L## #name, script, threading, aggregatable, Make<made::name>},
  static const std::array<ClassEntry, kClassCount> table = {{
#include "trigger_classes.inc"
  }};
#undef TRIGGER_CLASS
  return table;
}

}  // namespace win::com
