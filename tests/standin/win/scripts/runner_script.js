// A script run by vireo-standin with the fake add-in connected: the stand-in is the global Vireo,
// and WScript offers what a cscript script uses. The last line is the summary.
var failures = 0;

function equal(actual, expected, what) {
  if (actual !== expected) {
    WScript.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
    failures++;
  }
}

try {
  equal(WScript.ScriptName, "runner_script.js", "ScriptName");
  equal(Vireo.Connected, true, "the runner connected the add-in");
  equal(Vireo.CpuFamily, "VX16", "the runner opened the project");
  Vireo.GetObject("Trigger.TriggerAction").LoadTriggers();
  equal(Vireo.EventList.split("\n")[12], "112 adc_noise", "the last event name");
  Vireo.Fire(112);
  equal(Vireo.FireCount(112), 1, "Fire");
  try {
    Vireo.Fire(999);
    equal("no error", "an error", "Fire of an id outside the table");
  } catch (e) {
    equal(e.message, "E_FAIL: fire 999: id outside 100..355", "the simulator's refusal");
  }
} catch (e) {
  equal(e.message, "", "unexpected error");
}
WScript.Echo(failures === 0 ? "RESULT: OK" : "RESULT: " + failures + " failed");
WScript.Quit(failures === 0 ? 0 : 1);
