// The trigger window's document.
#include "win/ui/trigger_doc.h"

#include "core/registry/list_export.h"
#include "win/ui/trigger_frame.h"
#include "win/ui/trigger_view.h"

namespace win::ui {

TriggerDoc::TriggerDoc(CVireoBaseDocTemplate& owner, TriggerWindowServices services)
    : owner_(owner), services_(std::move(services)), triggers_(*services_.registry) {
  triggers_.SetUpdateAllViews([this] { UpdateAllViews(nullptr, 0); });
}

TriggerDoc::~TriggerDoc() {
  closing_ = true;
  triggers_.SetUpdateAllViews({});
  if (frame_) frame_->DestroyWindow();
  frame_.reset();
}

bool TriggerDoc::Open() {
  // The document is new before its view exists, so the rows are filled once, by the view's
  // first update.
  if (!OnNewDocument()) return false;
  frame_ = std::make_unique<TriggerFrame>(*this, services_);
  opening_ = true;
  const bool opened = frame_->Open(services_.mdi_client ? services_.mdi_client() : nullptr);
  opening_ = false;
  if (!opened) {
    frame_.reset();
    return false;
  }
  if (View* view = frame_->GetActiveView()) view->OnInitialUpdate();
  return true;
}

HWND TriggerDoc::FirstViewFrame() const { return frame_ ? frame_->hwnd() : nullptr; }

bool TriggerDoc::OnNewDocument() {
  if (!Document::OnNewDocument()) return false;
  SetTitle(TriggerWindowTitle());
  SetModifiedFlag(false);
  Refresh();
  return true;
}

bool TriggerDoc::OnSaveDocument(const std::string& path) {
  // The export tells the log itself when it cannot write the file; a name it refuses outright
  // is the user's to change, so the user is told.
  if (core::automation::Failed(services_.registry->ExportTriggerList(path))) {
    const std::string text =
        "The trigger list was not saved to " + path + ": " + core::registry::kExportPathRule + ".";
    MessageBoxA(frame_ ? frame_->hwnd() : nullptr, text.c_str(), "Save List As",
                MB_OK | MB_ICONWARNING);
    return false;
  }
  UpdateAllViews(nullptr, 0);
  return true;
}

void TriggerDoc::FrameDestroyed() {
  if (closing_ || opening_) return;
  closing_ = true;
  owner_.DocumentClosed(this);
  delete this;
}

}  // namespace win::ui
