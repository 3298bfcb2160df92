// The host application.
#include "standin/win/application.h"

#include <psapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/automation/strings.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using core::automation::Format;
using model::CallKind;
using ::win::comkit::FromVariant;
using ::win::comkit::Guard;
using ::win::comkit::ToBstr;
using ::win::comkit::ToNarrow;

// The file name of the module behind a handle, empty when the handle is no module of the process.
// A file loaded as data has no module name (*as_data is then set), so the name of the file mapped
// at its address stands in.
std::string ModuleFileName(uint64_t handle, bool* as_data) {
  *as_data = false;
  if (handle == 0) return std::string();
  wchar_t path[MAX_PATH] = L"";
  HMODULE module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(handle));
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    *as_data = true;
    void* base = reinterpret_cast<void*>(static_cast<uintptr_t>(handle) & ~uintptr_t{3});
    length = GetMappedFileNameW(GetCurrentProcess(), base, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
  }
  const std::string full = ToNarrow(path, length);
  const size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::string Quoted(BSTR text) { return '"' + ToNarrow(text) + '"'; }

// The entries of a popup menu an add-in hands over, copied: it may destroy the menu as soon as
// the call returns. A sub-menu inside it becomes an entry without a command, which the table
// leaves out.
std::vector<model::MenuEntry> MenuEntries(HMENU menu) {
  std::vector<model::MenuEntry> entries;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    item.dwTypeData = text;
    item.cch = ARRAYSIZE(text);
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
    if (item.fType & MFT_SEPARATOR) {
      entries.push_back({});
      continue;
    }
    const LONG command = item.hSubMenu ? 0 : static_cast<LONG>(item.wID);
    entries.push_back({ToNarrow(std::wstring(text)), command, (item.fState & MFS_DISABLED) == 0});
  }
  return entries;
}

}  // namespace

void HostApplication::Answer(const char* method, CallKind kind, const std::string& call,
                             unsigned char* ok) {
  const bool refused = session_->Refuses(method);
  session_->RecordCall(kind, refused ? call + " refused" : call);
  if (refused) session_->Note(std::string(method) + " refused, as the host was told to");
  *ok = refused ? 0 : 1;
}

void HostApplication::Note(const model::Notes& notes) {
  for (const std::string& note : notes) session_->Note(note);
}

void HostApplication::CheckName(const char* method, const std::string& name) {
  if (name.empty()) session_->Note(std::string(method) + ": the name is empty");
}

STDMETHODIMP HostApplication::get_HelpPath(BSTR* path) noexcept {
  if (path == nullptr) return E_POINTER;
  *path = nullptr;
  return Guard([&] { return ToBstr(session_->HelpPath(), path); });
}

STDMETHODIMP HostApplication::put_AddinWindowActive(LONG zero) noexcept {
  return Guard([&] {
    session_->RecordCall(CallKind::Other, Format("AddinWindowActive = %ld", zero));
    return S_OK;
  });
}

STDMETHODIMP HostApplication::AddCommand(BSTR name, LONG command, LONG flags, LONG cookie,
                                         unsigned char* ok) noexcept {
  if (ok == nullptr) return E_POINTER;
  return Guard([&] {
    CheckName("AddCommand", ToNarrow(name));
    Answer("AddCommand", CallKind::Command,
           Format("AddCommand(%s, %ld, %ld, %ld)", Quoted(name).c_str(), command, flags, cookie),
           ok);
    if (*ok) Note(session_->addin_commands().AddCommand(cookie, ToNarrow(name), command));
    return S_OK;
  });
}

