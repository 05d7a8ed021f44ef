// "Crop frames to dirty rectangles", "Restore frames to its full size" and
// "Crop frame to selection" from the editor's menus: what they say, the
// frames they leave when a comment sits between image frames, and the file
// they give against frambo-cli's optimize and unoptimize.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "gif_builder.h"
#include "command_output_support.h"
#include "document/document.h"
#include "gui_harness.h"
#include "resource_ids.h"
#include "editor/toolbar.h"
#include "view_test_support.h"
#include "editor/image_view.h"

namespace {

constexpr int kSide = 8;

std::vector<uint8_t> Filled(uint8_t value) { return std::vector<uint8_t>(kSide * kSide, value); }

void Paint(std::vector<uint8_t>& pixels, int x, int y, uint8_t value) { pixels[static_cast<size_t>(y * kSide + x)] = value; }

// Image, comment, image, image on an 8 x 8 screen, each frame left in place
// for the next: the second frame changes (2..3, 4..5) of the first, the third
// changes (6, 1) of the second.
std::string ImageCommentImageImage(const char* name) {
  std::vector<uint8_t> first = Filled(0), second = first;
  for (int y = 4; y <= 5; ++y)
    for (int x = 2; x <= 3; ++x) Paint(second, x, y, 1);
  std::vector<uint8_t> third = second;
  Paint(third, 6, 1, 2);
  GifBuilder gif;
  gif.Header().Screen(kSide, kSide, 4);
  gif.GraphicControl(1, false, 20, 0).Image(0, 0, kSide, kSide, first);
  gif.Comment("between");
  gif.GraphicControl(1, false, 20, 0).Image(0, 0, kSide, kSide, second);
  gif.GraphicControl(1, false, 20, 0).Image(0, 0, kSide, kSide, third);
  return WriteGif(name, gif);
}

struct Rect {
  int left, top, width, height;
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }
};
std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.left << "," << r.top << ") " << r.width << "x" << r.height;
}
Rect RectOf(int index) {
  const Frame& f = *doc.frames[index];
  return Rect{f.left, f.top, f.width, f.height};
}

}  // namespace

