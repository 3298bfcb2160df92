// The stand-in's IDE window: an MDI frame with a menu bar, a toolbar, a log pane docked at the
// bottom (its header is the splitter) and a status bar. The menu bar and the toolbar carry the
// host's own commands (File, Debug, Window, Help) and what the connected add-in registered: its
// sub-menus between Debug and Window, its buttons after the host's. Their commands go to the
// add-in's Exec, enabled as its QueryStatus says when a menu opens or the toolbar is updated.
//
// The window drives the stand-in through its automation interface, as a script does, and shows
// what the session holds: the log as it grows, the project's name and its modified mark, the
// debugger's state. Add-in windows open as MDI children of its MDI client, which an add-in finds
// as the "MDIClient" child of this top-level window.
//
// Closing the window is leaving the IDE: after the question about unsaved changes, debugging
// stops and the add-in is disconnected before the window goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "standin/model/ide_view.h"
#include "standin/win/command_images.h"
#include "standin/win/services.h"
#include "standin/win/standin_ids.h"
#include "win/ui/framework/handles.h"
#include "win/ui/framework/toolbar.h"
#include "win/ui/framework/window.h"

namespace standin::win {

// The title of the window and of its message boxes.
inline constexpr wchar_t kIdeCaption[] = L"Vireo stand-in";

using ::win::ui::UniqueGdi;

class IdeFrame : public ::win::ui::Window {
 public:
  // `standin` owns the frame and outlives its window.
  IdeFrame(IVireoStandin* standin, SessionPtr session, const CommandImages* images);
  // Destroys the window if it is still there, without asking anything.
  ~IdeFrame() override;
  IdeFrame(const IdeFrame&) = delete;
  IdeFrame& operator=(const IdeFrame&) = delete;

  // Creates and shows the window; false when it cannot (GetLastError says why). The window is
  // hwnd(), null once it is gone.
  bool Create();

  // Runs a command as choosing its menu entry or toolbar button does. E_INVALIDARG when no menu
  // entry or button carries it, E_ACCESSDENIED when it is disabled, else what running it gave;
  // `problem` says what went wrong.
  HRESULT RunCommand(LONG command, std::string* problem);
  // Closes the window as the user does, first asking about unsaved changes when `ask`; true when
  // the window is gone.
  bool Close(bool ask);
  // The window's keyboard shortcuts and the MDI keys; true when the message was one of them.
  bool PreTranslate(MSG* message);
  // The MDI children's titles, one per line, in the order of the Window menu.
  std::string ChildTitles() const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnFinalMessage() override;

 private:
  bool OnCreate();
  void OnDestroy();
  void OnPaint();
  void OnMenuSelect(UINT item, UINT flags, HMENU menu);
  void OnInitMenuPopup(HMENU menu);
  // True when the cursor was the splitter's.
  bool OnSetCursor();
  void OnMouse(UINT message, int y);
  LRESULT OnNotify(NMHDR* header);

  // Sizes the children: toolbar at the top, status bar at the bottom, the log pane above it
  // under its header, and the MDI client in between.
  void Layout();
  RECT HeaderRect() const;
  // Catches up with the session: title, add-in menus and buttons, log pane, command states.
  void Refresh();
  void ScheduleRefresh();
  void RebuildAddinCommands();
  void FollowLog();
  void UpdateCommandStates();
  void SetStatus(const std::string& text);

  // Host and add-in commands.
  HRESULT Execute(LONG command, std::string* problem);
  bool IsHostCommand(LONG command) const;
  bool HostCommandEnabled(LONG command) const;
  bool AddinCommandEnabled(LONG command, bool initial) const;
  bool InitialState(LONG command) const;
  bool Connected() const;
  HRESULT ExecAddin(LONG command, std::string* problem);

  // File
  HRESULT OpenProject();
  bool SaveProject(bool choose_name);
  bool AskToSave();
  bool ChooseProjectFile(bool save, std::wstring* path);
  // Debug
  void StartDebugging();
  void StopDebugging();
  void Notify(LONG code);
  HRESULT TriggerCommand(LONG command, std::string* problem);
  void About();

  void ShowError(const std::string& text);
  std::wstring ResourceText(UINT id) const;

  IVireoStandin* standin_;
  SessionPtr session_;
  const CommandImages* images_;

  HWND client_ = nullptr;
  ::win::ui::ToolBar toolbar_;
  HWND status_ = nullptr;
  HWND log_ = nullptr;
  HMENU menu_bar_ = nullptr;     // the window's; destroyed with it
  HMENU window_menu_ = nullptr;  // the Window sub-menu, which lists the MDI children
  HACCEL accelerators_ = nullptr;
  UniqueGdi<HFONT> ui_font_;
  UniqueGdi<HFONT> log_font_;
  UniqueGdi<HBRUSH> log_background_;

  // The add-in's menus and buttons as last built.
  uint64_t shown_revision_ = ~uint64_t{0};
  std::vector<std::pair<HMENU, model::AddinPopup>> addin_menus_;
  std::vector<model::ToolbarButton> addin_buttons_;
  std::wstring tooltip_;

  model::LogFollower follower_;
  std::string title_;
  bool refresh_posted_ = false;
  bool debugging_ = false;
  int32_t last_trigger_ = -1;  // the trigger prompt's last choice

  int log_height_ = 170;
  int header_height_ = 22;
  bool dragging_ = false;
  int drag_offset_ = 0;
};

}  // namespace standin::win
