// The registry against the fake host: creation by kind and keyword, name checks; deletion,
// commands, the Active flags and the interrupt source table against a golden transcript of what
// reaches the host; and the lifetime of triggers, their context and the window hooks.
#include "core/registry/trigger_action.h"

#include <gtest/gtest.h>

#include "core/triggers/connect_trigger.h"
#include "core/triggers/interrupt_trigger.h"
#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

// A typed creation operation: the trigger it made, as the base class.
template <typename Kind>
std::function<std::shared_ptr<CTrigger>(CTriggerAction&)> Typed(
    HResult (CTriggerAction::*create)(std::shared_ptr<Kind>*)) {
  return [create](CTriggerAction& registry) {
    std::shared_ptr<Kind> made;
    EXPECT_HR(kOk, (registry.*create)(&made));
    return std::shared_ptr<CTrigger>(made);
  };
}

TEST_F(RegistryTest, EveryCreationOperationMakesItsKindAndFailsWhenFull) {
  using A = CTriggerAction;
  const std::function<std::shared_ptr<CTrigger>(A&)> creations[] = {
      Typed(&A::CreateInterruptTrigger),  Typed(&A::CreateTransferTrigger),
      Typed(&A::CreateStreamTrigger),     Typed(&A::CreateIOStreamTrigger),
      Typed(&A::CreateConnectTrigger),    Typed(&A::CreateControlTrigger),
      Typed(&A::CreateMessageTrigger),    Typed(&A::CreateSioTrigger),
      Typed(&A::CreateFileStreamTrigger), Typed(&A::CreateIOAccessTrigger)};
  for (int number = 0; number < 10; ++number) {
    SCOPED_TRACE(number);
    const std::shared_ptr<CTrigger> made = creations[number](registry_);
    EXPECT_EQ(registry_.GetTriggerByNumber(number), made) << "in the order of creation";
    EXPECT_EQ(made->Kind(), core::triggers::KindTable()[number].kind);
    EXPECT_EQ(registry_.GetKindByNumber(number), static_cast<uint16_t>(made->Kind()));
  }
  for (int32_t number : {10, -1, 256}) EXPECT_EQ(registry_.GetKindByNumber(number), 0xFFFF);
  EXPECT_EQ(registry_.GetTriggerByNumber(300), nullptr);
  EXPECT_EQ(registry_.GetAdapterByNumber(200), Variant::ByRef(nullptr));

  // By keyword: the kind's adapter in the next slot, as GetAdapterByNumber gives it.
  Variant adapter = Variant::I4(7);
  EXPECT_HR(kFail, registry_.CreateTriggerByKeyword("", &adapter));
  EXPECT_TRUE(adapter.IsEmpty());
  ASSERT_HR(kOk, registry_.CreateTriggerByKeyword("Data", &adapter));
  EXPECT_EQ(adapter.TypeWord(), 0x4000);
  ASSERT_EQ(adapter, registry_.GetAdapterByNumber(10));
  EXPECT_EQ(static_cast<TriggerInfo*>(adapter.Pointer())->GetKind(),
            static_cast<int32_t>(TriggerKind::Stream));

  for (int32_t i = registry_.Count(); i < 256; ++i) Create(TriggerKind::FileStream);
  auto refused = std::make_shared<core::triggers::CTransferTrigger>(registry_.Context());
  EXPECT_HR(kFail, registry_.CreateTransferTrigger(&refused));
  EXPECT_EQ(refused, nullptr);
  EXPECT_HR(kFail, registry_.CreateTriggerByKeyword("sio", &adapter));
  EXPECT_TRUE(adapter.IsEmpty());
  EXPECT_EQ(registry_.Count(), 256);
  // A freed slot is taken again; after it, the search from the next slot finds none free.
  ASSERT_HR(kOk, registry_.DeleteTrigger(registry_.GetTriggerByNumber(3)->Name()));
  EXPECT_EQ(Create(TriggerKind::Sio)->Number(), 3);
  EXPECT_HR(kFail, registry_.CreateTriggerByKeyword("sio", &adapter));
}

