// The module as COM and a host see it: registration of every class, class objects, unloading,
// aggregation and the interfaces every class answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/win/com/com_test_support.h"
#include "win/com/class_table.h"
#include "win/comkit/self_registration.h"

namespace {

using comtest::ClassesKeyExists;
using comtest::GuidText;
using comtest::Narrow;
using comtest::ReadClassesValue;
using comtest::Server;
using win::comkit::ComPtr;

class ModuleTest : public comtest::ComTest {};

struct Expected {
  const wchar_t* name;
  const CLSID* clsid;
  const wchar_t* threading;
};
const std::vector<Expected> kClasses = {
    {L"Command", &CLSID_Command, L"Both"},
    {L"Connect", &CLSID_Connect, L"Both"},
    {L"InterruptTrigger", &CLSID_InterruptTrigger, L"Apartment"},
    {L"TriggerAction", &CLSID_TriggerAction, L"Apartment"},
    {L"TransferTrigger", &CLSID_TransferTrigger, L"Apartment"},
    {L"StreamTrigger", &CLSID_StreamTrigger, L"Apartment"},
    {L"IOStreamTrigger", &CLSID_IOStreamTrigger, L"Apartment"},
    {L"ConnectTrigger", &CLSID_ConnectTrigger, L"Apartment"},
    {L"Version", &CLSID_Version, L"Both"},
    {L"MessageTrigger", &CLSID_MessageTrigger, L"Apartment"},
    {L"ControlTrigger", &CLSID_ControlTrigger, L"Apartment"},
    {L"SioTrigger", &CLSID_SioTrigger, L"Apartment"},
    {L"FileStreamTrigger", &CLSID_FileStreamTrigger, L"Both"},
};

std::wstring ModulePathOf(HMODULE module) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

void ExpectRegistered(const Expected& c, const std::wstring& module) {
  SCOPED_TRACE(Narrow(c.name));
  const std::wstring clsid = GuidText(*c.clsid);
  const std::wstring prog_id = std::wstring(L"Trigger.") + c.name;
  const std::wstring description = std::wstring(c.name) + L" Class";
  std::wstring value;
  ASSERT_TRUE(ReadClassesValue(prog_id + L".1", nullptr, &value));
  EXPECT_EQ(value, description);
  ASSERT_TRUE(ReadClassesValue(prog_id + L".1\\CLSID", nullptr, &value));
  EXPECT_EQ(value, clsid);
  ASSERT_TRUE(ReadClassesValue(prog_id + L"\\CurVer", nullptr, &value));
  EXPECT_EQ(value, prog_id + L".1");
  ASSERT_TRUE(ReadClassesValue(prog_id + L"\\CLSID", nullptr, &value));
  EXPECT_EQ(value, clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  ASSERT_TRUE(ReadClassesValue(key, nullptr, &value));
  EXPECT_EQ(value, description);
  ASSERT_TRUE(ReadClassesValue(key + L"\\ProgID", nullptr, &value));
  EXPECT_EQ(value, prog_id + L".1");
  ASSERT_TRUE(ReadClassesValue(key + L"\\VersionIndependentProgID", nullptr, &value));
  EXPECT_EQ(value, prog_id);
  EXPECT_TRUE(ClassesKeyExists(key + L"\\Programmable"));
  ASSERT_TRUE(ReadClassesValue(key + L"\\InprocServer32", nullptr, &value));
  EXPECT_EQ(lstrcmpiW(value.c_str(), module.c_str()), 0) << Narrow(value);
  ASSERT_TRUE(ReadClassesValue(key + L"\\InprocServer32", L"ThreadingModel", &value));
  EXPECT_EQ(value, c.threading);
  ASSERT_TRUE(ReadClassesValue(key + L"\\TypeLib", nullptr, &value));
  EXPECT_EQ(value, GuidText(LIBID_Trigger));
}

TEST_F(ModuleTest, RegistrationWritesEveryClassOnceAndUnregistrationLeavesTheClsidKey) {
  Server& server = Server::Get();
  const std::wstring module = ModulePathOf(server.module);
  for (const Expected& c : kClasses) ExpectRegistered(c, module);

  // A key left under a class's CLSID key disappears on re-registration ("ForceRemove").
  const std::wstring stale = L"CLSID\\" + GuidText(CLSID_Version) + L"\\Stale";
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_CLASSES_ROOT, stale.c_str(), &created), ERROR_SUCCESS);
  RegCloseKey(created);
  ASSERT_HR(S_OK, server.register_server());
  EXPECT_FALSE(ClassesKeyExists(stale));
  for (const Expected& c : kClasses) ExpectRegistered(c, module);

