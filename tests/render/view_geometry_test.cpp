// The image view's arithmetic: placement at each zoom, point mapping and
// picking at the edges, zoom texts and scroll steps.
#include "render/view_geometry.h"

#include <gtest/gtest.h>

namespace {

std::string Text(const ViewRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

// Where the rectangle lands, or "hidden".
std::string Placed(const LogicalRect& rect, int zoom, ScrollOffsets scroll, ViewSize view) {
  Placement p = PlaceRectangle(rect, zoom, scroll, view);
  return p.visible ? Text(p.destination) : "hidden";
}

// "(x,y)" after mapping, or "no" when the mapping refused the point.
template <typename Map>
std::string Mapped(Map map, int32_t x, int32_t y, const LogicalRect& frame, int zoom, ScrollOffsets scroll = {},
                   ViewSize view = {200, 200}) {
  if (!map(&x, &y, frame, zoom, scroll, view)) return "no";
  return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

}  // namespace

TEST(ViewGeometry, ViewPointsMapToTheFramePixelShownThere) {
  LogicalRect frame{10, 20, 30, 40};
  EXPECT_EQ("(20,40) 60x80", Placed(frame, 1, {}, {200, 200})) << "expected view pixels (20,40)-(80,120)";
  EXPECT_EQ("(29,39)", Mapped(ViewToFramePoint, 79, 119, frame, 1));
  EXPECT_EQ("(30,40)", Mapped(ViewToFramePoint, 80, 120, frame, 1)) << "expected the far edges to map";
  EXPECT_EQ("no", Mapped(ViewToFramePoint, 81, 100, frame, 1));
  EXPECT_EQ("(29,39)", Mapped(PickFramePixel, 79, 119, frame, 1));
  EXPECT_EQ("no", Mapped(PickFramePixel, 80, 119, frame, 1)) << "expected the right edge to be no pixel";
  EXPECT_EQ("no", Mapped(PickFramePixel, 79, 120, frame, 1)) << "expected the bottom edge to be no pixel";
  // Zoomed out, and scrolled 7 columns in at 1:3 (view column 2 shows 7 + 6).
  EXPECT_EQ("(10,10)", Mapped(ViewToFramePoint, 5, 5, {0, 0, 50, 50}, -1));
  EXPECT_EQ("(13,0)", Mapped(PickFramePixel, 2, 0, {0, 0, 50, 50}, -2, {7, 0}));
  EXPECT_EQ("(1:1)(2:1)(9:1)(1:2)(1:9)", ZoomText(0) + ZoomText(1) + ZoomText(8) + ZoomText(-1) + ZoomText(-8));
}

TEST(ViewGeometry, ScrollStepsStayWithinTheRange) {
  // A page is 10 logical pixels whatever the zoom: the picture then shows
  // from column 10.
  for (int zoom = kMinZoom; zoom <= kMaxZoom; ++zoom) {
    ScrollRanges r = ComputeScrollRanges(1000, 1000, 1, zoom, {}, {50, 50});
    int32_t x = ScrollStep(ScrollCode::kPageDown, 0, r.maxX, 0);
    EXPECT_EQ(10, PlaceRectangle({0, 0, 1000, 1000}, zoom, {x, 0}, {50, 50}).source.left) << "zoom " << zoom;
  }
  EXPECT_EQ(95, ScrollStep(ScrollCode::kPageDown, 91, 95, 0));
  EXPECT_EQ(0, ScrollStep(ScrollCode::kPageUp, 4, 95, 0));
  EXPECT_EQ(40, ScrollStep(ScrollCode::kThumbTrack, 40, 95, 70)) << "expected thumb tracking ignored";
  EXPECT_EQ(70, ScrollStep(ScrollCode::kThumbPosition, 40, 95, 70));
  EXPECT_EQ(95, ScrollStep(ScrollCode::kThumbPosition, 40, 95, 300)) << "expected the thumb held at the maximum";
  EXPECT_EQ(40, ScrollStep(static_cast<ScrollCode>(8), 40, 95, 0)) << "expected an unknown code ignored";
}

TEST(ViewGeometry, WheelNotchIsViewPixelsAndZoomKeepsThePixelUnderThePointer) {
  // A notch down at 3:1 and 1:2, the least turn at 9:1, two notches held at the end.
  EXPECT_EQ("16 96 1 95", std::to_string(WheelScrollStep(0, 500, -120, 2)) + " " +
                              std::to_string(WheelScrollStep(0, 500, -120, -1)) + " " +
                              std::to_string(WheelScrollStep(0, 500, -1, 8)) + " " +
                              std::to_string(WheelScrollStep(90, 95, -240, 0)));
  const LogicalRect picture{0, 0, 20000, 20000};
  for (int zoom = kMinZoom; zoom < kMaxZoom; ++zoom)  // each step in and out, at view point (299, 17)
    for (auto [before, after] : {std::pair{zoom, zoom + 1}, std::pair{zoom + 1, zoom}}) {
      const ScrollOffsets kept = ScrollAfterZoom({3000, 3000}, before, after, 299, 17);
      EXPECT_EQ(Mapped(ViewToFramePoint, 299, 17, picture, before, {3000, 3000}, {300, 200}),
                Mapped(ViewToFramePoint, 299, 17, picture, after, kept, {300, 200}))
          << "zoom " << before << " to " << after;
    }
}
