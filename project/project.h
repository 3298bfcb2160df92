// A project as a host knows it without running it: its INI file and what the host reads from it.
//
//   [Project]           CpuFamily=<name>, EvaluatorType=<I1|UI1|I2|UI2|I4|UI4|BSTR>
//   [Symbols]           NAME=<expression>  (over the symbols listed before it)
//   [InterruptSources]  NAME=<code>[,<further value>]  (in table order)
//   [Trigger]           the add-in's own section, reached through the profile operations
//
// The profile operations are those the host's Manager service offers the add-in. The add-in
// always passes an empty file name, meaning the open project; the host maps that argument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "project/evaluator.h"
#include "project/ini_file.h"
#include "project/interrupt_source_table.h"

namespace project {

inline constexpr char kProjectSection[] = "Project";
inline constexpr char kCpuFamilyKey[] = "CpuFamily";
// The VARIANT type the evaluator answers in (see AnswerAs); missing: VT_I4, VT_UI4 above 2^31-1.
inline constexpr char kEvaluatorTypeKey[] = "EvaluatorType";
inline constexpr char kSymbolsSection[] = "Symbols";
inline constexpr char kSourcesSection[] = "InterruptSources";
inline constexpr char kTriggerSection[] = "Trigger";

class Project {
 public:
  // A new project without a file; Save needs SaveAs first.
  Project() = default;
  static Project FromText(std::string_view text, std::string path = {});
  static Outcome Open(const std::string& path, Project* project);

  const std::string& path() const { return path_; }
  const IniFile& settings() const { return settings_; }

  // Profile reads: the default when the section or key is missing. An integer is read as a C
  // number (decimal, 0x hexadecimal, leading-0 octal) up to the first character that does not
  // fit; a value that does not begin with a number gives the default too.
  int32_t ReadProfileInt(std::string_view section, std::string_view key,
                         int32_t default_value) const;
  std::string ReadProfileString(std::string_view section, std::string_view key,
                                std::string_view default_value) const;
  // Profile writes mark the project modified when they change it. They refuse (E_INVALIDARG)
  // what the file cannot hold, such as a value with a line break.
  Outcome WriteProfileInt(std::string_view section, std::string_view key, int32_t value);
  Outcome WriteProfileString(std::string_view section, std::string_view key,
                             std::string_view value);

  // Non-zero marks the project modified, zero clears the mark.
  void MarkModified(int32_t flag) { modified_ = flag != 0; }
  bool modified() const { return modified_; }

  Outcome Save();
  Outcome SaveAs(const std::string& path);

  std::string CpuFamily() const { return ReadProfileString(kProjectSection, kCpuFamilyKey, ""); }
  // An evaluated value in the type [Project] EvaluatorType names (see AnswerAs), so that every
  // type an add-in meets can be had. A type the evaluator does not know answers as without it:
  // false, with what is wrong in *problem.
  bool Answer(IntValue value, core::automation::Variant* answer, std::string* problem) const;

  // The symbols, in file order. An entry whose name is not an identifier, whose name is taken
  // already, or whose expression fails is skipped with a warning.
  SymbolTable Symbols(std::vector<std::string>* warnings) const;
  // The interrupt sources, in file order. An entry is skipped with a warning when its name is
  // longer than 16 characters or holds a comma (a definition line could not name it), when the
  // name is taken already (names compare without regard to case, as the add-in compares them),
  // or when its code or value is not a 16-bit number.
  std::vector<InterruptSource> InterruptSources(const SymbolTable& symbols,
                                                std::vector<std::string>* warnings) const;

 private:
  IniFile settings_;
  std::string path_;
  bool modified_ = false;
};

}  // namespace project
