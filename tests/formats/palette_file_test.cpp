// RIFF palette files: the layout written, the corpus files read or refused,
// a refused file changing nothing, and a save/load round trip.
#include "formats/palette_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "colour/global_palette.h"
#include "document/document.h"
#include "formats/bmp_import.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

class PaletteFileTest : public ::testing::Test {
 protected:
  // One 8x5 frame of the 16 VGA colours, every index shown.
  void SetUp() override {
    ResetDocument();
    ASSERT_TRUE(ImportBmp(TestDataPath("bpp4-w8.bmp").c_str(), 0));
    ResetHeadlessUi();
  }
  void TearDown() override { ResetDocument(); }

  const Frame& frame() const { return *doc.frames[0]; }
};

TEST_F(PaletteFileTest, SavingSixteenColoursWritesTheDescribedLayout) {
  std::string path = ScratchPath("sixteen.pal");
  ASSERT_TRUE(SavePaletteFile(path.c_str(), 0));
  std::vector<uint8_t> bytes = FileBytes(path);
  ASSERT_EQ(92u, bytes.size());
  EXPECT_EQ(0, memcmp(bytes.data(), "RIFF", 4));
  EXPECT_EQ(84u, Dword(bytes, 4)) << "RIFF size";
  EXPECT_EQ(0, memcmp(bytes.data() + 8, "PAL data", 8));
  EXPECT_EQ(72u, Dword(bytes, 16)) << "data chunk size";
  EXPECT_EQ(0x0300, bytes[20] | bytes[21] << 8) << "version";
  EXPECT_EQ(16, bytes[22] | bytes[23] << 8) << "count";
  for (int i = 0; i < 16; ++i) {
    const PaletteEntry& e = frame().palette[i];
    std::vector<uint8_t> want = {e.red, e.green, e.blue, 0};
    EXPECT_EQ(want, std::vector<uint8_t>(bytes.begin() + 24 + 4 * i, bytes.begin() + 28 + 4 * i)) << "entry " << i;
  }
  EXPECT_EQ(std::vector<uint8_t>(4, 0), std::vector<uint8_t>(bytes.end() - 4, bytes.end()));
}

TEST_F(PaletteFileTest, ASavedPaletteLoadedBackLeavesTheFrameAsItWas) {
  std::string path = ScratchPath("round.pal");
  ASSERT_TRUE(SavePaletteFile(path.c_str(), 0));
  std::vector<uint8_t> pixels = FramePixels(0);
  std::vector<PaletteEntry> palette(frame().palette, frame().palette + 16);
  doc.frames[0]->useGlobalPalette = 1;
  ASSERT_TRUE(LoadPaletteFile(path.c_str(), 0));
  EXPECT_EQ(pixels, FramePixels(0));
  EXPECT_EQ(0, memcmp(palette.data(), frame().palette, 16 * sizeof(PaletteEntry)));
  EXPECT_EQ(16, frame().colorCount);
  EXPECT_EQ(0, frame().useGlobalPalette) << "a loaded palette is the frame's own";
  EXPECT_TRUE(headlessUi().messages.empty());
}

TEST_F(PaletteFileTest, CorpusPalettesLoadWithTheirCountsAndMissingEntriesBlack) {
  struct Case {
    const char* file;
    int count;
    int firstRed;  // red of entry 1
  } cases[] = {
      {"palette-16.pal", 16, 128},      {"palette-2.pal", 2, 255},     {"count-300.pal", 256, -1},
      {"palette-256.pal", 256, -1},     {"palette-256-flags.pal", 256, -1}, {"riff-size-wrong.pal", 16, 128},
      {"malformed-truncated.pal", 256, -1},
  };
  for (const Case& c : cases) {
    memset(loadedPalette, 0x5A, sizeof loadedPalette);
    ASSERT_TRUE(ReadPaletteFile(TestDataPath(c.file).c_str())) << c.file;
    EXPECT_EQ(c.count, loadedColorCount) << c.file;
    if (c.firstRed >= 0) {
      EXPECT_EQ(c.firstRed, loadedPalette[1].red) << c.file;
    }
  }
  // 16 entries held of 256 claimed: the rest are black, not what was there.
  for (int i = 16; i < 256; ++i) {
    const LoadedColor& e = loadedPalette[i];
    ASSERT_EQ(0, e.red | e.green | e.blue | e.flags) << "entry " << i;
  }
}

