// The trigger list: its text, the export to a file and the copy in the host log.
#include "core/registry/list_export.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/automation/strings.h"
#include "core/registry/trigger_action.h"

namespace core::registry {

using automation::Format;

namespace {

// One row: the thirteen column texts separated by ", " and a line feed, added to the text at
// once. Most texts are short, and a copy of a fixed 16 bytes is a few moves where a copy of the
// text's own length is a library call: every string holds at least 16 bytes (15 characters and
// its terminator), so the fixed copy reads inside the string, and the row is given 16 bytes of
// room beyond its end, which are cut off afterwards.
// The column texts are made in place (an array of them assigned one by one would copy each).
template <size_t... Column>
void AppendRow(const rows::TriggerInfo& adapter, std::string* text,
               std::index_sequence<Column...>) {
  constexpr size_t kShortCopy = 16;
  const std::string columns[] = {(adapter.*rows::ListColumns()[Column])()...};
  size_t length = 2 * (rows::kColumnCount - 1) + 1;
  for (const std::string& column : columns) length += column.size();
  const size_t start = text->size();
  text->resize(start + length + kShortCopy);
  char* at = text->data() + start;
  for (size_t i = 0; i < rows::kColumnCount; ++i) {
    if (i != 0) {
      *at++ = ',';
      *at++ = ' ';
    }
    const std::string& column = columns[i];
    std::memcpy(at, column.data(), kShortCopy);
    if (column.size() > kShortCopy) {
      std::memcpy(at + kShortCopy, column.data() + kShortCopy, column.size() - kShortCopy);
    }
    at += column.size();
  }
  *at = '\n';
  text->resize(start + length);
}

}  // namespace

std::string TriggerListText(const CTriggerAction& registry) {
  if (registry.Count() == 0) return {};
  std::string text = Format("total number of defined trigger = %d\n", registry.Count());
  // Room for rows of a usual length, so that the text is not copied as it grows row by row.
  text.reserve(text.size() + std::string_view(kListHeader).size() + 96 * registry.Count());
  text += kListHeader;
  for (int32_t slot = 0; slot < triggers::kSlotCount; ++slot) {
    if (const rows::TriggerInfo* adapter = registry.AdapterAt(slot)) {
      AppendRow(*adapter, &text, std::make_index_sequence<rows::kColumnCount>());
    }
  }
  return text;
}

bool ExportFilePath(const std::string& path, std::string* file) {
  // The file system would see the path only up to a NUL, and so another file than the one named.
  if (path.find('\0') != std::string::npos) return false;
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
