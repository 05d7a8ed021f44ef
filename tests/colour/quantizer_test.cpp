// The quantiser: histogram cells and saturation, median cut's boxes, axes
// and colours, the nearest-colour searches, and the exact-colour rule.
#include "colour/quantizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "colour/color_histogram.h"
#include "colour/global_palette.h"
#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "document/document.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

int AddFrame(int width, int height, const std::vector<RgbTriple>& colors, const std::vector<uint8_t>& pixels,
             uint8_t padding = 0) {
  AppendImage(width, height, colors, pixels, padding).useGlobalPalette = 1;
  return doc.frameCount - 1;
}

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
  static void AddColor(uint8_t r, uint8_t g, uint8_t b, int times = 1) {
    for (int i = 0; i < times; ++i) AddColorToHistogram(r, g, b);
  }
};

// ---- the histogram -------------------------------------------------------------

TEST_F(QuantizerTest, AFrameOf70000PixelsOfOneColourSaturatesItsCellAt65535) {
  AddFrame(350, 200, {{255, 0, 0}}, std::vector<uint8_t>(70000, 0));
  AddFrameToHistogram(0);
  EXPECT_EQ(65535, colorHistogram.CountOf(255, 0, 0)) << "a wrapped count would be 4464";
}

TEST_F(QuantizerTest, AFrameCountsItsPixelsByPaletteSkippingRowPadding) {
  // Index 200 lies above colorCount: its palette entry still gives its colour.
  std::vector<RgbTriple> colors(201, RgbTriple{0, 0, 255});
  colors[0] = {255, 0, 0};
  colors[200] = {0, 255, 0};
  int frame = AddFrame(3, 2, colors, {0, 0, 200, 200, 200, 0}, /*padding=*/1);
  doc.frames[frame]->colorCount = 2;
  AddFrameToHistogram(frame);
  EXPECT_EQ(3, colorHistogram.CountOf(255, 0, 0));
  EXPECT_EQ(3, colorHistogram.CountOf(0, 255, 0));
  EXPECT_EQ(0, colorHistogram.CountOf(0, 0, 255)) << "padding bytes are no pixels";
}

// ---- median cut ----------------------------------------------------------------

