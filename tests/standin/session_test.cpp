// The session of the stand-in: opening a project afresh, the journal of the calls the add-in makes
// on the host and of the service members, what they refuse, and the texts the automation surface
// reports.
#include "standin/model/session.h"

#include <gtest/gtest.h>

#include "tests/standin/model_test_support.h"

namespace standin_test {
namespace {

using core::automation::kFail;
using core::automation::kInvalidArg;
using core::automation::kOk;
using standin::model::CallKind;
using standin::model::Session;

TEST(SessionTest, OpeningAProjectStartsTheSimulatorAndEventListAfreshButKeepsTheLog) {
  Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  ASSERT_EQ(Send(session.simulator(), SampleRecords().at(101)).hr, kOk);
  session.events().AddName(101, "rx");
  session.log().Add("kept");
  session.RecordCall(CallKind::Command, "AddCommand(\"x\", 1, 1, 1)");
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  EXPECT_TRUE(session.simulator().Ids().empty());
  EXPECT_TRUE(session.simulator().journal().entries().empty());
  EXPECT_EQ(session.EventListText(), "");
  EXPECT_EQ(session.symbols().Find("TX_BUFFER")->bits, 0x240u);
  EXPECT_EQ(session.log().Text(), "kept\n");
  EXPECT_EQ(session.CallsText(), "AddCommand(\"x\", 1, 1, 1)\n");

  // A project's entries that cannot be read are noted; a failed open changes nothing.
  test_support::ScratchDir scratch;
  const std::string path = (scratch / "skips.vpj").string();
  test_support::WriteBytes(
      path, "[Symbols]\n1BAD=3\nGOOD=4\n[InterruptSources]\nTOO_LONG_FOR_A_SOURCE=1\nOK=GOOD\n");
  session.log().Clear();
  ASSERT_TRUE(session.OpenProject(path).ok());
  EXPECT_EQ(session.log().Text(),
            "Vireo: " + path + ": [Symbols] 1BAD: not a C identifier; skipped\n" +
                "Vireo: " + path +
                ": [InterruptSources] TOO_LONG_FOR_A_SOURCE: name longer than 16 characters; "
                "skipped\n");
  ASSERT_EQ(session.simulator().sources().size(), 1u);
  EXPECT_EQ(session.simulator().sources()[0].code, 4);
  const auto failed = session.OpenProject(path + ".missing");
  EXPECT_EQ(failed.message, "cannot open " + path + ".missing");
  EXPECT_EQ(session.project().path(), path);
  EXPECT_EQ(session.simulator().sources().size(), 1u);

  // The help path: the setting in the project, else the help file of the host, else the folder of
  // the project.
  EXPECT_EQ(Session().HelpPath(), "");
  EXPECT_EQ(session.HelpPath(), path.substr(0, path.find_last_of("\\/")));
  session.SetHelpFile("C:\\vireo\\Vireo.chm");
  EXPECT_EQ(session.HelpPath(), "C:\\vireo\\Vireo.chm");
  ASSERT_TRUE(session.project().WriteProfileString("Project", "HelpPath", "C:\\help").ok());
  EXPECT_EQ(session.HelpPath(), "C:\\help");
}

// The debugger services' members, as the COM objects and the native host both reach them: each
// call is journalled, a refusal is noted in the log and answers E_INVALIDARG; then the reports
// of records, simulator state, events and sections, in id order, and the registration calls.
TEST(SessionTest, ServiceMembersAndReportsAsTheTranscriptSays) {
  Session session;
  ASSERT_TRUE(session.OpenProject(kSample).ok());
  int32_t count = 0;
  EXPECT_EQ(session.ReadProfileInt("", "Trigger", "MaxNum", 7, &count), kOk);
  EXPECT_EQ(count, 13);
  std::string line;
  EXPECT_EQ(session.ReadProfileString("other.vpj", "Trigger", "0", "none", &line), kInvalidArg);
  EXPECT_EQ(line, "none") << "a refused read gives the default";
  EXPECT_EQ(session.WriteProfileString("", "Trigger", "13", "bad\nvalue"), kInvalidArg);
  const Bytes& record = SampleRecords().at(103);
  void* reply = nullptr;
  EXPECT_EQ(session.SimCommand("Other", 0x4000, record.data(), &reply), kInvalidArg);
  EXPECT_EQ(session.SimCommand("SimCommand", 0x0003, record.data(), &reply), kInvalidArg);
  EXPECT_EQ(session.SimCommand("SimCommand", 0x4000, record.data(), &reply), kOk);
  std::free(reply);
  EXPECT_EQ(session.RemoveEventName(113), kFail);
  EXPECT_EQ(session.AddEventName(113, "gone"), kOk);
  EXPECT_EQ(session.RemoveEventName(113), kOk);
  core::automation::Variant value;
  std::string error;
  EXPECT_EQ(session.Evaluate("RAM_BASE + 1", &value, &error), kOk);
  EXPECT_EQ(value, core::automation::Variant::I4(0x201));
  EXPECT_EQ(session.Evaluate("NOWHERE", &value, &error), kFail);
  EXPECT_EQ(error, "unknown symbol 'NOWHERE' at column 1");
  session.AddLogString("a line");

  for (const Bytes& block : {SampleRecords().at(101), SampleRecords().at(101),
                             CommandBlock(0x102, 103), CommandBlock(0x105, 103)}) {
    ASSERT_EQ(Send(session.simulator(), block).hr, kOk);
  }
  session.events().AddName(103, "late");
  session.events().AddName(101, "early");
  // Registration calls are listed by kind as well; the journal keeps them past ClearCalls, one
  // line each. Refused calls are named by commas or spaces in any case.
  session.RecordCall(CallKind::Command, "AddCommandImages(m, 1, 2, image 40, 1, 1)");
  session.RecordCall(CallKind::Menu, "AddPopupMenu(\"p\", 0, 1024, menu, \"c\", 1)");
  session.RecordCall(CallKind::Other, "NotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)");
  session.RecordCall(CallKind::Command, "AddCommand(\"c\", 54201, 1, 1)");
  session.Journal("AddLogString(\"two\r\nlines\")");
  session.SetRefusedCalls(" AddMenuItem ,addcommand\tAddMenuItem,, ,");
  const std::string calls = "== calls\n" + session.CallsText() + "== commands\n" +
                            session.CommandsText() + "== menus\n" + session.MenusText() +
                            "== refused " + session.RefusedCallsText() + "\n";
  EXPECT_TRUE(session.Refuses("ADDCOMMAND"));
  EXPECT_FALSE(session.Refuses("AddCommandImages"));
  session.ClearCalls();
  EXPECT_EQ(session.CallsText() + session.CommandsText() + session.MenusText(), "");
  test_support::ExpectGolden(
      "standin/golden/session.txt",
      session.JournalText() + "== log\n" + session.log().Text() + "== records\n" +
          session.DecodedRecordsText() + "== state\n" + session.SimulatorStateText() +
          "== events\n" + session.EventListText() + "== project\n" +
          session.SectionText("project") + "== nothing\n" + session.SectionText("Nothing") + calls);
  // Image slots are handed out from the first add-in image up.
  EXPECT_FALSE(session.IsAssignedImage(standin::model::kFirstAddinImage));
  EXPECT_EQ(session.AssignImage(), 40);
  EXPECT_EQ(session.AssignImage(), 41);
  EXPECT_TRUE(session.IsAssignedImage(41));
  EXPECT_FALSE(session.IsAssignedImage(42));
  EXPECT_FALSE(session.IsAssignedImage(0));
  session.SetRefusedCalls("");
  EXPECT_FALSE(session.Refuses("AddCommand"));
}

}  // namespace
}  // namespace standin_test
