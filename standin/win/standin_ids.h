// The stand-in's interfaces and identifiers as widl generates them (its own and, through the
// import, the host's), and the interface-to-IID map that ComObject uses.
#pragma once

#include <windows.h>

// IVireoStandin has a member named GetObject, which the GDI header turns into a macro.
#undef GetObject

#include "vireo_standin.h"
#include "win/comkit/com_object.h"

namespace win::comkit {

#define STANDIN_INTERFACE_ID(Interface)                   \
  template <>                                             \
  struct InterfaceId<Interface> {                         \
    static const IID& value() { return IID_##Interface; } \
  };
STANDIN_INTERFACE_ID(IVireoStandin)
STANDIN_INTERFACE_ID(IVireoApplication)
STANDIN_INTERFACE_ID(IVireoManager)
STANDIN_INTERFACE_ID(IVireoTargetCommand)
STANDIN_INTERFACE_ID(IVireoEventCommand)
STANDIN_INTERFACE_ID(IVireoMemoryCommand)
STANDIN_INTERFACE_ID(IVireoEvaluation)
#undef STANDIN_INTERFACE_ID

}  // namespace win::comkit
