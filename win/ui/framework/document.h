// Document and View: a document holds (or fronts) what its views show and tells every view when
// it changed; a view is the window that shows it inside a frame. A view passes the commands it
// does not know to its document, the document to the frame (see command.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/ui/framework/command.h"
#include "win/ui/framework/window.h"

namespace win::ui {

class Document;
class MDIChildFrame;

class View : public Window, public CommandTarget {
 public:
  Document* GetDocument() const { return document_; }
  MDIChildFrame* GetParentFrame() const { return frame_; }

  // Creates the view's window in its frame.
  virtual bool Create(MDIChildFrame& frame, UINT id) = 0;
  // After the frame is made: the view's first update.
  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
  // The document changed (`hint` says how, when the document tells).
  virtual void OnUpdate(View* sender, LPARAM hint);

 protected:
  void SetParentFrame(MDIChildFrame* frame) { frame_ = frame; }

 private:
  friend class Document;
  Document* document_ = nullptr;
  MDIChildFrame* frame_ = nullptr;
};

class Document : public CommandTarget {
 public:
  virtual ~Document();

  const std::wstring& GetTitle() const { return title_; }
  void SetTitle(std::wstring title) { title_ = std::move(title); }
  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified) { modified_ = modified; }

  void AddView(View& view);
  void RemoveView(View& view);
  const std::vector<View*>& Views() const { return views_; }
  void UpdateAllViews(View* sender, LPARAM hint = 0);

  virtual bool OnNewDocument();
  virtual bool OnOpenDocument(const std::string& path);
  virtual bool OnSaveDocument(const std::string& path);

  // "Save As": asks the user for a file and saves the document there.
  bool OnCommand(UINT id) override;
  bool OnUpdateCommand(CommandUI& ui) override;

 protected:
  // What the Save As dialog offers; a filter in the common dialog's form.
  virtual const char* SaveFilter() const { return "All files (*.*)\0*.*\0"; }
  virtual const char* SaveExtension() const { return nullptr; }

 private:
  std::wstring title_;
  bool modified_ = false;
  std::vector<View*> views_;
};

// The Save As command of a frame's menu.
inline constexpr UINT kCommandSaveAs = 0xE104;

}  // namespace win::ui
