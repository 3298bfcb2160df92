/* The host fixes where each method the add-in calls sits in its service interfaces, and where each
   method of the add-in's IConnect and ICommand sits. These checks hold the shared IDL to those
   positions (the C form of the interfaces shows the vtable). */
#define COBJMACROS
#include <windows.h>

#include <stddef.h>

/* ICommand has a member named GetObject, which the GDI header turns into a macro. */
#undef GetObject

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
/* The add-in's side, which the host calls. */
AT(IConnectVtbl, OnConnection, 7);
AT(IConnectVtbl, OnDisconnection, 8);
AT(IConnectVtbl, get_Type, 9);
AT(ICommandVtbl, OnEvent, 7);
AT(ICommandVtbl, GetObject, 8);
AT(ICommandVtbl, Exec, 9);
AT(ICommandVtbl, QueryStatus, 10);
