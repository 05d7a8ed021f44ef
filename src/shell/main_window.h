// The main window: its class, its window procedure and its caption.
#pragma once

#include <windows.h>

constexpr char kMainWindowClass[] = "WindowsFramboClass";
// Caption of every message box the program shows.
constexpr char kProgramTitle[] = "Frambo Version 1.1";

// The main window. State: null until its WM_CREATE arrives, the window from
// then on, null again once WM_DESTROY has run (a message box shown after that
// has no owner).
extern HWND mainWindow;

// Registers WindowsFramboClass. False when registration failed.
bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window, hidden, captioned for the current document.
// Null when the window could not be created.
HWND CreateMainWindow(HINSTANCE instance);

// Sets the caption "Frambo - NAME ZOOM": NAME is doc.fileName after its last
// backslash, ZOOM the zoom text such as "(1:1)".
void UpdateTitle();
