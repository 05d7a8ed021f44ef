// Cropping to dirty rectangles, restoring full frames and cropping to a
// selection: the edge cases, by position and pixel. That no screen changes
// is optimize_property_test.cpp's part.
#include "editing/dirty_rectangles.h"

#include "document/document.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

const std::vector<RgbTriple> kPalette = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                         {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 255}};

struct Rect {
  int left, top, width, height;
};

Rect RectOf(int index) {
  const Frame& f = *doc.frames[index];
  return {f.left, f.top, f.width, f.height};
}

std::string Text(const Rect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

Frame& AddFrame(const Rect& r, const std::vector<uint8_t>& pixels, int disposal = 0,
                const std::vector<RgbTriple>& palette = kPalette) {
  Frame& frame = AppendImage(r.width, r.height, palette, pixels);
  frame.left = static_cast<int16_t>(r.left);
  frame.top = static_cast<int16_t>(r.top);
  frame.disposal = static_cast<uint8_t>(disposal);
  return frame;
}

// The pixels of rectangle part of a picture w wide.
std::vector<uint8_t> Cut(const std::vector<uint8_t>& picture, int w, const Rect& part) {
  std::vector<uint8_t> out;
  for (int y = part.top; y < part.top + part.height; ++y)
    for (int x = part.left; x < part.left + part.width; ++x) out.push_back(picture[static_cast<size_t>(y) * w + x]);
  return out;
}

void ExpectFrame(int index, const Rect& rect, const std::vector<uint8_t>& pixels, const std::string& situation) {
  EXPECT_EQ(Text(rect), Text(RectOf(index))) << situation << ": expected the frame at " << Text(rect);
  EXPECT_TRUE(pixels == FramePixels(index)) << situation << ": expected other pixels";
}

// ---- crop ----------------------------------------------------------------------

TEST(CropToDirty, IdenticalFrameBecomesItsOwnTopLeftPixel) {
  ResetDocument();
  std::vector<uint8_t> pixels = Noise(6 * 5, 8);
  pixels[0] = 5;      // top-left
  pixels[4 * 6] = 6;  // bottom-left, which must not take its place
  AddFrame({2, 3, 6, 5}, pixels, 2);
  AddFrame({2, 3, 6, 5}, pixels, 0);
  CropFramesToDirty();
  ExpectFrame(1, {2, 3, 1, 1}, {5}, "identical frame");
  EXPECT_EQ(0, doc.frames[0]->disposal) << "expected the predecessor to keep its pixels";
  ExpectFrame(0, {2, 3, 6, 5}, pixels, "predecessor");
  ASSERT_EQ(1u, headlessUi().messages.size());
  EXPECT_EQ("Optimization completed", headlessUi().messages[0]);
  EXPECT_EQ(1, doc.modified);
}

TEST(CropToDirty, KeepsExactlyTheDifferingArea) {
  struct Case {
    const char* situation;
    std::vector<std::pair<int, int>> changed;  // (x, y) in a 20x16 frame
    Rect expected;
  };
  const Case cases[] = {
      {"one pixel at (5,7)", {{5, 7}}, {5, 7, 1, 1}},
      {"one row, columns 3..9", {{3, 4}, {6, 4}, {9, 4}}, {3, 4, 7, 1}},
      {"first and last row", {{2, 0}, {11, 15}}, {2, 0, 10, 16}},
      {"last row only", {{19, 15}, {0, 15}}, {0, 15, 20, 1}},
      {"first row only", {{7, 0}}, {7, 0, 1, 1}},
      {"left and right column", {{0, 8}, {19, 9}}, {0, 8, 20, 2}},
  };
  for (const Case& c : cases) {
    ResetDocument();
    std::vector<uint8_t> before = Noise(20 * 16, 8);
    std::vector<uint8_t> after = before;
    for (auto [x, y] : c.changed) after[static_cast<size_t>(y) * 20 + x] ^= 1;
    AddFrame({0, 0, 20, 16}, before);
    AddFrame({0, 0, 20, 16}, after);
    EXPECT_TRUE(CropToDirty(1, 0)) << c.situation;
    ExpectFrame(1, c.expected, Cut(after, 20, c.expected), c.situation);
  }
}

TEST(CropToDirty, ComparesAtTheSameScreenPosition) {
  ResetDocument();
  std::vector<uint8_t> under = Noise(40 * 10, 8);
  AddFrame({0, 0, 40, 10}, under);
  std::vector<uint8_t> over = Cut(under, 40, {10, 0, 20, 10});
  over[5 * 20 + 15] ^= 3;  // screen (25,5)
  AddFrame({10, 0, 20, 10}, over);
  EXPECT_TRUE(CropToDirty(1, 0));
  ExpectFrame(1, {25, 5, 1, 1}, {static_cast<uint8_t>(under[5 * 40 + 25] ^ 3)}, "frame at (10,0)");

  // Reaching past the predecessor: nothing is known about what lies there.
  AddFrame({30, 0, 20, 10}, Cut(under, 40, {10, 0, 20, 10}));
  EXPECT_FALSE(CropToDirty(2, 0));
  EXPECT_EQ(Text({30, 0, 20, 10}), Text(RectOf(2))) << "expected a frame outside its predecessor uncropped";
}

TEST(CropToDirty, ComparesWhatIsSeen) {
  const std::vector<RgbTriple> swapped = {{255, 0, 0}, {0, 0, 0}};
  const std::vector<uint8_t> ones(4 * 3, 1);
  const std::vector<uint8_t> zeros(4 * 3, 0);
  {
    SCOPED_TRACE("the same colours at other indices");
    ResetDocument();
    AddFrame({0, 0, 4, 3}, ones);  // red in kPalette
    AddFrame({0, 0, 4, 3}, zeros, 0, swapped);
    EXPECT_TRUE(CropToDirty(1, 0));
    EXPECT_EQ(Text({0, 0, 1, 1}), Text(RectOf(1)));
  }
  {
    SCOPED_TRACE("the same indices in other colours");
    ResetDocument();
    AddFrame({0, 0, 4, 3}, ones);
    AddFrame({0, 0, 4, 3}, ones, 0, swapped);
    EXPECT_FALSE(CropToDirty(1, 0));
    EXPECT_EQ(Text({0, 0, 4, 3}), Text(RectOf(1)));
  }
  {
    SCOPED_TRACE("a see-through pixel under an opaque one of its colour");
    ResetDocument();
    Frame& under = AddFrame({0, 0, 4, 3}, ones);
    under.transparent = 1;
    under.transparentIndex = 1;
    std::vector<uint8_t> pixels(4 * 3, 7);
    pixels[1 * 4 + 2] = 1;
    Frame& over = AddFrame({0, 0, 4, 3}, pixels);
    over.transparent = 1;
    over.transparentIndex = 7;
    EXPECT_TRUE(CropToDirty(1, 0));
    ExpectFrame(1, {2, 1, 1, 1}, {1}, "opaque over see-through");
  }
  {
    SCOPED_TRACE("see-through pixels of the later frame are cut away");
    ResetDocument();
    std::vector<uint8_t> under = Noise(6 * 6, 4);
    AddFrame({0, 0, 6, 6}, under);
    std::vector<uint8_t> over(6 * 6, 7);
    over[3 * 6 + 2] = static_cast<uint8_t>(under[3 * 6 + 2] ^ 1);
    over[4 * 6 + 4] = under[4 * 6 + 4];
    Frame& frame = AddFrame({0, 0, 6, 6}, over);
    frame.transparent = 1;
    frame.transparentIndex = 7;
    EXPECT_TRUE(CropToDirty(1, 0));
    ExpectFrame(1, {2, 3, 1, 1}, {over[3 * 6 + 2]}, "changed pixel among see-through ones");
  }
}

TEST(CropToDirty, DisposalThatTakesPixelsAwayLeavesThePairUnlessCovered) {
  struct Case {
    const char* situation;
    int underDisposal;
    Rect over;
    bool seeThroughPixel;
    int overDisposal;
    bool cropped;
    int underDisposalAfter;
  };
  const Case cases[] = {
      {"predecessor clears, smaller frame", 2, {1, 1, 4, 4}, false, 0, false, 2},
      {"predecessor restores, see-through pixel", 3, {0, 0, 6, 6}, true, 0, false, 3},
      {"predecessor restores, covered", 3, {0, 0, 6, 6}, false, 0, true, 1},
      {"predecessor clears, covered", 2, {0, 0, 6, 6}, false, 1, true, 0},
      {"reserved disposal with the bit of value 2, covered", 6, {0, 0, 6, 6}, false, 0, true, 4},
      {"reserved disposal without it, smaller frame", 5, {1, 1, 4, 4}, false, 0, true, 5},
      {"frame clears its own rectangle", 0, {0, 0, 6, 6}, false, 2, false, 0},
      {"frame restores its own rectangle", 0, {0, 0, 6, 6}, false, 3, false, 0},
  };
  for (const Case& c : cases) {
    ResetDocument();
    std::vector<uint8_t> under = Noise(6 * 6, 6);
    AddFrame({0, 0, 6, 6}, under, c.underDisposal);
    std::vector<uint8_t> over = Cut(under, 6, c.over);
    over[over.size() - 1] ^= 1;
    if (c.seeThroughPixel) over[0] = 7;
    Frame& frame = AddFrame(c.over, over, c.overDisposal);
    frame.transparent = 1;
    frame.transparentIndex = 7;
    EXPECT_EQ(c.cropped, CropToDirty(1, 0)) << c.situation;
    EXPECT_EQ(c.cropped ? 1 : c.over.width, doc.frames[1]->width) << c.situation;
    EXPECT_EQ(c.underDisposalAfter, doc.frames[0]->disposal) << c.situation << ": predecessor's disposal";
  }
}

// ---- restore -------------------------------------------------------------------

TEST(RestoreFrame, OnePixelGrowsToItsPredecessor) {
  ResetDocument();
  std::vector<uint8_t> under = Noise(100 * 80, 7);
  under[0] = 1;
  AddFrame({0, 0, 100, 80}, under);
  AddFrame({0, 0, 1, 1}, {6});
  RestoreFramesToFullSize();
  std::vector<uint8_t> want = under;
  want[0] = 6;
  // The shared palette may renumber the colours; the rectangle and what the
  // pixels show may not change.
  EXPECT_EQ(Text({0, 0, 100, 80}), Text(RectOf(1)));
  std::vector<uint32_t> colours = FrameColours(1);
  std::vector<uint32_t> underColours = FrameColours(0);
  underColours[0] = 0xFF00FF;
  EXPECT_TRUE(underColours == colours) << "expected the predecessor's colours but the one pixel";
  EXPECT_FALSE(doc.frames[1]->transparent) << "expected an opaque frame where both were opaque";
  ASSERT_EQ(1u, headlessUi().messages.size());
  EXPECT_EQ("Frames restored", headlessUi().messages[0]);
}

TEST(RestoreFrame, DisposalThatTakesPixelsAwayLeavesThePair) {
  for (auto [underDisposal, overDisposal] : {std::pair<int, int>{2, 0}, {3, 0}, {0, 2}}) {
    ResetDocument();
    AddFrame({0, 0, 5, 5}, Noise(25, 8), underDisposal);
    AddFrame({1, 1, 2, 2}, {1, 2, 3, 4}, overDisposal);
    EXPECT_FALSE(RestoreFrame(0, 1)) << "disposals " << underDisposal << ", " << overDisposal;
    EXPECT_EQ(Text({1, 1, 2, 2}), Text(RectOf(1))) << "disposals " << underDisposal << ", " << overDisposal;
  }
}

TEST(RestoreFrame, AreaNeitherFrameCoversStaysSeeThrough) {
  ResetDocument();
  // The predecessor's transparent index 3 is a colour the later frame shows.
  Frame& under = AddFrame({0, 0, 2, 2}, {1, 3, 1, 1});
  under.transparent = 1;
  under.transparentIndex = 3;
  AddFrame({4, 4, 2, 2}, {3, 2, 2, 2});
  ASSERT_TRUE(RestoreFrame(0, 1));
  const Frame& frame = *doc.frames[1];
  EXPECT_EQ(Text({0, 0, 6, 6}), Text(RectOf(1)));
  ASSERT_TRUE(frame.transparent) << "expected the grown frame transparent";
  const int clear = frame.transparentIndex;
  EXPECT_TRUE(clear != 1 && clear != 2 && clear != 3) << "expected an index no drawn pixel uses, got " << clear;
  const uint8_t c = static_cast<uint8_t>(clear);
  const std::vector<uint8_t> want = {1, c, c, c, c, c,  //
                                     1, 1, c, c, c, c,  //
                                     c, c, c, c, c, c,  //
                                     c, c, c, c, c, c,  //
                                     c, c, c, c, 3, 2,  //
                                     c, c, c, c, 2, 2};
  EXPECT_TRUE(want == FramePixels(1)) << "expected see-through wherever neither frame draws";
}

// ---- both commands -------------------------------------------------------------

TEST(DirtyRectangleCommands, OneImageFrameAmongCommentsChangesNothing) {
  ResetDocument();
  AppendComment("before");
  AddFrame({0, 0, 3, 3}, Noise(9, 8));
  AppendComment("after");
  doc.modified = 0;
  const std::vector<Entry> before = DocumentEntries();
  CropFramesToDirty();
  RestoreFramesToFullSize();
  EXPECT_EQ("", Join(EntryDifferences(before, DocumentEntries(), kIndices | kStorage)));
  EXPECT_TRUE(headlessUi().messages.empty()) << "expected no message, got " << headlessUi().messages[0];
  EXPECT_EQ(0, doc.modified);
}

TEST(DirtyRectangleCommands, PairsPassOverComments) {
  ResetDocument();
  std::vector<uint8_t> pixels = Noise(8 * 8, 8);
  AddFrame({0, 0, 8, 8}, pixels);
  AppendComment("one");
  pixels[3 * 8 + 4] ^= 1;
  AddFrame({0, 0, 8, 8}, pixels);
  AppendComment("two");
  pixels[6 * 8 + 1] ^= 1;
  AddFrame({0, 0, 8, 8}, pixels);
  CropFramesToDirty();
  EXPECT_EQ(Text({4, 3, 1, 1}), Text(RectOf(2)));
  EXPECT_EQ(Text({1, 6, 1, 1}), Text(RectOf(4)));
  RestoreFramesToFullSize();
  EXPECT_EQ(Text({0, 0, 8, 8}), Text(RectOf(2)));
  EXPECT_EQ(Text({0, 0, 8, 8}), Text(RectOf(4)));
  EXPECT_EQ("one", CommentText(1));
  EXPECT_EQ("two", CommentText(3));
}

TEST(CropFrameToSelection, KeepsTheSelectedColumnsAndRows) {
  ResetDocument();
  const std::vector<uint8_t> pixels = Noise(10 * 8, 8);
  AddFrame({3, 2, 10, 8}, pixels);
  doc.currentFrame = 0;
  const int cancels = headlessUi().selectionCancels;
  CropFrameToSelection(7, 5, 2, 1);
  ExpectFrame(0, {5, 3, 5, 5}, Cut(pixels, 10, {2, 1, 5, 5}), "corners (7,5) and (2,1)");
  EXPECT_EQ(cancels + 1, headlessUi().selectionCancels) << "expected the selection cancelled";
  EXPECT_EQ(1, doc.modified);

  ResetDocument();
  AddFrame({0, 0, 10, 8}, pixels);
  CropFrameToSelection(-4, 30, 40, -1);
  ExpectFrame(0, {0, 0, 10, 8}, pixels, "corners beyond the frame");
  CropFrameToSelection(4, 1, 4, 6);
  ExpectFrame(0, {0, 0, 10, 8}, pixels, "no width");
}

// ---- failures ------------------------------------------------------------------

TEST(DirtyRectangleCommands, NoMemoryOrNoSwapSpaceLeavesTheFramesAsTheyWere) {
  ResetDocument();
  std::vector<uint8_t> pixels = Noise(8 * 8, 8);
  AddFrame({0, 0, 8, 8}, pixels);
  pixels[9] ^= 1;
  AddFrame({0, 0, 8, 8}, pixels);
  const std::vector<Entry> before = DocumentEntries();

  dirtyBlockLimit = 63;
  CropFramesToDirty();
  RestoreFramesToFullSize();
  dirtyBlockLimit = 0xFFFFFFFF;
  EXPECT_EQ("", Join(EntryDifferences(before, DocumentEntries(), kColoursOnly))) << "no memory";
  EXPECT_EQ(2u, headlessUi().messages.size()) << "expected both commands to report";

  // Growing a frame needs room below 4 GiB in the swap file.
  ResetDocument();
  AddFrame({0, 0, 8, 8}, pixels);
  AddFrame({2, 2, 1, 1}, {3});
  const uint32_t swapEnd = doc.swapEnd;
  doc.swapEnd = 0xFFFFFFFFu - 32;
  EXPECT_FALSE(RestoreFrame(0, 1));
  EXPECT_EQ(0xFFFFFFFFu - 32, doc.swapEnd);
  doc.swapEnd = swapEnd;
  EXPECT_EQ(Text({2, 2, 1, 1}), Text(RectOf(1))) << "no swap space";
}

}  // namespace
