// The GIF reader on files built byte by byte: the entry state machine, the
// limits, the pixel layout, LZW streams, colour tables, comments and the
// ways a file can end early or go wrong.
#include "document/gif_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "document/document.h"
#include "document/load_file.h"
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

class GifReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetDocument(); }
  void TearDown() override { ResetDocument(); }

  // Reads the built bytes into the document at index.
  bool Read(const GifBuilder& gif, int index = 0) {
    std::string path = WriteScratchFile("built.gif", gif.bytes);
    return ReadGif(path.c_str(), index);
  }
  int ReadErrors() const {
    int count = 0;
    for (const std::string& message : headlessUi().messages) count += message == "Error in reading file";
    return count;
  }
  const Frame& At(int i) const { return *doc.frames[i]; }
};

// ---- signature, screen and the end of the file ------------------------------

TEST_F(GifReaderTest, AnyVersionAfterGifIsAccepted) {
  GifBuilder gif;
  gif.Header("GIF00x").Screen(4, 4, 4).Image(0, 0, 4, 4, Filled(16, 1)).Trailer();
  EXPECT_TRUE(Read(gif));
  EXPECT_EQ(1, doc.frameCount);
  EXPECT_EQ(0, ReadErrors());
}

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
    std::string path = WriteScratchFile("broken.gif", c.bytes);
    EXPECT_FALSE(ReadGif(path.c_str(), 0)) << c.what;
    EXPECT_EQ(1, ReadErrors()) << c.what;
    EXPECT_EQ(0, doc.frameCount) << c.what;
  }
  ResetDocument();
  EXPECT_FALSE(ReadGif(ScratchPath("missing.gif").c_str(), 0));
  EXPECT_EQ(1, ReadErrors()) << "a file that cannot be opened";
}

TEST_F(GifReaderTest, AFileWithoutTrailerIsReadCompletely) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 4, 4, Filled(16, 1)).Image(0, 0, 2, 2, Filled(4, 2));
  EXPECT_TRUE(Read(gif));
  EXPECT_EQ(2, doc.frameCount);
  EXPECT_EQ(std::vector<uint8_t>(4, 2), FramePixels(1));
}

TEST_F(GifReaderTest, BytesBeforeABlockAndAfterTheTrailerAreIgnored) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Raw({0, 0, 7}).Image(0, 0, 2, 2, Filled(4, 3)).Trailer().Raw({0x2C, 0x21, 1});
  EXPECT_TRUE(Read(gif));
  EXPECT_EQ(1, doc.frameCount);
}

// ---- the pending entry --------------------------------------------------------

TEST_F(GifReaderTest, TheSecondGraphicControlBeforeAnImageWins) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).GraphicControl(1, true, 10, 3).GraphicControl(2, false, 77, 1);
  gif.Image(0, 0, 2, 2, Filled(4, 0)).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(2, At(0).disposal);
  EXPECT_EQ(0, At(0).transparent);
  EXPECT_EQ(77, At(0).delay);
  EXPECT_EQ(1, At(0).transparentIndex);
}

TEST_F(GifReaderTest, CommentBetweenControlAndImageTakesThePendingEntry) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).GraphicControl(2, true, 50, 3).Comment("note");
  gif.Image(0, 0, 2, 2, Filled(4, 1)).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_TRUE(IsComment(At(0)));
  EXPECT_EQ("note", CommentText(0));
  EXPECT_FALSE(IsComment(At(1)));
  EXPECT_EQ(0, At(1).delay);
  EXPECT_EQ(0, At(1).transparent);
  EXPECT_EQ(0, At(1).disposal);
}

TEST_F(GifReaderTest, ATrailingGraphicControlLeavesNoEntryBehind) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).GraphicControl(1, false, 5, 0).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(1, doc.frameCount);
}

TEST_F(GifReaderTest, EntriesKeepTheFilesOrderAndExtensionsAreSkipped) {
  GifBuilder gif;
  gif.Header().Screen(8, 8, 4).Comment("first").Looping().Image(0, 0, 8, 8, Filled(64, 1));
  gif.Raw({0x21, 0x01, 3, 'a', 'b', 'c', 0}).Raw({0x21, 0x99, 1, 9, 2, 8, 8, 0});
  gif.Comment("second").Image(1, 1, 2, 2, Filled(4, 2)).Comment("third").Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(5, doc.frameCount);
  EXPECT_EQ("first", CommentText(0));
  EXPECT_EQ(8, At(1).width);
  EXPECT_EQ("second", CommentText(2));
  EXPECT_EQ(1, At(3).left);
  EXPECT_EQ("third", CommentText(4));
  EXPECT_EQ(kCommentDisposal, At(4).disposal);
}

