// The global palette and remapping: the transparent index and duplicate
// entries through a remap, the global table built over small documents, and
// real files' global palettes built without changing a pixel.
#include "colour/global_palette.h"

#include <cstring>
#include <set>

#include "colour/nearest_color.h"
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

class GlobalPaletteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override {
    loadedColorCount = 0;
    doc.globalColorCount = 0;
    ResetDocument();
  }
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
  BuildGlobalPalette(256);
  EXPECT_EQ((std::vector<uint8_t>{2, 0, 3, 1}), FramePixels(1));
  EXPECT_EQ((std::vector<uint8_t>{0, 2}), FramePixels(2));
}

// Each case: the global table written, every frame with the flag on it
// showing what it showed, every other frame untouched.
TEST_F(GlobalPaletteTest, BuildingTheGlobalTableKeepsWhatEveryFrameShows) {
  struct Image {
    std::vector<RgbTriple> colours;
    std::vector<uint8_t> pixels;
    bool global;
    int transparent;  // -1: opaque
  };
  const struct {
    const char* situation;
    std::vector<Image> images;
    int n, colours, packed;
  } cases[] = {
      // Black is an entry of the second frame that no pixel shows.
      {"two frames of disjoint colours and one without the flag",
       {{{kRed, kGreen}, {0, 1, 1, 0}, true, -1},
        {{kBlue, kWhite, kRed, kBlack}, {1, 0, 2}, true, -1},
        {{kWhite, kBlack}, {1, 0}, false, -1}},
       256, 4, 0xF9},
      {"no frame with the flag", {{{kRed}, {0}, false, -1}}, 16, 0, 0x78 | 3},
      {"only red shown", {{{kRed, kBlue}, {0, 0}, true, -1}, {{kWhite, kRed}, {1}, true, -1}}, 256, 1, 0xF8},
      {"a transparent colour also shown opaque",
       {{{kBlack, kWhite, kBlack}, {0, 1, 2}, true, 2}, {{kRed}, {0}, true, -1}}, 256, 4, 0xF9},
  };
  for (const auto& c : cases) {
    ResetDocument();
    std::vector<Frame> records;
    std::vector<std::vector<uint32_t>> shown;
    for (const Image& image : c.images) {
      Frame& frame = AppendImage(static_cast<int>(image.pixels.size()), 1, image.colours, image.pixels);
      frame.useGlobalPalette = image.global ? 1 : 0;
      frame.transparent = image.transparent >= 0 ? 1 : 0;
      frame.transparentIndex = static_cast<uint16_t>(image.transparent & 0xFF);
      records.push_back(frame);
      shown.push_back(FrameColours(doc.frameCount - 1));
    }
    doc.hasGlobalPalette = 1;
    doc.backgroundIndex = 3;
    BuildGlobalPalette(c.n);
    EXPECT_EQ((std::vector<int>{c.colours, c.colours > 0, c.colours ? c.colours : c.n, c.packed, 3, 1}),
              (std::vector<int>{doc.globalColorCount, doc.hasGlobalPalette, screenDescriptor.tableSize,
                                screenDescriptor.packed, screenDescriptor.backgroundIndex,
                                headlessUi().progressHidden}))
        << c.situation << ": colours, global table, table size, packed fields, background, progress ended";
    EXPECT_EQ("", headlessUi().statusText) << c.situation;
    for (int f = 0; f < doc.frameCount; ++f) {
      const Frame& frame = *doc.frames[f];
      EXPECT_EQ(shown[f], FrameColours(f)) << c.situation << ", frame " << f;
      if (!c.images[f].global)
        EXPECT_EQ(0, memcmp(&records[f], &frame, sizeof frame)) << c.situation << ": frame " << f << " changed";
      else
        EXPECT_EQ(c.colours, frame.colorCount) << c.situation << ", frame " << f;
    }
  }
}

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
    const std::vector<std::string> faults =
        EntryDifferences(before, DocumentEntries(), indicesKept ? kIndices : kColoursOnly);
    EXPECT_TRUE(faults.empty()) << name << " changed:\n" << Join(faults);
  }
}

// More colours than a palette holds: the frames share the 256 colours
// median cut chose, each pixel the one nearest its own colour.
TEST_F(GlobalPaletteTest, FramesWithMoreThan256ColoursTogetherShareTheNearestColours) {
  ASSERT_TRUE(ReadGif(TestDataPath("local-color-tables.gif").c_str(), 0));
  std::vector<std::vector<uint32_t>> before;
  std::set<uint32_t> distinct;
  for (int i = 0; i < doc.frameCount; ++i) {
    doc.frames[i]->useGlobalPalette = 1;
    doc.frames[i]->transparent = 0;
    before.push_back(FrameColours(i));
    distinct.insert(before[i].begin(), before[i].end());
  }
  ASSERT_GT(distinct.size(), 256u) << "the file is meant to need median cut";
  BuildGlobalPalette(256);
  ASSERT_EQ(256, doc.globalColorCount);
  for (int i = 0; i < doc.frameCount; ++i) {
    const std::vector<uint8_t> pixels = FramePixels(i);
    for (size_t p = 0; p < pixels.size(); ++p) {
      const uint32_t c = before[i][p];
      ASSERT_EQ(NearestGlobalColor(c >> 16, (c >> 8) & 0xFF, c & 0xFF), pixels[p]) << "frame " << i << " pixel " << p;
    }
  }
}

}  // namespace
