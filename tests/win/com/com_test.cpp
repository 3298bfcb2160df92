// Trigger.dll as COM and its clients see it without a host: the registration of every class,
// class objects and unloading, the interfaces and aggregation of every class, the registry's
// automation object and the VARIANTs and texts that cross into the core.
#include <gtest/gtest.h>

#include "tests/win/support/win_test.h"
#include "win/com/version_object.h"
#include "win/comkit/self_registration.h"

namespace {

using namespace wintest;

// Trigger.dll, loaded from beside the test for the whole program, and its entry points.
const HMODULE server = LoadLibraryW(L"Trigger.dll");
HRESULT Call(const char* entry) { return CallEntry(L"Trigger.dll", entry); }
HRESULT ClassObject(REFCLSID clsid, void** out) {
  return reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(server, "DllGetClassObject")))(clsid,
                                                                            IID_IClassFactory, out);
}

class ComTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_NE(server, nullptr) << "Trigger.dll did not load";
    ASSERT_HR(S_OK, Call("DllRegisterServer"));
  }
  static void TearDownTestSuite() { CoUninitialize(); }

  template <typename Interface>
  static ComPtr<Interface> Create(REFCLSID clsid) {
    ComPtr<Interface> object;
    EXPECT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                                     object.PutVoid()));
    return object;
  }
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[64];
  StringFromGUID2(guid, text, 64);
  return text;
}
// A value under HKEY_CLASSES_ROOT, "(missing)" when there is none.
std::string ClassesValue(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size)) {
    return "(missing)";
  }
  return Narrow(std::wstring(value));
}
bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle)) return false;
  RegCloseKey(handle);
  return true;
}

// An outer object that keeps its inner one and hands out the inner's interfaces.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown) return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
  ComPtr<IUnknown> inner;
};

struct Class {
  const wchar_t* name;
  const CLSID* clsid;
  const IID* iid;
  const char* threading;
  bool aggregatable;
  const char* line;  // a new trigger's definition line ("100," its start only); null for the
                     // add-in's own classes
};
const Class kClasses[] = {
    {L"Command", &CLSID_Command, &__uuidof(ICommand), "Both", false, nullptr},
    {L"Connect", &CLSID_Connect, &IID_IConnect, "Both", false, nullptr},
    {L"InterruptTrigger", &CLSID_InterruptTrigger, &IID_IInterruptTrigger, "Apartment", true,
     "100,interrupt,trg_interrupt,,0,0"},
    {L"TriggerAction", &CLSID_TriggerAction, &IID_ITriggerAction, "Apartment", true, nullptr},
    {L"TransferTrigger", &CLSID_TransferTrigger, &IID_ITransferTrigger, "Apartment", true, "100,"},
    {L"StreamTrigger", &CLSID_StreamTrigger, &IID_IStreamTrigger, "Apartment", true, ""},
    {L"IOStreamTrigger", &CLSID_IOStreamTrigger, &IID_IIOStreamTrigger, "Apartment", true,
     "100,iostream,trg_port,8000"},
    {L"ConnectTrigger", &CLSID_ConnectTrigger, &IID_IConnectTrigger, "Apartment", true,
     "100,connect,"},
    {L"Version", &CLSID_Version, &IID_IVersion, "Both", false, nullptr},
    {L"MessageTrigger", &CLSID_MessageTrigger, &IID_IMessageTrigger, "Apartment", false, "100,"},
    {L"ControlTrigger", &CLSID_ControlTrigger, &IID_IControlTrigger, "Apartment", false, "100,"},
    {L"SioTrigger", &CLSID_SioTrigger, &IID_ISioTrigger, "Apartment", false, "100,"},
    {L"FileStreamTrigger", &CLSID_FileStreamTrigger, &IID_IFileStreamTrigger, "Both", false,
     "100,"},
};

