// TriggerDoc: the document of the trigger window. It is a thin front of the add-in registry (the
// TriggerDocument of the core) with one frame and one view. It is the only document of the
// template: closing its frame closes it, and closing it closes its frame.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/window/trigger_document.h"
#include "win/ui/framework/doc_template.h"
#include "win/ui/framework/document.h"
#include "win/ui/trigger_window.h"

namespace win::ui {

class TriggerFrame;

class TriggerDoc : public Document, public TemplateDocument {
 public:
  TriggerDoc(CVireoBaseDocTemplate& owner, TriggerWindowServices services);
  ~TriggerDoc() override;

  // The new document, then its frame and view, then the view's first update. False when the
  // frame cannot be made.
  bool Open();

  core::window::TriggerDocument& Triggers() { return triggers_; }
  TriggerFrame* Frame() const { return frame_.get(); }

  HWND FirstViewFrame() const override;
  void Refresh() override { triggers_.Refresh(); }

  bool OnNewDocument() override;
  // Writes the trigger list to the file.
  bool OnSaveDocument(const std::string& path) override;

  // The frame's window has gone: the document closes, and deletes itself. Not while Open is
  // making the frame: a window destroyed in its own creation leaves the document to Open's
  // caller, which deletes it when Open fails.
  void FrameDestroyed();

 protected:
  const char* SaveFilter() const override {
    return "Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
  }
  const char* SaveExtension() const override { return "txt"; }

 private:
  CVireoBaseDocTemplate& owner_;
  TriggerWindowServices services_;
  core::window::TriggerDocument triggers_;
  std::unique_ptr<TriggerFrame> frame_;
  bool opening_ = false;
  bool closing_ = false;
};

}  // namespace win::ui
