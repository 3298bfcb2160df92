// The registry's automation class.
#include "win/com/trigger_action_object.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "win/com/addin.h"
#include "win/com/kind_objects.h"
#include "win/comkit/boundary.h"
#include "win/comkit/conversion.h"

namespace win::com {

using core::triggers::TriggerKind;

namespace {

// The registries alive in the process, for FromInterface.
std::mutex g_live_mutex;
std::vector<TriggerActionObject*>& LiveRegistries() {
  static auto* const live = new std::vector<TriggerActionObject*>();
  return *live;
}

}  // namespace

TriggerActionObject* TriggerActionObject::FromInterface(ITriggerAction* registry) {
  std::lock_guard<std::mutex> lock(g_live_mutex);
  for (TriggerActionObject* object : LiveRegistries()) {
    if (static_cast<ITriggerAction*>(object) == registry) return object;
  }
  return nullptr;
}

TriggerActionObject::~TriggerActionObject() {
  std::lock_guard<std::mutex> lock(g_live_mutex);
  auto& live = LiveRegistries();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

TriggerActionObject::TriggerActionObject() {
  Addin& addin = Addin::Get();
  registry_ = std::make_unique<core::registry::CTriggerAction>(addin.Bridge(), addin.Host(),
                                                               addin.WindowHooks());
  std::lock_guard<std::mutex> lock(g_live_mutex);
  LiveRegistries().push_back(this);
}

HRESULT TriggerActionObject::Create(TriggerKind kind, IDispatch** trigger) noexcept {
  if (trigger == nullptr) return E_POINTER;
  *trigger = nullptr;
  return Guard([&] {
    std::shared_ptr<core::triggers::CTrigger> made;
    const HRESULT hr = registry_->CreateTrigger(kind, &made);
    if (FAILED(hr)) return hr;
    return TriggerPeer(made, IID_IDispatch, reinterpret_cast<void**>(trigger));
  });
}

template <typename Operation>
HRESULT TriggerActionObject::ByName(BSTR name, Operation operation) noexcept {
  return WithText(name, [&](const std::string& text) { return operation(*registry_, text); });
}

// Unlike a bare pointer, the object handed out carries a reference of its own, which the caller
// releases: automation clients (scripts among them) release what they are given.
HRESULT TriggerActionObject::Hand(const std::shared_ptr<core::triggers::CTrigger>& trigger,
                                  IUnknown** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!trigger) return S_OK;
  return TriggerPeer(trigger, IID_IUnknown, reinterpret_cast<void**>(out));
}

STDMETHODIMP TriggerActionObject::CreateInterruptTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Interrupt, trigger);
}
STDMETHODIMP TriggerActionObject::CreateTransferTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Transfer, trigger);
}
STDMETHODIMP TriggerActionObject::CreateStreamTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Stream, trigger);
}
STDMETHODIMP TriggerActionObject::CreateIOStreamTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::IOStream, trigger);
}
STDMETHODIMP TriggerActionObject::CreateConnectTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Connect, trigger);
}
STDMETHODIMP TriggerActionObject::CreateControlTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Control, trigger);
}
STDMETHODIMP TriggerActionObject::CreateMessageTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Message, trigger);
}
STDMETHODIMP TriggerActionObject::CreateSioTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::Sio, trigger);
}
STDMETHODIMP TriggerActionObject::CreateFileStreamTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::FileStream, trigger);
}
STDMETHODIMP TriggerActionObject::CreateIOAccessTrigger(IDispatch** trigger) noexcept {
  return Create(TriggerKind::IOAccess, trigger);
}

STDMETHODIMP TriggerActionObject::DeleteTrigger(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.DeleteTrigger(n); });
}
STDMETHODIMP TriggerActionObject::DeleteAllTriggers() noexcept {
  return Guard([&] { return registry_->DeleteAllTriggers(); });
}
STDMETHODIMP TriggerActionObject::LogTriggerList() noexcept {
  return Guard([&] { return registry_->LogTriggerList(); });
}
STDMETHODIMP TriggerActionObject::ExportTriggerList(BSTR path) noexcept {
  return ByName(path, [](auto& r, const std::string& p) { return r.ExportTriggerList(p); });
}
STDMETHODIMP TriggerActionObject::Command0102(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.Command0102(n); });
}
STDMETHODIMP TriggerActionObject::Command0103(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.Command0103(n); });
}
STDMETHODIMP TriggerActionObject::Command0105(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.Command0105(n); });
}
STDMETHODIMP TriggerActionObject::Command0106(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.Command0106(n); });
}
STDMETHODIMP TriggerActionObject::Command0102All() noexcept {
  return Guard([&] { return registry_->Command0102All(); });
}
STDMETHODIMP TriggerActionObject::Command0103All() noexcept {
  return Guard([&] { return registry_->Command0103All(); });
}
STDMETHODIMP TriggerActionObject::Command0106All() noexcept {
  return Guard([&] { return registry_->Command0106All(); });
}