TEST_F(RegistryTest, NameChecksExcludeOnlyTheGivenNumber) {
  Create(TriggerKind::Sio);      // 0 "sio"
  Create(TriggerKind::Control);  // 1 "control"
  // A name given by a definition line may clash with another trigger's.
  registry_.GetTriggerByNumber(1)->SetNameUnchecked("sio");

  EXPECT_HR(kFail, registry_.CheckNameUnique("sio"));
  EXPECT_HR(kOk, registry_.CheckNameUnique("SIO"));
  EXPECT_HR(kFail, registry_.CheckNameUniqueExcept("sio", 0)) << "trigger 1 still bears it";
  EXPECT_HR(kOk, registry_.CheckNameUniqueExcept("control", 1));
  EXPECT_HR(kOk, registry_.CheckNameUniqueExcept("other", 5));

  // Look-ups and deletion act on the lower slot of two equal names.
  EXPECT_EQ(registry_.FindTrigger("sio"), registry_.GetTriggerByNumber(0));
  EXPECT_EQ(registry_.FindNumberByName("Sio"), -1);
  EXPECT_EQ(registry_.FindTrigger("Sio"), nullptr);
  EXPECT_HR(kOk, registry_.DeleteTrigger("sio"));
  EXPECT_EQ(registry_.GetTriggerByNumber(0), nullptr);
  EXPECT_NE(registry_.GetTriggerByNumber(1), nullptr);

  // Its triggers ask the registry when renamed.
  const std::shared_ptr<CTrigger> other = Create(TriggerKind::Interrupt);
  EXPECT_HR(kFail, other->PutName("sio"));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{core::triggers::kNameClashMessage});
  EXPECT_HR(kOk, other->PutName("interrupt")) << "its own name is no clash";
}

// Deletion drops only triggers in the simulator and keeps one the simulator refuses; the
// commands carry the id of the slot or -1; the Active flags come from the table of the
// simulator, read afresh; the interrupt sources are fetched until the table holds entries.
TEST_F(RegistryTest, DeletionCommandsActiveFlagsAndSourcesAsTheTranscriptSays) {
  uint32_t active[256] = {};
  std::string name;
  int32_t code = 1234;
  using A = CTriggerAction;
  const auto command = [&](HResult (A::*by_name)(const std::string&), const char* name) {
    return [this, by_name, name] { return (registry_.*by_name)(name); };
  };
  const auto all = [&](HResult (A::*all)()) { return [this, all] { return (registry_.*all)(); }; };
  const Steps steps = {
      {"create three, register two",
       [&] {
         return Create(TriggerKind::FileStream), CreateRegistered(), CreateRegistered(), kOk;
       }},
      {"delete one no trigger bears", [&] { return registry_.DeleteTrigger("nobody"); }},
      {"delete one never defined", [&] { return registry_.DeleteTrigger("filestream"); }},
      {"the event list refuses", [&] { return state_.remove_name_result = kFail, kOk; }},
      {"delete a defined one", [&] { return registry_.DeleteTrigger("filestream1"); }},
      {"delete all stops at the refusal",
       [&] { return Create(TriggerKind::IOAccess), registry_.DeleteAllTriggers(); }},
      {"the event list takes it", [&] { return state_.remove_name_result = kOk, kOk; }},
      {"activate", command(&A::Command0102, "filestream1")},
      {"deactivate", command(&A::Command0103, "filestream1")},
      {"fire", command(&A::Command0105, "filestream2")},
      {"reset", command(&A::Command0106, "filestream1")},
      {"names are exact", command(&A::Command0105, "FILESTREAM1")},
      {"activate all", all(&A::Command0102All)},
      {"deactivate all", all(&A::Command0103All)},
      {"reset all", all(&A::Command0106All)},
      {"the simulator fails commands", [&] { return state_.command_result = kFail, kOk; }},
      {"activate", command(&A::Command0102, "filestream1")},
      {"reset all", all(&A::Command0106All)},
      {"the simulator takes them", [&] { return state_.command_result = kOk, kOk; }},
      {"flags without a table",
       [&] {
         Create(TriggerKind::IOStream);
         registry_.GetTriggerByNumber(2)->PutActive(-1);
         return registry_.RefreshActiveFlags();
       }},
      {"flags from the table",
       [&] {
         active[0] = 1, active[1] = 7, active[2] = 0, active[3] = 1;
         simulator_.active_table = active;
         return registry_.RefreshActiveFlags();
       }},
      {"the same table, read afresh",
       [&] {
         active[1] = 0, active[2] = 1;
         simulator_.active_table = nullptr;
         return registry_.RefreshActiveFlags();
       }},
      {"resolving never fetches",
       [&] { return registry_.ResolveInterruptSource("INT1", &code), code == 1234 ? kOk : kFail; }},
      {"no table yet", [&] { return registry_.CheckInterruptSource("INT0"); }},
      {"the table is fetched",
       [&] {
         return simulator_.source_table = ShortSourceTable(),
                registry_.SourceCount() == 3 ? kOk : kFail;
       }},
      {"name 2", [&] { return registry_.GetSourceName(2, &name); }},
      {"name 3", [&] { return registry_.GetSourceName(3, &name); }},
      {"name -1", [&] { return registry_.GetSourceName(-1, &name); }},
      {"check int1", [&] { return registry_.CheckInterruptSource("int1"); }},
      {"check 2", [&] { return registry_.CheckInterruptSource("2"); }},
      {"check 3", [&] { return registry_.CheckInterruptSource("3"); }},
      {"resolve int1", [&] { return registry_.ResolveInterruptSource("int1", &code); }},
      {"delete all", [&] { return registry_.DeleteAllTriggers(); }},
      {"delete all of none", [&] { return registry_.DeleteAllTriggers(); }},
  };
  std::string transcript = Transcript(steps, registry_);
  transcript += "source name " + name + ", code " + std::to_string(code) + "\n";
  test_support::ExpectGolden("core/registry/golden/trigger_action.txt", transcript);
}

