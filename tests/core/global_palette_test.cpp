// The global palette and remapping: the map over all 256 entries, the
// transparent index through a remap, the failure that leaves a frame as it
// was, and saving real files without changing a pixel's colour.
#include "colour/global_palette.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "document/document.h"
#include "document/gif_reader.h"
#include "document/gif_screen.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

constexpr RgbTriple kRed{255, 0, 0};
constexpr RgbTriple kGreen{0, 255, 0};
constexpr RgbTriple kBlue{0, 0, 255};
constexpr RgbTriple kWhite{255, 255, 255};
constexpr RgbTriple kBlack{0, 0, 0};

// Appends an image frame with palette colours (the rest black) and pixels
// given top to bottom.
int AddFrame(int width, int height, const std::vector<RgbTriple>& colors, const std::vector<uint8_t>& pixels,
             bool global = true) {
  int index = doc.frameCount;
  EXPECT_TRUE(InsertFrame(index));
  Frame& frame = *doc.frames[index];
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  frame.colorCount = static_cast<int16_t>(colors.size());
  frame.useGlobalPalette = global ? 1 : 0;
  for (size_t i = 0; i < colors.size(); ++i)
    frame.palette[i] = PaletteEntry{colors[i].blue, colors[i].green, colors[i].red, 0};
  int32_t stride = RowStride(width);
  std::vector<uint8_t> block(static_cast<size_t>(stride) * height, 0xEE);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t pixel = pixels[static_cast<size_t>(y) * width + x];
      block[static_cast<size_t>(height - 1 - y) * stride + x] = pixel;
      frame.usedColors[pixel] = 1;
    }
  frame.dataOffset = doc.swapEnd;
  doc.swapFile.WriteBlockAt(doc.swapEnd, block.data(), static_cast<uint32_t>(block.size()));
  doc.swapEnd += static_cast<uint32_t>(block.size());
  return index;
}

// What a frame shows: each pixel's colour (as 0xRRGGBB), -1 where transparent.
std::vector<int32_t> ShownColors(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<int32_t> shown;
  for (uint8_t pixel : FramePixels(index)) {
    const PaletteEntry& e = frame.palette[pixel];
    bool transparent = frame.transparent && pixel == frame.transparentIndex;
    shown.push_back(transparent ? -1 : e.red << 16 | e.green << 8 | e.blue);
  }
  return shown;
}

// The block as stored, padding included.
std::vector<uint8_t> StoredBlock(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<uint8_t> block(static_cast<size_t>(RowStride(frame.width)) * frame.height);
  doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  return block;
}

void SetLoadedPalette(const std::vector<RgbTriple>& colors) {
  for (size_t i = 0; i < colors.size(); ++i) loadedPalette[i] = LoadedColor{colors[i].red, colors[i].green, colors[i].blue, 0};
  loadedColorCount = static_cast<int16_t>(colors.size());
}

class GlobalPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override {
    remapBlockLimit = 0xFFFFFFFF;
    loadedColorCount = 0;
    doc.globalColorCount = 0;
    ResetDocument();
  }
};

// ---- RemapFrame -------------------------------------------------------------------

TEST_F(GlobalPaletteTest, GreyModeMapsEveryEntryToItsMeanAndClearsTheFlags) {
  std::vector<RgbTriple> ramp;
  for (int i = 0; i < 256; ++i) ramp.push_back(RgbTriple{uint8_t(i), uint8_t(i), uint8_t(i)});
  SetLoadedPalette(ramp);
  // Entry 5 lies above colorCount: its pixels must not keep a stale index.
  int f = AddFrame(5, 1, {kRed, kWhite, {10, 20, 31}, kBlack, kBlack, {0, 250, 5}}, {0, 1, 2, 5, 5});
  doc.frames[f]->colorCount = 3;
  doc.frames[f]->sortFlag = 32;
  doc.frames[f]->interlaced = 64;
  doc.frames[f]->palette[0].reserved = 5;
  RemapFrame(f, RemapMode::kGrey);
  EXPECT_EQ((std::vector<uint8_t>{85, 255, 20, 85, 85, 0xEE, 0xEE, 0xEE}), StoredBlock(f))
      << "(255,0,0) -> 85, white -> 255, 61/3 -> 20; padding untouched";
  const Frame& frame = *doc.frames[f];
  EXPECT_EQ(0, frame.sortFlag);
  EXPECT_EQ(0, frame.interlaced);
  EXPECT_EQ(85, frame.palette[85].red);
  EXPECT_EQ(5, frame.palette[0].reserved) << "the fourth byte keeps its value";
  EXPECT_EQ(85, frame.displayMap[0]);
  EXPECT_EQ(3, frame.colorCount) << "the caller sets colorCount";
}

