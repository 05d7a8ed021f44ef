// Cropping to dirty rectangles and restoring full frames when memory or swap
// space runs out, and cropping to a selection. What each frame becomes and
// what the commands say are checked in optimize_property_test.cpp.
#include "editing/dirty_rectangles.h"

#include "editing/palette_order.h"

#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

const std::vector<RgbTriple> kPalette = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                         {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};

std::string RectOf(int index) {
  const Frame& f = *doc.frames[index];
  return "(" + std::to_string(f.left) + "," + std::to_string(f.top) + ") " + std::to_string(f.width) + "x" +
         std::to_string(f.height);
}

void AddFrame(int left, int top, int width, int height, const std::vector<uint8_t>& pixels) {
  Frame& frame = AppendImage(width, height, kPalette, pixels);
  frame.left = static_cast<int16_t>(left);
  frame.top = static_cast<int16_t>(top);
}

TEST(DirtyRectangleCommands, NoMemoryOrNoSwapSpaceLeavesTheFramesAsTheyWere) {
  ResetDocument();
  std::vector<uint8_t> pixels = Noise(8 * 8, 8);
  AddFrame(0, 0, 8, 8, pixels);
  pixels[9] ^= 1;
  AddFrame(0, 0, 8, 8, pixels);
  const std::vector<Entry> before = DocumentEntries();
  dirtyBlockLimit = 63;
  CropFramesToDirty();
  RestoreFramesToFullSize();
  dirtyBlockLimit = 0xFFFFFFFF;
  EXPECT_EQ("", Join(EntryDifferences(before, DocumentEntries(), kColoursOnly))) << "no memory";
  EXPECT_EQ(2u, headlessUi().messages.size()) << "expected both commands to report";

  // Growing a frame needs room below 4 GiB in the swap file.
  AddFrame(2, 2, 1, 1, {3});
  const uint32_t swapEnd = doc.swapEnd;
  doc.swapEnd = 0xFFFFFFFFu - 32;
  EXPECT_FALSE(RestoreFrame(1, 2));
  EXPECT_EQ(0xFFFFFFFFu - 32, doc.swapEnd);
  doc.swapEnd = swapEnd;
  EXPECT_EQ("(2,2) 1x1", RectOf(2)) << "no swap space";

  // The renumbering of the global palette rewrites frame after frame: a
  // swap file that fills after the first puts the first back too.
  ResetDocument();
  for (int i = 0; i < 8; ++i) doc.globalPalette[i] = kPalette[static_cast<size_t>(i)];
  doc.globalColorCount = 8;
  doc.hasGlobalPalette = 1;
  for (int f = 0; f < 2; ++f) {
    std::vector<uint8_t> high = Noise(8 * 8, 2, static_cast<uint32_t>(f));
    for (uint8_t& pixel : high) pixel = static_cast<uint8_t>(pixel + 6);
    AddFrame(0, 0, 8, 8, high);
    doc.frames[f]->useGlobalPalette = 1;
  }
  const std::vector<Entry> numbered = DocumentEntries();
  doc.swapEnd = static_cast<uint32_t>(kSwapLimit - 8 * 8 - 1);
  EXPECT_FALSE(RenumberPalettes());
  doc.swapEnd = swapEnd;
  EXPECT_EQ("", Join(EntryDifferences(numbered, DocumentEntries(), kIndices))) << "swap file full half way";
  EXPECT_EQ(8, doc.globalColorCount);
  EXPECT_TRUE(RenumberPalettes()) << "with room";
  EXPECT_EQ(3, doc.globalColorCount) << "the two colours shown and the background";
}

TEST(CropFrameToSelection, KeepsTheSelectedColumnsAndRows) {
  ResetDocument();
  const std::vector<uint8_t> pixels = Noise(10 * 8, 8);
  AddFrame(3, 2, 10, 8, pixels);
  const int cancels = headlessUi().selectionCancels;
  CropFrameToSelection(7, 5, 2, 1);
  EXPECT_EQ("(5,3) 5x5", RectOf(0)) << "corners (7,5) and (2,1)";
  std::vector<uint8_t> want;
  for (int y = 1; y <= 5; ++y) want.insert(want.end(), &pixels[y * 10 + 2], &pixels[y * 10 + 7]);
  EXPECT_EQ(want, FramePixels(0));
  EXPECT_EQ(cancels + 1, headlessUi().selectionCancels) << "expected the selection cancelled";
  EXPECT_EQ(1, doc.modified);

  ResetDocument();
  AddFrame(0, 0, 10, 8, pixels);
  CropFrameToSelection(-4, 30, 40, -1);
  EXPECT_EQ("(0,0) 10x8", RectOf(0)) << "corners beyond the frame";
  EXPECT_EQ(pixels, FramePixels(0)) << "corners beyond the frame";
  CropFrameToSelection(4, 1, 4, 6);
  EXPECT_EQ("(0,0) 10x8", RectOf(0)) << "no width";
}

}  // namespace
