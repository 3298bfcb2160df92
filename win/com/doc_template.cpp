// The trigger window's document template.
#include "win/com/doc_template.h"

#include "core/addin/command_target.h"
#include "win/com/module.h"
#include "win/com/process.h"

namespace win::com {

CVireoBaseDocTemplate::CVireoBaseDocTemplate(UINT resource,
                                             std::unique_ptr<DocumentClasses> classes)
    : resource_(resource), classes_(std::move(classes)) {}

CVireoBaseDocTemplate::~CVireoBaseDocTemplate() {
  // The document goes first: it may still call back into the template while it closes.
  std::unique_ptr<TemplateDocument> document = std::move(document_);
  document.reset();
}

bool CVireoBaseDocTemplate::LoadTemplate() {
  doc_string_ = LoadResourceString(ResourceInstance(), resource_);
  return !doc_string_.empty();
}

void CVireoBaseDocTemplate::SetKey(uint32_t kind, uint32_t index) {
  key_ = core::addin::WindowKindKey(kind, index);
}

void CVireoBaseDocTemplate::OpenOrActivate() {
  if (document_) {
    const HWND frame = document_->FirstViewFrame();
    if (frame != nullptr) {
      SendMessageW(GetParent(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    }
    return;
  }
  if (!classes_) {
    ProcessServices::WriteLog(
        "Trigger add-in: the trigger window is not available yet in this version; the triggers "
        "can be reached through the add-in's TriggerAction object");
    return;
  }
  document_ = classes_->OpenNewDocument(*this);
}

void CVireoBaseDocTemplate::RefreshDocument() {
  if (document_) document_->Refresh();
}

void CVireoBaseDocTemplate::DocumentClosed(TemplateDocument* document) {
  if (document_.get() == document) document_.release();  // the document is deleting itself
}

}  // namespace win::com
