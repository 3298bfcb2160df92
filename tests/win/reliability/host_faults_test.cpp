// The add-in with a host that fails it: registration calls refused one at a time, a simulator that
// refuses each record and command, services the host does not have, a project that cannot be
// written, and a module whose resource library is missing. Each is handled as described: the
// documented result, a line in the host's log where the user would otherwise not know, nothing of
// the project lost, and nothing of the host's held afterwards.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/addin/addin_test_support.h"

namespace {

using addintest::Bstr;
using addintest::ComPtr;
using addintest::Lines;
using addintest::UniqueBstr;
using addintest::UniqueVariant;

class HostFaultsTest : public addintest::AddinTest {
 protected:
  void Refuse(const wchar_t* calls) {
    ASSERT_HR(S_OK, standin_->put_RefusedCalls(Bstr(calls).Get()));
  }
  // The project's [Trigger] section as the host holds it.
  std::string Section() {
    UniqueBstr text;
    EXPECT_HR(S_OK, standin_->SectionText(Bstr(L"Trigger").Get(), text.Put()));
    return addintest::Narrow(text.Get());
  }
  // A fresh start on the same project: the simulator and the event list emptied, no log.
  void Reopen() {
    ASSERT_HR(S_OK, standin_->OpenProject(Bstr(project_.c_str()).Get()));
    ASSERT_HR(S_OK, standin_->ClearLog());
  }
  int LogCount(const std::string& start) {
    int count = 0;
    for (const std::string& line : AddinLog()) count += line.rfind(start, 0) == 0;
    return count;
  }
  LONG Count(ITriggerAction* registry) {
    LONG count = -1;
    EXPECT_HR(S_OK, registry->get_Count(&count));
    return count;
  }
  bool InSimulator(ITriggerAction* registry, const wchar_t* name) {
    // Every kind has InSimulator; read it by name.
    ComPtr<IUnknown> found;
    EXPECT_HR(S_OK, registry->FindTrigger(Bstr(name).Get(), found.Put()));
    ComPtr<IDispatch> dispatch;
    if (!found || FAILED(found.As(IID_IDispatch, &dispatch))) return false;
    UniqueVariant value;
    EXPECT_HR(S_OK, comtest::InvokeByName(dispatch.Get(), L"InSimulator", DISPATCH_PROPERTYGET, {},
                                          value.Put()));
    return V_VT(value.Get()) == VT_BOOL && V_BOOL(value.Get()) == VARIANT_TRUE;
  }
};

TEST_F(HostFaultsTest, EachRefusedRegistrationCallIsToldAndTheAddinServesAllTheSame) {
  // In the order the add-in registers; a refusal stops the registration there.
  const char* calls[] = {"AddCommandImages", "AddCommand", "AddPopupMenu", "AddMenuItem",
                         "AddToolbarButton"};
  const std::string original = Section();
  for (size_t refused = 0; refused < std::size(calls); ++refused) {
    SCOPED_TRACE(calls[refused]);
    Reopen();
    ASSERT_HR(S_OK, standin_->ClearCalls());
    Refuse(std::wstring(calls[refused], calls[refused] + strlen(calls[refused])).c_str());
    ASSERT_EQ(Connect(VARIANT_TRUE), 0) << "a refused registration does not end the connection";
    const std::string made = Commands() + Menus();
    EXPECT_NE(made.find(std::string(calls[refused]) + "("), std::string::npos) << made;
    for (size_t later = refused + 1; later < std::size(calls); ++later) {
      EXPECT_EQ(made.find(std::string(calls[later]) + "("), std::string::npos)
          << calls[later] << " comes after the refusal";
    }
    EXPECT_EQ(
        LogCount(std::string("Trigger add-in: the host refused ") + calls[refused] + " while"), 1)
        << Log();
    ComPtr<ITriggerAction> registry = Registry();
    ASSERT_TRUE(registry);
    ASSERT_HR(S_OK, registry->LoadTriggers());
    EXPECT_EQ(Count(registry.Get()), 13);
    registry.Reset();
    ASSERT_HR(S_OK, standin_->Disconnect());
    EXPECT_EQ(Held(), std::vector<std::string>{});
  }
  Refuse(L"");
  EXPECT_EQ(Section(), original) << "nothing of the project changed";
}

TEST_F(HostFaultsTest, RefusedRecordsLeaveEveryTriggerLoadedAndToldAndNothingLost) {
  const std::string original = Section();
  Refuse(L"SimCommand(0x0100)");
  ASSERT_EQ(Connect(), 0);
  ComPtr<ITriggerAction> registry = Registry();
  ASSERT_HR(S_OK, registry->LoadTriggers());
  EXPECT_EQ(Count(registry.Get()), 13) << "every trigger stays";
  UniqueBstr records;
  ASSERT_HR(S_OK, standin_->get_DecodedRecords(records.Put()));
  EXPECT_EQ(addintest::Narrow(records.Get()), "") << "the simulator holds none";
  EXPECT_FALSE(InSimulator(registry.Get(), L"tick"));
  EXPECT_EQ(LogCount("Trigger key "), 13) << Log();
  EXPECT_TRUE(LogHas("Trigger key 0 not registered: the simulator refused the record")) << Log();

  // Saved, every line goes back as it came.
  ASSERT_HR(S_OK, registry->SaveTriggers());
  EXPECT_EQ(Section(), original);
  Refuse(L"");
  registry.Reset();
}

TEST_F(HostFaultsTest, EachRefusedCommandFailsAndChangesNothing) {
  ASSERT_EQ(Connect(), 0);
  ComPtr<ITriggerAction> registry = Registry();
  ASSERT_HR(S_OK, registry->LoadTriggers());
  const UniqueBstr tick(SysAllocString(L"tick"));
  struct Case {
    const wchar_t* refused;
    const char* what;
    std::function<HRESULT()> call;
    HRESULT result;
  };
  const Case cases[] = {
      {L"SimCommand(0x0101)", "delete", [&] { return registry->DeleteTrigger(tick.Get()); },
       E_FAIL},
      {L"SimCommand(0x0102)", "activate", [&] { return registry->Command0102(tick.Get()); },
       E_FAIL},
      {L"SimCommand(0x0102)", "activate all", [&] { return registry->Command0102All(); }, E_FAIL},
      {L"SimCommand(0x0103)", "deactivate", [&] { return registry->Command0103(tick.Get()); },
       E_FAIL},
      {L"SimCommand(0x0103)", "deactivate all", [&] { return registry->Command0103All(); }, E_FAIL},
      {L"SimCommand(0x0105)", "fire", [&] { return registry->Command0105(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0106)", "reset", [&] { return registry->Command0106(tick.Get()); }, E_FAIL},
      {L"SimCommand(0x0106)", "reset all", [&] { return registry->Command0106All(); }, E_FAIL},
      // No active table: the flags stay as they are, and the refresh still succeeds.
      {L"SimCommand(0x0104)", "refresh", [&] { return registry->RefreshActiveFlags(); }, S_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string state = State();
    Refuse(c.refused);
    EXPECT_HR(c.result, c.call());
    Refuse(L"");
    EXPECT_EQ(State(), state) << "the simulator's triggers are as they were";
    EXPECT_EQ(Count(registry.Get()), 13) << "no trigger is lost";
    EXPECT_TRUE(InSimulator(registry.Get(), L"tick"));
  }
  // The refresh that had no table changed no flag: tick is active in the simulator, not here.
  ASSERT_HR(S_OK, standin_->Activate(100));
  Refuse(L"SimCommand(0x0104)");
  ASSERT_HR(S_OK, registry->RefreshActiveFlags());
  Refuse(L"");
  ComPtr<IInterruptTrigger> interrupt =
      Trigger<IInterruptTrigger>(registry.Get(), L"tick", IID_IInterruptTrigger);
  VARIANT_BOOL active = VARIANT_TRUE;
  ASSERT_HR(S_OK, interrupt->get_Active(&active));
  EXPECT_EQ(active, VARIANT_FALSE);
}

TEST_F(HostFaultsTest, WithoutASourceTableInterruptLinesAreToldAsTheyAreRefused) {
  Refuse(L"SimCommand(0x0200)");
  ASSERT_EQ(Connect(), 0);
  ComPtr<ITriggerAction> registry = Registry();
  ASSERT_HR(S_OK, registry->LoadTriggers());
  EXPECT_EQ(Count(registry.Get()), 13);
  // The two interrupt lines (raise and clear) and the SIO line's two modes name sources the
  // simulator did not list.
  int refused = 0;
  for (const std::string& line : AddinLog()) {
    refused += line.find("Invalid parameter: illegal interrupt source") != std::string::npos;
  }
  EXPECT_EQ(refused, 4) << Log();
  LONG sources = -1;
  ASSERT_HR(S_OK, registry->get_SourceCount(&sources));
  EXPECT_EQ(sources, 0);
  Refuse(L"");
}

TEST_F(HostFaultsTest, AMissingServiceIsNamedOnceAndTheRestGoesOn) {
  struct Case {
    const wchar_t* refused;
    const char* told;  // the log line's start; null: nothing to tell
    LONG loaded;       // triggers after the load
  };
  const Case cases[] = {
      // No project settings: nothing to load, and the log says why.
      {L"GetService(Marlin.Manager)",
       "The host has no Marlin.Manager service: the triggers cannot be read from or saved to "
       "the project",
       0},
      {L"GetService(Marlin.TargetCommand)",
       "The host has no Marlin.TargetCommand service: no trigger can be defined in the simulator "
       "or given a command",
       13},
      {L"GetService(Marlin.EventCommand)",
       "The host has no Marlin.EventCommand service: triggers cannot be named in the event list "
       "or deleted",
       13},
      // Without a log there is nobody to tell; the refusals still answer E_FAIL.
      {L"GetService(Tamber.Service)", nullptr, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(addintest::Narrow(Bstr(c.refused).Get()));
    Reopen();
    Refuse(c.refused);
    ASSERT_EQ(Connect(), 0);
    ComPtr<ITriggerAction> registry = Registry();
    ASSERT_HR(S_OK, registry->LoadTriggers());
    EXPECT_EQ(Count(registry.Get()), c.loaded);
    if (c.told) {
      EXPECT_EQ(LogCount(c.told), 1) << Log();
    } else {
      EXPECT_EQ(AddinLog(), std::vector<std::string>{});
      ComPtr<IInterruptTrigger> tick =
          Trigger<IInterruptTrigger>(registry.Get(), L"tick", IID_IInterruptTrigger);
      ASSERT_TRUE(tick);
      EXPECT_HR(E_FAIL, tick->put_Source(Bstr(L"NO_SUCH_SOURCE").Get()));
    }
    registry.Reset();
    ASSERT_HR(S_OK, standin_->Disconnect());
    Refuse(L"");
    EXPECT_EQ(Held(), std::vector<std::string>{});
  }
}

TEST_F(HostFaultsTest, AProjectThatCannotBeWrittenIsToldKeyByKeyAndKeepsItsLines) {
  ASSERT_EQ(Connect(), 0);
  ComPtr<ITriggerAction> registry = Registry();
  ASSERT_HR(S_OK, registry->LoadTriggers());
  const std::string original = Section();
  ASSERT_HR(S_OK, standin_->ClearLog());

  Refuse(L"Manager.WriteProfileString,Manager.WriteProfileInt");
  EXPECT_HR(S_OK, registry->SaveTriggers());
  Refuse(L"");
  EXPECT_EQ(Section(), original) << "the project keeps what it had";
  EXPECT_EQ(LogCount("The host did not store [Trigger] "), 14) << Log();
  EXPECT_TRUE(
      LogHas("The host did not store [Trigger] MaxNum in the project (0x80070005): that "
             "setting is not saved"))
      << Log();

  // A line the project file cannot hold (a name with a line break) is refused by the host alone,
  // and told; the other triggers are saved.
  ASSERT_HR(S_OK, standin_->ClearLog());
  ComPtr<IFileStreamTrigger> file =
      Trigger<IFileStreamTrigger>(registry.Get(), L"adc_samples", IID_IFileStreamTrigger);
  ASSERT_TRUE(file);
  ASSERT_HR(S_OK, file->SetNameUnchecked(Bstr(L"two\r\nlines").Get()));
  EXPECT_HR(S_OK, registry->SaveTriggers());
  EXPECT_EQ(AddinLog(), (std::vector<std::string>{
                            "The host did not store [Trigger] 11 in the project (0x80070057): "
                            "that setting is not saved"}));
}

// Trigger.dll copied alone (with its type library) under another name, so that it finds no
// resource library beside it: loaded by path, not through the registry.
TEST_F(HostFaultsTest, AModuleWithoutItsResourceLibraryConnectsAndSaysWhatIsMissing) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"satellite_missing";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring module = folder + L"\\Alone.dll";
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring bin = self;
  bin.resize(bin.find_last_of(L'\\') + 1);
  ASSERT_TRUE(CopyFileW((bin + L"Trigger.dll").c_str(), module.c_str(), FALSE)) << GetLastError();
  ASSERT_TRUE(CopyFileW((bin + L"Trigger.tlb").c_str(), (folder + L"\\Alone.tlb").c_str(), FALSE));
  DeleteFileW((folder + L"\\AloneRES.DLL").c_str());

  HMODULE alone = LoadLibraryW(module.c_str());
  ASSERT_NE(alone, nullptr) << GetLastError();
  auto get_class_object = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(alone, "DllGetClassObject")));
  auto can_unload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(alone, "DllCanUnloadNow")));
  ASSERT_TRUE(get_class_object && can_unload);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, get_class_object(CLSID_Connect, IID_IClassFactory, factory.PutVoid()));
    ComPtr<IConnect> connect;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_IConnect, connect.PutVoid()));
    factory.Reset();
    ASSERT_HR(S_OK, standin_->ClearCalls());
    EXPECT_HR(S_OK, connect->OnConnection(application_.Get(), VARIANT_TRUE, 7))
        << "a missing resource library is no reason to refuse the host";
    const std::string told = "Trigger add-in: its resource library " +
                             addintest::Narrow(Bstr(folder.c_str()).Get()) +
                             "\\AloneRES.DLL is missing; its command, menu entries and button "
                             "have no names or pictures, and its window and dialogs no layout";
    EXPECT_TRUE(LogHas(told)) << Log();
    EXPECT_NE(Commands().find("AddCommand("), std::string::npos) << "the command is registered";
    EXPECT_HR(S_OK, connect->OnDisconnection());
  }
  EXPECT_HR(S_OK, can_unload());
  FreeLibrary(alone);
  DeleteFileW(module.c_str());
  DeleteFileW((folder + L"\\Alone.tlb").c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
