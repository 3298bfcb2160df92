// The main job of the demo, run by vireo-standin (see scripts/demo) with the Trigger add-in
// connected and the project open: load the triggers of the project into the add-in registry, which
// defines them in the simulator; write the trigger list to the log and to a text file beside the
// project; show what the host and its simulator saw; save the triggers back into the project. The
// host stand-in is the global object Vireo.

function show(title, text) {
  WScript.Echo("== " + title);
  WScript.Echo(text === "" ? "(empty)" : text.replace(/\n$/, ""));
  WScript.Echo("");
}

function lineCount(text) {
  return text === "" ? 0 : text.replace(/\n$/, "").split("\n").length;
}

var registry = Vireo.GetObject("Trigger.TriggerAction");
var project = Vireo.ProjectPath;
var listFile = project.replace(/\.[^.\\\/]*$/, "") + "-triggers.txt";

show("The add-in's command, as the host registered it", Vireo.Commands + Vireo.Menus);

registry.LoadTriggers();
var loaded = registry.Count;
registry.LogTriggerList();
registry.ExportTriggerList(listFile);

show("Log window", Vireo.Log);
show("Event list (trigger id and event name)", Vireo.EventList);
var records = Vireo.DecodedRecords;
show("Simulator: the trigger records it holds, decoded", records);

registry.SaveTriggers();
Vireo.SaveProject();

var notes = 0;
var log = Vireo.Log.split("\n");
for (var i = 0; i < log.length; i++) {
  if (log[i].indexOf("Vireo: ") === 0) notes++;
}

WScript.Echo("== Summary");
WScript.Echo("Project:       " + project + " (CPU family " + Vireo.CpuFamily + ")");
WScript.Echo("Triggers:      " + loaded + " loaded into the add-in's registry");
WScript.Echo("Simulator:     " + lineCount(records) + " trigger records defined");
WScript.Echo("Event list:    " + lineCount(Vireo.EventList) + " events named");
WScript.Echo("Trigger list:  " + listFile);
WScript.Echo("Saved:         " + project);
WScript.Echo("Host notes:    " + (notes === 0 ? "none" : notes + " (see the log above)"));
WScript.Quit(loaded > 0 && lineCount(records) === loaded ? 0 : 1);
