// The registry against the fake host: slots and default names (checked against a trivial model
// over random sequences), creation by keyword, deletion and commands with what reaches the
// simulator, the Active flags, the interrupt source table, name checks and the lifetime of
// triggers and their context.
#include "core/registry/trigger_action.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>

#include "core/triggers/connect_trigger.h"
#include "core/triggers/interrupt_trigger.h"
#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

using core::triggers::KindTable;

// ---- Slots and default names ----

// What the registry should hold: per slot the kind and name of its trigger.
struct ModelSlot {
  TriggerKind kind;
  std::string name;
};
using Model = std::array<std::optional<ModelSlot>, 256>;

bool ModelHasName(const Model& model, const std::string& name) {
  for (const auto& slot : model) {
    if (slot && slot->name == name) return true;
  }
  return false;
}

std::string ModelDefaultName(const Model& model, const std::string& stem) {
  std::string name = stem;
  for (int counter = 1; ModelHasName(model, name); ++counter) name = stem + std::to_string(counter);
  return name;
}

TEST_F(RegistryTest, SlotsFollowTheLowestFreeNumberAndDefaultNamesOverRandomSequences) {
  std::mt19937 random(20240611);
  Model model;
  int model_count = 0;
  for (int step = 0; step < 4000; ++step) {
    // Phases that mostly create (up to a full registry) alternate with phases that mostly delete.
    const bool creating_phase = (step / 600) % 2 == 0;
    const bool create =
        std::uniform_int_distribution<int>(0, 99)(random) < (creating_phase ? 85 : 30);
    if (create) {
      const auto& info = KindTable()[std::uniform_int_distribution<size_t>(0, 9)(random)];
      std::shared_ptr<CTrigger> trigger;
      const HResult hr = registry_.CreateTrigger(info.kind, &trigger);
      int free_slot = -1;
      for (int slot = 0; slot < 256 && free_slot < 0; ++slot) {
        if (!model[slot]) free_slot = slot;
      }
      if (free_slot < 0) {
        ASSERT_HR(kFail, hr) << "step " << step;
        ASSERT_EQ(trigger, nullptr);
      } else {
        ASSERT_HR(kOk, hr) << "step " << step;
        const std::string name = ModelDefaultName(model, info.stem);
        ASSERT_EQ(trigger->Number(), free_slot) << "step " << step;
        ASSERT_EQ(trigger->Name(), name) << "step " << step;
        model[free_slot] = ModelSlot{info.kind, name};
        ++model_count;
      }
    } else if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
      ASSERT_HR(kFail, registry_.DeleteTrigger("nobody"));
    } else if (model_count > 0) {
      int slot = std::uniform_int_distribution<int>(0, 255)(random);
      while (!model[slot]) slot = (slot + 1) % 256;
      ASSERT_HR(kOk, registry_.DeleteTrigger(model[slot]->name)) << "step " << step;
      model[slot].reset();
      --model_count;
    }

    ASSERT_EQ(registry_.Count(), model_count) << "step " << step;
    if (step % 50 == 0) {
      for (int slot = 0; slot < 256; ++slot) {
        const std::shared_ptr<CTrigger> trigger = registry_.GetTriggerByNumber(slot);
        ASSERT_EQ(trigger != nullptr, model[slot].has_value()) << "slot " << slot;
        if (!trigger) continue;
        ASSERT_EQ(trigger->Kind(), model[slot]->kind);
        ASSERT_EQ(trigger->Name(), model[slot]->name);
        ASSERT_EQ(registry_.FindNumberByName(model[slot]->name), slot);
      }
    }
  }
  EXPECT_TRUE(Take("TargetCommand.").empty()) << "creation and deletion of unregistered triggers "
                                                 "send nothing";
}

