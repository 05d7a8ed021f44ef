// The image view and the palette window as a user drives them: the selection
// tool with its texts, outline and crop, colour picks armed from the menu and
// the Pick button and delivered by a click in either, and a long comment.
#include "colour/color_pick.h"
#include "gui_harness.h"

namespace {

void Mouse(EditorSession& session, UINT message, int x, int y) {
  SendMessageA(imageView, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  session.Pump();
}

// The cursor window sets for itself with the pointer at (x, y) of it, as
// the system asks before every move.
HCURSOR CursorSet(HWND window, int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
  SetCursor(nullptr);
  return SendMessageA(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) ? GetCursor() : nullptr;
}

}  // namespace

TEST(ImageView, SelectionIsDraggedOutlinedCancelledAndCropsTheFrame) {
  EditorSession session(DataFile("frame-offsets.gif"));  // frame 2: 30 x 20 at (70, 0)
  session.SelectEntry(2);
  session.Command(kToolSelect);
  EXPECT_TRUE(CursorSet(imageView, 75, 5) == cursors.cross && CursorSet(imageView, 10, 50) == cursors.arrow)
      << "expected the cross over the frame, the arrow off it";
  for (POINT up : {POINT{10, 50}, POINT{80, 10}}) {  // off the frame: no selection; on it: one, until frame 1 shows
    Mouse(session, WM_LBUTTONDOWN, 75, 5);
    Mouse(session, WM_LBUTTONUP, up.x, up.y);
    EXPECT_TRUE(up.x != 10 || selectionState == kSelectionIdle) << "expected a release off the frame to select nothing";
  }
  EXPECT_TRUE(selectionState == kSelectionDone && session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION));
  session.SelectEntry(1);
  EXPECT_FALSE(selectionState != kSelectionIdle || session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION))
      << "expected another frame to cancel the selection";
  session.SelectEntry(2);
  Mouse(session, WM_LBUTTONDOWN, 75, 5);
  Mouse(session, WM_LBUTTONUP, 75, 9);  // no width: nothing to keep
  session.Command(IDM_EDIT_CROP_TO_SELECTION);
  EXPECT_TRUE(doc.modified == 0 && doc.frames[2]->width == 30 && selectionState == kSelectionIdle)
      << "expected a crop of nothing to leave the document unmodified";
  Mouse(session, WM_LBUTTONDOWN, 76, 15);
  Mouse(session, WM_MOUSEMOVE, 72, 11);
  EXPECT_EQ("(76,15)->(72,11)", session.StatusBarText());
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION)) << "expected the crop greyed while dragging";
  Mouse(session, WM_LBUTTONUP, 72, 11);
  const Painting view = PaintedView();  // dotted, from (76,15) up and left to (72,11)
  EXPECT_TRUE(view.Count(72, 15, 76, 15, 0) && view.Count(72, 11, 72, 15, 0)) << "expected the outline drawn";
  session.Command(IDM_EDIT_CROP_TO_SELECTION);
  const Frame& frame = *doc.frames[2];
  const std::string place = std::to_string(frame.left) + "," + std::to_string(frame.top) + " " +
                            std::to_string(frame.width) + "x" + std::to_string(frame.height);
  EXPECT_EQ("72,11 4x5 ", place + " " + session.StatusBarText())
      << "expected the frame cut to the selection, and the text cleared";
  EXPECT_TRUE(doc.modified && !session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION)) << "expected the selection used up";
}

