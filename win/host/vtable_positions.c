/* The host fixes where each method the add-in calls sits in its service interfaces. These checks
   hold the shared IDL to those positions (the C form of the interfaces shows the vtable). */
#define COBJMACROS
#include <windows.h>

#include <stddef.h>

#include "vireo_host.h"

#define AT(Vtbl, member, position) \
  _Static_assert(offsetof(Vtbl, member) == (position) * sizeof(void*), #member " position")

AT(IVireoManagerVtbl, ReadProfileInt, 18);
AT(IVireoManagerVtbl, WriteProfileInt, 19);
AT(IVireoManagerVtbl, ReadProfileString, 20);
AT(IVireoManagerVtbl, WriteProfileString, 21);
AT(IVireoManagerVtbl, MarkProjectModified, 49);
AT(IVireoTargetCommandVtbl, Command, 15);
AT(IVireoEventCommandVtbl, AddEventName, 93);
AT(IVireoEventCommandVtbl, RemoveEventName, 94);
AT(IVireoEvaluationVtbl, Evaluate, 7);
AT(IVireoMemoryCommandVtbl, TriggersChanged, 55);