// The keys of every class, each on its own line, as they should be.
std::string Registration(bool expected) {
  std::string text;
  for (const Class& c : kClasses) {
    const std::wstring id = L"Trigger." + std::wstring(c.name),
                       clsid = L"CLSID\\" + GuidText(*c.clsid);
    const std::string lines[][2] = {
        {ClassesValue(id + L".1"), Narrow(c.name + std::wstring(L" Class"))},
        {ClassesValue(id + L".1\\CLSID"), Narrow(GuidText(*c.clsid))},
        {ClassesValue(id + L"\\CurVer"), Narrow(id + L".1")},
        {ClassesValue(id + L"\\CLSID"), Narrow(GuidText(*c.clsid))},
        {ClassesValue(clsid), Narrow(c.name + std::wstring(L" Class"))},
        {ClassesValue(clsid + L"\\ProgID"), Narrow(id + L".1")},
        {ClassesValue(clsid + L"\\VersionIndependentProgID"), Narrow(id)},
        {KeyExists(clsid + L"\\Programmable") ? "" : "(missing)", ""},
        {ClassesValue(clsid + L"\\InprocServer32"), Narrow(ModuleFile(server))},
        {ClassesValue(clsid + L"\\InprocServer32", L"ThreadingModel"), c.threading},
        {ClassesValue(clsid + L"\\TypeLib"), Narrow(GuidText(LIBID_Trigger))},
    };
    for (const auto& line : lines) text += Narrow(id) + ": " + line[expected ? 1 : 0] + "\n";
  }
  return text;
}

TEST_F(ComTest, RegistrationWritesEveryClassAndUnregistrationRemovesIt) {
  EXPECT_EQ(Registration(false), Registration(true));
  // A key left under a class's key goes on registration ("ForceRemove").
  const std::wstring stale = L"CLSID\\" + GuidText(CLSID_Version) + L"\\Stale";
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, stale.c_str(), &created), ERROR_SUCCESS);
  RegCloseKey(created);
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  EXPECT_FALSE(KeyExists(stale));

  ASSERT_HR(S_OK, Call("DllUnregisterServer"));
  for (const Class& c : kClasses) {
    EXPECT_FALSE(KeyExists(L"Trigger." + std::wstring(c.name))) << Narrow(c.name);
    EXPECT_FALSE(KeyExists(L"Trigger." + std::wstring(c.name) + L".1")) << Narrow(c.name);
    EXPECT_FALSE(KeyExists(L"CLSID\\" + GuidText(*c.clsid))) << Narrow(c.name);
  }
  EXPECT_TRUE(KeyExists(L"CLSID"));
  EXPECT_FALSE(KeyExists(L"TypeLib\\" + GuidText(LIBID_Trigger)));
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  // This program holds none of the module's scripts, so each removal of one fails here; the type
  // library is unregistered all the same.
  EXPECT_HR(S_OK, win::comkit::UnregisterModule({14324, 14325}, LIBID_Trigger));
  EXPECT_FALSE(KeyExists(L"TypeLib\\" + GuidText(LIBID_Trigger)));
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  EXPECT_EQ(Registration(false), Registration(true));
}

TEST_F(ComTest, UnloadingWaitsForObjectsAndLocks) {
  ASSERT_HR(S_OK, Call("DllCanUnloadNow"));
  ComPtr<IClassFactory> factory;
  ASSERT_HR(S_OK, ClassObject(CLSID_Version, factory.PutVoid()));
  EXPECT_HR(S_OK, Call("DllCanUnloadNow")) << "a class object alone holds nothing";
  ASSERT_HR(S_OK, factory->LockServer(TRUE));
  EXPECT_HR(S_FALSE, Call("DllCanUnloadNow"));
  ASSERT_HR(S_OK, factory->LockServer(FALSE));
  EXPECT_HR(S_OK, Call("DllCanUnloadNow"));
  ComPtr<IVersion> version = Create<IVersion>(CLSID_Version);
  EXPECT_HR(S_FALSE, Call("DllCanUnloadNow"));
  version.Reset();
  EXPECT_HR(S_OK, Call("DllCanUnloadNow"));
  void* nothing = &nothing;
  EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, ClassObject(IID_IVersion, &nothing));
  EXPECT_EQ(nothing, nullptr);
}

