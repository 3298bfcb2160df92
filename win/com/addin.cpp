// The add-in's process-wide state, its connection and its command target.
#include "win/com/addin.h"

#include <utility>

#include "core/addin/command_registration.h"
#include "core/addin/command_target.h"
#include "core/automation/strings.h"
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
using core::automation::HResult;

constexpr core::addin::CommandResources kCommandResources = {
    IDS_TRIGGER_COMMAND,    IDS_TRIGGER_SUBMENU,       IDS_TRIGGER_SUBMENU_ENTRY,
    IDS_TRIGGER_MENU_ENTRY, IDB_TRIGGER_COMMAND_LARGE, IDB_TRIGGER_COMMAND_SMALL,
};

constexpr DWORD kInProcess = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;

// More distinct message names than any project has; past it the remembered ones are forgotten.
constexpr size_t kRememberedMessageNames = 4096;

std::mutex g_state_mutex;
Addin* g_state = nullptr;

Addin::WindowClassesFactory g_window_classes = nullptr;

// The image slot the host gave the command's bitmaps. Only the first connection of a session
// registers the bitmaps, so the slot is kept while the module is loaded, past the state:
// DllCanUnloadNow may end the state and the module stay.
int32_t g_image_index = 0;

// The context of triggers made by their ProgIDs. Registry checks go to the connection's registry
// when there is one and fail cleanly when there is none; everything else goes to the state.
class ProgIdTriggerContext : public core::triggers::TriggerContext {
 public:
  explicit ProgIdTriggerContext(Addin& addin) : addin_(addin) {}

  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) override {
    auto registry = addin_.RegistryContext();
    return registry ? registry->CheckNameUniqueExcept(name, number) : core::automation::kFail;
  }
  HResult CheckInterruptSource(const std::string& source) override {
    auto registry = addin_.RegistryContext();
    return registry ? registry->CheckInterruptSource(source) : core::automation::kFail;
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    auto registry = addin_.RegistryContext();
    return registry ? registry->ResolveInterruptSource(source, code) : core::automation::kOk;
  }
  int32_t FindNumberByName(const std::string& name) override {
    auto registry = addin_.RegistryContext();
    return registry ? registry->FindNumberByName(name) : -1;
  }
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator) override {
    return addin_.Bridge().DefineTrigger(id, name, record, in_simulator);
  }
  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    return addin_.Bridge().SetEventName(id, name, previous);
  }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    return addin_.Bridge().Evaluate(expression, value);
  }
  HResult WriteLog(const std::string& text) override { return addin_.WriteLog(text); }
  void RefreshTriggerWindow() override { addin_.RefreshTriggerWindow(); }
  uint32_t RegisterMessageName(const std::string& name) override {
    return addin_.RegisterMessageName(name);
  }

 private:
  Addin& addin_;
};

}  // namespace

Addin& Addin::Get() {
  std::lock_guard<std::mutex> lock(g_state_mutex);
  if (g_state == nullptr) g_state = new Addin();
  return *g_state;
}

void Addin::Unload() {
  Addin* state = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_state_mutex);
    state = std::exchange(g_state, nullptr);
  }
  delete state;
}

void Addin::SetWindowClasses(WindowClassesFactory factory) { g_window_classes = factory; }

Addin::Addin() : progid_context_(std::make_shared<ProgIdTriggerContext>(*this)) {}

Addin::~Addin() = default;

