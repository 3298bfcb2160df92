// The text and JSON-lines forms of a project's report.
#include "tools/trigger-check/report.h"

#include <vector>

#include "core/automation/strings.h"
#include "tools/trigger-check/checker.h"
#include "tools/trigger-check/json_line.h"
#include "tools/trigger-check/report_html.h"
#include "tools/trigger-check/report_text.h"

namespace trigger_check {
namespace {

using core::automation::Format;

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (const uint8_t byte : bytes) text += Format(text.empty() ? "%02X" : " %02X", byte);
  return text;
}

}  // namespace

// FILE:LINE: SEVERITY: key KEY (trigger ID "NAME")[ STATE][, field FIELD]: REASON
void PrintDiagnostic(const std::string& file, const Diagnostic& d, std::ostream& out) {
  out << file;
  if (d.line > 0) out << ':' << d.line;
  out << ": " << SeverityName(d.severity) << ": ";
  if (d.section == "Trigger" && !d.key.empty()) {
    out << "key " << Printable(d.key);
    if (d.id) {
      out << " (trigger " << *d.id;
      if (d.name) out << " \"" << Printable(*d.name) << '"';
      out << ')';
    }
  } else if (!d.section.empty()) {
    out << '[' << d.section << ']';
    if (!d.key.empty()) out << ' ' << Printable(d.key);
  }
  if (!d.state.empty()) out << ' ' << d.state;
  if (!d.field.empty()) out << ", field " << d.field;
  if (!d.section.empty()) out << ": ";
  out << Printable(d.message) << '\n';
}

namespace {

std::string DiagnosticJson(const std::string& file, const Diagnostic& d) {
  JsonLine line("diagnostic");
  line.Text("file", file)
      .NumberOrNull("line", d.line)
      .Text("severity", SeverityName(d.severity))
      .TextOrNull("section", d.section)
      .TextOrNull("key", d.key);
  if (d.id) {
    line.Number("id", *d.id);
  } else {
    line.Raw("id", "null");
  }
  if (d.name) {
    line.Text("name", *d.name);
  } else {
    line.Raw("name", "null");
  }
  return line.TextOrNull("state", d.state)
      .TextOrNull("field", d.field)
      .Text("message", d.message)
      .TextOrNull("log", d.log)
      .Done();
}

}  // namespace

std::string SummaryText(const ProjectCheck& check) {
  std::string text =
      Format("%s: %s, %s loaded, %d registered", check.path().c_str(),
             Plural(check.lines(), "line", "lines").c_str(),
             Plural(static_cast<int>(check.triggers().size()), "trigger", "triggers").c_str(),
             check.registered());
  const int errors = check.Count(Severity::Error);
  const int warnings = check.Count(Severity::Warning);
  const int notes = check.Count(Severity::Note);
  if (errors + warnings + notes == 0) return text + ": no problems";
  text += ": " + Plural(errors, "error", "errors") + ", " + Plural(warnings, "warning", "warnings");
  if (notes > 0) text += ", " + Plural(notes, "note", "notes");
  return text;
}

namespace {

// The parts of one project's report, in the order CheckProject writes them.
class Report {
 public:
  Report(const std::string& file, bool json, std::ostream& out)
      : file_(file), json_(json), out_(out) {}

  void Write(const Diagnostic& d) {
    if (json_) {
      out_ << DiagnosticJson(file_, d);
    } else {
      PrintDiagnostic(file_, d, out_);
    }
  }

  // A project that cannot be read: its one diagnostic, and a summary in JSON.
  int Unreadable(const ProjectCheck& check) {
    Diagnostic unreadable;
    unreadable.message = check.open_error();
    Write(unreadable);
    if (json_) out_ << JsonLine("summary").Text("file", file_).Number("status", 2).Done();
    return 2;
  }

  // Every trigger the load made, in JSON only.
  void Triggers(const ProjectCheck& check) {
    if (!json_) return;
    for (const TriggerRow& row : check.triggers()) {
      out_ << JsonLine("trigger")
                  .Text("file", file_)
                  .TextOrNull("key", row.key)
                  .NumberOrNull("line", row.line)
                  .Number("slot", row.slot)
                  .Number("id", row.id)
                  .Text("name", row.name)
                  .Text("kind", row.type)
                  .Text("status", row.status)
                  .Bool("registered", row.registered)
                  .Text("definition", row.definition)
                  .Done();
    }
  }

  void List(const ProjectCheck& check) {
    if (json_) {
      out_ << JsonLine("list").Text("file", file_).Text("text", check.ListText()).Done();
    } else {
      out_ << check.ListText();
    }
  }

