// The colour commands' cores: what "Decrease number of colors" offers, the
// exact colours kept when they fit, transparency through a reduction and
// through grey, the failure that leaves a frame as it was, the pick states,
// and "Calculate optimal palette" as the editor sees it.
#include "colour/colour_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "colour/color_pick.h"
#include "colour/global_palette.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

class ColourCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override {
    remapBlockLimit = 0xFFFFFFFF;
    pickMode = kNoPick;
    ResetDocument();
  }
};

std::set<uint32_t> OpaqueColours(const std::vector<uint32_t>& colours) {
  std::set<uint32_t> shown(colours.begin(), colours.end());
  shown.erase(kTransparentPixel);
  return shown;
}

void ExpectSameTransparentPixels(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after) {
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(before[i] == kTransparentPixel, after[i] == kTransparentPixel)
        << "pixel " << i << ": expected transparent " << (before[i] == kTransparentPixel) << ", got "
        << (after[i] == kTransparentPixel);
}

// ---- Decrease number of colors ---------------------------------------------------

TEST_F(ColourCommandsTest, DecreaseOffersTheLargestPowerOfTwoBelowTheColourCount) {
  EXPECT_FALSE(BeginDecreaseColors()) << "no frames";
  AppendComment("c");
  EXPECT_FALSE(BeginDecreaseColors()) << "a comment entry";
  EXPECT_EQ(0, headlessUi().playbackStops) << "expected playback left alone on a comment";
  AppendImage(1, 1, {{0, 0, 0}}, {0});
  doc.currentFrame = 1;
  const int cases[][2] = {{256, 6}, {129, 6}, {128, 5}, {65, 5}, {5, 1}, {4, 0}, {3, 0}};
  for (const auto& c : cases) {
    doc.frames[1]->colorCount = static_cast<int16_t>(c[0]);
    depthExponent = depthExponentMax = -9;
    EXPECT_TRUE(BeginDecreaseColors()) << c[0] << " colours";
    EXPECT_EQ(c[1], depthExponentMax) << c[0] << " colours: expected exponent " << c[1] << ", got " << depthExponentMax;
    EXPECT_EQ(depthExponentMax, depthExponent) << "expected the dialog to start at its largest count";
  }
  doc.frames[1]->colorCount = 2;
  int stops = headlessUi().playbackStops;
  EXPECT_FALSE(BeginDecreaseColors()) << "2 colours: nothing to offer";
  EXPECT_EQ(stops + 1, headlessUi().playbackStops) << "expected playback stopped before the count is looked at";
}

TEST_F(ColourCommandsTest, DecreaseOfAFrameShowingAtMostNColoursKeepsThemExactly) {
  // 256 palette entries; three opaque colours shown, the transparent one
  // also shown opaque: 3 + an entry of its own = 4 fit in 4.
  std::vector<RgbTriple> colours(256, RgbTriple{9, 9, 9});
  colours[7] = {201, 13, 77};
  colours[40] = {202, 13, 77};
  colours[41] = {201, 13, 77};
  Frame& frame = AppendImage(4, 2, colours, {7, 40, 41, 7, 99, 41, 41, 40});
  frame.transparent = 1;
  frame.transparentIndex = 41;
  std::vector<uint32_t> before = FrameColours(0);
  ASSERT_TRUE(DecreaseFrameColors(0, 4));
  EXPECT_EQ(before, FrameColours(0)) << "expected every pixel to keep its colour and transparency";
  EXPECT_EQ(4, doc.frames[0]->colorCount);
  EXPECT_EQ(0, doc.frames[0]->useGlobalPalette);
  EXPECT_TRUE(doc.modified);
}

TEST_F(ColourCommandsTest, DecreaseBeyondNKeepsTransparencyOnExactlyTheSamePixels) {
  // Noise over 256 colours, the transparent index as red as some opaque
  // pixels; and N 2 where a near-white opaque pixel lies nearer the white
  // transparent entry than the one opaque colour (the dark mean).
  std::vector<RgbTriple> many;
  for (int i = 0; i < 256; ++i) many.push_back(RgbTriple{uint8_t(255 - (i & 7)), uint8_t(i), uint8_t(i * 5)});
  many[0] = many[1];
  struct Case {
    std::vector<RgbTriple> colours;
    std::vector<uint8_t> pixels;
    int width, transparent, n;
  } cases[] = {{many, Noise(40 * 30, 256, 777), 40, 0, 2},
               {many, Noise(40 * 30, 256, 777), 40, 0, 8},
               {many, Noise(40 * 30, 256, 777), 40, 0, 128},
               {{{0, 0, 0}, {250, 250, 250}, {255, 255, 255}}, {0, 0, 0, 0, 1, 2}, 6, 2, 2}};
  for (const Case& c : cases) {
    ResetDocument();
    Frame& frame = AppendImage(c.width, int(c.pixels.size()) / c.width, c.colours, c.pixels);
    frame.transparent = 1;
    frame.transparentIndex = uint16_t(c.transparent);
    std::vector<uint32_t> before = FrameColours(0);
    ASSERT_TRUE(DecreaseFrameColors(0, c.n)) << c.n;
    std::vector<uint32_t> after = FrameColours(0);
    ExpectSameTransparentPixels(before, after);
    size_t shown = OpaqueColours(after).size() + 1;
    EXPECT_LE(shown, size_t(c.n)) << "expected at most " << c.n << " colours with the transparent one, got " << shown;
    EXPECT_LE(doc.frames[0]->colorCount, c.n);
  }
}

// ---- Gray scale ------------------------------------------------------------------

