// The add-in connected to the host stand-in: the registration the host records, named objects,
// command status and execution, notifications, disconnection, and the connection's failures.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/automation/strings.h"
#include "tests/win/addin/addin_test_support.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using addintest::RefCount;
using addintest::UniqueBstr;

class ConnectionTest : public addintest::AddinTest {};

TEST_F(ConnectionTest, AFirstConnectionRegistersBitmapsCommandMenuAndButton) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  EXPECT_TRUE(Connected());
  const std::string c = std::to_string(Cookie());
  // The host names the resource module by its file, whose name is spelt as it was opened.
  const std::vector<std::string> commands = addintest::Lines(Commands());
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_TRUE(core::automation::EqualsIgnoreCase(
      commands[0], "AddCommandImages(TriggerRES.dll, 14313, 14312, image 40, 1, " + c + ")"))
      << commands[0];
  EXPECT_EQ(commands[1], "AddCommand(\"Trigger Window\", 54201, 1, " + c + ")");
  EXPECT_EQ(commands[2], "AddToolbarButton(\"Triggers\", image 40, 1, " + c + ")");
  EXPECT_EQ(Menus(), "AddPopupMenu(\"Triggers\", 0, 1024, menu, \"Simulator Triggers\", " + c +
                         ")\n"
                         "AddMenuItem(\"&Trigger Window\", 0, 1024, 54201, 1, " +
                         c + ")\n");
  // The host found the bitmaps in the resource library, a real popup menu and its own image.
  EXPECT_TRUE(HostNotes().empty()) << Log();
  EXPECT_TRUE(AddinLog().empty()) << Log();
}

TEST_F(ConnectionTest, ALaterConnectionRegistersNoBitmapsAndNamesTheImageItHas) {
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  ASSERT_HR(S_OK, standin_->Disconnect());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  ASSERT_EQ(Connect(VARIANT_FALSE), 0);
  const std::string c = std::to_string(Cookie());
  EXPECT_EQ(Commands(), "AddCommand(\"Trigger Window\", 54201, 1, " + c +
                            ")\n"
                            "AddToolbarButton(\"Triggers\", image 40, 1, " +
                            c + ")\n");
  EXPECT_EQ(Menus(), "AddPopupMenu(\"Triggers\", 0, 1024, menu, \"Simulator Triggers\", " + c +
                         ")\n"
                         "AddMenuItem(\"&Trigger Window\", 0, 1024, 54201, 1, " +
                         c + ")\n");
  EXPECT_TRUE(HostNotes().empty()) << Log();
}

TEST_F(ConnectionTest, ARefusedRegistrationCallIsReportedButTheAddinConnects) {
  ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(L"AddMenuItem").Get()));
  ASSERT_EQ(Connect(VARIANT_TRUE), 0);
  EXPECT_TRUE(Connected());
  const std::string c = std::to_string(Cookie());
  EXPECT_EQ(Menus(), "AddPopupMenu(\"Triggers\", 0, 1024, menu, \"Simulator Triggers\", " + c +
                         ")\n"
                         "AddMenuItem(\"&Trigger Window\", 0, 1024, 54201, 1, " +
                         c + ") refused\n");
  EXPECT_EQ(Commands().find("AddToolbarButton"), std::string::npos) << "the registration stops";
  EXPECT_TRUE(
      LogHas("Trigger add-in: the host refused AddMenuItem while the add-in registered "
             "its command 54201; the trigger window may be missing from the host's menus "
             "and toolbar"))
      << Log();
  EXPECT_TRUE(Registry()) << "the registry serves the host all the same";
}

TEST_F(ConnectionTest, AnObjectThatIsNoHostApplicationIsRefused) {
  ComPtr<IConnect> connect;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Connect, nullptr, CLSCTX_INPROC_SERVER, IID_IConnect,
                                   connect.PutVoid()));
  ComPtr<IDispatch> not_a_host;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   not_a_host.PutVoid()));
  EXPECT_HR(1, connect->OnConnection(not_a_host.Get(), VARIANT_TRUE, 1));
  EXPECT_HR(1, connect->OnConnection(nullptr, VARIANT_TRUE, 1));
  EXPECT_HR(S_OK, connect->OnDisconnection()) << "nothing to disconnect";
  UniqueBstr type;
  ASSERT_HR(S_OK, connect->get_Type(type.Put()));
  EXPECT_EQ(addintest::Narrow(type.Get()), "ADDIN");
}

