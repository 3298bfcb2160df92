// Late-bound calls.
#include "win/com/dispatch_call.h"

#include <new>
#include <utility>

#include "win/com/conversion.h"

namespace win::com {

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

DISPID IdOfName(IDispatch* object, const wchar_t* name, HRESULT* hr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
  if (hr != nullptr) *hr = result;
  return id;
}

HRESULT InvokeWithParams(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
                         VARIANT* result, UINT* arg_error, std::wstring* description) {
  EXCEPINFO exception = {};
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, params, result,
                              &exception, arg_error);
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
    if (description && exception.bstrDescription) *description = exception.bstrDescription;
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr;
}

HRESULT InvokeMember(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                     VARIANT* result) {
  // DISPPARAMS carry the arguments last first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID put = DISPID_PROPERTYPUT;
  if (flags == DISPATCH_PROPERTYPUT || flags == DISPATCH_PROPERTYPUTREF) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  const HRESULT hr = InvokeWithParams(object, id, flags, &params, result);
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                     VARIANT* result) {
  HRESULT hr = S_OK;
  const DISPID id = IdOfName(object, name, &hr);
  if (FAILED(hr)) {
    for (VARIANT& v : args) VariantClear(&v);
    return hr;
  }
  return InvokeMember(object, id, flags, std::move(args), result);
}

}  // namespace win::com
