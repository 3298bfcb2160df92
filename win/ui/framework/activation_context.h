// The add-in's controls are version 6 of the common controls, whatever the host process asks
// for: Trigger.dll carries a manifest (resource 2) that names them, and every window the add-in
// creates is created while the activation context of that manifest is active, since the window
// classes a new window gets are those of the context active on the thread at that moment.
//
//   ActivationScope scope;  // this module's context, until the end of the block
//   CreateWindowExW(...) / DialogBoxIndirectParamW(...) / MessageBoxW(...)
#pragma once

#include <windows.h>

namespace win::ui {

// The module this code is linked into (Trigger.dll; a test program when linked into one).
HMODULE ThisModule();

// The activation context of a module's manifest resource 2.
class ActivationContext {
 public:
  // Not valid when the module has no such manifest or it cannot be read.
  explicit ActivationContext(HMODULE module);
  ~ActivationContext();
  ActivationContext(const ActivationContext&) = delete;
  ActivationContext& operator=(const ActivationContext&) = delete;

  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

  // This module's context, made on first use and kept while the module is loaded.
  static const ActivationContext& OfThisModule();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Activates a context on this thread for the life of the scope; an invalid context activates
// nothing (the process's own context then applies). Scopes nest; end them in reverse order.
class ActivationScope {
 public:
  explicit ActivationScope(const ActivationContext& context = ActivationContext::OfThisModule());
  ~ActivationScope();
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;

  bool Active() const { return active_; }

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

}  // namespace win::ui
