// The GIF reader on files built byte by byte: the entry state machine, the
// limits, the pixel layout, LZW streams, colour tables, comments and the
// ways a file can end early or go wrong. Real files are compared with giflib
// in reader_giflib_test.cpp.
#include "formats/gif_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>

#include "document/document.h"
#include "formats/load_file.h"
#include "gif_builder.h"
#include "headless/headless_ui.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> Filled(int n, uint8_t value) { return std::vector<uint8_t>(static_cast<size_t>(n), value); }

std::vector<uint8_t> Ramp(int n, int modulo) {
  std::vector<uint8_t> pixels(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) pixels[i] = static_cast<uint8_t>(i % modulo);
  return pixels;
}

// An image descriptor at (0,0) with no local table and code size 2, for
// files that hand-write their image data.
GifBuilder& Descriptor(GifBuilder& gif, int width, int height) {
  return gif.Raw({0x2C, 0, 0, 0, 0, static_cast<uint8_t>(width), 0, static_cast<uint8_t>(height), 0, 0, 2});
}

class GifReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }

  // Reads the built bytes into the document at index.
  bool Read(const GifBuilder& gif, int index = 0) {
    return ReadGif(WriteScratchFile("built.gif", gif.bytes).c_str(), index);
  }
  // Whether the read succeeded, the entries and the read errors, as one line.
  static std::string Outcome(bool read) {
    int errors = 0;
    for (const std::string& message : headlessUi().messages) errors += message == "Error in reading file";
    return std::string(read ? "read" : "refused") + ", " + std::to_string(doc.frameCount) + " entries, " +
           std::to_string(errors) + " errors";
  }
  const Frame& At(int i) const { return *doc.frames[i]; }
};

// ---- the start and the end of the file ----------------------------------------

TEST_F(GifReaderTest, BrokenStartsAreReadErrorsWithOneMessage) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty file", {}},
      {"not GIF", {'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}},
      {"short signature", {'G', 'I', 'F', '8'}},
      {"short screen descriptor", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1}},
      {"short global table", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    ResetDocument();
    EXPECT_EQ("refused, 0 entries, 1 errors", Outcome(ReadGif(WriteScratchFile("broken.gif", c.bytes).c_str(), 0)))
        << c.what;
  }
  ResetDocument();
  EXPECT_EQ("refused, 0 entries, 1 errors", Outcome(ReadGif(ScratchPath("missing.gif").c_str(), 0)))
      << "a file that cannot be opened";
}

// Oddities a file may have that are read without complaint; the last entry
// shows the pixels given.
TEST_F(GifReaderTest, ToleratedOdditiesReadWithoutError) {
  struct Case {
    const char* what;
    GifBuilder gif;
    int entries;
    std::vector<uint8_t> lastPixels;
  } cases[] = {
      {"any version after GIF", GifBuilder().Header("GIF00x").Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Trailer(),
       1, Filled(4, 1)},
      {"no trailer",
       GifBuilder().Header().Screen(4, 4, 4).Image(0, 0, 4, 4, Filled(16, 1)).Image(0, 0, 2, 2, Filled(4, 2)),
       2, Filled(4, 2)},
      {"bytes before a block and after the trailer",
       GifBuilder().Header().Screen(4, 4, 4).Raw({0, 0, 7}).Image(0, 0, 2, 2, Filled(4, 3)).Trailer().Raw(
           {0x2C, 0x21, 1}),
       1, Filled(4, 3)},
      {"a graphic control after the last image",
       GifBuilder().Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).GraphicControl(1, false, 5, 0).Trailer(),
       1, Filled(4, 1)},
      {"a 0x0 image is dropped",
       GifBuilder().Header().Screen(2, 2, 4).Image(0, 0, 0, 0, {1}).Image(0, 0, 1, 1, {2}).Trailer(), 1, {2}},
  };
  for (Case& c : cases) {
    ResetDocument();
    ASSERT_EQ("read, " + std::to_string(c.entries) + " entries, 0 errors", Outcome(Read(c.gif))) << c.what;
    EXPECT_EQ(c.lastPixels, FramePixels(c.entries - 1)) << c.what;
  }
}

