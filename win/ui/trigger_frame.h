// TriggerFrame: the frame of the trigger window, with a toolbar of the window commands. Its title
// is the window name, never decorated with a document name. Activating it with the mouse tells
// the host.
#pragma once

#include <windows.h>

#include "win/ui/framework/mdi_child_frame.h"
#include "win/ui/trigger_window.h"

namespace win::ui {

class TriggerDoc;

// The window class of the trigger window's frames, by which the host and tests find them.
inline constexpr wchar_t kTriggerFrameClass[] = L"TriggerAddinFrame";

class TriggerFrame : public MDIChildFrame {
 public:
  TriggerFrame(TriggerDoc& document, const TriggerWindowServices& services);
  ~TriggerFrame() override;

  // Opens the window with its view: in `mdi_client`, or top-level with its own menu bar.
  bool Open(HWND mdi_client);

 protected:
  int OnCreate() override;
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnFinalMessage() override;
  bool OnCommand(UINT id) override;
  bool OnUpdateCommand(CommandUI& ui) override;

 private:
  TriggerDoc& document_;
  TriggerFrameHost& host_;
};

// The window's title (string 14353), loaded once.
const std::wstring& TriggerWindowTitle();

}  // namespace win::ui
