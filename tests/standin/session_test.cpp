// The stand-in's session: opening a project afresh, the journal of the add-in's calls on the host,
// the calls it is told to refuse, and the texts the automation surface reports.
#include "standin/model/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "core/automation/hresult.h"
#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using core::automation::kOk;
using standin::model::CallKind;
using standin::model::Session;

const std::string kSample = STANDIN_EXAMPLES_DIR "/sample.vpj";

std::string WriteProject(const char* name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "session_" + name + ".vpj";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(SessionTest, OpeningAProjectStartsTheSimulatorAndEventListAfreshButKeepsTheLog) {
  Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  EXPECT_EQ(session.simulator().sources().size(), 8u);
  ASSERT_NE(session.symbols().Find("TX_BUFFER"), nullptr);
  EXPECT_EQ(session.symbols().Find("TX_BUFFER")->bits, 0x240u);
  EXPECT_EQ(session.log().Text(), "");  // the sample is clean

  ASSERT_EQ(Send(session.simulator(), Interrupt(101, 0x18)).hr, kOk);
  session.events().AddName(101, "rx");
  session.log().Add("kept");
  session.RecordCall(CallKind::Command, "AddCommand(\"x\", 1, 1, 1)");
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  EXPECT_TRUE(session.simulator().Ids().empty());
  EXPECT_TRUE(session.simulator().journal().entries().empty());
  EXPECT_EQ(session.EventListText(), "");
  EXPECT_EQ(session.simulator().sources().size(), 8u);
  EXPECT_EQ(session.log().Text(), "kept\n");
  EXPECT_EQ(session.CallsText(), "AddCommand(\"x\", 1, 1, 1)\n");
}

TEST(SessionTest, OpeningNotesTheEntriesItSkipsAndAFailedOpenChangesNothing) {
  const std::string path = WriteProject(
      "skips", "[Symbols]\n1BAD=3\nGOOD=4\n[InterruptSources]\nTOO_LONG_FOR_A_SOURCE=1\nOK=GOOD\n");
  Session session;
  ASSERT_TRUE(session.OpenProject(path).ok());
  EXPECT_EQ(session.log().Text(),
            "Vireo: " + path + ": [Symbols] 1BAD: not a C identifier; skipped\n" +
                "Vireo: " + path +
                ": [InterruptSources] TOO_LONG_FOR_A_SOURCE: name longer than 16 characters; "
                "skipped\n");
  ASSERT_EQ(session.simulator().sources().size(), 1u);
  EXPECT_EQ(session.simulator().sources()[0].code, 4);

  const auto failed = session.OpenProject(path + ".missing");
  EXPECT_FALSE(failed.ok());
  EXPECT_EQ(failed.message, "cannot open " + path + ".missing");
  EXPECT_EQ(session.project().path(), path);
  EXPECT_EQ(session.simulator().sources().size(), 1u);
}

TEST(SessionTest, CallsAreJournalledInOrderAndListedByKind) {
  const std::string images = "AddCommandImages(m, 1, 2, image 40, 1, 1)";
  const std::string popup = "AddPopupMenu(\"p\", 0, 1024, menu, \"c\", 1)";
  const std::string views = "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)";
  const std::string command = "AddCommand(\"c\", 54201, 1, 1)";
  Session session;
  session.RecordCall(CallKind::Command, images);
  session.RecordCall(CallKind::Menu, popup);
  session.RecordCall(CallKind::Other, views);
  session.RecordCall(CallKind::Command, command);
  const std::string all = images + "\n" + popup + "\n" + views + "\n" + command + "\n";
  EXPECT_EQ(session.CallsText(), all);
  EXPECT_EQ(session.CommandsText(), images + "\n" + command + "\n");
  EXPECT_EQ(session.MenusText(), popup + "\n");
  session.Journal("AddLogString(\"two\r\nlines\")");
  session.ClearCalls();
  EXPECT_EQ(session.CallsText() + session.CommandsText() + session.MenusText(), "");
  // The host journal has every call, one line each, and keeps them past ClearCalls.
  EXPECT_EQ(session.JournalText(), all + "AddLogString(\"two\\nlines\")\n");
}

// The debugger services' members, as the COM objects and the native host both reach them: each
// call is journalled, a refusal is noted in the log and answers E_INVALIDARG.
TEST(SessionTest, ServiceMembersJournalEveryCallAndNoteWhatTheyRefuse) {
  Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  session.log().Clear();
  int32_t count = 0;
  EXPECT_EQ(session.ReadProfileInt("", "Trigger", "MaxNum", 7, &count), kOk);
  EXPECT_EQ(count, 13);
  std::string line;
  EXPECT_EQ(session.ReadProfileString("other.vpj", "Trigger", "0", "none", &line),
            core::automation::kInvalidArg);
  EXPECT_EQ(line, "none") << "a refused read gives the default";
  EXPECT_EQ(session.WriteProfileString("", "Trigger", "13", "bad\nvalue"),
            core::automation::kInvalidArg);
  const std::vector<uint8_t> record = Interrupt(113);
  void* reply = nullptr;
  EXPECT_EQ(session.SimCommand("Other", 0x4000, record.data(), &reply),
            core::automation::kInvalidArg);
  EXPECT_EQ(session.SimCommand("SimCommand", 0x0003, record.data(), &reply),
            core::automation::kInvalidArg);
  EXPECT_EQ(session.SimCommand("SimCommand", 0x4000, record.data(), &reply), kOk);
  std::free(reply);
  EXPECT_EQ(session.RemoveEventName(113), core::automation::kFail);
  core::automation::Variant value;
  std::string error;
  EXPECT_EQ(session.Evaluate("RAM_BASE + 1", &value, &error), kOk);
  EXPECT_EQ(value, core::automation::Variant::I4(0x201));
  EXPECT_EQ(session.Evaluate("NOWHERE", &value, &error), core::automation::kFail);
  EXPECT_EQ(error, "unknown symbol 'NOWHERE' at column 1");
  session.AddLogString("a line");

  EXPECT_EQ(session.JournalText(),
            "Manager.ReadProfileInt(Trigger, MaxNum, 7) = 13\n"
            "Manager.WriteProfileString(Trigger, 13, \"bad\\nvalue\")\n"
            "SimCommand(0x0100, 113)\n"
            "EventCommand.RemoveEventName(113) = 0x80004005\n"
            "Evaluate(RAM_BASE + 1) = VT_I4 513\n"
            "Evaluate(NOWHERE) = 0x80004005\n"
            "AddLogString(\"a line\")\n");
  const auto& log = session.log().entries();
  ASSERT_EQ(log.size(), 5u) << session.log().Text();
  EXPECT_EQ(log[0],
            "Vireo: Manager.ReadProfileString: file \"other.vpj\" refused; the host offers the "
            "open project's settings only (an empty file name)");
  EXPECT_EQ(log[1].rfind("Vireo: Manager.WriteProfileString: cannot store", 0), 0u) << log[1];
  EXPECT_EQ(log[2],
            "Vireo: TargetCommand.Command: unknown command \"Other\"; the host knows "
            "\"SimCommand\" only");
  EXPECT_EQ(log[3],
            "Vireo: TargetCommand.Command: the block must come as a VARIANT of type VT_BYREF "
            "(0x4000) with a pointer; it came as type 0x0003");
  EXPECT_EQ(log[4], "a line");
}

TEST(SessionTest, RefusedCallsAreNamedByCommasOrSpacesInAnyCase) {
  struct Case {
    const char* names;
    const char* text;
  };
  const Case cases[] = {
      {"AddCommand", "addcommand"},
      {" AddMenuItem ,addcommand\tAddMenuItem", "addcommand,addmenuitem"},
      {",, ,", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    Session session;
    session.SetRefusedCalls(c.names);
    EXPECT_EQ(session.RefusedCallsText(), c.text) << c.names;
  }
  Session session;
  session.SetRefusedCalls("AddCommand");
  EXPECT_TRUE(session.Refuses("ADDCOMMAND"));
  EXPECT_FALSE(session.Refuses("AddCommandImages"));
  session.SetRefusedCalls("");
  EXPECT_FALSE(session.Refuses("AddCommand"));
}

TEST(SessionTest, ImageSlotsAreHandedOutInTurn) {
  Session session;
  EXPECT_FALSE(session.IsAssignedImage(standin::model::kFirstAddinImage));
  EXPECT_EQ(session.AssignImage(), 40);
  EXPECT_EQ(session.AssignImage(), 41);
  EXPECT_TRUE(session.IsAssignedImage(41));
  EXPECT_FALSE(session.IsAssignedImage(42));
  EXPECT_FALSE(session.IsAssignedImage(0));
}

TEST(SessionTest, HelpPathIsTheProjectsSettingElseTheHostsHelpFileElseTheProjectsFolder) {
  Session untitled;
  EXPECT_EQ(untitled.HelpPath(), "");
  const std::string path = WriteProject("help", "[Project]\nCpuFamily=X\n");
  Session session;
  ASSERT_TRUE(session.OpenProject(path).ok());
  EXPECT_EQ(session.HelpPath(), path.substr(0, path.find_last_of("\\/")));
  session.SetHelpFile("C:\\vireo\\Vireo.chm");
  EXPECT_EQ(session.HelpPath(), "C:\\vireo\\Vireo.chm");
  ASSERT_TRUE(session.project().WriteProfileString("Project", "HelpPath", "C:\\help").ok());
  EXPECT_EQ(session.HelpPath(), "C:\\help");
}

TEST(SessionTest, ReportsRecordsStateEventsAndSectionsInIdOrder) {
  Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  ASSERT_EQ(Send(session.simulator(), Interrupt(103, 0x18)).hr, kOk);
  ASSERT_EQ(Send(session.simulator(), Interrupt(101, 0x18)).hr, kOk);
  ASSERT_EQ(Send(session.simulator(), Interrupt(101, 0x18)).hr, kOk);
  ASSERT_EQ(Send(session.simulator(), Command(0x102, 103)).hr, kOk);
  ASSERT_EQ(Send(session.simulator(), Command(0x105, 103)).hr, kOk);
  session.events().AddName(103, "late");
  session.events().AddName(101, "early");

  EXPECT_EQ(session.DecodedRecordsText(),
            "id 101 interrupt: source 0x0018 (UART0_RX) cycle 5 wait 6\n"
            "id 103 interrupt: source 0x0018 (UART0_RX) cycle 5 wait 6 [active]\n");
  EXPECT_EQ(session.SimulatorStateText(),
            "101 interrupt inactive, defined 2, fired 0\n"
            "103 interrupt active, defined 1, fired 1\n");
  EXPECT_EQ(session.EventListText(), "101 early\n103 late\n");
  EXPECT_EQ(session.SectionText("project"), "CpuFamily=VX16\n");
  EXPECT_EQ(session.SectionText("Nothing"), "");
}

}  // namespace
}  // namespace standin_test
