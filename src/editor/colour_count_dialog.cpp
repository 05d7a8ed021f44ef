// The colour-count dialog and its number control. The control draws
// 2 << depthExponent and steps it with its scroll arrows: up doubles the
// number (at most 2 << depthExponentMax), down halves it (at least 2). It
// has the focus when the dialog opens; Up and Right step up, Down and Left
// down, Page Up and Page Down kPageSteps steps at a time.
#include "editor/colour_count_dialog.h"

#include <cstdio>
#include <cstring>

#include "colour/colour_commands.h"
#include "resource_ids.h"
#include "editor/dpi.h"
#include "editor/shell_state.h"

namespace {

// The init parameter that asks for the "Optimal palette" form.
constexpr LPARAM kOptimalPaletteForm = 1001;
constexpr int kPageSteps = 2;

int ShownNumber() { return 2 << depthExponent; }

int FormatNumber(char* text, size_t capacity) { return snprintf(text, capacity, "%i", ShownNumber()); }

void PaintNumber(HWND control) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(control, &paint);
  char text[16];
  const int length = FormatNumber(text, sizeof text);
  SetTextColor(dc, windowTextColor);
  SetBkColor(dc, windowColor);
  TextOutA(dc, 0, 0, text, length);
  if (GetFocus() == control) {
    RECT client;
    GetClientRect(control, &client);
    DrawFocusRect(dc, &client);
  }
  EndPaint(control, &paint);
}

void StepNumber(HWND control, int code) {
  const int steps = code == SB_PAGEUP || code == SB_PAGEDOWN ? kPageSteps : 1;
  for (int step = 0; step < steps; ++step) {
    if ((code == SB_LINEUP || code == SB_PAGEUP) && depthExponent < depthExponentMax) ++depthExponent;
    if ((code == SB_LINEDOWN || code == SB_PAGEDOWN) && depthExponent >= 1) --depthExponent;
  }
  InvalidateRect(control, nullptr, TRUE);
}

// The keys as the scroll arrows and pages: up is more colours.
void OnNumberKey(HWND control, WPARAM key) {
  switch (key) {
    case VK_UP:
    case VK_RIGHT:
      StepNumber(control, SB_LINEUP);
      break;
    case VK_DOWN:
    case VK_LEFT:
      StepNumber(control, SB_LINEDOWN);
      break;
    case VK_PRIOR:
      StepNumber(control, SB_PAGEUP);
      break;
    case VK_NEXT:
      StepNumber(control, SB_PAGEDOWN);
      break;
  }
}

// The number is also the control's text, so that whatever reads controls'
// texts (screen readers, the tests) reads what is drawn.
LRESULT CopyNumber(WPARAM capacity, LPARAM target) {
  char* text = reinterpret_cast<char*>(target);
  if (text == nullptr || capacity == 0) return 0;
  char number[16];
  FormatNumber(number, sizeof number);
  snprintf(text, capacity, "%s", number);
  return static_cast<LRESULT>(strlen(text));
}

LRESULT NumberLength() {
  char number[16];
  return FormatNumber(number, sizeof number);
}

LRESULT CALLBACK DepthControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintNumber(control);
      return 0;
    case WM_VSCROLL:
      StepNumber(control, LOWORD(wParam));
      return 0;
    case WM_GETDLGCODE:
      // The arrows are the number's, not the dialog's way between buttons.
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      OnNumberKey(control, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(control);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(control, nullptr, TRUE);
      return 0;
    case WM_GETTEXT:
      return CopyNumber(wParam, lParam);
    case WM_GETTEXTLENGTH:
      return NumberLength();
  }
  return DefWindowProcA(control, message, wParam, lParam);
}

// A class left from an earlier dialog that could not be removed is as good
// as a new one.
bool RegisterDepthControlClass() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DepthControlProc;
  windowClass.hInstance = appInstance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kDepthControlClass;
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// FALSE: the focus is set here, on the number, rather than on the first button.
INT_PTR OnInitDialog(HWND dialog, LPARAM form) {
  HWND number = nullptr;
  if (RegisterDepthControlClass())
    number = CreateWindowExA(0, kDepthControlClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
                             Scaled(31), Scaled(58), Scaled(50), Scaled(20), dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COLOR_COUNT_NUMBER)), appInstance,
                             nullptr);
  if (form == kOptimalPaletteForm) {
    SetDlgItemTextA(dialog, IDC_COLOR_COUNT_PROMPT, "Maximum number of colors:");
    SetWindowTextA(dialog, "Optimal palette");
  }
  if (number == nullptr) return TRUE;
  SetFocus(number);
  return FALSE;
}

// Enter and Escape arrive as IDOK and IDCANCEL: they answer as the two
// buttons do.
INT_PTR OnDialogCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_COLOR_COUNT_OK:
    case IDOK:
      EndDialog(dialog, 1);
      return TRUE;
    case IDC_COLOR_COUNT_CANCEL:
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ColourCountDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog, lParam);
    case WM_COMMAND:
      return OnDialogCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

bool ColorCountDialog(HWND owner, ColourCountForm form) {
  const LPARAM parameter = form == ColourCountForm::kOptimalPalette ? kOptimalPaletteForm : 0;
  const INT_PTR result = DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_COLOR_COUNT), owner,
                                         ColourCountDialogProc, parameter);
  // Only now is the number control gone; a class with windows left cannot be
  // removed.
  UnregisterClassA(kDepthControlClass, appInstance);
  return result == 1;
}
