// The GIF reader on files built byte by byte: the entry state machine, the
// limits, rows the data does not reach and the colours counted as used.
// Real files, broken ones included, are compared with giflib in
// reader_giflib_test.cpp.
#include "formats/gif_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "document/document.h"
#include "gif_builder.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> Filled(int n, uint8_t value) { return std::vector<uint8_t>(static_cast<size_t>(n), value); }

class GifReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }

  // Reads the bytes into an empty document: whether the read succeeded, the
  // entries, the read errors and the screen, as one line.
  static std::string Read(const std::vector<uint8_t>& bytes) {
    ResetDocument();
    const bool read = ReadGif(WriteScratchFile("built.gif", bytes).c_str(), 0);
    int errors = 0;
    for (const std::string& message : headlessUi().messages) errors += message == "Error in reading file";
    return std::string(read ? "read" : "refused") + ", " + std::to_string(doc.frameCount) + " entries, " +
           std::to_string(errors) + " errors, screen " + std::to_string(doc.screenWidth) + "x" +
           std::to_string(doc.screenHeight);
  }
  const Frame& At(int i) const { return *doc.frames[i]; }
};

// Entry `entry` of each file read shows pixels, with the control block's
// delay and disposal or none.
TEST_F(GifReaderTest, BuiltFilesReadToTheirEntriesAndPixels) {
  GifBuilder limit;
  limit.Header().Screen(2, 2, 4);
  for (int i = 0; i <= kMaxEntries; ++i) limit.GraphicControl(1, false, 2, 0).Image(0, 0, 1, 1, {static_cast<uint8_t>(i % 4)});
  GifBuilder emptyData;
  emptyData.Header().Screen(4, 4, 4).GraphicControl(1, false, 9, 0);
  emptyData.Raw({0x2C, 0, 0, 0, 0, 3, 0, 3, 0, 0, 2, 0});  // a 3x3 image whose data is only the terminator
  struct Case {
    const char* what;
    GifBuilder gif;
    std::string outcome;
    int entry;
    std::vector<uint8_t> pixels;
    int delay;
  } cases[] = {
      {"a comment between control and image gets an entry of its own",
       GifBuilder().Header().Screen(2, 2, 4).GraphicControl(1, false, 50, 3).Comment("note").Image(0, 0, 2, 2, Filled(4, 1)),
       "read, 2 entries, 0 errors, screen 2x2", 1, Filled(4, 1), 50},
      {"one image past the limit", limit.Trailer(), "refused, " + std::to_string(kMaxEntries) + " entries, 1 errors, screen 2x2",
       kMaxEntries - 1, {3}, 2},
      // The frame record keeps sizes in signed 16 bits.
      {"an image wider than 32767",
       GifBuilder().Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Image(0, 0, 32768, 1, Filled(8, 1)),
       "refused, 1 entries, 1 errors, screen 2x2", 0, Filled(4, 1), 0},
      {"minimum code size 1", GifBuilder().Header().Screen(8, 1, 2).Image(0, 0, 8, 1, {0, 1, 1, 0, 1, 0, 0, 1}, {0, 1}),
       "read, 1 entries, 0 errors, screen 8x1", 0, {0, 1, 1, 0, 1, 0, 0, 1}, 0},
      {"rows the data does not reach are index 0", GifBuilder().Header().Screen(2, 2, 4).Image(0, 0, 2, 2, {3}),
       "read, 1 entries, 0 errors, screen 2x2", 0, {3, 0, 0, 0}, 0},
      {"an empty data stream is taken over by the next image", emptyData.Image(1, 1, 2, 2, Filled(4, 2)).Trailer(),
       "read, 1 entries, 0 errors, screen 4x4", 0, Filled(4, 2), 9},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.outcome, Read(c.gif.bytes)) << c.what;
    EXPECT_EQ(c.pixels, FramePixels(c.entry)) << c.what;
    EXPECT_EQ(c.delay, At(c.entry).delay) << c.what;
    EXPECT_EQ(c.delay ? 1 : 0, At(c.entry).disposal) << c.what;
    EXPECT_FALSE(At(c.entry).transparent) << c.what;
  }
}

// A frame whose pixels cannot be kept stops the read with its error: it is
// not kept showing index 0 as if the file had said so.
TEST_F(GifReaderTest, AFrameWithoutMemoryForItsPixelsStopsTheRead) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 2, 2, Filled(4, 1)).Image(0, 0, 4, 4, Filled(16, 2)).Trailer();
  pixelBlockLimit = 8;  // the 2x2 block, not the 4x4 one
  const std::string outcome = Read(gif.bytes);
  pixelBlockLimit = UINT64_MAX;
  ASSERT_EQ("refused, 1 entries, 1 errors, screen 4x4", outcome);
  EXPECT_EQ(Filled(4, 1), FramePixels(0));
}

// A file inserted into a document keeps the document's loop count (how
// each file's count is read is compared with giflib); New loops for ever.
TEST_F(GifReaderTest, TheDocumentsLoopCountIsTheFirstFilesUntilNew) {
  Read(GifBuilder().Header().Screen(1, 1, 2).Image(0, 0, 1, 1, {0}).bytes);
  ASSERT_TRUE(ReadGif(TestDataPath("netscape-loop-3.gif").c_str(), 1));
  EXPECT_EQ(kNoLooping, doc.loopCount);
  ClearDocument();
  EXPECT_EQ(kLoopForever, doc.loopCount) << "New";
}

// The colours an image uses: those the pixels show, the transparent index,
// and index 0 for rows the data does not reach. A local table keeps only
// as many entries as they need; without any table the palette is the default.
TEST_F(GifReaderTest, UsedColoursCountTheTransparentIndexAndTheRowsNotReached) {
  ImageOptions local;
  local.localColors = 256;
  ASSERT_EQ("read, 4 entries, 0 errors, screen 3x100",
            Read(GifBuilder().Header().Screen(2, 1).Image(0, 0, 1, 1, {1}).Image(0, 0, 3, 100, {3}, local)
                     .Comment("c").GraphicControl(0, true, 0, 40).Image(0, 0, 2, 1, {1, 2}, local).bytes));
  EXPECT_EQ(0, memcmp(defaultPalette, At(0).palette, sizeof At(0).palette)) << "expected the default palette";
  EXPECT_TRUE(At(1).usedColors[0] && At(1).usedColors[3]) << "expected indices 0 and 3 used";
  EXPECT_EQ(4, At(1).colorCount);
  EXPECT_TRUE(At(3).usedColors[40] && At(3).usedColors[1] && !At(3).usedColors[0]) << "the transparent index";
  EXPECT_EQ(64, At(3).colorCount) << "index 40 needs 64 entries";
}

}  // namespace