STDMETHODIMP TriggerActionObject::FindTrigger(BSTR name, IUnknown** trigger) noexcept {
  if (trigger == nullptr) return E_POINTER;
  *trigger = nullptr;
  return Guard([&] { return Hand(registry_->FindTrigger(ToNarrow(name)), trigger); });
}
STDMETHODIMP TriggerActionObject::GetTriggerByNumber(LONG number, IUnknown** trigger) noexcept {
  return Guard([&] { return Hand(registry_->GetTriggerByNumber(number), trigger); });
}
STDMETHODIMP TriggerActionObject::get_Count(LONG* count) noexcept {
  return ReturnValue(registry_->Count(), count);
}
STDMETHODIMP TriggerActionObject::LoadTriggers() noexcept {
  return Guard([&] { return registry_->LoadTriggers(); });
}
STDMETHODIMP TriggerActionObject::SaveTriggers() noexcept {
  return Guard([&] { return registry_->SaveTriggers(); });
}
STDMETHODIMP TriggerActionObject::GetKindByNumber(LONG number, SHORT* kind) noexcept {
  return ReturnValue(registry_->GetKindByNumber(number), kind);
}
STDMETHODIMP TriggerActionObject::FindNumberByName(BSTR name, LONG* number) noexcept {
  if (number == nullptr) return E_POINTER;
  return Guard([&] {
    *number = registry_->FindNumberByName(ToNarrow(name));
    return S_OK;
  });
}
STDMETHODIMP TriggerActionObject::RefreshActiveFlags() noexcept {
  return Guard([&] { return registry_->RefreshActiveFlags(); });
}
STDMETHODIMP TriggerActionObject::CheckNameUnique(BSTR name) noexcept {
  return ByName(name, [](auto& r, const std::string& n) { return r.CheckNameUnique(n); });
}
STDMETHODIMP TriggerActionObject::CheckNameUniqueExcept(BSTR name, LONG number) noexcept {
  return ByName(
      name, [number](auto& r, const std::string& n) { return r.CheckNameUniqueExcept(n, number); });
}
STDMETHODIMP TriggerActionObject::CheckInterruptSource(BSTR source) noexcept {
  return ByName(source, [](auto& r, const std::string& s) { return r.CheckInterruptSource(s); });
}
STDMETHODIMP TriggerActionObject::ResolveInterruptSource(BSTR source, LONG* code) noexcept {
  if (code == nullptr) return E_POINTER;
  return ByName(source, [code](auto& r, const std::string& s) {
    int32_t value = *code;
    const HRESULT hr = r.ResolveInterruptSource(s, &value);
    *code = value;
    return hr;
  });
}
STDMETHODIMP TriggerActionObject::Reserved(LONG first, LONG second) noexcept {
  return registry_->Reserved(first, second);
}
STDMETHODIMP TriggerActionObject::CreateTriggerByKeyword(BSTR keyword, VARIANT* adapter) noexcept {
  if (adapter == nullptr) return E_POINTER;
  VariantInit(adapter);
  return Guard([&] {
    core::automation::Variant made;
    const HRESULT hr = registry_->CreateTriggerByKeyword(ToNarrow(keyword), &made);
    if (FAILED(hr)) return hr;
    return ToVariant(made, adapter);
  });
}
STDMETHODIMP TriggerActionObject::GetAdapterByNumber(LONG number, VARIANT* adapter) noexcept {
  return ReturnVariant(registry_->GetAdapterByNumber(number), adapter);
}
STDMETHODIMP TriggerActionObject::get_SourceCount(LONG* count) noexcept {
  if (count == nullptr) return E_POINTER;
  return Guard([&] {
    *count = registry_->SourceCount();
    return S_OK;
  });
}
STDMETHODIMP TriggerActionObject::GetSourceName(LONG index, BSTR* name) noexcept {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  return Guard([&] {
    std::string text;
    const HRESULT hr = registry_->GetSourceName(index, &text);
    return FAILED(hr) ? hr : ToBstr(text, name);
  });
}

}  // namespace win::com
