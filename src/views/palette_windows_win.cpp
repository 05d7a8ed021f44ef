// The colour swatch beside the transparent index and the palette window
// below the frames window's panel, drawn plainly: the swatch in the current
// frame's transparent colour, the palette as a grid of cells.
#include "views/palette_windows_win.h"

#include "document/document.h"
#include "shell/shell_state.h"
#include "views/frame_view_win.h"

RECT paletteWindowRect = {};

namespace {

constexpr int kCellsPerRow = 16;
constexpr int kRows = 256 / kCellsPerRow;

// Every main window built in one process registers the classes again.
bool RegisterWindowClass(HINSTANCE instance, const char* name, UINT style, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void FillWithColor(HDC dc, const RECT& area, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (brush == nullptr) return;
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

// The window colour when the current entry is no transparent image frame.
COLORREF SwatchColor() {
  if (!IsImageFrame(doc.currentFrame)) return windowColor;
  const Frame& frame = *doc.frames[doc.currentFrame];
  if (!frame.transparent) return windowColor;
  const PaletteEntry& entry = frame.palette[frame.transparentIndex & 0xFF];
  return RGB(entry.red, entry.green, entry.blue);
}

void PaintSwatch(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  FillWithColor(dc, client, SwatchColor());
  EndPaint(window, &paint);
}

// Cells of the shown palette's valid colours, 16 to a row from the top left;
// the rest of the window in the window colour.
void PaintPalette(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  FillWithColor(dc, client, windowColor);
  int count = shownPalette.count;
  if (count > 256) count = 256;
  int cellWidth = (client.right - client.left) / kCellsPerRow;
  int cellHeight = (client.bottom - client.top) / kRows;
  if (cellWidth < 1) cellWidth = 1;
  if (cellHeight < 1) cellHeight = 1;
  for (int i = 0; i < count; ++i) {
    const RgbTriple& color = shownPalette.colors[i];
    int x = (i % kCellsPerRow) * cellWidth;
    int y = (i / kCellsPerRow) * cellHeight;
    RECT cell = {x, y, x + cellWidth, y + cellHeight};
    FillWithColor(dc, cell, RGB(color.red, color.green, color.blue));
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintSwatch(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintPalette(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterSwatchClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, kSwatchClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, SwatchProc);
}

bool RegisterPaletteWindowClass(HINSTANCE instance) {
  return RegisterWindowClass(instance, kPaletteWindowClass, 0, PaletteWindowProc);
}
