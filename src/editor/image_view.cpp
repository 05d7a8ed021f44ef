// The image view: copies the display bitmap that RefreshFrameView left in
// the view DC, scaled by the zoom and shifted by the scroll offsets; shows a
// comment entry as text; draws the dotted outline of the frame or of the
// selection; runs the selection tool and delivers colour picks. Painting
// never recomposes: one blit per paint. The wheel scrolls it and, with
// Ctrl, zooms about the pointer. The arithmetic is view_geometry.cpp.
#include "editor/image_view.h"

#include <windowsx.h>

#include <cstdio>

#include "colour/color_pick.h"
#include "document/document.h"
#include "document/settings.h"
#include "document/ui_operations.h"
#include "resource_ids.h"
#include "editor/document_life.h"
#include "editor/dpi.h"
#include "editor/frame_view.h"
#include "editor/frames_window.h"
#include "editor/menu_state.h"
#include "editor/shell_state.h"
#include "editor/undo_commands.h"
#include "render/frame_composer.h"
#include "render/view_geometry.h"

int32_t scrollX = 0;
int32_t scrollY = 0;
int32_t scrollMaxX = 100;
int32_t scrollMaxY = 100;
uint8_t selectionState = kSelectionOff;
int16_t selectionFrame = -1;
SelectionRect selectionRect = {};

namespace {

constexpr int kCropToSelectionCommand = 205;
constexpr int kInitialScrollMax = 100;

// A comment is shown from this work area; the rest of a longer one (its
// length may reach 32767) is not read.
constexpr int32_t kCommentWorkAreaSize = 5000;
char commentWorkArea[kCommentWorkAreaSize];

ScrollOffsets Scroll() { return {scrollX, scrollY}; }
ViewSize View() { return {viewWidth, viewHeight}; }

// The frame's rectangle as the composer places its picture.
LogicalRect FrameRectangle(const Frame& frame) {
  return {frame.left, frame.top, frame.width > 0 ? frame.width : 0, frame.height > 0 ? frame.height : 0};
}

const Frame* CurrentImageFrame() {
  return IsImageFrame(doc.currentFrame) ? doc.frames[doc.currentFrame].get() : nullptr;
}

void InvalidateView(HWND window) { InvalidateRect(window, nullptr, TRUE); }

// The current frame's pixel under view point (x, y), when there is one to
// pick: the column and row in *x, *y.
bool PickPoint(int32_t* x, int32_t* y) {
  const Frame* frame = CurrentImageFrame();
  if (frame == nullptr || doc.screenWidth == 0) return false;
  return PickFramePixel(x, y, FrameRectangle(*frame), zoom, Scroll(), View());
}

// View point to a point of the current frame (far edges included).
bool FramePoint(int32_t* x, int32_t* y) {
  const Frame* frame = CurrentImageFrame();
  return frame != nullptr && ViewToFramePoint(x, y, FrameRectangle(*frame), zoom, Scroll(), View());
}

void ShowSelectionText(const Frame& frame) {
  char text[80];
  snprintf(text, sizeof text, "(%i,%i)->(%i,%i)", frame.left + selectionRect.startX,
           frame.top + selectionRect.startY, frame.left + selectionRect.endX, frame.top + selectionRect.endY);
  SetStatusText(text);
}

void ShowPointerText(const Frame& frame, int32_t x, int32_t y) {
  char text[40];
  snprintf(text, sizeof text, "(%i,%i)", static_cast<int>(frame.left + x), static_cast<int>(frame.top + y));
  SetStatusText(text);
}

// One stored pixel of the current frame, read from the swap file: the frame's
// own index, not what the composed picture shows there.
uint8_t ReadFramePixel(const Frame& frame, int32_t x, int32_t y) {
  uint32_t row = static_cast<uint32_t>(frame.height - 1 - y);
  uint32_t offset = frame.dataOffset + static_cast<uint32_t>(x) + row * static_cast<uint32_t>(RowStride(frame.width));
  uint8_t index = 0;
  doc.swapFile.ReadAt(offset, &index, 1);
  return index;
}

void PaintComment(HDC dc, const Frame& entry, int right, int bottom) {
  FillInclusive(dc, 0, 0, right, bottom, COLOR_WINDOW);
  int32_t length = entry.left > kCommentWorkAreaSize ? kCommentWorkAreaSize : entry.left;
  if (length <= 0) return;
  doc.swapFile.ReadAt(entry.dataOffset, commentWorkArea, length);
  SetTextColor(dc, windowTextColor);
  SetBkColor(dc, windowColor);
  RECT area = {0, 0, right, bottom};
  DrawTextA(dc, commentWorkArea, length, &area, DT_NOPREFIX);
}

// The outline around the picture's frame or the selection, logical pixels;
// false when there is none.
bool PictureOutline(LogicalRect* outline) {
  if (!IsImageFrame(newPicture.frame)) return false;
  const Frame& frame = *doc.frames[newPicture.frame];
  if (selectionState == kSelectionDragging || selectionState == kSelectionDone) {
    *outline = {frame.left + selectionRect.startX, frame.top + selectionRect.startY,
                selectionRect.endX - selectionRect.startX, selectionRect.endY - selectionRect.startY};
    return true;
  }
  if (settings.markDirtyRectangles) {
    *outline = FrameRectangle(frame);
    return true;
  }
  return false;
}

void DrawOutline(HDC dc, const ViewRect& outline) {
  POINT corners[5] = {{outline.left, outline.top},
                      {outline.left + outline.width, outline.top},
                      {outline.left + outline.width, outline.top + outline.height},
                      {outline.left, outline.top + outline.height},
                      {outline.left, outline.top}};
  HPEN pen = CreatePen(PS_DOT, 0, RGB(0, 0, 0));
  if (pen == nullptr) return;
  HGDIOBJ replaced = SelectObject(dc, pen);
  Polyline(dc, corners, 5);
  SelectObject(dc, replaced);
  DeleteObject(pen);
}

void PaintPicture(HDC dc, int right, int bottom) {
  LogicalRect picture = {newPicture.left, newPicture.top, newPicture.width, newPicture.height};
  Placement placement = PlaceRectangle(picture, zoom, Scroll(), View());
  // Without a display bitmap (a refresh that could not build its picture)
  // there is nothing to copy: background, rather than the DC's empty bitmap.
  if (!placement.visible || displayBitmap == nullptr) {
    FillInclusive(dc, 0, 0, right, bottom, COLOR_WINDOW);
    return;
  }
  const ViewRect& to = placement.destination;
  const LogicalRect& from = placement.source;
  FillInclusive(dc, 0, 0, right, to.top, COLOR_WINDOW);
  FillInclusive(dc, 0, to.top + to.height, right, bottom, COLOR_WINDOW);
  FillInclusive(dc, 0, to.top, to.left, to.top + to.height, COLOR_WINDOW);
  FillInclusive(dc, to.left + to.width, to.top, right, to.top + to.height, COLOR_WINDOW);
  if (zoom == 0) {
    BitBlt(dc, to.left, to.top, to.width, to.height, viewDC, from.left, from.top, SRCCOPY);
  } else {
    // Shrinking keeps whole pixels rather than ANDing colours together.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, to.left, to.top, to.width, to.height, viewDC, from.left, from.top, from.width, from.height,
               SRCCOPY);
  }
  LogicalRect outline;
  if (PictureOutline(&outline)) DrawOutline(dc, OutlineToView(outline, zoom, Scroll()));
}

