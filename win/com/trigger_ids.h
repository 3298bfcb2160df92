// The add-in's interfaces and identifiers as widl generates them from trigger.idl, the
// interface-to-IID map that ComObject uses, and the toolkit's names the add-in's classes use.
#pragma once

// ICommand has a member named GetObject, which the GDI header turns into a macro.
#undef GetObject

#include <windows.h>

#include "trigger.h"
#include "win/comkit/boundary.h"
#include "win/comkit/com_object.h"
#include "win/comkit/conversion.h"
#include "win/comkit/raii.h"

namespace win::comkit {

// The identifiers come from the generated header (__uuidof), not from the IID_ symbols of the
// GUID file: the system's uuid library defines an IID_ICommand of its own (an unrelated
// interface), and the linker would take whichever it met first.
#define TRIGGER_INTERFACE_ID(Interface)                       \
  template <>                                                 \
  struct InterfaceId<Interface> {                             \
    static const IID& value() { return __uuidof(Interface); } \
  };
TRIGGER_INTERFACE_ID(ITriggerAction)
TRIGGER_INTERFACE_ID(IInterruptTrigger)
TRIGGER_INTERFACE_ID(IIOAccessTrigger)
TRIGGER_INTERFACE_ID(IIOStreamTrigger)
TRIGGER_INTERFACE_ID(ITransferTrigger)
TRIGGER_INTERFACE_ID(IStreamTrigger)
TRIGGER_INTERFACE_ID(IConnectTrigger)
TRIGGER_INTERFACE_ID(IControlTrigger)
TRIGGER_INTERFACE_ID(IMessageTrigger)
TRIGGER_INTERFACE_ID(ISioTrigger)
TRIGGER_INTERFACE_ID(IFileStreamTrigger)
TRIGGER_INTERFACE_ID(IConnect)
TRIGGER_INTERFACE_ID(ICommand)
TRIGGER_INTERFACE_ID(IVersion)
#undef TRIGGER_INTERFACE_ID

}  // namespace win::comkit

namespace win::com {

using comkit::ComObject;
using comkit::ComPtr;
using comkit::FromVariant;
using comkit::Guard;
using comkit::NameKeyInUserLocale;
using comkit::ReturnText;
using comkit::ReturnValue;
using comkit::ReturnVariant;
using comkit::Threading;
using comkit::ToBstr;
using comkit::ToNarrow;
using comkit::ToSafeArray;
using comkit::ToVariant;
using comkit::UniqueSafeArray;
using comkit::WithText;
using comkit::WithVariant;

}  // namespace win::com
