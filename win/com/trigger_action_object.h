// TriggerAction: the registry's automation class. Each object is a registry of its own: the
// triggers it creates live and are checked within it. The add-in's connection makes the
// process-wide one, whose checks also serve triggers made by their ProgIDs.
#pragma once

#include <windows.h>

#include <memory>

#include "core/registry/trigger_action.h"
#include "win/com/trigger_ids.h"

namespace win::com {

class TriggerActionObject
    : public ComObject<TriggerActionObject, ITriggerAction, Threading::Apartment> {
 public:
  TriggerActionObject();
  ~TriggerActionObject() override;

  core::registry::CTriggerAction& registry() { return *registry_; }

  // The object behind an interface pointer, when it is one of this module's registries in this
  // apartment; null for anything else (a proxy among them). Only pointers are compared.
  static TriggerActionObject* FromInterface(ITriggerAction* registry);

  STDMETHODIMP CreateInterruptTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateTransferTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateStreamTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateIOStreamTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateConnectTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP DeleteTrigger(BSTR name) noexcept override;
  STDMETHODIMP DeleteAllTriggers() noexcept override;
  STDMETHODIMP LogTriggerList() noexcept override;
  STDMETHODIMP ExportTriggerList(BSTR path) noexcept override;
  STDMETHODIMP Command0102(BSTR name) noexcept override;
  STDMETHODIMP Command0103(BSTR name) noexcept override;
  STDMETHODIMP Command0103All() noexcept override;
  STDMETHODIMP FindTrigger(BSTR name, IUnknown** trigger) noexcept override;
  STDMETHODIMP Command0102All() noexcept override;
  STDMETHODIMP get_Count(LONG* count) noexcept override;
  STDMETHODIMP LoadTriggers() noexcept override;
  STDMETHODIMP GetTriggerByNumber(LONG number, IUnknown** trigger) noexcept override;
  STDMETHODIMP GetKindByNumber(LONG number, SHORT* kind) noexcept override;
  STDMETHODIMP FindNumberByName(BSTR name, LONG* number) noexcept override;
  STDMETHODIMP RefreshActiveFlags() noexcept override;
  STDMETHODIMP CheckNameUnique(BSTR name) noexcept override;
  STDMETHODIMP CheckInterruptSource(BSTR source) noexcept override;
  STDMETHODIMP SaveTriggers() noexcept override;
  STDMETHODIMP Reserved(LONG first, LONG second) noexcept override;
  STDMETHODIMP CreateTriggerByKeyword(BSTR keyword, VARIANT* adapter) noexcept override;
  STDMETHODIMP GetAdapterByNumber(LONG number, VARIANT* adapter) noexcept override;
  STDMETHODIMP get_SourceCount(LONG* count) noexcept override;
  STDMETHODIMP GetSourceName(LONG index, BSTR* name) noexcept override;
  STDMETHODIMP CheckNameUniqueExcept(BSTR name, LONG number) noexcept override;
  STDMETHODIMP ResolveInterruptSource(BSTR source, LONG* code) noexcept override;
  STDMETHODIMP CreateControlTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateMessageTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateSioTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP CreateFileStreamTrigger(IDispatch** trigger) noexcept override;
  STDMETHODIMP Command0105(BSTR name) noexcept override;
  STDMETHODIMP Command0106(BSTR name) noexcept override;
  STDMETHODIMP Command0106All() noexcept override;
  STDMETHODIMP CreateIOAccessTrigger(IDispatch** trigger) noexcept override;

 private:
  HRESULT Create(core::triggers::TriggerKind kind, IDispatch** trigger) noexcept;
  // A by-name operation of the registry with the name converted.
  template <typename Operation>
  HRESULT ByName(BSTR name, Operation operation) noexcept;
  HRESULT Hand(const std::shared_ptr<core::triggers::CTrigger>& trigger, IUnknown** out) noexcept;

  std::unique_ptr<core::registry::CTriggerAction> registry_;
};

}  // namespace win::com
