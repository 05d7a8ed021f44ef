// The editor at the screen's resolution: every position and size placed in
// code is written for 96 DPI and scaled by the main window's DPI / 96, so
// that at 96 DPI everything stays exactly where it was.
#pragma once

#include <windows.h>

// Takes window's DPI (the system's where the call for a window's is missing).
void ReadDpi(HWND window);
// Sets it, as WM_DPICHANGED reports it.
void SetDpi(int dotsPerInch);
int CurrentDpi();

// value (a 96-DPI size) at the current DPI.
int Scaled(int value);
