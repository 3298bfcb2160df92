// Saving triggers to the project settings and loading them back, through the real bridge into the
// fake host's Manager: the keys and lines written, renumbering, which keys a load reads, the lines
// it skips (each named in the host log) and a round trip of every kind between two registries.
#include "core/registry/definition_storage.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/registry/list_export.h"
#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

class StorageTest : public RegistryTest {
 protected:
  StorageTest() { simulator_.source_table = ShortSourceTable(); }

  void Store(int32_t max_num, std::vector<std::pair<std::string, std::string>> lines) {
    state_.ints["Trigger/MaxNum"] = max_num;
    for (auto& [key, line] : lines) state_.strings["Trigger/" + key] = line;
  }
  // The keys a load read, in order.
  std::vector<std::string> KeysRead() {
    std::vector<std::string> keys;
    for (const std::string& call : Take("Manager.ReadProfileString")) {
      const size_t start = call.find("Trigger,") + 8;
      keys.push_back(call.substr(start, call.find(',', start) - start));
    }
    return keys;
  }
};

TEST_F(StorageTest, SaveRenumbersScatteredTriggersIntoGaplessIds) {
  // Triggers in slots 0, 3 and 7, all in the simulator.
  for (int i = 0; i < 8; ++i)
    Create(i == 3   ? TriggerKind::Interrupt
           : i == 7 ? TriggerKind::IOAccess
                    : TriggerKind::FileStream);
  for (const char* name :
       {"filestream1", "filestream2", "filestream3", "filestream4", "filestream5"}) {
    ASSERT_HR(kOk, registry_.DeleteTrigger(name));
  }
  ASSERT_HR(kOk, registry_.GetTriggerByNumber(3)->PutName("irq"));
  ASSERT_EQ(registry_.AdapterAt(3)->SetDestination("INT1"), 0);
  for (int slot : {0, 3, 7}) ASSERT_EQ(registry_.AdapterAt(slot)->Register(), 0);
  Take();

  EXPECT_HR(kOk, registry_.SaveTriggers());
  EXPECT_EQ(Take(), (Calls{
                        "Manager.WriteProfileInt(\"\",Trigger,MaxNum,3)",
                        "Manager.WriteProfileString(\"\",Trigger,0,\"100,filestream,filestream\")",
                        "Manager.WriteProfileString(\"\",Trigger,1,\"101,interrupt,irq,INT1,0,0\")",
                        "Manager.WriteProfileString(\"\",Trigger,2,\"102,ioaccess,ioaccess,0,0\")",
                    }))
      << "nothing reaches the simulator";
  // The triggers keep their slots but carry the new numbers, and count as modified (which the
  // interrupt kinds do not show).
  const std::pair<int, const char*> expected[] = {
      {0, "0 Modified"}, {3, "1 InActivate"}, {7, "2 InActivate"}};
  for (const auto& [slot, row] : expected) {
    ASSERT_NE(registry_.AdapterAt(slot), nullptr);
    EXPECT_EQ(registry_.AdapterAt(slot)->GetNumberText() + " " +
                  registry_.AdapterAt(slot)->GetStatusText(),
              row);
    EXPECT_EQ(registry_.GetTriggerByNumber(slot)->Flags().modified, 1);
  }

  // Read back by another registry, slot and number agree again.
  CTriggerAction other(bridge_, host_);
  EXPECT_HR(kOk, other.LoadTriggers());
  EXPECT_EQ(other.Count(), 3);
  for (int slot = 0; slot < 3; ++slot) {
    ASSERT_NE(other.AdapterAt(slot), nullptr);
    EXPECT_EQ(other.AdapterAt(slot)->GetNumberText(), std::to_string(slot));
    EXPECT_EQ(other.AdapterAt(slot)->GetDefinitionText(),
              registry_.AdapterAt(std::vector<int>{0, 3, 7}[slot])->GetDefinitionText());
  }
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(StorageTest, LoadReadsUntilMaxNumNonEmptyLinesWereFound) {
  struct Case {
    const char* what;
    int32_t max_num;
    std::vector<std::pair<std::string, std::string>> lines;
    std::vector<std::string> keys_read;
    std::vector<std::string> names;  // slots 0, 1, ...
    std::vector<std::string> log;
  };
  std::vector<std::string> all_keys;
  for (int i = 0; i < 256; ++i) all_keys.push_back(std::to_string(i));
  const Case cases[] = {
      {"no lines", 0, {{"0", "100,filestream,a"}}, {}, {}, {}},
      {"an empty key is not counted",
       2,
       {{"1", "100,filestream,a"}, {"2", "101,filestream,b"}, {"3", "102,filestream,c"}},
       {"0", "1", "2"},
       {"a", "b"},
       {}},
      {"fewer lines than MaxNum: every key is tried",
       3,
       {{"7", "100,filestream,a"}},
       all_keys,
       {"a"},
       {"Trigger settings list 3 lines under \"MaxNum\" but only 1 were found"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    state_.strings.clear();
    Store(c.max_num, c.lines);
    CTriggerAction registry(bridge_, host_);
    Take();
    EXPECT_HR(kOk, registry.LoadTriggers());
    EXPECT_EQ(KeysRead(), c.keys_read);
    EXPECT_EQ(registry.Count(), static_cast<int32_t>(c.names.size()));
    for (size_t slot = 0; slot < c.names.size(); ++slot) {
      ASSERT_NE(registry.AdapterAt(static_cast<int32_t>(slot)), nullptr);
      EXPECT_EQ(registry.AdapterAt(static_cast<int32_t>(slot))->GetNameText(), c.names[slot]);
    }
    EXPECT_EQ(TakeLog(), c.log);
  }
}

TEST_F(StorageTest, LinesThatCannotBeLoadedAreSkippedAndNamedInTheLog) {
  Store(8, {
               {"0", "100,filestream,a"},
               {"1", "abc,filestream,x"},
               {"2", "101"},
               {"3", "101," + std::string(300, 'k') + ",x"},  // keyword too long to read
               {"4", "99,filestream,low"},
               {"5", "356,filestream,high"},
               {"6", "100,sio,dup"},
               {"7", "102,bogus,x"},
               {"8", "103,filestream,beyond"},  // the eight lines before it were counted
           });
  EXPECT_HR(kOk, registry_.LoadTriggers());
  EXPECT_EQ(registry_.Count(), 1);
  EXPECT_EQ(registry_.AdapterAt(0)->GetNameText(), "a");
  EXPECT_EQ(
      TakeLog(),
      (std::vector<std::string>{
          "Trigger key 1 skipped: the line does not begin with a trigger id and a kind keyword",
          "Trigger key 2 skipped: the line does not begin with a trigger id and a kind keyword",
          "Trigger key 3 skipped: the line does not begin with a trigger id and a kind keyword",
          "Trigger key 4 skipped: trigger id 99 is outside 100..355",
          "Trigger key 5 skipped: trigger id 356 is outside 100..355",
          "Trigger key 6 skipped: trigger id 100 is already taken by \"a\"",
          "Trigger key 7 skipped: unknown trigger kind \"bogus\"",
      }));
  EXPECT_EQ(std::count(state_.calls.begin(), state_.calls.end(),
                       "Manager.ReadProfileString(\"\",Trigger,8,\"\")"),
            0);
}

TEST_F(StorageTest, LinesTakeTheLowestFreeSlotAndAFullRegistryTakesNone) {
  // A hand-made store with gaps in its ids: a line goes into the lowest free slot, numbered by
  // its id, and the user is told where the two part.
  Store(3, {{"0", "103,transfer,t,0,,,,,,0,0,0,0"}, {"1", "101,FILESTREAM,f"}, {"2", "100,io,x"}});
  EXPECT_HR(kOk, registry_.LoadTriggers());
  EXPECT_EQ(registry_.GetKindByNumber(0), static_cast<uint16_t>(TriggerKind::Transfer));
  EXPECT_EQ(registry_.GetTriggerByNumber(0)->Number(), 3);
  EXPECT_EQ(registry_.GetKindByNumber(1), static_cast<uint16_t>(TriggerKind::FileStream));
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{
                           "Trigger key 0: trigger id 103 was loaded into slot 0",
                           "Trigger key 2 skipped: trigger id 100 is already taken by \"t\"",
                       }));
  // A new trigger still takes the lowest free number.
  EXPECT_EQ(Create(TriggerKind::Sio)->Number(), 2);

  for (int32_t i = registry_.Count(); i < 256; ++i) Create(TriggerKind::IOStream);
  Store(2, {{"0", "100,filestream,a"}, {"1", "355,filestream,b"}});
  EXPECT_HR(kOk, registry_.LoadTriggers());
  EXPECT_EQ(registry_.Count(), 256);
  EXPECT_EQ(TakeLog(),
            (std::vector<std::string>{
                "Trigger key 0 skipped: trigger id 100 is already taken by \"t\"",
                "Trigger key 1 skipped: trigger id 355 is already taken by \"iostream252\"",
            }));
}

TEST_F(StorageTest, EveryKindRoundTripsBetweenTwoRegistries) {
  ConfigureAllKinds(registry_);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_HR(kOk, registry_.SaveTriggers());
  // The save marked them modified; defining them again makes their status what a load gives.
  for (int slot = 0; slot < 11; ++slot) ASSERT_EQ(registry_.AdapterAt(slot)->Register(), 0);
  Take();

  CTriggerAction other(bridge_, host_);
  EXPECT_HR(kOk, other.LoadTriggers());
  EXPECT_FALSE(bridge_.Loading());
  const Calls calls = Take();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Manager.MarkProjectModified(1)"), 0)
      << "definitions while loading leave the project unmodified";
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) {
                            return call.rfind("TargetCommand.Command(SimCommand,0,vt=0x4000,00 00",
                                              0) == 0;
                          }),
            11)
      << "every loaded line is defined in the simulator";

  ASSERT_EQ(other.Count(), 11);
  for (int slot = 0; slot < 11; ++slot) {
    SCOPED_TRACE(slot);
    EXPECT_EQ(other.AdapterAt(slot)->GetDefinitionText(),
              state_.strings["Trigger/" + std::to_string(slot)]);
    EXPECT_EQ(other.AdapterAt(slot)->GetDefinitionText(),
              registry_.AdapterAt(slot)->GetDefinitionText());
    EXPECT_TRUE(other.AdapterAt(slot)->IsInSimulator());
  }
  EXPECT_EQ(core::registry::TriggerListText(other), core::registry::TriggerListText(registry_));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{});
}

TEST_F(StorageTest, SavingALineLessTriggerSaysItWillNotLoad) {
  Create(TriggerKind::Stream);  // its source kind was never chosen: it renders no line
  EXPECT_HR(kOk, registry_.SaveTriggers());
  EXPECT_EQ(state_.strings["Trigger/0"], "");
  EXPECT_EQ(TakeLog(), std::vector<std::string>{
                           "Trigger \"stream\" saved without a definition line: it will not be "
                           "loaded again"});
}

}  // namespace
}  // namespace registry_test
