// The trigger prompt.
#include "standin/win/trigger_prompt.h"

#include "standin/win/ide_ids.h"
#include "win/comkit/conversion.h"
#include "win/comkit/module.h"

namespace standin::win {
namespace {

using ::win::comkit::ToWide;

struct Prompt {
  const std::wstring* title;
  const std::vector<model::TriggerChoice>* choices;
  int32_t* trigger;
};

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* prompt = reinterpret_cast<Prompt*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetWindowTextW(dialog, prompt->title->c_str());
      HWND list = GetDlgItem(dialog, IDC_PROMPT_TRIGGER);
      LRESULT selected = 0;
      for (const model::TriggerChoice& choice : *prompt->choices) {
        const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0,
                                           reinterpret_cast<LPARAM>(ToWide(choice.label).c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), choice.id);
        if (choice.id == *prompt->trigger) selected = index;
      }
      SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
      // Over the middle of the window that asks.
      RECT owner;
      RECT own;
      GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
      GetWindowRect(dialog, &own);
      SetWindowPos(dialog, nullptr, (owner.left + owner.right - (own.right - own.left)) / 2,
                   (owner.top + owner.bottom - (own.bottom - own.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto* prompt = reinterpret_cast<Prompt*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND list = GetDlgItem(dialog, IDC_PROMPT_TRIGGER);
        const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return TRUE;  // nothing chosen: the prompt stays
        *prompt->trigger =
            static_cast<int32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool AskForTrigger(HWND owner, const std::wstring& title,
                   const std::vector<model::TriggerChoice>& choices, int32_t* trigger) {
  Prompt prompt = {&title, &choices, trigger};
  return DialogBoxParamW(::win::comkit::ModuleInstance(), MAKEINTRESOURCEW(IDD_TRIGGER_PROMPT),
                         owner, PromptProc, reinterpret_cast<LPARAM>(&prompt)) == IDOK;
}

}  // namespace standin::win