TEST_F(GifReaderTest, AFileEndingEarlyKeepsWhatWasRead) {
  GifBuilder whole;
  whole.Header().Screen(8, 8, 4).Comment("kept");
  const size_t imageStart = whole.bytes.size();
  whole.Image(0, 0, 8, 8, Ramp(64, 4));
  const size_t imageEnd = whole.bytes.size();
  whole.GraphicControl(1, false, 3, 0);
  const size_t commentStart = whole.bytes.size();
  whole.Comment(std::string(300, 'x')).Trailer();
  struct Cut {
    const char* what;
    size_t length;
    int entries;
  } cuts[] = {
      {"inside the image data", imageStart + 20, 2},
      {"inside the control block", imageEnd + 4, 2},
      {"inside the long comment", commentStart + 100, 3},
  };
  for (const Cut& cut : cuts) {
    ResetDocument();
    GifBuilder part;
    part.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + static_cast<long>(cut.length));
    ASSERT_EQ("read, " + std::to_string(cut.entries) + " entries, 0 errors", Outcome(Read(part))) << cut.what;
    EXPECT_EQ("kept", CommentText(0)) << cut.what;
  }
}

// ---- the pending entry --------------------------------------------------------

TEST_F(GifReaderTest, CommentBetweenControlAndImageTakesThePendingEntry) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).GraphicControl(2, true, 50, 3).Comment("note");
  ASSERT_EQ("read, 2 entries, 0 errors", Outcome(Read(gif.Image(0, 0, 2, 2, Filled(4, 1)).Trailer())));
  EXPECT_EQ("note", CommentText(0));
  EXPECT_FALSE(IsComment(At(1)));
  EXPECT_TRUE(At(1).delay == 0 && !At(1).transparent && At(1).disposal == 0)
      << "expected the image without the control's values, got delay " << At(1).delay << ", disposal "
      << int(At(1).disposal);
}

// Each is a read error that keeps the entries before it; a pending entry of
// a broken block is removed.
TEST_F(GifReaderTest, MalformedBlocksAreErrorsThatKeepEarlierEntries) {
  struct Case {
    const char* what;
    std::initializer_list<uint8_t> tail;
  } cases[] = {
      {"control block of 5 bytes", {0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0}},
      {"control block without terminator", {0x21, 0xF9, 4, 0, 0, 0, 0, 1, 0, 0}},
      {"application block of 10 bytes", {0x21, 0xFF, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}},
      {"extension without label", {0x21}},
      {"minimum code size 0", {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0}},
      {"minimum code size 13", {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 13, 1, 0, 0}},
      {"short local table", {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x87, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    ResetDocument();
    GifBuilder gif;
    gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Raw(c.tail);
    EXPECT_EQ("refused, 1 entries, 1 errors", Outcome(Read(gif))) << c.what;
  }
}

// ---- limits -------------------------------------------------------------------

TEST_F(GifReaderTest, The181stImageOrGraphicControlIsAnErrorAndThe180BeforeItStay) {
  for (bool withControls : {false, true}) {
    ResetDocument();
    GifBuilder gif;
    gif.Header().Screen(2, 2, 4);
    for (int i = 0; i < 181; ++i) {
      if (withControls) gif.GraphicControl(1, false, 2, 0);
      gif.Image(0, 0, 1, 1, {static_cast<uint8_t>(i % 4)});
    }
    ASSERT_EQ("refused, 180 entries, 1 errors", Outcome(Read(gif.Trailer())))
        << (withControls ? "with controls" : "images only");
    EXPECT_EQ(std::vector<uint8_t>{179 % 4}, FramePixels(179));
  }
}

TEST_F(GifReaderTest, InsertingIntoADocumentKeepsItsBackgroundAndOwnColours) {
  GifBuilder first;
  ASSERT_TRUE(Read(first.Header().Screen(4, 3, 4, 2).Image(0, 0, 4, 3, Filled(12, 1)).Trailer()));
  EXPECT_EQ(2, doc.backgroundIndex);
  EXPECT_EQ(1, At(0).useGlobalPalette);

  GifBuilder second;
  second.Header().Screen(9, 2, 4, 3).Image(0, 0, 2, 2, Filled(4, 3)).Trailer();
  ASSERT_EQ("read, 2 entries, 0 errors", Outcome(Read(second, 0)));
  EXPECT_EQ(2, At(0).width) << "inserted at index 0";
  EXPECT_EQ(0, At(0).useGlobalPalette);
  EXPECT_EQ(2, doc.backgroundIndex);
  EXPECT_EQ(9, doc.screenWidth);
  EXPECT_EQ(3, doc.screenHeight);
}

TEST_F(GifReaderTest, TheScreenGrowsToTheImageSizeNotItsFarEdge) {
  GifBuilder gif;
  ASSERT_TRUE(Read(gif.Header().Screen(4, 4, 4).Image(10, 20, 6, 2, Filled(12, 1)).Trailer()));
  EXPECT_EQ(6, doc.screenWidth);
  EXPECT_EQ(4, doc.screenHeight);
}

// The frame record keeps sizes in signed 16 bits: a wider image is refused
// before it changes anything, instead of turning into a negative width.
TEST_F(GifReaderTest, AnImageWiderThan32767IsAReadError) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 2, 2, Filled(4, 1)).Image(0, 0, 32768, 1, Filled(8, 1)).Trailer();
  EXPECT_EQ("refused, 1 entries, 1 errors", Outcome(Read(gif)));
  EXPECT_EQ(4, doc.screenWidth);
}

