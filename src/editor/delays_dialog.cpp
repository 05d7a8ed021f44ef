#include "editor/delays_dialog.h"

#include <windows.h>

#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/frame_timing.h"
#include "resource_ids.h"
#include "editor/shell_state.h"

namespace {

// The choice Ok took: a delay for every frame, or a speed factor.
bool settingDelay = true;
int chosenDelay = 10;
double chosenFactor = 2;

void ShowChoice(HWND dialog) {
  CheckRadioButton(dialog, IDC_DELAYS_SET, IDC_DELAYS_SPEED, settingDelay ? IDC_DELAYS_SET : IDC_DELAYS_SPEED);
  const int current = IsImageFrame(doc.currentFrame) ? doc.frames[doc.currentFrame]->delay : chosenDelay;
  SetDlgItemInt(dialog, IDC_DELAYS_VALUE, static_cast<UINT>(current), FALSE);
  SetDlgItemTextA(dialog, IDC_DELAYS_FACTOR, "2");
}

// False, said and with the field to mend, when the chosen field holds no
// delay from 0 to 65535 or no positive factor.
bool TakeChoice(HWND dialog) {
  settingDelay = IsDlgButtonChecked(dialog, IDC_DELAYS_SET) == BST_CHECKED;
  if (settingDelay) {
    BOOL number = FALSE;
    const UINT delay = GetDlgItemInt(dialog, IDC_DELAYS_VALUE, &number, FALSE);
    if (number && delay <= 65535) {
      chosenDelay = static_cast<int>(delay);
      return true;
    }
  } else {
    char text[32] = "";
    GetDlgItemTextA(dialog, IDC_DELAYS_FACTOR, text, sizeof text);
    if (ParseSpeedFactor(text, &chosenFactor)) return true;
  }
  MessageBoxA(dialog,
              settingDelay ? "Enter a delay from 0 to 65535 hundredths of a second."
                           : "Enter a speed factor greater than 0, such as 2 or 0.5.",
              kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
  SetFocus(GetDlgItem(dialog, settingDelay ? IDC_DELAYS_VALUE : IDC_DELAYS_FACTOR));
  return false;
}

INT_PTR OnDialogCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDOK:
      if (TakeChoice(dialog)) EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDC_DELAYS_VALUE:
    case IDC_DELAYS_FACTOR:
      // Typing into a field chooses its line.
      if (code == EN_CHANGE && GetFocus() == GetDlgItem(dialog, id))
        CheckRadioButton(dialog, IDC_DELAYS_SET, IDC_DELAYS_SPEED,
                         id == IDC_DELAYS_VALUE ? IDC_DELAYS_SET : IDC_DELAYS_SPEED);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DelaysProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      ShowChoice(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnDialogCommand(dialog, LOWORD(wParam), HIWORD(wParam));
  }
  return FALSE;
}

}  // namespace

void ShowDelaysDialog() {
  StopPlayback();
  if (DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_DELAYS), mainWindow, DelaysProc, 0) != IDOK) return;
  const bool changed = settingDelay ? SetAllDelays(static_cast<uint16_t>(chosenDelay)) : ChangeSpeed(chosenFactor);
  if (!changed) return;
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}
