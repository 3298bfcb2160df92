// Writes the triggers back into the project file the way the add-in saves them, after it backs up
// the file.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/trigger-check/checker.h"

namespace trigger_check {
namespace {

using project::kTriggerSection;

bool ReadFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *text = bytes.str();
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return static_cast<bool>(out);
}

bool Exists(const std::string& path) { return static_cast<bool>(std::ifstream(path)); }

// The first of FILE.bak, FILE.bak1, FILE.bak2, ... that does not exist: an earlier backup is
// never overwritten, since it may be the only copy of the file as the user wrote it.
std::string FreeBackupPath(const std::string& path) {
  std::string candidate = path + ".bak";
  for (int n = 1; Exists(candidate); ++n) candidate = path + ".bak" + std::to_string(n);
  return candidate;
}

}  // namespace

FixOutcome ProjectCheck::Fix() {
  FixOutcome outcome;
  outcome.triggers = registry_->Count();
  project::Project& project = host_->project();
  if (!project.settings().HasSection(kTriggerSection)) return outcome;
  std::string original;
  if (!ReadFile(path_, &original)) {
    outcome.ok = false;
    outcome.error = "cannot read " + path_ + " again";
    return outcome;
  }
  const size_t first = host_->log().size();
  registry_->SaveTriggers();
  outcome.log = LogSince(first);
  if (project.settings().Serialize() == original) return outcome;

  outcome.backup = FreeBackupPath(path_);
  if (!WriteFile(outcome.backup, original)) {
    outcome.ok = false;
    outcome.error = "cannot write the backup " + outcome.backup + "; " + path_ + " is unchanged";
    outcome.backup.clear();
    return outcome;
  }
  const project::Outcome saved = project.Save();
  if (!saved.ok()) {
    outcome.ok = false;
    std::string now;
    if (ReadFile(path_, &now) && now == original) {
      std::remove(outcome.backup.c_str());
      outcome.backup.clear();
      outcome.error = saved.message + "; the file is unchanged";
    } else {
      outcome.error = saved.message + "; the file as it was is in " + outcome.backup;
    }
    return outcome;
  }
  outcome.written = true;
  for (const Diagnostic& d : diagnostics_) {
    if (d.state == "skipped") outcome.dropped.push_back(d.key);
  }
  for (const TriggerRow& row : triggers_) {
    if (!row.registered) outcome.rewritten.push_back(row.key);
  }
  for (const auto& [key, value] : project.settings().Entries(kTriggerSection)) {
    if (IsLoadKey(key) && std::stoi(key) >= outcome.triggers && !value.empty()) {
      outcome.left.push_back(key);
    }
  }
  return outcome;
}

}  // namespace trigger_check
