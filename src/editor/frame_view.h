// The window side of the frame view: the display bitmap made from the
// composed picture, the frames' GDI palettes on palette displays, the
// frame-properties panel's contents and the palette the palette window shows.
// RefreshFrameView, ResetRetainedPicture and the frame-palette operations are
// declared in document/ui_operations.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "document/document.h"
#include "document/ui_operations.h"

// The display bitmap in viewDC; null before the first image frame is shown.
extern HBITMAP displayBitmap;
// The palette a frame palette replaced in the screen DC or a paint DC;
// selected back when a frame palette is deleted.
extern HPALETTE previousPalette;

// What the palette window draws: 256 colours and how many are valid.
struct ShownPalette {
  RgbTriple colors[256];
  int16_t count;
};
extern ShownPalette shownPalette;

// Blanks and disables the frame-properties panel; nothing when quiet.
void ClearFramePanel(RefreshMode mode);

void ShowFramePaletteInfo(int frameIndex);
void ShowGlobalPaletteInfo();
void ShowNoPaletteInfo();

// Selects frame frameIndex's palette into dc (on palette displays), keeping
// the replaced one in previousPalette, and realises it when it changed.
// Returns the number of entries realised (0 elsewhere).
UINT SelectFramePalette(HDC dc, int frameIndex);

// Realises the current frame's palette in window's own DC (palette messages
// of the main window, the image view and the palette windows). The number
// of entries that changed in the system palette; 0 on other displays, with
// no frames, or for a comment entry.
UINT RealizeFramePaletteIn(HWND window);

// At shutdown: the display bitmap, the initial bitmap and the pictures go.
void ReleaseFrameView();