TEST_F(GifReaderTest, MalformedExtensionsAreErrorsThatKeepEarlierEntries) {
  struct Case {
    const char* what;
    std::initializer_list<uint8_t> tail;
  } cases[] = {
      {"control block of 5 bytes", {0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0}},
      {"control block without terminator", {0x21, 0xF9, 4, 0, 0, 0, 0, 1, 0, 0}},
      {"application block of 10 bytes", {0x21, 0xFF, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0}},
      {"extension without label", {0x21}},
  };
  for (const Case& c : cases) {
    ResetDocument();
    GifBuilder gif;
    gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Raw(c.tail);
    EXPECT_FALSE(Read(gif)) << c.what;
    EXPECT_EQ(1, ReadErrors()) << c.what;
    EXPECT_EQ(1, doc.frameCount) << c.what << ": the pending entry is removed, the image stays";
  }
}

// ---- limits -------------------------------------------------------------------

TEST_F(GifReaderTest, The181stImageIsAnErrorAndThe180BeforeItStay) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4);
  for (int i = 0; i < 181; ++i) gif.Image(0, 0, 1, 1, {static_cast<uint8_t>(i % 4)});
  gif.Trailer();
  EXPECT_FALSE(Read(gif));
  EXPECT_EQ(180, doc.frameCount);
  EXPECT_EQ(1, ReadErrors());
  EXPECT_EQ(std::vector<uint8_t>{179 % 4}, FramePixels(179));
}

TEST_F(GifReaderTest, The181stGraphicControlIsAnErrorToo) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4);
  for (int i = 0; i < 181; ++i) gif.GraphicControl(1, false, 2, 0).Image(0, 0, 1, 1, {1});
  EXPECT_FALSE(Read(gif));
  EXPECT_EQ(180, doc.frameCount);
  EXPECT_EQ(1, ReadErrors());
}

TEST_F(GifReaderTest, InsertingIntoADocumentKeepsItsBackgroundAndOwnColours) {
  GifBuilder first;
  first.Header().Screen(4, 3, 4, 2).Image(0, 0, 4, 3, Filled(12, 1)).Trailer();
  ASSERT_TRUE(Read(first));
  EXPECT_EQ(2, doc.backgroundIndex);
  EXPECT_EQ(1, At(0).useGlobalPalette);

  GifBuilder second;
  second.Header().Screen(9, 2, 4, 3).Image(0, 0, 2, 2, Filled(4, 3)).Trailer();
  ASSERT_TRUE(Read(second, 0));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(2, At(0).width) << "inserted at index 0";
  EXPECT_EQ(0, At(0).useGlobalPalette);
  EXPECT_EQ(2, doc.backgroundIndex);
  EXPECT_EQ(9, doc.screenWidth);
  EXPECT_EQ(3, doc.screenHeight);
}

TEST_F(GifReaderTest, TheScreenGrowsToTheImageSizeNotItsFarEdge) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(10, 20, 6, 2, Filled(12, 1)).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(6, doc.screenWidth);
  EXPECT_EQ(4, doc.screenHeight);
}

// The frame record keeps sizes in signed 16 bits: a wider image is refused
// before it changes anything, instead of turning into a negative width.
TEST_F(GifReaderTest, AnImageWiderThan32767IsAReadError) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 2, 2, Filled(4, 1)).Image(0, 0, 32768, 1, Filled(8, 1)).Trailer();
  EXPECT_FALSE(Read(gif));
  EXPECT_EQ(1, ReadErrors());
  EXPECT_EQ(1, doc.frameCount);
  EXPECT_EQ(4, doc.screenWidth);
}

