// The image view's arithmetic, in 64 bits throughout: a stored position
// minus a scroll offset, or a size scaled 9 times, leaves 16 bits and a
// huge view times 9 leaves 32.
#include "render/view_geometry.h"

#include <limits>

namespace {

constexpr int64_t kPageStep = 10;

int ClampZoom(int zoom) { return zoom < kMinZoom ? kMinZoom : zoom > kMaxZoom ? kMaxZoom : zoom; }

int64_t NotNegative(int64_t v) { return v < 0 ? 0 : v; }

int32_t ToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Logical pixels to view pixels; zoom already clamped.
int64_t ToView(int64_t v, int zoom) {
  if (zoom > 0) return v * (zoom + 1);
  if (zoom < 0) return v / (1 - zoom);
  return v;
}

// View pixels to logical pixels; zoom already clamped.
int64_t ToLogical(int64_t v, int zoom) {
  if (zoom > 0) return v / (zoom + 1);
  if (zoom < 0) return v * (1 - zoom);
  return v;
}

// A placement before it is narrowed to int32_t.
struct Placed {
  bool visible = false;
  int64_t dx = 0, dy = 0, w = 0, h = 0;  // view pixels
  int64_t cx = 0, cy = 0;                // first column and row shown
  int64_t sourceWidth = 0, sourceHeight = 0;
};

// Where rect lands on one axis: logical start d, first shown column c and
// shown length n. False when nothing of it lies within extent.
bool PlaceAxis(int64_t start, int64_t length, int64_t scroll, int64_t extent, int64_t* d, int64_t* c, int64_t* n) {
  *d = start - scroll;
  *c = 0;
  if (*d < 0) {
    *c = -*d;
    *d = 0;
  }
  *n = length - *c;
  if (*n < 1) return false;
  // One pixel past the extent, for the pixel the view's edge cuts.
  if (*n + *d > extent) *n = extent - *d + 1;
  // Starting past the extent leaves no width at all.
  return *n >= 1;
}

Placed Place(const LogicalRect& rect, int zoom, ScrollOffsets scroll, ViewSize view) {
  Placed p;
  zoom = ClampZoom(zoom);
  int64_t viewWidth = NotNegative(view.width);
  int64_t viewHeight = NotNegative(view.height);
  int64_t dx, dy, w, h;
  if (!PlaceAxis(rect.left, rect.width, scroll.x, ToLogical(viewWidth, zoom), &dx, &p.cx, &w) ||
      !PlaceAxis(rect.top, rect.height, scroll.y, ToLogical(viewHeight, zoom), &dy, &p.cy, &h))
    return p;
  p.sourceWidth = w;
  p.sourceHeight = h;
  p.dx = ToView(dx, zoom);
  p.dy = ToView(dy, zoom);
  p.w = ToView(w, zoom);
  p.h = ToView(h, zoom);
  // Visible only when it covers a view pixel inside the view: starting on
  // the extent's edge (unless a cut pixel shows there) or shrunk below one
  // view pixel, it would be drawn outside the view or not at all.
  p.visible = p.dx < viewWidth && p.dy < viewHeight && p.w >= 1 && p.h >= 1;
  return p;
}

}  // namespace

Placement PlaceRectangle(const LogicalRect& rect, int zoom, ScrollOffsets scroll, ViewSize view) {
  Placed p = Place(rect, zoom, scroll, view);
  Placement placement;
  if (!p.visible) return placement;
  placement.visible = true;
  placement.destination = {ToInt32(p.dx), ToInt32(p.dy), ToInt32(p.w), ToInt32(p.h)};
  placement.source = {ToInt32(p.cx), ToInt32(p.cy), ToInt32(p.sourceWidth), ToInt32(p.sourceHeight)};
  return placement;
}

bool ViewToFramePoint(int32_t* x, int32_t* y, const LogicalRect& frame, int zoom, ScrollOffsets scroll,
                      ViewSize view) {
  Placed p = Place(frame, zoom, scroll, view);
  if (!p.visible) return false;
  int64_t vx = *x, vy = *y;
  if (vx < p.dx || vx > p.dx + p.w || vy < p.dy || vy > p.dy + p.h) return false;
  zoom = ClampZoom(zoom);
  *x = ToInt32(ToLogical(vx - p.dx, zoom) + p.cx);
  *y = ToInt32(ToLogical(vy - p.dy, zoom) + p.cy);
  return true;
}

