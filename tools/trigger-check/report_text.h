// The project's own text as a report shows it. Reports are UTF-8; project files are 8-bit text of
// the host's code page.
#pragma once

#include <string>

namespace trigger_check {

// The text itself when it is valid UTF-8; otherwise its bytes above 0x7F read as Latin-1.
std::string Utf8(const std::string& text);
// Utf8, with control characters shown as \xNN, so that a line of binary garbage cannot upset the
// terminal.
std::string Printable(const std::string& text);

}  // namespace trigger_check
