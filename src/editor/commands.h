// The main window's command dispatch: every menu and toolbar command.
#pragma once

#include <windows.h>

// WM_COMMAND of the main window with its whole wParam. Returns the result.
LRESULT OnCommand(WPARAM wParam);

// Moves the current entry to index, as repeated Move frame commands would,
// and shows it there, still current.
void MoveCurrentFrameTo(int index);

// When an image frame exists, makes the first one current and redraws.
void ShowFirstImageFrame();