TEST_F(RegistryTest, EveryCreationOperationMakesItsKindAndFailsWhenFull) {
  namespace t = core::triggers;
  std::shared_ptr<t::CInterruptTrigger> interrupt;
  std::shared_ptr<t::CTransferTrigger> transfer;
  std::shared_ptr<t::CStreamTrigger> stream;
  std::shared_ptr<t::CIOStreamTrigger> io_stream;
  std::shared_ptr<t::CConnectTrigger> connect;
  std::shared_ptr<t::CControlTrigger> control;
  std::shared_ptr<t::CMessageTrigger> message;
  std::shared_ptr<t::CSioTrigger> sio;
  std::shared_ptr<t::CFileStreamTrigger> file_stream;
  std::shared_ptr<t::CIOAccessTrigger> io_access;
  const HResult results[] = {
      registry_.CreateInterruptTrigger(&interrupt),    registry_.CreateTransferTrigger(&transfer),
      registry_.CreateStreamTrigger(&stream),          registry_.CreateIOStreamTrigger(&io_stream),
      registry_.CreateConnectTrigger(&connect),        registry_.CreateControlTrigger(&control),
      registry_.CreateMessageTrigger(&message),        registry_.CreateSioTrigger(&sio),
      registry_.CreateFileStreamTrigger(&file_stream), registry_.CreateIOAccessTrigger(&io_access)};
  const std::shared_ptr<CTrigger> made[] = {interrupt, transfer, stream, io_stream,   connect,
                                            control,   message,  sio,    file_stream, io_access};
  for (int number = 0; number < 10; ++number) {
    SCOPED_TRACE(number);
    EXPECT_HR(kOk, results[number]);
    const std::shared_ptr<CTrigger> trigger = registry_.GetTriggerByNumber(number);
    ASSERT_NE(trigger, nullptr);
    EXPECT_EQ(trigger, made[number]) << "in the order of creation";
    EXPECT_EQ(trigger->Kind(), KindTable()[number].kind);
    EXPECT_EQ(registry_.GetKindByNumber(number), static_cast<uint16_t>(trigger->Kind()));
  }
  for (int32_t number : {10, -1, 256}) EXPECT_EQ(registry_.GetKindByNumber(number), 0xFFFF);
  EXPECT_EQ(registry_.GetTriggerByNumber(300), nullptr);

  for (int32_t i = registry_.Count(); i < 256; ++i) Create(TriggerKind::FileStream);
  std::shared_ptr<core::triggers::CTransferTrigger> refused = transfer;
  EXPECT_HR(kFail, registry_.CreateTransferTrigger(&refused));
  EXPECT_EQ(refused, nullptr);
  Variant adapter = Variant::I4(7);
  EXPECT_HR(kFail, registry_.CreateTriggerByKeyword("sio", &adapter));
  EXPECT_TRUE(adapter.IsEmpty());
  EXPECT_EQ(registry_.Count(), 256);
}

// (Which keyword makes which kind is the kind table's rule, tested with it.)
TEST_F(RegistryTest, CreatesByKeywordIntoTheNextSlotAndHandsOverItsAdapter) {
  const std::pair<const char*, std::optional<TriggerKind>> cases[] = {
      {"Data", TriggerKind::Stream}, {"ioaccess", TriggerKind::IOAccess}, {"", std::nullopt}};
  for (const auto& [keyword, kind] : cases) {
    SCOPED_TRACE(keyword);
    const int32_t before = registry_.Count();
    Variant adapter = Variant::I4(7);
    const HResult hr = registry_.CreateTriggerByKeyword(keyword, &adapter);
    if (!kind) {
      EXPECT_HR(kFail, hr);
      EXPECT_TRUE(adapter.IsEmpty());
      EXPECT_EQ(registry_.Count(), before);
      continue;
    }
    ASSERT_HR(kOk, hr);
    EXPECT_EQ(adapter.TypeWord(), 0x4000);
    auto* info = static_cast<TriggerInfo*>(adapter.Pointer());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetKind(), static_cast<int32_t>(*kind));
    EXPECT_EQ(info, registry_.AdapterAt(before)) << "the new trigger's slot";
    EXPECT_EQ(registry_.GetAdapterByNumber(before), adapter);
  }
  EXPECT_EQ(registry_.GetAdapterByNumber(200), Variant::ByRef(nullptr));
}

// ---- Names ----

