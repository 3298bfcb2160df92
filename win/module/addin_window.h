// The trigger window of the add-in: its classes on the connected add-in's registry and host, with
// the trigger dialogs. Trigger.dll installs them when it is loaded.
#pragma once

namespace win::ui {

void InstallTriggerWindow();

}  // namespace win::ui
