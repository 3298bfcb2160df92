// The command line and the two report forms.
#include "tools/trigger-check/cli.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/automation/strings.h"
#include "tools/trigger-check/checker.h"

namespace trigger_check {
namespace {

using core::automation::Format;

constexpr char kUsage[] =
    "usage: trigger-check [--json] [--records] [--list] [--export FILE] [--fix] PROJECT.vpj...\n"
    "       trigger-check --help\n";

struct Options {
  bool json = false;
  bool records = false;
  bool list = false;
  bool fix = false;
  std::optional<std::string> export_file;
  std::vector<std::string> projects;
};

// Empty when the arguments are good; otherwise what is wrong with them.
std::string ParseArguments(const std::vector<std::string>& args, Options* options, bool* help) {
  bool options_end = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.empty() || arg[0] != '-' || arg == "-") {
      options->projects.push_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--help" || arg == "-h") {
      *help = true;
    } else if (arg == "--json") {
      options->json = true;
    } else if (arg == "--records") {
      options->records = true;
    } else if (arg == "--list") {
      options->list = true;
    } else if (arg == "--fix") {
      options->fix = true;
    } else if (arg == "--export" || arg.rfind("--export=", 0) == 0) {
      if (options->export_file) return "--export is given twice";
      if (arg == "--export") {
        if (i + 1 == args.size()) return "--export needs a file";
        options->export_file = args[++i];
      } else {
        options->export_file = arg.substr(9);
      }
    } else {
      return "unknown option \"" + arg + "\"";
    }
  }
  if (*help) return {};
  if (options->projects.empty()) return "no project given";
  if (options->export_file && options->projects.size() > 1) {
    return "--export writes one list: give one project";
  }
  return {};
}

// ---- Text of the project in the report ----

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x06 ? 2
                          : (lead >> 4) == 0x0E ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || lead == 0xC0 || lead == 0xC1 || lead > 0xF4 || i + length > text.size()) {
      return false;
    }
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
    }
    i += length;
  }
  return true;
}

// Reports are UTF-8. Project files are 8-bit text of the host's code page: a text that is not
// valid UTF-8 has its bytes above 0x7F read as Latin-1.
std::string Utf8(const std::string& text) {
  if (IsUtf8(text)) return text;
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

// Control characters shown as \xNN, so that a line of binary garbage cannot upset the terminal.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : Utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += Format("\\x%02X", byte);
    } else {
      out += c;
    }
  }
  return out;
}

// ---- Text ----

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

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

std::string Summary(const ProjectCheck& check) {
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

// ---- JSON lines ----

// One JSON object, written field by field.
class JsonLine {
 public:
  explicit JsonLine(const char* type) { Text("type", type); }

  JsonLine& Text(const char* name, const std::string& value) {
    Name(name);
    Quote(value);
    return *this;
  }
  JsonLine& TextOrNull(const char* name, const std::string& value) {
    if (value.empty()) return Raw(name, "null");
    return Text(name, value);
  }
  JsonLine& Number(const char* name, int64_t value) { return Raw(name, std::to_string(value)); }
  JsonLine& NumberOrNull(const char* name, int64_t value) {
    return value > 0 ? Number(name, value) : Raw(name, "null");
  }
  JsonLine& Bool(const char* name, bool value) { return Raw(name, value ? "true" : "false"); }
  JsonLine& Texts(const char* name, const std::vector<std::string>& values) {
    Name(name);
    line_ += '[';
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) line_ += ',';
      Quote(values[i]);
    }
    line_ += ']';
    return *this;
  }
  JsonLine& Raw(const char* name, const std::string& json) {
    Name(name);
    line_ += json;
    return *this;
  }
  std::string Done() const { return line_ + "}\n"; }

 private:
  void Name(const char* name) {
    line_ += line_.empty() ? "{" : ",";
    Quote(name);
    line_ += ':';
  }
  void Quote(const std::string& text) {
    line_ += '"';
    for (const char c : Utf8(text)) {
      const auto byte = static_cast<unsigned char>(c);
      switch (c) {
        case '"':
          line_ += "\\\"";
          break;
        case '\\':
          line_ += "\\\\";
          break;
        case '\n':
          line_ += "\\n";
          break;
        case '\r':
          line_ += "\\r";
          break;
        case '\t':
          line_ += "\\t";
          break;
        default:
          if (byte < 0x20 || byte == 0x7F) {
            line_ += Format("\\u%04x", byte);
          } else {
            line_ += c;
          }
      }
    }
    line_ += '"';
  }
  std::string line_;
};

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (const uint8_t byte : bytes) text += Format(text.empty() ? "%02X" : " %02X", byte);
  return text;
}

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

