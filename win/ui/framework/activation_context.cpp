// Activation contexts of module manifests.
#include "win/ui/framework/activation_context.h"

namespace win::ui {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

ActivationContext::ActivationContext(HMODULE module) {
  if (module == nullptr) return;
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  ACTCTXW context = {};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.hModule = module;
  context.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
  // Some systems want the module's path as well as its handle.
  if (length > 0 && length < MAX_PATH) context.lpSource = path;
  handle_ = CreateActCtxW(&context);
}

ActivationContext::~ActivationContext() {
  if (Valid()) ReleaseActCtx(handle_);
}

const ActivationContext& ActivationContext::OfThisModule() {
  static const ActivationContext context(ThisModule());
  return context;
}

ActivationScope::ActivationScope(const ActivationContext& context) {
  active_ = context.Valid() && ActivateActCtx(context.Get(), &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace win::ui
