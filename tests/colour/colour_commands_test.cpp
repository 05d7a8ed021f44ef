// The colour commands' cores: what "Decrease number of colors" keeps,
// "Gray scale", the failure that leaves a frame as it was, and the pick
// states.
#include "colour/colour_commands.h"

#include <cstring>
#include <set>
#include <sstream>

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

Frame& AppendTransparent(int width, const std::vector<RgbTriple>& colours, const std::vector<uint8_t>& pixels,
                         int transparentIndex, uint8_t padding = 0) {
  Frame& frame = AppendImage(width, static_cast<int>(pixels.size()) / width, colours, pixels, padding);
  frame.transparent = 1;
  frame.transparentIndex = static_cast<uint16_t>(transparentIndex);
  return frame;
}

std::vector<bool> TransparentPixels(const std::vector<uint32_t>& colours) {
  std::vector<bool> mask;
  for (uint32_t colour : colours) mask.push_back(colour == kTransparentPixel);
  return mask;
}

// The frame keeps exactly its colours when they fit in n, the transparent
// one counted; else at most n, and transparency on exactly the same pixels.
TEST_F(ColourCommandsTest, DecreaseKeepsTransparencyOnExactlyTheSamePixels) {
  // Noise over 256 colours, the transparent index as red as some opaque pixels.
  std::vector<RgbTriple> many;
  for (int i = 0; i < 256; ++i) many.push_back(RgbTriple{uint8_t(255 - (i & 7)), uint8_t(i), uint8_t(i * 5)});
  many[0] = many[1];
  // Three opaque colours among 256 entries, the transparent colour also
  // shown opaque: 3 + an entry of its own fit in 4.
  std::vector<RgbTriple> few(256, RgbTriple{9, 9, 9});
  few[7] = few[41] = {201, 13, 77};
  few[40] = {202, 13, 77};
  const struct {
    std::vector<RgbTriple> colours;
    std::vector<uint8_t> pixels;
    int width, transparent, n;
  } cases[] = {{few, {7, 40, 41, 7, 99, 41, 41, 40}, 4, 41, 4},
               {many, Noise(40 * 30, 256, 777), 40, 0, 2},
               {many, Noise(40 * 30, 256, 777), 40, 0, 8},
               {many, Noise(40 * 30, 256, 777), 40, 0, 128},
               // A near-white opaque pixel lies nearer the white transparent
               // entry than the one opaque colour (the dark mean).
               {{{0, 0, 0}, {250, 250, 250}, {255, 255, 255}}, {0, 0, 0, 0, 1, 2}, 6, 2, 2}};
  for (const auto& c : cases) {
    ResetDocument();
    AppendTransparent(c.width, c.colours, c.pixels, c.transparent);
    const std::vector<uint32_t> before = FrameColours(0);
    const std::string what = std::to_string(c.colours.size()) + " colours to " + std::to_string(c.n);
    ASSERT_TRUE(DecreaseFrameColors(0, c.n)) << what;
    const std::vector<uint32_t> after = FrameColours(0);
    EXPECT_EQ(TransparentPixels(before), TransparentPixels(after)) << what;
    std::set<uint32_t> shown(after.begin(), after.end());
    shown.insert(kTransparentPixel);
    EXPECT_LE(shown.size(), size_t(c.n)) << what << ": expected at most n colours with the transparent one";
    EXPECT_LE(doc.frames[0]->colorCount, c.n) << what;
    EXPECT_TRUE(doc.frames[0]->useGlobalPalette == 0 && doc.modified) << what;
    if (c.n != 4) continue;
    EXPECT_EQ(before, after) << what << ": expected every pixel to keep its colour";
    EXPECT_EQ(4, doc.frames[0]->colorCount) << what;
  }
}

TEST_F(ColourCommandsTest, GrayTurnsEveryEntryToItsMeanAndKeepsTransparencyApart) {
  // Transparent entry 1 has the grey of opaque entry 0 (30) and must move
  // off it, to 29 (as near as 31, lower); entry 4 lies above colorCount.
  Frame& frame = AppendTransparent(5, {{30, 30, 30}, {10, 40, 40}, {255, 0, 0}, {255, 255, 255}, {0, 250, 5}},
                                   {0, 1, 2, 3, 4}, 1, 0xEE);
  frame.colorCount = 4;
  frame.sortFlag = 32;
  frame.interlaced = 64;
  frame.palette[0].reserved = 5;
  ASSERT_TRUE(GrayScaleFrame(0));
  EXPECT_EQ((std::vector<uint8_t>{30, 29, 85, 255, 85, 0xEE, 0xEE, 0xEE}), StoredBlock(0))
      << "(255,0,0) and (0,250,5) -> 85; pad bytes untouched";
  EXPECT_EQ(0x555555u, FrameColours(0)[2]) << "expected the palette a grey ramp";
  EXPECT_EQ((std::vector<int>{29, 85, 5, 0, 0, 0, 256, 1}),
            (std::vector<int>{frame.transparentIndex, frame.displayMap[2], frame.palette[0].reserved, frame.sortFlag,
                              frame.interlaced, frame.useGlobalPalette, frame.colorCount, doc.modified}))
      << "transparent index, display map of red, fourth byte kept, flags cleared, colours, modified";

  // Every level but 0 taken by opaque entries: the transparent grey 128 goes to 0.
  std::vector<RgbTriple> ramp;
  std::vector<uint8_t> all, want;
  for (int i = 0; i < 256; ++i) {
    ramp.push_back(RgbTriple{uint8_t(i + 1), uint8_t(i + 1), uint8_t(i + 1)});
    all.push_back(uint8_t(i));
    want.push_back(uint8_t(i + 1));
  }
  ramp[255] = {128, 128, 128};
  AppendTransparent(256, ramp, all, 255);
  ASSERT_TRUE(GrayScaleFrame(1));
  EXPECT_EQ(want, FramePixels(1)) << "expected each opaque entry on its level, the transparent one on 0";
}