// ---- One project ----

int CheckProject(const std::string& file, const Options& options, std::ostream& out) {
  ProjectCheck check(file);
  const bool json = options.json;
  auto report = [&](const Diagnostic& d) {
    if (json) {
      out << DiagnosticJson(file, d);
    } else {
      PrintDiagnostic(file, d, out);
    }
  };
  if (!check.opened()) {
    Diagnostic unreadable;
    unreadable.message = check.open_error();
    report(unreadable);
    if (json) out << JsonLine("summary").Text("file", file).Number("status", 2).Done();
    return 2;
  }

  int status = check.Status();
  for (const Diagnostic& d : check.diagnostics()) report(d);
  if (json) {
    for (const TriggerRow& row : check.triggers()) {
      out << JsonLine("trigger")
                 .Text("file", file)
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
  if (options.list) {
    if (json) {
      out << JsonLine("list").Text("file", file).Text("text", check.ListText()).Done();
    } else {
      out << check.ListText();
    }
  }
  if (options.records) {
    for (const RecordRow& record : check.Records()) {
      if (json) {
        out << JsonLine("record")
                   .Text("file", file)
                   .Number("id", record.id)
                   .Text("decoded", record.decoded)
                   .Text("bytes", HexBytes(record.bytes))
                   .Done();
      } else {
        out << record.decoded << '\n';
      }
    }
  }
  if (options.export_file) {
    std::string error;
    if (check.Export(*options.export_file, &error)) {
      if (json) {
        out << JsonLine("export").Text("file", file).Text("path", *options.export_file).Done();
      } else {
        out << file << ": trigger list written to " << *options.export_file << '\n';
      }
    } else {
      status = 2;
      if (json) {
        out << JsonLine("export")
                   .Text("file", file)
                   .Text("path", *options.export_file)
                   .Text("error", error)
                   .Done();
      } else {
        out << file << ": error: --export " << *options.export_file << ": " << error << '\n';
      }
    }
  }
  if (options.fix) {
    const FixOutcome fix = check.Fix();
    if (!fix.ok) status = 2;
    for (const std::string& line : fix.log) {
      Diagnostic saved;
      saved.severity = Severity::Warning;
      saved.section = "Trigger";
      saved.message = saved.log = line;
      report(saved);
    }
    if (json) {
      JsonLine line("fix");
      line.Text("file", file).Bool("written", fix.written).TextOrNull("backup", fix.backup);
      line.Number("triggers", fix.triggers)
          .Texts("dropped", fix.dropped)
          .Texts("rewritten", fix.rewritten)
          .Texts("left", fix.left);
      if (!fix.ok) line.Text("error", fix.error);
      out << line.Done();
    } else if (!fix.ok) {
      out << file << ": error: --fix: " << fix.error << '\n';
    } else if (!fix.written) {
      out << file << ": nothing to fix: the section is as the add-in's save writes it\n";
    } else {
      out << file << ": fixed: " << Plural(fix.triggers, "trigger", "triggers")
          << " written back; the file as it was is in " << fix.backup << '\n';
      auto keys = [&](const std::vector<std::string>& list, const char* what) {
        if (list.empty()) return;
        std::string joined;
        for (const std::string& key : list) joined += (joined.empty() ? "" : ", ") + key;
        out << file << ": note: " << (list.size() == 1 ? "key " : "keys ") << joined << ": " << what
            << '\n';
      };
      keys(fix.dropped, "made no trigger, so the save dropped the line");
      keys(fix.rewritten,
           "the trigger is not registered; its line was written as the trigger holds it, "
           "without what the add-in did not take from it");
      keys(fix.left,
           "left from the earlier, longer list, as the add-in's save leaves such keys; not "
           "loaded");
    }
  }
  if (json) {
    out << JsonLine("summary")
               .Text("file", file)
               .Number("lines", check.lines())
               .Number("loaded", static_cast<int64_t>(check.triggers().size()))
               .Number("registered", check.registered())
               .Number("errors", check.Count(Severity::Error))
               .Number("warnings", check.Count(Severity::Warning))
               .Number("notes", check.Count(Severity::Note))
               .Number("status", status)
               .Done();
  } else {
    out << Summary(check) << '\n';
  }
  return status;
}

}  // namespace

int RunTriggerCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  bool help = false;
  const std::string problem = ParseArguments(args, &options, &help);
  if (help) {
    out << HelpText();
    return 0;
  }
  if (!problem.empty()) {
    err << "trigger-check: " << problem << '\n' << kUsage;
    return 2;
  }
  int status = 0;
  for (const std::string& project : options.projects) {
    status = std::max(status, CheckProject(project, options, out));
  }
  return status;
}

