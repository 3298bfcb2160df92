// The add-in's process-wide state while a host has it connected, and what its Connect and
// Command objects do with the host's calls: the host application, the registry and version
// singletons, the trigger window's document template and the host's memory-command service, from
// OnConnection to OnDisconnection. The trigger window and its dialogs reach the host and the
// registry through it; the module that has the trigger window's classes installs them here.
//
// Every call arrives on the host's user-interface thread (Connect and Command are registered
// "Both" only for their reference counts), so the state is not locked.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/bridge/ports.h"
#include "vireo_host.h"
#include "win/com/trigger_ids.h"
#include "win/comkit/raii.h"
#include "win/ui/framework/doc_template.h"

namespace win::com {

class Addin {
 public:
  // The one instance. It is never destroyed: at process exit, host objects it may still hold can
  // be gone before this module is.
  static Addin& Get();

  // The trigger window's classes, made for each connection's template; without them the trigger
  // command tells the host log that the window is not available.
  using WindowClassesFactory = std::unique_ptr<win::ui::DocumentClasses> (*)();
  static void SetWindowClasses(WindowClassesFactory factory);

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
  // The image slot the host gave the command's bitmaps; kept across connections, since only the
  // first connection registers the bitmaps.
  LONG ImageIndex() const { return image_index_; }

  // Opens a help topic for the project's CPU family; HTML Help's window or null.
  HWND ShowHelp(const std::string& topic);

 private:
  Addin() = default;

  // Version first, then the registry; the failing class's name in *failed.
  HRESULT CreateSingletons(const char** failed);
  void ReleaseSingletons();
  void ReleaseApplication();
  static void RefreshTriggerWindow();

  ComPtr<IVireoApplication> application_;
  ComPtr<IVersion> version_;
  ComPtr<ITriggerAction> registry_;
  std::unique_ptr<win::ui::CVireoBaseDocTemplate> template_;
  std::unique_ptr<core::bridge::MemoryCommandPort> memory_command_;
  LONG image_index_ = 0;
};

}  // namespace win::com
