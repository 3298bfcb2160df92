// The seam between the trigger window and its dialogs: the window asks for an editor, which runs
// the trigger dialogs parented to the window and refreshes the document when it is done.
#pragma once

#include <windows.h>

#include <memory>

#include "core/window/trigger_document.h"
#include "core/window/trigger_editor.h"

namespace win::ui {

std::unique_ptr<core::window::TriggerEditor> MakeTriggerEditor(
    core::window::TriggerDocument& document, HWND parent);

}  // namespace win::ui
