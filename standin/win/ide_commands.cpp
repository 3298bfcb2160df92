// The IDE window's commands: the host's own (File, Debug, Window, Help) and those the add-in
// registered, which go to its Exec; the debugger's start and stop, and the Debug commands on
// triggers.
#include "core/automation/strings.h"
#include "standin/win/ide_frame.h"
#include "standin/win/ide_ids.h"
#include "standin/win/standin_calls.h"
#include "standin/win/trigger_prompt.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using core::automation::Format;
using ::win::comkit::ToWide;

// The debugger's notifications as the host sends them to the add-in.
constexpr LONG kDebuggerStarted = 0x2002;
constexpr LONG kDebuggerStopped = 0x2003;
constexpr LONG kTriggerStatesChanged = 0x2011;

// The four Debug commands on triggers: each for every trigger or for one chosen in the prompt.
struct TriggerOperation {
  LONG all_command;  // 0: offered through the prompt only
  LONG one_command;
  const wchar_t* prompt;
  HRESULT (STDMETHODCALLTYPE IVireoStandin::*call)(LONG id);
  const char* done;
};
constexpr TriggerOperation kTriggerOperations[] = {
    {ID_DEBUG_ACTIVATE_ALL, ID_DEBUG_ACTIVATE, L"Activate Trigger", &IVireoStandin::Activate,
     "activated"},
    {ID_DEBUG_DEACTIVATE_ALL, ID_DEBUG_DEACTIVATE, L"Deactivate Trigger",
     &IVireoStandin::Deactivate, "deactivated"},
    {0, ID_DEBUG_FIRE, L"Fire Trigger", &IVireoStandin::Fire, "fired"},
    {ID_DEBUG_RESET_ALL, ID_DEBUG_RESET, L"Reset Trigger", &IVireoStandin::Reset, "reset"},
};

const TriggerOperation* FindTriggerOperation(LONG command) {
  if (command == 0) return nullptr;
  for (const TriggerOperation& operation : kTriggerOperations) {
    if (operation.all_command == command || operation.one_command == command) return &operation;
  }
  return nullptr;
}

}  // namespace

