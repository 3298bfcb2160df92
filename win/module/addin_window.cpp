// The trigger window on the connected add-in.
#include "win/module/addin_window.h"

#include "win/com/addin.h"
#include "win/com/trigger_action_object.h"
#include "win/host/application_calls.h"
#include "win/module/trigger_editor_factory.h"
#include "win/ui/trigger_window.h"

namespace win::ui {
namespace {

using win::com::Addin;

class AddinWindowHost : public TriggerFrameHost {
 public:
  void TriggersChanged() override {
    Addin& addin = Addin::Get();
    if (core::bridge::MemoryCommandPort* memory = addin.MemoryCommand()) memory->TriggersChanged();
    if (IVireoApplication* application = addin.Application()) {
      win::host::NotifyViews(application);
    }
  }
  void WriteLog(const std::string& line) override { Addin::Get().WriteLog(line); }
  void ShowHelp(const std::string& topic) override { Addin::Get().ShowHelp(topic); }
  void WindowActivated() override {
    if (IVireoApplication* application = Addin::Get().Application()) {
      win::host::PutAddinWindowActive(application);
    }
  }
};

std::unique_ptr<DocumentClasses> AddinTriggerWindowClasses() {
  win::com::TriggerActionObject* registry =
      win::com::TriggerActionObject::FromInterface(Addin::Get().Registry());
  if (registry == nullptr) return nullptr;
  TriggerWindowServices services;
  services.registry = &registry->registry();
  services.host = std::make_shared<AddinWindowHost>();
  services.make_editor = &MakeTriggerEditor;
  services.mdi_client = &FindHostMDIClient;
  return MakeTriggerWindowClasses(std::move(services));
}

}  // namespace

void InstallTriggerWindow() { Addin::SetWindowClasses(&AddinTriggerWindowClasses); }

}  // namespace win::ui
