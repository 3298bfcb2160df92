// The INI store: parsing that keeps every line, lookups with the profile conventions, and writes
// that touch only the entry they change.
#include "project/ini_file.h"

#include "core/automation/strings.h"

namespace project {
namespace {

using core::automation::EqualsIgnoreCase;
using core::automation::IsSpace;
using core::automation::kInvalidArg;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsBlank(std::string_view text) { return Trim(text).empty(); }

// A value read from a line: trimmed, then one pair of double quotes around it removed, as the
// Windows profile functions read it. Quotes are how a value keeps white space at its ends.
std::string_view ValueOf(std::string_view text) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// The text a value is written as, so that ValueOf gives it back: quoted when it has white space
// at either end or is itself enclosed in quotes, as written otherwise.
std::string ValueText(std::string_view value) {
  if (value.empty()) return {};
  const bool spaced = IsSpace(value.front()) || IsSpace(value.back());
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (!spaced && !quoted) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Why a section name or key cannot be stored so that it reads back as itself; empty when it can.
std::string SectionProblem(std::string_view name) {
  if (name.empty()) return "empty section name";
  if (HasLineBreak(name)) return "line break in section name";
  if (name.find(']') != std::string_view::npos) return "']' in section name";
  if (Trim(name).size() != name.size()) return "white space around section name";
  return {};
}

std::string KeyProblem(std::string_view key) {
  if (key.empty()) return "empty key";
  if (HasLineBreak(key)) return "line break in key";
  if (key.find('=') != std::string_view::npos) return "'=' in key";
  if (key.front() == '[' || key.front() == ';' || key.front() == '#') {
    return std::string("key begins with '") + key.front() + "'";
  }
  if (Trim(key).size() != key.size()) return "white space around key";
  return {};
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
  IniFile file;
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    file.byte_order_mark_ = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  bool style_known = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool has_end = end != std::string_view::npos;
    if (!has_end) end = text.size();
    std::string_view line = text.substr(start, end - start);
    const bool crlf = has_end && !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    const std::string_view line_end = crlf ? "\r\n" : has_end ? "\n" : "";
    if (has_end && !style_known) {
      file.line_end_ = crlf ? "\r\n" : "\n";
      style_known = true;
    }
    file.final_line_end_ = has_end;
    start = has_end ? end + 1 : end;

    const std::string_view trimmed = Trim(line);
    const size_t close = trimmed.find(']');
    if (!trimmed.empty() && trimmed.front() == '[' && close != std::string_view::npos) {
      Section section;
      section.has_header = true;
      section.name = std::string(Trim(trimmed.substr(1, close - 1)));
      section.header = std::string(line);
      section.header_end = std::string(line_end);
      file.sections_.push_back(std::move(section));
      continue;
    }
    Line entry;
    entry.text = std::string(line);
    entry.end = std::string(line_end);
    const size_t equals = trimmed.find('=');
    if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '#' &&
        equals != std::string_view::npos && !Trim(trimmed.substr(0, equals)).empty()) {
      entry.entry = true;
      entry.key = std::string(Trim(trimmed.substr(0, equals)));
      entry.value = std::string(ValueOf(trimmed.substr(equals + 1)));
    }
    file.sections_.back().lines.push_back(std::move(entry));
  }
  return file;
}

std::string IniFile::Serialize() const {
  std::vector<std::pair<const std::string*, const std::string*>> lines;  // text, line end
  for (const Section& section : sections_) {
    if (section.has_header) lines.emplace_back(&section.header, &section.header_end);
    for (const Line& line : section.lines) lines.emplace_back(&line.text, &line.end);
  }
  std::string out;
  if (byte_order_mark_) out += kByteOrderMark;
  for (size_t i = 0; i < lines.size(); ++i) {
    out += *lines[i].first;
    if (i + 1 < lines.size() || final_line_end_) {
      out += lines[i].second->empty() ? line_end_ : *lines[i].second;
    }
  }
  return out;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
  for (Section& section : sections_) {
    if (section.has_header && EqualsIgnoreCase(section.name, name)) return &section;
  }
  return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  return const_cast<IniFile*>(this)->FindSection(name);
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (found == nullptr) return std::nullopt;
  for (const Line& line : found->lines) {
    if (line.entry && EqualsIgnoreCase(line.key, key)) return line.value;
  }
  return std::nullopt;
}

Outcome IniFile::Set(std::string_view section, std::string_view key, std::string_view value,
                     bool* changed) {
  if (changed != nullptr) *changed = false;
  std::string problem = SectionProblem(section);
  if (problem.empty()) problem = KeyProblem(key);
  if (problem.empty() && HasLineBreak(value)) problem = "line break in value";
  if (!problem.empty()) {
    return Outcome::Fail(kInvalidArg, "cannot store [" + std::string(section) + "] " +
                                          std::string(key) + ": " + problem);
  }

  Section* target = FindSection(section);
  if (target == nullptr) {
    // A blank line before a new section, as people write these files.
    Section& last = sections_.back();
    const bool file_empty = sections_.size() == 1 && last.lines.empty();
    if (!file_empty && (last.lines.empty() ? last.has_header : !IsBlank(last.lines.back().text))) {
      last.lines.push_back(Line{});
    }
    Section created;
    created.has_header = true;
    created.name = std::string(section);
    created.header = "[" + created.name + "]";
    sections_.push_back(std::move(created));
    target = &sections_.back();
  }

  for (Line& line : target->lines) {
    if (!line.entry || !EqualsIgnoreCase(line.key, key)) continue;
    if (line.value == value) return Outcome::Ok();
    line.value = std::string(value);
    line.text = line.key + "=" + ValueText(line.value);  // the key keeps the file's spelling
    if (changed != nullptr) *changed = true;
    return Outcome::Ok();
  }

  // A new entry goes after the section's last non-blank line, so that the blank lines that
  // separate it from the next section stay where they are.
  size_t position = target->lines.size();
  while (position > 0 && IsBlank(target->lines[position - 1].text)) --position;
  Line entry;
  entry.entry = true;
  entry.key = std::string(key);
  entry.value = std::string(value);
  entry.text = entry.key + "=" + ValueText(entry.value);
  target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(position),
                       std::move(entry));
  if (changed != nullptr) *changed = true;
  return Outcome::Ok();
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  const Section* found = FindSection(section);
  if (found == nullptr) return out;
  for (const Line& line : found->lines) {
    if (line.entry) out.emplace_back(line.key, line.value);
  }
  return out;
}

std::vector<int> IniFile::SectionLines(std::string_view section) const {
  std::vector<int> out;
  int number = 0;
  for (const Section& each : sections_) {
    if (each.has_header) {
      ++number;
      if (EqualsIgnoreCase(each.name, section)) out.push_back(number);
    }
    number += static_cast<int>(each.lines.size());
  }
  return out;
}

std::vector<int> IniFile::EntryLines(std::string_view section) const {
  std::vector<int> out;
  const Section* found = FindSection(section);
  int number = 0;
  for (const Section& each : sections_) {
    if (each.has_header) ++number;
    for (const Line& line : each.lines) {
      ++number;
      if (&each == found && line.entry) out.push_back(number);
    }
  }
  return out;
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> out;
  for (const Section& section : sections_) {
    if (section.has_header) out.push_back(section.name);
  }
  return out;
}

}  // namespace project