// Offsets in the swap file are 32-bit: data that would pass 4 GiB is
// refused, and what was read before stays.
TEST_F(GifReaderTest, DataPastFourGibibytesIsAReadError) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Comment("abc").Image(0, 0, 4, 4, Filled(16, 1)).Trailer();
  doc.swapEnd = 0xFFFFFFF0u;
  EXPECT_FALSE(Read(gif));
  EXPECT_EQ(1, ReadErrors());
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ("abc", CommentText(0));
  EXPECT_EQ(0xFFFFFFF3u, doc.swapEnd);
}

// ---- pixels ---------------------------------------------------------------------

TEST_F(GifReaderTest, RowsAreStoredBottomUpAndPaddedToFourBytes) {
  GifBuilder gif;
  gif.Header().Screen(5, 3, 16).Image(0, 0, 5, 3, Ramp(15, 16)).Image(0, 0, 8, 1, Filled(8, 9)).Trailer();
  ASSERT_TRUE(Read(gif));
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
  ImageOptions interlaced;
  interlaced.interlaced = true;
  GifBuilder gif;
  gif.Header().Screen(3, 10, 16).Image(0, 0, 3, 10, GifBuilder::Interlace(rows, 3, 10), interlaced);
  gif.Image(0, 0, 1, 2, {5, 6}, interlaced).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(rows, FramePixels(0));
  EXPECT_EQ(64, At(0).interlaced);
  EXPECT_EQ((std::vector<uint8_t>{5, 6}), FramePixels(1)) << "height 2: rows 0 then 1";
  // The order rows arrive in, seen from the file: 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  std::vector<uint8_t> fileOrder = GifBuilder::Interlace(rows, 3, 10);
  std::vector<int> order;
  for (int i = 0; i < 10; ++i) order.push_back(fileOrder[i * 3]);
  EXPECT_EQ((std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}), order);
}

TEST_F(GifReaderTest, PixelsBeyondTheLastRowAreDroppedAndNotCountedAsUsed) {
  std::vector<uint8_t> pixels = Filled(4, 1);
  pixels.push_back(3);
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, pixels).Image(0, 0, 1, 1, {2}).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(Filled(4, 1), FramePixels(0));
  EXPECT_EQ(0, At(0).usedColors[3]);
}

TEST_F(GifReaderTest, RowsTheDataDoesNotReachAreIndexZero) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, {3}).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0, 0}), FramePixels(0));
  EXPECT_EQ(1, At(0).usedColors[0]);
  EXPECT_EQ(1, At(0).usedColors[3]);
}

TEST_F(GifReaderTest, MinimumCodeSizeFrom1To12IsAccepted) {
  ImageOptions one;
  one.minCodeSize = 1;
  GifBuilder gif;
  gif.Header().Screen(8, 8, 2).Image(0, 0, 8, 8, Ramp(64, 2), one).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(Ramp(64, 2), FramePixels(0));

  for (int size : {0, 13}) {
    ResetDocument();
    GifBuilder bad;
    bad.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Raw({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
    bad.Raw({static_cast<uint8_t>(size), 1, 0, 0}).Trailer();
    EXPECT_FALSE(Read(bad)) << "minimum code size " << size;
    EXPECT_EQ(1, doc.frameCount) << "minimum code size " << size;
  }
}

TEST_F(GifReaderTest, LongStreamsDecodeAcrossTableClears) {
  std::vector<uint8_t> pixels(200 * 50);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i * 31 + i / 7) & 0xFF);
  GifBuilder gif;
  gif.Header().Screen(200, 50, 256).Image(0, 0, 200, 50, pixels).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(pixels, FramePixels(0));
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
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(0, ReadErrors());
  EXPECT_EQ(pixels, FramePixels(0));
}

TEST_F(GifReaderTest, RepeatedStringsDecodeThroughTheTable) {
  // clear, 1, 6 (= "1 1", the code being defined), 6, end with 2-bit roots.
  GifBuilder::BitPacker codes;
  codes.Put(4, 3);
  codes.Put(1, 3);
  codes.Put(6, 3);
  codes.Put(6, 3);
  codes.Put(5, 4);  // entry 7 made the table reach 8 codes: 4 bits from here
  GifBuilder gif;
  gif.Header().Screen(5, 1, 4).Raw({0x2C, 0, 0, 0, 0, 5, 0, 1, 0, 0, 2}).SubBlocks(codes.Finish()).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(Filled(5, 1), FramePixels(0));
}

