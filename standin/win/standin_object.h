// Standin ("Vireo.Standin"): the stand-in's automation object for people, scripts and tests. It
// owns the session and the host application an add-in is connected to, connects and disconnects
// the add-in by the ProgIDs of its Connect and Command classes, routes commands, status queries,
// notifications and named-object requests to it, drives the simulator and reports what the add-in
// did to the host. Failures carry a description (error information) that says what went wrong.
//
// The add-in is driven through its IConnect and ICommand interfaces directly, not through
// IDispatch: OnConnection reports a refusal as the success code 1, which a dispatch call would
// turn into plain success.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "standin/win/application.h"
#include "standin/win/standin_ids.h"

namespace standin::win {

class IdeFrame;

class Standin : public ComObject<Standin, IVireoStandin, Threading::Apartment> {
 public:
  Standin();
  // A host that goes away disconnects its add-in first.
  ~Standin() override;

  // The project.
  STDMETHODIMP OpenProject(BSTR path) noexcept override;
  STDMETHODIMP SaveProject() noexcept override;
  STDMETHODIMP SaveProjectAs(BSTR path) noexcept override;
  STDMETHODIMP get_ProjectPath(BSTR* path) noexcept override;
  STDMETHODIMP get_Modified(VARIANT_BOOL* modified) noexcept override;
  STDMETHODIMP put_Modified(VARIANT_BOOL modified) noexcept override;
  STDMETHODIMP get_CpuFamily(BSTR* name) noexcept override;
  STDMETHODIMP Setting(BSTR section, BSTR key, VARIANT* value) noexcept override;
  STDMETHODIMP WriteSetting(BSTR section, BSTR key, BSTR value) noexcept override;
  STDMETHODIMP SectionText(BSTR section, BSTR* text) noexcept override;
  STDMETHODIMP Evaluate(BSTR expression, VARIANT* value) noexcept override;

  // The add-in.
  STDMETHODIMP Connect(BSTR connect_prog_id, BSTR command_prog_id, VARIANT_BOOL first_time,
                       LONG* result) noexcept override;
  STDMETHODIMP Disconnect() noexcept override;
  STDMETHODIMP get_Connected(VARIANT_BOOL* connected) noexcept override;
  STDMETHODIMP QueryStatus(LONG command, LONG initial, LONG* status) noexcept override;
  STDMETHODIMP Exec(LONG command) noexcept override;
  STDMETHODIMP OnEvent(LONG code) noexcept override;
  STDMETHODIMP GetObject(BSTR name, IDispatch** object) noexcept override;
  STDMETHODIMP get_Application(IDispatch** application) noexcept override;
  STDMETHODIMP get_Cookie(LONG* cookie) noexcept override;

  // What the add-in did to the host.
  STDMETHODIMP get_Log(BSTR* text) noexcept override;
  STDMETHODIMP ClearLog() noexcept override;
  STDMETHODIMP get_EventList(BSTR* text) noexcept override;
  STDMETHODIMP get_Commands(BSTR* text) noexcept override;
  STDMETHODIMP get_Menus(BSTR* text) noexcept override;
  STDMETHODIMP get_Calls(BSTR* text) noexcept override;
  STDMETHODIMP ClearCalls() noexcept override;
  STDMETHODIMP get_RefusedCalls(BSTR* names) noexcept override;
  STDMETHODIMP put_RefusedCalls(BSTR names) noexcept override;

  // The simulator.
  STDMETHODIMP get_DecodedRecords(BSTR* text) noexcept override;
  STDMETHODIMP get_SimulatorState(BSTR* text) noexcept override;
  STDMETHODIMP get_SimulatorJournal(BSTR* text) noexcept override;
  STDMETHODIMP ClearSimulatorJournal() noexcept override;
  STDMETHODIMP Activate(LONG id) noexcept override;
  STDMETHODIMP Deactivate(LONG id) noexcept override;
  STDMETHODIMP Fire(LONG id) noexcept override;
  STDMETHODIMP Reset(LONG id) noexcept override;
  STDMETHODIMP IsActive(LONG id, VARIANT_BOOL* active) noexcept override;
  STDMETHODIMP FireCount(LONG id, LONG* count) noexcept override;
  // The held record of a trigger byte for byte, as two hexadecimal digits per byte.
  STDMETHODIMP RecordBytes(LONG id, BSTR* bytes) noexcept override;

  // The host journal and the reference accounting.
  STDMETHODIMP get_Journal(BSTR* text) noexcept override;
  STDMETHODIMP ClearJournal() noexcept override;
  STDMETHODIMP get_FreshServices(VARIANT_BOOL* fresh) noexcept override;
  STDMETHODIMP put_FreshServices(VARIANT_BOOL fresh) noexcept override;
  // What the add-in still held of the host's after its last disconnection (or refused
  // connection), one line per object; empty when it gave everything back.
  STDMETHODIMP get_HeldReferences(BSTR* text) noexcept override;
  // The IDE window (standin_window.cpp). Window handles cross as numbers; a handle's significant
  // bits fit a long.
  STDMETHODIMP ShowWindow(LONG* window) noexcept override;
  STDMETHODIMP get_MainWindow(LONG* window) noexcept override;
  STDMETHODIMP CloseWindow(VARIANT_BOOL ask, VARIANT_BOOL* closed) noexcept override;
  STDMETHODIMP WaitIdle(LONG timeout, VARIANT_BOOL* idle) noexcept override;
  STDMETHODIMP RunWindow() noexcept override;
  STDMETHODIMP RunCommand(LONG command) noexcept override;
  STDMETHODIMP get_WindowList(BSTR* titles) noexcept override;

  // Makes the host application (ComObject's creation runs it).
  HRESULT FinalConstruct() override;

 private:
  // Sends a per-trigger command block to the simulator, as the debugger would.
  HRESULT SimulatorCommand(uint16_t code, LONG id) noexcept;
  HRESULT RequireCommand() const;
  void ReleaseAddin();
  // Once the add-in is released: what it still holds goes to HeldReferences and the journal.
  void AccountReferences();
  // The IDE window while it is open, else null.
  IdeFrame* Frame() const;
  // Offers a message to the IDE window's shortcuts.
  bool PreTranslate(MSG* message) const;

  SessionPtr session_;
  ::win::comkit::ComPtr<HostApplication> application_;
  ::win::comkit::ComPtr<IConnect> connect_;
  ::win::comkit::ComPtr<ICommand> command_;
  LONG cookie_ = 0;                 // of the connected add-in; 0 when none is
  LONG last_cookie_ = 0;            // every connection gets a new one
  ULONG application_baseline_ = 0;  // the application's reference count before OnConnection
  std::string held_;
  std::unique_ptr<IdeFrame> frame_;
};

// Sets the error information of the calling thread (source "Vireo.Standin", the description)
// and returns `hr`, for failures a script should be able to read.
HRESULT Fail(HRESULT hr, const std::string& description) noexcept;

}  // namespace standin::win
