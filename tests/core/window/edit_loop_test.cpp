// The edit-or-create loop over a scripted dialog port, against a real registry and document:
// what each dialog is filled with, what OK writes back, and what Cancel and refusals leave.
#include "core/window/edit_loop.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/core/registry/registry_fixture.h"

namespace {

using core::rows::TriggerInfo;
using core::window::DialogData;
using core::window::DialogPort;
using core::window::DialogResult;
using core::window::EditKind;
using core::window::EditLoop;
using core::window::Field;
using core::window::TriggerDocument;
using registry_test::RegistryTest;

// Each showing of a dialog runs the next scripted step; the data it was shown with is kept.
class ScriptedDialogs : public DialogPort {
 public:
  using Step = std::function<DialogResult(DialogData&)>;

  DialogResult Run(EditKind kind, DialogData& data) override {
    kinds.push_back(kind);
    shown.push_back(data);
    if (steps.empty()) {
      ADD_FAILURE() << "a dialog was shown more often than scripted";
      return DialogResult::Cancel;
    }
    Step step = std::move(steps.front());
    steps.erase(steps.begin());
    return step(data);
  }

  std::vector<Step> steps;
  std::vector<EditKind> kinds;
  std::vector<DialogData> shown;
};

DialogResult Cancel(DialogData&) { return DialogResult::Cancel; }

// Sets fields, then presses OK.
ScriptedDialogs::Step Ok(std::vector<std::pair<Field, std::string>> texts,
                         std::function<void(DialogData&)> also = {}) {
  return [texts = std::move(texts), also = std::move(also)](DialogData& data) {
    for (const auto& [field, text] : texts) data[field] = text;
    if (also) also(data);
    return DialogResult::Ok;
  };
}

const std::vector<std::pair<Field, std::string>> kValidTransfer = {
    {Field::Size, "16BIT"},     {Field::Source, "0x100"},      {Field::SrcMode, "INCREMENT"},
    {Field::SrcModeValue, "2"}, {Field::Destination, "0x200"}, {Field::DstMode, "FIX"},
    {Field::DstModeValue, "0"}, {Field::Count, "16"},          {Field::Cycle, "3"},
    {Field::Wait, "4"}};

class EditLoopTest : public RegistryTest {
 protected:
  EditLoopTest() {
    document_.SetUpdateAllViews([this] { ++updates_; });
  }

  void Run(EditKind kind, std::optional<int> slot) { loop_.EditOrCreate(kind, slot); }
  TriggerInfo* At(int slot) { return document_.GetTriggerInfo(slot); }
  // A trigger of the kind in the next slot, set up through the loop itself.
  TriggerInfo* Make(EditKind kind, std::vector<std::pair<Field, std::string>> texts,
                    std::function<void(DialogData&)> also = {}) {
    const int slot = document_.GetTriggerCount();
    dialogs_.steps = {Ok(std::move(texts), std::move(also))};
    Run(kind, std::nullopt);
    EXPECT_TRUE(dialogs_.steps.empty());
    TriggerInfo* adapter = At(slot);
    EXPECT_NE(adapter, nullptr);
    EXPECT_TRUE(adapter && adapter->IsInSimulator());
    return adapter;
  }

