// The automation classes of the trigger kinds.
#include "win/com/kind_objects.h"

namespace win::com {

STDMETHODIMP ConnectTriggerObject::get_Members(VARIANT* members) noexcept {
  if (members == nullptr) return E_POINTER;
  VariantInit(members);
  return Guard([&] {
    SAFEARRAY* array = nullptr;
    const HRESULT hr = ToSafeArray(core_->GetMembers(), &array);
    if (FAILED(hr)) return hr;
    SAFEARRAY** cell = members_cell_.Put();  // the array read before goes
    *cell = array;
    V_VT(members) = VT_VARIANT | VT_ARRAY | VT_BYREF;
    V_ARRAYREF(members) = cell;
    return S_OK;
  });
}

namespace {

template <typename Object>
HRESULT PeerAs(const std::shared_ptr<ct::CTrigger>& trigger, REFIID iid, void** out) noexcept {
  return Object::PeerOf(std::static_pointer_cast<typename Object::CoreType>(trigger), iid, out);
}

}  // namespace

HRESULT TriggerPeer(const std::shared_ptr<ct::CTrigger>& trigger, REFIID iid, void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!trigger) return E_POINTER;
  switch (trigger->Kind()) {
    case ct::TriggerKind::Interrupt:
      return PeerAs<InterruptTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::IOAccess:
      return PeerAs<IOAccessTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::IOStream:
      return PeerAs<IOStreamTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Transfer:
      return PeerAs<TransferTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Stream:
      return PeerAs<StreamTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Connect:
      return PeerAs<ConnectTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Control:
      return PeerAs<ControlTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Message:
      return PeerAs<MessageTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::Sio:
      return PeerAs<SioTriggerObject>(trigger, iid, out);
    case ct::TriggerKind::FileStream:
      return PeerAs<FileStreamTriggerObject>(trigger, iid, out);
  }
  return E_UNEXPECTED;
}

}  // namespace win::com
