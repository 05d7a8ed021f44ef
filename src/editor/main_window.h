// The main window: its class, the building of the whole window with every
// child and control, its window procedure (layout, background, palette
// realisation, shutdown) and what the message loop runs after each message.
#pragma once

#include <windows.h>

constexpr char kMainWindowClass[] = "WindowsFramboClass";

// Registers WindowsFramboClass (menu 1000, icon "MICON"). False on failure.
bool RegisterMainWindowClass(HINSTANCE instance);

// Builds the main window with its status bar, swap file, toolbar, progress
// bar, image view and frames window, shows it with showCommand and opens
// commandLine when it is not empty (the path exactly as typed). Null when
// the main window could not be created.
HWND CreateMainWindow(HINSTANCE instance, const char* commandLine, int showCommand);

// True when the last CreateMainWindow failed because the swap file could not
// be created in the temporary folder (the user has been told; the program
// ends with status 1).
bool SwapFileFailedAtStart();

// What the message loop runs after every dispatched message: the deferred
// save when it is due, then the frames window's pending change.
void AfterMessage();
