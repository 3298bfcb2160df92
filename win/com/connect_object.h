// Connect and Command: the classes through which the host connects the add-in and routes its
// commands, status queries, named-object requests and notifications to it. Both forward to the
// process-wide Addin; they hold no state of their own.
#pragma once

#include <windows.h>

#include "win/com/trigger_ids.h"

#undef GetObject

namespace win::com {

class Connect : public ComObject<Connect, IConnect, Threading::Both> {
 public:
  // 0 when connected, 1 when not: a refusal is no error HRESULT.
  STDMETHODIMP OnConnection(IDispatch* host, VARIANT_BOOL firstTime, LONG cookie) noexcept override;
  STDMETHODIMP OnDisconnection() noexcept override;     // always S_OK
  STDMETHODIMP get_Type(BSTR* type) noexcept override;  // "ADDIN"
};

class Command : public ComObject<Command, ICommand, Threading::Both> {
 public:
  // Only the code is read.
  STDMETHODIMP OnEvent(LONG code, LONG, LONG, LONG, LONG, LONG, LONG, LONG, LONG) noexcept override;
  // "Trigger.TriggerAction", "version", ...: the singleton, or null; always S_OK.
  STDMETHODIMP GetObject(BSTR name, IDispatch** object) noexcept override;
  STDMETHODIMP Exec(LONG command) noexcept override;
  // The trigger command is enabled; other commands' status is left as the host set it.
  STDMETHODIMP QueryStatus(LONG command, LONG* status, LONG reserved) noexcept override;
};

}  // namespace win::com
