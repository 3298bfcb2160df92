// MDIChildFrame: the frame of a document's view, with an optional toolbar above the view. It
// opens as an MDI child of the host's MDI client, or as a top-level window of its own (with a
// menu bar) where the host has none. It routes commands (view, document, frame), keeps menu items
// and toolbar buttons in step with the commands' states, and sends controls' notifications back
// to the view that sent them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "win/ui/framework/command.h"
#include "win/ui/framework/document.h"
#include "win/ui/framework/handles.h"
#include "win/ui/framework/toolbar.h"
#include "win/ui/framework/window.h"

namespace win::ui {

// The command of the menu item a WM_MENUSELECT highlights; 0 for a sub-menu, a separator or a
// closed menu.
UINT MenuSelectCommand(WPARAM wparam, LPARAM lparam);

class MDIChildFrame : public Window, public CommandTarget {
 public:
  ~MDIChildFrame() override;

  // Opens the frame, shown and active: an MDI child of `mdi_client`, or a top-level window with
  // `menu` as its menu bar when `mdi_client` is null (the frame then owns the menu). `size` is
  // the outer size wanted, fitted into the MDI client or the screen's work area.
  // While the frame is open, the module stays loaded.
  bool Create(HWND mdi_client, const std::wstring& title, SIZE size, HMENU menu);
  bool IsMDIChild() const;
  // The frame's icons (large and small) from an icon resource of the resource library.
  void SetIcon(UINT resource);

  View* GetActiveView() const { return view_.get(); }

  // Runs a command through the active view, its document and the frame; a disabled command is
  // not run. False when no target knows it.
  bool RouteCommand(UINT id);
  // The command's state, asked of the same targets.
  void UpdateCommand(CommandUI& ui);
  // The toolbar follows the commands' states once the frame's queue comes to this request; many
  // requests before then make one update.
  void RequestCommandUIUpdate();
  // Shows the prompt of the command in the status bar of the host main window while a button or
  // menu item is under the pointer; 0 gives the host back its idle text. An MDI child sends
  // WM_SETMESSAGESTRING to the host frame; a frame of its own has no status bar and shows nothing.
  void ShowPrompt(UINT command);

 protected:
  // `class_name`: the window class of the module's frames, registered with the first of them.
  explicit MDIChildFrame(const wchar_t* class_name);
  // The view the frame shows; the frame owns it. Set before Create.
  void SetView(std::unique_ptr<View> view) { view_ = std::move(view); }
  ToolBar& GetToolBar() { return toolbar_; }

  // WM_CREATE, after the view is made: 0, or -1 to fail the creation.
  virtual int OnCreate() { return 0; }
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnFinalMessage() override;

 private:
  void RecalcLayout(int width, int height);
  void UpdateMenu(HMENU menu);
  void UpdateToolBar();
  LRESULT OnNotify(NMHDR& header);

  const wchar_t* class_name_;
  std::unique_ptr<View> view_;
  ToolBar toolbar_;
  UniqueIcon icon_;
  UniqueIcon small_icon_;
  bool locked_ = false;
  bool update_posted_ = false;
};

}  // namespace win::ui
