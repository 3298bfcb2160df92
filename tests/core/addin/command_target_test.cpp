// The command target's rules: named objects, notification effects, command status, window key;
// and the help paths, by the CPU family the host's CPU-name service gives.
#include "core/addin/command_target.h"

#include <gtest/gtest.h>

#include "core/addin/help_path.h"
#include "tests/core/fakes/fake_host.h"

namespace {

using core::addin::NamedObject;
using core::addin::NotificationEffect;
using core::automation::HResult;
using core::automation::Variant;

TEST(CommandTarget, NamedObjectsAreTheTextAfterTheFirstDotIgnoringCase) {
  // "Trigger.Version.1" names nothing: the text after the first dot is "Version.1".
  using N = NamedObject;
  const std::pair<const char*, NamedObject> cases[] = {{"TriggerAction", N::TriggerAction},
                                                       {"Anything.TRIGGERACTION", N::TriggerAction},
                                                       {"version", N::Version},
                                                       {".Version", N::Version},
                                                       {"Trigger.Version.1", N::None},
                                                       {"Trigger.Nothing", N::None},
                                                       {"Trigger.", N::None},
                                                       {"", N::None},
                                                       {"Versions", N::None},
                                                       {"Trigger Version", N::None}};
  for (const auto& [name, object] : cases) {
    EXPECT_EQ(core::addin::FindNamedObject(name), object) << "\"" << name << "\"";
  }
}

TEST(CommandTarget, NotificationCodesStatusAndWindowKey) {
  using E = NotificationEffect;
  const std::pair<int32_t, NotificationEffect> cases[] = {{0x2002, E::ObtainMemoryCommand},
                                                          {0x2003, E::ReleaseMemoryCommand},
                                                          {0x2011, E::RefreshActiveFlags},
                                                          {0x2200, E::RefreshActiveFlags},
                                                          {0x2901, E::RefreshActiveFlags},
                                                          {0x2001, E::None},
                                                          {0x2010, E::None},
                                                          {0x2900, E::None}};
  for (const auto& [code, effect] : cases) {
    EXPECT_EQ(core::addin::EffectOf(code), effect) << std::hex << code;
  }
  // Only the trigger command's status is set; nowhere to write, nothing happens.
  int32_t status = 0;
  core::addin::QueryStatus(54201, &status);
  EXPECT_EQ(status, 1);
  for (int32_t other : {54200, 54202, 0, -54201}) {
    status = 7;
    core::addin::QueryStatus(other, &status);
    EXPECT_EQ(status, 7) << other;
  }
  core::addin::QueryStatus(54201, nullptr);
  // Three upper-case hex digits each.
  EXPECT_EQ(
      core::addin::WindowKindKey(core::addin::kTriggerWindowKind, core::addin::kTriggerWindowIndex),
      "115001");
  EXPECT_EQ(core::addin::WindowKindKey(0xABC, 0xDEF), "ABCDEF");
  EXPECT_EQ(core::addin::WindowKindKey(0, 0), "000000");
}

TEST(HelpPath, ListedCpuFamiliesHaveTheirHelpFileOthersTheBareTopic) {
  // Names compare case-sensitively; a service that answers no text is an unlisted family.
  const char* const kBare = "html\\SIM_WIN_Trigger.htm";
  const std::tuple<Variant, HResult, HResult, const char*> cases[] = {
      {Variant::Bstr("Orvex-1"), 0, 0, "Vireo1.chm::\\html\\SIM_WIN_Trigger.htm"},
      {Variant::Bstr("Orvex-6"), 0, 0, "Vireo6.chm::\\html\\SIM_WIN_Trigger.htm"},
      {Variant::Bstr("orvex-1"), 0, 0, kBare},
      {Variant::Bstr("Orvex-7"), 0, 0, kBare},
      {Variant::Bstr("Orvex-1 "), 0, 0, kBare},
      {Variant::Bstr("VX16"), 0, 0, kBare},
      {Variant::Bstr(""), 0, 0, kBare},
      {Variant::I4(1), 0, 0, kBare},
      {Variant::Bstr("Orvex-1"), core::automation::kDispUnknownName, 0, kBare},
      {Variant::Bstr("Orvex-1"), 0, core::automation::kFail, kBare}};
  for (const auto& [cpu, lookup, invoke, path] : cases) {
    SCOPED_TRACE(cpu.Describe());
    fakes::HostState state;
    state.answer = cpu, state.lookup_result = lookup, state.invoke_result = invoke;
    fakes::FakeServiceObject service(state, "Pennant.Service", true);
    EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTriggerWindowTopic), path);
    EXPECT_EQ(state.calls.size(), lookup ? 1u : 2u) << "nothing invoked after a failed lookup";
  }
  EXPECT_EQ(core::addin::BuildHelpPath(nullptr, core::addin::kTriggerWindowTopic), "");

  fakes::HostState state;
  state.answer = Variant::Bstr("Orvex-4");
  fakes::FakeServiceObject service(state, "Pennant.Service", true);
  EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTransferDialogTopic),
            "Vireo4.chm::\\html\\SIM_DLG_TrnsTrg.htm");
  EXPECT_EQ(state.calls,
            (std::vector<std::string>{"Pennant.Service.GetIDsOfNames(GetCPUName,0x0800)",
                                      "Pennant.Service.Invoke(7,0x0800,1,result)"}));
}

}  // namespace
