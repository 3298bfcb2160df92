// Late-bound calls: the VARIANT arguments of an IDispatch::Invoke, the exception information it
// may fill, and the call itself. A module calls its host or its add-in this way, and so do the
// tests and the benchmarks.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace win::comkit {

// Arguments; DispArgs owns them once it is given them.
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

// The arguments of one Invoke, given in call order and held as DISPPARAMS wants them (last
// first). They are cleared when the object goes.
class DispArgs {
 public:
  DispArgs() = default;
  DispArgs(std::initializer_list<VARIANT> args) : DispArgs(std::vector<VARIANT>(args)) {}
  DispArgs(std::vector<VARIANT> args);  // NOLINT: a call's arguments convert implicitly
  DispArgs(const DispArgs&) = delete;
  DispArgs& operator=(const DispArgs&) = delete;
  DispArgs(DispArgs&& other) noexcept;
  DispArgs& operator=(DispArgs&& other) noexcept;
  ~DispArgs();

  size_t size() const { return reversed_.size(); }
  // The parameters of a call, unnamed.
  DISPPARAMS* Params();
  // The parameters of a call with these flags: a property put names its one argument as the
  // value.
  DISPPARAMS* ParamsFor(WORD flags);

 private:
  void Clear();

  std::vector<VARIANT> reversed_;
  DISPPARAMS params_ = {};
  DISPID put_ = DISPID_PROPERTYPUT;
};

// The exception information an Invoke or a script engine fills. Its deferred part is filled in
// when it is read, and its strings are freed when the object goes or is filled again.
class ExceptionInfo {
 public:
  ExceptionInfo() = default;
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;
  ~ExceptionInfo() { Clear(); }

  // Clears what is held and hands out the structure to be filled.
  EXCEPINFO* Put();
  const EXCEPINFO& Get();
  // The failure it reports: its SCODE when that is a failure, E_FAIL otherwise.
  HRESULT Failure();
  // Its description in the ANSI code page; empty when it has none.
  std::string Description();

 private:
  void Clear();

  EXCEPINFO info_ = {};
};

// The DISPID of a member by its name; *hr, when given, receives the look-up's result (the id is
// DISPID_UNKNOWN when it fails).
DISPID IdOfName(IDispatch* object, const wchar_t* name, HRESULT* hr = nullptr);

// Invokes a member with the parameters as the caller laid them out (last argument first). A failure
// the member reports as an exception comes back as its code, E_FAIL when the exception carries
// none, and the exception's description in *description when asked for. *arg_error, when given,
// receives the index of an argument the member refused.
HRESULT InvokeWithParams(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, UINT* arg_error = nullptr,
                         std::string* description = nullptr);

// Invokes a member by DISPID with `args` (a property put names its one argument as the value).
// A failure the member reports as an exception comes back as its code, E_FAIL when the exception
// carries none.
HRESULT InvokeMember(IDispatch* object, DISPID id, WORD flags, DispArgs args, VARIANT* result);

// The same by the name of the member, as a script reaches it. Returns the failure of the name
// look-up, or the result of the member itself.
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, DispArgs args = {},
                     VARIANT* result = nullptr);

}  // namespace win::comkit