LONG Addin::OnConnection(IDispatch* host, bool first_time, LONG cookie) {
  if (application_) OnDisconnection();
  if (host == nullptr ||
      FAILED(host->QueryInterface(IID_IVireoApplication, application_.PutVoid())) ||
      !application_) {
    application_.Reset();
    return 1;
  }
  host_.SetApplication(win::host::MakeHostApplication(application_.Get()));
  if (bridge_.Initialise() != 0) {
    ReleaseApplication();
    return 1;
  }

  // Without its resource library the add-in still works, but what it registers has no names or
  // pictures, and its window and dialogs have no layout: the user is told why.
  if (!win::comkit::SatelliteLoaded()) {
    WriteLog(
        Format("Trigger add-in: its resource library %s is missing; its command, menu entries and "
               "button have no names or pictures, and its window and dialogs no layout",
               win::comkit::ToNarrow(win::comkit::SatellitePath()).c_str()));
  }

  // A host that refuses part of the registration still gets the add-in: its triggers are loaded,
  // saved and reached through the registry all the same; only the window's menu entry or button
  // may be missing, which the user is told.
  const std::unique_ptr<core::addin::CommandHost> commands =
      win::host::MakeCommandHost(application_.Get(), win::comkit::ResourceInstance());
  const std::string refused = core::addin::RegisterCommand(*commands, kCommandResources, first_time,
                                                           cookie, &g_image_index);
  if (!refused.empty()) {
    WriteLog(Format(
        "Trigger add-in: the host refused %s while the add-in registered its command %d; the "
        "trigger window may be missing from the host's menus and toolbar",
        refused.c_str(), core::addin::kTriggerCommand));
  }

  // Without its registry the add-in can do nothing: the connection fails, and says why.
  const char* failed = "";
  const HRESULT made = CreateSingletons(&failed);
  if (FAILED(made)) {
    WriteLog(Format("Trigger add-in: cannot create its %s object (%s); the add-in is not connected",
                    failed, win::comkit::HResultText(made).c_str()));
    ReleaseSingletons();
    bridge_.ReleaseServices();
    ReleaseApplication();
    return 1;
  }

  template_ = std::make_unique<win::ui::CVireoBaseDocTemplate>(
      IDR_TRIGGER_TEMPLATE, g_window_classes ? g_window_classes() : nullptr);
  template_->LoadTemplate();
  template_->SetKey(core::addin::WindowKindKey(core::addin::kTriggerWindowKind,
                                               core::addin::kTriggerWindowIndex));
  return 0;
}

void Addin::OnDisconnection() {
  if (template_) {
    if (application_) win::host::RemoveWindowKind(application_.Get(), template_->Key());
    template_.reset();
  }
  ReleaseApplication();
  bridge_.ReleaseServices();
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
    registry_context_ = object->registry().Context();
  } else {
    WriteLog(
        "Trigger add-in: the TriggerAction object lives in another apartment; triggers made by "
        "their ProgIDs are not checked against it");
  }
  return S_OK;
}

void Addin::ReleaseSingletons() {
  registry_context_.reset();
  registry_.Reset();
  version_.Reset();
}

void Addin::ReleaseApplication() {
  host_.SetApplication(nullptr);
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
    WriteLog(
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
              host_.GetService(core::bridge::kMemoryCommandService)) {
        memory_command_ = service->QueryMemoryCommand();
      }
      if (!memory_command_ && application_) {
        WriteLog(Format("Trigger add-in: the host offers no %s service",
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
  if (template_) template_->RefreshDocument();
}

uint32_t Addin::RegisterMessageName(const std::string& name) {
  // A registered name keeps its number for the session, and every registration is a round trip
  // to the window server (under Wine, to the wineserver; a load of a project registers a name for
  // each message trigger), so the numbers are remembered. Failures are not.
  {
    std::lock_guard<std::mutex> lock(message_mutex_);
    const auto known = message_numbers_.find(name);
    if (known != message_numbers_.end()) return known->second;
  }
  const UINT number = ::RegisterWindowMessageA(name.c_str());
  if (number != 0) {
    std::lock_guard<std::mutex> lock(message_mutex_);
    if (message_numbers_.size() >= kRememberedMessageNames) message_numbers_.clear();
    message_numbers_.emplace(name, number);
  }
  return number;
}

core::registry::WindowHooks Addin::WindowHooks() {
  core::registry::WindowHooks hooks;
  hooks.refresh_trigger_window = [this] { RefreshTriggerWindow(); };
  hooks.register_window_message = [this](const std::string& name) {
    return RegisterMessageName(name);
  };
  hooks.name_key = win::comkit::NameKeyInUserLocale;
  return hooks;
}

}  // namespace win::com
