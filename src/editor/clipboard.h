// Frames through the system clipboard, and the clipboard-viewer chain that
// keeps Paste enabled while the clipboard offers a picture or a text.
#pragma once

#include <windows.h>

#include <cstdint>

// Puts entry index on the clipboard. True when the clipboard took it: Cut
// deletes the entry only then.
bool CopyFrameToClipboard(int index);
// Inserts the clipboard's picture or text as a new entry at index
// (0..frameCount). True when an entry was added; a refused paste leaves the
// document as it was.
bool PasteFromClipboard(int index);
// Joins the viewer chain and sets Paste from what the clipboard holds.
void JoinClipboardChain(HWND window);
// Leaves the chain; what the program put on the clipboard stays there.
void LeaveClipboardChain(HWND window);
// WM_DRAWCLIPBOARD, WM_CHANGECBCHAIN and WM_DESTROYCLIPBOARD of the main window.
LRESULT OnClipboardMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Removes the temporary file of the last paste.
void RemovePasteFile();

// The fields of the image frame copied last, given back to the frame a
// paste of that same picture makes.
struct CopiedFrameProperties {
  int16_t left = 0;
  int16_t top = 0;
  int16_t colorCount = 0;
  uint8_t sortFlag = 0;
  uint8_t interlaced = 0;
  uint8_t disposal = 0;
  uint8_t transparent = 0;
  uint16_t transparentIndex = 0;
  uint16_t delay = 0;
  uint8_t useGlobalPalette = 0;
};

// The clipboard's states as the program sees them:
//   clipboardBlock          the block last handed to the clipboard, null once
//                           the clipboard is emptied by anyone (WM_DESTROYCLIPBOARD)
//   clipboardHoldsOwnFrame  1 from an image copy until a window other than the
//                           main window owns the clipboard (WM_DRAWCLIPBOARD);
//                           a comment copy leaves it as it is
//   nextClipboardViewer     the window after the main window in the viewer chain
//   pasteFileName           the temporary bitmap file of a paste, "" once removed
extern HGLOBAL clipboardBlock;
extern uint8_t clipboardHoldsOwnFrame;
extern CopiedFrameProperties copiedFrameProperties;
extern HWND nextClipboardViewer;
extern char pasteFileName[256];
