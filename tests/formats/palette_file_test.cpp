// RIFF palette files: the layout written, and a save/load round trip.
#include "formats/palette_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/document.h"
#include "formats/bmp_import.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

TEST(PaletteFileTest, SavingSixteenColoursWritesRiffHeaderCountAndRgbFlagEntries) {
  // One 8x5 frame of the 16 VGA colours, every index shown.
  ResetDocument();
  ASSERT_TRUE(ImportBmp(TestDataPath("bpp4-w8.bmp").c_str(), 0));
  const Frame& frame = *doc.frames[0];
  std::string path = ScratchPath("sixteen.pal");
  ASSERT_TRUE(SavePaletteFile(path.c_str(), 0));
  std::vector<uint8_t> want = {'R', 'I', 'F', 'F', 84, 0, 0, 0, 'P', 'A', 'L', ' ', 'd', 'a', 't', 'a', 72, 0, 0, 0,
                               0,   3,   16,  0};
  for (int i = 0; i < 16; ++i)
    want.insert(want.end(), {frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue, 0});
  want.insert(want.end(), 4, 0);
  EXPECT_EQ(want, FileBytes(path));

  // Loaded back, the frame is as it was, on a palette of its own.
  std::vector<uint8_t> pixels = FramePixels(0);
  PaletteEntry palette[16];
  memcpy(palette, frame.palette, sizeof palette);
  doc.frames[0]->useGlobalPalette = 1;
  ASSERT_TRUE(LoadPaletteFile(path.c_str(), 0));
  EXPECT_EQ(pixels, FramePixels(0));
  EXPECT_EQ(0, memcmp(palette, frame.palette, sizeof palette));
  EXPECT_EQ(16, frame.colorCount);
  EXPECT_EQ(0, frame.useGlobalPalette) << "a loaded palette is the frame's own";
  EXPECT_TRUE(headlessUi().messages.empty());
  ResetDocument();
}

}  // namespace
