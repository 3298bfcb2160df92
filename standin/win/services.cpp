// The host services.
#include "standin/win/services.h"

#include <oleauto.h>

#include <cstdlib>
#include <string>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "standin/model/records.h"
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
  return session_->AcceptsSettingsFile(ToNarrow(file), method);
}

STDMETHODIMP Manager::ReadProfileInt(BSTR file, BSTR section, BSTR key, LONG default_value,
                                     LONG* value) noexcept {
  if (value == nullptr) return E_POINTER;
  *value = default_value;
  return Guard([&] {
    if (!IsOpenProject(file, "ReadProfileInt")) return E_INVALIDARG;
    *value = session_->project().ReadProfileInt(ToNarrow(section), ToNarrow(key), default_value);
    session_->Journal(Format("Manager.ReadProfileInt(%s, %s, %ld) = %ld", ToNarrow(section).c_str(),
                             ToNarrow(key).c_str(), default_value, *value));
    return S_OK;
  });
}

STDMETHODIMP Manager::WriteProfileInt(BSTR file, BSTR section, BSTR key, LONG value) noexcept {
  return Guard([&] {
    if (!IsOpenProject(file, "WriteProfileInt")) return E_INVALIDARG;
    session_->Journal(Format("Manager.WriteProfileInt(%s, %s, %ld)", ToNarrow(section).c_str(),
                             ToNarrow(key).c_str(), value));
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
    const std::string default_text = text;
    text = session_->project().ReadProfileString(ToNarrow(section), ToNarrow(key), text);
    session_->Journal(Format("Manager.ReadProfileString(%s, %s, \"%s\") = \"%s\"",
                             ToNarrow(section).c_str(), ToNarrow(key).c_str(), default_text.c_str(),
                             text.c_str()));
    return ToBstr(text, value);
  });
}

STDMETHODIMP Manager::WriteProfileString(BSTR file, BSTR section, BSTR key, BSTR value) noexcept {
  return Guard([&] {
    if (!IsOpenProject(file, "WriteProfileString")) return E_INVALIDARG;
    session_->Journal(Format("Manager.WriteProfileString(%s, %s, \"%s\")",
                             ToNarrow(section).c_str(), ToNarrow(key).c_str(),
                             ToNarrow(value).c_str()));
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
    if (!session_->AcceptsTargetCommand(ToNarrow(name), V_VT(&block), V_BYREF(&block))) {
      return E_INVALIDARG;
    }
    // The code and, where the block carries one, the trigger id: a record's id is its third
    // word, a command block's its second double word (none for the two table requests).
    const auto* bytes = static_cast<const uint8_t*>(V_BYREF(&block));
    const uint16_t code = core::automation::ReadU16(bytes + 2);
    if (core::automation::ReadU16(bytes) != model::kCommandBlockTag) {
      session_->Journal(Format("SimCommand(0x%04X, %u)", code,
                               static_cast<unsigned>(core::automation::ReadU16(bytes + 4))));
    } else if (code == model::kActiveTableCode || code == model::kSourceTableCode) {
      session_->Journal(Format("SimCommand(0x%04X)", code));
    } else {
      session_->Journal(
          Format("SimCommand(0x%04X, %d)", code, core::automation::ReadI32(bytes + 4)));
    }
    void* answer = nullptr;
    const HRESULT hr = session_->simulator().Command(bytes, &answer);
    if (answer != nullptr) {
      V_VT(reply) = VT_BYREF;
      V_BYREF(reply) = answer;
    }
    return hr;
  });
}

// EventCommand

namespace {
// " = 0x80004005" after a journal line of a call that failed.
std::string Failure(HRESULT hr) {
  return FAILED(hr) ? Format(" = 0x%08lX", static_cast<unsigned long>(hr)) : std::string();
}
}  // namespace

STDMETHODIMP EventCommand::AddEventName(LONG id, BSTR name) noexcept {
  return Guard([&] {
    const std::string text = ToNarrow(name);
    const auto hr = static_cast<HRESULT>(session_->events().AddName(id, text));
    session_->Journal(Format("EventCommand.AddEventName(%ld, %s)", id, text.c_str()) + Failure(hr));
    return hr;
  });
}

STDMETHODIMP EventCommand::RemoveEventName(LONG id) noexcept {
  return Guard([&] {
    const auto hr = static_cast<HRESULT>(session_->events().RemoveName(id));
    session_->Journal(Format("EventCommand.RemoveEventName(%ld)", id) + Failure(hr));
    return hr;
  });
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
    const std::string text = ToNarrow(expression);
    const model::Evaluation evaluated = model::Evaluate(text, session_->symbols());
    if (!evaluated.ok()) {
      session_->Journal("Evaluate(" + text + ")" + Failure(static_cast<HRESULT>(evaluated.hr)));
      return static_cast<HRESULT>(evaluated.hr);
    }
    // The project chooses the type of the answer, so that every type an add-in meets can be had.
    const std::string type =
        session_->project().ReadProfileString(model::kProjectSection, model::kEvaluatorTypeKey, "");
    core::automation::Variant answer;
    if (!model::AnswerAs(evaluated.value, type, &answer)) {
      session_->Note("Evaluation: [Project] " + std::string(model::kEvaluatorTypeKey) + "=" + type +
                     " is no type the evaluator answers in; it answers as without it");
    }
    session_->Journal("Evaluate(" + text + ") = " + answer.Describe());
    return ToVariant(answer, result);
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
  const std::string line = ToNarrow(text.Get());
  session_->Journal("AddLogString(\"" + line + "\")");
  session_->log().Add(line);
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
  session_->Journal("GetCPUName() = \"" + session_->project().CpuFamily() + "\"");
  const HRESULT hr = ToBstr(session_->project().CpuFamily(), &name);
  if (FAILED(hr)) return hr;
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = name;
  return S_OK;
}

}  // namespace standin::win
