// HRESULT-style results as the add-in's automation contract uses them. Windows headers define
// S_OK, E_FAIL and friends as macros, so the core names them differently.
#pragma once

#include <cstdint>
#include <string>

namespace core::automation {

using HResult = int32_t;

inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNotImpl = static_cast<HResult>(0x80004001u);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kUnexpected = static_cast<HResult>(0x8000FFFFu);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kDispUnknownInterface = static_cast<HResult>(0x80020001u);
inline constexpr HResult kDispMemberNotFound = static_cast<HResult>(0x80020003u);
inline constexpr HResult kDispTypeMismatch = static_cast<HResult>(0x80020005u);
inline constexpr HResult kDispUnknownName = static_cast<HResult>(0x80020006u);
inline constexpr HResult kDispBadParamCount = static_cast<HResult>(0x8002000Eu);
inline constexpr HResult kClassNoAggregation = static_cast<HResult>(0x80040110u);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111u);

constexpr bool Succeeded(HResult hr) { return hr >= 0; }
constexpr bool Failed(HResult hr) { return hr < 0; }

// "0x80004005": the form tests and log lines print results in.
std::string HResultText(HResult hr);

}  // namespace core::automation
