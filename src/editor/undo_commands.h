// Undo and Redo in the editor: each change the user makes becomes a step of
// the undo history named as the menu item or control that made it, and the
// Edit menu's items and the toolbar's buttons follow the history.
#pragma once

#include <cstdint>

// Records what a menu or toolbar command changed, as a step named after
// its menu item.
void RecordCommandStep(int command);

// Records a change made in the frames window's panel by control id: the
// boxes as steps of their own, typing into one field of one frame as one.
void RecordPanelStep(int controlId);

// A button release while a pick is armed (see ReleasePick), recorded as the
// step of the Colors command that armed it.
void ReleasePickAsStep(uint8_t index, bool applies);

// New and Open: the history starts again from the document as it is.
void RestartHistory();

void OnUndo();
void OnRedo();

// "&Undo <step>\tCtrl+Z" and "&Redo <step>\tCtrl+Y", greyed with nothing to
// take back or do again, and the toolbar buttons likewise.
void UpdateUndoItems();