  ASSERT_HR(S_OK, server.unregister_server());
  for (const Expected& c : kClasses) {
    SCOPED_TRACE(Narrow(c.name));
    EXPECT_FALSE(ClassesKeyExists(std::wstring(L"Trigger.") + c.name));
    EXPECT_FALSE(ClassesKeyExists(std::wstring(L"Trigger.") + c.name + L".1"));
    EXPECT_FALSE(ClassesKeyExists(L"CLSID\\" + GuidText(*c.clsid)));
  }
  EXPECT_TRUE(ClassesKeyExists(L"CLSID"));
  EXPECT_FALSE(ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_Trigger)));
  ASSERT_HR(S_OK, server.register_server());
  EXPECT_TRUE(ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_Trigger)));
}

TEST_F(ModuleTest, UnregistrationGoesOnPastAScriptThatFails) {
  // This program holds none of the module's scripts, so every removal of one fails here; the
  // type library's registration is removed all the same, as the other classes' would be.
  const std::wstring library = L"TypeLib\\" + GuidText(LIBID_Trigger);
  ASSERT_TRUE(ClassesKeyExists(library));
  EXPECT_HR(S_OK, win::comkit::UnregisterModule({14324, 14325}, LIBID_Trigger));
  EXPECT_FALSE(ClassesKeyExists(library));
  ASSERT_HR(S_OK, Server::Get().register_server());
}

TEST_F(ModuleTest, UnloadingWaitsForObjectsAndLocks) {
  Server& server = Server::Get();
  ASSERT_HR(S_OK, server.can_unload());

  ComPtr<IClassFactory> factory;
  ASSERT_HR(S_OK, server.get_class_object(CLSID_Version, IID_IClassFactory, factory.PutVoid()));
  EXPECT_HR(S_OK, server.can_unload()) << "a class object alone holds nothing";
  ASSERT_HR(S_OK, factory->LockServer(TRUE));
  EXPECT_HR(S_FALSE, server.can_unload());
  ASSERT_HR(S_OK, factory->LockServer(FALSE));
  EXPECT_HR(S_OK, server.can_unload());

  ComPtr<IVersion> version;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IVersion,
                                   version.PutVoid()));
  EXPECT_HR(S_FALSE, server.can_unload());
  version.Reset();
  EXPECT_HR(S_OK, server.can_unload());

  void* nothing = reinterpret_cast<void*>(1);
  EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE,
            server.get_class_object(IID_IVersion, IID_IClassFactory, &nothing));
  EXPECT_EQ(nothing, nullptr);
}

// An outer object for aggregation: only its identity matters here.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
};

TEST_F(ModuleTest, ClassesNotMarkedAggregatableRefuseAnOuterObject) {
  Outer outer;
  ComPtr<IUnknown> inner;
  EXPECT_HR(CLASS_E_NOAGGREGATION, CoCreateInstance(CLSID_Version, &outer, CLSCTX_INPROC_SERVER,
                                                    IID_IUnknown, inner.PutVoid()));
  EXPECT_FALSE(inner);
}

TEST_F(ModuleTest, VersionAnswersItsInterfacesAndErrorInfoSupport) {
  ComPtr<IUnknown> unknown;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   unknown.PutVoid()));
  ComPtr<IVersion> version;
  ComPtr<IDispatch> dispatch;
  ComPtr<ISupportErrorInfo> support;
  ComPtr<IMarshal> marshal;
  ASSERT_HR(S_OK, unknown.As(IID_IVersion, &version));
  ASSERT_HR(S_OK, unknown.As(IID_IDispatch, &dispatch));
  ASSERT_HR(S_OK, unknown.As(IID_ISupportErrorInfo, &support));
  EXPECT_HR(S_OK, unknown.As(IID_IMarshal, &marshal)) << "the free-threaded marshaler";
  ComPtr<ITriggerAction> wrong;
  EXPECT_HR(E_NOINTERFACE, unknown.As(IID_ITriggerAction, &wrong));
  EXPECT_HR(S_OK, support->InterfaceSupportsErrorInfo(IID_IVersion));
  EXPECT_HR(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));

  // Identity: IUnknown from any interface is the same pointer.
  ComPtr<IUnknown> again;
  ASSERT_HR(S_OK, marshal.As(IID_IUnknown, &again));
  EXPECT_EQ(again.Get(), unknown.Get());

  LONG major = 0, minor = 0;
  ASSERT_HR(S_OK, version->GetVersion(&major, &minor));
  EXPECT_EQ(major, 0x00010002);  // 1.2.0.1 from the version resource
  EXPECT_EQ(minor, 0x00000001);

  // The same through IDispatch by name, as a script would call it.
  win::comkit::UniqueVariant result;
  ASSERT_HR(S_OK, comtest::InvokeByName(dispatch.Get(), L"Description", DISPATCH_PROPERTYGET, {},
                                        result.Get()));
  EXPECT_EQ(V_VT(result.Get()), VT_BSTR);
  EXPECT_EQ(SysStringLen(V_BSTR(result.Get())), 0u);
}

}  // namespace