STDMETHODIMP HostApplication::AddCommandImages(hyper resources, LONG large_bitmap,
                                               LONG small_bitmap, LONG* image_index, LONG flags,
                                               LONG cookie, unsigned char* ok) noexcept {
  if (ok == nullptr || image_index == nullptr) return E_POINTER;
  return Guard([&] {
    const uint64_t handle = static_cast<uint64_t>(resources);
    bool as_data = false;
    const std::string module = ModuleFileName(handle, &as_data);
    if (module.empty()) {
      session_->Note(Format("AddCommandImages: 0x%llX is no module of the process",
                            static_cast<unsigned long long>(handle)));
    } else {
      // The host keeps the handle as a module handle. GetModuleFileName and the other module
      // functions refuse the handle of a data file.
      if (as_data) {
        session_->Note("AddCommandImages: " + module +
                       " was loaded as a data file, so its handle is no module handle");
      }
      HMODULE resource_module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(handle));
      for (LONG bitmap : {large_bitmap, small_bitmap}) {
        if (FindResourceW(resource_module, MAKEINTRESOURCEW(bitmap), MAKEINTRESOURCEW(2)) ==
            nullptr) {  // RT_BITMAP
          session_->Note(
              Format("AddCommandImages: bitmap %ld is not in %s", bitmap, module.c_str()));
        }
      }
    }
    const std::string where =
        module.empty() ? Format("0x%llX", static_cast<unsigned long long>(handle)) : module;
    const bool refused = session_->Refuses("AddCommandImages");
    if (!refused) {
      *image_index = session_->AssignImage();
      if (!module.empty()) {
        images_.Add(*image_index, reinterpret_cast<HMODULE>(static_cast<uintptr_t>(handle)),
                    large_bitmap, small_bitmap);
      }
    }
    Answer("AddCommandImages", CallKind::Command,
           Format("AddCommandImages(%s, %ld, %ld, image %ld, %ld, %ld)", where.c_str(),
                  large_bitmap, small_bitmap, *image_index, flags, cookie),
           ok);
    return S_OK;
  });
}

STDMETHODIMP HostApplication::NotifyViews(LONG code, VARIANT first, VARIANT second, LONG zero,
                                          unsigned char* ok) noexcept {
  if (ok == nullptr) return E_POINTER;
  return Guard([&] {
    Answer("NotifyViews", CallKind::Other,
           Format("NotifyViews(%ld, %s, %s, %ld)", code, FromVariant(first).Describe().c_str(),
                  FromVariant(second).Describe().c_str(), zero),
           ok);
    return S_OK;
  });
}

STDMETHODIMP HostApplication::AddMenuItem(BSTR name, LONG position, LONG flags, LONG command,
                                          LONG enabled, LONG cookie, unsigned char* ok) noexcept {
  if (ok == nullptr) return E_POINTER;
  return Guard([&] {
    CheckName("AddMenuItem", ToNarrow(name));
    Answer("AddMenuItem", CallKind::Menu,
           Format("AddMenuItem(%s, %ld, %ld, %ld, %ld, %ld)", Quoted(name).c_str(), position, flags,
                  command, enabled, cookie),
           ok);
    if (*ok) {
      Note(session_->addin_commands().AddMenuItem(cookie, ToNarrow(name), position, flags, command,
                                                  enabled != 0));
    }
    return S_OK;
  });
}

STDMETHODIMP HostApplication::AddPopupMenu(BSTR name, LONG position, LONG flags, hyper popup,
                                           BSTR caption, LONG cookie, unsigned char* ok) noexcept {
  if (ok == nullptr) return E_POINTER;
  return Guard([&] {
    CheckName("AddPopupMenu", ToNarrow(name));
    const bool is_menu =
        popup != 0 && IsMenu(reinterpret_cast<HMENU>(static_cast<uintptr_t>(popup)));
    const std::string menu =
        is_menu ? "menu" : Format("0x%llX", static_cast<unsigned long long>(popup));
    if (!is_menu) session_->Note("AddPopupMenu: " + menu + " is not a menu handle");
    Answer("AddPopupMenu", CallKind::Menu,
           Format("AddPopupMenu(%s, %ld, %ld, %s, %s, %ld)", Quoted(name).c_str(), position, flags,
                  menu.c_str(), Quoted(caption).c_str(), cookie),
           ok);
    if (*ok) {
      std::vector<model::MenuEntry> entries;
      if (is_menu) entries = MenuEntries(reinterpret_cast<HMENU>(static_cast<uintptr_t>(popup)));
      Note(session_->addin_commands().AddPopupMenu(cookie, ToNarrow(name), position, flags,
                                                   ToNarrow(caption), std::move(entries)));
    }
    return S_OK;
  });
}

