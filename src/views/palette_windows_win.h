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
