// Addin owns the process-wide state of the add-in, from the first object of the module to
// DllCanUnloadNow. A connection fills its host part and a disconnection empties it: the host
// application, the bridge to the debugger services of the host, the registry and version
// singletons, the document template of the trigger window and the memory-command service, held
// from OnConnection to OnDisconnection. It also holds what every trigger reaches through its
// context: the bridge and the log, the checks of the registry (the registry of the connection,
// which triggers made by their ProgIDs share), and the window hooks, which refresh the trigger
// window and register window messages.
//
// Triggers made without a host, and objects the host still holds after disconnecting, keep
// working: the bridge and the log then answer as a host that is not there (E_FAIL, or nothing
// logged), and the registry checks fail cleanly.
//
// Every call arrives on the host's user-interface thread (Connect and Command are registered
// "Both" only for their reference counts), so the state is not locked; only its making and
// ending are, for DllCanUnloadNow may run on another thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/bridge/host_access.h"
#include "core/bridge/ports.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/trigger_action.h"
#include "core/triggers/trigger_context.h"
#include "vireo_host.h"
#include "win/com/trigger_ids.h"
#include "win/ui/framework/doc_template.h"

namespace win::com {

class Addin {
 public:
  // The state, made on first need.
  static Addin& Get();
  // DllCanUnloadNow's part, once no object of the module is left: the state goes, and with it
  // what it still holds of a host (the evaluator, which the bridge keeps across connections). An
  // object made later makes a new state.
  static void Unload();

  // The trigger window's classes, made for each connection's template; without them the trigger
  // command tells the host log that the window is not available. The module sets them once.
  using WindowClassesFactory = std::unique_ptr<win::ui::DocumentClasses> (*)();
  static void SetWindowClasses(WindowClassesFactory factory);

  Addin(const Addin&) = delete;
  Addin& operator=(const Addin&) = delete;

  // 0 when connected; 1 when not, with nothing of the host kept. A host that connects again
  // without disconnecting first is disconnected first.
  LONG OnConnection(IDispatch* host, bool first_time, LONG cookie);
  // Withdraws the window kind, closes the trigger window, and releases the host, the bridge's
  // services, the memory-command service and the singletons. Nothing when not connected.
  void OnDisconnection();

  // The singleton named as Command's GetObject names it (null when none); always S_OK.
  HRESULT GetObject(const std::string& name, IDispatch** object);
  void Exec(LONG command);
  void OnEvent(LONG code);

  bool Connected() const { return static_cast<bool>(application_); }
  IVireoApplication* Application() const { return application_.Get(); }
  ITriggerAction* Registry() const { return registry_.Get(); }
  IVersion* VersionObject() const { return version_.Get(); }
  win::ui::CVireoBaseDocTemplate* Template() const { return template_.get(); }
  // Held from the debugger's start (notification 0x2002) to its end (0x2003); null otherwise.
  core::bridge::MemoryCommandPort* MemoryCommand() const { return memory_command_.get(); }
  // Opens a help topic for the project's CPU family; HTML Help's window or null.
  HWND ShowHelp(const std::string& topic);

  // What the triggers reach.
  core::bridge::HostAccess& Host() { return host_; }
  core::bridge::CTriggerCommand& Bridge() { return bridge_; }
  core::automation::HResult WriteLog(const std::string& text) { return host_.WriteLog(text); }
  // Refreshes the trigger window while its document is open.
  void RefreshTriggerWindow();
  // RegisterWindowMessageA, remembered by name.
  uint32_t RegisterMessageName(const std::string& name);
  // The hooks a registry of this module calls the window through.
  core::registry::WindowHooks WindowHooks();
  // The context of triggers made by their ProgIDs. It checks names and sources against the
  // registry of the connection while there is one, and uses the bridge, log and window hooks of
  // this state.
  const std::shared_ptr<core::triggers::TriggerContext>& ProgIdContext() const {
    return progid_context_;
  }
  // The registry whose checks triggers made by their ProgIDs use; null when there is none.
  const std::shared_ptr<core::triggers::TriggerContext>& RegistryContext() const {
    return registry_context_;
  }

 private:
  Addin();
  ~Addin();

  // Version first, then the registry; the failing class's name in *failed.
  HRESULT CreateSingletons(const char** failed);
  void ReleaseSingletons();
  void ReleaseApplication();

  // The host part.
  core::bridge::HostAccess host_;
  core::bridge::CTriggerCommand bridge_{host_};
  ComPtr<IVireoApplication> application_;
  ComPtr<IVersion> version_;
  ComPtr<ITriggerAction> registry_;
  std::unique_ptr<win::ui::CVireoBaseDocTemplate> template_;
  std::unique_ptr<core::bridge::MemoryCommandPort> memory_command_;

  // What triggers share.
  std::shared_ptr<core::triggers::TriggerContext> registry_context_;
  std::shared_ptr<core::triggers::TriggerContext> progid_context_;
  std::mutex message_mutex_;
  std::unordered_map<std::string, uint32_t> message_numbers_;
};

}  // namespace win::com