TEST(DirtyRectangleCommands, CropWalksImagePairsAcrossTheCommentAndGivesTheCliFile) {
  const std::string input = ImageCommentImageImage("walk.gif");
  EditorSession session(input);
  ASSERT_EQ(4, doc.frameCount);
  StatusTextRecorder status(session.StatusBar());
  session.AnswerButton(IDOK);
  session.Command(IDM_OPTIONS_CROP_TO_DIRTY);

  ASSERT_EQ(1u, session.shown().size());
  EXPECT_EQ("Optimization completed", session.shown()[0].text);
  EXPECT_EQ("Frambo Version 1.1", session.shown()[0].caption);
  EXPECT_EQ(session.main(), session.shown()[0].owner);
  ASSERT_FALSE(status.texts().empty());
  EXPECT_EQ("Calculating dirty rectangles", status.texts().front());
  EXPECT_EQ("", status.texts().back()) << "expected the status text cleared at the end";
  EXPECT_EQ("", session.StatusBarText());

  EXPECT_EQ((Rect{0, 0, kSide, kSide}), RectOf(0)) << "expected the first frame kept whole";
  EXPECT_TRUE(IsComment(*doc.frames[1]));
  EXPECT_EQ((Rect{2, 4, 2, 2}), RectOf(2)) << "expected the frame after the comment cropped against the first";
  EXPECT_EQ((Rect{6, 1, 1, 1}), RectOf(3));
  EXPECT_EQ(1, doc.modified);

  const std::string ours = ScratchFile("walk-optimized-gui.gif"), theirs = ScratchFile("walk-optimized-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("optimize " + Quoted(input) + " -o " + Quoted(theirs)));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli optimize's";
}

TEST(DirtyRectangleCommands, RestoreGrowsEveryCroppedFrameBackAndGivesTheCliFile) {
  // The cropped animation the crop above leaves, saved by the tool.
  const std::string cropped = ScratchFile("restore-input.gif");
  ASSERT_EQ(0, RunCli("optimize " + Quoted(ImageCommentImageImage("restore-source.gif")) + " -o " + Quoted(cropped)));
  EditorSession session(cropped);
  std::vector<int> images;
  for (int i = 0; i < doc.frameCount; ++i)
    if (IsImageFrame(i)) images.push_back(i);
  ASSERT_EQ(3u, images.size());
  ASSERT_NE((Rect{0, 0, kSide, kSide}), RectOf(images[1]));

  StatusTextRecorder status(session.StatusBar());
  session.AnswerButton(IDOK);
  session.Command(IDM_OPTIONS_RESTORE_FULL_SIZE);
  ASSERT_EQ(1u, session.shown().size());
  EXPECT_EQ("Frames restored", session.shown()[0].text);
  EXPECT_EQ("Frambo Version 1.1", session.shown()[0].caption);
  ASSERT_FALSE(status.texts().empty());
  EXPECT_EQ("Restoring frames", status.texts().front());
  EXPECT_EQ("", status.texts().back());
  for (int i : images) {
    EXPECT_EQ((Rect{0, 0, kSide, kSide}), RectOf(i)) << "entry " << i << ": expected the whole screen again";
    EXPECT_EQ(1, doc.frames[i]->useGlobalPalette) << "entry " << i;
  }
  EXPECT_EQ(1, doc.modified);

  const std::string ours = ScratchFile("restored-gui.gif"), theirs = ScratchFile("restored-cli.gif");
  SaveDocumentAs(session, ours);
  ASSERT_EQ(0, RunCli("unoptimize " + Quoted(cropped) + " -o " + Quoted(theirs)));
  EXPECT_EQ(FileBytes(theirs), FileBytes(ours)) << "expected the editor's file to be frambo-cli unoptimize's";
}

TEST(DirtyRectangleCommands, OneImageFrameLeavesBothCommandsSilent) {
  GifBuilder gif;
  gif.Header().Screen(kSide, kSide, 4).Comment("only a note").Image(0, 0, kSide, kSide, Filled(1));
  EditorSession session(WriteGif("single.gif", gif));
  session.Command(IDM_OPTIONS_CROP_TO_DIRTY);
  session.Command(IDM_OPTIONS_RESTORE_FULL_SIZE);
  EXPECT_TRUE(session.shown().empty()) << "expected no message with nothing to pair";
  EXPECT_EQ(0, doc.modified);
}

TEST(CropToSelection, DraggedRectangleKeepsItsColumnsAndRowsAtTheirPlace) {
  std::vector<uint8_t> pixels(kSide * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) Paint(pixels, x, y, static_cast<uint8_t>((x + 2 * y) % 4));
  GifBuilder gif;
  gif.Header().Screen(kSide, kSide, 4).Image(0, 0, kSide, kSide, pixels);
  EditorSession session(WriteGif("select-crop.gif", gif));
  session.Command(kToolSelect);
  // Dragged up and to the left, at 1:1 on a frame at (0,0).
  for (auto [message, x, y] : {std::tuple<UINT, int, int>{WM_LBUTTONDOWN, 6, 5}, {WM_MOUSEMOVE, 4, 3},
                               {WM_MOUSEMOVE, 2, 1}, {WM_LBUTTONUP, 2, 1}}) {
    SendMessageA(session.ImageView(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    session.Pump();
  }
  EXPECT_EQ("(6,5)->(2,1)", session.StatusBarText());
  ASSERT_TRUE(session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION));
  session.Command(IDM_EDIT_CROP_TO_SELECTION);

  EXPECT_EQ((Rect{2, 1, 4, 5}), RectOf(0)) << "expected columns 2..5 and rows 1..5";
  std::vector<uint8_t> expected;  // bottom-up rows of 4 bytes
  for (int y = 5; y >= 1; --y)
    for (int x = 2; x <= 5; ++x) expected.push_back(static_cast<uint8_t>((x + 2 * y) % 4));
  EXPECT_EQ(expected, FramePixels(0));
  EXPECT_EQ("", session.StatusBarText());
  EXPECT_FALSE(session.MenuEnabled(IDM_EDIT_CROP_TO_SELECTION)) << "expected the used selection gone";
  EXPECT_EQ(1, doc.modified);
}