TEST_F(RegistryTest, DeletionRefreshesTheTriggerWindowWhichMayDeleteMore) {
  std::vector<int32_t> refreshed;
  std::unique_ptr<CTriggerAction> registry;
  core::registry::WindowHooks hooks;
  // Like the window's purge: every refresh removes the triggers the simulator does not know.
  hooks.refresh_trigger_window = [&] {
    refreshed.push_back(registry->Count());
    for (int slot = 0; slot < 256; ++slot) {
      TriggerInfo* adapter = registry->AdapterAt(slot);
      if (adapter && !adapter->IsInSimulator()) adapter->RemoveFromRegistry();
    }
  };
  registry = std::make_unique<CTriggerAction>(bridge_, host_, hooks);
  for (int i = 0; i < 4; ++i) {
    ASSERT_HR(kOk, registry->CreateTrigger(TriggerKind::FileStream, nullptr));
  }
  ASSERT_HR(kOk, registry->GetTriggerByNumber(3)->Register());

  // Deleting 0 refreshes; the purge deletes 1 and 2, each refreshing again (and finding nothing).
  EXPECT_HR(kOk, registry->DeleteTrigger("filestream"));
  EXPECT_EQ(registry->Count(), 1);
  EXPECT_NE(registry->GetTriggerByNumber(3), nullptr);
  EXPECT_EQ(refreshed, (std::vector<int32_t>{3, 2, 1}));

  auto loose = core::rows::MakeTriggerInfo(
      std::make_shared<core::triggers::CConnectTrigger>(registry_.Context()));
  EXPECT_HR(kFail, loose->RemoveFromRegistry()) << "no registry holds it";
}

