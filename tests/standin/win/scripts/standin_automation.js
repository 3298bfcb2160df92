// The stand-in as a script drives it under cscript: by its ProgID, with the fake add-in
// connected by ProgID. Argument: the sample project. Every check runs; the last line is the
// summary, and a failure ends with exit code 1 (cscript alone may exit 0 after a script error).
var failures = 0;

function check(condition, what) {
  if (!condition) {
    WScript.Echo("FAIL: " + what);
    failures++;
  }
}
function equal(actual, expected, what) {
  check(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}
function throws(action, message, what) {
  try {
    action();
    check(false, what + ": no error");
  } catch (e) {
    equal(e.message, message, what);
  }
}
function firstLine(text) {
  return text.substring(0, text.indexOf("\n"));
}
function lines(text) {
  return text === "" ? 0 : text.split("\n").length - 1;
}

function run(samplePath) {
  var vireo = new ActiveXObject("Vireo.Standin");
  vireo.OpenProject(samplePath);
  equal(vireo.ProjectPath, samplePath, "ProjectPath");
  equal(vireo.CpuFamily, "VX16", "CpuFamily");
  equal(vireo.Evaluate("WAVE_TABLE + 1"), 0x281, "Evaluate over the project's symbols");
  equal(vireo.Setting("Trigger", "MaxNum"), "13", "Setting");
  equal(vireo.Setting("Trigger", "Nothing"), null, "a missing setting");
  equal(vireo.Modified, false, "Modified after opening");

  // The services, as a script reaches them through the host application.
  var application = vireo.Application;
  application.GetService("Tamber.Service").AddLogString("from the script");
  equal(vireo.Log, "from the script\n", "AddLogString reaches the log");
  vireo.ClearLog();
  equal(application.GetService("Pennant.Service").GetCPUName(), "VX16", "GetCPUName");
  equal(application.GetService("Quillon.Omf"), null, "an unknown service");
  equal(vireo.Log, "Vireo: GetService: the host has no service \"Quillon.Omf\"\n",
        "an unknown service is noted");
  application.GetService("Marlin.Manager").WriteProfileString("", "Trigger", "MaxNum", "14");
  equal(vireo.Modified, true, "a profile write marks the project modified");
  check(vireo.SectionText("Trigger").indexOf("MaxNum=14\n") === 0, "SectionText");

  // Failures carry their reason.
  throws(function() { vireo.Evaluate("NOPE"); }, "unknown symbol 'NOPE' at column 1", "Evaluate");
  throws(function() { vireo.Activate(140); }, "E_FAIL: activate 140: no such trigger",
         "Activate");
  throws(function() { vireo.QueryStatus(54201); }, "no add-in is connected", "QueryStatus");
  throws(function() { vireo.OpenProject("Z:\\no\\such.vpj"); }, "cannot open Z:\\no\\such.vpj",
         "OpenProject");
  equal(vireo.ProjectPath, samplePath, "a failed open keeps the project");

  // The fake add-in, connected by ProgID.
  equal(vireo.Connect("StandinTest.Connect", "StandinTest.Command", true), 0, "Connect");
  equal(vireo.Connected, true, "Connected");
  var cookie = vireo.Cookie;
  equal(firstLine(vireo.Commands),
        "AddCommandImages(StandinFakeAddin.dll, 14313, 14312, image 40, 1, " + cookie + ")",
        "the image registration");
  equal(lines(vireo.Menus), 2, "menu registrations");
  equal(vireo.QueryStatus(54201), 1, "QueryStatus of the add-in's command");
  equal(vireo.QueryStatus(54202, 9), 9, "QueryStatus of another command");

  vireo.GetObject("TriggerAction").LoadTriggers();
  equal(firstLine(vireo.EventList), "100 tick", "event names");
  equal(lines(vireo.DecodedRecords), 13, "records in the simulator");
  vireo.Activate(100);
  vireo.Fire(100);
  vireo.Fire(100);
  equal(vireo.IsActive(100), true, "IsActive");
  equal(vireo.FireCount(100), 2, "FireCount");
  equal(firstLine(vireo.DecodedRecords), "id 100 interrupt: source 0x0000 cycle 0 wait 0 [active]",
        "an active record");
  equal(firstLine(vireo.SimulatorState), "100 interrupt active, defined 1, fired 2",
        "SimulatorState");

  vireo.ClearCalls();
  vireo.OnEvent(0x2002);
  vireo.Exec(54201);
  equal(vireo.Calls, "TriggersChanged()\nNotifyViews(8224, VT_UI4 4294967295, VT_UI4 0, 0)\n",
        "the rebuild's calls");
  vireo.RefusedCalls = "AddCommand";
  equal(vireo.RefusedCalls, "addcommand", "RefusedCalls");
  vireo.RefusedCalls = "";

  var fso = new ActiveXObject("Scripting.FileSystemObject");
  var copy = fso.BuildPath(fso.GetSpecialFolder(2).Path, "standin_automation.vpj");
  vireo.SaveProjectAs(copy);
  equal(vireo.Modified, false, "saving clears the mark");
  equal(vireo.ProjectPath, copy, "the saved project's path");
  check(fso.OpenTextFile(copy).ReadAll().indexOf("MaxNum=14\r\n") > 0, "the saved file");

  vireo.ClearCalls();
  vireo.Disconnect();
  equal(vireo.Connected, false, "Disconnect");
  equal(vireo.Calls, "RemoveWindowKind(\"115001\")\n", "the window kind is withdrawn");
}

try {
  run(WScript.Arguments(0));
} catch (e) {
  check(false, "unexpected error: " + e.message);
}
if (failures === 0) {
  WScript.Echo("RESULT: OK");
} else {
  WScript.Echo("RESULT: " + failures + " failed");
  WScript.Quit(1);
}
