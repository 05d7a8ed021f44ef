// Frames through the system clipboard, and the clipboard-viewer chain that
// keeps Paste enabled while the clipboard offers a picture or a text.
#pragma once

#include <windows.h>

void CopyFrameToClipboard(int index);
void PasteFromClipboard(int index);
// Joins the viewer chain and sets Paste from what the clipboard holds.
void JoinClipboardChain(HWND window);
// Leaves the chain and empties the clipboard of the program's own data.
void LeaveClipboardChain(HWND window);
// WM_DRAWCLIPBOARD, WM_CHANGECBCHAIN and WM_DESTROYCLIPBOARD of the main window.
LRESULT OnClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Removes the temporary file of the last paste.
void RemovePasteFile();
