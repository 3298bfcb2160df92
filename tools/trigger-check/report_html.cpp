// The HTML page of a project's report and the SVG charts of its data patterns.
#include "tools/trigger-check/report_html.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "core/automation/strings.h"
#include "core/registry/list_export.h"
#include "core/rows/kind_infos.h"
#include "tools/trigger-check/checker.h"
#include "tools/trigger-check/report.h"
#include "tools/trigger-check/report_text.h"

namespace trigger_check {
namespace {

using core::automation::Format;
using core::triggers::PatternChart;

constexpr char kStyle[] = R"(
body { font: 14px/1.45 "DejaVu Sans", Verdana, sans-serif; color: #1d2329; margin: 24px; }
h1 { font-size: 20px; margin: 0 0 4px; }
h2 { font-size: 16px; margin: 24px 0 8px; border-bottom: 1px solid #c8ced4; }
.summary { color: #4a5560; margin: 0; }
table { border-collapse: collapse; font-size: 12px; }
th, td { border: 1px solid #c8ced4; padding: 3px 6px; text-align: left; white-space: nowrap; }
th { background: #e9edf1; }
tbody tr:nth-child(even) { background: #f6f8fa; }
ul.problems { padding-left: 20px; font-family: "DejaVu Sans Mono", monospace; font-size: 12px; }
li.error { color: #a31515; } li.warning { color: #8a5a00; } li.note { color: #4a5560; }
.patterns { display: flex; flex-wrap: wrap; align-items: flex-start; gap: 16px; }
figure { margin: 0; padding: 8px; border: 1px solid #c8ced4; width: 420px; }
figcaption { font-weight: bold; margin-bottom: 4px; overflow-wrap: anywhere; }
figure p { margin: 2px 0; } .warning { color: #a31515; } .reason { color: #a31515; }
svg text { font: 11px "DejaVu Sans", Verdana, sans-serif; fill: #5a6570; }
)";

// The SVG's size and its plot inside it.
constexpr double kWidth = 420, kHeight = 130;
constexpr double kLeft = 2, kRight = 418, kTop = 18, kBottom = 112;

std::string Number(double value) { return Format("%.1f", value); }

std::string Rect(double x, double y, double width, double height, const char* fill) {
  return Format(R"(<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>)", Number(x).c_str(),
                Number(y).c_str(), Number(width).c_str(), Number(height).c_str(), fill);
}

std::string Line(double y, const char* attributes) {
  return Format(R"(<line x1="%s" y1="%s" x2="%s" y2="%s" %s/>)", Number(kLeft).c_str(),
                Number(y).c_str(), Number(kRight).c_str(), Number(y).c_str(), attributes);
}

// The columns' titles as the export's header line has them.
std::vector<std::string> ColumnTitles() {
  std::vector<std::string> titles;
  std::string_view header = core::registry::kListHeader;
  header.remove_suffix(1);  // its line feed
  for (size_t start = 0;;) {
    const size_t comma = header.find(", ", start);
    titles.emplace_back(header.substr(start, comma - start));
    if (comma == std::string_view::npos) return titles;
    start = comma + 2;
  }
}

void WriteTable(const core::registry::CTriggerAction& registry, std::ostream& out) {
  out << "<table>\n<thead><tr>";
  for (const std::string& title : ColumnTitles()) out << "<th>" << HtmlText(title) << "</th>";
  out << "</tr></thead>\n<tbody>\n";
  for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
    const core::rows::TriggerInfo* adapter = registry.AdapterAt(slot);
    if (adapter == nullptr) continue;
    out << "<tr>";
    for (const auto column : core::rows::ListColumns()) {
      out << "<td>" << HtmlText((adapter->*column)()) << "</td>";
    }
    out << "</tr>\n";
  }
  out << "</tbody>\n</table>\n";
}

void WriteProblems(const ProjectCheck& check, std::ostream& out) {
  if (check.diagnostics().empty()) {
    out << "<p>No problems found.</p>\n";
    return;
  }
  out << "<ul class=\"problems\">\n";
  for (const Diagnostic& d : check.diagnostics()) {
    std::ostringstream line;
    PrintDiagnostic(check.path(), d, line);
    std::string text = line.str();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    out << "<li class=\"" << SeverityName(d.severity) << "\">" << HtmlText(text) << "</li>\n";
  }
  out << "</ul>\n";
}

// A chart for each trigger of the kind "data", in slot order.
void WritePatterns(const core::registry::CTriggerAction& registry, std::ostream& out) {
  std::ostringstream figures;
  for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
    const auto* stream =
        dynamic_cast<const core::rows::StreamTriggerInfo*>(registry.AdapterAt(slot));
    if (stream == nullptr ||
        !core::automation::EqualsIgnoreCase(stream->GetSourceKindText(), "data")) {
      continue;
    }
    const std::string size = stream->GetSizeText();
    const std::string mode = stream->GetSrcModeText();
    const std::string list = stream->GetDataListText();
    const PatternChart chart = core::triggers::ChartOfPattern(size, mode, list);
    figures << "<figure><figcaption>" << HtmlText(stream->GetNumberText()) << ' '
            << HtmlText(stream->GetNameText()) << ": " << HtmlText(mode) << ' ' << HtmlText(list)
            << " (" << HtmlText(size) << ")</figcaption>\n";
    if (chart.Drawable()) {
      figures << PatternSvg(chart) << "\n<p>" << HtmlText(chart.label)
              << ".<br/>Scale: " << HtmlText(chart.scale_note) << ".</p>\n";
      if (!chart.warning.empty()) {
        figures << "<p class=\"warning\">" << HtmlText(chart.warning) << "</p>\n";
      }
    } else {
      figures << "<p class=\"reason\">" << HtmlText(chart.reason) << "</p>\n";
    }
    figures << "</figure>\n";
  }
  const std::string shown = figures.str();
  if (shown.empty()) {
    out << "<p>No data patterns.</p>\n";
  } else {
    out << "<div class=\"patterns\">\n" << shown << "</div>\n";
  }
}

}  // namespace

std::string HtmlText(const std::string& text) {
  std::string out;
  for (const char c : Printable(text)) {
    const char* entity = c == '&'    ? "&amp;"
                         : c == '<'  ? "&lt;"
                         : c == '>'  ? "&gt;"
                         : c == '"'  ? "&quot;"
                         : c == '\'' ? "&#39;"
                                     : nullptr;
    if (entity != nullptr) {
      out += entity;
    } else {
      out += c;
    }
  }
  return out;
}

std::string PatternSvg(const PatternChart& chart) {
  std::string svg = Format(
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="%.0f" height="%.0f" viewBox="0 0 %.0f %.0f" role="img">)",
      kWidth, kHeight, kWidth, kHeight);
  svg += "<title>" + HtmlText(chart.label) + "</title>";
  svg += Format(R"(<text x="%s" y="12">)", Number(kLeft).c_str()) + HtmlText(chart.high_text) +
         "</text>";
  svg += Format(R"(<text x="%s" y="126">)", Number(kLeft).c_str()) + HtmlText(chart.low_text) +
         "</text>";
  const char* dotted = R"(stroke="#8a949e" stroke-dasharray="2 2")";
  svg += Line(kTop, dotted) + Line(kBottom, dotted);
  const double height = kBottom - kTop - 1;
  const auto y_of = [&](double value) { return kBottom - chart.Place(value) * height; };
  if (chart.shape == PatternChart::Shape::Values) {
    const double width = (kRight - kLeft) / static_cast<double>(chart.values.size());
    for (size_t i = 0; i < chart.values.size(); ++i) {
      const double value = chart.values[i];
      const double top = std::min(y_of(value), kBottom - 1);  // 0 shows as a line
      const bool beyond = value < chart.low || value > chart.high;
      svg += Rect(kLeft + width * static_cast<double>(i), top, width >= 3 ? width - 1 : width,
                  kBottom - top, beyond ? "#b02020" : "#3a6ea5");
    }
  } else {
    const double top = y_of(std::max(chart.band_min, chart.band_max));
    const double bottom = std::max(y_of(std::min(chart.band_min, chart.band_max)), top + 1);
    svg += Rect(kLeft, top, kRight - kLeft, bottom - top, "#c5d5ea");
    svg += Line(top, R"(stroke="#3a6ea5")") + Line(bottom, R"(stroke="#3a6ea5")");
  }
  return svg + "</svg>";
}

std::string HtmlReport(const ProjectCheck& check) {
  std::ostringstream out;
  const std::string title = HtmlText(check.path());
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" << title
      << " - trigger-check</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
      << "<h1>" << title << "</h1>\n<p class=\"summary\">" << HtmlText(SummaryText(check))
      << "</p>\n<h2>Triggers</h2>\n";
  WriteTable(check.registry(), out);
  out << "<h2>Problems</h2>\n";
  WriteProblems(check, out);
  out << "<h2>Data patterns</h2>\n";
  WritePatterns(check.registry(), out);
  out << "</body>\n</html>\n";
  return out.str();
}

bool WriteHtmlReport(const ProjectCheck& check, const std::string& folder, std::string* path,
                     std::string* error) {
  namespace fs = std::filesystem;
  std::error_code made;
  fs::create_directories(folder, made);
  const fs::path page = fs::path(folder) / fs::path(check.path()).stem().concat(".html");
  *path = page.string();
  std::ofstream file(page, std::ios::binary);
  file << HtmlReport(check);
  file.close();
  if (!file) {
    *error = made ? "cannot make the folder: " + made.message() : "cannot write the file";
    return false;
  }
  return true;
}

}  // namespace trigger_check
