// Saving triggers to the project settings and loading them back, through the real bridge into the
// fake host's Manager: the keys and lines a save writes and its renumbering; which keys a load
// reads and what it logs of a short store, of problems in a line and of names already taken,
// against golden transcripts.
#include "core/registry/definition_storage.h"

#include <gtest/gtest.h>

#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

class StorageTest : public RegistryTest {
 protected:
  StorageTest() { simulator_.source_table = ShortSourceTable(); }

  // Keys "0", "1", ... unless a line begins with "key=".
  void Store(int32_t max_num, const std::vector<std::string>& lines) {
    state_.strings.clear();
    state_.ints["Trigger/MaxNum"] = max_num;
    for (size_t i = 0; i < lines.size(); ++i) {
      const size_t equals = lines[i].find('=');
      if (equals == std::string::npos) {
        state_.strings["Trigger/" + std::to_string(i)] = lines[i];
      } else {
        state_.strings["Trigger/" + lines[i].substr(0, equals)] = lines[i].substr(equals + 1);
      }
    }
  }
};

TEST_F(StorageTest, SaveRenumbersScatteredTriggersIntoGaplessIds) {
  // Triggers in slots 0, 3 and 7, all in the simulator, and a stream that renders no line.
  for (int i = 0; i < 8; ++i) {
    Create(i == 3   ? TriggerKind::Interrupt
           : i == 7 ? TriggerKind::IOAccess
                    : TriggerKind::FileStream);
  }
  for (const char* name : {"filestream1", "filestream2", "filestream3", "filestream4"}) {
    ASSERT_HR(kOk, registry_.DeleteTrigger(name));
  }
  Create(TriggerKind::Stream);  // its source kind was never chosen: slot 1, no line
  ASSERT_HR(kOk, registry_.DeleteTrigger("filestream5"));
  ASSERT_HR(kOk, registry_.GetTriggerByNumber(3)->PutName("irq"));
  ASSERT_EQ(registry_.AdapterAt(3)->SetDestination("INT1"), 0);
  for (int slot : {0, 3, 7}) ASSERT_EQ(registry_.AdapterAt(slot)->Register(), 0);
  Take();

  // Nothing reaches the simulator; the triggers keep their slots but carry the new numbers.
  test_support::ExpectGolden(
      "core/registry/golden/definition_storage_save.txt",
      Transcript({{"save", [&] { return registry_.SaveTriggers(); }}}, registry_));
  for (int slot : {0, 3, 7}) EXPECT_EQ(registry_.GetTriggerByNumber(slot)->Flags().modified, 1);
}

TEST_F(StorageTest, LoadsAsTheTranscriptSays) {
  struct Case {
    const char* what;
    int32_t max_num;
    std::vector<std::string> lines;  // "key=line", or the line of the next key
    std::function<void(CTriggerAction&)> before = nullptr;
  };
  // (The lines a load skips or takes in part are the checker's corpus.)
  const Case cases[] = {
      {"fewer lines than MaxNum: every key is tried", 3, {"7=100,filestream,a"}},
      {"a name too long", 1, {"100,filestream," + std::string(300, 'f')}},
      {"several problems", 1, {"100,transfer,t,16,huge,0x100,SIDEWAYS,0x200,INCREMENT,0,0,0,40"}},
      // A load onto triggers already there sees their names and those it loaded.
      {"names already there",
       4,
       {"101,filestream,pre", "102,Connect,g", "103,Connect,g", "104,filestream,connect1"},
       [](CTriggerAction& r) {
         r.CreateTrigger(TriggerKind::FileStream, nullptr);
         r.GetTriggerByNumber(0)->SetNameUnchecked("pre");
       }},
  };
  std::string transcript;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.max_num, c.lines);
    CTriggerAction registry(bridge_, host_);
    if (c.before) c.before(registry);
    Take();
    std::string keys;  // the keys read, in order
    transcript += std::string(c.what) + ": " + HResultText(registry.LoadTriggers()) + "\n";
    EXPECT_FALSE(bridge_.Loading());
    for (const std::string& call : HostCalls()) {
      const size_t key = call.find("ReadProfileString(\"\",Trigger,");
      if (key == std::string::npos) {
        transcript += "  " + call + "\n";
      } else {
        keys += " " + call.substr(key + 29, call.find(',', key + 29) - key - 29);
      }
    }
    transcript += "  keys read:" + keys + "\n";
    for (const std::string& line : TakeLog()) transcript += "  log: " + line + "\n";
    transcript += "  " + std::to_string(registry.Count()) + " triggers:";
    for (int32_t slot = 0; slot < 20; ++slot) {
      if (const TriggerInfo* adapter = registry.AdapterAt(slot)) {
        transcript += " " + std::to_string(slot) + "=" + adapter->GetNumberText() + " " +
                      adapter->GetNameText().substr(0, 20) + " " + adapter->GetStatusText();
      }
    }
    transcript += "\n";
  }
  // A record the simulator refuses.
  simulator_.refuse_records = true;
  Store(1, {"100,filestream,f"});
  EXPECT_HR(kOk, registry_.LoadTriggers());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{
                           "Trigger key 0 not registered: the simulator refused the record"});
  test_support::ExpectGolden("core/registry/golden/definition_storage.txt", transcript);
}

}  // namespace
}  // namespace registry_test