TEST_F(RegistryTest, NameChecksExcludeOnlyTheGivenNumber) {
  Create(TriggerKind::Sio);      // 0 "sio"
  Create(TriggerKind::Control);  // 1 "control"
  // A name given by a definition line may clash with another trigger's.
  registry_.GetTriggerByNumber(1)->SetNameUnchecked("sio");

  EXPECT_HR(kFail, registry_.CheckNameUnique("sio"));
  EXPECT_HR(kOk, registry_.CheckNameUnique("SIO"));
  EXPECT_HR(kOk, registry_.CheckNameUnique("other"));
  EXPECT_HR(kFail, registry_.CheckNameUniqueExcept("sio", 0)) << "trigger 1 still bears it";
  EXPECT_HR(kOk, registry_.CheckNameUniqueExcept("control", 1));
  EXPECT_HR(kOk, registry_.CheckNameUniqueExcept("other", 5));

  // Look-ups and deletion act on the lower slot of two equal names.
  EXPECT_EQ(registry_.FindNumberByName("sio"), 0);
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

// ---- Deletion and commands ----

TEST_F(RegistryTest, DeletionDropsOnlyTriggersInTheSimulator) {
  const std::shared_ptr<CTrigger> fresh = Create(TriggerKind::FileStream);  // slot 0, never defined
  const std::shared_ptr<CTrigger> defined = CreateRegistered();             // slot 1
  Take();

  EXPECT_HR(kFail, registry_.DeleteTrigger("no such trigger"));
  EXPECT_HR(kOk, registry_.DeleteTrigger(fresh->Name()));
  EXPECT_TRUE(Take().empty()) << "nothing is sent for a trigger never defined";

  EXPECT_HR(kOk, registry_.DeleteTrigger(defined->Name()));
  // The drop of its id (the bridge's test has the deletion's calls in full).
  EXPECT_EQ(Take("TargetCommand."),
            Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 01 01 65 00 00 00)"});
  EXPECT_EQ(registry_.Count(), 0);
  // Deleted triggers live on for whoever holds them.
  EXPECT_EQ(defined->Name(), "filestream1");
  EXPECT_EQ(defined.use_count(), 1);
}

TEST_F(RegistryTest, RefusedDeletionKeepsTheTriggerAndStopsDeleteAll) {
  Create(TriggerKind::FileStream);  // 0: not in the simulator
  CreateRegistered();               // 1
  Create(TriggerKind::FileStream);  // 2: would be deleted without the simulator
  Take();
  state_.remove_name_result = kFail;  // the event list refuses: the drop fails

  EXPECT_HR(kFail, registry_.DeleteTrigger("filestream1"));
  EXPECT_NE(registry_.GetTriggerByNumber(1), nullptr);
  Take();

  EXPECT_HR(kFail, registry_.DeleteAllTriggers());
  EXPECT_EQ(registry_.GetTriggerByNumber(0), nullptr);
  EXPECT_NE(registry_.GetTriggerByNumber(1), nullptr) << "refused";
  EXPECT_NE(registry_.GetTriggerByNumber(2), nullptr) << "after the failure: untouched";
  EXPECT_EQ(registry_.Count(), 2);
  EXPECT_EQ(Take("EventCommand."), (Calls{"EventCommand.RemoveName(101)"}));

  state_.remove_name_result = kOk;
  EXPECT_HR(kOk, registry_.DeleteAllTriggers());
  EXPECT_EQ(registry_.Count(), 0);
  EXPECT_HR(kOk, registry_.DeleteAllTriggers()) << "nothing to delete";
}

TEST_F(RegistryTest, CommandsCarryTheSlotIdOrMinusOne) {
  Create(TriggerKind::Message);  // 0
  Create(TriggerKind::Control);  // 1
  Create(TriggerKind::Sio);      // 2
  EXPECT_HR(kOk, registry_.DeleteTrigger("message"));
  Take();

  using A = CTriggerAction;
  struct Case {
    HResult (A::*by_name)(const std::string&);
    HResult (A::*all)();
    const char* name;
    const char* block;  // nullptr: nothing is sent
  };
  const Case cases[] = {
      {&A::Command0102, nullptr, "sio", "08 00 02 01 66 00 00 00"},
      {&A::Command0103, nullptr, "control", "08 00 03 01 65 00 00 00"},
      {&A::Command0105, nullptr, "sio", "08 00 05 01 66 00 00 00"},
      {&A::Command0106, nullptr, "control", "08 00 06 01 65 00 00 00"},
      {&A::Command0102, nullptr, "message", nullptr},  // deleted
      {&A::Command0106, nullptr, "SIO", nullptr},      // names are compared case-sensitively
      {nullptr, &A::Command0102All, "", "08 00 02 01 FF FF FF FF"},
      {nullptr, &A::Command0103All, "", "08 00 03 01 FF FF FF FF"},
      {nullptr, &A::Command0106All, "", "08 00 06 01 FF FF FF FF"},
  };
  for (bool failing : {false, true}) {
    state_.command_result = failing ? kFail : kOk;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << " " << (c.block ? c.block : "-") << failing);
      const HResult hr = c.by_name ? (registry_.*c.by_name)(c.name) : (registry_.*c.all)();
      EXPECT_HR(c.block && !failing ? kOk : kFail, hr);
      const Calls sent = Take("TargetCommand.");
      if (c.block) {
        EXPECT_EQ(sent, Calls{std::string("TargetCommand.Command(SimCommand,0,vt=0x4000,") +
                              c.block + ")"});
      } else {
        EXPECT_TRUE(sent.empty());
      }
    }
  }
  EXPECT_EQ(registry_.Count(), 2) << "commands change nothing in the registry";
}

