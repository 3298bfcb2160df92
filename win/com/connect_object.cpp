// Connect and Command.
#include "win/com/connect_object.h"

#include "core/addin/command_target.h"
#include "core/automation/variant.h"
#include "win/com/addin.h"
#include "win/comkit/boundary.h"

namespace win::com {

STDMETHODIMP Connect::OnConnection(IDispatch* host, VARIANT_BOOL firstTime, LONG cookie) noexcept {
  const HRESULT hr = Guard([&]() -> HRESULT {
    return Addin::Get().OnConnection(host, core::automation::IsVariantTrue(firstTime), cookie);
  });
  // A connection cut short by an exception leaves nothing behind either.
  if (FAILED(hr)) {
    Guard([] {
      Addin::Get().OnDisconnection();
      return S_OK;
    });
    return 1;
  }
  return hr;
}

STDMETHODIMP Connect::OnDisconnection() noexcept {
  Guard([] {
    Addin::Get().OnDisconnection();
    return S_OK;
  });
  return S_OK;
}

STDMETHODIMP Connect::get_Type(BSTR* type) noexcept {
  return ReturnText(core::addin::kAddinType, type);
}

STDMETHODIMP Command::OnEvent(LONG code, LONG, LONG, LONG, LONG, LONG, LONG, LONG, LONG) noexcept {
  Guard([&] {
    Addin::Get().OnEvent(code);
    return S_OK;
  });
  return S_OK;
}

STDMETHODIMP Command::GetObject(BSTR name, IDispatch** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  Guard([&] { return Addin::Get().GetObject(ToNarrow(name), object); });
  return S_OK;
}

STDMETHODIMP Command::Exec(LONG command) noexcept {
  Guard([&] {
    Addin::Get().Exec(command);
    return S_OK;
  });
  return S_OK;
}

STDMETHODIMP Command::QueryStatus(LONG command, LONG* status, LONG) noexcept {
  if (status == nullptr) return command == core::addin::kTriggerCommand ? E_POINTER : S_OK;
  int32_t value = *status;
  core::addin::QueryStatus(command, &value);
  *status = value;
  return S_OK;
}

}  // namespace win::com