// Offsets in the swap file are 32-bit: data that would pass 4 GiB is
// refused, and what was read before stays.
TEST_F(GifReaderTest, DataPastFourGibibytesIsAReadError) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Comment("abc").Image(0, 0, 4, 4, Filled(16, 1)).Trailer();
  doc.swapEnd = 0xFFFFFFF0u;
  ASSERT_EQ("refused, 1 entries, 1 errors", Outcome(Read(gif)));
  EXPECT_EQ("abc", CommentText(0));
  EXPECT_EQ(0xFFFFFFF3u, doc.swapEnd);
}

// A few bytes of file may claim a picture of a gigabyte: only the rows the
// data reaches cost memory and swap file space.
TEST_F(GifReaderTest, AHugePictureWithLittleDataWritesOnlyItsRows) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 30000, 30000, Filled(60000, 3)).Trailer();
  ASSERT_EQ("read, 1 entries, 0 errors", Outcome(LoadDocument(WriteScratchFile("huge.gif", gif.bytes).c_str())));
  EXPECT_EQ(30000u * 30000u, doc.swapEnd);
  std::error_code error;
  EXPECT_EQ(30000u * 30000u, std::filesystem::file_size(doc.swapFile.path, error))
      << "the file ends where the frame ends";
  std::vector<uint8_t> top(30000), third(30000);
  doc.swapFile.ReadAt(At(0).dataOffset + 29999u * 30000u, top.data(), 30000);
  doc.swapFile.ReadAt(At(0).dataOffset + 29997u * 30000u, third.data(), 30000);
  EXPECT_EQ(Filled(30000, 3), top);
  EXPECT_EQ(Filled(30000, 0), third);
}

// ---- pixels ---------------------------------------------------------------------

TEST_F(GifReaderTest, RowsAreStoredBottomUpAndPaddedToFourBytes) {
  GifBuilder gif;
  gif.Header().Screen(5, 3, 16).Image(0, 0, 5, 3, Ramp(15, 16)).Image(0, 0, 8, 1, Filled(8, 9));
  ASSERT_TRUE(Read(gif.Trailer()));
  EXPECT_EQ(0u, At(0).dataOffset);
  EXPECT_EQ(24u, At(1).dataOffset) << "3 rows of 8 bytes";
  EXPECT_EQ(32u, doc.swapEnd);
  uint8_t raw[24];
  doc.swapFile.ReadBlockAt(0, raw, sizeof raw);
  EXPECT_EQ(10, raw[0]) << "the first stored row is the last image row";
  EXPECT_EQ(0, raw[16]) << "the last stored row is the top row";
  EXPECT_EQ(Ramp(15, 16), FramePixels(0));
}

TEST_F(GifReaderTest, InterlacedRowsFillInPassOrder) {
  std::vector<uint8_t> rows(10 * 3);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 3; ++x) rows[y * 3 + x] = static_cast<uint8_t>(y);
  // The order the rows come in the file: 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  std::vector<uint8_t> fileOrder = GifBuilder::Interlace(rows, 3, 10);
  std::vector<int> order;
  for (int i = 0; i < 10; ++i) order.push_back(fileOrder[i * 3]);
  ASSERT_EQ((std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}), order);
  ImageOptions interlaced;
  interlaced.interlaced = true;
  GifBuilder gif;
  gif.Header().Screen(3, 10, 16).Image(0, 0, 3, 10, fileOrder, interlaced);
  ASSERT_TRUE(Read(gif.Image(0, 0, 1, 2, {5, 6}, interlaced).Trailer()));
  EXPECT_EQ(rows, FramePixels(0));
  EXPECT_EQ(64, At(0).interlaced);
  EXPECT_EQ((std::vector<uint8_t>{5, 6}), FramePixels(1)) << "height 2: rows 0 then 1";
}

TEST_F(GifReaderTest, PixelsBeyondTheLastRowAreDroppedAndNotCountedAsUsed) {
  std::vector<uint8_t> pixels = Filled(4, 1);
  pixels.push_back(3);
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, pixels).Image(0, 0, 1, 1, {2}).Trailer();
  ASSERT_EQ("read, 2 entries, 0 errors", Outcome(Read(gif)));
  EXPECT_EQ(Filled(4, 1), FramePixels(0));
  EXPECT_EQ(0, At(0).usedColors[3]);
}