// Frame 1 lies over frame 0 with its pixel (0,0) transparent (index 3): the
// view shows frame 0 there, a pick takes frame 1's own index.
TEST(ImageView, PickArmedFromTheMenuTakesTheFramesOwnPixelAndOffItDisarms) {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 4).GraphicControl(1, false, 10, 0).Image(0, 0, 8, 8, std::vector<uint8_t>(64, 1));
  EditorSession session(WriteGif("pick.gif", gif.GraphicControl(1, true, 10, 3).Image(2, 2, 2, 2, {3, 2, 0, 2})));
  session.Command(IDM_ANIMATION_NEXT_FRAME);
  session.Command(IDM_COLORS_TRANSPARENT);
  Mouse(session, WM_LBUTTONUP, 4, 4);
  EXPECT_TRUE(pickMode == kNoPick && doc.modified == 0) << "expected a release off the frame to change nothing";
  session.Command(IDM_COLORS_TRANSPARENT);
  EXPECT_TRUE(CursorSet(imageView, 4, 4) == cursors.arrow && CursorSet(imageView, 3, 3) == cursors.pick)
      << "expected PICK over a pixel, the arrow on the far edge";
  Mouse(session, WM_LBUTTONUP, 3, 3);
  EXPECT_EQ("2     ", WindowText(panel.transparentIndexValue)) << "expected frame pixel (1,1) as the transparent index";
  session.Command(IDM_COLORS_TRANSPARENT);
  Mouse(session, WM_LBUTTONUP, 2, 2);
  EXPECT_EQ(3, doc.frames[1]->transparentIndex) << "expected the frame's own index, not frame 0's shown there";
  session.Command(IDM_COLORS_BACKGROUND);
  Mouse(session, WM_LBUTTONUP, 3, 2);
  EXPECT_EQ(2, doc.backgroundIndex) << "expected a background pick delivered by the view too";
}

// A comment may be 32767 bytes long: the view shows what fits its 5000-byte
// work area, and reads no further.
TEST(ImageView, LongCommentIsShownUpToTheWorkArea) {
  std::string text(5000, 'x');
  for (int line = 0; line < 30; ++line) text += "\nbeyond the work area";
  GifBuilder gif;
  EditorSession session(WriteGif("long-comment.gif", gif.Header().Screen(8, 8, 4).Comment(text)));
  const Painting comment = PaintedView();
  EXPECT_GT(comment.Count(0, 0, 200, 20, GetSysColor(COLOR_WINDOW), true), 20) << "expected the first line drawn";
  EXPECT_EQ(0, comment.Count(0, 40, 200, 200, GetSysColor(COLOR_WINDOW), true)) << "expected nothing past 5000 bytes";
}

// A release on a shown cell of the palette window picks it; anywhere else it only disarms.
TEST(PaletteWindows, ReleaseOnAShownCellPicksItAndElsewhereOnlyDisarms) {
  GifBuilder gif;  // entry 0: 256 own colours; entry 1: 4 global colours; both transparent at 0
  std::vector<uint8_t> pixels(256);
  for (int i = 0; i < 256; ++i) pixels[size_t(i)] = uint8_t(i);
  gif.Header().Screen(16, 16, 4).GraphicControl(0, true, 10, 0).Image(0, 0, 16, 16, pixels, {256});
  EditorSession session(WriteGif("cells.gif", gif.GraphicControl(0, true, 10, 0).Image(0, 0, 2, 2, {0, 1, 2, 3})));
  SendMessageA(panel.paletteToggle, BM_CLICK, 0, 0);
  EXPECT_EQ(cursors.arrow, CursorSet(panel.paletteWindow, 125, 37));
  SendMessageA(panel.pickButton, BM_CLICK, 0, 0);
  EXPECT_EQ(cursors.pick, CursorSet(panel.paletteWindow, 125, 37)) << "expected the PICK cursor while a pick is armed";
  SendMessageA(panel.paletteWindow, WM_LBUTTONUP, 0, MAKELPARAM(125, 37));
  EXPECT_EQ("108     ", WindowText(panel.transparentIndexValue)) << "expected column 12 of row 3 (cells of 10)";
  session.Command(IDM_COLORS_BACKGROUND);
  SendMessageA(panel.paletteWindow, WM_LBUTTONUP, 0, MAKELPARAM(319, 79));
  EXPECT_EQ(255, doc.backgroundIndex) << "expected the last cell as the background";
  // Below, left of and right of the grid, then beyond the 4 colours of entry 1.
  for (POINT miss : {POINT{5, 80}, POINT{-1, 5}, POINT{330, 5}, POINT{45, 5}}) {
    if (miss.x == 45) session.SelectEntry(1);
    session.Command(IDM_COLORS_TRANSPARENT);
    SendMessageA(panel.paletteWindow, WM_LBUTTONUP, 0, MAKELPARAM(miss.x, miss.y));
    EXPECT_TRUE(pickMode == kNoPick && doc.frames[doc.currentFrame]->transparentIndex == (miss.x == 45 ? 0 : 108))
        << "at " << miss.x << "," << miss.y << ": expected the pick disarmed and nothing changed";
  }
}
