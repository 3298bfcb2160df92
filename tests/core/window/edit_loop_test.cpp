// The edit-or-create loop over a scripted dialog port, against a real registry and document: what
// each dialog is filled with, what OK writes back, and what Cancel, refusals and "new" leave, as
// a golden transcript of every dialog shown and every trigger afterwards.
#include "core/window/edit_loop.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/core/registry/registry_fixture.h"

namespace registry_test {
namespace {

using core::window::DialogData;
using core::window::DialogPort;
using core::window::DialogResult;
using core::window::EditKind;
using core::window::Field;
using Texts = std::vector<std::pair<Field, std::string>>;

const char* const kFieldNames[] = {"None",    "Number",       "Name",         "Destination",
                                   "Size",    "DstMode",      "DstModeValue", "Source",
                                   "SrcMode", "SrcModeValue", "Count",        "Cycle",
                                   "Wait",    "Mask",         "DataList",     "StreamSource"};

// A dialog's showing: the fields that hold text, the focus and the lists.
std::string Describe(EditKind kind, const DialogData& d) {
  std::string text = "  shown " + std::string(core::window::InfoOf(kind).keyword) +
                     " own=" + d.own_number + " focus=" + kFieldNames[static_cast<int>(d.focus)];
  for (size_t f = 1; f < core::window::kFieldCount; ++f) {
    if (!d.texts[f].empty()) text += std::string(" ") + kFieldNames[f] + "=" + d.texts[f];
  }
  if (!d.sources.empty()) text += " sources=" + std::to_string(d.sources.size());
  for (const auto& other : d.others)
    text += " other=" + other.name + "#" + std::to_string(other.number);
  for (const auto& member : d.members) text += " member=" + member;
  return text + "\n";
}

// Each showing of a dialog takes the next scripted step: the texts to enter before OK, or no
// texts and another result.
struct Step {
  Texts texts;
  DialogResult result = DialogResult::Ok;
};
const Step kCancel = {{}, DialogResult::Cancel};

class ScriptedDialogs : public DialogPort {
 public:
  DialogResult Run(EditKind kind, DialogData& data) override {
    transcript += Describe(kind, data);
    if (steps.empty()) {
      ADD_FAILURE() << "a dialog was shown more often than scripted";
      return DialogResult::Cancel;
    }
    const Step step = steps.front();
    steps.erase(steps.begin());
    for (const auto& [field, text] : step.texts) data[field] = text;
    return step.result;
  }

