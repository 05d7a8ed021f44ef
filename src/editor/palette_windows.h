// The colour swatch beside the transparent index and the palette window
// below the frames window's panel.
#pragma once

#include <windows.h>

constexpr char kSwatchClass[] = "WindowsGifcolClass";
constexpr char kPaletteWindowClass[] = "WindowsGifpaletaClass";

bool RegisterSwatchClass(HINSTANCE instance);
bool RegisterPaletteWindowClass(HINSTANCE instance);

// The palette window's client rectangle, taken when it was created.
extern RECT paletteWindowRect;

// The palette grid: 8 rows of 32 cells, each 10 pixels apart with an
// 11-pixel outline shared with its neighbours.
constexpr int kPaletteCellSize = 10;  // at 96 DPI
constexpr int kPaletteColumns = 32;
constexpr int kPaletteRows = 8;

// What the two windows draw on paint, into any DC (the window procedures
// call them after selecting the frame's palette): the grid of the shown
// palette when the palette part is shown, nothing otherwise; the swatch in
// the current frame's transparent colour, white when it has none.
void PaintPaletteCells(HDC dc);
void PaintSwatchColour(HDC dc);
