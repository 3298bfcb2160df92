// StandinFakeAddin.dll: a small add-in that talks to its host the way the Trigger add-in does,
// so that the stand-in's tests can drive a connection end to end without the real add-in. It
// registers a command with the host on connection (bitmaps on the first connection only), writes
// a log line through "AddLogString" for every call it gets, and holds the memory-command service
// between the notifications 0x2002 and 0x2003. On Exec of its command it opens its window, as the
// trigger window opens: an MDI child of the host's MDI client when a top-level window of the
// process has one, a window of its own otherwise, and only activated when it is open already; it
// lists the loaded triggers with their states in the simulator, read again on the refresh
// notifications, and does what the trigger window does on every rebuild. Its "TriggerAction"
// object loads the project's [Trigger] lines (an event name and a bare interrupt record for
// each) and saves them (it writes [FakeAddin] Saved=<count>); its "FakeControl" object lets a
// test disable the command (SetCommandEnabled(false)) and read the window's list (ListText).
//
// It refuses the connection (OnConnection returns 1) when a registration call fails.
#include <windows.h>

#undef GetObject

#include <oleauto.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/automation/bytes.h"
#include "core/automation/strings.h"
#include "standin/win/dispatch_object.h"
#include "vireo_host.h"
#include "win/comkit/com_object.h"
#include "win/comkit/dispatch_call.h"
#include "win/comkit/module.h"
#include "win/comkit/raii.h"

namespace {

using core::automation::Format;
using win::comkit::ComObject;
using win::comkit::ComPtr;
using win::comkit::HandleArg;
using win::comkit::LongArg;
using win::comkit::LongRefArg;
using win::comkit::TextArg;
using win::comkit::Threading;
using win::comkit::UniqueBstr;
using win::comkit::UniqueVariant;

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
  ComPtr<IDispatch> control;
  LONG image = -1;
  std::vector<std::pair<LONG, std::wstring>> triggers;  // loaded: id and event name
  HWND window = nullptr;
  bool command_enabled = true;
};
State& g = *new State;

HRESULT CallHost(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  return win::comkit::InvokeMember(g.host.Get(), id, flags, std::move(args), result);
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
  if (SUCCEEDED(CallHost(39, DISPATCH_PROPERTYGET, {TextArg(name)}, result.Put())) &&
      V_VT(result.Get()) == VT_DISPATCH) {
    service = ComPtr<IDispatch>::Share(V_DISPATCH(result.Get()));
  }
  return service;
}

void WriteLog(const std::string& text) {
  ComPtr<IDispatch> log = GetService(L"Tamber.Service");
  if (!log) return;
  const std::wstring wide(text.begin(), text.end());
  win::comkit::InvokeByName(log.Get(), L"AddLogString", DISPATCH_METHOD, {TextArg(wide.c_str())});
}

template <typename Interface>
ComPtr<Interface> GetServiceAs(const wchar_t* name, REFIID iid) {
  ComPtr<Interface> typed;
  ComPtr<IDispatch> service = GetService(name);
  if (service) service.As(iid, &typed);
  return typed;
}

// SimCommand with a block; the reply block's pointer-sized field at offset 4 comes back (the
// refusal word of a record, or the data of a command), freed here. False when the call failed.
bool SimCommand(IVireoTargetCommand* target, void* bytes, uint64_t* field) {
  VARIANT block;
  V_VT(&block) = VT_BYREF;
  V_BYREF(&block) = bytes;
  VARIANT reply;
  VariantInit(&reply);
  UniqueBstr command(SysAllocString(L"SimCommand"));
  const HRESULT hr = target->Command(command.Get(), 0, block, &reply);
  *field = 1;
  if (V_VT(&reply) == VT_BYREF && V_BYREF(&reply) != nullptr) {
    std::memcpy(field, static_cast<const uint8_t*>(V_BYREF(&reply)) + 4, sizeof *field);
    std::free(V_BYREF(&reply));
  }
  return SUCCEEDED(hr);
}

// The window's lines: "101 tick_ack  active" per loaded trigger, from the simulator's table.
std::vector<std::wstring> TriggerLines() {
  std::vector<std::wstring> lines;
  auto target = GetServiceAs<IVireoTargetCommand>(L"Marlin.TargetCommand", IID_IVireoTargetCommand);
  if (!target) return lines;
  core::automation::ByteWriter block(8);
  block.U16(0, 8);
  block.U16(2, 0x104);  // the active table
  block.I32(4, -1);
  std::vector<uint8_t> bytes = block.Take();
  uint64_t field = 0;
  const uint32_t* active = nullptr;
  if (SimCommand(target.Get(), bytes.data(), &field)) {
    active = reinterpret_cast<const uint32_t*>(static_cast<uintptr_t>(field));
  }
  for (const auto& [id, name] : g.triggers) {
    const bool on = active != nullptr && id >= 100 && id < 356 && active[id - 100] != 0;
    lines.push_back(std::to_wstring(id) + L" " + name + (on ? L"  active" : L"  inactive"));
  }
  return lines;
}

