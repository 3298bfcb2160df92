// The stand-in's automation object.
#include "standin/win/standin_object.h"

#include <oleauto.h>

#include <cstdlib>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "project/records.h"
#include "standin/win/ide_frame.h"
#include "win/comkit/boundary.h"
#include "win/comkit/conversion.h"
#include "win/comkit/module.h"

namespace standin::win {
namespace {

// The compiled help the stand-in serves (docs/help), beside its module.
constexpr wchar_t kHelpFileName[] = L"Vireo.chm";

using core::automation::Format;
using core::automation::IsVariantTrue;
using core::automation::ToVariantBool;
using ::win::comkit::ComPtr;
using ::win::comkit::Guard;
using ::win::comkit::HResultText;
using ::win::comkit::ReturnText;
using ::win::comkit::ToBstr;
using ::win::comkit::ToNarrow;
using ::win::comkit::UniqueBstr;

// What failed with which result, for the error description.
std::string Explain(const std::string& what, HRESULT hr) {
  return what + " (" + HResultText(hr) + ")";
}

// Creates one of the add-in's classes by ProgID and asks it for its interface.
template <typename Interface>
HRESULT CreateAddinObject(BSTR prog_id, REFIID iid, const char* interface_name,
                          ComPtr<Interface>* out) {
  const std::string name = ToNarrow(prog_id);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(prog_id, &clsid);
  if (FAILED(hr)) {
    return Fail(hr, Explain("the add-in class \"" + name +
                                "\" is not registered (register its DLL with regsvr32 first)",
                            hr));
  }
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out->PutVoid());
  if (hr == E_NOINTERFACE) {
    return Fail(hr, Explain("\"" + name + "\" has no " + interface_name + " interface", hr));
  }
  if (hr == CLASS_E_CLASSNOTAVAILABLE) {
    return Fail(hr, Explain("the add-in's module does not offer the class \"" + name + "\"", hr));
  }
  if (hr == REGDB_E_CLASSNOTREG) {
    return Fail(hr, Explain("the add-in class \"" + name +
                                "\" is not registered as an "
                                "in-process server",
                            hr));
  }
  if (FAILED(hr)) return Fail(hr, Explain("cannot create the add-in class \"" + name + "\"", hr));
  return S_OK;
}

}  // namespace

HRESULT Fail(HRESULT hr, const std::string& description) noexcept {
  try {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Put()))) return hr;
    UniqueBstr text;
    if (FAILED(ToBstr(description, text.Put()))) return hr;
    create->SetDescription(text.Get());
    create->SetSource(const_cast<LPOLESTR>(L"Vireo.Standin"));
    create->SetGUID(IID_IVireoStandin);
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(IID_IErrorInfo, &info))) SetErrorInfo(0, info.Get());
  } catch (...) {
    // The result matters more than its description.
  }
  return hr;
}

Standin::Standin() : session_(std::make_shared<model::Session>()) {
  // The help file of the IDE, which also stands in for the help file of each CPU family: the
  // compiled help beside the module of the stand-in (built from docs/help).
  std::wstring help = ::win::comkit::ModulePath();
  help.erase(help.find_last_of(L"\\/") + 1);
  session_->SetHelpFile(::win::comkit::ToNarrow(help + kHelpFileName));
}

// The add-in goes first, so that it closes its own windows before the IDE window goes.
Standin::~Standin() {
  if (connect_) connect_->OnDisconnection();
  frame_.reset();
}

HRESULT Standin::FinalConstruct() {
  const HRESULT hr = ComObject::FinalConstruct();
  if (FAILED(hr)) return hr;
  HostApplication* application = nullptr;
  const HRESULT made = HostApplication::Create(&application, session_);
  if (FAILED(made)) return made;
  application_ = ComPtr<HostApplication>::Attach(application);
  return S_OK;
}

// The project.

STDMETHODIMP Standin::OpenProject(BSTR path) noexcept {
  return Guard([&] {
    const project::Outcome outcome = session_->OpenProject(ToNarrow(path));
    return outcome.ok() ? S_OK : Fail(outcome.hr, outcome.message);
  });
}