TEST_F(RegistryTest, TriggersOutliveTheirRegistryWithAWorkingBridge) {
  auto registry = std::make_unique<CTriggerAction>(bridge_, host_);
  std::shared_ptr<core::triggers::CConnectTrigger> connect;
  ASSERT_HR(kOk, registry->CreateConnectTrigger(&connect));
  ASSERT_HR(kOk, registry->CreateTrigger(TriggerKind::Sio, nullptr));
  const std::shared_ptr<core::triggers::TriggerContext> context = registry->Context();
  EXPECT_EQ(context->FindNumberByName("sio"), 1);
  registry.reset();
  Take();

  // Registry checks fail cleanly...
  EXPECT_EQ(context->FindNumberByName("sio"), -1);
  EXPECT_HR(kFail, context->CheckInterruptSource("0"));
  int32_t code = 5;
  context->ResolveInterruptSource("0", &code);
  EXPECT_EQ(code, 5);
  EXPECT_HR(kFail, connect->PutName("other")) << "no registry to vouch for the name";
  // ...while the log and the simulator are still reached.
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"The name is the same as other trigger action"});
  EXPECT_HR(kOk, connect->Register());
  EXPECT_EQ(Take("TargetCommand.").size(), 1u);
  EXPECT_EQ(context->RegisterMessageName("X"), core::triggers::PortableWindowMessage("X"));
}

TEST_F(RegistryTest, WindowHooksServeTheTriggersAndLookUpsByName) {
  int refreshes = 0;
  std::vector<std::string> registered;
  core::registry::WindowHooks hooks;
  hooks.refresh_trigger_window = [&] { ++refreshes; };
  hooks.register_window_message = [&](const std::string& name) {
    registered.push_back(name);
    return 0xC123u;
  };
  // As the user's locale compares: the sharp s (0xDF in the ANSI code page) and "ss" are equal.
  hooks.name_key = [](std::string text) {
    for (size_t at; (at = text.find('\xDF')) != std::string::npos;) text.replace(at, 1, "ss");
    return text;
  };
  CTriggerAction registry(bridge_, host_, hooks);
  EXPECT_EQ(registry.Context()->RegisterMessageName("WM_TICK"), 0xC123u);
  EXPECT_EQ(registered, std::vector<std::string>{"WM_TICK"});
  std::shared_ptr<CTrigger> street, link;
  ASSERT_HR(kOk, registry.CreateTrigger(TriggerKind::IOAccess, &street));  // 0
  ASSERT_HR(kOk, registry.CreateTrigger(TriggerKind::Connect, &link));     // 1
  street->Register();  // an I/O access trigger refreshes the window
  EXPECT_EQ(refreshes, 1);
  street->SetNameUnchecked(
      "Stra\xDF"
      "e");

  EXPECT_EQ(registry.FindNumberByName("Strasse"), 0);
  EXPECT_EQ(registry.FindTrigger("Strasse"), street);
  EXPECT_HR(kOk, registry.CheckNameUnique("Strasse")) << "uniqueness compares exactly";
  link->SetNameUnchecked("Strasse");
  EXPECT_EQ(registry.FindNumberByName("Strasse"), 0) << "the lowest slot wins, exact or not";
  auto& connect = static_cast<core::triggers::CConnectTrigger&>(*link);
  ASSERT_HR(kOk, connect.PutMembers(Variant::Array({Variant::Bstr("Strasse")})));
  EXPECT_EQ(connect.MemberNumbers(), std::vector<int32_t>{0});
  Take();
  EXPECT_HR(kOk, registry.Command0105("Strasse"));
  EXPECT_EQ(Take("TargetCommand."),
            Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 05 01 64 00 00 00)"});
  // A renamed trigger is found by its new name only, however often it was looked up before.
  street->SetNameUnchecked("Gasse");
  EXPECT_EQ(registry.FindNumberByName("Strasse"), 1);
  EXPECT_EQ(registry.FindNumberByName("Gasse"), 0);
  EXPECT_HR(kOk, registry.DeleteTrigger("Gasse"));
  EXPECT_EQ(registry.GetTriggerByNumber(0), nullptr);
  // The save numbers the trigger of slot 1 as 0; renamed then, it is still found in its slot.
  ASSERT_HR(kOk, registry.SaveTriggers());
  link->SetNameUnchecked("Weg");
  EXPECT_EQ(registry.FindNumberByName("Weg"), 1);
  EXPECT_EQ(registry.FindNumberByName("Strasse"), -1);
}

}  // namespace
}  // namespace registry_test