// --- messages ---------------------------------------------------------------

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc != nullptr) {
    // The view area's extent in the main window, which covers at least the
    // view's client area.
    RECT client;
    GetClientRect(window, &client);
    int right = viewArea.right > client.right ? viewArea.right : client.right;
    int bottom = viewArea.bottom - Scaled(kStatusStripHeight) > client.bottom ? viewArea.bottom - Scaled(kStatusStripHeight)
                                                                      : client.bottom;
    PaintImageView(dc, right, bottom);
  }
  EndPaint(window, &paint);
  if (static_cast<int8_t>(saveState) > 0) saveState |= kViewPainted;
}

void ScrollTo(HWND window, int bar, int32_t moved) {
  int32_t* offset = bar == SB_HORZ ? &scrollX : &scrollY;
  if (moved == *offset) return;
  *offset = moved;
  SetScrollPos(window, bar, moved, TRUE);
  UpdateTitle();
  InvalidateView(window);
}

void OnScroll(HWND window, int bar, WPARAM wParam) {
  const int32_t offset = bar == SB_HORZ ? scrollX : scrollY;
  const int32_t maximum = bar == SB_HORZ ? scrollMaxX : scrollMaxY;
  ScrollTo(window, bar, ScrollStep(static_cast<ScrollCode>(LOWORD(wParam)), offset, maximum, HIWORD(wParam)));
}

