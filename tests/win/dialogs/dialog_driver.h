// Drives modal dialogs as a user would, by messages. A UserScript hooks window creation on the
// test's thread: every top-level window that opens (a dialog, a message box) runs the next
// scripted step once it is active, from a timer inside its own modal loop. A step fills fields,
// picks items, presses buttons and reads back what the window shows; it ends by closing its
// window. Windows nobody scripted, or left open by their step, are cancelled and fail the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace dialog_test {

class UserScript {
 public:
  using Step = std::function<void(HWND window)>;

  UserScript() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook_, nullptr);
  }
  ~UserScript() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted window(s) never opened";
  }
  UserScript(const UserScript&) = delete;
  UserScript& operator=(const UserScript&) = delete;

  UserScript& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  int WindowsSeen() const { return seen_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    UserScript* self = current_;
    if (self != nullptr) {
      const auto window = reinterpret_cast<HWND>(wparam);
      if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam);
        if ((create->lpcs->style & WS_CHILD) == 0) self->fresh_.insert(window);
      } else if (code == HCBT_DESTROYWND) {
        self->fresh_.erase(window);
      } else if (code == HCBT_ACTIVATE && self->fresh_.erase(window) > 0) {
        self->pending_.push_back(window);
        SetTimer(nullptr, 0, 10, Tick);
      }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (current_ != nullptr) current_->RunPending();
  }

  void RunPending() {
    while (!pending_.empty()) {
      HWND window = pending_.front();
      // A dialog is active from its first focus on, and the dialog manager shows it only once
      // its message queue is idle: wait for that (a while at most).
      if (IsWindow(window) && !IsWindowVisible(window) && ++waits_ < 200) {
        SetTimer(nullptr, 0, 10, Tick);
        return;
      }
      waits_ = 0;
      pending_.pop_front();
      if (!IsWindow(window)) continue;
      ++seen_;
      char title[256] = {};
      GetWindowTextA(window, title, sizeof title);
      if (steps_.empty()) {
        ADD_FAILURE() << "unscripted window \"" << title << "\" opened";
      } else {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(window);
      }
      if (IsWindow(window) && IsWindowVisible(window)) {
        ADD_FAILURE() << "\"" << title << "\" was left open";
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
      }
    }
  }

  static inline UserScript* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::set<HWND> fresh_;
  std::deque<HWND> pending_;
  std::deque<Step> steps_;
  int seen_ = 0;
  int waits_ = 0;
};

// ---- What a user does and sees ----

inline HWND Control(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

inline std::string Text(HWND dialog, int id) {
  char text[1024] = {};
  GetWindowTextA(Control(dialog, id), text, sizeof text);
  return text;
}

inline void Type(HWND dialog, int id, const std::string& text) {
  SendMessageA(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline void Click(HWND dialog, int id) { SendMessageW(Control(dialog, id), BM_CLICK, 0, 0); }

// A message box's caption and text: "caption: text".
inline std::string MessageOf(HWND box) {
  char caption[256] = {}, text[1024] = {};
  GetWindowTextA(box, caption, sizeof caption);
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return std::string(caption) + ": " + text;
}

inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Control(dialog, id)) != FALSE; }

inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The control that has the focus, by its identifier (0 for none of the dialog's).
inline int Focused(HWND dialog) {
  HWND focus = GetFocus();
  return focus != nullptr && IsChild(dialog, focus) ? GetDlgCtrlID(focus) : 0;
}

// An edit box's text is selected whole (as a failed test leaves it).
inline bool AllSelected(HWND dialog, int id) {
  DWORD start = 0, end = 0;
  SendMessageW(Control(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return start == 0 && end == static_cast<DWORD>(Text(dialog, id).size());
}

inline std::vector<std::string> ComboItems(HWND dialog, int id) {
  HWND box = Control(dialog, id);
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char item[256] = {};
    SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items.push_back(item);
  }
  return items;
}

inline std::vector<std::string> ListBoxItems(HWND dialog, int id) {
  HWND box = Control(dialog, id);
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char item[256] = {};
    SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
    items.push_back(item);
  }
  return items;
}

// Picks an item of a drop-down list as a click would, telling the dialog.
inline void Pick(HWND dialog, int id, const std::string& item) {
  HWND box = Control(dialog, id);
  const LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(item.c_str()));
  ASSERT_GE(index, 0) << "no item " << item;
  SendMessageA(box, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

inline void Select(HWND dialog, int list, int index) {
  HWND box = Control(dialog, list);
  SendMessageA(box, LB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

// Saves a picture of the window (frame included) as a 24-bit BMP in the folder named by
// TRIGGER_SCREENSHOTS, when that is set.
void Screenshot(HWND window, const char* name);

}  // namespace dialog_test
