// A script run by vireo-standin --gui --exec 54201 with the fake add-in connected: the IDE window
// is open, the command ran at start as its menu entry would, and the script drives the same
// window. The last line is the summary.
var failures = 0;

function equal(actual, expected, what) {
  if (actual !== expected) {
    WScript.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
    failures++;
  }
}

try {
  equal(Vireo.MainWindow !== 0, true, "the window is open");
  equal(Vireo.ShowWindow(), Vireo.MainWindow, "ShowWindow brings the open window forward");
  equal(Vireo.WindowList, "Fake window\n", "--exec 54201 opened the add-in's window");
  equal(Vireo.Log.indexOf("fake: loaded 13 of 13 triggers\nfake: Exec 54201\n") >= 0, true,
        "the triggers were loaded before the command ran");
  Vireo.RunCommand(40111);  // Debug > Activate All Triggers
  equal(Vireo.IsActive(112), true, "Activate All Triggers");
  equal(Vireo.WaitIdle(), true, "WaitIdle");
  try {
    Vireo.RunCommand(99);
    equal("no error", "an error", "RunCommand of a command nothing carries");
  } catch (e) {
    equal(e.message, "no menu entry or toolbar button has the command 99", "the refusal");
  }
  equal(Vireo.CloseWindow(false), true, "CloseWindow");
  equal(Vireo.MainWindow, 0, "no window after closing");
  equal(Vireo.Connected, false, "leaving the IDE disconnects the add-in");
} catch (e) {
  equal(e.message, "", "unexpected error");
}
WScript.Echo(failures === 0 ? "RESULT: OK" : "RESULT: " + failures + " failed");
WScript.Quit(failures === 0 ? 0 : 1);
