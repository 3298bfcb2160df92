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
  // (That gapless ids load back into the same slots is the round trip's to show.)
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
      {"an empty key is not counted; a line beyond the count is never read",
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
       {"Trigger key MaxNum: it counts 3 lines but only 1 was found"}},
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

// What each kind did not take from a line, and why a trigger was left out of the simulator, is
// logged under the line's key, one line per problem, whatever the kind would log elsewhere.
TEST_F(StorageTest, ProblemsOfALoadedLineAreLoggedUnderItsKey) {
  // Numerals evaluate; anything else is a text the evaluator cannot read.
  state_.evaluator = [](const std::string& expression) {
    const auto number = core::automation::ReadUnsigned(expression);
    return number.consumed == expression.size() && !expression.empty() ? Variant::UI4(number.value)
                                                                       : Variant::Bstr("?");
  };
  struct Case {
    std::vector<std::string> lines;  // keys 0, 1, ...
    std::vector<std::string> log;
    bool registered;  // the last line's trigger
  };
  const std::string not_read = "; the fields after it are not read";
  const Case cases[] = {
      {{"100,interrupt,tick,INT0,1000,10"}, {}, true},
      {{"100,interrupt,tick,NOPE,1,2"},
       {"Trigger key 0, field Source: Invalid parameter: illegal interrupt source",
        "Trigger key 0 not registered, field Source: empty"},
       false},
      {{"100,interrupt,tick,INT0"},
       {"Trigger key 0, field Cycle: missing: the line ends before it"},
       true},
      {{"100,interrupt,tick,INT0,1,2,3"},
       {"Trigger key 0: \",3\" after the last field is ignored"},
       true},
      {{"100,interrupt,tick,INT0,1x,2"},
       {"Trigger key 0, field Cycle: \"1x\" is not a number: only its leading digits are read" +
        not_read},
       true},
      {{"100,ioaccess,io,fast,2"},
       {"Trigger key 0, field Cycle: \"fast\" is not a number" + not_read},
       true},
      {{"100,filestream," + std::string(300, 'f')},
       {"Trigger key 0, field Name: longer than 259 characters",
        "Trigger key 0 not registered, field Name: empty"},
       false},
      {{"100,Transfer,t,16,8BIT,1,FIX,2,FIX,0,0,0,0"},
       {"Trigger key 0, field keyword: \"Transfer\" is not written \"transfer\"" + not_read,
        "Trigger key 0 not registered, field Name: empty"},
       false},
      {{"100,transfer,t,16,huge,0x100,SIDEWAYS,0x200,INCREMENT,0,0,0,40"},
       {"Trigger key 0, field Size: \"huge\" is not one of BYTE, WORD, LONG, 8BIT, 16BIT, 32BIT, "
        "8BIT*, 16BIT*, 32BIT*",
        "Trigger key 0, field DstModeValue: 40 is outside 0..31",
        "Trigger key 0, field SrcMode: \"SIDEWAYS\" is not one of FIX, INCREMENT, DECREMENT",
        "Trigger key 0 not registered, field SrcMode: empty"},
       false},
      {{"100,transfer,t,16,8BIT,RX_BUF,FIX,0x200,FIX,0,0,0,0"},
       {"Trigger key 0, field Source: \"RX_BUF\" cannot be evaluated",
        "Trigger key 0 not registered, field Source: empty"},
       false},
      {{"100,control,c,HALT,c"},
       {"Trigger key 0, field Action: \"HALT\" is not one of STOP, RESET, RESTART",
        "Trigger key 0 not registered, field Action: empty"},
       false},
      {{"100,control,c,STOP,later", "101,filestream,later"},
       {"Trigger key 0 not registered, field Target: no trigger is named \"later\""},
       true},
      {{"100,connect,group,nobody,,group"},
       {"Trigger key 0, field Members: \"nobody\" names no trigger; the record holds id 99 in its "
        "place",
        "Trigger key 0, field Members: member 2 is empty; the record holds id 99 in its place"},
       true},
      {{"100,connect,group,a,b,c,d,e,f,g,h,i"},
       {"Trigger key 0, field Members: 9 members, at most 8; the trigger keeps the members it had"},
       true},
      {{"100,Connect,group,a"},
       {"Trigger key 0, field keyword: Invalid parameter: the keyword of a connect definition "
        "must be \"connect\"",
        "Trigger key 0 not registered: its trigger was not defined in the simulator"},
       false},
      {{"100,message,m,yes,WM_X,12,0,0"},
       {"Trigger key 0, field Option: \"yes\" is neither true nor false; it is read as false",
        "Trigger key 0, field Source: 12 names no message type (0..9)"},
       true},
      {{"100,sio,s,0x10,INT0,NOPE,COM1"},
       {"Trigger key 0, field SrcMode: Invalid parameter: illegal interrupt source",
        "Trigger key 0 not registered, field SrcMode: empty"},
       false},
      {{"100,iostream,p,port"}, {"Trigger key 0, field Destination: \"port\" is read as 0"}, true},
      {{"100,data,d,0x20,huge,SINGLE,DEFAULT,1,2,),0,0,0xff"},
       {"Trigger key 0, field Size: \"huge\" is not one of BYTE, WORD, LONG, 8BIT, 16BIT, 32BIT, "
        "DOUBLE; the record carries 0 for it"},
       true},
      {{"100,data,d,0x20,double,SINGLE,random2,1,2,),0,0,0xff"},
       {"Trigger key 0 not registered, field Size: DOUBLE values cannot be generated by RANDOM2"},
       false},
      {{"100,data,d,0x20,8bit,SINGLE,DEFAULT,1,2,0,0,0xff"},
       {"Trigger key 0, field DataList: no \",)\" closes the list: it is read as empty and the "
        "fields after it from the wrong place",
        "Trigger key 0 not registered, field Mask: \"0,0xff\" cannot be evaluated"},
       false},
      {{"100,stream,s,0x20,8bit,REPEAT,BUF,5"},
       {"Trigger key 0, field Count: missing: the line has too few commas",
        "Trigger key 0 not registered, field StreamSource: \"BUF\" cannot be evaluated"},
       false},
      {{"100,filestream,twin", "101,filestream,twin"},
       {"Trigger key 1, field Name: \"twin\" is also the name of trigger 100; look-ups by name "
        "find the one in slot 0"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.back());
    state_.strings.clear();
    std::vector<std::pair<std::string, std::string>> lines;
    for (size_t i = 0; i < c.lines.size(); ++i) lines.emplace_back(std::to_string(i), c.lines[i]);
    Store(static_cast<int32_t>(lines.size()), lines);
    CTriggerAction registry(bridge_, host_);
    EXPECT_HR(kOk, registry.LoadTriggers());
    EXPECT_EQ(TakeLog(), c.log);
    const auto last = static_cast<int32_t>(c.lines.size()) - 1;
    ASSERT_NE(registry.AdapterAt(last), nullptr);
    EXPECT_EQ(registry.GetTriggerByNumber(last)->Flags().registered, c.registered ? 1 : 0);
  }

  // A record the simulator refuses.
  simulator_.refuse_records = true;
  state_.strings.clear();
  Store(1, {{"0", "100,filestream,f"}});
  CTriggerAction registry(bridge_, host_);
  EXPECT_HR(kOk, registry.LoadTriggers());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{
                           "Trigger key 0 not registered: the simulator refused the record"});
}

