// What the editor's message loop does with each message. The program's
// entry and the GUI tests' pump both hand every message here, so that the
// tests go through the same translation as a user's keys and wheel.
#pragma once

#include <windows.h>

// Sends message where it belongs and runs AfterMessage: the wheel to the
// window under the pointer, a key to the main window as the menu command the
// accelerator table gives it (unless the focused text field or list keeps
// it), Tab and Shift+Tab through the frames window's controls, anything else
// translated and dispatched as usual.
void ProcessMessage(MSG* message);
