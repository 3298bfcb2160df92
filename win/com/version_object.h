// Version: reports the library's version to the host.
#pragma once

#include <string>

#include "win/com/trigger_ids.h"

namespace win::com {

// The product version of a module file: `major` and `minor` are its fixed file information's
// dwProductVersionMS and dwProductVersionLS. False, leaving both as they were, when the file has
// no version resource.
bool ReadProductVersion(const std::wstring& path, LONG* major, LONG* minor);

// The version GetVersion reports for a module file: its product version, or 0x00010000 and 1
// when it has none.
void ModuleVersion(const std::wstring& path, LONG* major, LONG* minor);

class Version : public ComObject<Version, IVersion, Threading::Both> {
 public:
  STDMETHODIMP GetVersion(LONG* major, LONG* minor) noexcept override;
  STDMETHODIMP get_Description(BSTR* description) noexcept override;
};

}  // namespace win::com
