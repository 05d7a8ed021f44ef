// The editor's process-wide windows, GDI objects, view area and zoom, and
// the rectangle filler the main window and the image view share.
#include "editor/shell_state.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HMENU mainMenu = nullptr;
HWND toolbar = nullptr;
HWND statusBar = nullptr;
HWND progressBar = nullptr;
HWND imageView = nullptr;
HWND framesWindow = nullptr;
Cursors cursors;
HDC screenDC = nullptr;
HDC viewDC = nullptr;
COLORREF windowTextColor = 0;
COLORREF windowColor = 0;
uint8_t displayFlags = 0;
RECT viewArea = {};
int16_t viewWidth = 0;
int16_t viewHeight = 0;
int16_t zoom = 0;
char zoomText[6] = "(1:1)";
int16_t previousFrame = -1;

void FillInclusive(HDC dc, int x1, int y1, int x2, int y2, int colorIndex) {
  if (x1 >= x2 || y1 >= y2) return;
  RECT area = {x1, y1, x2 + 1, y2 + 1};
  FillRect(dc, &area, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colorIndex + 1)));
}
