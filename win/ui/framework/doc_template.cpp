// The document template.
#include "win/ui/framework/doc_template.h"

#include "win/comkit/module.h"

namespace win::ui {

CVireoBaseDocTemplate::CVireoBaseDocTemplate(UINT resource,
                                             std::unique_ptr<DocumentClasses> classes)
    : resource_(resource), classes_(std::move(classes)) {}

CVireoBaseDocTemplate::~CVireoBaseDocTemplate() {
  // The document goes first: it may still call back into the template while it closes.
  std::unique_ptr<TemplateDocument> document = std::move(document_);
  document.reset();
}

bool CVireoBaseDocTemplate::LoadTemplate() {
  doc_string_ = win::comkit::LoadResourceString(win::comkit::ResourceInstance(), resource_);
  return !doc_string_.empty();
}

bool CVireoBaseDocTemplate::OpenOrActivate() {
  if (document_) {
    if (const HWND frame = document_->FirstViewFrame()) ActivateFrame(frame);
    return true;
  }
  if (!classes_) return false;
  document_ = classes_->OpenNewDocument(*this);
  return document_ != nullptr;
}

void CVireoBaseDocTemplate::RefreshDocument() {
  if (document_) document_->Refresh();
}

void CVireoBaseDocTemplate::DocumentClosed(TemplateDocument* document) {
  if (document_.get() == document) document_.release();  // the document is deleting itself
}

void ActivateFrame(HWND frame) {
  if (GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_MDICHILD) {
    const HWND client = GetParent(frame);
    if (IsIconic(frame)) SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(frame), 0);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    return;
  }
  if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
  SetForegroundWindow(frame);
  SetActiveWindow(frame);
}

}  // namespace win::ui
