// The image view as a user drives it: where a zoomed frame lands and which
// pixel a pointer is over, the selection tool with its texts and outline,
// colour picks, scrolling, and comment entries shown as text.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gif_builder.h"
#include "colour/color_pick.h"
#include "document/document.h"
#include "document/settings.h"
#include "gui_harness.h"
#include "view_test_support.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/shell_state.h"
#include "editor/toolbar.h"

namespace {

constexpr int kCropToSelection = 205;
constexpr int kZoomIn = 303;
constexpr int kZoomOut = 304;
constexpr int kMarkDirty = 306;
constexpr int kNextFrame = 403;
const COLORREF kBackground = GetSysColor(COLOR_WINDOW);
const COLORREF kBlack = RGB(0, 0, 0);

// A screen on GifBuilder's table (entry 1 is (1, 1, 254)) with one frame of
// colour 1.
std::string OneFrame(const char* name, int screenWidth, int screenHeight, int left, int top, int width, int height) {
  GifBuilder gif;
  gif.Header().Screen(screenWidth, screenHeight, 4);
  gif.Image(left, top, width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 1));
  return WriteGif(name, gif);
}

void Mouse(EditorSession& session, UINT message, int x, int y) {
  SendMessageA(imageView, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  session.Pump();
}

void Scroll(EditorSession& session, UINT message, int code, int position = 0) {
  SendMessageA(imageView, message, MAKEWPARAM(code, position), 0);
  session.Pump();
}

int ScrollMax(int bar) {
  int low = -1, high = -1;
  GetScrollRange(imageView, bar, &low, &high);
  return high;
}

TEST(ImageViewGeometry, ZoomedFramesLandWhereTheirPixelsAreAndFarEdgesBelongToThem) {
  EditorSession session(OneFrame("zoom.gif", 120, 120, 10, 20, 30, 40));
  session.Command(kZoomIn);
  ASSERT_EQ(1, zoom);
  {
    PaintedView view;  // (10,20) 30x40 at 2:1 covers (20,40) to (79,119)
    EXPECT_NE(kBackground, view.At(20, 40));
    EXPECT_NE(kBackground, view.At(79, 119));
    EXPECT_EQ(kBackground, view.At(80, 119));
    EXPECT_EQ(kBackground, view.At(79, 120));
    EXPECT_EQ(kBackground, view.At(19, 40));
  }
  session.Command(kToolSelect);
  Mouse(session, WM_MOUSEMOVE, 79, 119);
  EXPECT_EQ("(39,59)", session.StatusBarText()) << "expected frame pixel (29,39)";
  EXPECT_EQ(cursors.cross, GetCursor());
  Mouse(session, WM_MOUSEMOVE, 80, 120);
  EXPECT_EQ("(40,60)", session.StatusBarText()) << "expected the far edges (30,40)";
  Mouse(session, WM_MOUSEMOVE, 82, 122);
  EXPECT_EQ("(40,60)", session.StatusBarText()) << "expected a point outside to leave the text";
  EXPECT_EQ(cursors.arrow, GetCursor());

  session.Command(kZoomOut);
  session.Command(kZoomOut);
  ASSERT_EQ(-1, zoom);
  Mouse(session, WM_MOUSEMOVE, 10, 15);  // 1:2: frame at (5,10) in the view
  EXPECT_EQ("(20,30)", session.StatusBarText()) << "expected frame pixel (10,10)";
}

TEST(ImageViewSelection, DragReleaseAndCancelFollowTheFrame) {
  GifBuilder gif;
  gif.Header().Screen(200, 200, 4);
  gif.Image(100, 50, 20, 20, std::vector<uint8_t>(400, 1));
  gif.Image(0, 0, 20, 20, std::vector<uint8_t>(400, 2));
  EditorSession session(WriteGif("select.gif", gif));
  session.Command(kMarkDirty);
  ASSERT_EQ(1, settings.markDirtyRectangles);
  {
    PaintedView view;  // the frame's own rectangle, dotted
    EXPECT_GT(view.Count(100, 50, 120, 50, kBlack), 0) << "expected the frame's top edge dotted";
    EXPECT_GT(view.Count(120, 50, 120, 70, kBlack), 0) << "expected its right edge dotted";
  }
  session.Command(kToolSelect);
  EXPECT_TRUE(session.ToolbarPressed(kToolSelect));
  Mouse(session, WM_LBUTTONDOWN, 105, 55);
  Mouse(session, WM_MOUSEMOVE, 102, 51);
  EXPECT_EQ("(105,55)->(102,51)", session.StatusBarText());
  EXPECT_FALSE(session.MenuEnabled(kCropToSelection)) << "expected Crop frame to selection greyed while dragging";
  Mouse(session, WM_LBUTTONUP, 102, 51);
  EXPECT_EQ(kSelectionDone, selectionState);
  EXPECT_TRUE(session.MenuEnabled(kCropToSelection));
  {
    PaintedView view;  // dotted, from (105,55) up and left to (102,51)
    EXPECT_GT(view.Count(102, 55, 105, 55, kBlack), 0) << "expected the outline's bottom edge";
    EXPECT_GT(view.Count(102, 51, 102, 55, kBlack), 0) << "expected its left edge";
    EXPECT_EQ(0, view.Count(100, 60, 119, 60, kBlack)) << "expected nothing outside the selection";
    EXPECT_EQ(0, view.Count(100, 50, 120, 50, kBlack)) << "expected the selection to replace the frame's outline";
  }

  // Released outside the frame: no selection.
  Mouse(session, WM_LBUTTONDOWN, 105, 55);
  Mouse(session, WM_LBUTTONUP, 10, 150);
  EXPECT_EQ(kSelectionIdle, selectionState);
  EXPECT_EQ(0, selectionRect.startX | selectionRect.startY | selectionRect.endX | selectionRect.endY);
  EXPECT_EQ("", session.StatusBarText());
  EXPECT_FALSE(session.MenuEnabled(kCropToSelection));

  // Another frame made current: the selection goes, the tool stays.
  Mouse(session, WM_LBUTTONDOWN, 105, 55);
  Mouse(session, WM_LBUTTONUP, 110, 60);
  ASSERT_EQ(kSelectionDone, selectionState);
  session.Command(kNextFrame);
  EXPECT_EQ(kSelectionIdle, selectionState);
  EXPECT_FALSE(session.MenuEnabled(kCropToSelection)) << "expected the cancelled selection to grey the crop";
  session.Command(kToolSelect);
  EXPECT_EQ(kSelectionOff, selectionState);
  EXPECT_FALSE(session.ToolbarPressed(kToolSelect));
  session.Command(kMarkDirty);
}

// Frame 1 lies over frame 0 with its pixel (0,0) transparent (index 3): the
// view shows frame 0 there, a pick takes frame 1's own index.
TEST(ImageViewPick, ReleaseOverTheFrameTakesItsOwnPixelAndOffItDisarms) {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 4);
  gif.GraphicControl(1, false, 10, 0).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1));
  gif.GraphicControl(1, true, 10, 3).Image(2, 2, 2, 2, {3, 2, 0, 2});
  EditorSession session(WriteGif("pick.gif", gif));
  session.Command(kNextFrame);
  ArmTransparentPick();
  Mouse(session, WM_MOUSEMOVE, 4, 4);  // the far edge is no pixel
  EXPECT_EQ(cursors.arrow, GetCursor());
  Mouse(session, WM_LBUTTONUP, 4, 4);
  EXPECT_EQ(kNoPick, pickMode);
  EXPECT_EQ(0, doc.modified) << "expected a release off the frame to change nothing";

  ArmTransparentPick();
  Mouse(session, WM_MOUSEMOVE, 3, 3);
  EXPECT_EQ(cursors.pick, GetCursor());
  Mouse(session, WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(2, doc.frames[1]->transparentIndex) << "expected frame pixel (1,1)";
  EXPECT_EQ("2     ", session.FramesControlText(kTransparentIndexId));
  EXPECT_EQ(1, doc.modified);
  ArmTransparentPick();
  Mouse(session, WM_LBUTTONUP, 2, 2);
  EXPECT_EQ(3, doc.frames[1]->transparentIndex) << "expected the frame's own index, not frame 0's shown there";
}

