// Documents and their views.
#include "win/ui/framework/document.h"

#include <commdlg.h>

#include <algorithm>

#include "win/ui/framework/mdi_child_frame.h"

namespace win::ui {

void View::OnUpdate(View*, LPARAM) {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

Document::~Document() {
  for (View* view : views_) view->document_ = nullptr;
}

void Document::AddView(View& view) {
  if (std::find(views_.begin(), views_.end(), &view) == views_.end()) views_.push_back(&view);
  view.document_ = this;
}

void Document::RemoveView(View& view) {
  views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
  if (view.document_ == this) view.document_ = nullptr;
}

void Document::UpdateAllViews(View* sender, LPARAM hint) {
  // A view's update may close views (and so change the list).
  const std::vector<View*> views = views_;
  for (View* view : views) {
    if (view != sender && std::find(views_.begin(), views_.end(), view) != views_.end()) {
      view->OnUpdate(sender, hint);
    }
  }
}

bool Document::OnNewDocument() {
  SetModifiedFlag(false);
  return true;
}

bool Document::OnOpenDocument(const std::string&) { return true; }

bool Document::OnSaveDocument(const std::string&) {
  SetModifiedFlag(false);
  return true;
}

bool Document::OnCommand(UINT id) {
  if (id != kCommandSaveAs) return false;
  char path[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = views_.empty() ? nullptr : views_.front()->hwnd();
  dialog.lpstrFilter = SaveFilter();
  dialog.lpstrDefExt = SaveExtension();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (GetSaveFileNameA(&dialog)) OnSaveDocument(path);
  return true;
}

bool Document::OnUpdateCommand(CommandUI& ui) {
  if (ui.id() != kCommandSaveAs) return false;
  ui.Enable(true);
  return true;
}

}  // namespace win::ui
