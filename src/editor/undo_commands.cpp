#include "editor/undo_commands.h"

#include <windows.h>

#include <cstdio>

#include "colour/color_pick.h"
#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/history.h"
#include "resource_ids.h"
#include "editor/document_life.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/menu_state.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"

namespace {

// The panel control and the frame that the last step typed into, so that
// the next keystroke there joins it.
int typedControl = 0;
int typedFrame = -1;

// A menu item's text without its mnemonic, shortcut and dots: "Delete frame".
void MenuItemName(int command, char* name, int size) {
  char text[128] = "";
  if (mainMenu != nullptr) GetMenuStringA(mainMenu, static_cast<UINT>(command), text, sizeof text, MF_BYCOMMAND);
  int length = 0;
  for (const char* c = text; *c != '\0' && *c != '\t' && *c != '.' && length < size - 1; ++c)
    if (*c != '&') name[length++] = *c;
  name[length] = '\0';
}

const char* PanelStepName(int controlId) {
  switch (controlId) {
    case kDelayFieldId: return "Delay time";
    case kLeftFieldId: return "Left";
    case kTopFieldId: return "Top";
    case kRestoreBoxId: return "Restore to background";
    case kTransparentBoxId: return "Transparent color";
    case kUseGlobalBoxId: return "Use global palette";
  }
  return nullptr;
}

bool IsField(int controlId) {
  return controlId == kDelayFieldId || controlId == kLeftFieldId || controlId == kTopFieldId;
}

void SetUndoItem(int command, const char* verb, const char* step, const char* keys) {
  char text[160];
  if (step != nullptr)
    snprintf(text, sizeof text, "%s %s\t%s", verb, step, keys);
  else
    snprintf(text, sizeof text, "%s\t%s", verb, keys);
  if (mainMenu != nullptr)
    ModifyMenuA(mainMenu, static_cast<UINT>(command), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(command), text);
  EnableMenuCommand(command, step != nullptr);
}

// The document as the history left it, in every window.
void ShowRestoredDocument() {
  previousFrame = -1;
  typedControl = 0;
  CancelSelection();
  FollowFrameList();
  UpdateScrollRanges();
  FillFramesList();
  RefreshFrameView(RefreshMode::kFull);
  if (mainWindow != nullptr) InvalidateRect(mainWindow, &viewArea, TRUE);
  UpdateUndoItems();
}

}  // namespace

void RecordCommandStep(int command) {
  char name[128];
  MenuItemName(command, name, sizeof name);
  if (RecordStep(name)) typedControl = 0;
  UpdateUndoItems();
}

void RecordPanelStep(int controlId) {
  const char* name = PanelStepName(controlId);
  if (name == nullptr) return;
  const bool joined = IsField(controlId) && typedControl == controlId && typedFrame == doc.currentFrame;
  if (RecordStep(name, joined)) {
    typedControl = IsField(controlId) ? controlId : 0;
    typedFrame = doc.currentFrame;
  }
  UpdateUndoItems();
}

void ReleasePickAsStep(uint8_t index, bool applies) {
  const int command = pickMode == kPickBackground ? IDM_COLORS_BACKGROUND : IDM_COLORS_TRANSPARENT;
  ReleasePick(index, applies);
  RecordCommandStep(command);
}

void RestartHistory() {
  StartHistory();
  typedControl = 0;
  UpdateUndoItems();
}

void OnUndo() {
  StopPlayback();
  if (UndoStep()) ShowRestoredDocument();
}

void OnRedo() {
  StopPlayback();
  if (RedoStep()) ShowRestoredDocument();
}

void UpdateUndoItems() {
  const char* undo = UndoStepName();
  const char* redo = RedoStepName();
  SetUndoItem(IDM_EDIT_UNDO, "&Undo", undo, "Ctrl+Z");
  SetUndoItem(IDM_EDIT_REDO, "&Redo", redo, "Ctrl+Y");
  if (toolbar != nullptr) {
    EnableToolbarButton(kToolUndo - 1, undo != nullptr);
    EnableToolbarButton(kToolRedo - 1, redo != nullptr);
  }
}
