// Late-bound calls: the VARIANT arguments of an IDispatch::Invoke and the call itself. The add-in
// calls its host this way, and so do the stand-in's fake add-in, the tests and the benchmarks.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win::com {

// Arguments; the caller clears them (InvokeMember does).
inline VARIANT LongArg(LONG value) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

inline VARIANT UnsignedLongArg(ULONG value) {
  VARIANT v;
  V_VT(&v) = VT_UI4;
  V_UI4(&v) = value;
  return v;
}

// An [in, out] number: the callee reads and writes *value.
inline VARIANT LongRefArg(LONG* value) {
  VARIANT v;
  V_VT(&v) = VT_I4 | VT_BYREF;
  V_I4REF(&v) = value;
  return v;
}

// Module and menu handles travel as 64-bit integers.
inline VARIANT HandleArg(const void* handle) {
  VARIANT v;
  V_VT(&v) = VT_I8;
  V_I8(&v) = static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(handle));
  return v;
}

// A new BSTR of the text, from the ANSI code page or wide. Throws std::bad_alloc.
VARIANT TextArg(const std::string& text);
VARIANT TextArg(const wchar_t* text);

// The DISPID of a member by its name; *hr, when given, receives the look-up's result (the id is
// DISPID_UNKNOWN when it fails).
DISPID IdOfName(IDispatch* object, const wchar_t* name, HRESULT* hr = nullptr);

// Invokes a member with the parameters as the caller laid them out (last argument first). A failure
// the member reports as an exception comes back as its code, E_FAIL when the exception carries
// none, and the exception's description in *description when asked for. *arg_error, when given,
// receives the index of an argument the member refused.
HRESULT InvokeWithParams(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, UINT* arg_error = nullptr,
                         std::wstring* description = nullptr);

// Invokes a member by DISPID with `args` in call order (a property put names its one argument as
// the value) and clears them afterwards. A failure the member reports as an exception comes back
// as its code, E_FAIL when the exception carries none.
HRESULT InvokeMember(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                     VARIANT* result);

// The same by the member's name, as a script reaches it: the look-up's failure, or the member's
// own result. `args` are cleared either way.
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                     std::vector<VARIANT> args = {}, VARIANT* result = nullptr);

}  // namespace win::com
