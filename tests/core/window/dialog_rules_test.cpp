// The trigger dialogs' rules: numbers, list selection, the OK tests in their order, enabling,
// interrupt source items and names, and the connection dialog's two lists; and which trigger an
// edit command or a double-click edits, by the selected rows' Type.
#include "core/window/dialog_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "core/addin/help_path.h"

namespace {

using namespace core::window;

TEST(DialogRulesTest, NumbersListsAndSpinPositions) {
  // Well formed: read whole, below 2^31.
  // clang-format off
  const std::pair<const char*, bool> numbers[] = {
      {"0", true}, {"70000", true}, {"0x1F", true}, {"017", true}, {"2147483647", true},
      {" 5", true}, {"", false}, {"12a", false}, {"-1", false}, {"2147483648", false},
      {"99999999999", false}, {"5 ", false}, {"8k", false}, {"abc", false}, {"09", false}};
  // clang-format on
  for (const auto& [text, expected] : numbers) {
    EXPECT_EQ(IsWellFormedNumber(text), expected) << '"' << text << '"';
  }
  // The low 16 bits, clamped to the range.
  const std::tuple<const char*, int, int, int> spins[] = {
      {"12", 0, 32767, 12},      {"0x10", 0, 31, 16},     {"40", 0, 31, 31},
      {"70000", 0, 32767, 4464}, {"-1", 0, 32767, 32767}, {"abc", 0, 31, 0},
      {"8000", 0, 32767, 8000}};
  for (const auto& [text, lower, upper, position] : spins) {
    EXPECT_EQ(SpinPosition(text, lower, upper), position) << text;
  }
  // Lists select by an exact match, or by a prefix, ignoring case.
  const std::vector<std::string> sizes = {"8BIT", "16BIT", "32BIT", "8BIT*", "16BIT*", "32BIT*"};
  const std::vector<std::string> generate = {"DEFAULT", "RANDOM", "RANDOM2"};
  const std::vector<std::string> modes = {"FIX", "INCREMENT", "DECREMENT"};
  // clang-format off
  const std::tuple<const std::vector<std::string>*, const char*, int, int> lists[] = {
      {&sizes, "8BIT*", 3, 3}, {&sizes, "16bit", 1, 1}, {&sizes, "8", -1, 0},
      {&generate, "RANDOM", 1, 1}, {&generate, "random2", 2, 2}, {&modes, "INC", -1, 1},
      {&modes, "", -1, 0}, {&modes, "IO", -1, -1}, {&sizes, "", -1, 0}, {&sizes, "8bit", 0, 0}};
  // clang-format on
  for (const auto& [items, text, exact, prefix] : lists) {
    EXPECT_EQ(FindExact(*items, text), exact) << text;
    EXPECT_EQ(FindPrefix(*items, text), prefix) << text;
  }
  EXPECT_EQ(FindPrefix({}, ""), -1);
}

using Edits = std::vector<std::pair<Field, const char*>>;

// A dialog's data that passes every test, with the edits made; the first failing field.
Field FailureOf(
    EditKind kind, const Edits& edits, bool data_kind = true,
    std::function<bool(Field)> enabled = [](Field) { return true; }) {
  DialogData data;
  const Edits valid = {
      {Field::Name, "t"},          {Field::Destination, "0x20"}, {Field::Size, "8BIT"},
      {Field::DstMode, "SINGLE"},  {Field::DstModeValue, "0"},   {Field::Source, "0x10"},
      {Field::SrcMode, "DEFAULT"}, {Field::SrcModeValue, "0"},   {Field::Count, "1"},
      {Field::Cycle, "0"},         {Field::Wait, "0"},           {Field::DataList, "1,2"},
      {Field::StreamSource, "buf"}};
  for (const auto& [field, text] : valid) data[field] = text;
  for (const auto& [field, text] : edits) data[field] = text;
  data.data_kind = data_kind;
  const std::optional<FieldTest> failed = FirstFailure(kind, data, enabled);
  return failed ? failed->field : Field::None;
}

TEST(DialogRulesTest, OkTestsRunInTheDialogsOrder) {
  using E = EditKind;
  using F = Field;
  const struct {
    const char* what;
    EditKind kind;
    Edits edits;
    Field fails;
    bool data_kind = true;  // false: a memory stream
  } cases[] = {
      // clang-format off
      {"valid transfer", E::Transfer, {}, F::None},
      {"name before count", E::Transfer, {{F::Name, ""}, {F::Count, "x"}}, F::Name},
      {"count before size", E::Transfer, {{F::Count, "12a"}, {F::Size, ""}}, F::Count},
      {"count 70000 passes", E::Transfer, {{F::Count, "70000"}}, F::None},
      {"mode value 40 passes", E::Transfer, {{F::SrcModeValue, "40"}}, F::None},
      {"mode before value", E::Transfer, {{F::SrcMode, ""}, {F::SrcModeValue, "x"}}, F::SrcMode},
      {"source side first", E::Transfer, {{F::SrcModeValue, "-1"}, {F::Destination, ""}},
       F::SrcModeValue},
      {"data: list before mode", E::Stream, {{F::DataList, ""}, {F::SrcMode, ""}}, F::DataList},
      {"data: bad pattern", E::Stream, {{F::SrcMode, "RANDOM"}, {F::DataList, "10,1.5,x"}},
       F::DataList},
      {"data: pattern before count", E::Stream, {{F::DataList, "1,x"}, {F::Count, "x"}},
       F::DataList},
      {"data: stream source not needed", E::Stream, {{F::StreamSource, ""}}, F::None},
      {"data: count tested though disabled", E::Stream, {{F::Count, "abc"}}, F::Count},
      {"stream: source needed", E::Stream, {{F::StreamSource, ""}}, F::StreamSource, false},
      {"stream: list not tested", E::Stream, {{F::DataList, "1,x"}}, F::None, false},
      {"repeat mode first", E::Stream, {{F::DstMode, ""}, {F::DataList, ""}}, F::DstMode},
      {"interrupt: source", E::Interrupt, {{F::Destination, ""}}, F::Destination},
      {"connect: no members", E::Connect, {{F::Destination, ""}}, F::Destination},
      {"connect: name first", E::Connect, {{F::Name, ""}, {F::Destination, ""}}, F::Name},
      {"I/O stream: name not tested", E::IOStream, {{F::Name, ""}}, F::None},
      {"I/O stream: 8k", E::IOStream, {{F::Destination, "8k"}}, F::Destination},
      {"I/O stream: 70000", E::IOStream, {{F::Destination, "70000"}}, F::None},
      {"control: nothing tested", E::Control, {{F::Name, ""}, {F::Destination, ""}}, F::None},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(FailureOf(c.kind, c.edits, c.data_kind), c.fails) << c.what;
  // Disabled mode values are not tested.
  const Edits bad_values = {{F::SrcModeValue, "x"}, {F::DstModeValue, "x"}};
  EXPECT_EQ(FailureOf(E::Transfer, bad_values, true, [](F) { return false; }), F::None);
  EXPECT_EQ(FailureOf(E::Transfer, bad_values, true, [](F f) { return f == F::DstModeValue; }),
            F::DstModeValue);
}

TEST(DialogRulesTest, MessagesExplainABadPatternAndDisabledFieldsThatFail) {
  using M = FailureMessage;
  const FieldTest count{Field::Count, Rule::Number}, cycle{Field::Cycle, Rule::Number};
  const FieldTest wait{Field::Wait, Rule::Number}, pattern{Field::DataList, Rule::Pattern};
  EXPECT_EQ(FailureMessageOf(EditKind::Stream, pattern, true), M::BadPattern);
  EXPECT_EQ(FailureMessageOf(EditKind::Stream, count, false), M::DisabledCount);
  EXPECT_EQ(FailureMessageOf(EditKind::Stream, count, true), M::None);
  EXPECT_EQ(FailureMessageOf(EditKind::Interrupt, cycle, false), M::DisabledCycle);
  EXPECT_EQ(FailureMessageOf(EditKind::Interrupt, wait, false), M::DisabledWait);
  EXPECT_EQ(FailureMessageOf(EditKind::Interrupt, count, false), M::None);
}

TEST(DialogRulesTest, PatternCheckFollowsTheGenerateMode) {
  const std::tuple<const char*, const char*, const char*, bool> cases[] = {
      {"RANDOM", "8BIT", "10,1.5,x", true}, {"random", "8BIT", "10,1.5,2.5", false},
      {"RANDOM2", "8BIT", "10,-1,3", true}, {"RANDOM2", "DOUBLE", "10,1,5", false},
      {"DEFAULT", "8BIT", "1,abc,3", true}, {"DEFAULT", "DOUBLE", "1.5", true},
      {"OTHER", "8BIT", "x", false}};
  for (const auto& [mode, size, list, error] : cases) {
    EXPECT_EQ(PatternHasError(mode, size, list), error) << mode << ' ' << list;
  }
}

TEST(DialogRulesTest, InterruptSourceItemsNamesAndChoice) {
  const std::vector<SourceItem> items = {{0, "INT0", 0}, {1, "INT1", 0}, {5, "INTX", 1}};
  EXPECT_EQ(SourceItemText(items[2]), "5:INTX");

  const std::pair<const char*, const char*> names[] = {
      {"5:INTX", "INTX"}, {"5:", "5"}, {"INT1", "INT1"}, {"a:b:c", "b:c"}, {"", ""}};
  for (const auto& [text, name] : names) EXPECT_EQ(SourceNameOf(text), name) << text;

  const std::pair<const char*, int> choices[] = {
      {"INT1", 1}, {"int1", 1},  // another case, as no name is equal
      {"2", 2},    {"0", 0},    {"00", -1}, {"7", -1}, {"", -1},
  };
  for (const auto& [name, chosen] : choices) EXPECT_EQ(ChooseSource(items, name), chosen) << name;
  // Position and name both choose; the last chosen item wins.
  EXPECT_EQ(ChooseSource({{0, "X", 0}, {1, "0", 0}}, "0"), 1);
  EXPECT_EQ(ChooseSource({{0, "ab", 0}, {1, "AB", 0}}, "ab"), 0);  // an equal name wins

  EXPECT_EQ(InterruptTriggerName(false, "INTX"), "setINTX");
  EXPECT_EQ(InterruptTriggerName(true, "INTX"), "clearINTX");
  // The clear box, its tick and the timing fields: a source of value 1 is never cleared.
  std::string enabling;
  for (const auto& [value, choice] : {std::pair{0u, true}, {0u, false}, {1u, true}}) {
    const InterruptEnabling e = InterruptEnablingOf(value, choice);
    enabling += std::to_string(e.clear_box) + std::to_string(e.clear) + std::to_string(e.timing);
  }
  EXPECT_EQ(enabling, "110101001");
}

TEST(DialogRulesTest, ConnectionListsMoveEntriesAndNameTheTrigger) {
  // Members keep their spelling; those that name no trigger exactly give the name no
  // identifier, as the connect trigger finds none for them.
  ConnectionLists lists({{"a", 1}, {"b", 3}, {"c", 5}, {"d", 7}}, {"D", "gone", "b"});
  EXPECT_EQ(lists.Members(), (std::vector<std::string>{"D", "gone", "b"}));
  EXPECT_EQ(lists.ProposedName(), "trg3");
  EXPECT_EQ(lists.Available().size(), 2u);
  lists.Remove(0);  // back under the trigger's own name
  EXPECT_EQ(lists.Available().back().name, "d");

  ConnectionLists fresh({{"a", 1}, {"b", 3}, {"c", 5}}, {});
  EXPECT_EQ(fresh.Add(1), 1);  // b (3) moved; c now at 1 stays selected
  EXPECT_EQ(fresh.Add(1), 0);  // c (5) was last: the selection moves to the new last
  EXPECT_EQ(fresh.ProposedName(), "trg3+5");
  EXPECT_EQ(fresh.Members(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(fresh.Remove(0), 0);
  EXPECT_EQ(fresh.ProposedName(), "trg5");
  EXPECT_EQ(fresh.Available().back().name, "b");
  EXPECT_EQ(fresh.Remove(0), -1);  // the connected list is empty now
  EXPECT_EQ(fresh.ProposedName(), "trg");
  EXPECT_EQ(fresh.Add(9), -1);
}

TEST(DialogRulesTest, EachDialogOpensATopicOfItsOwnAmongTheAddinsTopics) {
  const std::set<std::string_view> topics(std::begin(core::addin::kHelpTopics),
                                          std::end(core::addin::kHelpTopics));
  std::set<std::string_view> opened;
  for (const EditKindInfo& info : EditKinds()) {
    const std::string_view topic = HelpTopic(info.kind);
    EXPECT_EQ(topics.count(topic), 1u) << topic;
    EXPECT_NE(topic, core::addin::kTriggerWindowTopic);
    opened.insert(topic);
  }
  EXPECT_EQ(opened.size(), EditKinds().size());
}

// A command edits the one selected row of its kind (ignoring case), else creates; a double-click
// compares the Type exactly.
TEST(TriggerEditorTest, CommandsAndDoubleClicksChooseTheTriggerToEdit) {
  const std::tuple<uint32_t, std::vector<SelectedRow>, std::optional<int>> commands[] = {
      // clang-format off
      {54202, {{4, "ClearInterrupt"}}, 4}, {54202, {{4, "interrupt"}}, 4},
      {54203, {{2, "Transfer"}}, std::nullopt}, {54204, {{2, "Transfer"}}, 2},
      {54204, {{2, "Transfer"}, {3, "Transfer"}}, std::nullopt}, {54204, {}, std::nullopt},
      {54209, {{9, "I/O STREAM"}}, 9}, {54209, {{9, "I/O Access"}}, std::nullopt},
      {54210, {{1, "Control"}}, 1}, {54206, {{7, "Connect"}}, 7}};
  // clang-format on
  for (const auto& [command, selected, edits] : commands) {
    const std::optional<EditKind> kind = EditKindOfCommand(command);
    ASSERT_TRUE(kind) << command;
    EXPECT_EQ(EditTargetOf(*kind, selected), edits) << command;
  }
  EXPECT_FALSE(EditKindOfCommand(54205));
  using E = EditKind;
  const std::pair<const char*, std::optional<EditKind>> types[] = {
      // clang-format off
      {"Interrupt", E::Interrupt}, {"ClearInterrupt", E::Interrupt}, {"Stream", E::Stream},
      {"Transfer", E::Transfer}, {"I/O Stream", E::IOStream}, {"Control", E::Control},
      {"Connect", E::Connect}, {"connect", std::nullopt}, {"Message", std::nullopt},
      {"I/O Access", std::nullopt}, {"SIO", std::nullopt}, {"File I/O", std::nullopt}};
  // clang-format on
  for (const auto& [type, kind] : types) EXPECT_EQ(DoubleClickKind(type), kind) << type;
}

}  // namespace
