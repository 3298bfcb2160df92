// Calls of the host application's members.
#include "win/host/application_calls.h"

#include "win/comkit/conversion.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/module.h"
#include "win/host/com_host.h"

namespace win::host {
namespace {

using win::comkit::ComPtr;
using win::comkit::HandleArg;
using win::comkit::InvokeByName;
using win::comkit::InvokeMember;
using win::comkit::LongArg;
using win::comkit::LongRefArg;
using win::comkit::TextArg;
using win::comkit::UniqueVariant;
using win::comkit::UnsignedLongArg;

// A registration call: the host's one-byte flag, non-zero for success.
bool Register(IDispatch* application, DISPID id, win::comkit::DispArgs args) {
  UniqueVariant result;
  if (FAILED(InvokeMember(application, id, DISPATCH_METHOD, std::move(args), result.Get()))) {
    return false;
  }
  UniqueVariant flag;
  if (FAILED(VariantChangeType(flag.Get(), result.Get(), 0, VT_I4))) return false;
  return V_I4(flag.Get()) != 0;
}

class Win32PopupMenu : public core::addin::PopupMenu {
 public:
  explicit Win32PopupMenu(HMENU menu) : menu_(menu) {}
  HMENU handle() const { return menu_.Get(); }

 private:
  win::comkit::UniqueMenu menu_;
};

class CommandHost : public core::addin::CommandHost {
 public:
  CommandHost(IDispatch* application, HINSTANCE resources)
      : application_(ComPtr<IDispatch>::Share(application)), resources_(resources) {}

  std::string ResourceString(uint32_t id) override {
    return win::comkit::LoadResourceString(resources_, id);
  }
  std::unique_ptr<core::addin::PopupMenu> CreatePopupMenu() override {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    return std::make_unique<Win32PopupMenu>(menu);
  }
  bool AddCommandImages(uint32_t large_bitmap, uint32_t small_bitmap, int32_t* image_index,
                        int32_t flags, int32_t cookie) override {
    LONG index = *image_index;
    const bool ok = Register(kAddCommandImagesDispid,
                             {HandleArg(resources_), LongArg(static_cast<LONG>(large_bitmap)),
                              LongArg(static_cast<LONG>(small_bitmap)), LongRefArg(&index),
                              LongArg(flags), LongArg(cookie)});
    *image_index = index;
    return ok;
  }
  bool AddCommand(const std::string& name, int32_t command, int32_t flags,
                  int32_t cookie) override {
    return Register(kAddCommandDispid,
                    {TextArg(name), LongArg(command), LongArg(flags), LongArg(cookie)});
  }
  bool AddPopupMenu(const std::string& name, int32_t position, int32_t flags,
                    const core::addin::PopupMenu& popup, const std::string& caption,
                    int32_t cookie) override {
    const HMENU menu = static_cast<const Win32PopupMenu&>(popup).handle();
    return Register(kAddPopupMenuDispid, {TextArg(name), LongArg(position), LongArg(flags),
                                          HandleArg(menu), TextArg(caption), LongArg(cookie)});
  }
  bool AddMenuItem(const std::string& name, int32_t position, int32_t flags, int32_t command,
                   int32_t enabled, int32_t cookie) override {
    return Register(kAddMenuItemDispid, {TextArg(name), LongArg(position), LongArg(flags),
                                         LongArg(command), LongArg(enabled), LongArg(cookie)});
  }
  bool AddToolbarButton(const std::string& name, int32_t* image_index, int32_t flags,
                        int32_t cookie) override {
    LONG index = *image_index;
    const bool ok = Register(kAddToolbarButtonDispid,
                             {TextArg(name), LongRefArg(&index), LongArg(flags), LongArg(cookie)});
    *image_index = index;
    return ok;
  }

 private:
  bool Register(DISPID id, win::comkit::DispArgs args) {
    return win::host::Register(application_.Get(), id, std::move(args));
  }

  ComPtr<IDispatch> application_;
  HINSTANCE resources_;
};

}  // namespace

std::unique_ptr<core::addin::CommandHost> MakeCommandHost(IDispatch* application,
                                                          HINSTANCE resources) {
  return std::make_unique<CommandHost>(application, resources);
}

void NotifyViews(IDispatch* application) {
  UniqueVariant ignored;
  InvokeMember(
      application, kNotifyViewsDispid, DISPATCH_METHOD,
      {LongArg(kTriggersChangedCode), UnsignedLongArg(0xFFFFFFFF), UnsignedLongArg(0), LongArg(0)},
      ignored.Get());
}

HRESULT PutAddinWindowActive(IDispatch* application) {
  return InvokeMember(application, kAddinWindowActiveDispid, DISPATCH_PROPERTYPUT, {LongArg(0)},
                      nullptr);
}

bool RemoveWindowKind(IDispatch* application, const std::string& key) {
  return Register(application, kRemoveWindowKindDispid, {TextArg(key)});
}

std::string HelpPath(IDispatch* application) {
  UniqueVariant path;
  if (FAILED(InvokeMember(application, kHelpPathDispid, DISPATCH_PROPERTYGET, {}, path.Get())) ||
      V_VT(path.Get()) != VT_BSTR) {
    return std::string();
  }
  return win::comkit::ToNarrow(V_BSTR(path.Get()));
}

ComPtr<IDispatch> ObjectByName(IDispatch* application, const std::string& name) {
  ComPtr<IDispatch> service;
  UniqueVariant result;
  if (SUCCEEDED(InvokeByName(application, L"Object", DISPATCH_PROPERTYGET, {TextArg(name)},
                             result.Get())) &&
      V_VT(result.Get()) == VT_DISPATCH) {
    service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
  }
  return service;
}

}  // namespace win::host
