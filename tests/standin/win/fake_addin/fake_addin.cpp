// StandinFakeAddin.dll: a small add-in that talks to its host the way the Trigger add-in does,
// so that the stand-in's tests can drive a connection end to end before the real add-in's
// Connect and Command exist. It registers a command with the host on connection (bitmaps on the
// first connection only), writes a log line through "AddLogString" for every call it gets, holds
// the memory-command service between the notifications 0x2002 and 0x2003, and on Exec of its
// command does what the trigger window does on every rebuild. Its "TriggerAction" object loads
// the project's [Trigger] lines: an event name and a bare interrupt record for each.
//
// It refuses the connection (OnConnection returns 1) when a registration call fails.
#include <windows.h>

#undef GetObject

#include <oleauto.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "standin/win/dispatch_object.h"
#include "vireo_host.h"
#include "win/com/com_object.h"
#include "win/com/module.h"
#include "win/com/raii.h"
#include "win/com/trigger_ids.h"

namespace {

using core::automation::Format;
using win::com::ComObject;
using win::com::ComPtr;
using win::com::Threading;
using win::com::UniqueBstr;
using win::com::UniqueVariant;

constexpr LONG kCommand = 54201;

// {B7A4E0C2-3F1D-4C5E-9A8B-1C2D3E4F5A61} and ...62
constexpr CLSID kClsidConnect = {
    0xb7a4e0c2, 0x3f1d, 0x4c5e, {0x9a, 0x8b, 0x1c, 0x2d, 0x3e, 0x4f, 0x5a, 0x61}};
constexpr CLSID kClsidCommand = {
    0xb7a4e0c2, 0x3f1d, 0x4c5e, {0x9a, 0x8b, 0x1c, 0x2d, 0x3e, 0x4f, 0x5a, 0x62}};

HINSTANCE g_instance = nullptr;

// The connection's state. Never destroyed: at process exit the host's module may be gone before
// this one, and releasing its objects then would call into nothing.
struct State {
  ComPtr<IVireoApplication> host;
  ComPtr<IVireoMemoryCommand> memory;
  ComPtr<IDispatch> trigger_action;
  LONG image = -1;
};
State& g = *new State;

VARIANT Long(LONG value) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

VARIANT Handle(const void* handle) {
  VARIANT v;
  V_VT(&v) = VT_I8;
  V_I8(&v) = static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(handle));
  return v;
}

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}

VARIANT LongRef(LONG* value) {
  VARIANT v;
  V_VT(&v) = VT_I4 | VT_BYREF;
  V_I4REF(&v) = value;
  return v;
}

// Invokes a member of the host application by DISPID; `args` in call order, cleared afterwards.
HRESULT CallHost(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  const HRESULT hr =
      g.host->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, result, nullptr, nullptr);
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

// A registration call: true when the host answered with the success flag 1.
bool Register(DISPID id, std::vector<VARIANT> args) {
  UniqueVariant result;
  const HRESULT hr = CallHost(id, DISPATCH_METHOD, std::move(args), result.Put());
  return SUCCEEDED(hr) && V_VT(result.Get()) == VT_UI1 && V_UI1(result.Get()) == 1;
}

ComPtr<IDispatch> GetService(const wchar_t* name) {
  ComPtr<IDispatch> service;
  if (!g.host) return service;
  UniqueVariant result;
  if (SUCCEEDED(CallHost(39, DISPATCH_PROPERTYGET, {Text(name)}, result.Put())) &&
      V_VT(result.Get()) == VT_DISPATCH) {
    service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
  }
  return service;
}

void WriteLog(const std::string& text) {
  ComPtr<IDispatch> log = GetService(L"Tamber.Service");
  if (!log) return;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"AddLogString")};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(log->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) return;
  std::wstring wide(text.begin(), text.end());
  VARIANT arg = Text(wide.c_str());
  DISPPARAMS params = {&arg, nullptr, 1, 0};
  log->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
              nullptr);
  VariantClear(&arg);
}

template <typename Interface>
ComPtr<Interface> GetServiceAs(const wchar_t* name, REFIID iid) {
  ComPtr<Interface> typed;
  ComPtr<IDispatch> service = GetService(name);
  if (service) service.As(iid, &typed);
  return typed;
}

// The registry's stand-in: LoadTriggers only.
class FakeTriggerAction : public standin::win::DispatchObject {
 public:
  FakeTriggerAction() : DispatchObject(IID_NULL, {{L"LoadTriggers", 1, DISPATCH_METHOD}}) {}

