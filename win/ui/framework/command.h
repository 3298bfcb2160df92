// Commands and their states. A command (a menu item, a toolbar button, a key) goes to the active
// view, then to its document, then to the frame; the first target that knows it runs it. Before a
// menu opens, and while the window is idle for its toolbar, each item asks the same targets
// whether it is enabled; a command that no target knows is disabled.
#pragma once

#include <windows.h>

namespace win::ui {

class CommandUI {
 public:
  explicit CommandUI(UINT id) : id_(id) {}
  UINT id() const { return id_; }
  void Enable(bool enabled) {
    enabled_ = enabled;
    known_ = true;
  }
  bool enabled() const { return known_ && enabled_; }
  bool known() const { return known_; }

 private:
  UINT id_;
  bool enabled_ = false;
  bool known_ = false;
};

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  // Runs the command; false when it is not this target's.
  virtual bool OnCommand(UINT /*id*/) { return false; }
  // Sets the state of the command with ui.Enable; false when the command is not this target's.
  virtual bool OnUpdateCommand(CommandUI& /*ui*/) { return false; }
};

}  // namespace win::ui