STDMETHODIMP Standin::SaveProject() noexcept {
  return Guard([&] {
    const project::Outcome outcome = session_->SaveProject();
    return outcome.ok() ? S_OK : Fail(outcome.hr, outcome.message);
  });
}

STDMETHODIMP Standin::SaveProjectAs(BSTR path) noexcept {
  return Guard([&] {
    const project::Outcome outcome = session_->SaveProjectAs(ToNarrow(path));
    return outcome.ok() ? S_OK : Fail(outcome.hr, outcome.message);
  });
}

STDMETHODIMP Standin::get_ProjectPath(BSTR* path) noexcept {
  return Guard([&] { return ReturnText(session_->project().path(), path); });
}

STDMETHODIMP Standin::get_Modified(VARIANT_BOOL* modified) noexcept {
  if (modified == nullptr) return E_POINTER;
  *modified = ToVariantBool(session_->project().modified());
  return S_OK;
}

STDMETHODIMP Standin::put_Modified(VARIANT_BOOL modified) noexcept {
  session_->project().MarkModified(IsVariantTrue(modified));
  return S_OK;
}

STDMETHODIMP Standin::get_CpuFamily(BSTR* name) noexcept {
  return Guard([&] { return ReturnText(session_->project().CpuFamily(), name); });
}

STDMETHODIMP Standin::Setting(BSTR section, BSTR key, VARIANT* value) noexcept {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  return Guard([&] {
    const auto found = session_->project().settings().Get(ToNarrow(section), ToNarrow(key));
    if (!found) {
      V_VT(value) = VT_NULL;
      return S_OK;
    }
    BSTR text = nullptr;
    const HRESULT hr = ToBstr(*found, &text);
    if (FAILED(hr)) return hr;
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = text;
    return S_OK;
  });
}

STDMETHODIMP Standin::WriteSetting(BSTR section, BSTR key, BSTR value) noexcept {
  return Guard([&] {
    const project::Outcome outcome =
        session_->project().WriteProfileString(ToNarrow(section), ToNarrow(key), ToNarrow(value));
    return outcome.ok() ? S_OK : Fail(outcome.hr, outcome.message);
  });
}

STDMETHODIMP Standin::SectionText(BSTR section, BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->SectionText(ToNarrow(section)), text); });
}

STDMETHODIMP Standin::Evaluate(BSTR expression, VARIANT* value) noexcept {
  if (value == nullptr) return E_POINTER;
  VariantInit(value);
  return Guard([&] {
    const project::Evaluation evaluated =
        project::Evaluate(ToNarrow(expression), session_->symbols());
    if (!evaluated.ok()) return Fail(evaluated.hr, evaluated.error);
    return ::win::comkit::ToVariant(evaluated.value.ToVariant(), value);
  });
}

// The add-in.

void Standin::ReleaseAddin() {
  session_->addin_commands().Remove(cookie_);
  command_.Reset();
  connect_.Reset();
  cookie_ = 0;
}

STDMETHODIMP Standin::Connect(BSTR connect_prog_id, BSTR command_prog_id, VARIANT_BOOL first_time,
                              LONG* result) noexcept {
  if (result == nullptr) return E_POINTER;
  *result = 1;
  return Guard([&] {
    if (connect_) {
      return Fail(E_UNEXPECTED, "an add-in is connected already; disconnect it first");
    }
    ComPtr<IConnect> connect;
    HRESULT hr = CreateAddinObject(connect_prog_id, IID_IConnect, "IConnect", &connect);
    if (FAILED(hr)) return hr;
    ComPtr<ICommand> command;
    hr = CreateAddinObject(command_prog_id, __uuidof(ICommand), "ICommand", &command);
    if (FAILED(hr)) return hr;

    const LONG cookie = ++last_cookie_;
    application_->AddRef();
    application_baseline_ = application_->Release();
    hr = connect->OnConnection(application_.Get(), first_time, cookie);
    if (FAILED(hr)) return Fail(hr, Explain("the add-in's OnConnection failed", hr));
    *result = hr;
    if (hr != S_OK) {
      // The add-in refused; it is not connected, and it keeps nothing of the host's, nor the
      // host of its menus and buttons.
      session_->addin_commands().Remove(cookie);
      session_->Note(Format("the add-in refused the connection (OnConnection returned %ld)", hr));
      connect.Reset();
      command.Reset();
      AccountReferences();
      return S_OK;
    }
    connect_ = std::move(connect);
    command_ = std::move(command);
    cookie_ = cookie;
    return S_OK;
  });
}