void FillWindow() {
  if (g.window == nullptr) return;
  HWND list = GetDlgItem(g.window, 1);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& line : TriggerLines()) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

constexpr wchar_t kWindowClass[] = L"StandinFakeWindow";

bool IsMdiChild(HWND window) {
  wchar_t parent[32] = L"";
  GetClassNameW(GetParent(window), parent, 32);
  return _wcsicmp(parent, L"MDIClient") == 0;
}

LRESULT CALLBACK FakeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      HWND list = CreateWindowExW(0, L"LISTBOX", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0,
                                  0, 0, window, reinterpret_cast<HMENU>(1), g_instance, nullptr);
      SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
      break;
    }
    case WM_SIZE:
      MoveWindow(GetDlgItem(window, 1), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      break;  // an MDI child's size matters to the MDI client as well
    case WM_COMMAND:
      if (lparam == 0) WriteLog(Format("fake: its window got command %u", LOWORD(wparam)));
      break;
    case WM_NCDESTROY:
      if (g.window == window) g.window = nullptr;
      break;
    default:
      break;
  }
  return IsMdiChild(window) ? DefMDIChildProcW(window, message, wparam, lparam)
                            : DefWindowProcW(window, message, wparam, lparam);
}

// The host's MDI client: the "MDIClient" child of one of the process's top-level windows.
HWND FindMdiClient() {
  HWND client = nullptr;
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId()) return TRUE;
        HWND mdi = FindWindowExW(window, nullptr, L"MDIClient", nullptr);
        if (mdi == nullptr) return TRUE;
        *reinterpret_cast<HWND*>(found) = mdi;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&client));
  return client;
}

void OpenWindow() {
  if (g.window != nullptr) {
    if (IsMdiChild(g.window)) {
      SendMessageW(GetParent(g.window), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(g.window), 0);
    } else {
      SetForegroundWindow(g.window);
    }
    WriteLog("fake: activated its window");
    return;
  }
  WNDCLASSEXW window_class = {};
  if (!GetClassInfoExW(g_instance, kWindowClass, &window_class)) {
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = FakeWindowProc;
    window_class.hInstance = g_instance;
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = kWindowClass;
    RegisterClassExW(&window_class);
  }
  HWND client = FindMdiClient();
  if (client != nullptr) {
    g.window = CreateMDIWindowW(kWindowClass, L"Fake window", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 420, 300, client, g_instance, 0);
  } else {
    g.window = CreateWindowExW(0, kWindowClass, L"Fake window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CW_USEDEFAULT, CW_USEDEFAULT, 420, 300, nullptr, nullptr, g_instance,
                               nullptr);
  }
  if (g.window == nullptr) {
    WriteLog(Format("fake: cannot open its window (error %lu)", GetLastError()));
    return;
  }
  WriteLog(client != nullptr ? "fake: opened its window in the host's MDI client"
                             : "fake: opened its window on its own");
  FillWindow();
}

// What a test may tell the fake: whether its command is enabled; and what its window lists.
class FakeControl : public standin::win::DispatchObject {
 public:
  FakeControl()
      : DispatchObject(IID_NULL, {{L"SetCommandEnabled", 1, DISPATCH_METHOD},
                                  {L"ListText", 2, DISPATCH_PROPERTYGET}}) {}

 protected:
  HRESULT Call(DISPID id, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) override {
    if (id == 1) {
      if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
      VARIANT flag;
      VariantInit(&flag);
      if (FAILED(VariantChangeType(&flag, &params.rgvarg[0], 0, VT_BOOL))) {
        return DISP_E_TYPEMISMATCH;
      }
      g.command_enabled = V_BOOL(&flag) != VARIANT_FALSE;
      return S_OK;
    }
    std::wstring text;
    if (g.window != nullptr) {
      HWND list = GetDlgItem(g.window, 1);
      const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        text += line + L"\n";
      }
    }
    if (result != nullptr) {
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return S_OK;
  }
};

// The registry's stand-in: LoadTriggers and SaveTriggers.
class FakeTriggerAction : public standin::win::DispatchObject {
 public:
  FakeTriggerAction()
      : DispatchObject(IID_NULL, {{L"LoadTriggers", 1, DISPATCH_METHOD},
                                  {L"SaveTriggers", 2, DISPATCH_METHOD}}) {}

