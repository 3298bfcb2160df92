// Run by vireo-standin with the Trigger add-in connected and a copy of a project open: the add-in
// loads the triggers of the project and exports its list beside the project; then the host log
// during the load and the records the simulator holds ("ID BYTES" lines) are printed. The test
// compares them with the golden files that the output of the native checker is compared with.
Vireo.ClearLog();
var registry = Vireo.GetObject("Trigger.TriggerAction");
registry.LoadTriggers();
var log = Vireo.Log;
registry.ExportTriggerList(Vireo.ProjectPath.replace(/\.[^.\\\/]*$/, "") + "-list.txt");

WScript.Echo("== records");
var records = Vireo.DecodedRecords.split("\n");
for (var i = 0; i < records.length; i++) {
  var id = /^id (\d+) /.exec(records[i]);
  if (id) WScript.Echo(id[1] + " " + Vireo.RecordBytes(parseInt(id[1], 10)));
}
WScript.Echo("== log");
if (log !== "") WScript.Echo(log.replace(/\n$/, ""));
WScript.Echo("== end");