TEST_F(GifReaderTest, ACodeBeyondTheTableEndsTheFileAfterTheImage) {
  GifBuilder::BitPacker codes;
  for (int code : {4, 1, 7}) codes.Put(code, 3);  // 7 is past the next free entry, 6
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Raw({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2}).SubBlocks(codes.Finish());
  gif.Image(0, 0, 2, 2, Filled(4, 3)).Trailer();
  EXPECT_TRUE(Read(gif));
  EXPECT_EQ(0, ReadErrors());
  ASSERT_EQ(1, doc.frameCount) << "the image after the bad code is not read";
  EXPECT_EQ((std::vector<uint8_t>{1, 0, 0, 0}), FramePixels(0));
}

TEST_F(GifReaderTest, AnEndCodeRightAfterTheClearGivesAnImageWithoutPixels) {
  GifBuilder::BitPacker codes;
  for (int code : {4, 5}) codes.Put(code, 3);
  GifBuilder gif;
  gif.Header().Screen(2, 1, 4).Raw({0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2}).SubBlocks(codes.Finish());
  gif.Image(0, 0, 1, 1, {2}).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(Filled(2, 0), FramePixels(0));
}

// Sub-blocks after the end code belong to the image: they are passed over,
// not read as blocks, even when their bytes look like block introducers.
TEST_F(GifReaderTest, DataAfterTheEndCodeIsPassedOver) {
  std::vector<uint8_t> data = GifBuilder::LiteralCodes(Filled(4, 1), 2, ImageOptions());
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Raw({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2});
  gif.bytes.push_back(static_cast<uint8_t>(data.size()));
  gif.bytes.insert(gif.bytes.end(), data.begin(), data.end());
  gif.Raw({4, 0x2C, 0x21, 0x3B, 0xF9, 0});
  gif.Image(0, 0, 1, 1, {3}).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(0, ReadErrors());
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(std::vector<uint8_t>{3}, FramePixels(1));
}

TEST_F(GifReaderTest, AnImageWithAnEmptyDataStreamIsTakenOverByTheNextImage) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).GraphicControl(1, false, 9, 0);
  gif.Raw({0x2C, 0, 0, 0, 0, 3, 0, 3, 0, 0, 2, 0});
  gif.Image(1, 1, 2, 2, Filled(4, 2)).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(2, At(0).width);
  EXPECT_EQ(9, At(0).delay) << "the control block's values stay with the entry";
  EXPECT_EQ(Filled(4, 2), FramePixels(0));
}

// The swap file is rewound when a file is opened in place of the document:
// an image whose data never arrives shows index 0, not what an earlier
// document left there.
TEST_F(GifReaderTest, AnImageWithAnEmptyDataStreamAtTheEndShowsIndexZero) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Raw({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0, 2, 0}).Trailer();
  std::vector<uint8_t> junk(64, 0xEE);
  doc.swapFile.WriteBlockAt(0, junk.data(), 64);
  ASSERT_TRUE(LoadDocument(WriteScratchFile("empty-data.gif", gif.bytes).c_str()));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(3, At(0).width);
  EXPECT_EQ(Filled(6, 0), FramePixels(0));
}

// A few bytes of file may claim a picture of a gigabyte: only the rows the
// data reaches cost memory and swap file space.
TEST_F(GifReaderTest, AHugePictureWithLittleDataWritesOnlyItsRows) {
  GifBuilder gif;
  gif.Header().Screen(4, 4, 4).Image(0, 0, 30000, 30000, Filled(60000, 3)).Trailer();
  ASSERT_TRUE(LoadDocument(WriteScratchFile("huge.gif", gif.bytes).c_str()));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(30000u * 30000u, doc.swapEnd);
  std::error_code error;
  uintmax_t size = std::filesystem::file_size(doc.swapFile.path, error);
  EXPECT_EQ(30000u * 30000u, size) << "the file ends where the frame ends";
  std::vector<uint8_t> top(30000), third(30000);
  doc.swapFile.ReadAt(At(0).dataOffset + 29999u * 30000u, top.data(), 30000);
  doc.swapFile.ReadAt(At(0).dataOffset + 29997u * 30000u, third.data(), 30000);
  EXPECT_EQ(Filled(30000, 3), top);
  EXPECT_EQ(Filled(30000, 0), third);
}

