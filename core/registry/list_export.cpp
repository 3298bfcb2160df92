// The trigger list: its text, the export to a file and the copy in the host log.
#include "core/registry/list_export.h"

#include <cstdio>

#include "core/automation/strings.h"
#include "core/registry/trigger_action.h"

namespace core::registry {

using automation::Format;

std::string TriggerListText(const CTriggerAction& registry) {
  if (registry.Count() == 0) return {};
  std::string text = Format("total number of defined trigger = %d\n", registry.Count());
  text += kListHeader;
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    const rows::TriggerInfo* adapter = registry.AdapterAt(slot);
    if (adapter == nullptr) continue;
    const char* separator = "";
    for (rows::ColumnText column : rows::ListColumns()) {
      text += separator;
      text += (adapter->*column)();
      separator = ", ";
    }
    text += '\n';
  }
  return text;
}

bool ExportFilePath(const std::string& path, std::string* file) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) {
    *file = path + ".txt";
    return true;
  }
  if (!automation::EqualsIgnoreCase(std::string_view(path).substr(dot + 1), "txt")) return false;
  *file = path;
  return true;
}

HResult CTriggerAction::ExportTriggerList(const std::string& path) {
  std::string file;
  if (!ExportFilePath(path, &file)) return automation::kFail;
  const std::string text = TriggerListText(*this);
  // Binary: the list's lines end in a bare line feed on every platform.
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    // The caller is not told (the result stays S_OK), so the log says it.
    WriteLog(Format("The trigger list could not be written to %s", file.c_str()));
    return automation::kOk;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fclose(out) != 0 || !written) {
    WriteLog(Format("The trigger list could not be written completely to %s", file.c_str()));
  }
  return automation::kOk;
}

HResult CTriggerAction::LogTriggerList() {
  WriteLog(TriggerListText(*this));
  return automation::kOk;
}

}  // namespace core::registry
