// The image view's arithmetic: where a picture lands in the view at a zoom
// level and scroll offsets, which picture pixel a view point is over, the
// scroll ranges and steps, and the zoom shown in the caption. Pure functions:
// the window passes its state in and applies what comes back.
//
// Units: logical pixels are the animation's screen; view pixels are the
// window's client area. zoom z > 0 magnifies z + 1 times, z < 0 shows
// 1/(1 - z); a zoom outside kMinZoom..kMaxZoom is taken as the nearer end.
// Divisions truncate toward zero.
//
// The editor keeps positions up to 65535 and sizes up to 32767 in 16 bits,
// which scaled 9 times or subtracted no longer fit: everything here is
// computed in 64 bits. Results are int32_t; for stored positions, sizes and
// scroll offsets they always fit (at most a few hundred thousand), and for
// any other input one that would not is held at the int32_t limit.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMinZoom = -8;
constexpr int kMaxZoom = 8;

// Logical pixels. A picture's or frame's rectangle, or an outline (whose
// width and height may be negative for a selection dragged up or left).
struct LogicalRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The client area, view pixels.
struct ViewSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The logical pixel shown at the view's top left.
struct ScrollOffsets {
  int32_t x = 0;
  int32_t y = 0;
};

// View pixels.
struct ViewRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Where the visible part of a rectangle lands. When visible, destination is
// where it covers the view (view pixels, at least 1x1, its top left inside
// the view) and source is the part of the rectangle it shows (logical
// pixels, relative to the rectangle's own top left): the blit's two sides.
// The source may reach one logical pixel past the view's far edge so that a
// pixel cut by the edge still shows its visible part.
struct Placement {
  bool visible = false;
  ViewRect destination;
  LogicalRect source;
};

Placement PlaceRectangle(const LogicalRect& rect, int zoom, ScrollOffsets scroll, ViewSize view);

// View point (*x, *y) to a point of frame: true with *x in 0..frame.width
// and *y in 0..frame.height, where width and height are the far edges (a
// view point on the placed rectangle's right or bottom edge still belongs to
// the frame). False, point untouched, when the frame is not visible or the
// point lies outside its placed rectangle.
bool ViewToFramePoint(int32_t* x, int32_t* y, const LogicalRect& frame, int zoom, ScrollOffsets scroll,
                      ViewSize view);

// As ViewToFramePoint, but only a point over one of the frame's pixels
// passes: the far edges do not. True with *x, *y the pixel's column and row
// (0..width-1, 0..height-1); false, point untouched, otherwise.
bool PickFramePixel(int32_t* x, int32_t* y, const LogicalRect& frame, int zoom, ScrollOffsets scroll,
                    ViewSize view);

// An outline (logical pixels) in view pixels: moved by the scroll offsets,
// then each of its four values scaled as a placement is.
ViewRect OutlineToView(const LogicalRect& outline, int zoom, ScrollOffsets scroll);

// The scroll bars' maxima, logical pixels, and the offsets kept within
// 0..maximum.
struct ScrollRanges {
  int32_t maxX = 0;
  int32_t maxY = 0;
  ScrollOffsets scroll;
};

// The ranges for a screen of screenWidth x screenHeight logical pixels shown
// in view: as far as the scaled screen is larger than the view, nothing
// when the document has no frames.
ScrollRanges ComputeScrollRanges(int32_t screenWidth, int32_t screenHeight, int32_t frameCount, int zoom,
                                 ScrollOffsets scroll, ViewSize view);

// What a scroll bar's request asks for, numbered as the window's scroll
// messages number them so that the code can be passed on as it comes.
enum class ScrollCode : int32_t {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kTop = 6,
  kBottom = 7,
};

// The offset after one scroll request on an axis whose offsets run
// 0..maximum (logical pixels, so a page is 10 logical pixels at any zoom).
// Thumb tracking and unknown codes leave the offset as it is; a thumb
// position outside 0..maximum is held within it.
int32_t ScrollStep(ScrollCode code, int32_t offset, int32_t maximum, int32_t thumbPosition);

// The offset after the wheel turned by delta (120 a notch, positive away
// from the user, which scrolls toward 0) on an axis of 0..maximum. A notch
// moves kWheelNotchViewPixels view pixels at any zoom, and any turn at least
// one logical pixel.
constexpr int32_t kWheelDelta = 120;
constexpr int32_t kWheelNotchViewPixels = 48;
int32_t WheelScrollStep(int32_t offset, int32_t maximum, int32_t delta, int zoom);

// The offsets that keep the logical pixel under view point (x, y) there when
// the zoom changes from before to after; ComputeScrollRanges then holds them
// within the new ranges.
ScrollOffsets ScrollAfterZoom(ScrollOffsets scroll, int before, int after, int32_t x, int32_t y);

// The zoom as the caption shows it: "(1:1)", "(3:1)", "(1:9)".
std::string ZoomText(int zoom);
