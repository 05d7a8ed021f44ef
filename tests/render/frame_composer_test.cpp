// The image view's picture: which moves compose the current frame over the
// retained picture, the union remapped to the current palette, transparency,
// display maps, and a union too wide to compose.
#include "render/frame_composer.h"

#include <sstream>

#include "document/settings.h"
#include "document/ui_operations.h"
#include "render/display_map.h"
#include "test_support.h"

namespace {

// The image view's refresh at index, as the editor runs it around its
// bitmap: newPicture as "(left,top) WxH" and its rows top to bottom, pad
// bytes included, one hex digit a pixel ("none" when it was refused).
std::string Show(int index) {
  doc.currentFrame = static_cast<int16_t>(index);
  const bool built = BuildNewPicture();
  const PictureBuffer& p = newPicture;
  std::string text = "(" + std::to_string(p.left) + "," + std::to_string(p.top) + ") " + std::to_string(p.width) +
                     "x" + std::to_string(p.height) + (built ? "" : " none");
  const int stride = p.width + p.rowPad;
  for (int y = p.height - 1; p.block && y >= 0; --y) {
    text += ' ';
    for (int x = 0; x < stride; ++x) text += "0123456789ABCDEF"[p.block.data()[y * stride + x] & 15];
  }
  if (built) RetainNewPicture();
  return text;
}

const std::vector<RgbTriple> kGreys = {{0, 0, 0}, {80, 80, 80}, {160, 160, 160}, {240, 240, 240}};

class FrameComposer : public testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override {
    settings.showOnlyDirtyRectangles = 0;
    ResetRetainedPicture();
  }
};

TEST_F(FrameComposer, NextFrameIsDrawnOverThePreviousRemappedToItsPalette) {
  // Frame 1's palette swaps black and white and shifts red a little; both
  // frames' stored pad bytes are 0xEE.
  AppendImage(4, 3, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}}, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3},
              0xEE);
  AppendImage(3, 2, {{255, 255, 255}, {250, 0, 0}, {0, 255, 0}, {0, 0, 0}}, {0, 1, 2, 3, 3, 3}, 0xEE);
  doc.frames[1]->left = doc.frames[1]->top = 2;
  Show(0);
  // The union of both rectangles: frame 0 in frame 1's indices (0->3, 1->1,
  // 2->2, 3->0), frame 1 over it, index 0 where neither reaches; rows of 8
  // with zero pad bytes.
  EXPECT_EQ("(0,0) 5x4 12010000 20120000 01012000 00333000", Show(1));
  EXPECT_EQ(1, retainedPicture.frame) << "expected the composed picture retained";
}

// Entry k is a 2x2 image frame at (2k, 0) with the disposal its digit says,
// or a comment (C). Alone its picture is exactly its own rectangle.
TEST_F(FrameComposer, OnlyStepsToTheNextImageFrameCompose) {
  const std::string disposals = "14C1213171";
  for (size_t i = 0; i < disposals.size(); ++i) {
    if (disposals[i] == 'C') {
      AppendComment("between");
      continue;
    }
    Frame& frame = AppendImage(2, 2, kGreys, {1, 2, 3, 1});
    frame.left = static_cast<int16_t>(2 * i);
    frame.disposal = static_cast<uint8_t>(disposals[i] - '0');
  }
  // Each step: an entry refreshed, and whether its picture is composed (+)
  // or the frame alone (-); r resets the retained picture, D shows only
  // dirty rectangles from then on.
  std::istringstream walk("0- 1+ 2 3+ 4+ 5- 6+ 7- 8+ 9- 9- 7- 9- 3- r 4- D 3- 4-");
  int n = 0;
  for (std::string step; walk >> step; ++n) {
    const int index = step[0] - '0';
    if (step == "r") {
      ResetRetainedPicture();
    } else if (step == "D") {
      settings.showOnlyDirtyRectangles = 1;
    } else if (step.size() == 1) {
      doc.currentFrame = static_cast<int16_t>(index);
      RefreshFrameView(RefreshMode::kFull);
    } else {
      const std::string alone = "(" + std::to_string(2 * index) + ",0) 2x2 ";
      EXPECT_EQ(step[1] == '+', Show(index).compare(0, alone.size(), alone) != 0) << "step " << n << ": " << step;
    }
  }
}

TEST_F(FrameComposer, TransparentPixelsShowTheRetainedPictureOnlyWhenComposed) {
  AppendImage(3, 1, kGreys, {1, 1, 1});
  Frame& over = AppendImage(3, 1, kGreys, {2, 3, 0});
  over.transparent = 1;
  over.transparentIndex = 3;
  Show(0);
  EXPECT_EQ("(0,0) 3x1 2100", Show(1)) << "composed: expected frame 0 through index 3";
  ResetRetainedPicture();
  EXPECT_EQ("(0,0) 3x1 2300", Show(1)) << "alone: expected index 3 itself";
  over.transparentIndex = 256 + 3;  // matches no pixel
  Show(0);
  EXPECT_EQ("(0,0) 3x1 2300", Show(1)) << "expected no pixel skipped for index 259";
}

TEST_F(FrameComposer, DisplayMapKeepsEntriesInPlaceAndSearchesAll256) {
  Frame& from = AppendImage(1, 1, {{0, 0, 0}, {10, 20, 30}}, {0});
  Frame& to = AppendImage(1, 1, {{0, 0, 0}, {0, 0, 0}}, {0});
  to.palette[200] = {30, 20, 10, 0};  // blue, green, red; beyond colorCount 2
  BuildDisplayMap(0, 1);
  EXPECT_EQ(200, from.displayMap[1]) << "expected the exact match beyond colorCount";
  EXPECT_EQ(3, from.displayMap[3]) << "expected black, in place on both sides, to stay rather than go to 0";
}

TEST_F(FrameComposer, UnionTooWideToComposeLeavesTheRetainedPicture) {
  AppendImage(10, 1, kGreys, std::vector<uint8_t>(10, 1));
  AppendImage(10, 1, kGreys, std::vector<uint8_t>(10, 2)).left = 32760;  // the union: 32770 wide
  Show(0);
  const uint8_t* kept = retainedPicture.block.data();
  EXPECT_EQ("(32760,0) 10x1 none", Show(1)) << "expected a union wider than 32767 refused, frame 1 described alone";
  EXPECT_FALSE(framePicture.block) << "expected the frame picture freed";
  EXPECT_TRUE(retainedPicture.block.data() == kept && retainedPicture.frame == 0)
      << "expected the retained picture kept";
  ResetRetainedPicture();
  EXPECT_EQ("(32760,0) 10x1 222222222200", Show(1)) << "expected frame 1 shown alone afterwards";
}

}  // namespace
