// The add-in with a host that fails it: registration calls refused one at a time, a simulator
// that refuses commands, a service the host does not have, a project that cannot be
// written, and a module whose resource library is missing. Each ends in the documented result, a
// line in the host log where the user would otherwise not know, nothing of the project lost, and
// no host object held afterwards.
#include <functional>

#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;

class HostFaultsTest : public HostTest {
 protected:
  // A fresh start on the same project: the simulator and the event list emptied, no log.
  void Reopen() {
    ASSERT_HR(S_OK, standin_->OpenProject(Bstr(project_).Get()));
    ASSERT_HR(S_OK, standin_->ClearLog());
    ASSERT_HR(S_OK, standin_->ClearCalls());
  }
  int LogCount(const std::string& start) {
    int count = 0;
    for (const std::string& line : LogLines()) count += line.rfind(start, 0) == 0;
    return count;
  }
  // Disconnects; the add-in must give back everything of the host's.
  void Disconnect() {
    registry_.Reset();
    ASSERT_HR(S_OK, standin_->Disconnect());
    Refuse(L"");
    EXPECT_EQ(Held(), std::vector<std::string>{});
  }
};

TEST_F(HostFaultsTest, EachRefusedRegistrationCallIsToldAndTheAddinServesAllTheSame) {
  // In the order the add-in makes them; a refusal stops the registration there.
  const char* calls[] = {"AddCommandImages", "AddCommand", "AddPopupMenu", "AddMenuItem",
                         "AddToolbarButton"};
  const std::string original = Section(L"Trigger");
  for (size_t refused = 0; refused < std::size(calls); ++refused) {
    SCOPED_TRACE(calls[refused]);
    Reopen();
    Refuse(Wide(calls[refused]).c_str());
    ASSERT_EQ(Connect(), 0) << "a refused registration does not end the connection";
    const std::string made = Read(&IVireoStandin::get_Commands) + Read(&IVireoStandin::get_Menus);
    for (size_t call = 0; call < std::size(calls); ++call) {
      EXPECT_EQ(made.find(calls[call] + std::string("(")) != std::string::npos, call <= refused)
          << calls[call];
    }
    EXPECT_EQ(LogLines(), std::vector<std::string>{
                              "Trigger add-in: the host refused " + std::string(calls[refused]) +
                              " while the add-in registered its command 54201; the trigger window "
                              "may be missing from the host's menus and toolbar"});
    registry_ = Registry();
    ASSERT_TRUE(registry_);
    ASSERT_HR(S_OK, registry_->LoadTriggers());
    EXPECT_EQ(Count(), 13);
    Disconnect();
  }
  EXPECT_EQ(Section(L"Trigger"), original) << "nothing of the project changed";
}

TEST_F(HostFaultsTest, EachRefusedCommandFailsAndChangesNothing) {
  ConnectAndLoad();
  const UniqueBstr tick = Bstr(L"tick");
  const struct {
    const wchar_t* refused;
    std::function<HRESULT()> call;
    HRESULT result;
  } cases[] = {
      {L"SimCommand(0x0101)", [&] { return registry_->DeleteTrigger(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0102)", [&] { return registry_->Command0102(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0102)", [&] { return registry_->Command0102All(); }, E_FAIL},
      {L"SimCommand(0x0103)", [&] { return registry_->Command0103(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0103)", [&] { return registry_->Command0103All(); }, E_FAIL},
      {L"SimCommand(0x0105)", [&] { return registry_->Command0105(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0106)", [&] { return registry_->Command0106(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0106)", [&] { return registry_->Command0106All(); }, E_FAIL},
      // No active table: the flags stay as they are.
      {L"SimCommand(0x0104)", [&] { return registry_->RefreshActiveFlags(); }, S_OK},
  };
  for (const auto& c : cases) {
    const std::string state = State();
    Refuse(c.refused);
    EXPECT_HR(c.result, c.call()) << Narrow(c.refused);
    Refuse(L"");
    EXPECT_EQ(State(), state) << Narrow(c.refused);
    EXPECT_EQ(Count(), 13) << Narrow(c.refused);
    EXPECT_EQ(Property(Find<IInterruptTrigger>(L"tick").Get(), L"InSimulator"), "True");
  }
  Disconnect();
}

// The core names each missing service; here the host's refusal reaches it as a missing one.
TEST_F(HostFaultsTest, AMissingServiceIsNamedOnceAndTheRestGoesOn) {
  Refuse(L"GetService(Marlin.Manager)");
  ConnectAndLoad();
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(LogCount("The host has no Marlin.Manager service: the triggers cannot be read from or "
                     "saved to the project"),
            1)
      << Log();
  Disconnect();
}

TEST_F(HostFaultsTest, AProjectThatCannotBeWrittenIsToldKeyByKeyAndKeepsItsLines) {
  ConnectAndLoad();
  const std::string original = Section(L"Trigger");
  ASSERT_HR(S_OK, standin_->ClearLog());
  Refuse(L"Manager.WriteProfileString,Manager.WriteProfileInt");
  EXPECT_HR(S_OK, registry_->SaveTriggers());
  Refuse(L"");
  EXPECT_EQ(Section(L"Trigger"), original) << "the project keeps what it had";
  EXPECT_EQ(LogCount("The host did not store [Trigger] "), 14) << Log();
  EXPECT_TRUE(
      LogHas("The host did not store [Trigger] MaxNum in the project (0x80070005): that "
             "setting is not saved"))
      << Log();
  Disconnect();
}

// Trigger.dll copied alone (with its type library) under another name, so that it finds no
// resource library beside it; loaded by path, not through the registry.
TEST_F(HostFaultsTest, AModuleWithoutItsResourceLibraryConnectsAndSaysWhatIsMissing) {
  const std::wstring folder = TempPath(L"satellite_missing");
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(
      CopyFileW(BesideTest(L"Trigger.dll").c_str(), (folder + L"\\Alone.dll").c_str(), FALSE));
  ASSERT_TRUE(
      CopyFileW(BesideTest(L"Trigger.tlb").c_str(), (folder + L"\\Alone.tlb").c_str(), FALSE));
  HMODULE alone = LoadLibraryW((folder + L"\\Alone.dll").c_str());
  ASSERT_NE(alone, nullptr) << GetLastError();
  const auto get_class_object =
      reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
          reinterpret_cast<void*>(GetProcAddress(alone, "DllGetClassObject")));
  const auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(alone, "DllCanUnloadNow")));
  {
    ComPtr<IClassFactory> factory;
    ComPtr<IConnect> connect;
    ASSERT_HR(S_OK, get_class_object(CLSID_Connect, IID_IClassFactory, factory.PutVoid()));
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_IConnect, connect.PutVoid()));
    EXPECT_HR(S_OK, connect->OnConnection(application_.Get(), VARIANT_TRUE, 7))
        << "a missing resource library is no reason to refuse the host";
    EXPECT_TRUE(LogHas("Trigger add-in: its resource library " + Narrow(folder) +
                       "\\AloneRES.DLL is missing; its command, menu entries and button have no "
                       "names or pictures, and its window and dialogs no layout"))
        << Log();
    EXPECT_NE(Read(&IVireoStandin::get_Commands).find("AddCommand("), std::string::npos);
    EXPECT_HR(S_OK, connect->OnDisconnection());
  }
  EXPECT_HR(S_OK, can_unload());
  FreeLibrary(alone);
}

}  // namespace