TEST_F(ComTest, EveryClassAnswersItsInterfacesAndFollowsItsAggregationRule) {
  for (const Class& c : kClasses) {
    SCOPED_TRACE(Narrow(c.name));
    CLSID clsid;
    ASSERT_HR(S_OK, CLSIDFromProgID((L"Trigger." + std::wstring(c.name)).c_str(), &clsid));
    ComPtr<IUnknown> object = Create<IUnknown>(clsid);
    ComPtr<IUnknown> own, marshal, identity;
    ComPtr<IDispatch> dispatch;
    ComPtr<ISupportErrorInfo> support;
    EXPECT_HR(S_OK, object.As(*c.iid, &own));
    EXPECT_HR(S_OK, object.As(IID_IMarshal, &marshal)) << "the free-threaded marshaler";
    EXPECT_HR(E_NOINTERFACE, object.As(IID_IPersist, &identity));
    ASSERT_HR(S_OK, object.As(IID_IDispatch, &dispatch));
    ASSERT_HR(S_OK, marshal.As(IID_IUnknown, &identity));
    EXPECT_EQ(identity.Get(), object.Get());
    ASSERT_HR(S_OK, object.As(IID_ISupportErrorInfo, &support));
    EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(*c.iid));
    EXPECT_HR(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
    if (c.line) {
      // A new trigger by name, as a script reaches it; without a host it registers nowhere.
      const std::string line = Property(dispatch.Get(), L"Definition");
      EXPECT_EQ(std::string(c.line) == "100," ? line.substr(0, 4) : line, c.line);
      UniqueVariant result;
      const HRESULT hr =
          InvokeByName(dispatch.Get(), L"Register", DISPATCH_METHOD, {}, result.Get());
      EXPECT_TRUE(hr == S_OK || hr == E_FAIL) << HResultText(hr);
      EXPECT_EQ(Property(dispatch.Get(), L"Registered"), "False");
    }

    Outer outer;
    const HRESULT made =
        CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, outer.inner.PutVoid());
    if (!c.aggregatable) {
      EXPECT_HR(CLASS_E_NOAGGREGATION, made);
      EXPECT_FALSE(outer.inner);
      continue;
    }
    ASSERT_HR(S_OK, made);
    ASSERT_HR(S_OK, outer.inner.As(*c.iid, &own));
    ASSERT_HR(S_OK, own.As(IID_IUnknown, &identity));
    EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer)) << "the inner answers for the outer";
    own.Reset();
    identity.Reset();
    outer.inner.Reset();
    EXPECT_EQ(outer.refs, 1u);
  }
}

TEST_F(ComTest, VersionIsTheModulesProductVersionOrTheDefault) {
  LONG major = 0, minor = 0;
  ASSERT_HR(S_OK, Create<IVersion>(CLSID_Version)->GetVersion(&major, &minor));
  EXPECT_EQ(major, TRIGGER_VERSION_MAJOR << 16 | TRIGGER_VERSION_MINOR);
  EXPECT_EQ(minor, TRIGGER_VERSION_BUILD << 16 | TRIGGER_VERSION_REVISION);
  EXPECT_EQ(Property(Create<IVersion>(CLSID_Version).Get(), L"Description"), "");
  // This program has no version resource.
  major = minor = 7;
  EXPECT_FALSE(win::com::ReadProductVersion(ModuleFile(nullptr), &major, &minor));
  EXPECT_EQ(major, 7);
  for (const std::wstring& path : {ModuleFile(nullptr), std::wstring()}) {
    win::com::ModuleVersion(path, &major, &minor);
    EXPECT_EQ(major, 0x00010000);
    EXPECT_EQ(minor, 1);
  }
}

