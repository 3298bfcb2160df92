// The add-in's connection and command target.
#include "win/com/addin.h"

#include "core/addin/command_registration.h"
#include "core/addin/command_target.h"
#include "core/automation/strings.h"
#include "win/com/process.h"
#include "win/com/trigger_action_object.h"
#include "win/comkit/conversion.h"
#include "win/comkit/module.h"
#include "win/host/application_calls.h"
#include "win/host/com_host.h"
#include "win/host/help.h"
#include "win/resources/resource_ids.h"

namespace win::com {
namespace {

using core::automation::Format;

constexpr core::addin::CommandResources kCommandResources = {
    IDS_TRIGGER_COMMAND,    IDS_TRIGGER_SUBMENU,       IDS_TRIGGER_SUBMENU_ENTRY,
    IDS_TRIGGER_MENU_ENTRY, IDB_TRIGGER_COMMAND_LARGE, IDB_TRIGGER_COMMAND_SMALL,
};

constexpr DWORD kInProcess = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

Addin::WindowClassesFactory window_classes = nullptr;

}  // namespace

void Addin::SetWindowClasses(WindowClassesFactory factory) { window_classes = factory; }

Addin& Addin::Get() {
  static Addin* const addin = new Addin();
  return *addin;
}

LONG Addin::OnConnection(IDispatch* host, bool first_time, LONG cookie) {
  if (application_) OnDisconnection();
  if (host == nullptr ||
      FAILED(host->QueryInterface(IID_IVireoApplication, application_.PutVoid())) ||
      !application_) {
    application_.Reset();
    return 1;
  }
  ProcessHost().SetApplication(win::host::MakeHostApplication(application_.Get()));
  if (ProcessBridge().Initialise() != 0) {
    ReleaseApplication();
    return 1;
  }

  // Without its resource library the add-in still works, but what it registers has no names or
  // pictures, and its window and dialogs have no layout: the user is told why.
  if (!comkit::SatelliteLoaded()) {
    ProcessServices::WriteLog(
        Format("Trigger add-in: its resource library %s is missing; its command, menu entries and "
               "button have no names or pictures, and its window and dialogs no layout",
               ToNarrow(comkit::SatellitePath()).c_str()));
  }

  // A host that refuses part of the registration still gets the add-in: its triggers are loaded,
  // saved and reached through the registry all the same; only the window's menu entry or button
  // may be missing, which the user is told.
  const std::unique_ptr<core::addin::CommandHost> commands =
      win::host::MakeCommandHost(application_.Get(), comkit::ResourceInstance());
  int32_t image = image_index_;
  const std::string refused =
      core::addin::RegisterCommand(*commands, kCommandResources, first_time, cookie, &image);
  image_index_ = image;
  if (!refused.empty()) {
    ProcessServices::WriteLog(Format(
        "Trigger add-in: the host refused %s while the add-in registered its command %d; the "
        "trigger window may be missing from the host's menus and toolbar",
        refused.c_str(), core::addin::kTriggerCommand));
  }

  // Without its registry the add-in can do nothing: the connection fails, and says why.
  const char* failed = "";
  const HRESULT made = CreateSingletons(&failed);
  if (FAILED(made)) {
    ProcessServices::WriteLog(
        Format("Trigger add-in: cannot create its %s object (0x%08lX); the add-in is not connected",
               failed, static_cast<unsigned long>(made)));
    ReleaseSingletons();
    ProcessBridge().ReleaseServices();
    ReleaseApplication();
    return 1;
  }

  template_ = std::make_unique<win::ui::CVireoBaseDocTemplate>(
      IDR_TRIGGER_TEMPLATE, window_classes ? window_classes() : nullptr);
  template_->LoadTemplate();
  template_->SetKey(core::addin::WindowKindKey(core::addin::kTriggerWindowKind,
                                               core::addin::kTriggerWindowIndex));
  SetTriggerWindowRefresh(&Addin::RefreshTriggerWindow);
  return 0;
}

void Addin::OnDisconnection() {
  if (template_) {
    if (application_) win::host::RemoveWindowKind(application_.Get(), template_->Key());
    SetTriggerWindowRefresh(nullptr);
    template_.reset();
  }
  ReleaseApplication();
  ProcessBridge().ReleaseServices();
  memory_command_.reset();
  ReleaseSingletons();
}

HRESULT Addin::CreateSingletons(const char** failed) {
  *failed = "Version";
  HRESULT hr =
      CoCreateInstance(CLSID_Version, nullptr, kInProcess, IID_IVersion, version_.PutVoid());
  if (FAILED(hr)) return hr;
  *failed = "TriggerAction";
  hr = CoCreateInstance(CLSID_TriggerAction, nullptr, kInProcess, IID_ITriggerAction,
                        registry_.PutVoid());
  if (FAILED(hr)) return hr;
  // Triggers made by their ProgIDs check their names and sources against this registry.
  if (TriggerActionObject* object = TriggerActionObject::FromInterface(registry_.Get())) {
    SetProcessRegistryContext(object->registry().Context());
  } else {
    ProcessServices::WriteLog(
        "Trigger add-in: the TriggerAction object lives in another apartment; triggers made by "
        "their ProgIDs are not checked against it");
  }
  return S_OK;
}

void Addin::ReleaseSingletons() {
  SetProcessRegistryContext(nullptr);
  registry_.Reset();
  version_.Reset();
}

void Addin::ReleaseApplication() {
  ProcessHost().SetApplication(nullptr);
  application_.Reset();
}

HRESULT Addin::GetObject(const std::string& name, IDispatch** object) {
  *object = nullptr;
  IUnknown* singleton = nullptr;
  switch (core::addin::FindNamedObject(name)) {
    case core::addin::NamedObject::TriggerAction:
      singleton = registry_.Get();
      break;
    case core::addin::NamedObject::Version:
      singleton = version_.Get();
      break;
    case core::addin::NamedObject::None:
      break;
  }
  if (singleton &&
      FAILED(singleton->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object)))) {
    *object = nullptr;
  }
  return S_OK;
}

