// The main window's toolbar: eighteen images in twenty-three places (five are
// separators), two of them check buttons, and their tooltips from the string
// table.
#include "editor/toolbar.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "document/settings.h"
#include "editing/history.h"
#include "resource_ids.h"
#include "editor/dpi.h"
#include "editor/shell_state.h"

namespace {

// The bitmap holds 18 images; the toolbar is told 23, one per place.
constexpr int kToolbarImageCount = 23;
constexpr int kTooltipCapacity = 80;
// The tooltip of command id is string id + kTooltipStringOffset.
constexpr int kTooltipStringOffset = 9;

constexpr TBBUTTON Button(int image, int command) {
  return TBBUTTON{image, command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
}
constexpr TBBUTTON CheckButton(int image, int command) {
  return TBBUTTON{image, command, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0};
}
constexpr TBBUTTON Separator() { return TBBUTTON{0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0}; }

const TBBUTTON kButtons[] = {
    Button(TBI_NEW, kToolNew),
    Button(TBI_OPEN, kToolOpen),
    Button(TBI_SAVE, kToolSave),
    Button(TBI_SAVE_AS, kToolSaveAs),
    Button(TBI_INSERT_FRAMES, kToolInsert),
    Button(TBI_ADD_FRAMES, kToolAdd),
    Separator(),
    CheckButton(TBI_SELECT, kToolSelect),
    Button(TBI_CUT, kToolCut),
    Button(TBI_COPY, kToolCopy),
    Button(TBI_PASTE, kToolPaste),
    Separator(),
    Button(TBI_UNDO, kToolUndo),
    Button(TBI_REDO, kToolRedo),
    Separator(),
    Button(TBI_ZOOM_OUT, kToolZoomOut),
    Button(TBI_ZOOM_IN, kToolZoomIn),
    Separator(),
    Button(TBI_PLAY, kToolPlay),
    Button(TBI_STOP, kToolStop),
    Button(TBI_NEXT_FRAME, kToolAdvance),
    Separator(),
    CheckButton(TBI_FRAMES_WINDOW, kToolFramesWindow),
};

// The text a tooltip points at while it shows.
char tooltipText[kTooltipCapacity];

void SetButtonState(int command, BYTE state) {
  if (toolbar != nullptr) SendMessageA(toolbar, TB_SETSTATE, static_cast<WPARAM>(command), MAKELONG(state, 0));
}

}  // namespace

// From 144 DPI on, the images drawn at twice the size.
HWND CreateMainToolbar(HWND parent) {
  const int scale = CurrentDpi() >= 144 ? 2 : 1;
  toolbar = CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | CCS_ADJUSTABLE | TBSTYLE_TOOLTIPS, 0, kToolbarImageCount,
                            appInstance, scale == 2 ? IDB_TOOLBAR_2X : IDB_TOOLBAR, kButtons,
                            static_cast<int>(sizeof kButtons / sizeof kButtons[0]), 0, 0, TOOLBAR_IMAGE_WIDTH * scale,
                            TOOLBAR_IMAGE_HEIGHT * scale, sizeof(TBBUTTON));
  return toolbar;
}

void EnableToolbarButton(int index, bool enabled) {
  // A greyed button is drawn raised: "pressed" without "enabled" would show
  // it sunk in, as if it were working.
  SetButtonState(index + 1, enabled ? TBSTATE_ENABLED : 0);
}

void SetToolbarButtonPressed(int command, bool pressed) {
  SetButtonState(command, static_cast<BYTE>(TBSTATE_ENABLED | (pressed ? TBSTATE_PRESSED : 0)));
}

LRESULT OnToolbarNotify(LPARAM lParam) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr || header->code != TTN_NEEDTEXTA) return 0;
  TOOLTIPTEXTA* tip = reinterpret_cast<TOOLTIPTEXTA*>(lParam);
  tip->lpszText = tooltipText;
  tip->hinst = nullptr;
  UINT command = static_cast<UINT>(header->idFrom);
  UINT string = command + kTooltipStringOffset;
  if (command == kToolFramesWindow && settings.showFramesWindow) string = IDS_TIP_HIDE_FRAMES_WINDOW;
  if (LoadStringA(appInstance, string, tooltipText, sizeof tooltipText) <= 0) tooltipText[0] = '\0';
  // Undo and Redo name their step, as their menu items do.
  const char* step = command == kToolUndo ? UndoStepName() : command == kToolRedo ? RedoStepName() : nullptr;
  if (step != nullptr) {
    const size_t length = strlen(tooltipText);
    snprintf(tooltipText + length, sizeof tooltipText - length, " %s", step);
  }
  return 0;
}