// A class object that makes nothing, registered for this process only.
class RefusingFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, void** out) override {
    *out = nullptr;
    return E_ACCESSDENIED;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST_F(ConnectionTest, WithoutItsRegistryTheAddinDoesNotConnectAndKeepsNothing) {
  RefusingFactory refusing;
  DWORD registration = 0;
  ASSERT_HR(S_OK, CoRegisterClassObject(CLSID_TriggerAction, &refusing, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &registration));
  const LONG result = Connect(VARIANT_TRUE);
  ASSERT_HR(S_OK, CoRevokeClassObject(registration));

  EXPECT_EQ(result, 1);
  EXPECT_FALSE(Connected());
  EXPECT_EQ(Held(), std::vector<std::string>{}) << "the host application is released";
  EXPECT_EQ(AddinLog(), std::vector<std::string>{
                            "Trigger add-in: cannot create its TriggerAction object (0x80070005); "
                            "the add-in is not connected"});
  EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow()) << "the version object is released too";
}

TEST_F(ConnectionTest, GetObjectNamesTheSingletonsByTheTextAfterTheFirstDot) {
  ASSERT_EQ(Connect(), 0);
  ComPtr<IDispatch> version = Named(L"Version");
  ComPtr<IDispatch> registry = Named(L"TriggerAction");
  ASSERT_TRUE(version);
  ASSERT_TRUE(registry);

  const struct {
    const wchar_t* name;
    IDispatch* expected;
  } cases[] = {
      {L"Trigger.Version", version.Get()}, {L"version", version.Get()},
      {L"Trigger.VERSION", version.Get()}, {L"Trigger.TriggerAction", registry.Get()},
      {L"triggeraction", registry.Get()},  {L"Trigger.Nothing", nullptr},
      {L"Trigger.Version.1", nullptr},     {L"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(addintest::Narrow(Bstr(c.name).Get()));
    ComPtr<IDispatch> object;
    EXPECT_HR(S_OK, standin_->GetObject(Bstr(c.name).Get(), object.Put()));
    EXPECT_EQ(object.Get(), c.expected);
  }

  ComPtr<IVersion> typed;
  ASSERT_HR(S_OK, version.As(IID_IVersion, &typed));
  LONG major = 0, minor = 0;
  ASSERT_HR(S_OK, typed->GetVersion(&major, &minor));
  EXPECT_EQ(major, 0x00010002);
  EXPECT_EQ(minor, 1);
}

TEST_F(ConnectionTest, BeforeConnectionThereAreNoObjectsAndCommandsDoNothing) {
  ComPtr<ICommand> command;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Command, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ICommand),
                                   command.PutVoid()));
  for (const wchar_t* name : {L"Trigger.TriggerAction", L"Version"}) {
    IDispatch* object = reinterpret_cast<IDispatch*>(1);
    EXPECT_HR(S_OK, command->GetObject(Bstr(name).Get(), &object));
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_HR(S_OK, command->Exec(54201));
  EXPECT_HR(S_OK, command->OnEvent(0x2011, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_HR(S_OK, command->OnEvent(0x2002, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(Log(), "");
}

TEST_F(ConnectionTest, QueryStatusEnablesTheTriggerCommandOnly) {
  ASSERT_EQ(Connect(), 0);
  const struct {
    LONG command;
    LONG initial;
    LONG expected;
  } cases[] = {
      {54201, 0, 1}, {54201, 5, 1}, {54202, 7, 7}, {54200, 0, 0}, {0, -3, -3},
  };
  for (const auto& c : cases) {
    LONG status = -100;
    EXPECT_HR(S_OK, standin_->QueryStatus(c.command, c.initial, &status));
    EXPECT_EQ(status, c.expected) << c.command;
  }
}

TEST_F(ConnectionTest, OnlyTheTriggerCommandDoesAnything) {
  ASSERT_EQ(Connect(), 0);
  ASSERT_HR(S_OK, standin_->ClearLog());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  EXPECT_HR(S_OK, standin_->Exec(54202));
  EXPECT_HR(S_OK, standin_->Exec(0));
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(Calls(), "");
}

TEST_F(ConnectionTest, TheMemoryCommandServiceIsHeldWhileTheDebuggerRuns) {
  ASSERT_EQ(Connect(), 0);
  ComPtr<IDispatch> memory = Service(L"Marlin.MemoryCommand");
  ASSERT_TRUE(memory);
  const ULONG free = RefCount(memory.Get());
  ASSERT_HR(S_OK, standin_->OnEvent(0x2002));
  EXPECT_EQ(RefCount(memory.Get()), free + 1);
  ASSERT_HR(S_OK, standin_->OnEvent(0x2002));
  EXPECT_EQ(RefCount(memory.Get()), free + 1) << "held once, however often the debugger starts";
  ASSERT_HR(S_OK, standin_->OnEvent(0x2003));
  EXPECT_EQ(RefCount(memory.Get()), free);
  ASSERT_HR(S_OK, standin_->OnEvent(0x2003));
  EXPECT_EQ(RefCount(memory.Get()), free);

  ASSERT_HR(S_OK, standin_->OnEvent(0x2002));
  memory.Reset();
  ASSERT_HR(S_OK, standin_->Disconnect());
  EXPECT_EQ(Held(), std::vector<std::string>{}) << "released at disconnection";
}

TEST_F(ConnectionTest, RefreshNotificationsReadTheSimulatorsEventStates) {
  ASSERT_EQ(Connect(), 0);
  ComPtr<ITriggerAction> registry = Registry();
  ASSERT_HR(S_OK, registry->LoadTriggers());
  ComPtr<IInterruptTrigger> tick =
      Trigger<IInterruptTrigger>(registry.Get(), L"tick", IID_IInterruptTrigger);
  ASSERT_TRUE(tick);
  auto active = [&] {
    VARIANT_BOOL value = 0x1234;
    EXPECT_HR(S_OK, tick->get_Active(&value));
    return value;
  };
  const struct {
    const char* debugger;  // what the debugger does to trigger 100
    LONG code;
    VARIANT_BOOL expected;
  } steps[] = {
      {"activate", 0x2010, VARIANT_FALSE},  // not a refresh code: the flag stays as it was
      {"activate", 0x2011, VARIANT_TRUE},    {"deactivate", 0x2002, VARIANT_TRUE},
      {"deactivate", 0x2200, VARIANT_FALSE}, {"activate", 0x2003, VARIANT_FALSE},
      {"activate", 0x2901, VARIANT_TRUE},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << step.debugger << " then 0x" << std::hex << step.code);
    if (std::string(step.debugger) == "activate") {
      ASSERT_HR(S_OK, standin_->Activate(100));
    } else {
      ASSERT_HR(S_OK, standin_->Deactivate(100));
    }
    ASSERT_HR(S_OK, standin_->OnEvent(step.code));
    EXPECT_EQ(active(), step.expected);
  }
}

TEST_F(ConnectionTest, DisconnectionWithdrawsTheWindowKindAndReleasesEverything) {
  ASSERT_EQ(Connect(), 0);
  ASSERT_HR(S_OK, LoadTriggers());  // the bridge obtains every service
  ASSERT_HR(S_OK, standin_->OnEvent(0x2002));
  EXPECT_HR(S_FALSE, addintest::TriggerDllCanUnloadNow());

  ASSERT_HR(S_OK, standin_->ClearCalls());
  ASSERT_HR(S_OK, standin_->Disconnect());
  EXPECT_EQ(Calls(), "RemoveWindowKind(\"115001\")\n");
  // The application and every service the add-in was handed are given back (the host counts
  // them); the stand-in released the Connect and Command objects, and the add-in holds none of
  // its own.
  EXPECT_EQ(Held(), std::vector<std::string>{});
  EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow());
  EXPECT_TRUE(HostNotes().empty()) << Log();
}

TEST_F(ConnectionTest, ATriggerMadeByItsProgIdUsesTheRegistryWhileConnected) {
  ComPtr<IInterruptTrigger> trigger;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_InterruptTrigger, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IInterruptTrigger, trigger.PutVoid()));
  // Without a registry, its checks fail cleanly (and there is no log to write to).
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"TIMER0_OVF").Get()));

  ASSERT_EQ(Connect(), 0);
  ASSERT_HR(S_OK, LoadTriggers());
  ASSERT_HR(S_OK, standin_->ClearLog());
  EXPECT_HR(S_OK, trigger->put_Source(Bstr(L"TIMER0_OVF").Get()));
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"NO_SUCH_SOURCE").Get()));
  EXPECT_HR(E_FAIL, trigger->put_Name(Bstr(L"uart_hello").Get())) << "a loaded trigger's name";
  EXPECT_HR(S_OK, trigger->put_Name(Bstr(L"spare").Get()));
  const std::vector<std::string> log = AddinLog();
  ASSERT_EQ(log.size(), 2u) << Log();
  EXPECT_EQ(log[0], "Invalid parameter: illegal interrupt source");

  ASSERT_HR(S_OK, standin_->Disconnect());
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"TIMER0_OVF").Get())) << "the registry is gone";
  EXPECT_HR(S_FALSE, addintest::TriggerDllCanUnloadNow()) << "the test still holds the trigger";
  trigger.Reset();
  EXPECT_HR(S_OK, addintest::TriggerDllCanUnloadNow());
}

}  // namespace