TEST_F(ComTest, ATriggerIsAlwaysTheSameObjectAndLivesOnWhileHeld) {
  ComPtr<ITriggerAction> registry = Create<ITriggerAction>(CLSID_TriggerAction);
  ComPtr<IDispatch> dispatch;
  UniqueVariant created;
  ASSERT_HR(S_OK, registry.As(IID_IDispatch, &dispatch));
  ASSERT_HR(S_OK, InvokeByName(dispatch.Get(), L"CreateTransferTrigger", DISPATCH_METHOD, {},
                               created.Get()));
  ASSERT_EQ(V_VT(created.Get()), VT_DISPATCH);
  EXPECT_HR(DISP_E_UNKNOWNNAME, InvokeByName(dispatch.Get(), L"CreateNothing", DISPATCH_METHOD))
      << "a late-bound call names the member it cannot find";
  ComPtr<IUnknown> identity, found, by_number;
  ASSERT_HR(S_OK, V_DISPATCH(created.Get())->QueryInterface(IID_IUnknown, identity.PutVoid()));
  ASSERT_HR(S_OK, registry->FindTrigger(Bstr(L"transfer").Get(), found.Put()));
  ASSERT_HR(S_OK, registry->GetTriggerByNumber(0, by_number.Put()));
  EXPECT_EQ(found.Get(), identity.Get());
  EXPECT_EQ(by_number.Get(), identity.Get());
  SHORT kind = 0;
  EXPECT_HR(S_OK, registry->GetKindByNumber(0, &kind));
  EXPECT_EQ(kind, 3);
  EXPECT_HR(S_OK, registry->GetKindByNumber(1, &kind));
  EXPECT_EQ(kind, -1);

  // Deleted, never registered: the simulator is not asked; the object goes on working.
  ComPtr<ITransferTrigger> transfer;
  ASSERT_HR(S_OK, identity.As(IID_ITransferTrigger, &transfer));
  created.Put();
  identity.Reset();
  found.Reset();
  by_number.Reset();
  ASSERT_HR(S_OK, registry->DeleteTrigger(Bstr(L"transfer").Get()));
  LONG count = -1;
  ASSERT_HR(S_OK, registry->get_Count(&count));
  EXPECT_EQ(count, 0);
  ASSERT_HR(S_OK, transfer->put_Cycle(7));
  EXPECT_EQ(Property(transfer.Get(), L"Definition").substr(0, 13), "100,transfer,");
  // Without its registry, what needs it fails cleanly, the rest works.
  dispatch.Reset();
  registry.Reset();
  EXPECT_HR(S_FALSE, Call("DllCanUnloadNow")) << "a client still holds a trigger";
  EXPECT_HR(E_FAIL, transfer->put_Name(Bstr(L"renamed").Get()));
  LONG cycle = 0;
  EXPECT_HR(S_OK, transfer->get_Cycle(&cycle));
  EXPECT_EQ(cycle, 7);
  transfer.Reset();
  EXPECT_HR(S_OK, Call("DllCanUnloadNow"));
}