TEST_F(RegistryTest, DeletionRefreshesTheTriggerWindowWhichMayDeleteMore) {
  std::vector<std::string> refreshed;
  std::unique_ptr<CTriggerAction> registry;
  core::registry::WindowHooks hooks;
  // Like the window's purge: every refresh removes the triggers the simulator does not know.
  hooks.refresh_trigger_window = [&] {
    refreshed.push_back(std::to_string(registry->Count()));
    for (int slot = 0; slot < 256; ++slot) {
      TriggerInfo* adapter = registry->AdapterAt(slot);
      if (adapter && !adapter->IsInSimulator()) adapter->RemoveFromRegistry();
    }
  };
  registry = std::make_unique<CTriggerAction>(bridge_, host_, hooks);
  for (int i = 0; i < 4; ++i)
    ASSERT_HR(kOk, registry->CreateTrigger(TriggerKind::FileStream, nullptr));
  ASSERT_HR(kOk, registry->GetTriggerByNumber(3)->Register());

  // Deleting 0 refreshes; the purge deletes 1 and 2, each refreshing again (and finding nothing).
  EXPECT_HR(kOk, registry->DeleteTrigger("filestream"));
  EXPECT_EQ(registry->Count(), 1);
  EXPECT_NE(registry->GetTriggerByNumber(3), nullptr);
  EXPECT_EQ(refreshed, (std::vector<std::string>{"3", "2", "1"}));
}

// (An adapter in the registry removes itself by name: the purge above does.)
TEST_F(RegistryTest, RemoveFromRegistryNeedsARegistry) {
  Create(TriggerKind::Connect);
  auto loose = core::rows::MakeTriggerInfo(
      std::make_shared<core::triggers::CConnectTrigger>(registry_.Context()));
  EXPECT_HR(kFail, loose->RemoveFromRegistry()) << "no registry holds it";
  EXPECT_EQ(registry_.Count(), 1);
}

// ---- Active flags ----

TEST_F(RegistryTest, ActiveFlagsFollowTheSimulatorsTable) {
  Create(TriggerKind::IOStream);  // 0
  Create(TriggerKind::IOStream);  // 1
  Create(TriggerKind::IOStream);  // 2
  EXPECT_HR(kOk, registry_.DeleteTrigger("iostream1"));
  registry_.GetTriggerByNumber(2)->PutActive(core::automation::kVariantTrue);
  Take();

  // No table from the simulator: nothing changes, and it is asked again next time.
  EXPECT_HR(kOk, registry_.RefreshActiveFlags());
  EXPECT_TRUE(registry_.GetTriggerByNumber(2)->Flags().active);
  EXPECT_EQ(Take("TargetCommand.").size(), 1u);

  uint32_t table[256] = {};
  table[0] = 7;
  table[1] = 1;  // a free slot: no trigger to set
  simulator_.active_table = table;
  EXPECT_HR(kOk, registry_.RefreshActiveFlags());
  EXPECT_TRUE(registry_.GetTriggerByNumber(0)->Flags().active);
  EXPECT_FALSE(registry_.GetTriggerByNumber(2)->Flags().active);
  EXPECT_EQ(registry_.GetTriggerByNumber(0)->Flags().modified, 1) << "Active leaves Modified";
  EXPECT_EQ(Take("TargetCommand."),
            Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 04 01 00 00 00 00)"});

  // The table is the simulator's and is read afresh, without asking again.
  table[0] = 0;
  table[2] = 1;
  simulator_.active_table = nullptr;
  EXPECT_HR(kOk, registry_.RefreshActiveFlags());
  EXPECT_FALSE(registry_.GetTriggerByNumber(0)->Flags().active);
  EXPECT_TRUE(registry_.GetTriggerByNumber(2)->Flags().active);
  EXPECT_TRUE(Take("TargetCommand.").empty());
}

// ---- Interrupt sources ----

