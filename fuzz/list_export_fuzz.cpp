// Fuzz target for the trigger list: triggers of every kind with hostile names and column texts
// (commas, line feeds, NULs, '%' directives, long texts) go into a registry, whose list is then
// built, logged and exported. The input is a sequence of triggers separated by 0xFF; in each, the
// first byte picks the keyword and whether the trigger is registered, and the rest, split at
// 0xFE, gives the name and then the column texts in list order. It stops on a broken invariant:
//   - an empty registry does not give an empty text, or a full one not the count and header lines;
//   - a row is not the trigger's thirteen column texts joined by ", " and ended by a line feed,
//     in slot order, or the text holds anything else;
//   - the log receives anything but the text, whole, in one entry;
//   - the exported file's bytes differ from the text;
//   - the file name an export would use is not the path (a ".txt" one) or the path with ".txt"
//     appended (one without a dot), or a path with another extension or a NUL is accepted.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/bridge/host_access.h"
#include "core/bridge/trigger_command.h"
#include "core/registry/list_export.h"
#include "core/registry/trigger_action.h"
#include "core/rows/trigger_info.h"
#include "fuzz/fuzz_check.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::automation::Variant;
using core::registry::CTriggerAction;
using core::rows::TriggerInfo;

const char* const kKeywords[] = {"interrupt",  "clearInterrupt", "ioStream", "transfer", "stream",
                                 "data",       "connect",        "message",  "control",  "sio",
                                 "filestream", "ioaccess"};

using Setter = int (TriggerInfo::*)(std::string);
const Setter kSetters[] = {
    &TriggerInfo::SetDestination, &TriggerInfo::SetSize,    &TriggerInfo::SetDstMode,
    &TriggerInfo::SetSource,      &TriggerInfo::SetSrcMode, &TriggerInfo::SetCount,
    &TriggerInfo::SetCycle,       &TriggerInfo::SetWait,    &TriggerInfo::SetMask};

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return pieces;
    start = end + 1;
  }
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return "(missing)";
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
  std::fclose(in);
  return bytes;
}

// One file per process, in memory where the system offers it, removed at exit: the export's target.
const std::string& ExportPath() {
  static const std::string path = [] {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string made =
        core::automation::Format("%s/list_export_fuzz-%d.txt", folder, static_cast<int>(getpid()));
    std::atexit([] { std::remove(ExportPath().c_str()); });
    return made;
  }();
  return path;
}

void CheckFilePath(const std::string& path) {
  std::string file = "~";
  const bool accepted = core::registry::ExportFilePath(path, &file);
  if (path.find('\0') != std::string::npos) {
    FUZZ_CHECK(!accepted && file == "~", path);  // the file system would see another name
    return;
  }
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) {
    FUZZ_CHECK(accepted && file == path + ".txt", path);
    return;
  }
  const std::string extension = path.substr(dot + 1);
  const bool txt = extension.size() == 3 && (extension[0] | 0x20) == 't' &&
                   (extension[1] | 0x20) == 'x' && (extension[2] | 0x20) == 't';
  FUZZ_CHECK(accepted == txt, path);
  FUZZ_CHECK(accepted ? file == path : file == "~", path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string detail(input);

  fakes::HostState state;
  core::bridge::HostAccess host;
  host.SetApplication(std::make_shared<fakes::FakeApplication>(state));
  state.evaluator = [](const std::string& expression) {
    return Variant::UI4(core::automation::ReadUnsigned(expression).value);
  };
  core::bridge::CTriggerCommand bridge(host);
  CTriggerAction registry(bridge, host);

  const std::vector<std::string_view> triggers = Split(input, '\xFF');
  for (std::string_view trigger : triggers) {
    if (trigger.empty()) continue;
    const auto choice = static_cast<uint8_t>(trigger[0]);
    Variant made;
    if (registry.CreateTriggerByKeyword(kKeywords[choice % 12], &made) != core::automation::kOk) {
      continue;
    }
    auto* adapter = static_cast<TriggerInfo*>(made.Pointer());
    const std::vector<std::string_view> texts = Split(trigger.substr(1), '\xFE');
    FUZZ_CHECK(
        adapter->GetTrigger()->SetNameUnchecked(std::string(texts[0])) == core::automation::kOk,
        detail);
    for (size_t i = 1; i < texts.size() && i <= std::size(kSetters); ++i) {
      (adapter->*kSetters[i - 1])(std::string(texts[i]));
    }
    if (choice & 0x80) adapter->Register();
  }
  // The last piece is also a path for the export's file-name rule.
  CheckFilePath(std::string(triggers.back()));

  const std::string text = core::registry::TriggerListText(registry);
  if (registry.Count() == 0) {
    FUZZ_CHECK(text.empty(), detail);
  } else {
    std::string expected =
        core::automation::Format("total number of defined trigger = %d\n", registry.Count());
    expected += core::registry::kListHeader;
    FUZZ_CHECK(text.compare(0, expected.size(), expected) == 0, detail);
    size_t at = expected.size();
    for (int32_t slot = 0; slot < core::triggers::kSlotCount; ++slot) {
      const TriggerInfo* adapter = registry.AdapterAt(slot);
      if (adapter == nullptr) continue;
      const auto& columns = core::rows::ListColumns();
      for (size_t column = 0; column < columns.size(); ++column) {
        const std::string cell = (adapter->*columns[column])();
        FUZZ_CHECK(text.compare(at, cell.size(), cell) == 0, detail);
        at += cell.size();
        const char* after = column + 1 < columns.size() ? ", " : "\n";
        FUZZ_CHECK(text.compare(at, std::char_traits<char>::length(after), after) == 0, detail);
        at += std::char_traits<char>::length(after);
      }
    }
    FUZZ_CHECK(at == text.size(), detail);
  }

  state.log.clear();
  FUZZ_CHECK(registry.LogTriggerList() == core::automation::kOk, detail);
  FUZZ_CHECK(state.log.size() == 1 && state.log[0] == text, detail);

  FUZZ_CHECK(registry.ExportTriggerList(ExportPath()) == core::automation::kOk, detail);
  FUZZ_CHECK(ReadFile(ExportPath()) == text, detail);
  return 0;
}
