// The command target's rules: named objects, notification effects, command status, window key.
#include "core/addin/command_target.h"

#include <gtest/gtest.h>

namespace {

using core::addin::NamedObject;
using core::addin::NotificationEffect;

TEST(CommandTarget, NamedObjectsAreTheTextAfterTheFirstDotIgnoringCase) {
  const struct {
    const char* name;
    NamedObject expected;
  } cases[] = {
      {"TriggerAction", NamedObject::TriggerAction},
      {"Anything.TRIGGERACTION", NamedObject::TriggerAction},
      {"version", NamedObject::Version},
      {".Version", NamedObject::Version},
      {"Trigger.Version.1", NamedObject::None},  // the text after the first dot is "Version.1"
      {"Trigger.Nothing", NamedObject::None},
      {"Trigger.", NamedObject::None},
      {"", NamedObject::None},
      {"Versions", NamedObject::None},
      {"Trigger Version", NamedObject::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::addin::FindNamedObject(c.name), c.expected) << "\"" << c.name << "\"";
  }
}

TEST(CommandTarget, NotificationCodesAndTheirEffects) {
  const struct {
    int32_t code;
    NotificationEffect effect;
  } cases[] = {
      {0x2002, NotificationEffect::ObtainMemoryCommand},
      {0x2003, NotificationEffect::ReleaseMemoryCommand},
      {0x2011, NotificationEffect::RefreshActiveFlags},
      {0x2200, NotificationEffect::RefreshActiveFlags},
      {0x2901, NotificationEffect::RefreshActiveFlags},
      {0x2001, NotificationEffect::None},
      {0x2010, NotificationEffect::None},
      {0x2900, NotificationEffect::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::addin::EffectOf(c.code), c.effect) << std::hex << c.code;
  }
}

TEST(CommandTarget, OnlyTheTriggerCommandsStatusIsSet) {
  int32_t status = 0;
  core::addin::QueryStatus(54201, &status);
  EXPECT_EQ(status, 1);
  for (int32_t other : {54200, 54202, 0, -54201}) {
    status = 7;
    core::addin::QueryStatus(other, &status);
    EXPECT_EQ(status, 7) << other;
  }
  core::addin::QueryStatus(54201, nullptr);  // nowhere to write: nothing happens
}

TEST(CommandTarget, WindowKindKeysAreThreeUpperCaseHexDigitsEach) {
  EXPECT_EQ(
      core::addin::WindowKindKey(core::addin::kTriggerWindowKind, core::addin::kTriggerWindowIndex),
      "115001");
  EXPECT_EQ(core::addin::WindowKindKey(0xABC, 0xDEF), "ABCDEF");
  EXPECT_EQ(core::addin::WindowKindKey(0, 0), "000000");
}

}  // namespace
