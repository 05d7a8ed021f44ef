// The editor's process-wide objects: its windows, the shared device contexts,
// cursors and system colours, the view area and the zoom. They are made when
// the main window is built and released when it is destroyed; every part of
// the editor reads them directly.
#pragma once

#include <windows.h>

#include <cstdint>

// Caption of every message box the program shows.
constexpr char kProgramTitle[] = "Frambo Version 1.1";

// Child-window identifiers and the strips around the view area.
constexpr int kStatusBarId = 333;
constexpr int kProgressBarId = 500;
constexpr int kImageViewId = 60;
constexpr int kFramesWindowId = 60;
constexpr int kToolbarStripHeight = 25;
constexpr int kStatusStripHeight = 20;

extern HINSTANCE appInstance;
// Null until created (the main window from its WM_CREATE on), null again
// once the main window's WM_DESTROY has run.
extern HWND mainWindow;
extern HMENU mainMenu;
extern HWND toolbar;
extern HWND statusBar;
extern HWND progressBar;
extern HWND imageView;
extern HWND framesWindow;

struct Cursors {
  HCURSOR arrow = nullptr;
  HCURSOR wait = nullptr;
  HCURSOR pick = nullptr;  // "PICK": colour picks
  HCURSOR cross = nullptr;  // the selection tool over the frame
};
extern Cursors cursors;

extern HDC screenDC;  // GetDC of the whole screen, for the whole run
extern HDC viewDC;    // compatible memory DC holding the display bitmap
extern COLORREF windowTextColor;
extern COLORREF windowColor;

// Bit 0: the display is palette-based; bit 6: it has 8 bits per pixel. A
// palette display is one where this is not 0; only there do frames have GDI
// palettes.
extern uint8_t displayFlags;
inline bool IsPaletteDisplay() { return displayFlags != 0; }

// The main window's client area less the toolbar strip above and the status
// strip below, and its size.
extern RECT viewArea;
extern int16_t viewWidth;
extern int16_t viewHeight;

// -8..8: a level z > 0 magnifies z + 1 times, z < 0 shows 1/(1 - z).
extern int16_t zoom;
// The caption's zoom suffix, "(1:1)" to "(9:1)" or "(1:9)".
extern char zoomText[6];
// The frame shown before the current one, -1 when none.
extern int16_t previousFrame;

// Fills the rectangle with inclusive corners (x1, y1)..(x2, y2) with the
// system colour brush colorIndex + 1 (COLOR_BTNFACE or COLOR_WINDOW); nothing
// unless x1 < x2 and y1 < y2.
void FillInclusive(HDC dc, int x1, int y1, int x2, int y2, int colorIndex);
