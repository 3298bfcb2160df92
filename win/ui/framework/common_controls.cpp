// The module's activation context for the common controls.
#include "win/ui/framework/common_controls.h"

#include <commctrl.h>

#include "win/com/module.h"

namespace win::ui {

CommonControlsContext::CommonControlsContext() {
  ACTCTXW request = {};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.hModule = win::com::ModuleInstance();
  request.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
  if (request.hModule != nullptr &&
      FindResourceW(request.hModule, request.lpResourceName, MAKEINTRESOURCEW(24)) != nullptr) {
    context_ = CreateActCtxW(&request);
  }
  Activation active(*this);
  INITCOMMONCONTROLSEX classes = {};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
}

CommonControlsContext::~CommonControlsContext() {
  if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

CommonControlsContext::Activation::Activation(const CommonControlsContext& context) {
  if (context.context_ != INVALID_HANDLE_VALUE) {
    active_ = ActivateActCtx(context.context_, &cookie_) != FALSE;
  }
}

CommonControlsContext::Activation::~Activation() {
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace win::ui
