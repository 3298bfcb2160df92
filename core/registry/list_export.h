// The trigger list as text: a count line, a header and one line per trigger with the thirteen
// column texts of its row adapter, separated by ", ", every line ended by a single "\n". An empty
// registry gives an empty text. ExportTriggerList and LogTriggerList are the registry's
// (list_export.cpp).
#pragma once

#include <string>

namespace core::registry {

class CTriggerAction;

inline constexpr char kListHeader[] =
    "No, Status, Name, Action, Destination, Size, DstMode, Source, SrcMode, Count, Cycle, Wait, "
    "Mask\n";

std::string TriggerListText(const CTriggerAction& registry);

// The file an export writes: the path itself when the text after its last "." is "txt" (in any
// case), the path with ".txt" appended when it has no "." at all. False for any other path: a
// dot in a folder name counts as the last dot when the file name has none, and a path holding a
// NUL names no file.
bool ExportFilePath(const std::string& path, std::string* file);
// Why an export refuses a path, for the user who chose it.
inline constexpr char kExportPathRule[] =
    "the trigger list is written to a .txt file only (a name without a dot gets .txt)";

}  // namespace core::registry
