// How the add-in sees its host over COM. The host ports of the core (core/bridge/ports.h) are
// built on the IDispatch of the host application and on the host service interfaces
// (vireo_host.idl), which are called at the vtable positions the host fixes.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

#include "core/bridge/ports.h"
#include "vireo_host.h"

namespace win::host {

// The host application the add-in was connected with: GetService is its member with DISPID 39,
// read as a property with the service name.
std::shared_ptr<core::bridge::HostApplication> MakeHostApplication(IDispatch* application);

// A named service as an automation object: reached by member name, or asked for a debugger
// service's own interface.
std::unique_ptr<core::bridge::HostObject> MakeHostObject(IDispatch* service);

// DISPIDs of the host application's members the add-in calls.
enum HostDispid : DISPID {
  kHelpPathDispid = 2,
  kAddinWindowActiveDispid = 3,
  kAddCommandDispid = 7,
  kAddCommandImagesDispid = 8,
  kNotifyViewsDispid = 10,
  kAddMenuItemDispid = 12,
  kAddPopupMenuDispid = 15,
  kAddToolbarButtonDispid = 25,
  kRemoveWindowKindDispid = 32,
  kGetServiceDispid = 39,
};

}  // namespace win::host
