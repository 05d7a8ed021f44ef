// The quantiser: the histogram's cells, the colours median cut chooses, the
// exact-colour rule, and the nearest-colour searches.
#include "colour/quantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "colour/color_histogram.h"
#include "colour/global_palette.h"
#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

// Colours compare as 0xRRGGBB, so that a failure prints both.
int32_t Rgb(int r, int g, int b) { return r << 16 | g << 8 | b; }
int32_t WorkColor(int i) { return Rgb(doc.workPalette[i].red, doc.workPalette[i].green, doc.workPalette[i].blue); }

class QuantizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    ASSERT_TRUE(colorHistogram.Allocate());
    quantizedCount = 0;
  }
  void TearDown() override {
    colorHistogram.Release();
    ResetDocument();
  }
};

// A box's colour is the count-weighted mean of its cells' centres (8k + 4).
TEST_F(QuantizerTest, MedianCutChoosesTheMeansOfTheBoxesItCuts) {
  const struct {
    const char* what;
    std::vector<std::array<int, 4>> colours;  // red, green, blue, times
    int n;
    std::vector<int32_t> chosen;
  } cases[] = {
      {"nothing counted", {}, 256, {}},
      {"one cell cannot be cut", {{255, 0, 0, 10}, {249, 7, 1, 1}}, 256, {Rgb(252, 4, 4)}},
      {"two cells, the lower half first", {{255, 0, 0, 3}, {0, 0, 0, 5}}, 2, {Rgb(4, 4, 4), Rgb(252, 4, 4)}},
      {"one box of two cells: red (3*4 + 12 + 2) / 4", {{0, 0, 0, 3}, {8, 0, 0, 1}}, 1, {Rgb(6, 4, 4)}},
      // The longest axis, weighted blue 8, green 24, red 16, is cut first.
      {"green 24x2 ties red 16x3: green", {{0, 0, 0, 1}, {0, 16, 0, 1}, {24, 0, 0, 1}}, 2,
       {Rgb(16, 4, 4), Rgb(4, 20, 4)}},
      {"red 16x3 ties blue 8x6: red", {{0, 0, 0, 1}, {24, 0, 0, 1}, {0, 0, 48, 1}}, 2,
       {Rgb(4, 4, 28), Rgb(28, 4, 4)}},
      {"blue 8x7 beats red 16x3", {{0, 0, 0, 1}, {24, 0, 0, 1}, {0, 0, 56, 1}}, 2, {Rgb(16, 4, 4), Rgb(4, 4, 60)}},
      {"green 24x1 beats blue 8x2", {{0, 0, 0, 1}, {0, 0, 16, 1}, {0, 8, 0, 1}}, 2, {Rgb(4, 4, 12), Rgb(4, 12, 4)}},
      {"red 16x3 beats green 24x1 from cell 2", {{0, 16, 0, 1}, {24, 24, 0, 1}, {24, 16, 0, 1}}, 2,
       {Rgb(4, 20, 4), Rgb(28, 24, 4)}},
      // A cluster of four cells and a wide pair: while there is room for
      // twice the boxes, the box with most colours is cut; then the widest.
      {"cluster cut before the pair", {{128, 0, 255, 1}, {128, 8, 255, 1}, {128, 16, 255, 1}, {128, 24, 255, 1},
        {0, 0, 0, 1}, {0, 0, 255, 1}}, 4, {Rgb(4, 4, 4), Rgb(132, 8, 252), Rgb(132, 24, 252), Rgb(4, 4, 252)}},
      {"the pair first, the cluster whole", {{128, 0, 255, 1}, {128, 8, 255, 1}, {128, 16, 255, 1},
        {128, 24, 255, 1}, {0, 0, 0, 1}, {0, 0, 255, 1}}, 3, {Rgb(4, 4, 4), Rgb(132, 16, 252), Rgb(4, 4, 252)}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(colorHistogram.Allocate());
    for (const auto& k : c.colours)
      for (int i = 0; i < k[3]; ++i) AddColorToHistogram(uint8_t(k[0]), uint8_t(k[1]), uint8_t(k[2]));
    doc.workPalette[0].reserved = 77;
    SelectColors(c.n);
    std::vector<int32_t> chosen;
    for (int i = 0; i < quantizedCount; ++i) chosen.push_back(WorkColor(i));
    EXPECT_EQ(c.chosen, chosen) << c.what;
    EXPECT_EQ(77, doc.workPalette[0].reserved) << c.what << ": the fourth byte is not a colour";
  }
  colorHistogram.Release();
  SelectColors(256);
  EXPECT_EQ(0, quantizedCount) << "without a histogram";
}

// ---- exact colours ---------------------------------------------------------------

TEST_F(QuantizerTest, ExactColoursOfFramesAreCollectedOnlyWhenFewEnough) {
  AppendImage(2, 2, {{10, 20, 30}, {40, 50, 60}, {99, 99, 99}}, {1, 1, 0, 1});
  AppendImage(2, 1, {{40, 50, 60}, {70, 80, 90}}, {1, 0});
  AddFrameToHistogram(0);
  EXPECT_EQ(1, colorHistogram.CountOf(10, 20, 30)) << "every row of the frame counted, the first included";
  const int frames[] = {0, 1};
  doc.workPalette[0] = PaletteEntry{1, 1, 1, 0};
  EXPECT_FALSE(CollectExactColors(frames, 2, 2));
  EXPECT_EQ(1, doc.workPalette[0].red) << "untouched when there are too many";
  ASSERT_TRUE(CollectExactColors(frames, 2, 3));
  ASSERT_EQ(3, quantizedCount) << "the unused entry (99,99,99) is no colour of the frames";
  EXPECT_EQ((std::vector<int32_t>{Rgb(10, 20, 30), Rgb(40, 50, 60), Rgb(70, 80, 90)}),
            (std::vector<int32_t>{WorkColor(0), WorkColor(1), WorkColor(2)}));

  // The indices a frame shows come from its pixels as well as its record.
  Frame& frame = AppendImage(2, 1, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, {0, 1});
  memset(frame.usedColors, 0, sizeof frame.usedColors);
  frame.usedColors[2] = 1;
  frame.transparent = 1;
  frame.transparentIndex = 7;
  uint8_t used[256];
  FrameUsedIndices(2, used);
  std::vector<int> got;
  for (int i = 0; i < 256; ++i)
    if (used[i]) got.push_back(i);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 7}), got);
  frame.transparent = 0;
  FrameUsedIndices(2, used);
  EXPECT_FALSE(used[7]) << "an opaque frame's transparent index is no colour of it";

  // Runs of eight are passed over only when they repeat an index marked:
  // the first run of a row, and a run that repeats only its first pixel,
  // still count.
  std::vector<uint8_t> pixels(32, 2);
  std::fill(pixels.begin(), pixels.begin() + 8, 1);
  pixels[16 + 1] = 6;
  Frame& runs = AppendImage(16, 2, {{0, 0, 0}}, pixels);
  memset(runs.usedColors, 0, sizeof runs.usedColors);
  FrameUsedIndices(3, used);
  got.clear();
  for (int i = 0; i < 256; ++i)
    if (used[i]) got.push_back(i);
  EXPECT_EQ((std::vector<int>{1, 2, 6}), got);
}

}  // namespace
