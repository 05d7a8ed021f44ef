// The editor's message loop, one message at a time: wheel routing, the
// accelerator table with the keys the focused control keeps for itself, and
// keyboard focus through the frames window.
#include "editor/message_loop.h"

#include <windowsx.h>

#include <cstring>

#include "resource_ids.h"
#include "editor/frames_window.h"
#include "editor/main_window.h"
#include "editor/shell_state.h"

namespace {

// The table has the menu's id; a resource lives as long as the module.
HACCEL Accelerators() {
  static HACCEL table = nullptr;
  if (table == nullptr) table = LoadAcceleratorsA(appInstance, MAKEINTRESOURCEA(IDR_MAIN_MENU));
  return table;
}

bool IsTextField(HWND window) {
  char name[8] = "";
  return window != nullptr && GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, "Edit") == 0;
}

bool IsNavigationKey(WPARAM key) {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_PRIOR ||
         key == VK_NEXT || key == VK_HOME || key == VK_END;
}

// A text field keeps its editing keys and every key that would act on the
// frames (Alt+Up too); what does not touch the frames, such as Save, F5 or
// the zoom, still works there. The frames list keeps its moves, which select
// another frame as a click does; Alt with an arrow still moves the frame.
bool FocusKeepsKey(const MSG& message) {
  HWND focus = GetFocus();
  const WPARAM key = message.wParam;
  if (IsTextField(focus)) {
    // Cut, copy, paste, undo, redo and duplicate: the text's, or no one's.
    const bool frameLetter = key != 0 && key < 128 && strchr("XCVZYD", static_cast<int>(key)) != nullptr;
    return key == VK_DELETE || IsNavigationKey(key) || (GetKeyState(VK_CONTROL) < 0 && frameLetter);
  }
  return focus != nullptr && focus == panel.list && message.message == WM_KEYDOWN && IsNavigationKey(key);
}

bool TranslateKey(MSG* message) {
  if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) return false;
  if (mainWindow == nullptr || Accelerators() == nullptr || FocusKeepsKey(*message)) return false;
  return TranslateAcceleratorA(mainWindow, Accelerators(), message) != 0;
}

void SelectFieldText(HWND control) {
  if (IsTextField(control)) SendMessageA(control, EM_SETSEL, 0, -1);
}

// Tab and Shift+Tab go round the frames window's controls in reading order;
// from the main window or the image view they enter it at its first or last.
bool MoveFocusWithTab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (framesWindow == nullptr || !IsWindowVisible(framesWindow) || GetKeyState(VK_CONTROL) < 0) return false;
  HWND focus = GetFocus();
  const bool inside = focus != nullptr && IsChild(framesWindow, focus);
  if (!inside && focus != mainWindow && focus != imageView && focus != framesWindow) return false;
  const BOOL backwards = GetKeyState(VK_SHIFT) < 0;
  // Entering, the search starts from the child at the other end and wraps.
  HWND first = GetWindow(framesWindow, GW_CHILD);
  if (first == nullptr) return false;
  HWND from = inside ? focus : backwards ? first : GetWindow(first, GW_HWNDLAST);
  HWND next = GetNextDlgTabItem(framesWindow, from, backwards);
  if (next == nullptr) return false;
  SetFocus(next);
  SelectFieldText(next);
  return true;
}

// The system sends the wheel to the focused window; it belongs to the
// window under the pointer, when that is one of the editor's.
void RouteWheelToPointer(MSG* message) {
  if (message->message != WM_MOUSEWHEEL && message->message != WM_MOUSEHWHEEL) return;
  const POINT at = {GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam)};
  HWND under = WindowFromPoint(at);
  if (under != nullptr && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) message->hwnd = under;
}

}  // namespace

void ProcessMessage(MSG* message) {
  RouteWheelToPointer(message);
  if (!TranslateKey(message) && !MoveFocusWithTab(*message)) {
    TranslateMessage(message);
    DispatchMessageA(message);
  }
  AfterMessage();
}