const char* HelpText() {
  return R"(TRIGGER-CHECK(1)

NAME
    trigger-check - check the triggers of Vireo projects as the Trigger add-in loads them

SYNOPSIS
    trigger-check [--json] [--records] [--list] [--export FILE] [--fix] PROJECT.vpj...
    trigger-check --help

DESCRIPTION
    Loads the [Trigger] section of each project with the add-in's own code, defines every
    trigger in the host stand-in's simulator, and reports every line that does not load or
    does not register, with the field and the reason. The reasons are the lines the add-in
    writes to the IDE's log while it loads the project. Address expressions are evaluated over
    the project's [Symbols], and interrupt sources come from its [InterruptSources], as the
    host stand-in does.

    Each problem is one line, in the form editors and CI tools read:

        FILE:LINE: SEVERITY: key KEY (trigger ID "NAME")[ STATE][, field FIELD]: REASON

    LINE is the line of the key in the file; the trigger's id and name are those the line
    gives. SEVERITY is
        error    the line made no trigger, or its trigger is not in the simulator;
        warning  the trigger loaded and registered but not all of its line was taken, or the
                 file has something the add-in never reads (a key it does not know, a key
                 given twice, a second [Trigger] section, a missing or unreadable MaxNum);
        note     an explanation (what the evaluator or the simulator said), or a line past
                 the count MaxNum gives, which the add-in does not load (a save leaves the
                 lines of a longer list behind).
    STATE is "skipped" (no trigger was made), "not read" (past MaxNum) or "not registered".
    A summary line ends the report of each project.

OPTIONS
    --list
        Print the trigger list, as the add-in writes it to the IDE's log.
    --records
        Print the trigger records the simulator holds, one decoded line each.
    --export FILE
        Write the trigger list to FILE, as the add-in's export does: FILE must end in ".txt",
        or have no dot at all (".txt" is then added). One project only.
    --fix
        Write the [Trigger] section back as the add-in's save does: every trigger that loaded,
        numbered 0, 1, 2, ... without gaps, with MaxNum their count; lines that made no trigger
        are dropped, and a trigger that did not register is written as it holds itself, without
        what the add-in did not take from its line (the report names those keys). The file is
        first copied to FILE.bak (FILE.bak1, FILE.bak2, ... when that exists). Every other
        section, key, comment and line end stays byte for byte. Keys of the old list past the
        new count are left, as the add-in's save leaves them. Nothing is written when the
        section is already as a save writes it.
    --json
        Report as JSON lines (below) instead of text.
    -h, --help
        Print this text.

JSON LINES
    One object per line, its "type" first. Absent values are null. Text is UTF-8; a value of
    the project that is not UTF-8 has its bytes above 0x7F read as Latin-1.

    {"type":"diagnostic","file":F,"line":N,"severity":"error"|"warning"|"note",
     "section":S,"key":S,"id":N,"name":S,"state":"skipped"|"not read"|"not registered",
     "field":S,"message":S,"log":S}
        One problem. "log" is the line the add-in wrote to the IDE's log, when it came from
        there.
    {"type":"trigger","file":F,"key":S,"line":N,"slot":N,"id":N,"name":S,"kind":S,
     "status":S,"registered":B,"definition":S}
        One trigger the load made: the key of its line, its registry slot, the list's type
        text and status, and its line as the trigger writes it back.
    {"type":"list","file":F,"text":S}                       with --list
    {"type":"record","file":F,"id":N,"decoded":S,"bytes":S}  with --records; bytes in hex,
        "00 00 00 01 64 00 ..."
    {"type":"export","file":F,"path":S[,"error":S]}         with --export
    {"type":"fix","file":F,"written":B,"backup":S,"triggers":N,"dropped":[S...],
     "rewritten":[S...],"left":[S...][,"error":S]}            with --fix
        The keys of the lines the save dropped (they made no trigger), of the lines it wrote
        as their unregistered triggers hold them, and of the old lines it left behind.
    {"type":"summary","file":F,"lines":N,"loaded":N,"registered":N,"errors":N,
     "warnings":N,"notes":N,"status":N}
        Last for each project; "status" is the project's exit status.

EXIT STATUS
    0   every trigger line loads and registers and nothing else is wrong (notes allowed)
    1   problems found: an error or a warning
    2   a usage error, a project that cannot be read, or an export or fix that cannot be
        written
    With several projects, the highest of their statuses.

EXAMPLES
    trigger-check project.vpj
    trigger-check --json project.vpj | jq -c 'select(.type == "diagnostic")'
    trigger-check --fix project.vpj

SEE ALSO
    README.md, section "trigger-check"; docs/trigger-check-ci.md for a CI step.
)";
}

}  // namespace trigger_check