TEST_F(ColourCommandsTest, AFrameWhosePixelsCannotBeHadIsLeftExactlyAsItWas) {
  Frame& frame = AppendTransparent(3, {{1, 2, 3}, {200, 0, 0}, {0, 0, 255}}, {0, 1, 2, 2, 1, 0}, 1);
  frame.colorCount = 256;
  frame.useGlobalPalette = 1;
  frame.sortFlag = 32;
  frame.interlaced = 64;
  frame.displayMap[1] = 9;
  const Frame before = frame;
  const std::vector<uint8_t> block = StoredBlock(0);
  doc.modified = 0;
  remapBlockLimit = 7;  // the frame needs 8 bytes
  EXPECT_FALSE(GrayScaleFrame(0)) << "expected the failure reported";
  EXPECT_FALSE(DecreaseFrameColors(0, 2)) << "expected the failure reported";
  EXPECT_EQ(0, memcmp(&before, doc.frames[0].get(), sizeof before)) << "the frame record changed";
  EXPECT_EQ(block, StoredBlock(0));
  EXPECT_FALSE(doc.modified) << "expected nothing to be modified";
  EXPECT_EQ(0, headlessUi().palettesDeleted + headlessUi().palettesCreated);
}

// A comment entry has no colours to decrease, and is left alone by the
// optimal palette; every image frame, the first included, moves onto it.
TEST_F(ColourCommandsTest, CommentsAreNoFramesForTheColourCommands) {
  AppendImage(1, 1, {{0, 0, 0}}, {0});
  AppendComment("c");
  doc.currentFrame = 1;
  EXPECT_FALSE(BeginDecreaseColors());
  EXPECT_EQ(0, headlessUi().playbackStops) << "expected playback left alone on a comment";
  CalculateOptimalPalette(2);
  EXPECT_TRUE(doc.frames[0]->useGlobalPalette && !doc.frames[1]->useGlobalPalette);
}

// Each button arms its pick, or disarms it when pressed again; a background
// pick stays armed through the transparent button. A release disarms always
// and sets what was armed only on a colour, a transparent pick only on an
// image frame.
TEST_F(ColourCommandsTest, PicksFollowTheButtonsAndAReleaseAlwaysDisarms) {
  // The transparent (T) and background (B) buttons pressed in turn, each
  // followed by the pick then armed: every transition of color_pick.h.
  std::istringstream presses("T1 T0 B2 T2 B0 T1 B2");
  for (std::string press; presses >> press;) {
    press[0] == 'T' ? ArmTransparentPick() : ArmBackgroundPick();
    EXPECT_EQ(press[1] - '0', pickMode) << "after " << press;
  }
  pickMode = kPickBackground;
  ReleasePick(7, true);
  EXPECT_TRUE(pickMode == kNoPick && doc.backgroundIndex == 0 && !doc.modified) << "no frames: nothing to set";

  AppendComment("c");
  Frame& image = AppendImage(1, 1, {{0, 0, 0}}, {0});
  // The pick, the entry, whether the release landed on a colour; then the
  // image frame's transparent index (-1: opaque) and the background index.
  const int releases[][5] = {{kPickTransparent, 0, 1, -1, 0},
                             {kPickTransparent, 1, 0, -1, 0},
                             {kNoPick, 1, 1, -1, 0},
                             {kPickTransparent, 1, 1, 7, 0},
                             {kPickBackground, 1, 1, -1, 7}};
  for (const auto& r : releases) {
    image.transparent = doc.backgroundIndex = doc.modified = 0;
    doc.currentFrame = static_cast<int16_t>(r[1]);
    pickMode = static_cast<uint8_t>(r[0]);
    ReleasePick(7, r[2] != 0);
    const std::string what = "pick " + std::to_string(r[0]) + " on entry " + std::to_string(r[1]);
    EXPECT_EQ(kNoPick, pickMode) << what;
    EXPECT_EQ((std::vector<int>{r[3], r[4], r[3] >= 0 || r[4] > 0}),
              (std::vector<int>{image.transparent ? image.transparentIndex : -1, doc.backgroundIndex, doc.modified}))
        << what << ": transparent index, background, modified";
  }
}

}  // namespace
