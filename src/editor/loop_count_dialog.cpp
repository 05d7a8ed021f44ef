#include "editor/loop_count_dialog.h"

#include <windows.h>

#include "document/document.h"
#include "document/ui_operations.h"
#include "resource_ids.h"
#include "editor/shell_state.h"

namespace {

int32_t chosenCount = kLoopForever;

void ShowCount(HWND dialog, int32_t count) {
  const int choice = count == kNoLooping ? IDC_LOOP_ONCE : count == kLoopForever ? IDC_LOOP_FOREVER : IDC_LOOP_REPEAT;
  CheckRadioButton(dialog, IDC_LOOP_ONCE, IDC_LOOP_REPEAT, choice);
  SetDlgItemInt(dialog, IDC_LOOP_TIMES, static_cast<UINT>(count > 0 ? count : 1), FALSE);
}

// The count chosen; false, said and with the number to mend, when Repeat
// has no number from 1 to kMaxLoopCount.
bool TakeCount(HWND dialog) {
  if (IsDlgButtonChecked(dialog, IDC_LOOP_ONCE) == BST_CHECKED) {
    chosenCount = kNoLooping;
    return true;
  }
  if (IsDlgButtonChecked(dialog, IDC_LOOP_FOREVER) == BST_CHECKED) {
    chosenCount = kLoopForever;
    return true;
  }
  BOOL number = FALSE;
  const UINT times = GetDlgItemInt(dialog, IDC_LOOP_TIMES, &number, FALSE);
  if (number && times >= 1 && times <= static_cast<UINT>(kMaxLoopCount)) {
    chosenCount = static_cast<int32_t>(times);
    return true;
  }
  MessageBoxA(dialog, "Enter a number of repeats from 1 to 65535.", kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
  SetFocus(GetDlgItem(dialog, IDC_LOOP_TIMES));
  return false;
}

INT_PTR OnDialogCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDOK:
      if (TakeCount(dialog)) EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDC_LOOP_TIMES:
      // Typing a number chooses Repeat.
      if (code == EN_CHANGE && GetFocus() == GetDlgItem(dialog, IDC_LOOP_TIMES))
        CheckRadioButton(dialog, IDC_LOOP_ONCE, IDC_LOOP_REPEAT, IDC_LOOP_REPEAT);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK LoopCountProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowCount(dialog, doc.loopCount);
      return TRUE;
    case WM_COMMAND:
      return OnDialogCommand(dialog, LOWORD(wParam), HIWORD(wParam));
  }
  return FALSE;
}

}  // namespace

void ShowLoopCountDialog() {
  StopPlayback();
  if (DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_LOOP_COUNT), mainWindow, LoopCountProc, 0) != IDOK) return;
  if (chosenCount == doc.loopCount) return;
  doc.loopCount = chosenCount;
  SetModified(true);
}