TEST_F(GlobalPaletteTest, ATransparentIndexMergingWithAnOpaqueColourGetsATargetOfItsOwn) {
  // Entries 0 and 1 both land on red: the opaque red pixels must not turn
  // transparent, so the transparent index takes the nearest free target.
  SetLoadedPalette({kRed, kBlue, kGreen});
  int f = AddFrame(4, 1, {kRed, {250, 0, 0}, kBlue}, {0, 1, 2, 1});
  doc.frames[f]->transparent = 1;
  doc.frames[f]->transparentIndex = 1;
  RemapFrame(f, RemapMode::kLoaded);
  const Frame& frame = *doc.frames[f];
  std::vector<uint8_t> pixels = FramePixels(f);
  EXPECT_EQ(pixels[1], frame.transparentIndex) << "transparent pixels keep the transparent index";
  EXPECT_EQ(pixels[3], frame.transparentIndex);
  EXPECT_EQ(0, pixels[0]);
  EXPECT_NE(pixels[0], frame.transparentIndex) << "red stays opaque";
  EXPECT_EQ(2, frame.transparentIndex);
  EXPECT_TRUE(frame.usedColors[2] && frame.usedColors[0] && frame.usedColors[1]);
}

TEST_F(GlobalPaletteTest, AFrameOnAPaletteEqualToTheGlobalOneKeepsItsIndicesDuplicatesIncluded) {
  std::vector<RgbTriple> colors = {kBlack, kWhite, kBlack, kRed};
  for (size_t i = 0; i < colors.size(); ++i) doc.globalPalette[i] = colors[i];
  doc.globalColorCount = 4;
  int f = AddFrame(4, 1, colors, {2, 0, 3, 1});
  RemapFrame(f, RemapMode::kGlobal);
  EXPECT_EQ((std::vector<uint8_t>{2, 0, 3, 1}), FramePixels(f)) << "index 2 is not moved to its twin 0";
}

TEST_F(GlobalPaletteTest, AFailedAllocationLeavesTheFrameExactlyAsItWas) {
  SetLoadedPalette({kBlack});
  int f = AddFrame(3, 2, {kRed, kWhite}, {0, 1, 1, 0, 1, 0});
  Frame& frame = *doc.frames[f];
  frame.transparent = 1;
  frame.transparentIndex = 1;
  frame.sortFlag = 32;
  frame.interlaced = 64;
  frame.displayMap[1] = 9;
  Frame before = frame;
  std::vector<uint8_t> block = StoredBlock(f);
  remapBlockLimit = 7;  // the frame needs 8 bytes
  RemapFrame(f, RemapMode::kLoaded);
  EXPECT_EQ(0, memcmp(&before, &frame, sizeof frame)) << "the frame record changed";
  EXPECT_EQ(block, StoredBlock(f));
  EXPECT_EQ(0, headlessUi().palettesDeleted + headlessUi().palettesCreated);
}

// ---- BuildGlobalPalette -------------------------------------------------------------

TEST_F(GlobalPaletteTest, TwoFramesWithDisjointColoursShareOnePaletteAndAThirdIsLeftAlone) {
  int a = AddFrame(2, 2, {kRed, kGreen}, {0, 1, 1, 0});
  int b = AddFrame(3, 1, {kBlue, kWhite, kRed}, {1, 0, 2});
  int c = AddFrame(2, 1, {kWhite, kBlack}, {1, 0}, /*global=*/false);
  doc.backgroundIndex = 3;
  std::vector<int32_t> shownA = ShownColors(a), shownB = ShownColors(b);
  Frame beforeC = *doc.frames[c];
  std::vector<uint8_t> pixelsC = FramePixels(c);

  BuildGlobalPalette(256);
  EXPECT_EQ(1, doc.hasGlobalPalette);
  ASSERT_EQ(4, doc.globalColorCount);
  EXPECT_EQ(4, screenDescriptor.tableSize);
  EXPECT_EQ(0xF9, screenDescriptor.packed);
  EXPECT_EQ(3, screenDescriptor.backgroundIndex);
  EXPECT_EQ(shownA, ShownColors(a));
  EXPECT_EQ(shownB, ShownColors(b));
  for (int f : {a, b}) {
    EXPECT_EQ(4, doc.frames[f]->colorCount);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(doc.globalPalette[i].blue, doc.frames[f]->palette[i].blue) << f << ":" << i;
  }
  EXPECT_EQ(0, memcmp(&beforeC, doc.frames[c].get(), sizeof beforeC)) << "the frame without the flag changed";
  EXPECT_EQ(pixelsC, FramePixels(c));
  EXPECT_EQ("", headlessUi().statusText);
  EXPECT_EQ(1, headlessUi().progressHidden);
}

