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

TEST(HelpPath, ListedCpuFamiliesHaveTheirHelpFileOthersTheBareTopic) {
  const char* const kBare = "html\\SIM_WIN_Trigger.htm";
  const struct {
    Variant cpu;  // the service's answer
    HResult lookup, invoke;
    const char* path;
  } cases[] = {
      {Variant::Bstr("Orvex-1"), 0, 0, "Vireo1.chm::\\html\\SIM_WIN_Trigger.htm"},
      {Variant::Bstr("Orvex-6"), 0, 0, "Vireo6.chm::\\html\\SIM_WIN_Trigger.htm"},
      {Variant::Bstr("orvex-1"), 0, 0, kBare},  // compared case-sensitively
      {Variant::Bstr("Orvex-7"), 0, 0, kBare},
      {Variant::Bstr("Orvex-1 "), 0, 0, kBare},
      {Variant::Bstr("VX16"), 0, 0, kBare},
      {Variant::Bstr(""), 0, 0, kBare},
      {Variant::I4(1), 0, 0, kBare},  // not a text
      {Variant::Bstr("Orvex-1"), core::automation::kDispUnknownName, 0, kBare},
      {Variant::Bstr("Orvex-1"), 0, core::automation::kFail, kBare},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cpu.Describe());
    FakeCpuService service;
    service.answer = c.cpu;
    service.lookup_result = c.lookup;
    service.invoke_result = c.invoke;
    EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTriggerWindowTopic), c.path);
    EXPECT_EQ(service.calls.size(), c.lookup ? 1u : 2u) << "nothing invoked after a failed lookup";
  }
  EXPECT_EQ(core::addin::BuildHelpPath(nullptr, core::addin::kTriggerWindowTopic), "")
      << "without the service";
}

TEST(HelpPath, TheCpuNameIsAskedByMemberName) {
  FakeCpuService service;
  service.answer = Variant::Bstr("Orvex-4");
  EXPECT_EQ(core::addin::BuildHelpPath(&service, core::addin::kTransferDialogTopic),
            "Vireo4.chm::\\html\\SIM_DLG_TrnsTrg.htm");
  EXPECT_EQ(service.calls, (std::vector<std::string>{"GetIDsOfNames(GetCPUName,0x0800)",
                                                     "Invoke(1,0x0800,1,0 args)"}));
}

}  // namespace
