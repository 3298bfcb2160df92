// Late-bound calls.
#include "win/comkit/dispatch_call.h"

#include <new>
#include <utility>

#include "win/comkit/conversion.h"

namespace win::comkit {

VARIANT TextArg(const std::string& text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  if (FAILED(ToBstr(text, &V_BSTR(&v)))) throw std::bad_alloc();
  return v;
}

VARIANT TextArg(const wchar_t* text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  if (V_BSTR(&v) == nullptr && text != nullptr) throw std::bad_alloc();
  return v;
}

DispArgs::DispArgs(std::vector<VARIANT> args) : reversed_(args.rbegin(), args.rend()) {}

DispArgs::DispArgs(DispArgs&& other) noexcept : reversed_(std::move(other.reversed_)) {
  other.reversed_.clear();
}

DispArgs& DispArgs::operator=(DispArgs&& other) noexcept {
  if (this != &other) {
    Clear();
    reversed_ = std::move(other.reversed_);
    other.reversed_.clear();
  }
  return *this;
}

DispArgs::~DispArgs() { Clear(); }

void DispArgs::Clear() {
  for (VARIANT& v : reversed_) VariantClear(&v);
  reversed_.clear();
}

DISPPARAMS* DispArgs::Params() {
  params_ = {reversed_.data(), nullptr, static_cast<UINT>(reversed_.size()), 0};
  return &params_;
}

DISPPARAMS* DispArgs::ParamsFor(WORD flags) {
  Params();
  if (flags == DISPATCH_PROPERTYPUT || flags == DISPATCH_PROPERTYPUTREF) {
    params_.rgdispidNamedArgs = &put_;
    params_.cNamedArgs = 1;
  }
  return &params_;
}

EXCEPINFO* ExceptionInfo::Put() {
  Clear();
  return &info_;
}

const EXCEPINFO& ExceptionInfo::Get() {
  if (info_.pfnDeferredFillIn) {
    const auto fill_in = std::exchange(info_.pfnDeferredFillIn, nullptr);
    fill_in(&info_);
  }
  return info_;
}

HRESULT ExceptionInfo::Failure() { return FAILED(Get().scode) ? Get().scode : E_FAIL; }

std::string ExceptionInfo::Description() {
  return Get().bstrDescription ? ToNarrow(Get().bstrDescription) : std::string();
}

void ExceptionInfo::Clear() {
  SysFreeString(info_.bstrSource);
  SysFreeString(info_.bstrDescription);
  SysFreeString(info_.bstrHelpFile);
  info_ = {};
}

DISPID IdOfName(IDispatch* object, const wchar_t* name, HRESULT* hr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
  if (hr != nullptr) *hr = result;
  return id;
}

HRESULT InvokeWithParams(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, UINT* arg_error, std::string* description) {
  ExceptionInfo exception;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, params, result,
                              exception.Put(), arg_error);
  if (hr == DISP_E_EXCEPTION) {
    hr = exception.Failure();
    if (description) *description = exception.Description();
  }
  return hr;
}

HRESULT InvokeMember(IDispatch* object, DISPID id, WORD flags, DispArgs args, VARIANT* result) {
  return InvokeWithParams(object, id, flags, args.ParamsFor(flags), result);
}

HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, DispArgs args,
                     VARIANT* result) {
  HRESULT hr = S_OK;
  const DISPID id = IdOfName(object, name, &hr);
  if (FAILED(hr)) return hr;
  return InvokeMember(object, id, flags, std::move(args), result);
}

}  // namespace win::comkit