// One step of the View menu's zoom, then the scroll offsets that keep the
// picture's point under the pointer (a point on the screen) where it was.
void ZoomAboutPointer(HWND window, int32_t delta, POINT pointer) {
  if (delta == 0 || mainWindow == nullptr) return;
  ScreenToClient(window, &pointer);
  const int before = zoom;
  const ScrollOffsets scroll = Scroll();
  SendMessageA(mainWindow, WM_COMMAND, delta > 0 ? IDM_VIEW_ZOOM_IN : IDM_VIEW_ZOOM_OUT, 0);
  if (zoom == before) return;
  const ScrollOffsets kept = ScrollAfterZoom(scroll, before, zoom, pointer.x, pointer.y);
  scrollX = kept.x;
  scrollY = kept.y;
  UpdateScrollRanges();
}

// The wheel scrolls up and down, with Shift left and right, with Ctrl zooms.
void OnWheel(HWND window, WPARAM wParam, LPARAM lParam) {
  const WORD keys = GET_KEYSTATE_WPARAM(wParam);
  const int32_t delta = GET_WHEEL_DELTA_WPARAM(wParam);
  if (keys & MK_CONTROL) {
    ZoomAboutPointer(window, delta, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  } else if (keys & MK_SHIFT) {
    ScrollTo(window, SB_HORZ, WheelScrollStep(scrollX, scrollMaxX, delta, zoom));
  } else {
    ScrollTo(window, SB_VERT, WheelScrollStep(scrollY, scrollMaxY, delta, zoom));
  }
}

// The cross over the frame while the selection tool is on, "PICK" over a
// pixel while a pick is armed, else the arrow.
HCURSOR CursorAt(int32_t x, int32_t y) {
  if (selectionState != kSelectionOff && doc.frameCount != 0) return FramePoint(&x, &y) ? cursors.cross : cursors.arrow;
  if (pickMode != kNoPick && doc.frameCount != 0 && CurrentImageFrame() != nullptr && doc.screenWidth != 0)
    return PickPoint(&x, &y) ? cursors.pick : cursors.arrow;
  return cursors.arrow;
}

// Set here rather than left to the class cursor, which would show between
// two moves. A child (the frames window) sets its own.
LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != window || LOWORD(lParam) != HTCLIENT)
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
  POINT point = {};
  GetCursorPos(&point);
  ScreenToClient(window, &point);
  SetCursor(CursorAt(point.x, point.y));
  return TRUE;
}

void OnMouseMove(HWND window, int32_t x, int32_t y) {
  if (selectionState != kSelectionOff && doc.frameCount != 0) {
    if (!FramePoint(&x, &y)) return;
    selectionFrame = doc.currentFrame;
    const Frame& frame = *doc.frames[doc.currentFrame];
    if (selectionState == kSelectionDragging) {
      selectionRect.endX = static_cast<int16_t>(x);
      selectionRect.endY = static_cast<int16_t>(y);
      ShowSelectionText(frame);
      InvalidateView(window);
    } else if (selectionState == kSelectionIdle) {
      ShowPointerText(frame, x, y);
    }
  }
}

void OnButtonDown(HWND window, int32_t x, int32_t y) {
  // Keys typed after a click on the picture act on the frames, not on the
  // frames window's field that had them before.
  SetFocus(window);
  if (selectionState == kSelectionOff || doc.frameCount == 0 || !FramePoint(&x, &y)) return;
  EnableMenuCommand(kCropToSelectionCommand, false);
  selectionState = kSelectionDragging;
  selectionFrame = doc.currentFrame;
  selectionRect = {static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(x),
                   static_cast<int16_t>(y)};
  InvalidateView(window);
}

void EndSelectionDrag(HWND window, int32_t x, int32_t y) {
  if (!FramePoint(&x, &y)) {
    selectionFrame = -1;
    selectionRect = {};
    selectionState = kSelectionIdle;
    SetStatusText("");
  } else {
    selectionFrame = doc.currentFrame;
    selectionState = kSelectionDone;
    EnableMenuCommand(kCropToSelectionCommand, true);
    selectionRect.endX = static_cast<int16_t>(x);
    selectionRect.endY = static_cast<int16_t>(y);
  }
  InvalidateView(window);
}

void OnButtonUp(HWND window, int32_t x, int32_t y) {
  if (selectionState == kSelectionDragging && doc.frameCount != 0) {
    EndSelectionDrag(window, x, y);
    return;
  }
  if (pickMode == kNoPick) return;
  SetCursor(cursors.arrow);
  bool overPixel = doc.frameCount != 0 && PickPoint(&x, &y);
  ReleasePickAsStep(overPixel ? ReadFramePixel(*doc.frames[doc.currentFrame], x, y) : 0, overPixel);
}

