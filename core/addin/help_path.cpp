// Help paths.
#include "core/addin/help_path.h"

namespace core::addin {
namespace {

struct HelpFile {
  const char* cpu_name;
  const char* prefix;
};

constexpr HelpFile kHelpFiles[] = {
    {"Orvex-1", "Vireo1.chm::\\"}, {"Orvex-2", "Vireo2.chm::\\"}, {"Orvex-3", "Vireo3.chm::\\"},
    {"Orvex-4", "Vireo4.chm::\\"}, {"Orvex-5", "Vireo5.chm::\\"}, {"Orvex-6", "Vireo6.chm::\\"},
};

// The CPU family's name from the service, empty when it gives none.
std::string CpuName(bridge::HostObject& service) {
  int32_t dispid = 0;
  if (automation::Failed(
          service.GetIDsOfNames("GetCPUName", bridge::kLocaleSystemDefault, &dispid))) {
    return std::string();
  }
  automation::Variant name;
  if (automation::Failed(service.Invoke(dispid, bridge::kLocaleSystemDefault,
                                        bridge::kDispatchMethod, {}, &name)) ||
      !name.Is(automation::VarType::Bstr)) {
    return std::string();
  }
  return name.Text();
}

}  // namespace

std::string HelpPrefix(const std::string& cpu_name) {
  for (const HelpFile& file : kHelpFiles) {
    if (cpu_name == file.cpu_name) return file.prefix;
  }
  return std::string();
}

std::string BuildHelpPath(bridge::HostObject* cpu_service, const std::string& topic) {
  if (cpu_service == nullptr) return std::string();
  return HelpPrefix(CpuName(*cpu_service)) + topic;
}

}  // namespace core::addin
