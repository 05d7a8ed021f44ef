// The frame view's window side: the picture the view shows after each
// refresh (stepping forward composes, jumping shows the frame alone), the
// frame-properties panel's texts and states, and a refresh whose picture
// cannot be built.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gif_builder.h"
#include "document/document.h"
#include "gui_harness.h"
#include "view_test_support.h"
#include "editor/frame_view.h"
#include "editor/frames_window.h"
#include "editor/image_view.h"
#include "editor/shell_state.h"

namespace {

constexpr int kNew = 101;
constexpr int kNextFrame = 403;
constexpr int kBackgroundColor = 605;

// GifBuilder's global table: entry i is (i, i, 255 - i).
COLORREF Colour(int i) { return RGB(i, i, 255 - i); }
const COLORREF kBackground = GetSysColor(COLOR_WINDOW);

void SelectInList(EditorSession& session, int index) {
  HWND list = session.FramesControl(kFramesListId);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(framesWindow, WM_COMMAND, MAKEWPARAM(kFramesListId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  session.Pump();
}

bool Enabled(EditorSession& session, int id) { return IsWindowEnabled(session.FramesControl(id)) != FALSE; }
bool Checked(EditorSession& session, int id) {
  return SendMessageA(session.FramesControl(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
// The width and height values have no ids: found by their place.
std::string TextAt(int x, int y) {
  char text[64] = "";
  GetWindowTextA(ChildWindowFromPoint(framesWindow, POINT{x, y}), text, sizeof text);
  return text;
}

// Screen 8x8. Frame 0 covers it in colour 1; frame 1 is a 2x2 square of
// colour 2 at (2,2); a comment; frame 3 at (5,5) is 2x2 with its top left
// pixel transparent (index 3).
GifBuilder FramesAndComment() {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 4);
  gif.GraphicControl(1, false, 10, 0).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1));
  gif.GraphicControl(1, false, 10, 0).Image(2, 2, 2, 2, {2, 2, 2, 2});
  gif.Comment("between");
  gif.GraphicControl(1, true, 10, 3).Image(5, 5, 2, 2, {3, 0, 0, 0});
  return gif;
}

TEST(FrameViewPicture, SteppingForwardComposesWhileJumpingShowsTheFrameAlone) {
  GifBuilder gif = FramesAndComment();
  EditorSession session(WriteGif("frames-and-comment.gif", gif));
  session.Command(kNextFrame);
  HBITMAP shown = displayBitmap;
  session.Command(kNextFrame);
  EXPECT_EQ(shown, displayBitmap) << "expected the comment entry to leave the display bitmap alone";
  EXPECT_FALSE(Enabled(session, kDelayFieldId)) << "expected the panel disabled on a comment entry";
  session.Command(kNextFrame);
  {
    PaintedView view;  // frame 3 over 1 over 0; its transparent pixel lets colour 1 through
    EXPECT_EQ(Colour(1), view.At(0, 0)) << "expected frame 0 kept under frame 3";
    EXPECT_EQ(Colour(2), view.At(3, 3)) << "expected frame 1 kept under frame 3";
    EXPECT_EQ(Colour(1), view.At(5, 5)) << "expected frame 0 through the transparent pixel";
    EXPECT_EQ(Colour(0), view.At(6, 5));
    EXPECT_EQ(kBackground, view.At(8, 0)) << "expected background right of the screen";
  }
  SelectInList(session, 0);
  SelectInList(session, 3);
  {
    PaintedView view;  // jumped from 0 to 3: frame 3 alone, transparent pixel in its own colour
    EXPECT_EQ(kBackground, view.At(0, 0));
    EXPECT_EQ(kBackground, view.At(3, 3));
    EXPECT_EQ(Colour(3), view.At(5, 5));
  }
  SelectInList(session, 1);
  PaintedView view;  // a step back shows frame 1 alone
  EXPECT_EQ(Colour(2), view.At(2, 2));
  EXPECT_EQ(kBackground, view.At(0, 0));
}

// A picture wider than 32767 pixels is not composed: the view shows
// background rather than whatever the view DC holds without a bitmap.
TEST(FrameViewPicture, PictureTooWideToComposeLeavesTheViewBlank) {
  GifBuilder gif;
  gif.Header().Screen(33000, 4, 4);
  gif.GraphicControl(1, false, 10, 0).Image(32000, 0, 1000, 1, std::vector<uint8_t>(1000, 1));
  gif.GraphicControl(1, false, 10, 0).Image(0, 0, 2, 2, {2, 2, 2, 2});
  EditorSession session(WriteGif("too-wide.gif", gif));
  session.Command(kNextFrame);
  ASSERT_EQ(1, doc.currentFrame);
  EXPECT_EQ(nullptr, displayBitmap);
  PaintedView view;
  EXPECT_EQ(kBackground, view.At(0, 0)) << "expected background where the picture could not be made";
}

TEST(FramePanel, ShowsTheImageFramesValuesAndItsPalette) {
  GifBuilder gif;
  gif.Header().Screen(20, 20, 4);
  gif.GraphicControl(2, true, 65535, 3).Image(3, 4, 5, 6, std::vector<uint8_t>(30, 1));
  ImageOptions local;
  local.localColors = 8;
  gif.GraphicControl(1, false, 7, 0).Image(0, 0, 8, 1, {0, 1, 2, 3, 4, 5, 6, 7}, local);
  EditorSession session(WriteGif("panel.gif", gif));

  EXPECT_EQ("65535", session.FramesControlText(kDelayFieldId));
  EXPECT_TRUE(Checked(session, kRestoreBoxId)) << "expected Restore to background marked for disposal 2";
  EXPECT_EQ("3", session.FramesControlText(kLeftFieldId));
  EXPECT_EQ("4", session.FramesControlText(kTopFieldId));
  EXPECT_EQ("5     ", TextAt(305, 95));
  EXPECT_EQ("6     ", TextAt(305, 117));
  EXPECT_EQ("3     ", session.FramesControlText(kTransparentIndexId));
  EXPECT_TRUE(Checked(session, kTransparentBoxId));
  EXPECT_TRUE(Enabled(session, kPickButtonId));
  EXPECT_TRUE(Checked(session, kUseGlobalBoxId));
  EXPECT_EQ("4 colors     ", session.FramesControlText(kPaletteInfoId));
  EXPECT_TRUE(session.MenuEnabled(kBackgroundColor)) << "expected Set Background color on the global palette";

  session.Command(kNextFrame);
  EXPECT_EQ("7", session.FramesControlText(kDelayFieldId));
  EXPECT_FALSE(Checked(session, kRestoreBoxId));
  EXPECT_EQ("-      ", session.FramesControlText(kTransparentIndexId));
  EXPECT_FALSE(Checked(session, kTransparentBoxId));
  EXPECT_TRUE(Enabled(session, kPickButtonId)) << "expected Pick kept, so a pick can make the frame transparent";
  EXPECT_FALSE(Checked(session, kUseGlobalBoxId));
  EXPECT_EQ("8 colors     ", session.FramesControlText(kPaletteInfoId));
  EXPECT_EQ(100 + 7, shownPalette.colors[7].green) << "expected the frame's own colours in the palette window";
  EXPECT_FALSE(session.MenuEnabled(kBackgroundColor));
  EXPECT_EQ(1, SendMessageA(session.FramesControl(kFramesListId), LB_GETCURSEL, 0, 0));
  EXPECT_EQ(0, doc.modified) << "expected filling the panel not to modify the document";
}

TEST(FramePanel, EmptyDocumentClearsAndDisablesThePanel) {
  GifBuilder gif = FramesAndComment();
  EditorSession session(WriteGif("frames-and-comment.gif", gif));
  ASSERT_TRUE(Enabled(session, kDelayFieldId));
  session.Command(kNew);
  ASSERT_EQ(0, doc.frameCount);
  EXPECT_EQ("0", session.FramesControlText(kDelayFieldId));
  EXPECT_EQ("0", session.FramesControlText(kLeftFieldId));
  EXPECT_EQ("0", session.FramesControlText(kTopFieldId));
  EXPECT_EQ("0      ", TextAt(305, 95));
  EXPECT_EQ("0      ", TextAt(305, 117));
  EXPECT_EQ("-      ", session.FramesControlText(kTransparentIndexId));
  EXPECT_EQ("No palette   ", session.FramesControlText(kPaletteInfoId));
  for (int id : {kDelayFieldId, kRestoreBoxId, kLeftFieldId, kTopFieldId, kUseGlobalBoxId, kTransparentBoxId,
                 kPickButtonId})
    EXPECT_FALSE(Enabled(session, id)) << "expected control " << id << " disabled without frames";
  EXPECT_FALSE(Checked(session, kTransparentBoxId));
  EXPECT_FALSE(session.MenuEnabled(kBackgroundColor));
  PaintedView view;
  EXPECT_EQ(kBackground, view.At(2, 2)) << "expected an empty document painted as background";
}

}  // namespace
