// The report of one project as a page for people to review: self-contained HTML (inline CSS, no
// scripts, nothing fetched) with the trigger table as the export has it, the problems of the
// text report, and a chart of each data pattern as inline SVG.
#pragma once

#include <string>

#include "core/triggers/pattern_chart.h"

namespace trigger_check {

class ProjectCheck;

// The page of a checked project.
std::string HtmlReport(const ProjectCheck& check);
// Writes the page to FOLDER/<project file name without its extension>.html, making the folder
// when it is missing. False with the reason when it cannot; `path` gets the page's path.
bool WriteHtmlReport(const ProjectCheck& check, const std::string& folder, std::string* path,
                     std::string* error);

// A drawable chart as an SVG element.
std::string PatternSvg(const core::triggers::PatternChart& chart);
// Text for HTML: the project's bytes as UTF-8, control characters shown as \xNN, and the
// characters HTML gives a meaning escaped.
std::string HtmlText(const std::string& text);

}  // namespace trigger_check
