// Dragging an entry of the frames list to another place moves it there.
#pragma once

#include <windows.h>

// Follows drags in the frames list: a button pressed on an entry and
// released over another moves the entry there, as one step of the undo
// history. A press and release on the same entry only selects it.
void FollowDragsIn(HWND list);