TEST_F(GlobalPaletteTest, NoFrameWithTheFlagWritesNoGlobalTable) {
  AddFrame(1, 1, {kRed}, {0}, /*global=*/false);
  doc.hasGlobalPalette = 1;
  doc.globalColorCount = 5;
  doc.backgroundIndex = 2;
  BuildGlobalPalette(16);
  EXPECT_EQ(0, doc.hasGlobalPalette);
  EXPECT_EQ(0, doc.globalColorCount);
  EXPECT_EQ(16, screenDescriptor.tableSize);
  EXPECT_EQ(0x78 | 3, screenDescriptor.packed);
  EXPECT_EQ(2, screenDescriptor.backgroundIndex);
}

TEST_F(GlobalPaletteTest, PureRedKeepsItsExactColourInTheGlobalPalette) {
  AddFrame(2, 1, {kRed, kBlue}, {0, 0});
  AddFrame(1, 1, {kWhite, kRed}, {1});
  BuildGlobalPalette(256);
  ASSERT_EQ(1, doc.globalColorCount) << "only red is shown";
  EXPECT_EQ(255, doc.globalPalette[0].red);
  EXPECT_EQ(0, doc.globalPalette[0].green);
  EXPECT_EQ(0x78 | 0x80 | SizeCode(1), screenDescriptor.packed);
  EXPECT_EQ((std::vector<uint8_t>{0}), FramePixels(1));
}

TEST_F(GlobalPaletteTest, ATransparentColourAlsoShownOpaqueGetsAGlobalEntryOfItsOwn) {
  int a = AddFrame(3, 1, {kBlack, kWhite, kBlack}, {0, 1, 2});
  doc.frames[a]->transparent = 1;
  doc.frames[a]->transparentIndex = 2;
  int b = AddFrame(1, 1, {kRed}, {0});
  std::vector<int32_t> shownA = ShownColors(a);
  BuildGlobalPalette(256);
  EXPECT_EQ(4, doc.globalColorCount);
  EXPECT_EQ(shownA, ShownColors(a)) << "black stays opaque, the transparent pixel transparent";
  EXPECT_EQ((std::vector<int32_t>{0xFF0000}), ShownColors(b));
}

// ---- saving real files ----------------------------------------------------------------

struct Snapshot {
  std::vector<std::vector<int32_t>> shown;
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<uint16_t> transparentIndex;
};

Snapshot Take() {
  Snapshot s;
  for (int i = 0; i < doc.frameCount; ++i) {
    bool image = !IsComment(*doc.frames[i]);
    s.shown.push_back(image ? ShownColors(i) : std::vector<int32_t>());
    s.pixels.push_back(image ? FramePixels(i) : std::vector<uint8_t>());
    s.transparentIndex.push_back(doc.frames[i]->transparentIndex);
  }
  return s;
}

TEST_F(GlobalPaletteTest, BuildingTheGlobalPaletteOfAnUnchangedFileChangesNoPixel) {
  for (const char* name : {"hippopotamus-regular.gif", "fire.gif", "muybridge.gif", "local-color-tables.gif",
                           "transparency.gif", "animated-red-blue.gif", "transparent-index-outside-table.gif"}) {
    ResetDocument();
    ASSERT_TRUE(ReadGif(TestDataPath(name).c_str(), 0)) << name;
    Snapshot before = Take();
    BuildGlobalPalette(256);
    Snapshot after = Take();
    for (int i = 0; i < doc.frameCount; ++i) {
      EXPECT_EQ(before.shown[i], after.shown[i]) << name << " frame " << i << " shows other colours";
      if (doc.frames[i]->useGlobalPalette && !strcmp(name, "transparent-index-outside-table.gif")) continue;
      EXPECT_EQ(before.pixels[i], after.pixels[i]) << name << " frame " << i << " has other indices";
      EXPECT_EQ(before.transparentIndex[i], after.transparentIndex[i]) << name << " frame " << i;
    }
  }
}

TEST_F(GlobalPaletteTest, FramesWithMoreThan256ColoursTogetherShareTheNearestColours) {
  ASSERT_TRUE(ReadGif(TestDataPath("local-color-tables.gif").c_str(), 0));
  std::set<int32_t> distinct;
  for (int i = 0; i < doc.frameCount; ++i) {
    for (int32_t c : ShownColors(i)) distinct.insert(c);
    doc.frames[i]->useGlobalPalette = 1;
    doc.frames[i]->transparent = 0;
  }
  ASSERT_GT(distinct.size(), 256u) << "the file is meant to need median cut";
  Snapshot before = Take();
  BuildGlobalPalette(256);
  ASSERT_EQ(256, doc.globalColorCount);
  for (int i = 0; i < doc.frameCount; ++i) {
    std::vector<uint8_t> pixels = FramePixels(i);
    for (size_t p = 0; p < pixels.size(); ++p) {
      int32_t c = before.shown[i][p];
      ASSERT_EQ(NearestGlobalColor(c >> 16, (c >> 8) & 0xFF, c & 0xFF), pixels[p]) << "frame " << i << " pixel " << p;
    }
  }
}

}  // namespace