 protected:
  HRESULT Call(DISPID, const DISPPARAMS&, VARIANT*, EXCEPINFO*) override {
    auto manager = GetServiceAs<IVireoManager>(L"Marlin.Manager", IID_IVireoManager);
    auto target =
        GetServiceAs<IVireoTargetCommand>(L"Marlin.TargetCommand", IID_IVireoTargetCommand);
    auto events = GetServiceAs<IVireoEventCommand>(L"Marlin.EventCommand", IID_IVireoEventCommand);
    if (!manager || !target || !events) return E_FAIL;
    UniqueBstr empty(SysAllocString(L""));
    UniqueBstr section(SysAllocString(L"Trigger"));
    UniqueBstr max_key(SysAllocString(L"MaxNum"));
    LONG count = 0;
    manager->ReadProfileInt(empty.Get(), section.Get(), max_key.Get(), 0, &count);
    int loaded = 0;
    for (LONG i = 0; i < count; ++i) {
      UniqueBstr key(SysAllocString(std::to_wstring(i).c_str()));
      UniqueBstr line;
      manager->ReadProfileString(empty.Get(), section.Get(), key.Get(), empty.Get(), line.Put());
      const std::wstring text(line.Get() ? line.Get() : L"");
      const LONG id = wcstol(text.c_str(), nullptr, 10);
      const size_t first = text.find(L',');
      const size_t second = first == std::wstring::npos ? first : text.find(L',', first + 1);
      if (second == std::wstring::npos) continue;
      const size_t third = text.find(L',', second + 1);
      UniqueBstr name(SysAllocString(text.substr(second + 1, third - second - 1).c_str()));
      events->AddEventName(id, name.Get());

      core::automation::ByteWriter record(836);  // an interrupt record with an empty body
      record.U16(2, 0x0100);
      record.U16(4, static_cast<uint16_t>(id));
      record.U16(6, 1);
      std::vector<uint8_t> bytes = record.Take();
      VARIANT block;
      V_VT(&block) = VT_BYREF;
      V_BYREF(&block) = bytes.data();
      VARIANT reply;
      VariantInit(&reply);
      UniqueBstr command(SysAllocString(L"SimCommand"));
      const HRESULT hr = target->Command(command.Get(), 0, block, &reply);
      uint32_t refusal = 1;
      if (V_VT(&reply) == VT_BYREF && V_BYREF(&reply) != nullptr) {
        refusal = core::automation::ReadU32(static_cast<const uint8_t*>(V_BYREF(&reply)) + 4);
        std::free(V_BYREF(&reply));
      }
      if (SUCCEEDED(hr) && refusal == 0) ++loaded;
    }
    WriteLog(Format("fake: loaded %d of %ld triggers", loaded, count));
    return S_OK;
  }
};

class FakeConnect : public ComObject<FakeConnect, IConnect, Threading::Both> {
 public:
  STDMETHODIMP OnConnection(IDispatch* host, VARIANT_BOOL first_time,
                            LONG cookie) noexcept override {
    if (host == nullptr || FAILED(host->QueryInterface(IID_IVireoApplication, g.host.PutVoid()))) {
      return 1;
    }
    bool ok = true;
    if (first_time == VARIANT_TRUE) {
      ok = Register(8, {Handle(g_instance), Long(14313), Long(14312), LongRef(&g.image), Long(1),
                        Long(cookie)});
    }
    ok = ok && Register(7, {Text(L"Fake command"), Long(kCommand), Long(1), Long(cookie)});
    if (ok) {
      HMENU popup = CreatePopupMenu();
      ok = Register(15, {Text(L"Fake menu"), Long(0), Long(1024), Handle(popup),
                         Text(L"Fake entries"), Long(cookie)});
      DestroyMenu(popup);
    }
    ok = ok && Register(12, {Text(L"Fake entry"), Long(0), Long(1024), Long(kCommand), Long(1),
                             Long(cookie)});
    ok = ok && Register(25, {Text(L"Fake menu"), LongRef(&g.image), Long(1), Long(cookie)});
    if (!ok) {
      g.host.Reset();
      return 1;
    }
    WriteLog(Format("fake: connected, first time %d, cookie %ld, image %ld", first_time, cookie,
                    g.image));
    return S_OK;
  }

  STDMETHODIMP OnDisconnection() noexcept override {
    if (g.host) {
      UniqueVariant ignored;
      CallHost(32, DISPATCH_METHOD, {Text(L"115001")}, ignored.Put());
      WriteLog("fake: disconnected");
    }
    g.memory.Reset();
    g.trigger_action.Reset();
    g.host.Reset();
    return S_OK;
  }

