// The trigger window's classes and where the window opens.
#include "win/ui/trigger_window.h"

#include <numeric>

#include "win/ui/column_settings.h"
#include "win/ui/trigger_doc.h"

namespace win::ui {
namespace {

class TriggerWindowClasses : public DocumentClasses {
 public:
  explicit TriggerWindowClasses(TriggerWindowServices services) : services_(std::move(services)) {}

  std::unique_ptr<TemplateDocument> OpenNewDocument(CVireoBaseDocTemplate& owner) override {
    auto document = std::make_unique<TriggerDoc>(owner, services_);
    if (!document->Open()) {
      services_.host->WriteLog(
          "Trigger add-in: the trigger window cannot be opened (the system refused to create "
          "it)");
      return nullptr;
    }
    return document;
  }

 private:
  TriggerWindowServices services_;
};

struct Search {
  DWORD process;
  DWORD thread;
  HWND found = nullptr;
  int rank = -1;  // this thread's and visible ones first
};

BOOL CALLBACK Consider(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  if (process != search.process) return TRUE;
  const HWND client = FindWindowExW(window, nullptr, L"MDIClient", nullptr);
  if (client == nullptr) return TRUE;
  const int rank = (thread == search.thread ? 2 : 0) + (IsWindowVisible(window) ? 1 : 0);
  if (rank > search.rank) {
    search.found = client;
    search.rank = rank;
  }
  return TRUE;
}

}  // namespace

std::unique_ptr<DocumentClasses> MakeTriggerWindowClasses(TriggerWindowServices services) {
  return std::make_unique<TriggerWindowClasses>(std::move(services));
}

HWND FindHostMDIClient() {
  Search search{GetCurrentProcessId(), GetCurrentThreadId()};
  EnumWindows(&Consider, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

SIZE TriggerWindowSize(bool mdi_child) {
  // The columns as the list will show them, at the screen's DPI, which the window gets.
  const int dpi = WindowDpi(nullptr);
  const core::window::ColumnWidths widths = LoadColumnWidths().widths;
  const int columns_width = std::accumulate(
      widths.begin(), widths.end(), 0,
      [dpi](int sum, int width) { return sum + core::window::ScaleToDpi(width, dpi); });
  // The columns, a vertical scroll bar and the list's border; a toolbar (its bitmaps keep their
  // size), the header and about a dozen rows (their font grows with the DPI).
  RECT frame = {0, 0, columns_width + GetSystemMetrics(SM_CXVSCROLL) + 2,
                26 + core::window::ScaleToDpi(20 + 12 * 17, dpi) + 2};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, mdi_child ? FALSE : TRUE,
                     mdi_child ? WS_EX_MDICHILD : 0);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace win::ui