TEST_F(GifReaderTest, RowsTheDataDoesNotReachAreIndexZero) {
  GifBuilder gif;
  ASSERT_TRUE(Read(gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, {3}).Trailer()));
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0, 0}), FramePixels(0));
  EXPECT_TRUE(At(0).usedColors[0] && At(0).usedColors[3]) << "expected indices 0 and 3 used";
}

TEST_F(GifReaderTest, AMinimumCodeSizeOf1IsAccepted) {
  ImageOptions one;
  one.minCodeSize = 1;
  GifBuilder gif;
  ASSERT_TRUE(Read(gif.Header().Screen(8, 8, 2).Image(0, 0, 8, 8, Ramp(64, 2), one).Trailer()));
  EXPECT_EQ(Ramp(64, 2), FramePixels(0));
}

// Once the table is full an encoder may keep sending 12-bit codes without a
// clear code; the table is then used as it stands.
TEST_F(GifReaderTest, AFullTableWithoutClearKeepsDecoding) {
  std::vector<uint8_t> pixels(100 * 60);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 13) & 0xFF);
  ImageOptions deferred;
  deferred.clearWhenFull = false;
  GifBuilder gif;
  gif.Header().Screen(100, 60, 256).Image(0, 0, 100, 60, pixels, deferred).Trailer();
  ASSERT_EQ("read, 1 entries, 0 errors", Outcome(Read(gif)));
  EXPECT_EQ(pixels, FramePixels(0));
}

// Codes written by hand with 2-bit roots (clear 4, end 5), each followed
// by a one-pixel image.
TEST_F(GifReaderTest, ACodeNamingItselfAnEarlyEndCodeAndACodeBeyondTheTable) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> codes;  // code, width
    std::vector<uint8_t> pixels;
    int entries;
  } cases[] = {
      // 6 is "1 1", the code being defined; entry 7 makes the table reach 8
      // codes, so the end code takes 4 bits.
      {"a string code defined by its own use", {{4, 3}, {1, 3}, {6, 3}, {6, 3}, {5, 4}}, Filled(5, 1), 2},
      {"an end code right after the clear", {{4, 3}, {5, 3}}, Filled(2, 0), 2},
      // 7 is past the next free entry, 6: the image ends there, and the file.
      {"a code beyond the table", {{4, 3}, {1, 3}, {7, 3}}, {1, 0, 0, 0}, 1},
  };
  for (const Case& c : cases) {
    ResetDocument();
    GifBuilder::BitPacker packer;
    for (const auto& code : c.codes) packer.Put(code.first, code.second);
    const int width = static_cast<int>(c.pixels.size());
    GifBuilder gif;
    Descriptor(gif.Header().Screen(width, 1, 4), width, 1).SubBlocks(packer.Finish());
    gif.Image(0, 0, 1, 1, {2}).Trailer();
    ASSERT_EQ("read, " + std::to_string(c.entries) + " entries, 0 errors", Outcome(Read(gif))) << c.what;
    EXPECT_EQ(c.pixels, FramePixels(0)) << c.what;
  }
}

// Sub-blocks after the end code belong to the image: they are passed over,
// not read as blocks, even when their bytes look like block introducers.
TEST_F(GifReaderTest, DataAfterTheEndCodeIsPassedOver) {
  std::vector<uint8_t> data = GifBuilder::LiteralCodes(Filled(4, 1), 2, ImageOptions());
  GifBuilder gif;
  Descriptor(gif.Header().Screen(2, 2, 4), 2, 2);
  gif.bytes.push_back(static_cast<uint8_t>(data.size()));
  gif.bytes.insert(gif.bytes.end(), data.begin(), data.end());
  gif.Raw({4, 0x2C, 0x21, 0x3B, 0xF9, 0}).Image(0, 0, 1, 1, {3}).Trailer();
  ASSERT_EQ("read, 2 entries, 0 errors", Outcome(Read(gif)));
  EXPECT_EQ(std::vector<uint8_t>{3}, FramePixels(1));
}

TEST_F(GifReaderTest, AnImageWithAnEmptyDataStreamIsTakenOverByTheNextImage) {
  GifBuilder gif;
  Descriptor(gif.Header().Screen(4, 4, 4).GraphicControl(1, false, 9, 0), 3, 3).Raw({0});
  ASSERT_EQ("read, 1 entries, 0 errors", Outcome(Read(gif.Image(1, 1, 2, 2, Filled(4, 2)).Trailer())));
  EXPECT_EQ(2, At(0).width);
  EXPECT_EQ(9, At(0).delay) << "the control block's values stay with the entry";
  EXPECT_EQ(Filled(4, 2), FramePixels(0));
}