// A box's colour is the count-weighted mean of its cells' centres.
TEST_F(QuantizerTest, BoxColoursAreCountWeightedMeansOfCellCentres) {
  struct Case {
    const char* what;
    std::vector<std::vector<int>> colours;  // red, green, blue, times
    int n;
    std::vector<int32_t> chosen;
  } cases[] = {
      {"one cell cannot be cut", {{255, 0, 0, 10}, {249, 7, 1, 1}}, 256, {Rgb(252, 4, 4)}},
      {"two cells, the lower half first", {{255, 0, 0, 3}, {0, 0, 0, 5}}, 2, {Rgb(4, 4, 4), Rgb(252, 4, 4)}},
      {"one box of two cells: red (3*4 + 12 + 2) / 4", {{0, 0, 0, 3}, {8, 0, 0, 1}}, 1, {Rgb(6, 4, 4)}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(colorHistogram.Allocate());
    for (const auto& k : c.colours) AddColor(uint8_t(k[0]), uint8_t(k[1]), uint8_t(k[2]), k[3]);
    doc.workPalette[0].reserved = 77;
    SelectColors(c.n);
    std::vector<int32_t> chosen;
    for (int i = 0; i < quantizedCount; ++i) chosen.push_back(WorkColor(i));
    EXPECT_EQ(c.chosen, chosen) << c.what;
    EXPECT_EQ(77, doc.workPalette[0].reserved) << c.what << ": the fourth byte is not a colour";
  }
}

TEST_F(QuantizerTest, TheLongestWeightedAxisIsCutTiesPreferGreenThenRed) {
  // Three cells: a at the origin, b along the first axis, c along the
  // second. The axis cut first puts its far cell alone in box 1.
  struct Case {
    const char* what;
    int b[3];  // cells (blue, green, red) of b and c
    int c[3];
    int alone;  // 'b' or 'c'
  } cases[] = {
      {"green 24x2 ties red 16x3: green", {0, 2, 0}, {0, 0, 3}, 'b'},
      {"red 16x3 ties blue 8x6: red", {0, 0, 3}, {6, 0, 0}, 'b'},
      {"blue 8x7 beats red 16x3", {0, 0, 3}, {7, 0, 0}, 'c'},
      {"green 24x1 beats blue 8x2", {2, 0, 0}, {0, 1, 0}, 'c'},
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(colorHistogram.Allocate());
    AddColor(0, 0, 0);
    AddColor(static_cast<uint8_t>(8 * k.b[2]), static_cast<uint8_t>(8 * k.b[1]), static_cast<uint8_t>(8 * k.b[0]));
    AddColor(static_cast<uint8_t>(8 * k.c[2]), static_cast<uint8_t>(8 * k.c[1]), static_cast<uint8_t>(8 * k.c[0]));
    SelectColors(2);
    ASSERT_EQ(2, quantizedCount) << k.what;
    const int* alone = k.alone == 'b' ? k.b : k.c;
    EXPECT_EQ(Rgb(8 * alone[2] + 4, 8 * alone[1] + 4, 8 * alone[0] + 4), WorkColor(1)) << k.what;
  }
}

TEST_F(QuantizerTest, TheBoxWithMostColoursIsCutWhileThereIsRoomForTwiceTheBoxes) {
  // A tight cluster of four cells and a wide pair of two.
  for (int g = 0; g < 4; ++g) AddColor(128, static_cast<uint8_t>(8 * g), 255);
  AddColor(0, 0, 0);
  AddColor(0, 0, 255);
  for (int n : {4, 3}) {
    ColorBox boxes[4] = {{31, 31, 0, 3, 16, 16, 0, 0}, {0, 31, 0, 0, 0, 0, 0, 0}};
    ShrinkBox(boxes[0]);
    ShrinkBox(boxes[1]);
    ASSERT_EQ(n, MedianCut(boxes, 2, n));
    if (n == 4) {
      EXPECT_EQ(2, boxes[2].greenMin) << "2 x 2 <= 4: the cluster (4 colours) is cut first";
      EXPECT_EQ(31, boxes[3].blueMin) << "2 x 3 > 4: then the widest box";
    } else {
      EXPECT_EQ(31, boxes[2].blueMin) << "2 x 2 > 3: the widest box goes first";
      EXPECT_EQ(3, boxes[0].greenMax - boxes[0].greenMin) << "and the cluster stays whole";
    }
  }
}
TEST_F(QuantizerTest, ShrinkingNarrowsToUsedSlicesAndCountsCells) {
  AddColor(40, 80, 120);
  AddColor(48, 88, 200);
  ColorBox box{0, 31, 0, 31, 0, 31, 0, 0};
  ShrinkBox(box);
  EXPECT_EQ((std::vector<int>{15, 25, 10, 11, 5, 6, 80 * 80 + 24 * 24 + 16 * 16, 2}),
            (std::vector<int>{box.blueMin, box.blueMax, box.greenMin, box.greenMax, box.redMin, box.redMax,
                              static_cast<int>(box.volume), box.colorCount}))
      << "blue, green and red slices, weighted volume, cells";
}

TEST_F(QuantizerTest, AnEmptyHistogramChoosesNoColour) {
  SelectColors(256);
  EXPECT_EQ(0, quantizedCount);
  colorHistogram.Release();
  SelectColors(256);
  EXPECT_EQ(0, quantizedCount) << "without a histogram";
}

TEST_F(QuantizerTest, QuantizingFramesShowsItsStatusAndFreesTheHistogram) {
  colorHistogram.Release();
  int a = AddFrame(2, 1, {{255, 0, 0}, {0, 0, 255}}, {0, 1});
  int b = AddFrame(1, 1, {{0, 255, 0}}, {0});
  int frames[] = {a, b};
  QuantizeFrames(frames, 2, 256);
  EXPECT_EQ(3, quantizedCount);
  EXPECT_FALSE(colorHistogram.IsAllocated());
  EXPECT_EQ("", headlessUi().statusText);
  EXPECT_EQ(2, headlessUi().statusTextsSet) << "\"Calculating optimal palette ...\" then \"\"";
}

// ---- exact colours ---------------------------------------------------------------

TEST_F(QuantizerTest, ExactColoursKeepFirstSeenOrderAndStopPastTheLimit) {
  ExactColorSet set(3);
  EXPECT_TRUE(set.Add(9, 9, 9));
  EXPECT_TRUE(set.Add(1, 2, 3));
  EXPECT_TRUE(set.Add(9, 9, 9));
  EXPECT_TRUE(set.AddTransparentCopy(9, 9, 9));
  EXPECT_EQ(3, set.count()) << "a transparent copy is an entry of its own";
  EXPECT_EQ(Rgb(1, 2, 3), Rgb(set.color(1).red, set.color(1).green, set.color(1).blue));
  EXPECT_TRUE(set.Add(1, 2, 3)) << "a held colour fits at the limit";
  EXPECT_FALSE(set.Add(4, 5, 6));
  EXPECT_TRUE(set.overflowed());
}

TEST_F(QuantizerTest, ExactColoursOfFramesAreCollectedOnlyWhenFewEnough) {
  int a = AddFrame(2, 2, {{10, 20, 30}, {40, 50, 60}, {99, 99, 99}}, {0, 1, 1, 0});
  int b = AddFrame(2, 1, {{40, 50, 60}, {70, 80, 90}}, {1, 0});
  int frames[] = {a, b};
  doc.workPalette[0] = PaletteEntry{1, 1, 1, 0};
  EXPECT_FALSE(CollectExactColors(frames, 2, 2));
  EXPECT_EQ(1, doc.workPalette[0].red) << "untouched when there are too many";
  ASSERT_TRUE(CollectExactColors(frames, 2, 3));
  ASSERT_EQ(3, quantizedCount) << "the unused entry (99,99,99) is no colour of the frames";
  EXPECT_EQ(Rgb(10, 20, 30), WorkColor(0));
  EXPECT_EQ(Rgb(40, 50, 60), WorkColor(1));
  EXPECT_EQ(Rgb(70, 80, 90), WorkColor(2));
}

TEST_F(QuantizerTest, UsedIndicesComeFromThePixelsAsWellAsTheRecord) {
  int a = AddFrame(2, 1, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, {0, 1});
  Frame& frame = *doc.frames[a];
  memset(frame.usedColors, 0, sizeof frame.usedColors);
  frame.usedColors[2] = 1;
  frame.transparent = 1;
  frame.transparentIndex = 7;
  uint8_t used[256];
  FrameUsedIndices(a, used);
  std::vector<int> got;
  for (int i = 0; i < 256; ++i)
    if (used[i]) got.push_back(i);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 7}), got);
}

