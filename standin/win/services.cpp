// The host services.
#include "standin/win/services.h"

#include <oleauto.h>

#include <cstdlib>
#include <string>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "project/records.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using core::automation::EqualsIgnoreCase;
using core::automation::Format;
using ::win::comkit::ComPtr;
using ::win::comkit::Guard;
using ::win::comkit::ToBstr;
using ::win::comkit::ToNarrow;
using ::win::comkit::ToVariant;

constexpr const char* kServiceNames[kServiceCount] = {
    "Marlin.Manager",     "Marlin.TargetCommand", "Marlin.EventCommand", "Marlin.MemoryCommand",
    "Quillon.Evaluation", "Tamber.Service",       "Pennant.Service",
};

template <typename T>
HRESULT Make(const SessionPtr& session, IDispatch** out) {
  T* object = nullptr;
  const HRESULT hr = T::Create(&object, session);
  if (FAILED(hr)) return hr;
  *out = object;  // Create's reference
  return S_OK;
}

template <typename T>
HRESULT MakeDispatchOnly(const SessionPtr& session, IDispatch** out) {
  T* object = new T(session);
  object->AddRef();
  *out = object;
  return S_OK;
}

constexpr DISPID kAddLogString = 1;
constexpr DISPID kGetCpuName = 1;

}  // namespace

size_t FindService(std::string_view name) {
  for (size_t i = 0; i < kServiceCount; ++i) {
    if (EqualsIgnoreCase(name, kServiceNames[i])) return i;
  }
  return kServiceCount;
}

const char* ServiceName(size_t index) {
  return index < kServiceCount ? kServiceNames[index] : nullptr;
}

HRESULT CreateService(size_t index, const SessionPtr& session, IDispatch** out) noexcept {
  *out = nullptr;
  return Guard([&]() -> HRESULT {
    switch (index) {
      case 0:
        return Make<Manager>(session, out);
      case 1:
        return Make<TargetCommand>(session, out);
      case 2:
        return Make<EventCommand>(session, out);
      case 3:
        return Make<MemoryCommand>(session, out);
      case 4:
        return Make<Evaluation>(session, out);
      case 5:
        return MakeDispatchOnly<LogService>(session, out);
      case 6:
        return MakeDispatchOnly<CpuService>(session, out);
      default:
        return E_INVALIDARG;
    }
  });
}

HRESULT ServiceBase::Unexpected(const char* interface_name, int position) noexcept {
  return Guard([&] {
    session_->Note(
        Format("%s: the caller used vtable position %d, where the host has no method "
               "for add-ins (E_NOTIMPL)",
               interface_name, position));
    return E_NOTIMPL;
  });
}

// Manager

STDMETHODIMP Manager::ReadProfileInt(BSTR file, BSTR section, BSTR key, LONG default_value,
                                     LONG* value) noexcept {
  if (value == nullptr) return E_POINTER;
  *value = default_value;
  return Guard([&] {
    int32_t read = 0;
    const HRESULT hr = session_->ReadProfileInt(ToNarrow(file), ToNarrow(section), ToNarrow(key),
                                                default_value, &read);
    *value = read;
    return hr;
  });
}

STDMETHODIMP Manager::WriteProfileInt(BSTR file, BSTR section, BSTR key, LONG value) noexcept {
  return Guard([&] {
    return static_cast<HRESULT>(
        session_->WriteProfileInt(ToNarrow(file), ToNarrow(section), ToNarrow(key), value));
  });
}

STDMETHODIMP Manager::ReadProfileString(BSTR file, BSTR section, BSTR key, BSTR default_value,
                                        BSTR* value) noexcept {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guard([&] {
    std::string text;
    const HRESULT hr = session_->ReadProfileString(ToNarrow(file), ToNarrow(section), ToNarrow(key),
                                                   ToNarrow(default_value), &text);
    const HRESULT converted = ToBstr(text, value);
    return FAILED(hr) ? hr : converted;
  });
}

STDMETHODIMP Manager::WriteProfileString(BSTR file, BSTR section, BSTR key, BSTR value) noexcept {
  return Guard([&] {
    return static_cast<HRESULT>(session_->WriteProfileString(ToNarrow(file), ToNarrow(section),
                                                             ToNarrow(key), ToNarrow(value)));
  });
}

STDMETHODIMP Manager::MarkProjectModified(LONG modified) noexcept {
  return Guard([&] { return static_cast<HRESULT>(session_->MarkProjectModified(modified)); });
}

// TargetCommand

STDMETHODIMP TargetCommand::Command(BSTR name, LONG, VARIANT block, VARIANT* reply) noexcept {
  if (reply == nullptr) return E_POINTER;
  VariantInit(reply);
  return Guard([&] {
    void* answer = nullptr;
    const auto hr = static_cast<HRESULT>(
        session_->SimCommand(ToNarrow(name), V_VT(&block), V_BYREF(&block), &answer));
    if (answer != nullptr) {
      V_VT(reply) = VT_BYREF;
      V_BYREF(reply) = answer;
    }
    return hr;
  });
}

// EventCommand

STDMETHODIMP EventCommand::AddEventName(LONG id, BSTR name) noexcept {
  return Guard([&] { return static_cast<HRESULT>(session_->AddEventName(id, ToNarrow(name))); });
}

STDMETHODIMP EventCommand::RemoveEventName(LONG id) noexcept {
  return Guard([&] { return static_cast<HRESULT>(session_->RemoveEventName(id)); });
}

// MemoryCommand

STDMETHODIMP MemoryCommand::TriggersChanged() noexcept {
  return Guard([&] {
    session_->RecordCall(model::CallKind::Other, "TriggersChanged()");
    return S_OK;
  });
}

// Evaluation

STDMETHODIMP Evaluation::Evaluate(BSTR expression, VARIANT* result) noexcept {
  if (result == nullptr) return E_POINTER;
  VariantInit(result);
  return Guard([&] {
    core::automation::Variant answer;
    const auto hr = static_cast<HRESULT>(session_->Evaluate(ToNarrow(expression), &answer));
    if (FAILED(hr)) return hr;
    return ToVariant(answer, result);
  });
}

// LogService

LogService::LogService(SessionPtr session)
    : DispatchObject(DIID_DVireoLog, {{L"AddLogString", kAddLogString, DISPATCH_METHOD}}),
      session_(std::move(session)) {}

HRESULT LogService::Call(DISPID, const DISPPARAMS& params, VARIANT*, EXCEPINFO*) {
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  ::win::comkit::UniqueBstr text;
  const HRESULT hr = ArgumentText(params, 0, &text);
  if (FAILED(hr)) return hr;
  session_->AddLogString(ToNarrow(text.Get()));
  return S_OK;
}

// CpuService

CpuService::CpuService(SessionPtr session)
    : DispatchObject(DIID_DVireoCpu, {{L"GetCPUName", kGetCpuName, DISPATCH_METHOD}}),
      session_(std::move(session)) {}

HRESULT CpuService::Call(DISPID, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
  if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (result == nullptr) return S_OK;
  BSTR name = nullptr;
  const HRESULT hr = ToBstr(session_->GetCpuName(), &name);
  if (FAILED(hr)) return hr;
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = name;
  return S_OK;
}

}  // namespace standin::win
