// The demo window, run by vireo-standin --gui (see scripts/demo --gui and scripts/demo-screens)
// with the Trigger add-in connected and the project triggers loaded: opens the trigger window
// as the menu entry of the add-in does, writes the trigger list to the IDE log and to a text file
// beside the project (as the console demo does), and leaves the window to its user. The host
// stand-in is the global object Vireo.

var kTriggerWindow = 54201;  // the add-in's command

var registry = Vireo.GetObject("Trigger.TriggerAction");
registry.LogTriggerList();
registry.ExportTriggerList(Vireo.ProjectPath.replace(/\.[^.\\\/]*$/, "") + "-triggers.txt");

Vireo.RunCommand(kTriggerWindow);
Vireo.WaitIdle();
if (!/^Triggers$/m.test(Vireo.WindowList)) {
  WScript.Echo("demo: the trigger window did not open; the IDE's windows: " + Vireo.WindowList);
  WScript.Quit(1);
}
