// trigger-check's command line: options, the exit status, and the manual page.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace trigger_check {

// Runs the checker with the arguments that follow the program name. Reports go to `out`, usage
// errors to `err`. Returns the exit status: 0 every trigger loads and registers, 1 problems
// found, 2 a usage error or a project that cannot be read (or written back by --fix).
int RunTriggerCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The manual page --help prints.
const char* HelpText();

}  // namespace trigger_check
