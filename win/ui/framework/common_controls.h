// The common controls of version 6 for the windows of this module. The host may run with the
// old controls; the module's own manifest (resource 2 of Trigger.dll) names version 6, and its
// activation context is active while the module creates controls and dialogs. Without the
// manifest (a test program linking the framework) the process's controls are used; so they are
// under Wine, which gives the common controls' classes to the first comctl32 the process loads.
#pragma once

#include <windows.h>

namespace win::ui {

class CommonControlsContext {
 public:
  // Loads the module's manifest and registers the list view and bar classes.
  CommonControlsContext();
  ~CommonControlsContext();
  CommonControlsContext(const CommonControlsContext&) = delete;
  CommonControlsContext& operator=(const CommonControlsContext&) = delete;

  // The context, active for the lifetime of this object.
  class Activation {
   public:
    explicit Activation(const CommonControlsContext& context);
    ~Activation();
    Activation(const Activation&) = delete;
    Activation& operator=(const Activation&) = delete;

   private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
  };

  bool HasManifest() const { return context_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
};

}  // namespace win::ui
