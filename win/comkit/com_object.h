// ComObject: the one base of every automation class. It gives a class its reference count
// (interlocked for classes registered "Both"), its table-driven QueryInterface, aggregation by an
// outer object, the aggregated free-threaded marshaler, ISupportErrorInfo for its own interface,
// and IDispatch through the type library's cached type information.
//
// A class derives as `class Clock : public ComObject<Clock, IClock, Threading::Both>` and
// implements its interface's own methods; each must be noexcept (Guard turns std::bad_alloc
// into E_OUTOFMEMORY).
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <objbase.h>

#include <new>
#include <type_traits>

#include "win/comkit/module.h"
#include "win/comkit/raii.h"

namespace win::comkit {

enum class Threading { Apartment, Both };

// Runs a COM method's body: no exception leaves it.
template <typename Body>
HRESULT Guard(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// The IID of an interface: the one its declaration carries (widl's headers declare it for every
// interface, so that __uuidof names it). Not an IID_ symbol of a GUID file: a system library may
// define one for an unrelated interface of the same name (the uuid library has an IID_ICommand),
// and the linker would take whichever it met first.
template <typename Interface>
struct InterfaceId {
  static const IID& value() { return __uuidof(Interface); }
};

template <typename Derived, typename Interface, Threading Model>
class ComObject : public Interface, public ISupportErrorInfo {
 public:
  // Creates the object, aggregated in `outer` when given, and queries `iid` from it.
  template <typename... Args>
  static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out, Args&&... args) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    // An aggregated object hands out its inner IUnknown only.
    if (outer != nullptr && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Derived* object = Construct(std::forward<Args>(args)...);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->SetOuter(outer);
    object->inner_.AddRef();  // holds it through the final construction
    HRESULT hr = object->FinalConstruct();
    if (SUCCEEDED(hr)) hr = object->inner_.QueryInterface(iid, out);
    object->inner_.Release();
    return hr;
  }

  // Creates a stand-alone object and hands out a pointer to it with one reference.
  template <typename... Args>
  static HRESULT Create(Derived** out, Args&&... args) noexcept {
    *out = nullptr;
    Derived* object = Construct(std::forward<Args>(args)...);
    if (object == nullptr) return E_OUTOFMEMORY;
    object->SetOuter(nullptr);
    object->inner_.AddRef();
    const HRESULT hr = object->FinalConstruct();
    if (FAILED(hr)) {
      object->inner_.Release();
      return hr;
    }
    *out = object;
    return S_OK;
  }

  // IUnknown of the exposed interfaces: delegates to the controlling unknown.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return outer_->QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

  // IDispatch through the type library.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GetInterfaceTypeInfo(InterfaceId<Interface>::value(), info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ComPtr<ITypeInfo> info;
    const HRESULT hr = GetInterfaceTypeInfo(InterfaceId<Interface>::value(), info.Put());
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.Get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) override {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    const HRESULT hr = GetInterfaceTypeInfo(InterfaceId<Interface>::value(), info.Put());
    if (FAILED(hr)) return hr;
    return DispInvoke(static_cast<Interface*>(this), info.Get(), id, flags, params, result,
                      exception, arg_error);
  }

  // The class supports error information for its own interface only (it never fills any).
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == InterfaceId<Interface>::value() ? S_OK : S_FALSE;
  }

  // The controlling unknown: that of the outer object when aggregated, else the object's own.
  IUnknown* ControllingUnknown() const { return outer_; }

 protected:
  ComObject() { ModuleLock(); }
  virtual ~ComObject() { ModuleUnlock(); }

  // Every class aggregates the free-threaded marshaler; a class with more to set up extends this.
  virtual HRESULT FinalConstruct() {
    return CoCreateFreeThreadedMarshaler(outer_, marshaler_.Put());
  }

 private:
  // The non-delegating IUnknown that owns the reference count and answers identity.
  class Inner : public IUnknown {
   public:
    explicit Inner(ComObject* self) : self_(self) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
      if (out == nullptr) return E_POINTER;
      *out = nullptr;
      if (iid == IID_IUnknown) {
        *out = static_cast<IUnknown*>(this);
      } else if (iid == IID_IDispatch || iid == InterfaceId<Interface>::value()) {
        *out = static_cast<Interface*>(self_);
      } else if (iid == IID_ISupportErrorInfo) {
        *out = static_cast<ISupportErrorInfo*>(self_);
      } else if (iid == IID_IMarshal && self_->marshaler_) {
        return self_->marshaler_->QueryInterface(iid, out);
      } else {
        return E_NOINTERFACE;
      }
      static_cast<IUnknown*>(*out)->AddRef();
      return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
      if constexpr (Model == Threading::Both) {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
      } else {
        return static_cast<ULONG>(++refs_);
      }
    }
    STDMETHODIMP_(ULONG) Release() override {
      LONG refs;
      if constexpr (Model == Threading::Both) {
        refs = InterlockedDecrement(&refs_);
      } else {
        refs = --refs_;
      }
      if (refs == 0) {
        refs_ = 1;  // guards against re-entry while the object goes
        delete static_cast<Derived*>(self_);
      }
      return static_cast<ULONG>(refs);
    }

   private:
    ComObject* self_;
    LONG refs_ = 0;
  };

  // Null when memory runs out, in the allocation or in the object's own construction.
  template <typename... Args>
  static Derived* Construct(Args&&... args) noexcept {
    try {
      return new Derived(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }

  void SetOuter(IUnknown* outer) { outer_ = outer ? outer : static_cast<IUnknown*>(&inner_); }

  Inner inner_{this};
  IUnknown* outer_ = &inner_;
  ComPtr<IUnknown> marshaler_;
};

}  // namespace win::comkit
