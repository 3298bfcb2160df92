// The stand-in's interfaces and identifiers as widl generates them: its own and, through the
// import, the host's, the add-in's IConnect and ICommand among them.
#pragma once

#include <windows.h>

// IVireoStandin has a member named GetObject, which the GDI header turns into a macro.
#undef GetObject

#include "vireo_standin.h"
#include "win/comkit/com_object.h"
