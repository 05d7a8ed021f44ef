// The global palette and remapping: the map over all 256 entries, the
// transparent index through a remap, the failure that leaves a frame as it
// was, and saving real files without changing a pixel's colour.
#include "colour/global_palette.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "colour/nearest_color.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "formats/gif_reader.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

constexpr RgbTriple kRed{255, 0, 0};
constexpr RgbTriple kGreen{0, 255, 0};
constexpr RgbTriple kBlue{0, 0, 255};
constexpr RgbTriple kWhite{255, 255, 255};
constexpr RgbTriple kBlack{0, 0, 0};

// Appends an image frame whose row padding is 0xEE, so that a remap that
// touches padding shows.
int AddFrame(int width, int height, const std::vector<RgbTriple>& colors, const std::vector<uint8_t>& pixels,
             bool global = true) {
  AppendImage(width, height, colors, pixels, 0xEE).useGlobalPalette = global ? 1 : 0;
  return doc.frameCount - 1;
}

// The block as stored, padding included.
std::vector<uint8_t> StoredBlock(int index) {
  const Frame& frame = *doc.frames[index];
  std::vector<uint8_t> block(static_cast<size_t>(RowStride(frame.width)) * frame.height);
  doc.swapFile.ReadBlockAt(frame.dataOffset, block.data(), static_cast<uint32_t>(block.size()));
  return block;
}

void SetLoadedPalette(const std::vector<RgbTriple>& colors) {
  for (size_t i = 0; i < colors.size(); ++i)
    loadedPalette[i] = LoadedColor{colors[i].red, colors[i].green, colors[i].blue, 0};
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
  std::vector<uint32_t> shownA = FrameColours(a), shownB = FrameColours(b);
  Frame beforeC = *doc.frames[c];
  std::vector<uint8_t> pixelsC = FramePixels(c);

  BuildGlobalPalette(256);
  EXPECT_EQ(1, doc.hasGlobalPalette);
  ASSERT_EQ(4, doc.globalColorCount);
  EXPECT_EQ(4, screenDescriptor.tableSize);
  EXPECT_EQ(0xF9, screenDescriptor.packed);
  EXPECT_EQ(3, screenDescriptor.backgroundIndex);
  EXPECT_EQ(shownA, FrameColours(a));
  EXPECT_EQ(shownB, FrameColours(b));
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
  EXPECT_EQ(0xF8, screenDescriptor.packed) << "a global table of 2 entries";
  EXPECT_EQ((std::vector<uint8_t>{0}), FramePixels(1));
}

TEST_F(GlobalPaletteTest, ATransparentColourAlsoShownOpaqueGetsAGlobalEntryOfItsOwn) {
  int a = AddFrame(3, 1, {kBlack, kWhite, kBlack}, {0, 1, 2});
  doc.frames[a]->transparent = 1;
  doc.frames[a]->transparentIndex = 2;
  int b = AddFrame(1, 1, {kRed}, {0});
  std::vector<uint32_t> shownA = FrameColours(a);
  BuildGlobalPalette(256);
  EXPECT_EQ(4, doc.globalColorCount);
  EXPECT_EQ(shownA, FrameColours(a)) << "black stays opaque, the transparent pixel transparent";
  EXPECT_EQ((std::vector<uint32_t>{0xFF0000}), FrameColours(b));
}

// ---- saving real files ----------------------------------------------------------------

// Frames that share one palette and show no more than 256 colours keep their
// indices too; the global frames of transparent-index-outside-table.gif get
// an entry of their own for the transparent index, so only their colours stay.
TEST_F(GlobalPaletteTest, BuildingTheGlobalPaletteOfAnUnchangedFileChangesNoPixel) {
  for (const char* name : {"hippopotamus-regular.gif", "fire.gif", "muybridge.gif", "local-color-tables.gif",
                           "transparency.gif", "animated-red-blue.gif", "transparent-index-outside-table.gif"}) {
    ResetDocument();
    ASSERT_TRUE(ReadGif(TestDataPath(name).c_str(), 0)) << name;
    const std::vector<Entry> before = DocumentEntries();
    BuildGlobalPalette(256);
    const bool indicesKept = strcmp(name, "transparent-index-outside-table.gif") != 0;
    std::vector<std::string> faults =
        EntryDifferences(before, DocumentEntries(), indicesKept ? kIndices : kColoursOnly);
    EXPECT_TRUE(faults.empty()) << name << " changed:\n" << Join(faults);
  }
}

TEST_F(GlobalPaletteTest, FramesWithMoreThan256ColoursTogetherShareTheNearestColours) {
  ASSERT_TRUE(ReadGif(TestDataPath("local-color-tables.gif").c_str(), 0));
  std::set<uint32_t> distinct;
  for (int i = 0; i < doc.frameCount; ++i) {
    for (uint32_t c : FrameColours(i)) distinct.insert(c);
    doc.frames[i]->useGlobalPalette = 1;
    doc.frames[i]->transparent = 0;
  }
  ASSERT_GT(distinct.size(), 256u) << "the file is meant to need median cut";
  const std::vector<Entry> before = DocumentEntries();
  BuildGlobalPalette(256);
  ASSERT_EQ(256, doc.globalColorCount);
  for (int i = 0; i < doc.frameCount; ++i) {
    std::vector<uint8_t> pixels = FramePixels(i);
    for (size_t p = 0; p < pixels.size(); ++p) {
      uint32_t c = before[i].colours[p];
      ASSERT_EQ(NearestGlobalColor(c >> 16, (c >> 8) & 0xFF, c & 0xFF), pixels[p]) << "frame " << i << " pixel " << p;
    }
  }
}

}  // namespace