STDMETHODIMP Standin::Disconnect() noexcept {
  if (!connect_) return S_FALSE;
  const HRESULT hr = connect_->OnDisconnection();
  ReleaseAddin();
  Guard([&] {
    AccountReferences();
    return S_OK;
  });
  return FAILED(hr) ? Fail(hr, Explain("the add-in's OnDisconnection failed", hr)) : S_OK;
}

void Standin::AccountReferences() {
  held_ = application_->HeldReferences(application_baseline_);
  session_->Journal(held_.empty() ? "Disconnected: nothing held"
                                  : "Disconnected: still held: " + held_);
}

STDMETHODIMP Standin::get_Connected(VARIANT_BOOL* connected) noexcept {
  if (connected == nullptr) return E_POINTER;
  *connected = ToVariantBool(static_cast<bool>(connect_));
  return S_OK;
}

HRESULT Standin::RequireCommand() const {
  return command_ ? S_OK : Fail(E_UNEXPECTED, "no add-in is connected");
}

STDMETHODIMP Standin::QueryStatus(LONG command, LONG initial, LONG* status) noexcept {
  if (status == nullptr) return E_POINTER;
  *status = initial;
  HRESULT hr = RequireCommand();
  if (FAILED(hr)) return hr;
  hr = command_->QueryStatus(command, status, 0);
  return FAILED(hr) ? Fail(hr, Explain("the add-in's QueryStatus failed", hr)) : S_OK;
}

STDMETHODIMP Standin::Exec(LONG command) noexcept {
  HRESULT hr = RequireCommand();
  if (FAILED(hr)) return hr;
  hr = command_->Exec(command);
  return FAILED(hr) ? Fail(hr, Explain("the add-in's Exec failed", hr)) : hr;
}

STDMETHODIMP Standin::OnEvent(LONG code) noexcept {
  HRESULT hr = RequireCommand();
  if (FAILED(hr)) return hr;
  hr = command_->OnEvent(code, 0, 0, 0, 0, 0, 0, 0, 0);
  return FAILED(hr) ? Fail(hr, Explain("the add-in's OnEvent failed", hr)) : hr;
}

STDMETHODIMP Standin::GetObject(BSTR name, IDispatch** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  HRESULT hr = RequireCommand();
  if (FAILED(hr)) return hr;
  hr = command_->GetObject(name, object);
  return FAILED(hr) ? Fail(hr, Explain("the add-in's GetObject failed", hr)) : hr;
}

STDMETHODIMP Standin::get_Application(IDispatch** application) noexcept {
  if (application == nullptr) return E_POINTER;
  *application = application_.Get();
  (*application)->AddRef();
  return S_OK;
}

STDMETHODIMP Standin::get_Cookie(LONG* cookie) noexcept {
  if (cookie == nullptr) return E_POINTER;
  *cookie = cookie_;
  return S_OK;
}

// What the add-in did to the host.

STDMETHODIMP Standin::get_Log(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->log().Text(), text); });
}

STDMETHODIMP Standin::ClearLog() noexcept {
  session_->log().Clear();
  return S_OK;
}

STDMETHODIMP Standin::get_EventList(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->EventListText(), text); });
}

STDMETHODIMP Standin::get_Commands(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->CommandsText(), text); });
}

STDMETHODIMP Standin::get_Menus(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->MenusText(), text); });
}

STDMETHODIMP Standin::get_Calls(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->CallsText(), text); });
}

STDMETHODIMP Standin::ClearCalls() noexcept {
  session_->ClearCalls();
  return S_OK;
}