  STDMETHODIMP get_Type(BSTR* type) noexcept override {
    *type = SysAllocString(L"ADDIN");
    return *type ? S_OK : E_OUTOFMEMORY;
  }
};

class FakeCommand : public ComObject<FakeCommand, ICommand, Threading::Both> {
 public:
  STDMETHODIMP OnEvent(LONG code, LONG, LONG, LONG, LONG, LONG, LONG, LONG,
                       LONG) noexcept override {
    WriteLog(Format("fake: OnEvent 0x%lX", code));
    if (code == 0x2002) {
      g.memory =
          GetServiceAs<IVireoMemoryCommand>(L"Marlin.MemoryCommand", IID_IVireoMemoryCommand);
    } else if (code == 0x2003) {
      g.memory.Reset();
    }
    return S_OK;
  }

  STDMETHODIMP GetObject(BSTR name, IDispatch** object) noexcept override {
    *object = nullptr;
    std::wstring wanted(name ? name : L"");
    const size_t dot = wanted.find(L'.');
    if (dot != std::wstring::npos) wanted.erase(0, dot + 1);
    if (_wcsicmp(wanted.c_str(), L"TriggerAction") == 0 && g.host) {
      if (!g.trigger_action) g.trigger_action = ComPtr<IDispatch>::Share(new FakeTriggerAction);
      *object = g.trigger_action.Get();
      (*object)->AddRef();
    }
    return S_OK;
  }

  STDMETHODIMP Exec(LONG command) noexcept override {
    WriteLog(Format("fake: Exec %ld", command));
    if (command == kCommand && g.host) {
      if (g.memory) g.memory->TriggersChanged();
      VARIANT all;
      V_VT(&all) = VT_UI4;
      V_UI4(&all) = 0xFFFFFFFF;
      VARIANT none;
      V_VT(&none) = VT_UI4;
      V_UI4(&none) = 0;
      UniqueVariant ignored;
      CallHost(10, DISPATCH_METHOD, {Long(0x2020), all, none, Long(0)}, ignored.Put());
    }
    return S_OK;
  }

  STDMETHODIMP QueryStatus(LONG command, LONG* status, LONG) noexcept override {
    if (command == kCommand) *status = 1;
    return S_OK;
  }
};

class Factory : public IClassFactory {
 public:
  explicit Factory(bool connect) : connect_(connect) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return connect_ ? FakeConnect::CreateInstance(nullptr, iid, out)
                    : FakeCommand::CreateInstance(nullptr, iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  bool connect_;
};

Factory g_connect_factory(true);
Factory g_command_factory(false);

std::wstring GuidText(REFGUID guid) {
  wchar_t text[64];
  StringFromGUID2(guid, text, 64);
  return text;
}

LSTATUS SetClassesValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT RegisterClass(const wchar_t* prog_id, REFCLSID clsid) {
  const std::wstring id = GuidText(clsid);
  const std::wstring key = L"CLSID\\" + id;
  const std::wstring module = win::com::ModulePath();
  LSTATUS status = SetClassesValue(std::wstring(prog_id) + L"\\CLSID", nullptr, id);
  if (status == ERROR_SUCCESS) status = SetClassesValue(key + L"\\ProgID", nullptr, prog_id);
  if (status == ERROR_SUCCESS) status = SetClassesValue(key + L"\\InprocServer32", nullptr, module);
  if (status == ERROR_SUCCESS) {
    status = SetClassesValue(key + L"\\InprocServer32", L"ThreadingModel", L"Both");
  }
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    win::com::ModuleAttach(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  *out = nullptr;
  if (clsid == kClsidConnect) return g_connect_factory.QueryInterface(iid, out);
  if (clsid == kClsidCommand) return g_command_factory.QueryInterface(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

// Its objects may stay referenced by the process-wide pointers above: the test processes are
// short, so the module stays loaded.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  HRESULT hr = RegisterClass(L"StandinTest.Connect", kClsidConnect);
  if (SUCCEEDED(hr)) hr = RegisterClass(L"StandinTest.Command", kClsidCommand);
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (const wchar_t* prog_id : {L"StandinTest.Connect", L"StandinTest.Command"}) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, prog_id);
  }
  for (const CLSID* clsid : {&kClsidConnect, &kClsidCommand}) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(*clsid)).c_str());
  }
  return S_OK;
}
