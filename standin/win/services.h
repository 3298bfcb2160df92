// The host services an add-in obtains by name through GetService of the application: the Manager
// of the debugger server, TargetCommand, EventCommand and MemoryCommand, the evaluator, the log
// window and the CPU family. Each is one object per application, answering its own interface, and
// forwards to the session. A call to a method in one of the Reserved places means the caller has
// the layout of the interface wrong; the host says so in its log.
#pragma once

#include <windows.h>

// The profile API defines WriteProfileString as a macro, which would rename the methods of that
// name on the project and on the Manager.
#undef WriteProfileString

#include <cstddef>
#include <memory>
#include <string_view>

#include "standin/model/session.h"
#include "standin/win/dispatch_object.h"
#include "standin/win/standin_ids.h"

namespace standin::win {

using SessionPtr = std::shared_ptr<model::Session>;
using ::win::comkit::ComObject;
using ::win::comkit::Threading;

// The services by name, in a fixed order; names compare without regard to case.
inline constexpr size_t kServiceCount = 7;
// kServiceCount when there is no service of that name.
size_t FindService(std::string_view name);
const char* ServiceName(size_t index);
HRESULT CreateService(size_t index, const SessionPtr& session, IDispatch** out) noexcept;

// What the service classes share: the session and the note about an unexpected method.
class ServiceBase {
 protected:
  explicit ServiceBase(SessionPtr session) : session_(std::move(session)) {}
  HRESULT Unexpected(const char* interface_name, int position) noexcept;

