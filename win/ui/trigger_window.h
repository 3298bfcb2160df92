// The trigger window: TriggerDoc, TriggerFrame and TriggerView, as the add-in's document template
// makes them, and what they need from around them: the registry, the host, the dialogs and the
// place the window opens in.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "core/registry/trigger_action.h"
#include "core/window/trigger_document.h"
#include "core/window/trigger_editor.h"
#include "core/window/trigger_list.h"
#include "win/ui/framework/doc_template.h"

namespace win::ui {

// The host as the trigger window's frame and view reach it.
class TriggerFrameHost : public core::window::TriggerWindowHost {
 public:
  // The user activated the trigger window with the mouse.
  virtual void WindowActivated() = 0;
};

using EditorFactory = std::function<std::unique_ptr<core::window::TriggerEditor>(
    core::window::TriggerDocument& document, HWND parent)>;

struct TriggerWindowServices {
  // The registry the window shows; it outlives the template.
  core::registry::CTriggerAction* registry = nullptr;
  std::shared_ptr<TriggerFrameHost> host;
  // The dialogs, made once the view exists (may give none).
  EditorFactory make_editor;
  // The MDI client the window opens in, asked each time it opens; null for a top-level window.
  std::function<HWND()> mdi_client;
};

std::unique_ptr<DocumentClasses> MakeTriggerWindowClasses(TriggerWindowServices services);

// The host's MDI client: the "MDIClient" child of a top-level window of this process (one of
// this thread's first, a visible one first); null when the process has none.
HWND FindHostMDIClient();

// The window's outer size for its thirteen columns and about a dozen rows.
SIZE TriggerWindowSize(bool mdi_child);

}  // namespace win::ui