bool PickFramePixel(int32_t* x, int32_t* y, const LogicalRect& frame, int zoom, ScrollOffsets scroll,
                    ViewSize view) {
  int32_t px = *x, py = *y;
  if (!ViewToFramePoint(&px, &py, frame, zoom, scroll, view)) return false;
  if (px < 0 || px >= frame.width || py < 0 || py >= frame.height) return false;
  *x = px;
  *y = py;
  return true;
}

ViewRect OutlineToView(const LogicalRect& outline, int zoom, ScrollOffsets scroll) {
  zoom = ClampZoom(zoom);
  return {ToInt32(ToView(int64_t{outline.left} - scroll.x, zoom)),
          ToInt32(ToView(int64_t{outline.top} - scroll.y, zoom)), ToInt32(ToView(outline.width, zoom)),
          ToInt32(ToView(outline.height, zoom))};
}

ScrollRanges ComputeScrollRanges(int32_t screenWidth, int32_t screenHeight, int32_t frameCount, int zoom,
                                 ScrollOffsets scroll, ViewSize view) {
  zoom = ClampZoom(zoom);
  int64_t maxX = 0, maxY = 0;
  if (frameCount > 0) {
    maxX = ToLogical(NotNegative(ToView(screenWidth, zoom) - NotNegative(view.width)), zoom);
    maxY = ToLogical(NotNegative(ToView(screenHeight, zoom) - NotNegative(view.height)), zoom);
  }
  ScrollRanges ranges;
  ranges.maxX = ToInt32(maxX);
  ranges.maxY = ToInt32(maxY);
  // A negative offset would show what lies left of the screen: held at 0.
  ranges.scroll.x = ToInt32(scroll.x > maxX ? maxX : NotNegative(scroll.x));
  ranges.scroll.y = ToInt32(scroll.y > maxY ? maxY : NotNegative(scroll.y));
  return ranges;
}

int32_t ScrollStep(ScrollCode code, int32_t offset, int32_t maximum, int32_t thumbPosition) {
  int64_t at = offset;
  int64_t last = NotNegative(maximum);
  switch (code) {
    case ScrollCode::kLineUp:
      return ToInt32(at > 0 ? at - 1 : at);
    case ScrollCode::kLineDown:
      return ToInt32(at < last ? at + 1 : at);
    case ScrollCode::kPageUp:
      return ToInt32(NotNegative(at - kPageStep));
    case ScrollCode::kPageDown:
      return ToInt32(at + kPageStep > last ? last : at + kPageStep);
    case ScrollCode::kThumbPosition:
      // The bar reports where the thumb was let go; held within the range
      // so that a stale or forged position cannot scroll off the screen.
      return ToInt32(thumbPosition > last ? last : NotNegative(thumbPosition));
    case ScrollCode::kTop:
      return 0;
    case ScrollCode::kBottom:
      return ToInt32(last);
    case ScrollCode::kThumbTrack:
      break;
  }
  return offset;
}

int32_t WheelScrollStep(int32_t offset, int32_t maximum, int32_t delta, int zoom) {
  const int64_t notch = ToLogical(kWheelNotchViewPixels, ClampZoom(zoom));
  int64_t moved = -int64_t{delta} * notch / kWheelDelta;
  if (moved == 0 && delta != 0) moved = delta > 0 ? -1 : 1;
  const int64_t at = int64_t{offset} + moved;
  const int64_t last = NotNegative(maximum);
  return ToInt32(at > last ? last : NotNegative(at));
}

ScrollOffsets ScrollAfterZoom(ScrollOffsets scroll, int before, int after, int32_t x, int32_t y) {
  before = ClampZoom(before);
  after = ClampZoom(after);
  return {ToInt32(scroll.x + ToLogical(x, before) - ToLogical(x, after)),
          ToInt32(scroll.y + ToLogical(y, before) - ToLogical(y, after))};
}

std::string ZoomText(int zoom) {
  zoom = ClampZoom(zoom);
  if (zoom > 0) return "(" + std::to_string(zoom + 1) + ":1)";
  if (zoom < 0) return "(1:" + std::to_string(1 - zoom) + ")";
  return "(1:1)";
}