TEST_F(RegistryTest, InterruptSourcesAreFetchedUntilTheTableHoldsEntries) {
  int32_t code = 1234;
  EXPECT_HR(kOk, registry_.ResolveInterruptSource("INT1", &code));
  EXPECT_EQ(code, 1234) << "resolving never fetches";
  EXPECT_TRUE(Take("TargetCommand.").empty());

  // No table yet: every operation that fetches asks again.
  EXPECT_EQ(registry_.SourceCount(), 0);
  EXPECT_HR(kFail, registry_.CheckInterruptSource("INT0"));
  EXPECT_EQ(Take("TargetCommand.").size(), 2u);

  simulator_.source_table = ShortSourceTable();
  EXPECT_EQ(registry_.SourceCount(), 3);
  EXPECT_EQ(Take("TargetCommand."),
            Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 00 02 00 00 00 00)"});
  std::string name = "untouched";
  EXPECT_HR(kOk, registry_.GetSourceName(2, &name));
  EXPECT_EQ(name, "SERIALRX");
  EXPECT_HR(kFail, registry_.GetSourceName(3, &name));
  EXPECT_HR(kFail, registry_.GetSourceName(-1, &name));
  EXPECT_EQ(name, "SERIALRX");
  EXPECT_HR(kOk, registry_.CheckInterruptSource("int1"));
  EXPECT_HR(kOk, registry_.CheckInterruptSource("2"));
  EXPECT_HR(kFail, registry_.CheckInterruptSource("3"));
  EXPECT_HR(kOk, registry_.ResolveInterruptSource("int1", &code));
  EXPECT_EQ(code, 0x21);
  EXPECT_TRUE(Take("TargetCommand.").empty()) << "kept once it holds entries";
}

// ---- Lifetime and context ----

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

TEST_F(RegistryTest, WindowHooksServeTheTriggers) {
  int refreshes = 0;
  std::vector<std::string> registered;
  core::registry::WindowHooks hooks;
  hooks.refresh_trigger_window = [&] { ++refreshes; };
  hooks.register_window_message = [&](const std::string& name) {
    registered.push_back(name);
    return 0xC123u;
  };
  CTriggerAction registry(bridge_, host_, hooks);
  EXPECT_EQ(registry.Context()->RegisterMessageName("WM_TICK"), 0xC123u);
  EXPECT_EQ(registered, std::vector<std::string>{"WM_TICK"});
  ASSERT_HR(kOk, registry.CreateTrigger(TriggerKind::IOAccess, nullptr));
  registry.GetTriggerByNumber(0)->Register();  // an I/O access trigger refreshes the window
  EXPECT_EQ(refreshes, 1);
}

TEST_F(RegistryTest, LookUpsByNameUseTheHooksComparisonAndUniquenessStaysExact) {
  // As the user's locale compares: the sharp s (0xDF in the ANSI code page) and "ss" are equal.
  const auto fold = [](std::string text) {
    for (size_t at; (at = text.find('\xDF')) != std::string::npos;) text.replace(at, 1, "ss");
    return text;
  };
  core::registry::WindowHooks hooks;
  hooks.name_key = fold;
  CTriggerAction registry(bridge_, host_, hooks);
  std::shared_ptr<CTrigger> street, link;
  ASSERT_HR(kOk, registry.CreateTrigger(TriggerKind::Control, &street));  // 0
  ASSERT_HR(kOk, registry.CreateTrigger(TriggerKind::Connect, &link));    // 1
  street->SetNameUnchecked(
      "Stra\xDF"
      "e");

  EXPECT_EQ(registry.FindNumberByName("Strasse"), 0);
  EXPECT_EQ(registry.FindTrigger("Strasse"), street);
  EXPECT_HR(kOk, registry.CheckNameUnique("Strasse")) << "uniqueness compares exactly";
  auto& connect = static_cast<core::triggers::CConnectTrigger&>(*link);
  ASSERT_HR(kOk, connect.PutMembers(Variant::Array({Variant::Bstr("Strasse")})));
  EXPECT_EQ(connect.MemberNumbers(), std::vector<int32_t>{0});
  Take();
  EXPECT_HR(kOk, registry.Command0105("Strasse"));
  EXPECT_EQ(Take("TargetCommand."),
            Calls{"TargetCommand.Command(SimCommand,0,vt=0x4000,08 00 05 01 64 00 00 00)"});
  // A renamed trigger is found by its new name only, however often it was looked up before.
  street->SetNameUnchecked("Gasse");
  EXPECT_EQ(registry.FindNumberByName("Strasse"), -1);
  EXPECT_EQ(registry.FindNumberByName("Gasse"), 0);
  EXPECT_HR(kOk, registry.DeleteTrigger("Gasse"));
  EXPECT_EQ(registry.GetTriggerByNumber(0), nullptr);
}

}  // namespace
}  // namespace registry_test
