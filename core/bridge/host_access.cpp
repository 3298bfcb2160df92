// Host access.
#include "core/bridge/host_access.h"

namespace core::bridge {

std::unique_ptr<HostObject> HostAccess::GetService(const std::string& name) const {
  if (!application_) return nullptr;
  return application_->GetService(name);
}

HResult HostAccess::WriteLog(const std::string& text) const {
  std::unique_ptr<HostObject> log = GetService(kLogService);
  if (!log) return automation::kDispUnknownInterface;
  int32_t dispid = 0;
  const HResult lookup = log->GetIDsOfNames("AddLogString", kLocaleSystemDefault, &dispid);
  if (automation::Failed(lookup)) return lookup;
  return log->Invoke(dispid, kLocaleSystemDefault, kDispatchMethod, {Variant::Bstr(text)}, nullptr);
}

}  // namespace core::bridge