bool IdeFrame::IsHostCommand(LONG command) const {
  return command >= model::kFirstHostCommand && command <= model::kLastHostCommand &&
         menu_bar_ != nullptr &&
         GetMenuState(menu_bar_, static_cast<UINT>(command), MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool IdeFrame::HostCommandEnabled(LONG command) const {
  switch (command) {
    case ID_DEBUG_START:
      return !debugging_;
    case ID_DEBUG_STOP:
      return debugging_;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORIZONTALLY:
    case ID_WINDOW_TILE_VERTICALLY:
    case ID_WINDOW_ARRANGE:
      return GetWindow(client_, GW_CHILD) != nullptr;
    default:
      if (FindTriggerOperation(command) != nullptr) {
        return !session_->simulator().Ids().empty();
      }
      return true;
  }
}

bool IdeFrame::Connected() const {
  VARIANT_BOOL connected = VARIANT_FALSE;
  standin_->get_Connected(&connected);
  return connected == VARIANT_TRUE;
}

// What the add-in's QueryStatus makes of the command, starting from `initial`: bit 0 enables.
bool IdeFrame::AddinCommandEnabled(LONG command, bool initial) const {
  if (!Connected()) return false;
  LONG status = initial ? 1 : 0;
  if (FAILED(standin_->QueryStatus(command, status, &status))) return false;
  return (status & 1) != 0;
}

// The state of an add-in command before the add-in answers its status query: the state of its
// menu entry, or enabled when it has none.
bool IdeFrame::InitialState(LONG command) const {
  for (const auto& [menu, popup] : addin_menus_) {
    for (const model::MenuEntry& entry : popup.entries) {
      if (entry.command == command) return entry.enabled;
    }
  }
  return true;
}

HRESULT IdeFrame::RunCommand(LONG command, std::string* problem) {
  const bool host = IsHostCommand(command);
  if (!host && !session_->addin_commands().Offers(command)) {
    // Any other command is the active window's (the trigger window's Paste, say), as the
    // frame routes the shortcuts and menu commands it does not know.
    const HWND active = reinterpret_cast<HWND>(SendMessageW(client_, WM_MDIGETACTIVE, 0, 0));
    if (command < model::kFirstChildWindowCommand && active != nullptr) {
      SendMessageW(active, WM_COMMAND, static_cast<WPARAM>(command), 0);
      return S_OK;
    }
    *problem = Format("no menu entry or toolbar button has the command %ld", command);
    return E_INVALIDARG;
  }
  if (host ? !HostCommandEnabled(command) : !AddinCommandEnabled(command, InitialState(command))) {
    *problem = Format("the command %ld is disabled", command);
    return E_ACCESSDENIED;
  }
  return Execute(command, problem);
}

HRESULT IdeFrame::Execute(LONG command, std::string* problem) {
  HRESULT hr = S_OK;
  switch (command) {
    case ID_FILE_OPEN:
      hr = OpenProject();
      break;
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
      hr = SaveProject(command == ID_FILE_SAVE_AS) ? S_OK : S_FALSE;
      break;
    case ID_FILE_EXIT:
      Close(true);
      return S_OK;
    case ID_DEBUG_START:
      StartDebugging();
      break;
    case ID_DEBUG_STOP:
      StopDebugging();
      break;
    case ID_WINDOW_CASCADE:
      SendMessageW(client_, WM_MDICASCADE, 0, 0);
      break;
    case ID_WINDOW_TILE_HORIZONTALLY:
      SendMessageW(client_, WM_MDITILE, MDITILE_HORIZONTAL, 0);
      break;
    case ID_WINDOW_TILE_VERTICALLY:
      SendMessageW(client_, WM_MDITILE, MDITILE_VERTICAL, 0);
      break;
    case ID_WINDOW_ARRANGE:
      SendMessageW(client_, WM_MDIICONARRANGE, 0, 0);
      break;
    case ID_HELP_ABOUT:
      About();
      break;
    default:
      hr = IsHostCommand(command) ? TriggerCommand(command, problem) : ExecAddin(command, problem);
      break;
  }
  Refresh();
  return hr;
}

HRESULT IdeFrame::ExecAddin(LONG command, std::string* problem) {
  const HRESULT hr = standin_->Exec(command);
  if (FAILED(hr)) {
    *problem = DescribeFailure(hr);
    session_->Note(Format("the add-in's command %ld failed: ", command) + *problem);
    SetStatus(*problem);
  }
  return hr;
}

void IdeFrame::Notify(LONG code) {
  if (!Connected()) return;
  const HRESULT hr = standin_->OnEvent(code);
  if (FAILED(hr)) {
    session_->Note(Format("the add-in's OnEvent(0x%lX) failed: ", code) + DescribeFailure(hr));
  }
}

void IdeFrame::StartDebugging() {
  debugging_ = true;
  session_->Note("debugger: started; the simulator runs the target");
  Notify(kDebuggerStarted);
  SetStatus("Debugging");
}

void IdeFrame::StopDebugging() {
  debugging_ = false;
  session_->Note("debugger: stopped");
  Notify(kDebuggerStopped);
  SetStatus("Ready");
}

// A Debug command on triggers: the command block the debugger sends to the simulator, then the
// notification that makes the add-in refresh its trigger states.
HRESULT IdeFrame::TriggerCommand(LONG command, std::string* problem) {
  const TriggerOperation* operation = FindTriggerOperation(command);
  if (operation == nullptr) return S_OK;
  int32_t trigger = project::kAllTriggers;
  if (command == operation->one_command) {
    trigger = last_trigger_;
    if (!AskForTrigger(hwnd(), operation->prompt, model::TriggerChoices(*session_), &trigger)) {
      return S_FALSE;
    }
    last_trigger_ = trigger;
  }
  const HRESULT hr = (standin_->*operation->call)(trigger);
  if (FAILED(hr)) {
    *problem = DescribeFailure(hr);
    session_->Note("debugger: the simulator refused: " + *problem);
    SetStatus(*problem);
    return hr;
  }
  std::string target = "all triggers";
  if (trigger != project::kAllTriggers) {
    target = Format("trigger %d", trigger);
    if (const std::string* name = session_->events().Find(trigger)) target += " (" + *name + ")";
  }
  const std::string done = std::string(operation->done) + " " + target;
  session_->Note("debugger: " + done);
  Notify(kTriggerStatesChanged);
  SetStatus(std::string(1, static_cast<char>(toupper(done[0]))) + done.substr(1));
  return S_OK;
}

}  // namespace standin::win
