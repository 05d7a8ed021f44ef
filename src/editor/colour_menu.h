// The Colors menu: optimal palette, load and save palette, grey scale,
// decrease colours and the two colour picks, with the colour-count dialog
// and the palette-file dialogs.
#pragma once

#include <windows.h>

// WM_COMMAND 601..607 of the main window. Returns the result.
LRESULT OnColourCommand(int id);
