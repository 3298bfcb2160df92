// WScript.Quit stops the script and gives the runner its exit code.
WScript.Echo("before Quit");
WScript.Quit(7);
WScript.Echo("after Quit");