  TriggerDocument document_{registry_};
  ScriptedDialogs dialogs_;
  EditLoop loop_{document_, dialogs_};
  int updates_ = 0;
};

TEST_F(EditLoopTest, CreateAndCancelLeavesNoTriggerForEveryKind) {
  simulator_.source_table = ShortSourceTable();
  const EditKind kinds[] = {EditKind::Interrupt, EditKind::Stream,  EditKind::Transfer,
                            EditKind::IOStream,  EditKind::Control, EditKind::Connect};
  for (EditKind kind : kinds) {
    SCOPED_TRACE(static_cast<int>(kind));
    dialogs_.steps = {Cancel};
    const int updates = updates_;
    Run(kind, std::nullopt);
    EXPECT_EQ(document_.GetTriggerCount(), 0);
    EXPECT_GT(updates_, updates);  // deleted with refresh, and refreshed after the loop
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    // A new trigger's dialog: "new" alone in the number box, the registry's default name.
    EXPECT_EQ(dialogs_.shown[0].own_number, "new");
    EXPECT_EQ(dialogs_.shown[0][Field::Number], "new");
    EXPECT_EQ(dialogs_.shown[0][Field::Name],
              core::triggers::InfoOf(core::window::InfoOf(kind).trigger_kind).stem);
    dialogs_.shown.clear();
  }
}

TEST_F(EditLoopTest, EditFillsTheDialogFromTheAdapterAndCancelLeavesItUnchanged) {
  TriggerInfo* adapter = Make(EditKind::Transfer, kValidTransfer);
  const std::string line = adapter->GetDefinitionText();

  dialogs_.steps = {Cancel};
  Run(EditKind::Transfer, 0);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  const DialogData& shown = dialogs_.shown[1];
  EXPECT_EQ(shown.own_number, "0");
  EXPECT_EQ(shown[Field::Number], "0");
  for (const auto& [field, text] : kValidTransfer) {
    EXPECT_EQ(shown[field], text) << static_cast<int>(field);
  }
  EXPECT_EQ(At(0), adapter);
  EXPECT_EQ(adapter->GetDefinitionText(), line);
}

TEST_F(EditLoopTest, RefusedSetterShowsTheDialogAgainWithTheEntriesAndTheFieldSelected) {
  Make(EditKind::Transfer, kValidTransfer);
  Take();
  dialogs_.steps = {Ok({{Field::Name, "mover"}, {Field::SrcModeValue, "40"}}),
                    Ok({{Field::SrcModeValue, "4"}})};
  Run(EditKind::Transfer, 0);
  ASSERT_EQ(dialogs_.shown.size(), 3u);
  const DialogData& again = dialogs_.shown[2];
  EXPECT_EQ(again.focus, Field::SrcModeValue);
  EXPECT_EQ(again[Field::SrcModeValue], "40");
  EXPECT_EQ(again[Field::Name], "mover");
  EXPECT_EQ(At(0)->GetDefinitionText(),
            "100,transfer,mover,16,16BIT,0x100,INCREMENT,0x200,FIX,3,4,4,0");
}

TEST_F(EditLoopTest, CancelAfterARefusalUndoesWhatTheAcceptedSettersWrote) {
  TriggerInfo* adapter = Make(EditKind::Transfer, kValidTransfer);
  const std::string line = adapter->GetDefinitionText();
  const std::string status = adapter->GetStatusText();
  dialogs_.steps = {
      Ok({{Field::Name, "mover"}, {Field::Size, "8BIT"}, {Field::DstModeValue, "40"}}), Cancel};
  Run(EditKind::Transfer, 0);
  EXPECT_EQ(dialogs_.shown.back().focus, Field::DstModeValue);
  EXPECT_EQ(adapter->GetDefinitionText(), line);
  EXPECT_EQ(adapter->GetStatusText(), status);  // not "Modified"
}

TEST_F(EditLoopTest, RegisterRefusalShowsTheDialogAgain) {
  // RANDOM2 with DOUBLE values passes every setter and is refused by Register.
  const std::vector<std::pair<Field, std::string>> data = {
      {Field::Size, "DOUBLE"},     {Field::Destination, "0x20"}, {Field::DstMode, "SINGLE"},
      {Field::SrcMode, "RANDOM2"}, {Field::DataList, "10,1,5"},  {Field::Count, "0"},
      {Field::Cycle, "0"},         {Field::Wait, "0"},           {Field::Mask, "0"}};
  dialogs_.steps = {Ok(data), Ok({{Field::Size, "8BIT"}})};
  Run(EditKind::Stream, std::nullopt);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_EQ(dialogs_.shown[1].focus, Field::None);
  EXPECT_EQ(dialogs_.shown[1][Field::SrcMode], "RANDOM2");
  EXPECT_EQ(At(0)->GetDefinitionText(),
            "100,Data,stream,0x20,8BIT,SINGLE,RANDOM2,10,1,5,),0,0,0x00000000");
}

TEST_F(EditLoopTest, RefusedSourceNamesItsFieldAndTheTriggersMessageReachesTheLog) {
  simulator_.source_table = ShortSourceTable();
  dialogs_.steps = {Ok({{Field::Destination, "NOPE"}}), Ok({{Field::Destination, "INT0"}})};
  Run(EditKind::Interrupt, std::nullopt);
  EXPECT_EQ(dialogs_.shown.back().focus, Field::Destination);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{core::triggers::kIllegalInterruptSourceMessage});
  EXPECT_TRUE(At(0)->IsInSimulator());
}

TEST_F(EditLoopTest, IoStreamPortFrom0x8000OpensAsANumberTheDialogTakes) {
  TriggerInfo* adapter = Make(EditKind::IOStream, {{Field::Destination, "0x8000"}});
  dialogs_.steps = {Ok({})};
  Run(EditKind::IOStream, 0);
  EXPECT_EQ(dialogs_.shown.back()[Field::Destination], "32768");
  EXPECT_EQ(adapter->GetDestinationText(), "-32768");  // the list's text, read back unchanged
}

