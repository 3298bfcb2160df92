// The host services.
#include "standin/win/services.h"

#include <oleauto.h>

#include <cstdlib>
#include <string>

#include "core/automation/strings.h"
#include "win/com/conversion.h"

namespace standin::win {
namespace {

using core::automation::EqualsIgnoreCase;
using core::automation::Format;
using ::win::com::ComPtr;
using ::win::com::Guard;
using ::win::com::ToBstr;
using ::win::com::ToNarrow;
using ::win::com::ToVariant;

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

bool Manager::IsOpenProject(BSTR file, const char* method) {
  if (SysStringLen(file) == 0) return true;
  session_->Note(
      Format("Manager.%s: file \"%s\" refused; the host offers the open project's "
             "settings only (an empty file name)",
             method, ToNarrow(file).c_str()));
  return false;
}

STDMETHODIMP Manager::ReadProfileInt(BSTR file, BSTR section, BSTR key, LONG default_value,
                                     LONG* value) noexcept {
  if (value == nullptr) return E_POINTER;
  *value = default_value;
  return Guard([&] {
    if (!IsOpenProject(file, "ReadProfileInt")) return E_INVALIDARG;
    *value = session_->project().ReadProfileInt(ToNarrow(section), ToNarrow(key), default_value);
    return S_OK;
  });
}

STDMETHODIMP Manager::WriteProfileInt(BSTR file, BSTR section, BSTR key, LONG value) noexcept {
  return Guard([&] {
    if (!IsOpenProject(file, "WriteProfileInt")) return E_INVALIDARG;
    const model::Outcome outcome =
        session_->project().WriteProfileInt(ToNarrow(section), ToNarrow(key), value);
    if (!outcome.ok()) session_->Note("Manager.WriteProfileInt: " + outcome.message);
    return static_cast<HRESULT>(outcome.hr);
  });
}

STDMETHODIMP Manager::ReadProfileString(BSTR file, BSTR section, BSTR key, BSTR default_value,
                                        BSTR* value) noexcept {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guard([&] {
    std::string text = ToNarrow(default_value);
    if (!IsOpenProject(file, "ReadProfileString")) {
      ToBstr(text, value);
      return E_INVALIDARG;
    }
    text = session_->project().ReadProfileString(ToNarrow(section), ToNarrow(key), text);
    return ToBstr(text, value);
  });
}

STDMETHODIMP Manager::WriteProfileString(BSTR file, BSTR section, BSTR key, BSTR value) noexcept {
  return Guard([&] {
    if (!IsOpenProject(file, "WriteProfileString")) return E_INVALIDARG;
    const model::Outcome outcome =
        session_->project().WriteProfileString(ToNarrow(section), ToNarrow(key), ToNarrow(value));
    if (!outcome.ok()) session_->Note("Manager.WriteProfileString: " + outcome.message);
    return static_cast<HRESULT>(outcome.hr);
  });
}

STDMETHODIMP Manager::MarkProjectModified(LONG modified) noexcept {
  return Guard([&] {
    session_->project().MarkModified(modified);
    session_->RecordCall(model::CallKind::Other, Format("MarkProjectModified(%ld)", modified));
    return S_OK;
  });
}

// TargetCommand

STDMETHODIMP TargetCommand::Command(BSTR name, LONG, VARIANT block, VARIANT* reply) noexcept {
  if (reply == nullptr) return E_POINTER;
  VariantInit(reply);
  return Guard([&] {
    const std::string command = ToNarrow(name);
    if (command != "SimCommand") {
      session_->Note("TargetCommand.Command: unknown command \"" + command +
                     "\"; the host knows \"SimCommand\" only");
      return E_INVALIDARG;
    }
    if (V_VT(&block) != VT_BYREF || V_BYREF(&block) == nullptr) {
      session_->Note(
          Format("TargetCommand.Command: the block must come as a VARIANT of type "
                 "VT_BYREF (0x4000) with a pointer; it came as type 0x%04X%s",
                 V_VT(&block), V_VT(&block) == VT_BYREF ? " with a null pointer" : ""));
      return E_INVALIDARG;
    }
    void* answer = nullptr;
    const HRESULT hr =
        session_->simulator().Command(static_cast<const uint8_t*>(V_BYREF(&block)), &answer);
    if (answer != nullptr) {
      V_VT(reply) = VT_BYREF;
      V_BYREF(reply) = answer;
    }
    return hr;
  });
}

// EventCommand

STDMETHODIMP EventCommand::AddEventName(LONG id, BSTR name) noexcept {
  return Guard(
      [&] { return static_cast<HRESULT>(session_->events().AddName(id, ToNarrow(name))); });
}

STDMETHODIMP EventCommand::RemoveEventName(LONG id) noexcept {
  return static_cast<HRESULT>(session_->events().RemoveName(id));
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
    const model::Evaluation evaluated = model::Evaluate(ToNarrow(expression), session_->symbols());
    if (!evaluated.ok()) return static_cast<HRESULT>(evaluated.hr);
    return ToVariant(evaluated.value.ToVariant(), result);
  });
}

// LogService

LogService::LogService(SessionPtr session)
    : DispatchObject(DIID_DVireoLog, {{L"AddLogString", kAddLogString, DISPATCH_METHOD}}),
      session_(std::move(session)) {}

HRESULT LogService::Call(DISPID, const DISPPARAMS& params, VARIANT*, EXCEPINFO*) {
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  ::win::com::UniqueBstr text;
  const HRESULT hr = ArgumentText(params, 0, &text);
  if (FAILED(hr)) return hr;
  session_->log().Add(ToNarrow(text.Get()));
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
  const HRESULT hr = ToBstr(session_->project().CpuFamily(), &name);
  if (FAILED(hr)) return hr;
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = name;
  return S_OK;
}

}  // namespace standin::win