  SessionPtr session_;
};

// A placeholder method: `n` is its vtable position, written with two digits.
#define STANDIN_RESERVED(n) \
  STDMETHODIMP Reserved##n() noexcept override { return Unexpected(kInterface, 1##n - 100); }
#define STANDIN_RESERVED_DECADE(d) \
  STANDIN_RESERVED(d##0)           \
  STANDIN_RESERVED(d##1)           \
  STANDIN_RESERVED(d##2)           \
  STANDIN_RESERVED(d##3)           \
  STANDIN_RESERVED(d##4)           \
  STANDIN_RESERVED(d##5)           \
  STANDIN_RESERVED(d##6)           \
  STANDIN_RESERVED(d##7)           \
  STANDIN_RESERVED(d##8)           \
  STANDIN_RESERVED(d##9)

// Marlin.Manager: the open project's settings and its modified mark. The add-in passes an empty
// file name, meaning the open project; the host offers no other file.
class Manager : public ComObject<Manager, IVireoManager, Threading::Apartment>, ServiceBase {
 public:
  explicit Manager(SessionPtr session) : ServiceBase(std::move(session)) {}

  STDMETHODIMP ReadProfileInt(BSTR file, BSTR section, BSTR key, LONG default_value,
                              LONG* value) noexcept override;
  STDMETHODIMP WriteProfileInt(BSTR file, BSTR section, BSTR key, LONG value) noexcept override;
  STDMETHODIMP ReadProfileString(BSTR file, BSTR section, BSTR key, BSTR default_value,
                                 BSTR* value) noexcept override;
  STDMETHODIMP WriteProfileString(BSTR file, BSTR section, BSTR key, BSTR value) noexcept override;
  STDMETHODIMP MarkProjectModified(LONG modified) noexcept override;

  static constexpr const char* kInterface = "IVireoManager";
  STANDIN_RESERVED(07)
  STANDIN_RESERVED(08)
  STANDIN_RESERVED(09)
  STANDIN_RESERVED(10)
  STANDIN_RESERVED(11)
  STANDIN_RESERVED(12)
  STANDIN_RESERVED(13)
  STANDIN_RESERVED(14)
  STANDIN_RESERVED(15)
  STANDIN_RESERVED(16)
  STANDIN_RESERVED(17)
  STANDIN_RESERVED(22)
  STANDIN_RESERVED(23)
  STANDIN_RESERVED(24)
  STANDIN_RESERVED(25)
  STANDIN_RESERVED(26)
  STANDIN_RESERVED(27)
  STANDIN_RESERVED(28)
  STANDIN_RESERVED(29)
  STANDIN_RESERVED_DECADE(3)
  STANDIN_RESERVED(40)
  STANDIN_RESERVED(41)
  STANDIN_RESERVED(42)
  STANDIN_RESERVED(43)
  STANDIN_RESERVED(44)
  STANDIN_RESERVED(45)
  STANDIN_RESERVED(46)
  STANDIN_RESERVED(47)
  STANDIN_RESERVED(48)
};

// Marlin.TargetCommand: "SimCommand" into the simulator. The block arrives as a VARIANT of type
// VT_BYREF (no base type) pointing at a command block or trigger record; the reply, when the
// simulator gives one, goes back the same way: VT_BYREF pointing at a malloc'ed reply block that
// the caller frees.
class TargetCommand : public ComObject<TargetCommand, IVireoTargetCommand, Threading::Apartment>,
                      ServiceBase {
 public:
  explicit TargetCommand(SessionPtr session) : ServiceBase(std::move(session)) {}

  STDMETHODIMP Command(BSTR name, LONG argument, VARIANT block, VARIANT* reply) noexcept override;

  static constexpr const char* kInterface = "IVireoTargetCommand";
  STANDIN_RESERVED(07)
  STANDIN_RESERVED(08)
  STANDIN_RESERVED(09)
  STANDIN_RESERVED(10)
  STANDIN_RESERVED(11)
  STANDIN_RESERVED(12)
  STANDIN_RESERVED(13)
  STANDIN_RESERVED(14)
};

// Marlin.EventCommand: event names by trigger id.
class EventCommand : public ComObject<EventCommand, IVireoEventCommand, Threading::Apartment>,
                     ServiceBase {
 public:
  explicit EventCommand(SessionPtr session) : ServiceBase(std::move(session)) {}

  STDMETHODIMP AddEventName(LONG id, BSTR name) noexcept override;
  // E_FAIL when the id has no name.
  STDMETHODIMP RemoveEventName(LONG id) noexcept override;

  static constexpr const char* kInterface = "IVireoEventCommand";
  STANDIN_RESERVED(07)
  STANDIN_RESERVED(08)
  STANDIN_RESERVED(09)
  STANDIN_RESERVED_DECADE(1)
  STANDIN_RESERVED_DECADE(2)
  STANDIN_RESERVED_DECADE(3)
  STANDIN_RESERVED_DECADE(4)
  STANDIN_RESERVED_DECADE(5)
  STANDIN_RESERVED_DECADE(6)
  STANDIN_RESERVED_DECADE(7)
  STANDIN_RESERVED_DECADE(8)
  STANDIN_RESERVED(90)
  STANDIN_RESERVED(91)
  STANDIN_RESERVED(92)
};

// Marlin.MemoryCommand: the trigger window tells the debugger that the trigger set may have
// changed; the host journals it.
class MemoryCommand : public ComObject<MemoryCommand, IVireoMemoryCommand, Threading::Apartment>,
                      ServiceBase {
 public:
  explicit MemoryCommand(SessionPtr session) : ServiceBase(std::move(session)) {}

  STDMETHODIMP TriggersChanged() noexcept override;

  static constexpr const char* kInterface = "IVireoMemoryCommand";
  STANDIN_RESERVED(07)
  STANDIN_RESERVED(08)
  STANDIN_RESERVED(09)
  STANDIN_RESERVED_DECADE(1)
  STANDIN_RESERVED_DECADE(2)
  STANDIN_RESERVED_DECADE(3)
  STANDIN_RESERVED_DECADE(4)
  STANDIN_RESERVED(50)
  STANDIN_RESERVED(51)
  STANDIN_RESERVED(52)
  STANDIN_RESERVED(53)
  STANDIN_RESERVED(54)
};

#undef STANDIN_RESERVED_DECADE
#undef STANDIN_RESERVED

// Quillon.Evaluation: address expressions over the project's symbols; VT_I4, or VT_UI4 for an
// unsigned value above 0x7FFFFFFF. A failure is E_FAIL: the add-in reports it in its own words.
class Evaluation : public ComObject<Evaluation, IVireoEvaluation, Threading::Apartment>,
                   ServiceBase {
 public:
  explicit Evaluation(SessionPtr session) : ServiceBase(std::move(session)) {}

  STDMETHODIMP Evaluate(BSTR expression, VARIANT* result) noexcept override;
};

// Tamber.Service: the log window; "AddLogString" adds one entry, line feeds and all.
class LogService : public DispatchObject {
 public:
  explicit LogService(SessionPtr session);

 protected:
  HRESULT Call(DISPID id, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception) override;

 private:
  SessionPtr session_;
};

// Pennant.Service: "GetCPUName" gives the project's CPU family.
class CpuService : public DispatchObject {
 public:
  explicit CpuService(SessionPtr session);

 protected:
  HRESULT Call(DISPID id, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception) override;

 private:
  SessionPtr session_;
};

}  // namespace standin::win
