// Conversions at the COM boundary: narrow ANSI strings, wide strings and BSTRs, core Variants and
// VARIANTs, and HRESULTs as text. Inside, the modules work with narrow strings in the ANSI code
// page; BSTRs and wide strings exist only at the system's calls.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "core/automation/variant.h"
#include "win/comkit/raii.h"

namespace win::comkit {

// A new BSTR of the text converted from the ANSI code page; E_OUTOFMEMORY when it cannot be
// allocated.
HRESULT ToBstr(const std::string& text, BSTR* out) noexcept;

// The BSTR converted to the ANSI code page (a null BSTR is the empty text). Throws
// std::bad_alloc, which the COM methods turn into E_OUTOFMEMORY.
std::string ToNarrow(BSTR text);
// The same for wide text that is no BSTR.
std::string ToNarrow(const wchar_t* text, size_t length);
inline std::string ToNarrow(const std::wstring& text) { return ToNarrow(text.data(), text.size()); }

// The text converted from the ANSI code page, for the system's wide calls. Throws std::bad_alloc.
std::wstring ToWide(const std::string& text);

// A new BSTR holding the wide text; null when it cannot be allocated.
UniqueBstr MakeBstr(const std::wstring& text);

// An HRESULT as the system writes it in messages: "0x80004005".
std::string HResultText(HRESULT hr);

// The key under which a text of the ANSI code page is compared as a name: two names are the same
// when their keys are equal, as automation compares BSTRs (VarBstrCmp) in the user's default
// locale without flags: case-sensitive, but a sharp s is "ss" and a soft hyphen counts for
// nothing. The key is the sort key of the locale, so keys compare as the locale compares names; an
// empty name and one beginning with a NUL (which VarBstrCmp takes for an empty one) have the
// empty key. Keys are remembered by text. Throws std::bad_alloc.
std::string NameKeyInUserLocale(const std::string& name);

// VARIANT to core value. By-reference scalars are read through; VT_VARIANT|VT_ARRAY|VT_BYREF (the
// form of a member list) becomes an array of values; other arrays become VT_ILLEGAL and other
// types keep only their type word, so the core sees a type it does not accept. Throws
// std::bad_alloc.
core::automation::Variant FromVariant(const VARIANT& in);

// Core value to a new VARIANT (the caller clears it). Arrays become VT_ARRAY|VT_VARIANT;
// a bare reference becomes VT_BYREF with the pointer.
HRESULT ToVariant(const core::automation::Variant& in, VARIANT* out) noexcept;

// A new one-dimensional SAFEARRAY of VARIANTs holding the values.
HRESULT ToSafeArray(const core::automation::Variant& array, SAFEARRAY** out) noexcept;

}  // namespace win::comkit
