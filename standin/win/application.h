// The host application as an add-in sees it (IVireoApplication): named services, the command,
// menu and toolbar registration, window kinds, view notifications and the help path. The host
// journals every registration call with its arguments, hands out image slots, checks what it can
// (bitmaps in the resource module, a real popup menu, an image slot it gave out) and notes a
// problem in its log rather than failing the call; it refuses a call only when told to
// (Session::SetRefusedCalls). What it takes goes into the table in the session that lists the
// menus and buttons of the add-in, which the IDE window shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "standin/win/command_images.h"
#include "standin/win/services.h"
#include "standin/win/standin_ids.h"

namespace standin::win {

class HostApplication : public ComObject<HostApplication, IVireoApplication, Threading::Apartment> {
 public:
  explicit HostApplication(SessionPtr session) : session_(std::move(session)) {}

  STDMETHODIMP get_HelpPath(BSTR* path) noexcept override;
  STDMETHODIMP put_AddinWindowActive(LONG zero) noexcept override;
  STDMETHODIMP AddCommand(BSTR name, LONG command, LONG flags, LONG cookie,
                          unsigned char* ok) noexcept override;
  STDMETHODIMP AddCommandImages(hyper resources, LONG large_bitmap, LONG small_bitmap,
                                LONG* image_index, LONG flags, LONG cookie,
                                unsigned char* ok) noexcept override;
  STDMETHODIMP NotifyViews(LONG code, VARIANT first, VARIANT second, LONG zero,
                           unsigned char* ok) noexcept override;
  STDMETHODIMP AddMenuItem(BSTR name, LONG position, LONG flags, LONG command, LONG enabled,
                           LONG cookie, unsigned char* ok) noexcept override;
  STDMETHODIMP AddPopupMenu(BSTR name, LONG position, LONG flags, hyper popup, BSTR caption,
                            LONG cookie, unsigned char* ok) noexcept override;
  STDMETHODIMP AddToolbarButton(BSTR name, LONG* image_index, LONG flags, LONG cookie,
                                unsigned char* ok) noexcept override;
  STDMETHODIMP RemoveWindowKind(BSTR key, unsigned char* ok) noexcept override;
  // Null (and a note) for a name the host has no service for.
  STDMETHODIMP get_GetService(BSTR name, IDispatch** service) noexcept override;
  STDMETHODIMP get_Object(BSTR name, IDispatch** service) noexcept override;

  // Reference accounting. The host keeps one reference on every service object it made; what
  // is counted beyond that, and on the application beyond `application_baseline` (its count
  // before the add-in was given it), was handed out and not given back. One line per object
  // that is still held ("Marlin.Manager#1: 1 reference"), empty when nothing is.
  std::string HeldReferences(ULONG application_baseline);
  // A new service object for every GetService and Object, rather than one per name: each
  // reference then belongs to one request, and a cache in the caller shows.
  void SetFreshServices(bool fresh) { fresh_services_ = fresh; }
  bool FreshServices() const { return fresh_services_; }

  // The bitmaps add-ins registered, for the IDE window's toolbar.
  const CommandImages& images() const { return images_; }

 private:
  struct Made {
    size_t service;  // index of the service name
    int serial;      // 1, 2, ... per name
    ::win::comkit::ComPtr<IDispatch> object;
  };

  // Journals the call and answers it: 1, or 0 when the host was told to refuse `method`.
  void Answer(const char* method, model::CallKind kind, const std::string& call, unsigned char* ok);
  HRESULT Service(BSTR name, const char* member, IDispatch** service) noexcept;
  void CheckName(const char* method, const std::string& name);
  // Notes what the host has to say about a registration it kept.
  void Note(const model::Notes& notes);

  SessionPtr session_;
  std::vector<Made> made_;  // every service object made, in order
  bool fresh_services_ = false;
  CommandImages images_;
};

}  // namespace standin::win
