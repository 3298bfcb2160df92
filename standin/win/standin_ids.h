// The interfaces and identifiers of the stand-in as widl generates them: its own and, through the
// import, those of the host, among them IConnect and ICommand of the add-in.
#pragma once

#include <windows.h>

// IVireoStandin has a member named GetObject, which the GDI header turns into a macro.
#undef GetObject

#include "vireo_standin.h"
#include "win/comkit/com_object.h"