void Addin::Exec(LONG command) {
  if (command != core::addin::kTriggerCommand || !template_) return;
  if (!template_->HasClasses()) {
    ProcessServices::WriteLog(
        "Trigger add-in: the trigger window is not available in this module; the triggers can "
        "be reached through the add-in's TriggerAction object");
    return;
  }
  template_->OpenOrActivate();  // the window's classes tell the log when they cannot open it
}

void Addin::OnEvent(LONG code) {
  switch (core::addin::EffectOf(code)) {
    case core::addin::NotificationEffect::ObtainMemoryCommand:
      memory_command_.reset();
      if (std::unique_ptr<core::bridge::HostObject> service =
              ProcessHost().GetService(core::bridge::kMemoryCommandService)) {
        memory_command_ = service->QueryMemoryCommand();
      }
      if (!memory_command_ && application_) {
        ProcessServices::WriteLog(Format("Trigger add-in: the host offers no %s service",
                                         core::bridge::kMemoryCommandService));
      }
      break;
    case core::addin::NotificationEffect::ReleaseMemoryCommand:
      memory_command_.reset();
      break;
    case core::addin::NotificationEffect::RefreshActiveFlags:
      if (registry_) registry_->RefreshActiveFlags();
      if (template_) template_->RefreshDocument();
      break;
    case core::addin::NotificationEffect::None:
      break;
  }
}

HWND Addin::ShowHelp(const std::string& topic) {
  return win::host::ShowHelp(application_.Get(), topic);
}

void Addin::RefreshTriggerWindow() {
  if (win::ui::CVireoBaseDocTemplate* window = Get().Template()) window->RefreshDocument();
}

}  // namespace win::com
