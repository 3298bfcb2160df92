// A strict fake of a trigger's surroundings: every call is recorded as one line of text, in
// order; answers are scripted per test. Records handed to DefineTrigger are kept whole, and the
// problems a trigger notes about its line apart from the calls.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/automation/numbers.h"
#include "core/automation/strings.h"
#include "core/triggers/interrupt_sources.h"
#include "core/triggers/trigger_context.h"

namespace fakes {

class FakeContext : public core::triggers::TriggerContext {
 public:
  using HResult = core::automation::HResult;

  std::vector<std::string> calls;
  std::vector<std::string> log;  // texts written to the host log
  std::vector<std::vector<uint8_t>> records;
  std::vector<std::string> notes;  // "field: text", "not registered: field: text"

  HResult name_check = 0;                    // CheckNameUniqueExcept's answer
  core::triggers::InterruptSources sources;  // the registry's interrupt source table
  std::map<std::string, int32_t> numbers;    // FindNumberByName
  int define_result = 0;
  int event_name_result = 0;
  std::map<std::string, int32_t> symbols;  // Evaluate: known expressions
  bool numerals = false;  // Evaluate: a text that is one number in C notation has its value
  HResult evaluate_failure = core::automation::kFail;
  uint32_t message_number = 0;  // RegisterMessageName's answer; 0: the portable numbering

  // The registry's rules for interrupt sources, over the scripted table.
  HResult CheckInterruptSource(const std::string& source) override {
    calls.push_back("CheckInterruptSource(" + source + ")");
    return sources.Check(source);
  }
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override {
    calls.push_back("ResolveInterruptSource(" + source + ")");
    sources.Resolve(source, code);
    return 0;
  }
  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) override {
    calls.push_back(core::automation::Format("CheckNameUniqueExcept(%s,%d)", name.c_str(), number));
    return name_check;
  }
  int32_t FindNumberByName(const std::string& name) override {
    calls.push_back("FindNumberByName(" + name + ")");
    auto it = numbers.find(name);
    return it == numbers.end() ? -1 : it->second;
  }
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator) override {
    calls.push_back(core::automation::Format("DefineTrigger(%d,%s,%zu bytes,%d)", id, name.c_str(),
                                             record.size(), in_simulator ? 1 : 0));
    records.push_back(record);
    return define_result;
  }
  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override {
    calls.push_back(core::automation::Format("SetEventName(%d,%s,%s)", id, name.c_str(),
                                             previous ? "rename" : "fresh"));
    return event_name_result;
  }
  HResult Evaluate(const std::string& expression, int32_t* value) override {
    calls.push_back("Evaluate(" + expression + ")");
    auto it = symbols.find(expression);
    if (it != symbols.end()) {
      *value = it->second;
      return 0;
    }
    const auto numeral = core::automation::ReadUnsigned(expression);
    if (!numerals || numeral.consumed == 0 || numeral.consumed != expression.size()) {
      return evaluate_failure;
    }
    *value = static_cast<int32_t>(numeral.value);
    return 0;
  }
  HResult WriteLog(const std::string& text) override {
    calls.push_back("WriteLog(" + text + ")");
    log.push_back(text);
    return 0;
  }
  void NoteProblem(Problem problem, const std::string& field, const std::string& text) override {
    notes.push_back((problem == Problem::NotRegistered ? "not registered: " : "") +
                    (field.empty() ? "" : field + ": ") + text);
  }
  void RefreshTriggerWindow() override { calls.push_back("RefreshTriggerWindow()"); }
  uint32_t RegisterMessageName(const std::string& name) override {
    calls.push_back("RegisterMessageName(" + name + ")");
    return message_number ? message_number : core::triggers::PortableWindowMessage(name);
  }
};

}  // namespace fakes
