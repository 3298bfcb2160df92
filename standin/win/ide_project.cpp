// The IDE window's project commands: open, save and save as, and the question about unsaved
// changes before the project or the window goes.
#include <windows.h>

#include <commdlg.h>
#include <oleauto.h>

#include "core/automation/strings.h"
#include "standin/win/ide_frame.h"
#include "standin/win/ide_ids.h"
#include "standin/win/standin_calls.h"
#include "win/comkit/conversion.h"

namespace standin::win {
namespace {

using core::automation::Format;
using ::win::comkit::MakeBstr;
using ::win::comkit::ToNarrow;
using ::win::comkit::ToWide;

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

HRESULT IdeFrame::OpenProject() {
  if (!AskToSave()) return S_FALSE;
  std::wstring path;
  if (!ChooseProjectFile(false, &path)) return S_FALSE;
  if (debugging_) StopDebugging();
  HRESULT hr = standin_->OpenProject(MakeBstr(path).Get());
  if (FAILED(hr)) {
    ShowError("The project cannot be opened:\n" + DescribeFailure(hr));
    return hr;
  }
  if (Connected()) {
    std::string problem;
    hr = CallTriggerAction(standin_, L"LoadTriggers", &problem);
    if (FAILED(hr)) {
      ShowError("The add-in cannot load the project's triggers:\n" + problem);
      return hr;
    }
  }
  SetStatus("Opened " + FileName(ToNarrow(path)));
  return S_OK;
}

bool IdeFrame::SaveProject(bool choose_name) {
  std::wstring path;
  if ((choose_name || session_->project().path().empty()) && !ChooseProjectFile(true, &path)) {
    return false;
  }
  if (Connected()) {
    std::string problem;
    if (FAILED(CallTriggerAction(standin_, L"SaveTriggers", &problem))) {
      ShowError("The add-in cannot save its triggers:\n" + problem);
      return false;
    }
  }
  const HRESULT hr =
      path.empty() ? standin_->SaveProject() : standin_->SaveProjectAs(MakeBstr(path).Get());
  if (FAILED(hr)) {
    ShowError("The project cannot be saved:\n" + DescribeFailure(hr));
    return false;
  }
  SetStatus("Saved " + FileName(session_->project().path()));
  return true;
}

// Asks about unsaved changes; false when the user would rather stay.
bool IdeFrame::AskToSave() {
  if (!session_->project().modified()) return true;
  std::string name = FileName(session_->project().path());
  if (name.empty()) name = "Untitled";
  const std::wstring question = ResourceText(IDS_SAVE_CHANGES);
  const std::string text = Format(ToNarrow(question).c_str(), name.c_str());
  switch (
      MessageBoxW(hwnd(), ToWide(text).c_str(), kIdeCaption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveProject(false);
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool IdeFrame::ChooseProjectFile(bool save, std::wstring* path) {
  std::wstring filter = ResourceText(IDS_PROJECT_FILTER);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  std::wstring folder = ToWide(session_->project().path());
  folder = folder.substr(
      0, folder.find_last_of(L"\\/") == std::wstring::npos ? 0 : folder.find_last_of(L"\\/"));
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = L"vpj";
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
  *path = file;
  return true;
}

bool IdeFrame::Close(bool ask) {
  if (hwnd() == nullptr) return true;
  if (ask && !AskToSave()) return false;
  if (debugging_) StopDebugging();
  // Leaving the IDE: the add-in goes first and closes its own windows.
  standin_->Disconnect();
  DestroyWindow();
  return true;
}

}  // namespace standin::win