TEST_F(ComTest, EachRegistryNamesAndChecksItsOwnTriggers) {
  ComPtr<ITriggerAction> first = Create<ITriggerAction>(CLSID_TriggerAction);
  ComPtr<ITriggerAction> second = Create<ITriggerAction>(CLSID_TriggerAction);
  ComPtr<IDispatch> a1, a2, b1;
  ASSERT_HR(S_OK, first->CreateTransferTrigger(a1.Put()));
  ASSERT_HR(S_OK, first->CreateTransferTrigger(a2.Put()));
  ASSERT_HR(S_OK, second->CreateTransferTrigger(b1.Put()));
  EXPECT_EQ(Property(a2.Get(), L"Name"), "transfer1");
  EXPECT_EQ(Property(b1.Get(), L"Name"), "transfer") << "the other registry's names do not count";
  EXPECT_HR(E_FAIL, first->CheckNameUnique(Bstr(L"transfer1").Get()));
  EXPECT_HR(S_OK, second->CheckNameUnique(Bstr(L"transfer1").Get()));
  EXPECT_HR(S_OK, first->CheckNameUniqueExcept(Bstr(L"transfer1").Get(), 1));

  // Creation by keyword hands out the adapter by reference.
  UniqueVariant adapter, by_number, nothing;
  ASSERT_HR(S_OK, second->CreateTriggerByKeyword(Bstr(L"DATA").Get(), adapter.Get()));
  EXPECT_EQ(V_VT(adapter.Get()), VT_BYREF);
  ASSERT_HR(S_OK, second->GetAdapterByNumber(1, by_number.Get()));
  EXPECT_NE(V_BYREF(adapter.Get()), nullptr);
  EXPECT_EQ(V_BYREF(by_number.Get()), V_BYREF(adapter.Get()));
  EXPECT_HR(E_FAIL, second->CreateTriggerByKeyword(Bstr(L"datum").Get(), nothing.Get()));
  EXPECT_EQ(V_VT(nothing.Get()), VT_EMPTY);
  LONG count = 0;
  EXPECT_HR(S_OK, second->get_Count(&count));
  EXPECT_EQ(count, 2);
}

TEST_F(ComTest, LookUpsCompareNamesAsTheUsersLocaleDoesAndUniquenessExactly) {
  ComPtr<ITriggerAction> registry = Create<ITriggerAction>(CLSID_TriggerAction);
  ComPtr<IDispatch> created;
  ComPtr<ITransferTrigger> street;
  ASSERT_HR(S_OK, registry->CreateTransferTrigger(created.Put()));
  ASSERT_HR(S_OK, created.As(IID_ITransferTrigger, &street));
  ASSERT_HR(S_OK, street->SetNameUnchecked(Bstr(L"Stra\u00DFe").Get()));
  const struct {
    const wchar_t* name;
    bool found;
  } cases[] = {
      {L"Stra\u00DFe", true},   {L"Strasse", true},  // the sharp s sorts as "ss"
      {L"Stra\u00ADsse", true},                      // a soft hyphen counts for nothing
      {L"STRASSE", false},      {L"Strase", false},  // but case and letters count
  };
  for (const auto& c : cases) {
    LONG number = -2;
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry->FindNumberByName(Bstr(c.name).Get(), &number));
    EXPECT_HR(S_OK, registry->FindTrigger(Bstr(c.name).Get(), found.Put()));
    EXPECT_EQ(number, c.found ? 0 : -1) << Narrow(c.name);
    EXPECT_EQ(found.Get() != nullptr, c.found) << Narrow(c.name);
  }
  EXPECT_HR(S_OK, registry->CheckNameUnique(Bstr(L"Strasse").Get())) << "compared exactly";
  EXPECT_HR(E_FAIL, registry->CheckNameUnique(Bstr(L"Stra\u00DFe").Get()));
  EXPECT_HR(S_OK, registry->DeleteTrigger(Bstr(L"Strasse").Get()));
  LONG count = -1;
  EXPECT_HR(S_OK, registry->get_Count(&count));
  EXPECT_EQ(count, 0);
}