TEST_F(GifReaderTest, AZeroWidthImageIsDropped) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 0, 0, {1}).Image(0, 0, 1, 1, {1}).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(1, doc.frameCount);
  EXPECT_EQ(1, At(0).width);
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
    EXPECT_TRUE(Read(part)) << cut.what;
    EXPECT_EQ(0, ReadErrors()) << cut.what;
    EXPECT_EQ(cut.entries, doc.frameCount) << cut.what;
    EXPECT_EQ("kept", CommentText(0)) << cut.what;
  }
}

// ---- colour tables ------------------------------------------------------------------

TEST_F(GifReaderTest, ALocalTableShrinksToThePowerOfTwoThePixelsNeed) {
  ImageOptions local;
  local.localColors = 256;
  GifBuilder gif;
  gif.Header().Screen(10, 1, 256).Image(0, 0, 10, 1, Ramp(10, 10), local).Image(0, 0, 10, 1, Ramp(10, 10)).Trailer();
  ASSERT_TRUE(Read(gif));
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
  gif.Header().Screen(2, 1).GraphicControl(0, true, 0, 40).Image(0, 0, 2, 1, {1, 2}, local).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(1, At(0).usedColors[40]);
  EXPECT_EQ(64, At(0).colorCount) << "index 40 needs 64 entries";
}

TEST_F(GifReaderTest, NoColourTableAtAllGivesTheDefaultPalette) {
  GifBuilder gif;
  gif.Header().Screen(2, 1).Image(0, 0, 2, 1, {1, 200}).Trailer();
  ASSERT_TRUE(Read(gif));
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(defaultPalette[i].red, At(0).palette[i].red) << i;
    EXPECT_EQ(defaultPalette[i].blue, At(0).palette[i].blue) << i;
  }
  EXPECT_EQ(2, At(0).colorCount);
}

TEST_F(GifReaderTest, AShortLocalTableIsAReadError) {
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Image(0, 0, 2, 2, Filled(4, 1)).Raw({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x87, 1, 2, 3});
  EXPECT_FALSE(Read(gif));
  EXPECT_EQ(1, doc.frameCount);
  EXPECT_EQ(1, ReadErrors());
}

// ---- comments ------------------------------------------------------------------------

TEST_F(GifReaderTest, CommentSubBlocksAreJoined) {
  std::string text(600, 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Comment(text).Image(0, 0, 2, 2, Filled(4, 1)).Trailer();
  ASSERT_TRUE(Read(gif));
  EXPECT_EQ(600, At(0).left);
  EXPECT_EQ(text, CommentText(0));
  EXPECT_EQ(600u, At(1).dataOffset) << "the image follows the comment in the swap file";
}

// The length is kept in a signed 16-bit field: a longer comment keeps its
// first 32767 bytes, and the swap file holds exactly those.
TEST_F(GifReaderTest, ACommentLongerThan32767BytesKeepsItsFirst32767) {
  std::string text(40000, 'z');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(' ' + i % 90);
  GifBuilder gif;
  gif.Header().Screen(2, 2, 4).Comment(text).Image(0, 0, 2, 2, Filled(4, 1)).Trailer();
  ASSERT_TRUE(Read(gif));
  ASSERT_EQ(2, doc.frameCount);
  EXPECT_EQ(32767, At(0).left);
  EXPECT_EQ(text.substr(0, 32767), CommentText(0));
  EXPECT_EQ(32767u, At(1).dataOffset);
  EXPECT_EQ(Filled(4, 1), FramePixels(1));
}

// ---- progress --------------------------------------------------------------------------

TEST_F(GifReaderTest, ProgressCountsRowsUnderTheEntrysNumber) {
  GifBuilder gif;
  gif.Header().Screen(1, 100, 4).Comment("c").Image(0, 0, 1, 100, Filled(100, 1)).Trailer();
  ASSERT_TRUE(Read(gif));
  const HeadlessUi& ui = headlessUi();
  EXPECT_EQ(26u, ui.progressPositions.size());
  EXPECT_EQ(100, ui.progressPositions.back());
  EXPECT_EQ("Reading frame 2", ui.statusText);
}

}  // namespace
