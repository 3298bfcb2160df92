// The project file: profile operations, saving, and reading symbols and interrupt sources.
#include "project/project.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"

namespace project {
namespace {

using core::automation::EqualsIgnoreCase;
using core::automation::Format;
using core::automation::kFail;

void Warn(std::vector<std::string>* warnings, std::string text) {
  if (warnings != nullptr) warnings->push_back(std::move(text));
}

// A 16-bit field of a source entry: an expression over the symbols whose value fits.
bool ReadField16(std::string_view text, const SymbolTable& symbols, uint16_t* value,
                 std::string* problem) {
  const Evaluation result = Evaluate(text, symbols);
  if (!result.ok()) {
    *problem = result.error;
    return false;
  }
  if (result.value.bits > 0xFFFF) {
    *problem = Format("0x%X does not fit in 16 bits", result.value.bits);
    return false;
  }
  *value = static_cast<uint16_t>(result.value.bits);
  return true;
}

}  // namespace

Project Project::FromText(std::string_view text, std::string path) {
  Project project;
  project.settings_ = IniFile::Parse(text);
  project.path_ = std::move(path);
  return project;
}

Outcome Project::Open(const std::string& path, Project* project) {
  // A folder opens as a stream on some systems and reads as an empty file.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    return Outcome::Fail(kFail, "cannot open " + path + ": it is a folder");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Outcome::Fail(kFail, "cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return Outcome::Fail(kFail, "cannot read " + path);
  *project = FromText(text.str(), path);
  return Outcome::Ok();
}

int32_t Project::ReadProfileInt(std::string_view section, std::string_view key,
                                int32_t default_value) const {
  const std::optional<std::string> text = settings_.Get(section, key);
  if (!text) return default_value;
  const auto number = core::automation::ReadLong(*text, 0);
  return number.consumed == 0 ? default_value : number.value;
}

std::string Project::ReadProfileString(std::string_view section, std::string_view key,
                                       std::string_view default_value) const {
  const std::optional<std::string> text = settings_.Get(section, key);
  return text ? *text : std::string(default_value);
}

Outcome Project::WriteProfileInt(std::string_view section, std::string_view key, int32_t value) {
  return WriteProfileString(section, key, Format("%d", value));
}

Outcome Project::WriteProfileString(std::string_view section, std::string_view key,
                                    std::string_view value) {
  bool changed = false;
  Outcome outcome = settings_.Set(section, key, value, &changed);
  if (changed) modified_ = true;
  return outcome;
}

bool Project::Answer(IntValue value, core::automation::Variant* answer,
                     std::string* problem) const {
  const std::string type = ReadProfileString(kProjectSection, kEvaluatorTypeKey, "");
  if (AnswerAs(value, type, answer)) return true;
  *problem = "[" + std::string(kProjectSection) + "] " + kEvaluatorTypeKey + "=" + type +
             " is no type the evaluator answers in; it answers as without it";
  return false;
}

Outcome Project::Save() {
  if (path_.empty()) return Outcome::Fail(kFail, "the project has no file name yet");
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  if (!out) return Outcome::Fail(kFail, "cannot write " + path_);
  const std::string text = settings_.Serialize();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) return Outcome::Fail(kFail, "cannot write " + path_);
  modified_ = false;
  return Outcome::Ok();
}

Outcome Project::SaveAs(const std::string& path) {
  const std::string previous = path_;
  path_ = path;
  Outcome outcome = Save();
  if (!outcome.ok()) path_ = previous;
  return outcome;
}

SymbolTable Project::Symbols(std::vector<std::string>* warnings) const {
  SymbolTable symbols;
  for (const auto& [name, expression] : settings_.Entries(kSymbolsSection)) {
    if (!SymbolTable::IsIdentifier(name)) {
      Warn(warnings, "[Symbols] " + name + ": not a C identifier; skipped");
      continue;
    }
    if (symbols.Find(name) != nullptr) {
      Warn(warnings, "[Symbols] " + name + ": defined before; skipped");
      continue;
    }
    const Evaluation result = Evaluate(expression, symbols);
    if (!result.ok()) {
      Warn(warnings, "[Symbols] " + name + ": " + result.error + "; skipped");
      continue;
    }
    symbols.Define(name, result.value);
  }
  return symbols;
}

std::vector<InterruptSource> Project::InterruptSources(const SymbolTable& symbols,
                                                       std::vector<std::string>* warnings) const {
  std::vector<InterruptSource> sources;
  for (const auto& [name, text] : settings_.Entries(kSourcesSection)) {
    const std::string where = "[InterruptSources] " + name + ": ";
    if (name.size() > kSourceNameWidth) {
      Warn(warnings,
           where + "name longer than " + std::to_string(kSourceNameWidth) + " characters; skipped");
      continue;
    }
    if (name.find(',') != std::string::npos) {
      Warn(warnings, where + "comma in name; skipped");
      continue;
    }
    bool taken = false;
    for (const InterruptSource& source : sources)
      taken = taken || EqualsIgnoreCase(source.name, name);
    if (taken) {
      Warn(warnings, where + "defined before; skipped");
      continue;
    }
    const size_t comma = text.find(',');
    InterruptSource source;
    source.name = name;
    std::string problem;
    if (!ReadField16(std::string_view(text).substr(0, comma), symbols, &source.code, &problem)) {
      Warn(warnings, where + "code: " + problem + "; skipped");
      continue;
    }
    if (comma != std::string::npos &&
        !ReadField16(std::string_view(text).substr(comma + 1), symbols, &source.value, &problem)) {
      Warn(warnings, where + "value: " + problem + "; skipped");
      continue;
    }
    sources.push_back(std::move(source));
  }
  return sources;
}

}  // namespace project
