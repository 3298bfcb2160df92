// Dispatch-only objects.
#include "standin/win/dispatch_object.h"

#include <oleauto.h>

#include <new>
#include <utility>

#include "win/comkit/module.h"
#include "win/comkit/raii.h"

namespace standin::win {

DispatchObject::DispatchObject(const IID& interface_id, std::vector<DispatchMember> members)
    : interface_id_(interface_id), members_(std::move(members)) {
  ::win::comkit::ModuleLock();
}

DispatchObject::~DispatchObject() { ::win::comkit::ModuleUnlock(); }

STDMETHODIMP DispatchObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch &&
      (iid != interface_id_ || interface_id_ == IID_NULL)) {
    return E_NOINTERFACE;
  }
  *out = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return static_cast<ULONG>(++refs_); }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  const LONG refs = --refs_;
  if (refs == 0) {
    refs_ = 1;  // guards against re-entry while the object goes
    delete this;
  }
  return static_cast<ULONG>(refs);
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                           DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (count == 0) return E_INVALIDARG;
  // No member has named arguments.
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (const DispatchMember& member : members_) {
    if (names[0] != nullptr && _wcsicmp(names[0], member.name) == 0) {
      ids[0] = member.id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT*) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  for (const DispatchMember& member : members_) {
    if (member.id != id) continue;
    if ((flags & member.flags) == 0) return DISP_E_MEMBERNOTFOUND;
    if (result != nullptr) VariantInit(result);
    try {
      return Call(id, *params, result, exception);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT ArgumentText(const DISPPARAMS& params, UINT index, ::win::comkit::UniqueBstr* text) {
  if (index >= params.cArgs) return DISP_E_BADPARAMCOUNT;
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr =
      VariantChangeType(&converted, &params.rgvarg[params.cArgs - 1 - index], 0, VT_BSTR);
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  *text->Put() = V_BSTR(&converted);  // the BSTR moves over
  return S_OK;
}

}  // namespace standin::win
