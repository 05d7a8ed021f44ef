// The colour swatch beside the transparent index and the palette window
// below the frames window's panel. Neither keeps state: each paint shows the
// palette the frame view last put up and the current frame's transparency.
// Colours are palette-relative and the frame's GDI palette is realised, so
// that on palette displays the cells show the frame's true colours.
#include "editor/palette_windows.h"

#include "colour/color_pick.h"
#include "document/document.h"
#include "document/settings.h"
#include "editor/dpi.h"
#include "editor/frame_view.h"
#include "editor/shell_state.h"
#include "editor/undo_commands.h"

RECT paletteWindowRect = {};

namespace {

constexpr int kCellCount = kPaletteColumns * kPaletteRows;
// The swatch's rectangle is larger than its client area, so only its top
// and left outline show: the border hides the other two.
constexpr int kSwatchExtent = 21;

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

COLORREF PaletteColour(const RgbTriple& colour) { return PALETTERGB(colour.red, colour.green, colour.blue); }

// How many of the shown colours are valid, whatever the count says.
int ShownCount() {
  int count = shownPalette.count;
  return count < 0 ? 0 : count > kCellCount ? kCellCount : count;
}

HPALETTE CurrentFramePalette() {
  if (doc.frameCount == 0 || doc.currentFrame < 0 || doc.currentFrame >= kMaxEntries) return nullptr;
  return static_cast<HPALETTE>(doc.framePalettes[doc.currentFrame]);
}

// One outlined rectangle in the DC's pen, filled with colour.
void FilledRectangle(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  if (brush == nullptr) return;
  HGDIOBJ replaced = SelectObject(dc, brush);
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, replaced);
  DeleteObject(brush);
}

// The current frame's palette in a paint DC for the length of one paint.
// The replaced palette goes back before the DC is released, so the frame's
// palette stays free to be deleted when the frame goes.
class FramePaletteInPaint {
 public:
  explicit FramePaletteInPaint(HDC dc) : dc_(dc) {
    if (!IsPaletteDisplay() || doc.frameCount == 0 || CurrentFramePalette() == nullptr) return;
    SelectFramePalette(dc, doc.currentFrame);
    replaced_ = previousPalette;
  }
  ~FramePaletteInPaint() {
    if (replaced_ != nullptr) SelectPalette(dc_, replaced_, FALSE);
  }
  FramePaletteInPaint(const FramePaletteInPaint&) = delete;
  FramePaletteInPaint& operator=(const FramePaletteInPaint&) = delete;

 private:
  HDC dc_;
  HPALETTE replaced_ = nullptr;
};

}  // namespace

// Cells in row order; those past the shown count are black. The area beyond
// the grid is left as it is: the class has no background brush.
void PaintPaletteCells(HDC dc) {
  if (!settings.showPalette) return;
  const int count = ShownCount();
  for (int k = 0; k < kCellCount; ++k) {
    const int cell = Scaled(kPaletteCellSize);
    int left = cell * (k % kPaletteColumns);
    int top = cell * (k / kPaletteColumns);
    COLORREF colour = k < count ? PaletteColour(shownPalette.colors[k]) : PALETTERGB(0, 0, 0);
    FilledRectangle(dc, left, top, left + cell + 1, top + cell + 1, colour);
  }
}

// A comment entry has no colours: it shows white like a frame without
// transparency.
void PaintSwatchColour(HDC dc) {
  COLORREF colour = PALETTERGB(255, 255, 255);
  if (IsImageFrame(doc.currentFrame)) {
    const Frame& frame = *doc.frames[doc.currentFrame];
    if (frame.transparent) colour = PaletteColour(shownPalette.colors[frame.transparentIndex & 0xFF]);
  }
  FilledRectangle(dc, 0, 0, Scaled(kSwatchExtent), Scaled(kSwatchExtent), colour);
}

namespace {

// The frame's palette realised in the window's own DC (the system palette
// follows it); the window repaints area when any entry changed.
LRESULT RealizeInWindow(HWND window, const RECT* area) {
  UINT realised = RealizeFramePaletteIn(window);
  if (realised > 0) InvalidateRect(window, area, TRUE);
  return static_cast<LRESULT>(realised);
}

LRESULT OnPaletteChanged(HWND window, HWND changedBy, const RECT* area) {
  return changedBy == window ? 0 : RealizeInWindow(window, area);
}

void OnSwatchPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  {
    FramePaletteInPaint framePalette(dc);
    PaintSwatchColour(dc);
  }
  EndPaint(window, &paint);
}

void OnPalettePaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  if (settings.showPalette) {
    FramePaletteInPaint framePalette(dc);
    PaintPaletteCells(dc);
  }
  EndPaint(window, &paint);
}

// "PICK" over the whole window while a pick is armed, the arrow otherwise.
LRESULT OnPaletteSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != window || LOWORD(lParam) != HTCLIENT)
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
  SetCursor(pickMode != kNoPick ? cursors.pick : cursors.arrow);
  return TRUE;
}

// A release consumes an armed pick wherever it lands; only a shown colour
// of the grid is taken. The point's words are read unsigned, so a point
// left of or above the window lies far off the grid.
void OnPaletteButtonUp(LPARAM point) {
  if (pickMode == kNoPick) return;
  SetCursor(cursors.arrow);
  unsigned column = LOWORD(point) / Scaled(kPaletteCellSize);
  unsigned row = HIWORD(point) / Scaled(kPaletteCellSize);
  unsigned cell = column + kPaletteColumns * row;
  // Past the last column the cell number would run into the next row.
  bool onShownColour = column < static_cast<unsigned>(kPaletteColumns) &&
                       row < static_cast<unsigned>(kPaletteRows) && doc.frameCount != 0 &&
                       cell < static_cast<unsigned>(ShownCount());
  ReleasePickAsStep(onShownColour ? static_cast<uint8_t>(cell) : 0, onShownColour);
}

LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnSwatchPaint(window);
      return 0;
    case WM_QUERYNEWPALETTE:
      return RealizeInWindow(window, nullptr);
    case WM_PALETTECHANGED:
      return OnPaletteChanged(window, reinterpret_cast<HWND>(wParam), nullptr);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PaletteWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_COMMAND:
      return 0;
    case WM_PAINT:
      OnPalettePaint(window);
      return 0;
    case WM_SETCURSOR:
      return OnPaletteSetCursor(window, wParam, lParam);
    case WM_LBUTTONUP:
      OnPaletteButtonUp(lParam);
      return 0;
    case WM_QUERYNEWPALETTE:
      return RealizeInWindow(window, &paletteWindowRect);
    case WM_PALETTECHANGED:
      return OnPaletteChanged(window, reinterpret_cast<HWND>(wParam), &paletteWindowRect);
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
