// The add-in connected to the host stand-in: what it registers with the host, its named objects,
// commands and notifications, its disconnection, the failures of a connection, and the main job
// end to end (the project's triggers loaded into the registry and the simulator, and changes
// saved back into the project file exactly).
#include <gtest/gtest.h>

#include "core/automation/strings.h"
#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;

class AddinTest : public HostTest {};

TEST_F(AddinTest, AConnectionRegistersTheCommandItsMenuAndButtonWithBitmapsTheFirstTime) {
  for (const VARIANT_BOOL first_time : {VARIANT_TRUE, VARIANT_FALSE}) {
    SCOPED_TRACE(first_time);
    ASSERT_HR(S_OK, standin_->ClearCalls());
    ASSERT_EQ(Connect(first_time), 0);
    EXPECT_TRUE(Connected());
    LONG cookie = 0;
    standin_->get_Cookie(&cookie);
    const std::string c = std::to_string(cookie) + ")";
    // The host names the resource module by its file, spelt as it was opened.
    const std::string images = "AddCommandImages(TriggerRES.dll, 14313, 14312, image 40, 1, " + c;
    std::vector<std::string> expected = {"AddCommand(\"Trigger Window\", 54201, 1, " + c,
                                         "AddToolbarButton(\"Triggers\", image 40, 1, " + c};
    std::vector<std::string> commands = Lines(Read(&IVireoStandin::get_Commands));
    if (first_time) {
      ASSERT_FALSE(commands.empty());
      EXPECT_TRUE(core::automation::EqualsIgnoreCase(commands[0], images)) << commands[0];
      commands.erase(commands.begin());
    }
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(Read(&IVireoStandin::get_Menus),
              "AddPopupMenu(\"Triggers\", 0, 1024, menu, \"Simulator Triggers\", " + c +
                  "\nAddMenuItem(\"&Trigger Window\", 0, 1024, 54201, 1, " + c + "\n");
    // The host found the bitmaps in the resource library, a real popup menu and its own image.
    EXPECT_EQ(LogLines(true), std::vector<std::string>{}) << Log();
    EXPECT_EQ(LogLines(), std::vector<std::string>{}) << Log();
    ASSERT_HR(S_OK, standin_->Disconnect());
  }
}

TEST_F(AddinTest, AnObjectThatIsNoHostApplicationIsRefused) {
  ComPtr<IConnect> connect;
  ComPtr<IDispatch> not_a_host;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Connect, nullptr, CLSCTX_INPROC_SERVER, IID_IConnect,
                                   connect.PutVoid()));
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   not_a_host.PutVoid()));
  EXPECT_HR(1, connect->OnConnection(not_a_host.Get(), VARIANT_TRUE, 1));
  EXPECT_HR(1, connect->OnConnection(nullptr, VARIANT_TRUE, 1));
  EXPECT_HR(S_OK, connect->OnDisconnection()) << "nothing to disconnect";
  UniqueBstr type;
  ASSERT_HR(S_OK, connect->get_Type(type.Put()));
  EXPECT_EQ(Narrow(type.Get()), "ADDIN");
}

