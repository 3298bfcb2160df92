// The add-in as an automation user drives it without a host: the registry by its ProgID,
// triggers of every kind, their properties and refusals, definition lines and the exported list.
var failures = 0;
var E_FAIL = 0x80004005;

function check(condition, what) {
  if (!condition) {
    WScript.Echo("FAIL: " + what);
    failures++;
  }
}
function equal(actual, expected, what) {
  check(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}
// A put the add-in refuses raises an error carrying E_FAIL.
function refused(action, what) {
  try {
    action();
    check(false, what + ": not refused");
  } catch (e) {
    equal(e.number >>> 0, E_FAIL, what + ": error number");
  }
}

try {
  var registry = new ActiveXObject("Trigger.TriggerAction");
  var made = [
    [registry.CreateInterruptTrigger(), "100,interrupt,interrupt,"],
    [registry.CreateTransferTrigger(), "101,transfer,transfer,"],
    [registry.CreateStreamTrigger(), ""],  // no kind yet: no line
    [registry.CreateIOStreamTrigger(), "103,iostream,iostream,8000"],
    [registry.CreateConnectTrigger(), "104,connect,connect"],
    [registry.CreateControlTrigger(), "105,control,control,"],
    [registry.CreateMessageTrigger(), "106,message,message,"],
    [registry.CreateSioTrigger(), "107,sio,sio,"],
    [registry.CreateFileStreamTrigger(), "108,filestream,filestream"],
    [registry.CreateIOAccessTrigger(), "109,ioaccess,ioaccess,"]
  ];
  equal(registry.Count, 10, "count");
  for (var i = 0; i < made.length; i++) {
    var line = made[i][0].Definition;
    equal(line.substr(0, made[i][1].length), made[i][1], "line of trigger " + i);
    equal(made[i][0].Number, i, "number of trigger " + i);
  }

  var interrupt = made[0][0];
  interrupt.Cycle = 5;
  interrupt.Wait = -6;
  interrupt.Raise = false;
  equal(interrupt.Definition, "100,clearInterrupt,interrupt,,5,-6", "clearing interrupt line");
  refused(function () { interrupt.Source = "INT0"; }, "source without a source table");

  var transfer = made[1][0];
  transfer.Size = "byte";
  equal(transfer.Size, "8BIT", "size normalised");
  refused(function () { transfer.Size = "nibble"; }, "unknown size");
  equal(transfer.Size, "8BIT", "size kept after a refusal");
  transfer.Destination = 0x100;
  equal(transfer.Destination, "0x00000100", "destination from a number");
  transfer.SrcMode = "increment";
  equal(transfer.SrcMode, "INCREMENT", "mode normalised");
  refused(function () { transfer.SrcModeValue = 32; }, "mode value above 31");
  refused(function () { transfer.Destination = "PORT0"; }, "expression without an evaluator");

  var stream = made[2][0];
  stream.Kind = "data";
  stream.DataList = "1,2,3";
  stream.Size = "8bit";
  check(stream.Definition.indexOf(",1,2,3,),") > 0, "data list closed by its mark: " + stream.Definition);

  // Renaming to another trigger's name is refused within the registry.
  refused(function () { transfer.Name = "interrupt"; }, "rename to a taken name");
  equal(transfer.Name, "transfer", "name kept after a clash");
  equal(registry.FindNumberByName("sio"), 7, "find by name");
  equal(registry.GetKindByNumber(6), 6, "kind of the message trigger");

  // No host: Register reaches no simulator. The bridge's refusal (1) is a success code, so no
  // error is raised, and no flag changes.
  var port = made[3][0];
  port.Destination = 0x1234;
  port.Register();
  equal(port.Registered, false, "registered without a simulator");
  equal(port.InSimulator, false, "in simulator without a simulator");
  equal(port.Modified, true, "still modified");
  // A transfer needs the host's evaluator for its addresses: without it, E_FAIL.
  transfer.Source = 0x200;
  refused(function () { transfer.Register(); }, "transfer without an evaluator");

  // The list, written to a file and read back.
  var files = new ActiveXObject("Scripting.FileSystemObject");
  var path = files.BuildPath(files.GetSpecialFolder(2), "trigger-list-" + new Date().getTime());
  registry.ExportTriggerList(path);  // no extension: ".txt" is appended
  var stream_in = files.OpenTextFile(path + ".txt", 1);
  var text = stream_in.ReadAll();
  stream_in.Close();
  files.DeleteFile(path + ".txt");
  var rows = text.split("\n");
  equal(rows[0], "total number of defined trigger = 10", "list head");
  equal(rows[1], "No, Status, Name, Action, Destination, Size, DstMode, Source, SrcMode, Count, Cycle, Wait, Mask", "list header");
  equal(rows.length, 13, "one row per trigger, each ended by a line feed");
  equal(rows[12], "", "nothing after the last row");
  equal(rows[11].substr(0, 3), "9, ", "last row is trigger 9");
  refused(function () { registry.ExportTriggerList(path + ".csv"); }, "other extension");

  registry.DeleteTrigger("sio");
  equal(registry.Count, 9, "count after a deletion");
  refused(function () { registry.DeleteTrigger("sio"); }, "deleting an unknown name");
} catch (e) {
  WScript.Echo("FAIL: unexpected error " + (e.number >>> 0).toString(16) + " " + e.message);
  failures++;
}

WScript.Echo(failures ? "RESULT: " + failures + " failure(s)" : "RESULT: OK");
WScript.Quit(failures ? 1 : 0);
