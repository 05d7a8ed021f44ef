// The global palette and remapping: the transparent index and duplicate
// entries through a remap, and the global table built over small documents.
// Real files' global palettes are rebuilt by every save in
// save_roundtrip_test.cpp.
#include "colour/global_palette.h"


#include "document/gif_screen.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

constexpr RgbTriple kRed{255, 0, 0};
constexpr RgbTriple kBlue{0, 0, 255};
constexpr RgbTriple kWhite{255, 255, 255};
constexpr RgbTriple kBlack{0, 0, 0};

class GlobalPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }
};

TEST_F(GlobalPaletteTest, RemapKeepsTransparentPixelsApartAndGlobalDuplicatesInPlace) {
  // Entries 0 and 1 both land on red: the opaque red pixels must not turn
  // transparent, so the transparent index takes the nearest free target.
  loadedPalette[0] = {255, 0, 0, 0};
  loadedPalette[1] = {0, 0, 255, 0};
  loadedPalette[2] = {0, 255, 0, 0};
  loadedColorCount = 3;
  Frame& frame = AppendImage(4, 1, {kRed, {250, 0, 0}, kBlue}, {0, 1, 2, 1});
  frame.transparent = 1;
  frame.transparentIndex = 1;
  ASSERT_TRUE(RemapFrame(0, RemapMode::kLoaded));
  EXPECT_EQ((std::vector<uint8_t>{0, 2, 1, 2}), FramePixels(0)) << "red stays opaque, blue moves to 1";
  EXPECT_EQ(2, frame.transparentIndex);
  EXPECT_TRUE(frame.usedColors[2] && frame.usedColors[0] && frame.usedColors[1]);

  // Two frames on one palette with twin entries keep every index: the
  // palette becomes the global one as it is, and index 2 is not moved to its
  // twin 0.
  const std::vector<RgbTriple> colours = {kBlack, kWhite, kBlack, kRed};
  AppendImage(4, 1, colours, {2, 0, 3, 1}).useGlobalPalette = 1;
  AppendImage(2, 1, colours, {0, 2}).useGlobalPalette = 1;
  doc.frames[1]->usedColors[3] = 0;  // marks that lag behind the pixels
  const uint32_t swapEnd = doc.swapEnd;
  BuildGlobalPalette(256);
  EXPECT_EQ((std::vector<uint8_t>{2, 0, 3, 1}), FramePixels(1));
  EXPECT_EQ((std::vector<uint8_t>{0, 2}), FramePixels(2));
  EXPECT_EQ(swapEnd, doc.swapEnd) << "no pixel moved, so none was stored again";
  EXPECT_TRUE(doc.frames[1]->usedColors[3]) << "the used marks follow the pixels";
  BuildGlobalPalette(2);
  EXPECT_EQ(2, screenDescriptor.tableSize) << "expected a table of at most the colours asked for";
}

TEST_F(GlobalPaletteTest, EveryRemapFollowsTheGlobalPaletteOfItsMoment) {
  // Two frames with one palette, remapped onto two different global
  // palettes: the second must not reuse the first's map.
  const std::vector<RgbTriple> colours = {kRed, kBlue};
  AppendImage(2, 1, colours, {0, 1});
  AppendImage(2, 1, colours, {0, 1});
  doc.globalPalette[0] = kBlue;
  doc.globalPalette[1] = kRed;
  doc.globalColorCount = 2;
  ASSERT_TRUE(RemapFrame(0, RemapMode::kGlobal));
  EXPECT_EQ((std::vector<uint8_t>{1, 0}), FramePixels(0));
  doc.globalPalette[0] = kRed;
  doc.globalPalette[1] = kBlue;
  ASSERT_TRUE(RemapFrame(1, RemapMode::kGlobal));
  EXPECT_EQ((std::vector<uint8_t>{0, 1}), FramePixels(1));
}

// A save puts every frame on the global palette; the palette shown for a
// frame is made again only when its colours change.
TEST_F(GlobalPaletteTest, OnlyAFrameWhoseColoursChangeGetsItsPaletteMadeAgain) {
  const std::vector<RgbTriple> colours = {kRed, kBlue};
  AppendImage(2, 1, colours, {0, 1}).useGlobalPalette = 1;
  AppendImage(2, 1, colours, {1, 0}).useGlobalPalette = 1;
  BuildGlobalPalette(256);
  ResetHeadlessUi();
  BuildGlobalPalette(256);
  EXPECT_EQ(0, headlessUi().palettesCreated) << "nothing changed";
  doc.globalPalette[1] = kWhite;
  ASSERT_TRUE(RemapFrame(1, RemapMode::kGlobal));
  EXPECT_EQ(1, headlessUi().palettesCreated);
  const PaletteEntry& white = doc.frames[1]->palette[1];
  EXPECT_TRUE(white.red == 255 && white.green == 255 && white.blue == 255);
  EXPECT_EQ(255, doc.frames[1]->palette[0].red) << "red stays";
}

}  // namespace