// A class object that makes nothing, registered for this process only.
class RefusingFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, void** out) override {
    *out = nullptr;
    return E_ACCESSDENIED;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

TEST_F(AddinTest, WithoutItsRegistryTheAddinDoesNotConnectAndKeepsNothing) {
  RefusingFactory refusing;
  DWORD registration = 0;
  ASSERT_HR(S_OK, CoRegisterClassObject(CLSID_TriggerAction, &refusing, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &registration));
  const LONG result = Connect();
  ASSERT_HR(S_OK, CoRevokeClassObject(registration));
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(Connected());
  EXPECT_EQ(Held(), std::vector<std::string>{}) << "the host application is released";
  EXPECT_EQ(LogLines(), std::vector<std::string>{
                            "Trigger add-in: cannot create its TriggerAction object (0x80070005); "
                            "the add-in is not connected"});
  EXPECT_HR(S_OK, TriggerCanUnload()) << "the version object is released too";
}

TEST_F(AddinTest, TheCommandObjectNamesItsObjectsAndStatesOnlyWhileConnected) {
  ComPtr<ICommand> command;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_Command, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ICommand),
                                   command.PutVoid()));
  IDispatch* object = reinterpret_cast<IDispatch*>(1);
  EXPECT_HR(S_OK, command->GetObject(Bstr(L"Version").Get(), &object));
  EXPECT_EQ(object, nullptr) << "no objects before a connection";
  EXPECT_HR(S_OK, command->Exec(54201));
  EXPECT_HR(S_OK, command->OnEvent(0x2011, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_HR(S_OK, command->OnEvent(0x2002, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(Log(), "") << "nothing happens before a connection";

  ASSERT_EQ(Connect(), 0);
  // The core reads the names and decides the states; its answers reach the host.
  ComPtr<IDispatch> version = Named(L"Version");
  ComPtr<IVersion> typed;
  EXPECT_HR(S_OK, version.As(IID_IVersion, &typed));
  EXPECT_EQ(Named(L"Trigger.Version").Get(), version.Get()) << "one object, named twice";
  EXPECT_TRUE(Registry());
  EXPECT_EQ(Named(L"Trigger.Nothing").Get(), nullptr);
  const LONG cases[][3] = {{54201, 5, 1}, {54202, 7, 7}};
  for (const auto& [id, initial, expected] : cases) {
    LONG status = -100;
    EXPECT_HR(S_OK, standin_->QueryStatus(id, initial, &status));
    EXPECT_EQ(status, expected) << id;
  }
  ASSERT_HR(S_OK, standin_->ClearLog());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  EXPECT_HR(S_OK, standin_->Exec(54202));
  EXPECT_HR(S_OK, standin_->Exec(0));
  EXPECT_EQ(Log() + Calls(), "");
}

TEST_F(AddinTest, DisconnectionWithdrawsTheWindowKindAndReleasesEverything) {
  ConnectAndLoad();  // the bridge obtains every service
  registry_.Reset();
  ASSERT_HR(S_OK, standin_->OnEvent(0x2002));
  EXPECT_HR(S_FALSE, TriggerCanUnload());
  ASSERT_HR(S_OK, standin_->ClearCalls());
  ASSERT_HR(S_OK, standin_->Disconnect());
  EXPECT_EQ(Calls(), "RemoveWindowKind(\"115001\")\n");
  EXPECT_EQ(Held(), std::vector<std::string>{});
  EXPECT_HR(S_OK, TriggerCanUnload());
  EXPECT_EQ(LogLines(true), std::vector<std::string>{}) << Log();
}

TEST_F(AddinTest, ATriggerMadeByItsProgIdUsesTheRegistryWhileConnected) {
  ComPtr<IInterruptTrigger> trigger;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_InterruptTrigger, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IInterruptTrigger, trigger.PutVoid()));
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"TIMER0_OVF").Get())) << "no registry to check";
  ConnectAndLoad();
  ASSERT_HR(S_OK, standin_->ClearLog());
  EXPECT_HR(S_OK, trigger->put_Source(Bstr(L"TIMER0_OVF").Get()));
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"NO_SUCH_SOURCE").Get()));
  EXPECT_HR(E_FAIL, trigger->put_Name(Bstr(L"uart_hello").Get())) << "a loaded trigger's name";
  EXPECT_HR(S_OK, trigger->put_Name(Bstr(L"spare").Get()));
  ASSERT_EQ(LogLines().size(), 2u) << Log();
  EXPECT_EQ(LogLines()[0], "Invalid parameter: illegal interrupt source");
  registry_.Reset();
  ASSERT_HR(S_OK, standin_->Disconnect());
  EXPECT_HR(E_FAIL, trigger->put_Source(Bstr(L"TIMER0_OVF").Get())) << "the registry is gone";
  EXPECT_HR(S_FALSE, TriggerCanUnload()) << "the test still holds the trigger";
  trigger.Reset();
  EXPECT_HR(S_OK, TriggerCanUnload());
}

