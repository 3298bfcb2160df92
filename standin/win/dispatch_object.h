// DispatchObject: a COM object reached only through IDispatch by member name, without type
// information: the log and CPU services of the host, which add-ins call by name ("AddLogString",
// "GetCPUName"), and the WScript object of the runner. A pure dispinterface cannot be invoked
// through its type information (ITypeInfo::Invoke would call straight back into Invoke), so members
// are looked up in a table and run by one virtual Call.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <vector>

#include "win/comkit/raii.h"

namespace standin::win {

struct DispatchMember {
  const wchar_t* name;
  DISPID id;
  WORD flags;  // DISPATCH_METHOD and/or DISPATCH_PROPERTYGET
};

class DispatchObject : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  // Names compare without regard to case, as automation names do.
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) override;

 protected:
  // `interface_id` is the dispinterface the object answers besides IUnknown and IDispatch
  // (IID_NULL for none).
  DispatchObject(const IID& interface_id, std::vector<DispatchMember> members);
  virtual ~DispatchObject();

  // Runs a member that exists and was invoked in a way its flags allow; `result` may be null.
  virtual HRESULT Call(DISPID id, const DISPPARAMS& params, VARIANT* result,
                       EXCEPINFO* exception) = 0;

 private:
  IID interface_id_;
  std::vector<DispatchMember> members_;
  LONG refs_ = 0;
};

// Argument `index` (in call order: DISPPARAMS holds them last first) converted to text.
HRESULT ArgumentText(const DISPPARAMS& params, UINT index, ::win::comkit::UniqueBstr* text);

}  // namespace standin::win
