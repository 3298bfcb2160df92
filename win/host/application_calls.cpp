// Calls of the host application's members.
#include "win/host/application_calls.h"

#include "win/com/conversion.h"
#include "win/com/module.h"
#include "win/host/com_host.h"

namespace win::host {
namespace {

using win::com::ComPtr;
using win::com::UniqueVariant;

VARIANT Long(LONG value) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

VARIANT LongRef(LONG* value) {
  VARIANT v;
  V_VT(&v) = VT_I4 | VT_BYREF;
  V_I4REF(&v) = value;
  return v;
}

// Module and menu handles travel as 64-bit integers.
VARIANT Handle(const void* handle) {
  VARIANT v;
  V_VT(&v) = VT_I8;
  V_I8(&v) = static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(handle));
  return v;
}

VARIANT UnsignedLong(ULONG value) {
  VARIANT v;
  V_VT(&v) = VT_UI4;
  V_UI4(&v) = value;
  return v;
}

VARIANT Text(const std::string& text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  if (FAILED(win::com::ToBstr(text, &V_BSTR(&v)))) throw std::bad_alloc();
  return v;
}

// A registration call: the host's one-byte flag, non-zero for success.
bool Register(IDispatch* application, DISPID id, std::vector<VARIANT> args) {
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
  ~Win32PopupMenu() override { DestroyMenu(menu_); }
  HMENU handle() const { return menu_; }

 private:
  HMENU menu_;
};

class CommandHost : public core::addin::CommandHost {
 public:
  CommandHost(IDispatch* application, HINSTANCE resources)
      : application_(ComPtr<IDispatch>::Share(application)), resources_(resources) {}

  std::string ResourceString(uint32_t id) override {
    return win::com::LoadResourceString(resources_, id);
  }
  std::unique_ptr<core::addin::PopupMenu> CreatePopupMenu() override {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    return std::make_unique<Win32PopupMenu>(menu);
  }
  bool AddCommandImages(uint32_t large_bitmap, uint32_t small_bitmap, int32_t* image_index,
                        int32_t flags, int32_t cookie) override {
    LONG index = *image_index;
    const bool ok = Register(
        kAddCommandImagesDispid,
        {Handle(resources_), Long(static_cast<LONG>(large_bitmap)),
         Long(static_cast<LONG>(small_bitmap)), LongRef(&index), Long(flags), Long(cookie)});
    *image_index = index;
    return ok;
  }
  bool AddCommand(const std::string& name, int32_t command, int32_t flags,
                  int32_t cookie) override {
    return Register(kAddCommandDispid, {Text(name), Long(command), Long(flags), Long(cookie)});
  }
  bool AddPopupMenu(const std::string& name, int32_t position, int32_t flags,
                    const core::addin::PopupMenu& popup, const std::string& caption,
                    int32_t cookie) override {
    const HMENU menu = static_cast<const Win32PopupMenu&>(popup).handle();
    return Register(kAddPopupMenuDispid, {Text(name), Long(position), Long(flags), Handle(menu),
                                          Text(caption), Long(cookie)});
  }
  bool AddMenuItem(const std::string& name, int32_t position, int32_t flags, int32_t command,
                   int32_t enabled, int32_t cookie) override {
    return Register(kAddMenuItemDispid, {Text(name), Long(position), Long(flags), Long(command),
                                         Long(enabled), Long(cookie)});
  }
  bool AddToolbarButton(const std::string& name, int32_t* image_index, int32_t flags,
                        int32_t cookie) override {
    LONG index = *image_index;
    const bool ok =
        Register(kAddToolbarButtonDispid, {Text(name), LongRef(&index), Long(flags), Long(cookie)});
    *image_index = index;
    return ok;
  }

 private:
  bool Register(DISPID id, std::vector<VARIANT> args) {
    return win::host::Register(application_.Get(), id, std::move(args));
  }

  ComPtr<IDispatch> application_;
  HINSTANCE resources_;
};

}  // namespace

HRESULT InvokeMember(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
                     VARIANT* result) {
  // DISPPARAMS carry the arguments last first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception = {};
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result,
                              &exception, nullptr);
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    hr = FAILED(exception.scode) ? exception.scode : E_FAIL;
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

std::unique_ptr<core::addin::CommandHost> MakeCommandHost(IDispatch* application,
                                                          HINSTANCE resources) {
  return std::make_unique<CommandHost>(application, resources);
}

void NotifyViews(IDispatch* application) {
  UniqueVariant ignored;
  InvokeMember(application, kNotifyViewsDispid, DISPATCH_METHOD,
               {Long(kTriggersChangedCode), UnsignedLong(0xFFFFFFFF), UnsignedLong(0), Long(0)},
               ignored.Get());
}

HRESULT PutAddinWindowActive(IDispatch* application) {
  VARIANT zero = Long(0);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&zero, &put, 1, 1};
  return application->Invoke(kAddinWindowActiveDispid, IID_NULL, LOCALE_SYSTEM_DEFAULT,
                             DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

bool RemoveWindowKind(IDispatch* application, const std::string& key) {
  return Register(application, kRemoveWindowKindDispid, {Text(key)});
}

std::string HelpPath(IDispatch* application) {
  UniqueVariant path;
  if (FAILED(InvokeMember(application, kHelpPathDispid, DISPATCH_PROPERTYGET, {}, path.Get())) ||
      V_VT(path.Get()) != VT_BSTR) {
    return std::string();
  }
  return win::com::ToNarrow(V_BSTR(path.Get()));
}

ComPtr<IDispatch> ObjectByName(IDispatch* application, const std::string& name) {
  ComPtr<IDispatch> service;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Object")};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) {
    return service;
  }
  UniqueVariant result;
  if (SUCCEEDED(InvokeMember(application, id, DISPATCH_PROPERTYGET, {Text(name)}, result.Get())) &&
      V_VT(result.Get()) == VT_DISPATCH) {
    service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
  }
  return service;
}

}  // namespace win::host
