// Small helpers for the bodies of automation methods: handing values out through out-arguments
// and taking BSTR and VARIANT arguments in, with the checks every method makes.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "core/automation/variant.h"
#include "win/comkit/com_object.h"
#include "win/comkit/conversion.h"

namespace win::comkit {

template <typename T, typename Out>
HRESULT ReturnValue(T value, Out* out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<Out>(value);
  return S_OK;
}

inline HRESULT ReturnText(const std::string& text, BSTR* out) noexcept {
  if (out == nullptr) return E_POINTER;
  return ToBstr(text, out);
}

inline HRESULT ReturnVariant(const core::automation::Variant& value, VARIANT* out) noexcept {
  if (out == nullptr) return E_POINTER;
  return Guard([&] { return ToVariant(value, out); });
}

// Runs `put` with the BSTR converted to a narrow string.
template <typename Put>
HRESULT WithText(BSTR text, Put&& put) noexcept {
  return Guard([&] { return put(ToNarrow(text)); });
}

template <typename Put>
HRESULT WithVariant(const VARIANT& value, Put&& put) noexcept {
  return Guard([&] { return put(FromVariant(value)); });
}

}  // namespace win::comkit