// The swap file is rewound when a file is opened in place of the document:
// an image whose data never arrives shows index 0, not what an earlier
// document left there.
TEST_F(GifReaderTest, AnImageWithAnEmptyDataStreamAtTheEndShowsIndexZero) {
  GifBuilder gif;
  Descriptor(gif.Header().Screen(4, 4, 4), 3, 2).Raw({0}).Trailer();
  std::vector<uint8_t> junk(64, 0xEE);
  doc.swapFile.WriteBlockAt(0, junk.data(), 64);
  ASSERT_EQ("read, 1 entries, 0 errors", Outcome(LoadDocument(WriteScratchFile("empty-data.gif", gif.bytes).c_str())));
  EXPECT_EQ(3, At(0).width);
  EXPECT_EQ(Filled(6, 0), FramePixels(0));
}

// ---- colour tables ------------------------------------------------------------------

TEST_F(GifReaderTest, ALocalTableShrinksToThePowerOfTwoThePixelsNeed) {
  ImageOptions local;
  local.localColors = 256;
  GifBuilder gif;
  gif.Header().Screen(10, 1, 256).Image(0, 0, 10, 1, Ramp(10, 10), local);
  ASSERT_TRUE(Read(gif.Image(0, 0, 10, 1, Ramp(10, 10)).Trailer()));
  EXPECT_EQ(16, At(0).colorCount);
  EXPECT_EQ(109, At(0).palette[9].green) << "local table entry 9";
  EXPECT_EQ(defaultPalette[16].green, At(0).palette[16].green) << "entries past the count are the default";
  EXPECT_EQ(0, At(0).useGlobalPalette);
  EXPECT_EQ(256, At(1).colorCount) << "without a local table the global size stays";
  EXPECT_EQ(9, At(1).palette[9].green);
  EXPECT_EQ(1, At(1).useGlobalPalette);
}

TEST_F(GifReaderTest, TheTransparentIndexCountsAsUsed) {
  ImageOptions local;
  local.localColors = 256;
  GifBuilder gif;
  gif.Header().Screen(2, 1).GraphicControl(0, true, 0, 40).Image(0, 0, 2, 1, {1, 2}, local);
  ASSERT_TRUE(Read(gif.Trailer()));
  EXPECT_EQ(1, At(0).usedColors[40]);
  EXPECT_EQ(64, At(0).colorCount) << "index 40 needs 64 entries";
}

TEST_F(GifReaderTest, NoColourTableAtAllGivesTheDefaultPalette) {
  GifBuilder gif;
  ASSERT_TRUE(Read(gif.Header().Screen(2, 1).Image(0, 0, 2, 1, {1, 200}).Trailer()));
  EXPECT_EQ(0, memcmp(defaultPalette, At(0).palette, sizeof At(0).palette)) << "expected the default palette";
  EXPECT_EQ(2, At(0).colorCount);
}

// ---- comments ------------------------------------------------------------------------

// The length is kept in a signed 16-bit field: a longer comment keeps its
// first 32767 bytes, and the swap file holds exactly those.
TEST_F(GifReaderTest, CommentSubBlocksAreJoinedUpTo32767Bytes) {
  for (size_t length : {600u, 40000u}) {
    ResetDocument();
    std::string text(length, 'z');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(' ' + i % 90);
    GifBuilder gif;
    ASSERT_TRUE(Read(gif.Header().Screen(2, 2, 4).Comment(text).Image(0, 0, 2, 2, Filled(4, 1)).Trailer()));
    ASSERT_EQ(2, doc.frameCount);
    const size_t kept = std::min<size_t>(length, 32767);
    EXPECT_EQ(text.substr(0, kept), CommentText(0)) << length << " bytes";
    EXPECT_EQ(kept, At(1).dataOffset) << length << " bytes: the image follows the comment in the swap file";
    EXPECT_EQ(Filled(4, 1), FramePixels(1)) << length << " bytes";
  }
}

TEST_F(GifReaderTest, ProgressCountsRowsUnderTheEntrysNumber) {
  GifBuilder gif;
  ASSERT_TRUE(Read(gif.Header().Screen(1, 100, 4).Comment("c").Image(0, 0, 1, 100, Filled(100, 1)).Trailer()));
  EXPECT_EQ(26u, headlessUi().progressPositions.size());
  EXPECT_EQ(100, headlessUi().progressPositions.back());
  EXPECT_EQ("Reading frame 2", headlessUi().statusText);
}

}  // namespace