TEST_F(PaletteFileTest, RefusedFilesSayOnceAndChangeNeitherPaletteNorFrame) {
  const char* refused[] = {"count-0.pal",           "count-negative.pal", "count-negative-32768.pal",
                           "extra-chunk-before-data.pal", "jasc-text.pal", "malformed-empty.pal",
                           "riff-wave.pal",         "no-such-file.pal"};
  ASSERT_TRUE(ReadPaletteFile(TestDataPath("palette-2.pal").c_str()));
  LoadedColor loaded[256];
  memcpy(loaded, loadedPalette, sizeof loaded);
  std::vector<uint8_t> pixels = FramePixels(0);
  PaletteEntry palette[256];
  memcpy(palette, frame().palette, sizeof palette);
  for (const char* file : refused) {
    ResetHeadlessUi();
    EXPECT_FALSE(LoadPaletteFile(TestDataPath(file).c_str(), 0)) << file;
    ASSERT_EQ(1u, headlessUi().messages.size()) << file;
    EXPECT_EQ("Error in reading file", headlessUi().messages[0]) << file;
    EXPECT_EQ(2, loadedColorCount) << file;
    EXPECT_EQ(0, memcmp(loaded, loadedPalette, sizeof loaded)) << file;
    EXPECT_EQ(16, frame().colorCount) << file;
    EXPECT_EQ(0, memcmp(palette, frame().palette, sizeof palette)) << file;
    EXPECT_EQ(pixels, FramePixels(0)) << file;
  }
  // A good file for a frame whose pixels cannot be had in memory.
  uint32_t limit = remapBlockLimit;
  remapBlockLimit = 1;
  bool loadedAnyway = LoadPaletteFile(TestDataPath("palette-2.pal").c_str(), 0);
  remapBlockLimit = limit;
  EXPECT_FALSE(loadedAnyway);
  EXPECT_EQ(16, frame().colorCount) << "expected the count kept with the palette";
  EXPECT_EQ(0, memcmp(palette, frame().palette, sizeof palette));
}

TEST_F(PaletteFileTest, LoadingTwoColoursMovesEveryPixelToTheNearerOne) {
  std::vector<uint8_t> before = FramePixels(0);
  PaletteEntry old[16];
  memcpy(old, frame().palette, sizeof old);
  ASSERT_TRUE(LoadPaletteFile(TestDataPath("palette-2.pal").c_str(), 0));
  EXPECT_EQ(2, frame().colorCount);
  std::vector<uint8_t> after = FramePixels(0);
  for (size_t i = 0; i < after.size(); ++i) {
    const PaletteEntry& e = old[before[i]];
    int toNavy = e.red * e.red + e.green * e.green + (e.blue - 128) * (e.blue - 128);
    int toYellow = (e.red - 255) * (e.red - 255) + (e.green - 255) * (e.green - 255) + e.blue * e.blue;
    EXPECT_EQ(toYellow < toNavy ? 1 : 0, after[i]) << "pixel " << i << " of index " << int(before[i]);
  }
}

TEST_F(PaletteFileTest, CommentsAndMissingFramesHaveNoPalette) {
  EXPECT_FALSE(SavePaletteFile(ScratchPath("none.pal").c_str(), 1)) << "no frame 1";
  EXPECT_FALSE(LoadPaletteFile(TestDataPath("palette-16.pal").c_str(), 1));
  EXPECT_FALSE(SavePaletteFile(ScratchPath("no-folder/x.pal").c_str(), 0)) << "expected an unwritable path to fail";
  doc.frames[0]->disposal = kCommentDisposal;
  EXPECT_FALSE(SavePaletteFile(ScratchPath("comment.pal").c_str(), 0));
}

}  // namespace