// ---- nearest colour ----------------------------------------------------------------

class NearestColorTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }
};

TEST_F(NearestColorTest, TiesGoToTheLowestIndexInEveryLayout) {
  for (int i = 0; i < 8; ++i) {
    uint8_t v = static_cast<uint8_t>(200 - 20 * i);
    doc.globalPalette[i] = RgbTriple{v, v, v};
    loadedPalette[i] = LoadedColor{v, v, v, 0};
    doc.workPalette[i] = PaletteEntry{v, v, v, 0};
  }
  doc.globalPalette[7] = doc.globalPalette[3];
  loadedPalette[7] = loadedPalette[3];
  doc.workPalette[7] = doc.workPalette[3];
  doc.globalColorCount = loadedColorCount = quantizedCount = 8;
  EXPECT_EQ(3, NearestGlobalColor(140, 140, 141)) << "entries 3 and 7 are equal";
  EXPECT_EQ(3, NearestLoadedColor(140, 140, 141));
  EXPECT_EQ(3, NearestQuantizedColor(140, 140, 141));
  EXPECT_EQ(4, NearestGlobalColor(110, 110, 110)) << "(120) and (100) are equally far: the lower index";
}

TEST_F(NearestColorTest, AFarColourFindsItsTrulyNearestEntry) {
  doc.globalPalette[0] = RgbTriple{255, 255, 255};
  doc.globalPalette[1] = RgbTriple{110, 110, 110};
  doc.globalColorCount = 2;
  ASSERT_GT(ColorDistance(0, 0, 0, 110, 110, 110), 30000);
  EXPECT_EQ(1, NearestGlobalColor(0, 0, 0)) << "black is nearer dark grey than white";
}

TEST_F(NearestColorTest, AnExactMatchEndsTheSearchAndAnEmptyPaletteGivesZero) {
  int visited = 0;
  int got = NearestIndex(5, 5, 5, 6, [&visited](int i, int* r, int* g, int* b) {
    ++visited;
    *r = *g = *b = i == 2 || i == 4 ? 5 : 100;
  });
  EXPECT_EQ(2, got);
  EXPECT_EQ(3, visited) << "entries after the exact match are not looked at";
  quantizedCount = 0;
  EXPECT_EQ(0, NearestQuantizedColor(1, 2, 3));
}

}  // namespace