TEST_F(ComTest, AddressPutsTakeVariantsByType) {
  ComPtr<IDispatch> transfer = Create<IDispatch>(CLSID_TransferTrigger);
  LONG by_ref = 0x1234;
  const struct {
    VARTYPE vt;
    LONGLONG value;
    const char* stored;
  } cases[] = {
      {VT_I1, -128, "0x00000080"},  // a byte is taken zero-extended
      {VT_UI1, 0x80, "0x00000080"},       {VT_I2, -1, "0xffffffff"},  // a short sign-extended
      {VT_UI2, 0xFFFF, "0x0000ffff"},     {VT_I4, 0x4000, "0x00004000"},
      {VT_UI4, 0x80000000, "0x80000000"}, {VT_I4 | VT_BYREF, 0, "0x00001234"},
  };
  for (const auto& c : cases) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = c.vt;
    V_I8(&value) = c.value;
    if (c.vt & VT_BYREF) V_I4REF(&value) = &by_ref;  // a script's variable
    EXPECT_HR(S_OK, InvokeByName(transfer.Get(), L"Destination", DISPATCH_PROPERTYPUT, {value}));
    EXPECT_EQ(Property(transfer.Get(), L"Destination"), c.stored) << c.vt;
  }
  // A text needs the host's evaluator, which is not there: refused, the value kept.
  EXPECT_HR(E_FAIL, InvokeByName(transfer.Get(), L"Destination", DISPATCH_PROPERTYPUT,
                                 {TextArg(L"PORT0")}));
  EXPECT_EQ(Property(transfer.Get(), L"Destination"), "0x00001234");
}

TEST_F(ComTest, MembersCrossAsAReferenceToAnArrayOfVariants) {
  ComPtr<IConnectTrigger> connect = Create<IConnectTrigger>(CLSID_ConnectTrigger);
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 3);
  const wchar_t* names[] = {L"pump", L"", L"valve"};
  for (LONG i = 0; i < 3; ++i) {
    VARIANT item = TextArg(names[i]);
    SafeArrayPutElement(array, &i, &item);
    VariantClear(&item);
  }
  VARIANT members;
  V_VT(&members) = VT_VARIANT | VT_ARRAY | VT_BYREF;
  V_ARRAYREF(&members) = &array;
  EXPECT_HR(S_OK, connect->put_Members(members));
  V_VT(&members) = VT_VARIANT | VT_ARRAY;  // by value it is not the member form: nothing changes
  V_ARRAY(&members) = array;
  EXPECT_HR(S_OK, connect->put_Members(members));
  SafeArrayDestroy(array);

  VARIANT read;
  VariantInit(&read);
  ASSERT_HR(S_OK, connect->get_Members(&read));
  ASSERT_EQ(V_VT(&read), VT_VARIANT | VT_ARRAY | VT_BYREF);
  SAFEARRAY* got = *V_ARRAYREF(&read);
  LONG upper = -1;
  SafeArrayGetUBound(got, 1, &upper);
  std::vector<std::wstring> texts;
  for (LONG i = 0; i <= upper; ++i) {
    UniqueVariant item;
    ASSERT_HR(S_OK, SafeArrayGetElement(got, &i, item.Get()));
    ASSERT_EQ(V_VT(item.Get()), VT_BSTR);
    texts.push_back(V_BSTR(item.Get()));
  }
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"pump", L"", L"valve"}));
  EXPECT_EQ(Property(connect.Get(), L"Definition"), "100,connect,,pump,,valve");
}

TEST_F(ComTest, TextsCrossInTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 1252u);
  const wchar_t* name = L"Z\u00fcrich\u00e9";
  ComPtr<IDispatch> sio = Create<IDispatch>(CLSID_SioTrigger);
  ASSERT_HR(S_OK, InvokeByName(sio.Get(), L"Destination", DISPATCH_PROPERTYPUT, {TextArg(name)}));
  UniqueVariant read;
  ASSERT_HR(S_OK, InvokeByName(sio.Get(), L"Destination", DISPATCH_PROPERTYGET, {}, read.Get()));
  EXPECT_EQ(std::wstring(V_BSTR(read.Get())), name);
  EXPECT_EQ(Narrow(Bstr(name).Get()), "Z\xfcrich\xe9") << "one byte a character";
  EXPECT_EQ(Narrow(UniqueBstr().Get()), "");
}

}  // namespace
