// The trigger dialogs' rules: numbers, list selection, the OK tests in their order, enabling,
// interrupt source items and names, and the connection dialog's two lists.
#include "core/window/dialog_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "core/addin/help_path.h"

namespace {

using namespace core::window;

TEST(DialogRulesTest, WellFormedNumbersReadWholeAndStayBelowTwoToThe31) {
  const std::pair<const char*, bool> cases[] = {
      {"0", true},           {"70000", true},        {"0x1F", true},
      {"017", true},         {"2147483647", true},   {" 5", true},
      {"", false},           {"12a", false},         {"-1", false},
      {"2147483648", false}, {"99999999999", false}, {"5 ", false},
      {"8k", false},         {"abc", false},         {"09", false},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(IsWellFormedNumber(text), expected) << '"' << text << '"';
  }
}

TEST(DialogRulesTest, SpinPositionTakesTheLow16BitsClampedToTheRange) {
  struct Case {
    const char* text;
    int lower, upper, position;
  };
  const Case cases[] = {
      {"12", 0, 32767, 12},      {"0x10", 0, 31, 16}, {"40", 0, 31, 31},
      {"70000", 0, 32767, 4464},  // 70000 - 65536
      {"-1", 0, 32767, 32767},   {"abc", 0, 31, 0},   {"8000", 0, 32767, 8000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpinPosition(c.text, c.lower, c.upper), c.position) << c.text;
  }
}

TEST(DialogRulesTest, ListsSelectByExactOrPrefixMatchIgnoringCase) {
  const std::vector<std::string> sizes = {"8BIT", "16BIT", "32BIT", "8BIT*", "16BIT*", "32BIT*"};
  const std::vector<std::string> generate = {"DEFAULT", "RANDOM", "RANDOM2"};
  const std::vector<std::string> modes = {"FIX", "INCREMENT", "DECREMENT"};
  struct Case {
    const std::vector<std::string>* items;
    const char* text;
    int exact, prefix;
  };
  const Case cases[] = {
      {&sizes, "8BIT*", 3, 3},     {&sizes, "16bit", 1, 1},      {&sizes, "8", -1, 0},
      {&generate, "RANDOM", 1, 1}, {&generate, "random2", 2, 2}, {&modes, "INC", -1, 1},
      {&modes, "", -1, 0},         {&modes, "IO", -1, -1},       {&sizes, "", -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FindExact(*c.items, c.text), c.exact);
    EXPECT_EQ(FindPrefix(*c.items, c.text), c.prefix);
  }
  EXPECT_EQ(FindPrefix({}, ""), -1);
}

// A dialog's data that passes every test, changed by `edit`; the first failing field.
Field FailureOf(
    EditKind kind, const std::function<void(DialogData&)>& edit,
    std::function<bool(Field)> enabled = [](Field) { return true; }) {
  DialogData data;
  const std::map<Field, const char*> valid = {
      {Field::Name, "t"},           {Field::Destination, "0x20"}, {Field::Size, "8BIT"},
      {Field::DstMode, "SINGLE"},   {Field::DstModeValue, "0"},   {Field::Source, "0x10"},
      {Field::SrcMode, "DEFAULT"},  {Field::SrcModeValue, "0"},   {Field::Count, "1"},
      {Field::Cycle, "0"},          {Field::Wait, "0"},           {Field::DataList, "1,2"},
      {Field::StreamSource, "buf"},
  };
  for (const auto& [field, text] : valid) data[field] = text;
  edit(data);
  const std::optional<FieldTest> failed = FirstFailure(kind, data, enabled);
  return failed ? failed->field : Field::None;
}

TEST(DialogRulesTest, OkTestsRunInTheDialogsOrder) {
  using E = EditKind;
  struct Case {
    const char* what;
    EditKind kind;
    std::function<void(DialogData&)> edit;
    Field fails;
  };
  const Case cases[] = {
      {"valid transfer", E::Transfer, [](DialogData&) {}, Field::None},
      {"name before count", E::Transfer,
       [](DialogData& d) { d[Field::Name] = "", d[Field::Count] = "x"; }, Field::Name},
      {"count before size", E::Transfer,
       [](DialogData& d) { d[Field::Count] = "12a", d[Field::Size] = ""; }, Field::Count},
      {"count 70000 passes", E::Transfer, [](DialogData& d) { d[Field::Count] = "70000"; },
       Field::None},
      {"mode value 40 passes", E::Transfer, [](DialogData& d) { d[Field::SrcModeValue] = "40"; },
       Field::None},
      {"source mode before its value", E::Transfer,
       [](DialogData& d) { d[Field::SrcMode] = "", d[Field::SrcModeValue] = "x"; }, Field::SrcMode},
      {"source side before destination", E::Transfer,
       [](DialogData& d) { d[Field::SrcModeValue] = "-1", d[Field::Destination] = ""; },
       Field::SrcModeValue},
      {"data: list before generate mode", E::Stream,
       [](DialogData& d) { d[Field::DataList] = "", d[Field::SrcMode] = ""; }, Field::DataList},
      {"data: bad pattern", E::Stream,
       [](DialogData& d) { d[Field::SrcMode] = "RANDOM", d[Field::DataList] = "10,1.5,x"; },
       Field::DataList},
      {"data: pattern before count", E::Stream,
       [](DialogData& d) { d[Field::DataList] = "1,x", d[Field::Count] = "x"; }, Field::DataList},
      {"data: stream source not needed", E::Stream,
       [](DialogData& d) { d[Field::StreamSource] = ""; }, Field::None},
      {"data: count tested though disabled", E::Stream,
       [](DialogData& d) { d[Field::Count] = "abc"; }, Field::Count},
      {"stream: source needed", E::Stream,
       [](DialogData& d) { d.data_kind = false, d[Field::StreamSource] = ""; },
       Field::StreamSource},
      {"stream: list not tested", E::Stream,
       [](DialogData& d) { d.data_kind = false, d[Field::DataList] = "1,x"; }, Field::None},
      {"repeat mode before kind fields", E::Stream,
       [](DialogData& d) { d[Field::DstMode] = "", d[Field::DataList] = ""; }, Field::DstMode},
      {"interrupt: source", E::Interrupt, [](DialogData& d) { d[Field::Destination] = ""; },
       Field::Destination},
      {"connect: no members", E::Connect, [](DialogData& d) { d[Field::Destination] = ""; },
       Field::Destination},
      {"connect: name first", E::Connect,
       [](DialogData& d) { d[Field::Name] = "", d[Field::Destination] = ""; }, Field::Name},
      {"I/O stream: name not tested", E::IOStream, [](DialogData& d) { d[Field::Name] = ""; },
       Field::None},
      {"I/O stream: 8k", E::IOStream, [](DialogData& d) { d[Field::Destination] = "8k"; },
       Field::Destination},
      {"I/O stream: 70000", E::IOStream, [](DialogData& d) { d[Field::Destination] = "70000"; },
       Field::None},
      {"control: nothing tested", E::Control,
       [](DialogData& d) { d[Field::Name] = "", d[Field::Destination] = ""; }, Field::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FailureOf(c.kind, c.edit), c.fails) << c.what;
  }
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
}

TEST(DialogRulesTest, DisabledModeValuesAreNotTested) {
  auto bad_values = [](DialogData& d) { d[Field::SrcModeValue] = d[Field::DstModeValue] = "x"; };
  EXPECT_EQ(FailureOf(EditKind::Transfer, bad_values, [](Field) { return false; }), Field::None);
  EXPECT_EQ(
      FailureOf(EditKind::Transfer, bad_values, [](Field f) { return f == Field::DstModeValue; }),
      Field::DstModeValue);
}

TEST(DialogRulesTest, PatternCheckFollowsTheGenerateMode) {
  struct Case {
    const char* mode;
    const char* size;
    const char* list;
    bool error;
  };
  const Case cases[] = {
      {"RANDOM", "8BIT", "10,1.5,x", true}, {"random", "8BIT", "10,1.5,2.5", false},
      {"RANDOM2", "8BIT", "10,-1,3", true}, {"RANDOM2", "DOUBLE", "10,1,5", false},
      {"DEFAULT", "8BIT", "1,abc,3", true}, {"DEFAULT", "DOUBLE", "1.5", true},
      {"OTHER", "8BIT", "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PatternHasError(c.mode, c.size, c.list), c.error) << c.mode << ' ' << c.list;
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

}  // namespace
