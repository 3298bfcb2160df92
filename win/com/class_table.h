// The creatable classes of the module: identifier, ProgID, registration script, threading model,
// whether they may be aggregated, and how to make one.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <array>

#include "win/comkit/class_factory.h"

namespace win::com {

using comkit::ClassEntry;

// How many classes the build's class list (class_table.cmake) holds.
#define TRIGGER_CLASS(name, script, threading, aggregatable) +1
inline constexpr size_t kClassCount = 0
#include "trigger_classes.inc"
    ;
#undef TRIGGER_CLASS

// The classes, in the order of their registration.
const std::array<ClassEntry, kClassCount>& ClassTable();

}  // namespace win::com