STDMETHODIMP Standin::get_RefusedCalls(BSTR* names) noexcept {
  return Guard([&] { return ReturnText(session_->RefusedCallsText(), names); });
}

STDMETHODIMP Standin::put_RefusedCalls(BSTR names) noexcept {
  return Guard([&] {
    session_->SetRefusedCalls(ToNarrow(names));
    return S_OK;
  });
}

// The simulator.

STDMETHODIMP Standin::get_DecodedRecords(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->DecodedRecordsText(), text); });
}

STDMETHODIMP Standin::get_SimulatorState(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->SimulatorStateText(), text); });
}

STDMETHODIMP Standin::get_SimulatorJournal(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->simulator().journal().Text(), text); });
}

STDMETHODIMP Standin::ClearSimulatorJournal() noexcept {
  session_->simulator().ClearJournal();
  return S_OK;
}

HRESULT Standin::SimulatorCommand(uint16_t code, LONG id) noexcept {
  return Guard([&] {
    core::automation::ByteWriter block(project::kCommandBlockSize);
    block.U16(0, project::kCommandBlockTag);
    block.U16(2, code);
    block.I32(4, id);
    void* reply = nullptr;
    model::Simulator& simulator = session_->simulator();
    const HRESULT hr = simulator.Command(block.bytes().data(), &reply);
    std::free(reply);
    if (SUCCEEDED(hr)) return hr;
    const auto& journal = simulator.journal().entries();
    return Fail(hr, journal.empty() ? Explain("the simulator refused", hr) : journal.back());
  });
}

STDMETHODIMP Standin::Activate(LONG id) noexcept {
  return SimulatorCommand(project::kActivateCode, id);
}

STDMETHODIMP Standin::Deactivate(LONG id) noexcept {
  return SimulatorCommand(project::kDeactivateCode, id);
}

STDMETHODIMP Standin::Fire(LONG id) noexcept { return SimulatorCommand(project::kFireCode, id); }

STDMETHODIMP Standin::Reset(LONG id) noexcept { return SimulatorCommand(project::kResetCode, id); }

STDMETHODIMP Standin::IsActive(LONG id, VARIANT_BOOL* active) noexcept {
  if (active == nullptr) return E_POINTER;
  *active = ToVariantBool(session_->simulator().IsActive(id));
  return S_OK;
}

STDMETHODIMP Standin::FireCount(LONG id, LONG* count) noexcept {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return Guard([&] {
    const model::StoredTrigger* trigger = session_->simulator().Find(id);
    if (trigger == nullptr) {
      return Fail(E_INVALIDARG, Format("the simulator holds no trigger %ld", id));
    }
    *count = static_cast<LONG>(trigger->fires);
    return S_OK;
  });
}

STDMETHODIMP Standin::get_Journal(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(session_->JournalText(), text); });
}

STDMETHODIMP Standin::ClearJournal() noexcept {
  session_->ClearJournal();
  return S_OK;
}

STDMETHODIMP Standin::get_FreshServices(VARIANT_BOOL* fresh) noexcept {
  if (fresh == nullptr) return E_POINTER;
  *fresh = ToVariantBool(application_->FreshServices());
  return S_OK;
}

STDMETHODIMP Standin::put_FreshServices(VARIANT_BOOL fresh) noexcept {
  application_->SetFreshServices(IsVariantTrue(fresh));
  return S_OK;
}

STDMETHODIMP Standin::get_HeldReferences(BSTR* text) noexcept {
  return Guard([&] { return ReturnText(held_, text); });
}

STDMETHODIMP Standin::RecordBytes(LONG id, BSTR* bytes) noexcept {
  if (bytes == nullptr) return E_POINTER;
  *bytes = nullptr;
  return Guard([&] {
    const model::StoredTrigger* trigger = session_->simulator().Find(id);
    if (trigger == nullptr) {
      return Fail(E_INVALIDARG, Format("the simulator holds no trigger %ld", id));
    }
    std::string text;
    for (uint8_t byte : trigger->record) text += Format(text.empty() ? "%02X" : " %02X", byte);
    return ReturnText(text, bytes);
  });
}

}  // namespace standin::win