TEST_F(AddinTest, EveryKindLoadsIntoTheRegistryAndTheSimulator) {
  ConnectAndLoad();
  EXPECT_EQ(Count(), 13);
  EXPECT_EQ(Log(), "");
  VARIANT_BOOL modified = VARIANT_TRUE;
  ASSERT_HR(S_OK, standin_->get_Modified(&modified));
  EXPECT_EQ(modified, VARIANT_FALSE) << "loading alone does not modify the project";
  EXPECT_EQ(Lines(Events()).size(), 13u) << "each trigger is named in the event list";
  // The whole 836-byte block, byte for byte: tick raises TIMER0_OVF (0x0010).
  std::string record = "00 00 00 01 64 00 01 00 E8 03 00 00 0A 00 00 00 10 00";
  for (int i = 18; i < 836; ++i) record += " 00";
  UniqueBstr bytes;
  ASSERT_HR(S_OK, standin_->RecordBytes(100, bytes.Put()));
  EXPECT_EQ(Narrow(bytes.Get()), record);
  EXPECT_EQ(Read(&IVireoStandin::get_DecodedRecords).find("not zero"), std::string::npos);
}

TEST_F(AddinTest, ChangesMadeThroughAutomationAreSavedBackExactly) {
  const std::string original = ReadFile(project_);
  ConnectAndLoad();
  ComPtr<IInterruptTrigger> tick = Find<IInterruptTrigger>(L"tick"), spare;
  ASSERT_TRUE(tick);
  ASSERT_HR(S_OK, tick->put_Cycle(2000));
  ASSERT_HR(S_OK, tick->Register());
  ComPtr<IDispatch> created;
  ASSERT_HR(S_OK, registry_->CreateInterruptTrigger(created.Put()));
  ASSERT_HR(S_OK, created.As(IID_IInterruptTrigger, &spare));
  ASSERT_HR(S_OK, spare->put_Name(Bstr(L"spare").Get()));
  ASSERT_HR(S_OK, spare->put_Source(Bstr(L"ADC_DONE").Get()));
  ASSERT_HR(S_OK, spare->put_Cycle(5));
  ASSERT_HR(S_OK, spare->put_Wait(6));
  ASSERT_HR(S_OK, spare->Register());
  VARIANT_BOOL modified = VARIANT_FALSE;
  ASSERT_HR(S_OK, standin_->get_Modified(&modified));
  EXPECT_EQ(modified, VARIANT_TRUE) << "a definition outside loading marks the project modified";

  ASSERT_HR(S_OK, registry_->SaveTriggers());
  ASSERT_HR(S_OK, standin_->SaveProject());
  std::string expected = original;
  const auto replace = [&](const std::string& from, const std::string& to) {
    const size_t at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  const std::string end = original.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  const std::string last =
      "12=112,Data,adc_noise,ADC_RESULT,16BIT,REPEAT,RANDOM2,32,0,1023,),10,1,0x000003ff" + end;
  replace("MaxNum=13", "MaxNum=14");
  replace("0=100,interrupt,tick,TIMER0_OVF,1000,10", "0=100,interrupt,tick,TIMER0_OVF,2000,10");
  replace(last, last + "13=113,interrupt,spare,ADC_DONE,5,6" + end);
  EXPECT_EQ(ReadFile(project_), expected);
}

TEST_F(AddinTest, DeletingAnActiveTriggerDropsItInTheSimulator) {
  ConnectAndLoad();
  ASSERT_HR(S_OK, standin_->Activate(100));
  ASSERT_HR(S_OK, standin_->OnEvent(0x2011));
  ASSERT_HR(S_OK, standin_->ClearSimulatorJournal());
  ASSERT_HR(S_OK, registry_->DeleteTrigger(Bstr(L"tick").Get()));
  EXPECT_EQ(Read(&IVireoStandin::get_SimulatorJournal), "drop 100\n");
  EXPECT_EQ(State().find("100 "), std::string::npos) << State();
  EXPECT_EQ(Events().rfind("100 ", 0), std::string::npos) << Events();
}

}  // namespace
