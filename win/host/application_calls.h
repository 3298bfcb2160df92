// The members of the host application that the add-in calls by DISPID (vireo_host.idl): the
// command registration, which serves as the CommandHost of the core; the notices from the trigger
// window; the withdrawal of a window kind; the help path; and the member "Object", by which the
// help code reaches a named service.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string>

#include "core/addin/command_registration.h"
#include "win/comkit/raii.h"

namespace win::host {

// The registration calls (DISPIDs 8, 7, 15, 12, 25) on the host application, with the strings
// and bitmaps of `resources`, the module handed to the host with the bitmaps. A call succeeds when
// the host answers a non-zero flag.
std::unique_ptr<core::addin::CommandHost> MakeCommandHost(IDispatch* application,
                                                          HINSTANCE resources);

// DISPID 10 with the code 0x2020: the host's views hear that the trigger set may have changed.
// Its answer means nothing to the add-in.
inline constexpr LONG kTriggersChangedCode = 0x2020;
void NotifyViews(IDispatch* application);

// DISPID 3 set to 0: the add-in's window was activated with the mouse.
HRESULT PutAddinWindowActive(IDispatch* application);

// DISPID 32: the host forgets the window kind of that key. False when it says it could not.
bool RemoveWindowKind(IDispatch* application, const std::string& key);

// DISPID 2: the help file argument for HTML Help; empty when the host gives none.
std::string HelpPath(IDispatch* application);

// The member "Object", looked up by name and read as a property with the service name: the
// service, or null when the member or the service is missing.
win::comkit::ComPtr<IDispatch> ObjectByName(IDispatch* application, const std::string& name);

}  // namespace win::host