TEST_F(ColourCommandsTest, GrayMovesATransparentEntryOffTheGreyOfAnOpaqueColour) {
  // Opaque (30,30,30) and transparent (10,40,40) share grey 30; then every
  // level but 0 taken by opaque entries, the transparent grey 128.
  std::vector<RgbTriple> ramp;
  std::vector<uint8_t> all;
  for (int i = 0; i < 255; ++i) {
    ramp.push_back(RgbTriple{uint8_t(i + 1), uint8_t(i + 1), uint8_t(i + 1)});
    all.push_back(uint8_t(i));
  }
  ramp.push_back(RgbTriple{128, 128, 128});
  all.push_back(255);
  struct Case {
    std::vector<RgbTriple> colours;
    std::vector<uint8_t> pixels;
    int transparent;
  } cases[] = {{{{30, 30, 30}, {10, 40, 40}, {200, 0, 1}}, {0, 1, 2, 1}, 1}, {ramp, all, 255}};
  for (const Case& c : cases) {
    ResetDocument();
    Frame& frame = AppendImage(int(c.pixels.size()), 1, c.colours, c.pixels);
    frame.transparent = 1;
    frame.transparentIndex = uint16_t(c.transparent);
    std::vector<uint32_t> before = FrameColours(0);
    ASSERT_TRUE(GrayScaleFrame(0));
    std::vector<uint32_t> after = FrameColours(0);
    ExpectSameTransparentPixels(before, after);
    for (size_t i = 0; i < after.size(); ++i) {
      if (after[i] == kTransparentPixel) continue;
      uint32_t r = before[i] >> 16, g = (before[i] >> 8) & 0xFF, b = before[i] & 0xFF;
      uint32_t grey = (r + g + b) / 3;
      EXPECT_EQ(grey * 0x010101u, after[i]) << "pixel " << i;
    }
    EXPECT_EQ(256, doc.frames[0]->colorCount);
  }
}

TEST_F(ColourCommandsTest, AFrameWhosePixelsCannotBeHadIsLeftExactlyAsItWas) {
  Frame& frame = AppendImage(3, 2, {{1, 2, 3}, {200, 0, 0}, {0, 0, 255}}, {0, 1, 2, 2, 1, 0});
  frame.colorCount = 256;
  frame.useGlobalPalette = 1;
  Frame before = frame;
  std::vector<uint8_t> pixels = FramePixels(0);
  doc.modified = 0;
  remapBlockLimit = 7;  // the frame needs 8 bytes
  EXPECT_FALSE(GrayScaleFrame(0)) << "expected the failure reported";
  EXPECT_FALSE(DecreaseFrameColors(0, 2)) << "expected the failure reported";
  EXPECT_EQ(0, memcmp(&before, doc.frames[0].get(), sizeof before)) << "the frame record changed";
  EXPECT_EQ(pixels, FramePixels(0));
  EXPECT_FALSE(doc.modified) << "expected nothing to be modified";
}

// ---- picks -----------------------------------------------------------------------

TEST_F(ColourCommandsTest, PicksFollowTheButtonsAndAReleaseAlwaysDisarms) {
  const struct {
    uint8_t from;
    void (*arm)();
    uint8_t to;
  } steps[] = {{kNoPick, ArmTransparentPick, kPickTransparent}, {kPickTransparent, ArmTransparentPick, kNoPick},
               {kNoPick, ArmBackgroundPick, kPickBackground},   {kPickTransparent, ArmBackgroundPick, kPickBackground},
               {kPickBackground, ArmBackgroundPick, kNoPick},   {kPickBackground, ArmTransparentPick, kPickBackground}};
  for (const auto& step : steps) {
    pickMode = step.from;
    step.arm();
    EXPECT_EQ(step.to, pickMode) << "from " << int(step.from) << ": expected " << int(step.to) << ", got "
                                 << int(pickMode);
  }
  AppendComment("c");
  AppendImage(1, 1, {{0, 0, 0}}, {0});
  doc.currentFrame = 0;
  doc.modified = 0;
  pickMode = kPickTransparent;
  ReleasePick(5, true);
  EXPECT_EQ(kNoPick, pickMode);
  EXPECT_EQ(0, doc.frames[0]->transparent) << "expected a comment entry untouched";
  EXPECT_FALSE(doc.modified);

  doc.currentFrame = 1;
  pickMode = kPickTransparent;
  ReleasePick(5, false);
  EXPECT_EQ(kNoPick, pickMode) << "expected a release off the colours to disarm";
  EXPECT_EQ(0, doc.frames[1]->transparent);
  pickMode = kPickTransparent;
  ReleasePick(5, true);
  EXPECT_TRUE(doc.frames[1]->transparent && doc.frames[1]->transparentIndex == 5);
  pickMode = kPickBackground;
  ReleasePick(9, true);
  EXPECT_EQ(9, doc.backgroundIndex);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(kNoPick, pickMode);
}

// ---- Calculate optimal palette ----------------------------------------------------

TEST_F(ColourCommandsTest, OptimalPaletteMovesImageFramesOnlyAndSaysSo) {
  AppendImage(2, 1, {{10, 20, 30}, {40, 50, 60}}, {0, 1});
  AppendComment("keep");
  Frame before = *doc.frames[1];
  BeginOptimalPalette();
  EXPECT_EQ(7, depthExponent);
  CalculateOptimalPalette(2 << depthExponent);
  EXPECT_EQ(1, doc.frames[0]->useGlobalPalette);
  EXPECT_EQ(0, memcmp(&before, doc.frames[1].get(), sizeof before)) << "the comment entry changed";
  EXPECT_EQ(2, doc.globalColorCount);
  const HeadlessUi& ui = headlessUi();
  EXPECT_TRUE(ui.playbackStops == 1 && !ui.waitCursor && ui.statusText.empty() && doc.modified);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ("Optimal palette calculated", ui.messages.back());
}

}  // namespace
