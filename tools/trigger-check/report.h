// The report of one project: its diagnostics and summary, and what the options ask for besides
// (the trigger list, the records, an export, a fix), as text lines for people and editors or as
// JSON lines for tools.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace trigger_check {

struct Diagnostic;
class ProjectCheck;

struct ReportOptions {
  bool json = false;
  bool records = false;
  bool list = false;
  bool fix = false;
  std::optional<std::string> export_file;
  std::optional<std::string> html_folder;  // a page per project goes there
};

// Checks the project and writes its report to `out`. Returns the project's exit status: 0 every
// trigger loads and registers, 1 problems found, 2 a project that cannot be read, or an export or
// a fix that cannot be written.
int CheckProject(const std::string& file, const ReportOptions& options, std::ostream& out);

// A problem as its line of the text report gives it, line end included; and the summary line.
void PrintDiagnostic(const std::string& file, const Diagnostic& d, std::ostream& out);
std::string SummaryText(const ProjectCheck& check);

}  // namespace trigger_check