 protected:
  HRESULT Call(DISPID id, const DISPPARAMS&, VARIANT*, EXCEPINFO*) override {
    return id == 1 ? Load() : Save();
  }

 private:
  static HRESULT Save() {
    auto manager = GetServiceAs<IVireoManager>(L"Marlin.Manager", IID_IVireoManager);
    if (!manager) return E_FAIL;
    UniqueBstr empty(SysAllocString(L""));
    UniqueBstr section(SysAllocString(L"FakeAddin"));
    UniqueBstr key(SysAllocString(L"Saved"));
    const HRESULT hr = manager->WriteProfileInt(empty.Get(), section.Get(), key.Get(),
                                                static_cast<LONG>(g.triggers.size()));
    WriteLog(Format("fake: saved %zu triggers", g.triggers.size()));
    return hr;
  }

  static HRESULT Load() {
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
    g.triggers.clear();
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
      const std::wstring event = text.substr(second + 1, third - second - 1);
      UniqueBstr name(SysAllocString(event.c_str()));
      events->AddEventName(id, name.Get());
      g.triggers.emplace_back(id, event);

      core::automation::ByteWriter record(836);  // an interrupt record with an empty body
      record.U16(2, 0x0100);
      record.U16(4, static_cast<uint16_t>(id));
      record.U16(6, 1);
      std::vector<uint8_t> bytes = record.Take();
      uint64_t refusal = 1;
      if (SimCommand(target.Get(), bytes.data(), &refusal) && (refusal & 0xFFFFFFFF) == 0) {
        ++loaded;
      }
    }
    WriteLog(Format("fake: loaded %d of %ld triggers", loaded, count));
    FillWindow();
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
      ok = Register(8, {HandleArg(g_instance), LongArg(14313), LongArg(14312), LongRefArg(&g.image),
                        LongArg(1), LongArg(cookie)});
    }
    ok = ok &&
         Register(7, {TextArg(L"Fake command"), LongArg(kCommand), LongArg(1), LongArg(cookie)});
    if (ok) {
      HMENU popup = CreatePopupMenu();
      ok = Register(15, {TextArg(L"Fake menu"), LongArg(0), LongArg(1024), HandleArg(popup),
                         TextArg(L"Fake entries"), LongArg(cookie)});
      DestroyMenu(popup);
    }
    ok = ok && Register(12, {TextArg(L"Fake entry"), LongArg(0), LongArg(1024), LongArg(kCommand),
                             LongArg(1), LongArg(cookie)});
    ok = ok &&
         Register(25, {TextArg(L"Fake menu"), LongRefArg(&g.image), LongArg(1), LongArg(cookie)});
    if (!ok) {
      g.host.Reset();
      return 1;
    }
    WriteLog(Format("fake: connected, first time %d, cookie %ld, image %ld", first_time, cookie,
                    g.image));
    return S_OK;
  }

  STDMETHODIMP OnDisconnection() noexcept override {
    if (g.window != nullptr) DestroyWindow(g.window);
    if (g.host) {
      UniqueVariant ignored;
      CallHost(32, DISPATCH_METHOD, {TextArg(L"115001")}, ignored.Put());
      WriteLog("fake: disconnected");
    }
    g.memory.Reset();
    g.trigger_action.Reset();
    g.control.Reset();
    g.host.Reset();
    g.command_enabled = true;
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
    } else if (code == 0x2011 || code == 0x2200 || code == 0x2901) {
      FillWindow();
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
    } else if (_wcsicmp(wanted.c_str(), L"FakeControl") == 0 && g.host) {
      if (!g.control) g.control = ComPtr<IDispatch>::Share(new FakeControl);
      *object = g.control.Get();
      (*object)->AddRef();
    }
    return S_OK;
  }

  STDMETHODIMP Exec(LONG command) noexcept override {
    WriteLog(Format("fake: Exec %ld", command));
    if (command == kCommand && g.host) {
      OpenWindow();
      if (g.memory) g.memory->TriggersChanged();
      VARIANT all;
      V_VT(&all) = VT_UI4;
      V_UI4(&all) = 0xFFFFFFFF;
      VARIANT none;
      V_VT(&none) = VT_UI4;
      V_UI4(&none) = 0;
      UniqueVariant ignored;
      CallHost(10, DISPATCH_METHOD, {LongArg(0x2020), all, none, LongArg(0)}, ignored.Put());
    }
    return S_OK;
  }

  STDMETHODIMP QueryStatus(LONG command, LONG* status, LONG) noexcept override {
    if (command == kCommand) *status = g.command_enabled ? 1 : 0;
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
  const std::wstring module = win::comkit::ModulePath();
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
    win::comkit::ModuleAttach(instance);
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
