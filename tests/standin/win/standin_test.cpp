// The host stand-in under Wine where the add-in's own suites do not reach it: blocks that break
// the by-reference contract of the simulator's "SimCommand", and the command line of its runner,
// vireo-standin.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "core/automation/bytes.h"
#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;
using core::automation::ByteWriter;

class StandinTest : public HostTest {};

TEST_F(StandinTest, ABlockNotByReferenceAnUnknownCommandAndAnUnknownTriggerAreRefused) {
  ByteWriter activate(8);  // a command block: activate trigger 140, which the simulator lacks
  activate.U16(0, 8);
  activate.U16(2, 0x102);
  activate.I32(4, 140);
  std::vector<uint8_t> bytes = activate.Take();
  VARIANT by_value, block, reply;
  V_VT(&by_value) = VT_I4;
  V_I4(&by_value) = 0;
  V_VT(&block) = VT_BYREF;
  V_BYREF(&block) = bytes.data();
  VariantInit(&reply);
  const ComPtr<IVireoTargetCommand> target = Service<IVireoTargetCommand>(L"Marlin.TargetCommand");
  const UniqueBstr sim = Bstr(L"SimCommand");
  EXPECT_HR(E_INVALIDARG, target->Command(sim.Get(), 0, by_value, &reply));
  EXPECT_HR(E_INVALIDARG, target->Command(Bstr(L"RunCommand").Get(), 0, block, &reply));
  EXPECT_HR(E_FAIL, target->Command(sim.Get(), 0, block, &reply));
  EXPECT_EQ(V_VT(&reply), VT_EMPTY) << "no reply with a refusal";
  EXPECT_EQ(Log(),
            "Vireo: TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
            "(0x4000) with a pointer; it came as type 0x0003\n"
            "Vireo: TargetCommand.Command: unknown command \"RunCommand\"; the host knows "
            "\"SimCommand\" only\n");
  EXPECT_EQ(Read(&IVireoStandin::get_SimulatorJournal), "E_FAIL: activate 140: no such trigger\n");
}

// Runs the runner beside the test with the arguments; its exit code, and what it wrote to its
// standard output and error.
int RunRunner(const std::wstring& arguments, std::string* output) {
  const std::wstring command =
      L"\"\"" + BesideTest(L"vireo-standin.exe") + L"\" " + arguments + L" 2>&1\"";
  FILE* pipe = _wpopen(command.c_str(), L"rb");
  if (pipe == nullptr) return -1;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output->append(buffer, got);
  return _pclose(pipe);
}

TEST_F(StandinTest, TheRunnersCommandLine) {
  const std::wstring sample = L" --project \"" + project_ + L"\"";
  const auto script = [](const wchar_t* name, const char* text) {
    const std::wstring path = TempPath(name);
    std::ofstream(path.c_str()) << text;
    return L" --script \"" + path + L"\"";
  };
  const struct {
    std::wstring arguments;
    DWORD exit;
    std::vector<const char*> expected;
    const char* never;
  } cases[] = {
      {L"", 2, {"vireo-standin: --project FILE is required\n", "\nusage: vireo-standin"}, ""},
      {L"--projekt x.vpj", 2, {"vireo-standin: unknown argument \"--projekt\"\n"}, ""},
      {L"--project Z:\\no\\missing.vpj",
       1,
       {"vireo-standin: cannot open the project: cannot open Z:\\no\\missing.vpj\n"},
       ""},
      {sample + L" --connect Nobody.Connect Nobody.Command",
       1,
       {"vireo-standin: cannot connect the add-in: the add-in class \"Nobody.Connect\" is not "
        "registered"},
       ""},
      {sample + L" --exec 54201", 2, {"vireo-standin: --exec needs --gui\n"}, ""},
      {sample + L" --no-connect" +
           script(L"runner_quit.js",
                  "WScript.Echo('before');\nWScript.Quit(7);\nWScript.Echo('after');"),
       7,
       {"before\n"},
       "after"},
      {sample + L" --no-connect" +
           script(L"runner_error.js",
                  "WScript.Echo('before');\n\nVireo.NoSuchMember();\nWScript.Echo('after');"),
       1,
       {"before\n", "runner_error.js(3, 1): "},
       "after"},
      {sample + L" --gui --exec 99",
       1,
       {"vireo-standin: --exec 99: no menu entry or toolbar button has the command 99\n"},
       ""},
      {sample + L" --gui --exec 54201" +
           script(L"runner_window.js", "WScript.Echo(Vireo.WindowList);\nWScript.Quit(0);"),
       0,
       {"Triggers\n"},
       ""},
  };
  for (const auto& c : cases) {
    std::string output;
    EXPECT_EQ(RunRunner(c.arguments, &output), static_cast<int>(c.exit)) << output;
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    for (const char* expected : c.expected) {
      EXPECT_NE(output.find(expected), std::string::npos) << expected << " in:\n" << output;
    }
    EXPECT_TRUE(!*c.never || output.find(c.never) == std::string::npos) << output;
  }
}

}  // namespace
