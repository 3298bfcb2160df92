// Help paths: the CPU family table and the CPU-name service as the help code asks it.
#include "core/addin/help_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/automation/strings.h"

namespace {

using core::automation::HResult;
using core::automation::Variant;

// Pennant.Service: its member GetCPUName, recorded call by call.
class FakeCpuService : public core::bridge::HostObject {
 public:
  std::vector<std::string> calls;
  HResult lookup_result = 0;
  HResult invoke_result = 0;
  Variant answer = Variant::Bstr("Orvex-1");

  HResult GetIDsOfNames(const std::string& name, uint32_t lcid, int32_t* dispid) override {
    calls.push_back(core::automation::Format("GetIDsOfNames(%s,0x%04X)", name.c_str(), lcid));
    *dispid = 1;
    return lookup_result;
  }
  HResult Invoke(int32_t dispid, uint32_t lcid, uint16_t flags, const std::vector<Variant>& args,
                 Variant* result) override {
    calls.push_back(core::automation::Format("Invoke(%d,0x%04X,%u,%zu args)", dispid, lcid, flags,
                                             args.size()));
    if (result) *result = answer;
    return invoke_result;
  }
};

TEST(HelpPath, ListedCpuFamiliesHaveTheirHelpFileOthersNone) {
  const struct {
    const char* cpu;
    const char* path;
  } cases[] = {
      {"Orvex-1", "Vireo1.chm::\\html\\SIM_WIN_Trigger.htm"},
      {"Orvex-6", "Vireo6.chm::\\html\\SIM_WIN_Trigger.htm"},
      {"orvex-1", "html\\SIM_WIN_Trigger.htm"},  // compared case-sensitively
      {"Orvex-7", "html\\SIM_WIN_Trigger.htm"},
      {"Orvex-1 ", "html\\SIM_WIN_Trigger.htm"},
      {"VX16", "html\\SIM_WIN_Trigger.htm"},
      {"", "html\\SIM_WIN_Trigger.htm"},
  };
  for (const auto& c : cases) {
    FakeCpuService service;
    service.answer = Variant::Bstr(c.cpu);
    EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTriggerWindowTopic), c.path)
        << c.cpu;
  }
}

TEST(HelpPath, TheCpuNameIsAskedByMemberName) {
  FakeCpuService service;
  service.answer = Variant::Bstr("Orvex-4");
  EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTransferDialogTopic),
            "Vireo4.chm::\\html\\SIM_DLG_TrnsTrg.htm");
  EXPECT_EQ(service.calls, (std::vector<std::string>{"GetIDsOfNames(GetCPUName,0x0800)",
                                                     "Invoke(1,0x0800,1,0 args)"}));
}

TEST(HelpPath, WithoutTheServiceThePathIsEmpty) {
  EXPECT_EQ(core::addin::BuildHelpPath(nullptr, core::addin::kTriggerWindowTopic), "");
}

TEST(HelpPath, AServiceThatGivesNoNameLeavesTheBareTopic) {
  FakeCpuService missing_member;
  missing_member.lookup_result = core::automation::kDispUnknownName;
  EXPECT_EQ(core::addin::BuildHelpPath(&missing_member, "t.htm"), "t.htm");
  EXPECT_EQ(missing_member.calls.size(), 1u) << "nothing invoked after a failed lookup";

  FakeCpuService failing;
  failing.invoke_result = core::automation::kFail;
  EXPECT_EQ(core::addin::BuildHelpPath(&failing, "t.htm"), "t.htm");

  FakeCpuService not_text;
  not_text.answer = Variant::I4(1);
  EXPECT_EQ(core::addin::BuildHelpPath(&not_text, "t.htm"), "t.htm");
}

}  // namespace
