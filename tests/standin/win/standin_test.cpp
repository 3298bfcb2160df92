// The host stand-in under Wine where the add-in's own suites do not reach it: the refusals in
// the simulator's reply blocks, blocks that break the by-reference contract of "SimCommand", and
// the command line of its runner, vireo-standin.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "core/automation/bytes.h"
#include "tests/win/support/win_test.h"

namespace {

using namespace wintest;
using core::automation::ByteWriter;
using core::automation::ReadU32;

class StandinTest : public HostTest {
 protected:
  // One "SimCommand" call with the bytes by reference, as the bridge makes it.
  HRESULT Send(const std::vector<uint8_t>& bytes, VARIANT* reply) {
    VARIANT block;
    V_VT(&block) = VT_BYREF;
    V_BYREF(&block) = const_cast<uint8_t*>(bytes.data());
    return Service<IVireoTargetCommand>(L"Marlin.TargetCommand")
        ->Command(Bstr(L"SimCommand").Get(), 0, block, reply);
  }
};

std::vector<uint8_t> InterruptRecord(uint16_t id) {
  ByteWriter record(836);  // the block every record is
  record.U16(2, 0x0100);
  record.U16(4, id);
  record.U16(6, 1);
  record.I32(8, 5);        // cycle
  record.I32(12, 6);       // wait
  record.U16(16, 0x0010);  // TIMER0_OVF
  return record.Take();
}

std::vector<uint8_t> CommandBlock(uint16_t code, int32_t id) {
  ByteWriter block(8);
  block.U16(0, 8);
  block.U16(2, code);
  block.I32(4, id);
  return block.Take();
}

TEST_F(StandinTest, RecordsAreAnsweredWithAMallocedReplyBlockThatCarriesTheRefusal) {
  std::vector<uint8_t> unknown_action = InterruptRecord(101);
  unknown_action[6] = 3;
  const std::pair<std::vector<uint8_t>, uint32_t> cases[] = {
      {InterruptRecord(101), 0}, {InterruptRecord(99), 3}, {unknown_action, 2}};
  for (const auto& [record, refusal] : cases) {
    VARIANT reply;
    VariantInit(&reply);
    ASSERT_HR(S_OK, Send(record, &reply));
    ASSERT_EQ(V_VT(&reply), VT_BYREF);
    EXPECT_EQ(ReadU32(static_cast<const uint8_t*>(V_BYREF(&reply)) + 4), refusal);
    std::free(V_BYREF(&reply));  // the caller's ordinary deallocation
  }
  EXPECT_EQ(Read(&IVireoStandin::get_DecodedRecords),
            "id 101 interrupt: source 0x0010 (TIMER0_OVF) cycle 5 wait 6\n");
}

TEST_F(StandinTest, ABlockNotByReferenceAnUnknownCommandAndAnUnknownTriggerAreRefused) {
  std::vector<uint8_t> record = InterruptRecord(101);
  VARIANT by_value, block, reply;
  V_VT(&by_value) = VT_I4;
  V_I4(&by_value) = 0;
  V_VT(&block) = VT_BYREF;
  V_BYREF(&block) = record.data();
  VariantInit(&reply);
  const ComPtr<IVireoTargetCommand> target = Service<IVireoTargetCommand>(L"Marlin.TargetCommand");
  EXPECT_HR(E_INVALIDARG, target->Command(Bstr(L"SimCommand").Get(), 0, by_value, &reply));
  EXPECT_HR(E_INVALIDARG, target->Command(Bstr(L"RunCommand").Get(), 0, block, &reply));
  EXPECT_HR(E_FAIL, Send(CommandBlock(0x102, 140), &reply));
  EXPECT_EQ(V_VT(&reply), VT_EMPTY) << "no reply with a refusal";
  EXPECT_EQ(Log(),
            "Vireo: TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
            "(0x4000) with a pointer; it came as type 0x0003\n"
            "Vireo: TargetCommand.Command: unknown command \"RunCommand\"; the host knows "
            "\"SimCommand\" only\n");
  EXPECT_EQ(Read(&IVireoStandin::get_SimulatorJournal), "E_FAIL: activate 140: no such trigger\n");
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
    EXPECT_EQ(RunBeside(L"vireo-standin.exe", c.arguments, &output), c.exit) << output;
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    for (const char* expected : c.expected) {
      EXPECT_NE(output.find(expected), std::string::npos) << expected << " in:\n" << output;
    }
    EXPECT_TRUE(!*c.never || output.find(c.never) == std::string::npos) << output;
  }
}

}  // namespace
