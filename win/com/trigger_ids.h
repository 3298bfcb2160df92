// The interfaces and identifiers of the add-in as widl generates them from trigger.idl (with
// IConnect and ICommand from the host, which it imports), and the toolkit names that the add-in
// classes use.
#pragma once

// ICommand has a member named GetObject, which the GDI header turns into a macro.
#undef GetObject

#include <windows.h>

#include "trigger.h"
#include "win/comkit/boundary.h"
#include "win/comkit/com_object.h"
#include "win/comkit/conversion.h"
#include "win/comkit/raii.h"

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
