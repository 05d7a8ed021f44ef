// The colour-count dialog shared by "Decrease number of colors" and
// "Calculate optimal palette": a number of colours, 2 to 256 in powers of
// two, stepped with the arrows of its number control or the arrow and page
// keys.
#pragma once

#include <windows.h>

// The number control's window class; it exists only while the dialog is open.
constexpr char kDepthControlClass[] = "WindowsGifdepthClass";

enum class ColourCountForm { kDecrease, kOptimalPalette };

// Runs dialog 200 modally over owner, starting at 2 << depthExponent and
// never going above 2 << depthExponentMax (both set by the caller). True for
// Ok (or Enter), false for CANCEL, Escape or the close box; depthExponent
// then holds the last number shown.
bool ColorCountDialog(HWND owner, ColourCountForm form);
