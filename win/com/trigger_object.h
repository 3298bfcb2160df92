// TriggerObject: the automation object of one core trigger. It owns a reference to the core
// trigger and is remembered by it (CTrigger::Peer), so the same trigger is always handed out as
// the same object, and the trigger lives on while a client holds the object even after the
// registry dropped it. It implements the operations every kind shares; each kind's class adds its
// own properties.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "core/triggers/trigger.h"
#include "win/com/addin.h"
#include "win/comkit/boundary.h"

namespace win::com {

template <typename Derived, typename Interface, typename Core,
          Threading Model = Threading::Apartment>
class TriggerObject : public ComObject<Derived, Interface, Model> {
 public:
  using CoreType = Core;

  // The one automation object of a core trigger, made on first need, with a new reference.
  static HRESULT PeerOf(const std::shared_ptr<Core>& core, REFIID iid, void** out) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!core) return E_POINTER;
    if (void* peer = core->Peer()) return static_cast<Derived*>(peer)->QueryInterface(iid, out);
    Derived* made = nullptr;
    HRESULT hr = Derived::Create(&made, core);
    if (FAILED(hr)) return hr;
    hr = made->QueryInterface(iid, out);
    made->Release();
    return hr;
  }

  const std::shared_ptr<Core>& core() const { return core_; }

  STDMETHODIMP get_Name(BSTR* name) noexcept override { return ReturnText(core_->Name(), name); }
  STDMETHODIMP put_Name(BSTR name) noexcept override {
    return WithText(name, [&](const std::string& text) { return core_->PutName(text); });
  }
  STDMETHODIMP SetNameUnchecked(BSTR name) noexcept override {
    return WithText(name, [&](const std::string& text) { return core_->SetNameUnchecked(text); });
  }
  STDMETHODIMP get_Number(LONG* number) noexcept override {
    return ReturnValue(core_->Number(), number);
  }
  STDMETHODIMP get_Active(VARIANT_BOOL* active) noexcept override {
    return ReturnValue(core_->GetActive(), active);
  }
  STDMETHODIMP put_Active(VARIANT_BOOL active) noexcept override {
    return core_->PutActive(active);
  }
  STDMETHODIMP get_Registered(VARIANT_BOOL* registered) noexcept override {
    return ReturnValue(core_->GetRegistered(), registered);
  }
  STDMETHODIMP get_Modified(VARIANT_BOOL* modified) noexcept override {
    return ReturnValue(core_->GetModified(), modified);
  }
  STDMETHODIMP get_InSimulator(VARIANT_BOOL* in_simulator) noexcept override {
    return ReturnValue(core_->GetInSimulator(), in_simulator);
  }
  STDMETHODIMP get_Definition(BSTR* line) noexcept override {
    return Guard([&] { return ReturnText(core_->GetDefinition(), line); });
  }
  STDMETHODIMP put_Definition(BSTR line) noexcept override {
    return WithText(line, [&](const std::string& text) { return core_->PutDefinition(text); });
  }
  STDMETHODIMP Register() noexcept override {
    return Guard([&] { return core_->Register(); });
  }

 public:
  // Made by its ProgID: a trigger of its own, outside any registry.
  TriggerObject() : TriggerObject(std::make_shared<Core>(Addin::Get().ProgIdContext())) {}
  explicit TriggerObject(std::shared_ptr<Core> core) : core_(std::move(core)) {
    core_->SetPeer(static_cast<Derived*>(this));
  }
  ~TriggerObject() override { core_->SetPeer(nullptr); }

 protected:
  std::shared_ptr<Core> core_;
};

}  // namespace win::com
