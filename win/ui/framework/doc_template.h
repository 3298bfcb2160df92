// CVireoBaseDocTemplate: a document template with one document, its frame and view, as the host
// knows it: under a window-kind key. It opens the document when the host command runs, brings
// its frame to the front when it is open already, and refreshes it when the host reports that
// the event states in the simulator may have changed.
//
// The document, frame and view classes plug in through DocumentClasses (the template's run-time
// classes).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

namespace win::ui {

class CVireoBaseDocTemplate;

// An open document of a template. The template owns it: destroying it closes its frame and
// views. A document whose frame the user closes tells its template (DocumentClosed) and then
// deletes itself.
class TemplateDocument {
 public:
  virtual ~TemplateDocument() = default;
  // The frame of the document's first view; null when it has none.
  virtual HWND FirstViewFrame() const = 0;
  // Resynchronises the document with what it fronts and updates all its views.
  virtual void Refresh() = 0;
};

// A template's document, frame and view classes.
class DocumentClasses {
 public:
  virtual ~DocumentClasses() = default;
  // A new untitled document with its frame and view, shown. Null when it cannot be made (the
  // classes tell the user why). The document tells `owner` when it closes.
  virtual std::unique_ptr<TemplateDocument> OpenNewDocument(CVireoBaseDocTemplate& owner) = 0;
};

class CVireoBaseDocTemplate {
 public:
  // `resource`: the template's resources in the resource library (its document string, menu
  // and icon). Without classes the template opens nothing.
  CVireoBaseDocTemplate(UINT resource, std::unique_ptr<DocumentClasses> classes);
  // Closes the document.
  ~CVireoBaseDocTemplate();
  CVireoBaseDocTemplate(const CVireoBaseDocTemplate&) = delete;
  CVireoBaseDocTemplate& operator=(const CVireoBaseDocTemplate&) = delete;

  UINT Resource() const { return resource_; }
  // Reads the template's document string from the resource library; false when it has none.
  bool LoadTemplate();
  const std::string& DocString() const { return doc_string_; }

  // The key under which the host knows the template's kind of window; the caller makes it.
  void SetKey(std::string key) { key_ = std::move(key); }
  const std::string& Key() const { return key_; }

  bool HasClasses() const { return classes_ != nullptr; }
  bool HasDocument() const { return document_ != nullptr; }
  TemplateDocument* Document() const { return document_.get(); }

  // A new untitled document, shown, when none is open; otherwise the frame of the document's
  // first view is activated (in its MDI client, or as a top-level window). There is only ever one
  // document. False when no document could be opened.
  bool OpenOrActivate();
  // Refreshes the open document; nothing when none is open.
  void RefreshDocument();
  // The document is closing on its own and deletes itself: the template lets go of it.
  void DocumentClosed(TemplateDocument* document);

 private:
  UINT resource_;
  std::unique_ptr<DocumentClasses> classes_;
  std::unique_ptr<TemplateDocument> document_;
  std::string doc_string_;
  std::string key_;
};

// Brings a frame to the front: an MDI child through its MDI client, a top-level frame as the
// active window.
void ActivateFrame(HWND frame);

}  // namespace win::ui