STDMETHODIMP HostApplication::AddToolbarButton(BSTR name, LONG* image_index, LONG flags,
                                               LONG cookie, unsigned char* ok) noexcept {
  if (ok == nullptr || image_index == nullptr) return E_POINTER;
  return Guard([&] {
    CheckName("AddToolbarButton", ToNarrow(name));
    if (!session_->IsAssignedImage(*image_index)) {
      session_->Note(Format("AddToolbarButton: image %ld was not handed out by AddCommandImages",
                            *image_index));
    }
    Answer("AddToolbarButton", CallKind::Command,
           Format("AddToolbarButton(%s, image %ld, %ld, %ld)", Quoted(name).c_str(), *image_index,
                  flags, cookie),
           ok);
    if (*ok) {
      Note(session_->addin_commands().AddToolbarButton(cookie, ToNarrow(name), *image_index));
    }
    return S_OK;
  });
}

STDMETHODIMP HostApplication::RemoveWindowKind(BSTR key, unsigned char* ok) noexcept {
  if (ok == nullptr) return E_POINTER;
  return Guard([&] {
    Answer("RemoveWindowKind", CallKind::Other, Format("RemoveWindowKind(%s)", Quoted(key).c_str()),
           ok);
    return S_OK;
  });
}

HRESULT HostApplication::Service(BSTR name, const char* member, IDispatch** service) noexcept {
  if (service == nullptr) return E_POINTER;
  *service = nullptr;
  return Guard([&] {
    const std::string wanted = ToNarrow(name);
    const size_t index = FindService(wanted);
    // Told to refuse a service: the host answers as one that does not have it.
    if (index != kServiceCount && session_->Refuses(Format("%s(%s)", member, ServiceName(index)))) {
      session_->Journal(Format("%s(%s) = null, refused", member, wanted.c_str()));
      return S_OK;
    }
    if (index == kServiceCount) {
      session_->Journal(Format("%s(%s) = null", member, wanted.c_str()));
      session_->Note(Format("%s: the host has no service \"%s\"", member, wanted.c_str()));
      return S_OK;
    }
    const Made* found = nullptr;
    int serial = 0;
    for (const Made& made : made_) {
      if (made.service != index) continue;
      found = &made;
      serial = made.serial;
    }
    if (found == nullptr || fresh_services_) {
      Made made{index, serial + 1, {}};
      const HRESULT hr = CreateService(index, session_, made.object.Put());
      if (FAILED(hr)) return hr;
      made_.push_back(std::move(made));
      found = &made_.back();
    }
    session_->Journal(
        Format("%s(%s) = %s#%d", member, wanted.c_str(), ServiceName(index), found->serial));
    *service = found->object.Get();
    (*service)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP HostApplication::get_GetService(BSTR name, IDispatch** service) noexcept {
  return Service(name, "GetService", service);
}

STDMETHODIMP HostApplication::get_Object(BSTR name, IDispatch** service) noexcept {
  return Service(name, "Object", service);
}

std::string HostApplication::HeldReferences(ULONG application_baseline) {
  // A reference count read the only way COM offers: one more and one less.
  const auto count = [](IUnknown* object) {
    object->AddRef();
    return object->Release();
  };
  const auto line = [](const std::string& what, ULONG held) {
    return Format("%s: %lu reference%s\n", what.c_str(), held, held == 1 ? "" : "s");
  };
  std::string text;
  const ULONG application = count(static_cast<IVireoApplication*>(this));
  if (application > application_baseline) {
    text += line("application", application - application_baseline);
  }
  for (const Made& made : made_) {
    const ULONG references = count(made.object.Get());
    if (references > 1) {
      text += line(Format("%s#%d", ServiceName(made.service), made.serial), references - 1);
    }
  }
  return text;
}

}  // namespace standin::win
