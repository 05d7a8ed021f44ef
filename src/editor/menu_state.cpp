// The menu and toolbar states: which commands are enabled when, the check
// marks that follow the settings, the two toolbar check buttons and the zoom
// suffix of the caption. Every function here may run before the toolbar or
// the frames window exists, so each handle is tested before use.
#include "editor/menu_state.h"

#include <cstdio>

#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "resource_ids.h"
#include "editor/document_life.h"
#include "editor/image_view.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"
#include "render/view_geometry.h"

namespace {

// The Animation menu is enabled or greyed as a whole, by its position.
constexpr UINT kAnimationMenuPosition = 3;

void EnableTool(int command, bool enabled) {
  if (toolbar != nullptr) EnableToolbarButton(command - 1, enabled);
}

void SetCheckMark(int id, bool checked) {
  if (mainMenu != nullptr) CheckMenuItem(mainMenu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void EnableMenuCommand(int id, bool enabled) {
  if (mainMenu != nullptr) EnableMenuItem(mainMenu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetAnimationEnabled(bool enabled) {
  if (mainMenu != nullptr)
    EnableMenuItem(mainMenu, kAnimationMenuPosition, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  EnableTool(kToolPlay, enabled);
  EnableTool(kToolStop, enabled);
  EnableTool(kToolAdvance, enabled);
  if (mainWindow != nullptr) DrawMenuBar(mainWindow);
}

void SetSaveAsEnabled(bool enabled) {
  EnableMenuCommand(IDM_FILE_SAVE_AS, enabled);
  EnableTool(kToolSaveAs, enabled);
}

void SetPasteEnabled(bool enabled) {
  EnableMenuCommand(IDM_EDIT_PASTE, enabled);
  EnableMenuCommand(IDM_EDIT_PASTE_AT_END, enabled);
  EnableTool(kToolPaste, enabled);
}

void UpdateCutCopyEnabled() {
  const bool hasEntries = doc.frameCount != 0;
  EnableMenuCommand(IDM_EDIT_COPY, hasEntries);
  EnableMenuCommand(IDM_EDIT_CUT, hasEntries);
  EnableTool(kToolCut, hasEntries);
  EnableTool(kToolCopy, hasEntries);
}

void UpdateFrameOrderItems() {
  const bool listed = doc.currentFrame >= 0 && doc.currentFrame < doc.frameCount;
  EnableMenuCommand(IDM_EDIT_DUPLICATE_FRAME, listed && doc.frameCount < kMaxEntries);
  EnableMenuCommand(IDM_EDIT_MOVE_EARLIER, listed && doc.currentFrame > 0);
  EnableMenuCommand(IDM_EDIT_MOVE_LATER, listed && doc.currentFrame + 1 < doc.frameCount);
}

void UpdateCheckMarks() {
  SetCheckMark(IDM_VIEW_DIRTY_ONLY, settings.showOnlyDirtyRectangles != 0);
  SetCheckMark(IDM_VIEW_MARK_DIRTY, settings.markDirtyRectangles != 0);
  SetCheckMark(IDM_OPTIONS_COMMENT_FRAME, settings.addCreditComment != 0);
}

void ApplyFramesWindowVisibility() {
  const bool shown = settings.showFramesWindow != 0;
  if (framesWindow != nullptr) ShowWindow(framesWindow, shown ? SW_SHOW : SW_HIDE);
  SetCheckMark(IDM_VIEW_FRAMES_WINDOW, shown);
  if (toolbar != nullptr) SetToolbarButtonPressed(kToolFramesWindow, shown);
}

void UpdateSelectToolButton() {
  if (toolbar != nullptr) SetToolbarButtonPressed(kToolSelect, selectionState != kSelectionOff);
}

void UpdateZoomText() {
  snprintf(zoomText, sizeof zoomText, "%s", ZoomText(zoom).c_str());
  scrollX = 0;
  scrollY = 0;
  UpdateScrollRanges();
  UpdateTitle();
}