TEST_F(EditLoopTest, OtherTriggerListsCoverAllSlotsButTheTriggersOwn) {
  // Triggers in slots 2 and 3 above two empty slots.
  for (int i = 0; i < 4; ++i) Make(EditKind::IOStream, {{Field::Name, "p" + std::to_string(i)}});
  ASSERT_EQ(document_.DeleteSlot(0), 0);
  ASSERT_EQ(document_.DeleteSlot(1), 0);
  dialogs_.steps = {Ok({{Field::Name, "both"}}, [](DialogData& d) {
    d[Field::Destination] = "p3,p2";
    d[Field::Count] = "2";
  })};
  Run(EditKind::Connect, std::nullopt);  // lands in slot 0
  ASSERT_EQ(dialogs_.shown.back().others.size(), 2u);
  EXPECT_EQ(dialogs_.shown.back().others[1].name, "p3");
  EXPECT_EQ(dialogs_.shown.back().others[1].number, 3);
  EXPECT_EQ(At(0)->GetDefinitionText(), "100,connect,both,p3,p2");

  dialogs_.steps = {Cancel};
  Run(EditKind::Connect, 0);
  EXPECT_EQ(dialogs_.shown.back().members, (std::vector<std::string>{"p3", "p2"}));
  EXPECT_EQ(dialogs_.shown.back().others.size(), 2u);  // not itself
}

TEST_F(EditLoopTest, ConnectEditOfAnotherKindCreatesAConnectTrigger) {
  Make(EditKind::IOStream, {});
  dialogs_.steps = {Cancel};
  Run(EditKind::Connect, 0);
  EXPECT_EQ(dialogs_.kinds.back(), EditKind::Connect);
  EXPECT_EQ(dialogs_.shown.back().own_number, "new");
  EXPECT_EQ(document_.GetTriggerCount(), 1);  // the new one was cancelled
  dialogs_.shown.clear();
  Run(EditKind::Transfer, 5);  // an empty slot: nothing is shown
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(EditLoopTest, SaveAsNewMakesACopyUnderANewName) {
  TriggerInfo* original = Make(EditKind::Transfer, kValidTransfer);
  const std::string line = original->GetDefinitionText();
  dialogs_.steps = {Ok({{Field::Number, "NEW"}, {Field::Name, "lost"}, {Field::Count, "32"}}),
                    Ok({}),  // the edited trigger's name clashes
                    Ok({{Field::Name, "copy"}})};
  Run(EditKind::Transfer, 0);
  ASSERT_EQ(dialogs_.shown.size(), 4u);
  EXPECT_EQ(dialogs_.shown[2][Field::Name], "transfer");  // the edited trigger's name again
  EXPECT_EQ(dialogs_.shown[2][Field::Count], "32");
  EXPECT_EQ(dialogs_.shown[2].focus, Field::Name);
  EXPECT_EQ(dialogs_.shown[3].focus, Field::Name);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"The name is the same as other trigger action"});
  EXPECT_EQ(original->GetDefinitionText(), line);
  ASSERT_NE(At(1), nullptr);
  EXPECT_EQ(At(1)->GetDefinitionText(),
            "101,transfer,copy,32,16BIT,0x100,INCREMENT,0x200,FIX,3,4,2,0");
}

TEST_F(EditLoopTest, SaveAsNewThenCancelLeavesTheCopyForThePurge) {
  TriggerInfo* original = Make(EditKind::Transfer, kValidTransfer);
  const std::string line = original->GetDefinitionText();
  dialogs_.steps = {Ok({{Field::Number, "new"}}),
                    Ok({{Field::Name, "copy"}, {Field::SrcModeValue, "99"}}), Cancel};
  Run(EditKind::Transfer, 0);
  EXPECT_EQ(original->GetDefinitionText(), line);
  ASSERT_NE(At(1), nullptr);
  EXPECT_FALSE(At(1)->IsInSimulator());  // the next rebuild's purge removes it
  EXPECT_EQ(At(1)->GetNameText(), "copy");
}

TEST_F(EditLoopTest, LeavingNewDeletesTheCopyAndWritesTheEditedTrigger) {
  Make(EditKind::Transfer, kValidTransfer);
  dialogs_.steps = {Ok({{Field::Number, "new"}}), Ok({{Field::Number, "0"}, {Field::Count, "8"}})};
  Run(EditKind::Transfer, 0);
  EXPECT_EQ(document_.GetTriggerCount(), 1);
  EXPECT_EQ(At(0)->GetCountText(), "8");
  EXPECT_EQ(At(1), nullptr);
}

TEST_F(EditLoopTest, DialogThatCannotBeShownIsReportedAndItsNewTriggerDeleted) {
  dialogs_.steps = {[](DialogData&) { return DialogResult::Unavailable; }};
  Run(EditKind::Control, std::nullopt);
  EXPECT_EQ(document_.GetTriggerCount(), 0);
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"The Control trigger dialog could not be shown"});
}

}  // namespace
