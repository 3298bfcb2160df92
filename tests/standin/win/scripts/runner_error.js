// An uncaught error stops the script; the runner reports where and exits with 1.
WScript.Echo("before the error");
Vireo.NoSuchMember();
WScript.Echo("after the error");