  std::vector<Step> steps;
  std::string transcript;
};

// clang-format off
const Texts kTransfer = {{Field::Size, "16BIT"}, {Field::Source, "0x100"},
    {Field::SrcMode, "INCREMENT"}, {Field::SrcModeValue, "2"}, {Field::Destination, "0x200"},
    {Field::DstMode, "FIX"}, {Field::DstModeValue, "0"}, {Field::Count, "16"}, {Field::Cycle, "3"},
    {Field::Wait, "4"}};
// clang-format on

struct Scenario {
  const char* what;
  std::vector<std::pair<EditKind, Texts>> made;  // triggers created and OK'd first, in turn
  EditKind kind;
  std::optional<int> slot;  // none: create
  std::vector<Step> steps;
  std::vector<int> deleted = {};  // slots deleted before the run
};

using EditLoopTest = RegistryTest;

TEST_F(EditLoopTest, RunsTheDialogsAsTheTranscriptSays) {
  simulator_.source_table = ShortSourceTable();
  using E = EditKind;
  using F = Field;
  const std::optional<int> fresh;  // no slot: a new trigger
  const std::vector<std::pair<EditKind, Texts>> transfer = {{E::Transfer, kTransfer}};
  const Texts kRandom2 = {{F::Size, "DOUBLE"},     {F::Destination, "0x20"}, {F::DstMode, "SINGLE"},
                          {F::SrcMode, "RANDOM2"}, {F::DataList, "10,1,5"},  {F::Count, "0"},
                          {F::Cycle, "0"},         {F::Wait, "0"},           {F::Mask, "0"}};
  const auto p = [](int i) { return Texts{{F::Name, "p" + std::to_string(i)}}; };
  // clang-format off
  const Scenario scenarios[] = {
      {"create and cancel: interrupt", {}, E::Interrupt, fresh, {kCancel}},
      {"create and cancel: stream", {}, E::Stream, fresh, {kCancel}},
      {"create and cancel: transfer", {}, E::Transfer, fresh, {kCancel}},
      {"create and cancel: I/O stream", {}, E::IOStream, fresh, {kCancel}},
      {"create and cancel: control", {}, E::Control, fresh, {kCancel}},
      {"create and cancel: connect", {}, E::Connect, fresh, {kCancel}},
      {"edit fills the dialog; cancel leaves it", transfer, E::Transfer, 0, {kCancel}},
      {"a refused setter shows the dialog again", transfer, E::Transfer, 0,
       {{{{F::Name, "mover"}, {F::SrcModeValue, "40"}}}, {{{F::SrcModeValue, "4"}}}}},
      {"cancel after a refusal undoes the accepted setters", transfer, E::Transfer, 0,
       {{{{F::Name, "mover"}, {F::Size, "8BIT"}, {F::DstModeValue, "40"}}}, kCancel}},
      {"a refused Register shows the dialog again", {}, E::Stream, fresh,
       {{kRandom2}, {{{F::Size, "8BIT"}}}}},
      {"a refused source names its field", {}, E::Interrupt, fresh,
       {{{{F::Destination, "NOPE"}}}, {{{F::Destination, "INT0"}}}}},
      {"an I/O stream port from 0x8000 opens as a number",
       {{E::IOStream, {{F::Destination, "0x8000"}}}}, E::IOStream, 0, {{}}},
      {"other triggers cover all slots but its own",
       {{E::IOStream, p(0)}, {E::IOStream, p(1)}, {E::IOStream, p(2)}, {E::IOStream, p(3)}},
       E::Connect, fresh, {{{{F::Name, "both"}, {F::Destination, "p3,p2"}, {F::Count, "2"}}}},
       {0, 1}},
      {"a connect edit lists its members and the others",
       {{E::IOStream, p(0)}, {E::IOStream, p(1)},
        {E::Connect, {{F::Name, "both"}, {F::Destination, "p1,p0"}}}}, E::Connect, 2, {kCancel}},
      {"a connect edit of another kind creates", {{E::IOStream, {}}}, E::Connect, 0, {kCancel}},
      {"an empty slot shows nothing", {}, E::Transfer, 5, {}},
      {"save as new makes a copy under a new name", transfer, E::Transfer, 0,
       {{{{F::Number, "NEW"}, {F::Name, "lost"}, {F::Count, "32"}}}, {}, {{{F::Name, "copy"}}}}},
      {"save as new, then cancel, leaves the copy for the purge", transfer, E::Transfer, 0,
       {{{{F::Number, "new"}}}, {{{F::Name, "copy"}, {F::SrcModeValue, "99"}}}, kCancel}},
      {"leaving new deletes the copy", transfer, E::Transfer, 0,
       {{{{F::Number, "new"}}}, {{{F::Number, "0"}, {F::Count, "8"}}}}},
      {"a dialog that cannot be shown", {}, E::Control, fresh, {{{}, DialogResult::Unavailable}}},
  };
  // clang-format on
  std::string transcript;
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.what);
    CTriggerAction registry(bridge_, host_);
    core::window::TriggerDocument document(registry);
    int updates = 0;
    document.SetUpdateAllViews([&] { ++updates; });
    ScriptedDialogs dialogs;
    core::window::EditLoop loop(document, dialogs);
    for (const auto& [kind, texts] : s.made) {
      dialogs.steps = {{texts}};
      loop.EditOrCreate(kind, std::nullopt);
    }
    for (int slot : s.deleted) EXPECT_EQ(document.DeleteSlot(slot), 0);
    dialogs.transcript.clear();
    TakeLog();
    updates = 0;
    dialogs.steps = s.steps;
    loop.EditOrCreate(s.kind, s.slot);
    EXPECT_TRUE(dialogs.steps.empty()) << "every scripted step was taken";
    transcript += std::string(s.what) + "\n" + dialogs.transcript;
    for (int slot = 0; slot < 8; ++slot) {
      if (const TriggerInfo* adapter = document.GetTriggerInfo(slot)) {
        transcript += "  " + std::to_string(slot) + ": " + adapter->GetDefinitionText() + " " +
                      adapter->GetStatusText() +
                      (adapter->IsInSimulator() ? "" : " (not defined)") + "\n";
      }
    }
    for (const std::string& line : TakeLog()) transcript += "  log: " + line + "\n";
    transcript += "  updates " + std::to_string(updates) + "\n";
  }
  test_support::ExpectGolden("core/window/golden/edit_loop.txt", transcript);
}

}  // namespace
}  // namespace registry_test
