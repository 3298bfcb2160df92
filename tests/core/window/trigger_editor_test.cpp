// Which trigger an edit-or-create command or a double-click edits, by the selected rows' Type.
#include "core/window/trigger_editor.h"

#include <gtest/gtest.h>

namespace {

using core::window::DoubleClickKind;
using core::window::EditKind;
using core::window::EditKindOfCommand;
using core::window::EditTargetOf;
using core::window::SelectedRow;

TEST(TriggerEditorTest, CommandEditsTheOneSelectedRowOfItsKindElseCreates) {
  struct Case {
    uint32_t command;
    std::vector<SelectedRow> selected;
    std::optional<int> edits;
  };
  const Case cases[] = {
      {54202, {{4, "ClearInterrupt"}}, 4},
      {54202, {{4, "interrupt"}}, 4},  // the commands ignore case
      {54203, {{2, "Transfer"}}, std::nullopt},
      {54204, {{2, "Transfer"}}, 2},
      {54204, {{2, "Transfer"}, {3, "Transfer"}}, std::nullopt},
      {54204, {}, std::nullopt},
      {54209, {{9, "I/O STREAM"}}, 9},
      {54209, {{9, "I/O Access"}}, std::nullopt},
      {54210, {{1, "Control"}}, 1},
      {54206, {{7, "Connect"}}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const std::optional<EditKind> kind = EditKindOfCommand(c.command);
    ASSERT_TRUE(kind);
    EXPECT_EQ(EditTargetOf(*kind, c.selected), c.edits);
  }
  EXPECT_FALSE(EditKindOfCommand(54205));
}

TEST(TriggerEditorTest, DoubleClickComparesTheTypeExactly) {
  const std::pair<const char*, std::optional<EditKind>> cases[] = {
      {"Interrupt", EditKind::Interrupt},
      {"ClearInterrupt", EditKind::Interrupt},
      {"Stream", EditKind::Stream},
      {"Transfer", EditKind::Transfer},
      {"I/O Stream", EditKind::IOStream},
      {"Control", EditKind::Control},
      {"Connect", EditKind::Connect},
      {"connect", std::nullopt},
      {"Message", std::nullopt},
      {"I/O Access", std::nullopt},
      {"SIO", std::nullopt},
      {"File I/O", std::nullopt},
  };
  for (const auto& [type, kind] : cases) {
    SCOPED_TRACE(type);
    EXPECT_EQ(DoubleClickKind(type), kind);
  }
}

}  // namespace
