// The rules that tie the menus and toolbar together: what is enabled when,
// which check marks follow which setting, and the zoom text. The document
// side (SetAnimationEnabled, UpdateCutCopyEnabled) is declared in
// document/ui_operations.h.
#pragma once

void SetSaveAsEnabled(bool enabled);
void SetPasteEnabled(bool enabled);

// Enables or greys one menu command.
void EnableMenuCommand(int id, bool enabled);

// Duplicate frame, Move frame earlier and later: greyed on an empty list,
// at its ends, and (Duplicate) on a full one.
void UpdateFrameOrderItems();

// Check marks 301, 306 and 501 from their settings.
void UpdateCheckMarks();

// Shows or hides the frames window as settings.showFramesWindow says, with
// check mark 302 and toolbar command 15.
void ApplyFramesWindowVisibility();

// Toolbar command 16 pressed while the selection tool is on.
void UpdateSelectToolButton();

// Rewrites zoomText from zoom, scrolls the view home, recomputes the scroll
// ranges and updates the caption.
void UpdateZoomText();
