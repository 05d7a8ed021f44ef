// The image view's picture: which moves draw the current frame over the
// retained picture, the union with the retained picture remapped to the
// current palette, transparency, display maps, and a union too wide.
#include "render/frame_composer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/settings.h"
#include "document/ui_operations.h"
#include "test_support.h"
#include "render/display_map.h"

namespace {

// newPicture between building and retaining: "(left,top) WxH" and its rows
// top to bottom, pad bytes last.
struct Shown {
  std::string rect;
  std::vector<uint8_t> rows;
  std::vector<uint8_t> pads;
};

std::string Rect(int left, int top, int width, int height) {
  return "(" + std::to_string(left) + "," + std::to_string(top) + ") " + std::to_string(width) + "x" +
         std::to_string(height);
}

// The image view's refresh at index, as the editor runs it around its bitmap.
Shown Show(int index) {
  doc.currentFrame = static_cast<int16_t>(index);
  EXPECT_TRUE(BuildNewPicture()) << "frame " << index << ": expected a picture, got none";
  const PictureBuffer& p = newPicture;
  Shown shown{Rect(p.left, p.top, p.width, p.height), {}, {}};
  size_t stride = static_cast<size_t>(p.width) + p.rowPad;
  for (int y = p.height - 1; p.block && y >= 0; --y) {
    const uint8_t* row = p.block.data() + y * stride;
    shown.rows.insert(shown.rows.end(), row, row + p.width);
    shown.pads.insert(shown.pads.end(), row + p.width, row + stride);
  }
  RetainNewPicture();
  return shown;
}

const std::vector<RgbTriple> kGreys = {{0, 0, 0}, {80, 80, 80}, {160, 160, 160}, {240, 240, 240}};

class FrameComposer : public testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    ResetRetainedPicture();
    saved_ = settings;
  }
  void TearDown() override {
    settings = saved_;
    ResetRetainedPicture();
  }
  Settings saved_;
};

TEST_F(FrameComposer, NextFrameIsDrawnOverThePreviousRemappedToItsPalette) {
  // Frame 1's palette swaps black and white and shifts red a little; both
  // frames' stored pad bytes are 0xEE.
  AppendImage(4, 3, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}}, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3},
              0xEE);
  Frame& second = AppendImage(3, 2, {{255, 255, 255}, {250, 0, 0}, {0, 255, 0}, {0, 0, 0}}, {0, 1, 2, 3, 3, 3}, 0xEE);
  second.left = 2;
  second.top = 2;
  Show(0);
  Shown shown = Show(1);
  EXPECT_EQ(shown.rect, Rect(0, 0, 5, 4)) << "expected the union of both rectangles";
  // Frame 0 in frame 1's indices (0->3, 1->1, 2->2, 3->0), frame 1 over it,
  // index 0 where neither reaches.
  EXPECT_EQ(shown.rows, (std::vector<uint8_t>{1, 2, 0, 1, 0, 2, 0, 1, 2, 0, 0, 1, 0, 1, 2, 0, 0, 3, 3, 3}));
  EXPECT_EQ(shown.pads, std::vector<uint8_t>(4 * 3, 0)) << "expected width 5 in rows of 8 with zero pad bytes";
  EXPECT_EQ(retainedPicture.frame, 1) << "expected the composed picture retained";
}

// Image frame k is 2x2 at (2k, 0): alone its picture is exactly that.
TEST_F(FrameComposer, OnlyStepsToTheNextImageFrameCompose) {
  struct Case {
    const char* situation;
    std::string entries;  // I image, C comment
    int firstDisposal;
    std::vector<int> steps;  // refreshes in order; -1 resets the retained picture
    bool dirtyRectanglesOnly;
    bool composed;
  };
  const std::vector<Case> cases = {
      {"next image frame", "II", 1, {0, 1}, false, true},
      {"next after disposal 4", "II", 4, {0, 1}, false, true},
      {"a comment between, refreshed too", "ICI", 0, {0, 1, 2}, false, true},
      {"an image frame skipped", "III", 1, {0, 2}, false, false},
      {"after disposal 2", "II", 2, {0, 1}, false, false},
      {"after disposal 3", "II", 3, {0, 1}, false, false},
      {"after disposal 7", "II", 7, {0, 1}, false, false},
      {"back from 3 to 2", "IIII", 1, {0, 1, 2, 3, 2}, false, false},
      {"the same frame again", "II", 1, {0, 1, 1}, false, false},
      {"the retained picture reset", "II", 1, {0, -1, 1}, false, false},
      {"only dirty rectangles shown", "II", 1, {0, 1}, true, false},
  };
  for (const Case& c : cases) {
    ResetDocument();
    ResetRetainedPicture();
    settings.showOnlyDirtyRectangles = c.dirtyRectanglesOnly ? 1 : 0;
    for (size_t i = 0; i < c.entries.size(); ++i) {
      if (c.entries[i] == 'C') {
        AppendComment("between");
        continue;
      }
      Frame& frame = AppendImage(2, 2, kGreys, {1, 2, 3, 1});
      frame.left = static_cast<int16_t>(2 * i);
      frame.disposal = static_cast<uint8_t>(i == 0 ? c.firstDisposal : 1);
    }
    for (size_t s = 0; s + 1 < c.steps.size(); ++s) {
      doc.currentFrame = static_cast<int16_t>(c.steps[s]);
      if (c.steps[s] < 0)
        ResetRetainedPicture();
      else
        RefreshFrameView(RefreshMode::kFull);
    }
    int last = c.steps.back();
    std::string got = Show(last).rect, alone = Rect(2 * last, 0, 2, 2);
    EXPECT_EQ(got != alone, c.composed) << c.situation << ": expected " << (c.composed ? "composed" : alone)
                                        << ", got " << got;
  }
}