// A load onto triggers already there: their names and those of the triggers loaded before are
// seen, by the new triggers' first names and by the note on a name borne twice.
TEST_F(StorageTest, ALoadSeesTheNamesAlreadyThereAndThoseItLoaded) {
  ASSERT_HR(kOk, Create(TriggerKind::FileStream)->PutName("pre"));
  Store(4, {{"0", "101,filestream,pre"},
            {"1", "102,Connect,g"},  // refused before its name: it keeps its first
            {"2", "103,Connect,g"},
            {"3", "104,filestream,connect1"}});
  EXPECT_HR(kOk, registry_.LoadTriggers());
  std::vector<std::string> names;
  for (int32_t slot = 0; slot < 5; ++slot)
    names.push_back(registry_.GetTriggerByNumber(slot)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"pre", "pre", "connect", "connect1", "connect1"}));
  const std::vector<std::string> log = TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Trigger key 0, field Name: \"pre\" is also the name of trigger 100; "
                      "look-ups by name find the one in slot 0"),
            log.end());
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Trigger key 3, field Name: \"connect1\" is also the name of trigger 103; "
                      "look-ups by name find the one in slot 3"),
            log.end());
}

// Outside a load the same refusals log as the kinds always have, and notes go nowhere.
TEST_F(StorageTest, OutsideALoadRefusalsLogTheirOwnMessageOnly) {
  std::shared_ptr<CTrigger> trigger = Create(TriggerKind::Interrupt);
  EXPECT_HR(kFail, trigger->PutDefinition("100,interrupt,tick,NOPE,1"));
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"Invalid parameter: illegal interrupt source"});
}

TEST_F(StorageTest, LinesTakeTheLowestFreeSlotAndAFullRegistryTakesNone) {
  // A hand-made store with gaps in its ids: a line goes into the lowest free slot, numbered by
  // its id, and the user is told where the two part.
  Store(3, {{"0", "103,transfer,t,0,8bit,1,fix,2,fix,0,0,0,0"},
            {"1", "101,FILESTREAM,f"},
            {"2", "100,io,x"}});
  EXPECT_HR(kOk, registry_.LoadTriggers());
  EXPECT_EQ(registry_.GetKindByNumber(0), static_cast<uint16_t>(TriggerKind::Transfer));
  EXPECT_EQ(registry_.GetTriggerByNumber(0)->Number(), 3);
  EXPECT_EQ(registry_.GetKindByNumber(1), static_cast<uint16_t>(TriggerKind::FileStream));
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{
                           "Trigger key 0: trigger id 103 was loaded into slot 0",
                           "Trigger key 2 skipped: trigger id 100 is already taken by \"t\"",
                       }));
  state_.strings.clear();
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