// The screen is wider than 16-bit offsets can reach.
TEST(ImageViewScrolling, PagesMoveTenLogicalPixelsAtAnyZoomWithinTheRange) {
  EditorSession session(OneFrame("wide.gif", 40000, 2500, 0, 0, 4, 4));
  EXPECT_EQ(40000 - viewWidth, ScrollMax(SB_HORZ));
  EXPECT_EQ(2500 - viewHeight, ScrollMax(SB_VERT));
  Scroll(session, WM_HSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(10, GetScrollPos(imageView, SB_HORZ));
  {
    PaintedView view;
    EXPECT_EQ(0, view.Count(0, 0, 40, 40, kBackground, true)) << "expected the frame scrolled out of sight";
  }
  Scroll(session, WM_HSCROLL, SB_LINEUP);
  Scroll(session, WM_HSCROLL, SB_PAGEUP);
  EXPECT_EQ(0, scrollX) << "expected a page up from 9 to stop at 0";
  Scroll(session, WM_HSCROLL, SB_THUMBTRACK, 50);
  EXPECT_EQ(0, scrollX) << "expected the thumb's tracking ignored";
  Scroll(session, WM_HSCROLL, SB_THUMBPOSITION, 39000);
  EXPECT_EQ(39000, scrollX);
  Scroll(session, WM_HSCROLL, SB_RIGHT);
  Scroll(session, WM_HSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(40000 - viewWidth, scrollX) << "expected a page down to stop at the end";
  session.Command(kZoomIn);
  Scroll(session, WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(10, GetScrollPos(imageView, SB_VERT)) << "expected 10 logical pixels at 2:1 too";
}

TEST(ImageViewScrolling, ScreenSmallerThanTheViewHasNoRange) {
  EditorSession session(OneFrame("small.gif", 50, 40, 0, 0, 50, 40));
  scrollX = 30;  // left over from a larger document
  UpdateScrollRanges();
  EXPECT_EQ(0, ScrollMax(SB_HORZ));
  EXPECT_EQ(0, ScrollMax(SB_VERT));
  EXPECT_EQ(0, scrollX) << "expected the offset lowered to the range";
}

// A comment may be 32767 bytes long; the view shows what fits its 5000-byte
// work area and never reads past it.
TEST(ImageViewComment, CommentIsPaintedAsTextUpToTheWorkArea) {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 4);
  std::string text(5000, 'x');
  for (int line = 0; line < 30; ++line) text += "\nbeyond the work area";
  gif.Comment(text).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1));
  EditorSession session(WriteGif("long-comment.gif", gif));
  ASSERT_TRUE(IsComment(*doc.frames[0]));
  PaintedView view;
  EXPECT_GT(view.Count(0, 0, 200, 20, kBackground, true), 20) << "expected the first line drawn";
  EXPECT_EQ(0, view.Count(0, 40, 200, 200, kBackground, true)) << "expected nothing past 5000 bytes";
}

}  // namespace
