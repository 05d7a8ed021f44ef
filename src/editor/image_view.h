// The image view: the composed picture scaled by the zoom and shifted by the
// scroll offsets, comment texts, the dotted outlines, the selection tool and
// colour picks. CancelSelection is declared in document/ui_operations.h.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr char kImageViewClass[] = "WindowsGifbaseClass";

// Scroll offsets and their maxima, in logical-screen pixels. A screen may be
// up to 65535 pixels wide, so they are kept wider than 16 bits.
extern int32_t scrollX;
extern int32_t scrollY;
extern int32_t scrollMaxX;
extern int32_t scrollMaxY;

// 0 tool off; 1 tool on, no selection; 2 dragging; 3 a selection exists.
//   0 --ToggleSelectionTool--> 1 --ToggleSelectionTool--> 0 (from any state)
//   1 --button down inside the current frame--> 2
//   2 --button up inside--> 3 ("Crop frame to selection" enabled)
//   2 --button up outside--> 1 (rectangle zeroed)
//   3 --button down inside--> 2
//   2, 3 --CancelSelection--> 1 (RefreshFrameView calls it whenever the
//   current frame is not selectionFrame or the document is empty)
enum SelectionState : uint8_t { kSelectionOff = 0, kSelectionIdle, kSelectionDragging, kSelectionDone };
extern uint8_t selectionState;
extern int16_t selectionFrame;  // -1 for none
// Corners in frame pixels; the end may lie left of or above the start.
struct SelectionRect {
  int16_t startX, startY, endX, endY;
};
extern SelectionRect selectionRect;

bool RegisterImageViewClass(HINSTANCE instance);
// Creates the view over the view area, both scroll bars at 0..100.
HWND CreateImageView(HWND parent);

// Recomputes the scroll ranges from the screen size, the zoom and the view
// size, and sets both scroll bars.
void UpdateScrollRanges();

// Toolbar command 16: the selection tool on or off.
void ToggleSelectionTool();

// What the view shows, drawn into dc over the rectangle (0, 0)..(right,
// bottom), inclusive; WM_PAINT draws with it.
void PaintImageView(HDC dc, int right, int bottom);