TEST_F(FrameComposer, TransparentPixelsShowTheRetainedPictureOnlyWhenComposed) {
  AppendImage(3, 1, kGreys, {1, 1, 1});
  Frame& over = AppendImage(3, 1, kGreys, {2, 3, 0});
  over.transparent = 1;
  over.transparentIndex = 3;
  Show(0);
  EXPECT_EQ(Show(1).rows, (std::vector<uint8_t>{2, 1, 0})) << "composed: expected frame 0 through index 3";
  ResetRetainedPicture();
  EXPECT_EQ(Show(1).rows, (std::vector<uint8_t>{2, 3, 0})) << "alone: expected index 3 itself";
  over.transparentIndex = 256 + 3;  // matches no pixel
  Show(0);
  EXPECT_EQ(Show(1).rows, (std::vector<uint8_t>{2, 3, 0})) << "expected no pixel skipped for index 259";
}

TEST_F(FrameComposer, DisplayMapFindsTheTrueNearestOverAll256Entries) {
  std::vector<RgbTriple> noise(256);
  std::vector<uint8_t> bytes = Noise(256 * 3, 256);
  for (size_t i = 0; i < 256; ++i) noise[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  AppendImage(1, 1, noise, {0});
  AppendImage(1, 1, noise, {0});
  BuildDisplayMap(0, 1);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(doc.frames[0]->displayMap[i], i) << "equal palettes: expected the identity";

  Frame& from = AppendImage(1, 1, {{100, 100, 100}, {10, 20, 30}, {255, 255, 255}}, {0});
  Frame& to = AppendImage(1, 1, {{0, 0, 0}, {0, 0, 0}}, {0});
  to.palette[9] = {100, 100, 110, 0};  // blue, green, red
  to.palette[5] = {100, 100, 90, 0};
  to.palette[200] = {30, 20, 10, 0};  // beyond colorCount 2
  BuildDisplayMap(2, 3);
  EXPECT_EQ(from.displayMap[0], 5) << "expected the tie to go to the lower index";
  EXPECT_EQ(from.displayMap[1], 200) << "expected the exact match beyond colorCount";
  // 69075 from entry 9: a search starting at 30000 would give 0 (black).
  EXPECT_EQ(from.displayMap[2], 9) << "expected white on the nearest grey, not black";
  EXPECT_EQ(from.displayMap[3], 3) << "expected black, in place on both sides, to stay rather than go to 0";
}

TEST_F(FrameComposer, UnionTooWideToComposeLeavesTheRetainedPicture) {
  AppendImage(10, 1, kGreys, std::vector<uint8_t>(10, 1));
  AppendImage(10, 1, kGreys, std::vector<uint8_t>(10, 2)).left = 32760;  // the union: 32770 wide
  Show(0);
  const uint8_t* kept = retainedPicture.block.data();
  doc.currentFrame = 1;
  EXPECT_FALSE(BuildNewPicture()) << "expected a union wider than 32767 refused";
  EXPECT_FALSE(newPicture.block || framePicture.block) << "expected the new and frame pictures freed";
  EXPECT_EQ(Rect(newPicture.left, newPicture.top, newPicture.width, newPicture.height), Rect(32760, 0, 10, 1))
      << "expected the new picture to describe frame 1 alone";
  EXPECT_TRUE(retainedPicture.block.data() == kept && retainedPicture.frame == 0)
      << "expected the retained picture kept";
  ResetRetainedPicture();
  EXPECT_EQ(Show(1).rows, std::vector<uint8_t>(10, 2)) << "expected frame 1 shown alone afterwards";
}

}  // namespace
