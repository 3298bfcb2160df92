// What surrounds a trigger: the registry checks, the bridge to the debugger, the host log, the
// trigger window and the platform call that registers window messages. Every trigger is given one
// context at construction; the registry, the COM module and the tests each build their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/hresult.h"

namespace core::triggers {

using automation::HResult;

class CTrigger;

class TriggerContext {
 public:
  virtual ~TriggerContext() = default;

  // The registry. S_OK or E_FAIL, as the registry's operations of the same names answer.
  virtual HResult CheckNameUniqueExcept(const std::string& name, int32_t number) = 0;
  virtual HResult CheckInterruptSource(const std::string& source) = 0;
  // Leaves *code as it was when a name matches no source.
  virtual HResult ResolveInterruptSource(const std::string& source, int32_t* code) = 0;
  // The lowest number whose trigger bears the name, -1 when none does.
  virtual int32_t FindNumberByName(const std::string& name) = 0;
  // The trigger has just taken a new name (the registry keeps an index of names).
  virtual void NameChanged(const CTrigger& trigger);

  // The bridge: 0 for success, 1 for failure (Evaluate: an HRESULT).
  virtual int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                            bool in_simulator) = 0;
  // `previous` is the name the event had, null for a trigger that has no event name yet.
  virtual int SetEventName(int32_t id, const std::string& name, const std::string* previous) = 0;
  virtual HResult Evaluate(const std::string& expression, int32_t* value) = 0;

  // One line in the host's log window; callers ignore the result.
  virtual HResult WriteLog(const std::string& text) = 0;
  // A line a kind logs about one of its fields (a refused value): by default the text alone.
  virtual HResult WriteFieldLog(const std::string& field, const std::string& text);

  // What a trigger found wrong with a definition line it read (a field it could not read or did
  // not take), or why its Register did not define it, where the kind logs nothing itself. The
  // results tell the caller that something failed; these say what. Nothing is done with them by
  // default: the registry logs them while it loads a project, naming the line's key.
  enum class Problem { Field, NotRegistered };
  virtual void NoteProblem(Problem problem, const std::string& field, const std::string& text);

  // Asks the trigger window, if it is open, to show the triggers afresh.
  virtual void RefreshTriggerWindow() = 0;

  // The system-wide message number of a registered window-message name (RegisterWindowMessageA on
  // Windows), 0 on failure.
  virtual uint32_t RegisterMessageName(const std::string& name) = 0;
};

// A context with nothing around it: no registry, no host. Registry checks and the bridge fail,
// the log is unavailable and the window refresh does nothing; window messages are numbered by a
// deterministic stand-in for the platform's registration.
class DetachedContext : public TriggerContext {
 public:
  HResult CheckNameUniqueExcept(const std::string& name, int32_t number) override;
  HResult CheckInterruptSource(const std::string& source) override;
  HResult ResolveInterruptSource(const std::string& source, int32_t* code) override;
  int32_t FindNumberByName(const std::string& name) override;
  int DefineTrigger(int32_t id, const std::string& name, const std::vector<uint8_t>& record,
                    bool in_simulator) override;
  int SetEventName(int32_t id, const std::string& name, const std::string* previous) override;
  HResult Evaluate(const std::string& expression, int32_t* value) override;
  HResult WriteLog(const std::string& text) override;
  void RefreshTriggerWindow() override {}
  uint32_t RegisterMessageName(const std::string& name) override;
};

// The portable stand-in for RegisterWindowMessageA: the same name (compared without regard to
// case, as the platform does) gives the same number in 0xC000..0xFFFF; an empty name gives 0.
uint32_t PortableWindowMessage(const std::string& name);

}  // namespace core::triggers