  void Records(const ProjectCheck& check) {
    for (const RecordRow& record : check.Records()) {
      if (json_) {
        out_ << JsonLine("record")
                    .Text("file", file_)
                    .Number("id", record.id)
                    .Text("decoded", record.decoded)
                    .Text("bytes", HexBytes(record.bytes))
                    .Done();
      } else {
        out_ << record.decoded << '\n';
      }
    }
  }

  // False when the list could not be written.
  bool Export(ProjectCheck& check, const std::string& path) {
    std::string error;
    const bool written = check.Export(path, &error);
    if (json_) {
      JsonLine line("export");
      line.Text("file", file_).Text("path", path);
      if (!written) line.Text("error", error);
      out_ << line.Done();
    } else if (written) {
      out_ << file_ << ": trigger list written to " << path << '\n';
    } else {
      out_ << file_ << ": error: --export " << path << ": " << error << '\n';
    }
    return written;
  }

  // False when the file could not be written back.
  bool Fix(ProjectCheck& check) {
    const FixOutcome fix = check.Fix();
    for (const std::string& line : fix.log) {
      Diagnostic saved;
      saved.severity = Severity::Warning;
      saved.section = "Trigger";
      saved.message = saved.log = line;
      Write(saved);
    }
    if (json_) {
      JsonLine line("fix");
      line.Text("file", file_).Bool("written", fix.written).TextOrNull("backup", fix.backup);
      line.Number("triggers", fix.triggers)
          .Texts("dropped", fix.dropped)
          .Texts("rewritten", fix.rewritten)
          .Texts("left", fix.left);
      if (!fix.ok) line.Text("error", fix.error);
      out_ << line.Done();
    } else if (!fix.ok) {
      out_ << file_ << ": error: --fix: " << fix.error << '\n';
    } else if (!fix.written) {
      out_ << file_ << ": nothing to fix: the section is as the add-in's save writes it\n";
    } else {
      out_ << file_ << ": fixed: " << Plural(fix.triggers, "trigger", "triggers")
           << " written back; the file as it was is in " << fix.backup << '\n';
      FixNote(fix.dropped, "made no trigger, so the save dropped the line");
      FixNote(fix.rewritten,
              "the trigger is not registered; its line was written as the trigger holds it, "
              "without what the add-in did not take from it");
      FixNote(fix.left,
              "left from the earlier, longer list, as the add-in's save leaves such keys; not "
              "loaded");
    }
    return fix.ok;
  }

  // False when the page could not be written.
  bool Html(const ProjectCheck& check, const std::string& folder) {
    std::string path, error;
    const bool written = WriteHtmlReport(check, folder, &path, &error);
    if (json_) {
      JsonLine line("html");
      line.Text("file", file_).Text("path", path);
      if (!written) line.Text("error", error);
      out_ << line.Done();
    } else if (written) {
      out_ << file_ << ": report written to " << path << '\n';
    } else {
      out_ << file_ << ": error: --html " << path << ": " << error << '\n';
    }
    return written;
  }

  void Summary(const ProjectCheck& check, int status) {
    if (!json_) {
      out_ << SummaryText(check) << '\n';
      return;
    }
    out_ << JsonLine("summary")
                .Text("file", file_)
                .Number("lines", check.lines())
                .Number("loaded", static_cast<int64_t>(check.triggers().size()))
                .Number("registered", check.registered())
                .Number("errors", check.Count(Severity::Error))
                .Number("warnings", check.Count(Severity::Warning))
                .Number("notes", check.Count(Severity::Note))
                .Number("status", status)
                .Done();
  }

 private:
  // "FILE: note: keys 3, 4: WHAT" for the keys a fix did not keep as the user wrote them.
  void FixNote(const std::vector<std::string>& keys, const char* what) {
    if (keys.empty()) return;
    std::string joined;
    for (const std::string& key : keys) joined += (joined.empty() ? "" : ", ") + key;
    out_ << file_ << ": note: " << (keys.size() == 1 ? "key " : "keys ") << joined << ": " << what
         << '\n';
  }

  const std::string& file_;
  bool json_;
  std::ostream& out_;
};

}  // namespace

int CheckProject(const std::string& file, const ReportOptions& options, std::ostream& out) {
  ProjectCheck check(file);
  Report report(file, options.json, out);
  if (!check.opened()) return report.Unreadable(check);

  int status = check.Status();
  for (const Diagnostic& d : check.diagnostics()) report.Write(d);
  report.Triggers(check);
  if (options.list) report.List(check);
  if (options.records) report.Records(check);
  if (options.export_file && !report.Export(check, *options.export_file)) status = 2;
  if (options.fix && !report.Fix(check)) status = 2;
  if (options.html_folder && !report.Html(check, *options.html_folder)) status = 2;
  report.Summary(check, status);
  return status;
}

}  // namespace trigger_check