// Realises the current frame's palette in the view; the number of entries
// that changed.
LRESULT OnPaletteNeeded(HWND window) {
  if (!IsPaletteDisplay() || doc.frameCount == 0) return 0;
  UINT realised = RealizeFramePaletteIn(window);
  InvalidateView(window);
  return static_cast<LRESULT>(realised);
}

LRESULT CALLBACK ImageViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_SIZE:
      // The main window's size, or the scroll bars coming or going.
      KeepFramesWindowInView();
      return 0;
    case WM_HSCROLL:
      OnScroll(window, SB_HORZ, wParam);
      return 0;
    case WM_VSCROLL:
      OnScroll(window, SB_VERT, wParam);
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(window, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(window, wParam, lParam);
    case WM_MOUSEMOVE:
      OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_QUERYNEWPALETTE:
      return OnPaletteNeeded(window);
    case WM_PALETTECHANGED:
      return reinterpret_cast<HWND>(wParam) == window ? 0 : OnPaletteNeeded(window);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterImageViewClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ImageViewProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kImageViewClass;
  // Every editor built in one process registers again.
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateImageView(HWND parent) {
  // A fresh view starts unscrolled with the tool off.
  scrollX = 0;
  scrollY = 0;
  selectionState = kSelectionOff;
  selectionFrame = -1;
  selectionRect = {};
  HWND window = CreateWindowExA(0, kImageViewClass, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                viewArea.left, viewArea.top, viewArea.right, viewHeight, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kImageViewId)), appInstance, nullptr);
  if (window == nullptr) return nullptr;
  SetScrollRange(window, SB_VERT, 0, kInitialScrollMax, FALSE);
  SetScrollPos(window, SB_VERT, 0, TRUE);
  SetScrollRange(window, SB_HORZ, 0, kInitialScrollMax, FALSE);
  SetScrollPos(window, SB_HORZ, 0, TRUE);
  scrollMaxX = kInitialScrollMax;
  scrollMaxY = kInitialScrollMax;
  return window;
}

void UpdateScrollRanges() {
  ScrollRanges ranges = ComputeScrollRanges(doc.screenWidth, doc.screenHeight, doc.frameCount, zoom, Scroll(), View());
  scrollMaxX = ranges.maxX;
  scrollMaxY = ranges.maxY;
  scrollX = ranges.scroll.x;
  scrollY = ranges.scroll.y;
  if (imageView == nullptr) return;
  SetScrollRange(imageView, SB_VERT, 0, scrollMaxY, FALSE);
  SetScrollPos(imageView, SB_VERT, scrollY, TRUE);
  SetScrollRange(imageView, SB_HORZ, 0, scrollMaxX, FALSE);
  SetScrollPos(imageView, SB_HORZ, scrollX, TRUE);
}

void ToggleSelectionTool() {
  EnableMenuCommand(kCropToSelectionCommand, false);
  selectionState = selectionState == kSelectionOff ? kSelectionIdle : kSelectionOff;
  selectionFrame = -1;
  SetStatusText("");
  UpdateSelectToolButton();
  // A selection's outline goes with the tool.
  if (imageView != nullptr) InvalidateView(imageView);
}

void CancelSelection() {
  if (selectionState <= kSelectionIdle) return;
  selectionState = kSelectionIdle;
  EnableMenuCommand(kCropToSelectionCommand, false);
  selectionFrame = -1;
  SetStatusText("");
}

void PaintImageView(HDC dc, int right, int bottom) {
  if (doc.frameCount == 0) {
    FillInclusive(dc, 0, 0, right, bottom, COLOR_WINDOW);
    return;
  }
  SelectFramePalette(dc, doc.currentFrame);
  if (!IsImageFrame(doc.currentFrame)) {
    if (doc.currentFrame >= 0 && doc.currentFrame < doc.frameCount)
      PaintComment(dc, *doc.frames[doc.currentFrame], right, bottom);
    else
      FillInclusive(dc, 0, 0, right, bottom, COLOR_WINDOW);
    return;
  }
  // Before the first picture of a document (or on an empty screen) the
  // background, so that nothing stale shows through.
  if (doc.screenWidth != 0 && newPicture.frame >= 0)
    PaintPicture(dc, right, bottom);
  else
    FillInclusive(dc, 0, 0, right, bottom, COLOR_WINDOW);
}
