// Calls on the stand-in's automation object.
#include "standin/win/standin_calls.h"

#include <oleauto.h>

#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/raii.h"

namespace standin::win {
namespace {

using ::win::comkit::ComPtr;
using ::win::comkit::HResultText;
using ::win::comkit::ToNarrow;
using ::win::comkit::UniqueBstr;

}  // namespace

std::string DescribeFailure(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) == S_OK && info) {
    UniqueBstr text;
    if (SUCCEEDED(info->GetDescription(text.Put())) && SysStringLen(text.Get()) > 0) {
      return ToNarrow(text.Get());
    }
  }
  return HResultText(hr);
}

HRESULT CallTriggerAction(IVireoStandin* standin, const wchar_t* method, std::string* problem) {
  const std::string name = ToNarrow(method);
  UniqueBstr object_name(SysAllocString(L"TriggerAction"));
  ComPtr<IDispatch> registry;
  HRESULT hr = standin->GetObject(object_name.Get(), registry.Put());
  if (FAILED(hr)) {
    *problem = "GetObject(\"TriggerAction\") failed: " + DescribeFailure(hr);
    return hr;
  }
  if (!registry) {
    *problem = "the add-in has no object named \"TriggerAction\"";
    return E_NOINTERFACE;
  }
  const DISPID id = ::win::comkit::IdOfName(registry.Get(), method, &hr);
  if (FAILED(hr)) {
    *problem = "the add-in's TriggerAction object has no " + name + ": " + DescribeFailure(hr);
    return hr;
  }
  DISPPARAMS none = {};
  std::string description;
  hr = ::win::comkit::InvokeWithParams(registry.Get(), id, DISPATCH_METHOD, &none, nullptr, nullptr,
                                       &description);
  if (FAILED(hr))
    *problem = name + " failed: " + (description.empty() ? HResultText(hr) : description);
  return hr;
}

}  // namespace standin::win
