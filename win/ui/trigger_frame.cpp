// The trigger window's frame.
#include "win/ui/trigger_frame.h"

#include "core/window/trigger_list.h"
#include "win/comkit/module.h"
#include "win/resources/resource_ids.h"
#include "win/ui/trigger_doc.h"
#include "win/ui/trigger_view.h"

namespace win::ui {

const std::wstring& TriggerWindowTitle() {
  static const std::wstring title = [] {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(win::comkit::ResourceInstance(), IDS_TRIGGER_WINDOW_TITLE,
                                   reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : L"";
  }();
  return title;
}

TriggerFrame::TriggerFrame(TriggerDoc& document, const TriggerWindowServices& services)
    : MDIChildFrame(kTriggerFrameClass), document_(document), host_(*services.host) {
  auto view = std::make_unique<TriggerView>(document, *services.host, services.make_editor);
  document.AddView(*view);
  SetView(std::move(view));
}

// The window has gone by now (its document destroys it first); the view leaves the document.
TriggerFrame::~TriggerFrame() {
  if (View* view = GetActiveView()) document_.RemoveView(*view);
}

bool TriggerFrame::Open(HWND mdi_client) {
  // A top-level window gets the menu bar of the template; an MDI child leaves the host menu bar
  // alone.
  const HMENU menu = mdi_client ? nullptr
                                : LoadMenuW(win::comkit::ResourceInstance(),
                                            MAKEINTRESOURCEW(IDR_TRIGGER_TEMPLATE));
  if (!Create(mdi_client, TriggerWindowTitle(), TriggerWindowSize(mdi_client != nullptr), menu)) {
    return false;
  }
  SetIcon(IDR_TRIGGER_TEMPLATE);
  return true;
}

int TriggerFrame::OnCreate() {
  const auto& commands = core::window::ToolbarCommands();
  // Without its toolbar the window still works, through its menus and keys.
  GetToolBar().Create(hwnd(), IDC_TRIGGER_TOOLBAR, win::comkit::ResourceInstance(),
                      IDB_TRIGGER_TOOLBAR, {commands.begin(), commands.end()});
  return 0;
}

LRESULT TriggerFrame::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MOUSEACTIVATE) {
    const LRESULT result = MDIChildFrame::WindowProc(message, wparam, lparam);
    host_.WindowActivated();
    return result;
  }
  return MDIChildFrame::WindowProc(message, wparam, lparam);
}

void TriggerFrame::OnFinalMessage() {
  if (View* view = GetActiveView()) document_.RemoveView(*view);
  MDIChildFrame::OnFinalMessage();
  document_.FrameDestroyed();  // deletes the document and this frame
}

bool TriggerFrame::OnCommand(UINT id) {
  if (id != ID_WINDOW_CLOSE) return false;
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  return true;
}

bool TriggerFrame::OnUpdateCommand(CommandUI& ui) {
  if (ui.id() != ID_WINDOW_CLOSE) return false;
  ui.Enable(true);
  return true;
}

}  // namespace win::ui
