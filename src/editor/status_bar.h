// The status bar's text part and the progress bar beside it. SetStatusText,
// the progress operations and the message boxes the core asks for are
// declared in document/ui_operations.h.
#pragma once

#include <windows.h>

#include <cstdint>

// Each also keeps its handle in shell_state. The progress bar is placed
// under the view area, so viewArea must be known first.
HWND CreateMainStatusBar(HWND parent);
HWND CreateMainProgressBar(HWND parent);

// Set while a load or save shows progress; UpdateTitle then leaves Cut and
// Copy alone.
extern uint8_t busy;

// The text the status bar shows.
const char* StatusText();

// Back to the state of a fresh start: not busy, no text, no progress.
void ResetStatusBarState();
