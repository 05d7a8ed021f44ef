// The main window's toolbar: eighteen buttons in twenty-three places, their
// tooltips, and the states the menus keep in step with.
#pragma once

#include <windows.h>

// Toolbar commands arrive in WM_COMMAND as these ids.
enum ToolbarCommand : int {
  kToolNew = 1, kToolOpen, kToolSave, kToolSaveAs, kToolInsert, kToolAdd, kToolCut, kToolCopy,
  kToolPaste, kToolZoomOut, kToolZoomIn, kToolPlay, kToolStop, kToolAdvance, kToolFramesWindow,
  kToolSelect, kToolUndo, kToolRedo
};

// Creates the toolbar (bitmap resource 1) as a child of parent.
HWND CreateMainToolbar(HWND parent);

// Enables or greys toolbar command index + 1.
void EnableToolbarButton(int index, bool enabled);

// The two check buttons: pressed or not, always enabled.
void SetToolbarButtonPressed(int command, bool pressed);

// WM_NOTIFY of the main window: the tooltip texts. Returns the result.
LRESULT OnToolbarNotify(LPARAM lParam);
