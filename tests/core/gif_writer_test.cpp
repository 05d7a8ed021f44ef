// The GIF writer: the bytes it writes for the screen, entries and credit
// comment, what our reader makes of them, and saves that fail part-way.
#include "document/gif_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/file_calls.h"
#include "document/gif_reader.h"
#include "document/gif_screen.h"
#include "document/settings.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

// The blocks after the screen, global table and looping extension, with
// their sub-blocks.
struct Block {
  uint8_t introducer;
  uint8_t label;                // extension label; 0 for an image
  std::vector<uint8_t> head;    // image: descriptor, local table, code size
  std::vector<int> sizes;       // the sub-blocks' lengths
  std::vector<uint8_t> data;    // their bytes
};

std::vector<Block> Blocks(const std::vector<uint8_t>& bytes) {
  std::vector<Block> blocks;
  size_t at = 13;
  if (bytes[10] & 0x80) at += 3u << ((bytes[10] & 7) + 1);
  while (at < bytes.size() && bytes[at] != 0x3B) {
    Block block{bytes[at++], 0, {}, {}, {}};
    if (block.introducer == 0x21) {
      block.label = bytes[at++];
    } else {
      size_t headSize = 9 + ((bytes[at + 8] & 0x80) ? 3u << ((bytes[at + 8] & 7) + 1) : 0) + 1;
      block.head.assign(bytes.begin() + at, bytes.begin() + at + headSize);
      at += headSize;
    }
    while (at < bytes.size() && bytes[at] != 0) {
      int size = bytes[at++];
      block.sizes.push_back(size);
      block.data.insert(block.data.end(), bytes.begin() + at, bytes.begin() + at + size);
      at += size;
    }
    ++at;
    if (block.label != 0xFF) blocks.push_back(block);
  }
  EXPECT_EQ(bytes.size() - 1, at) << "expected the trailer last";
  return blocks;
}

class GifWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDocument();
    settings = Settings();
    settings.addCreditComment = 0;
    screenDescriptor.aspect = 0;
  }
  void TearDown() override {
    SetWriteFailureAfter(-1);
    settings = Settings();
    ResetDocument();
  }

  // An image with a local palette whose entry i is (i, 2i, 255 - i); rows
  // top to bottom.
  Frame& AddImage(int left, int top, int width, int height, const std::vector<uint8_t>& pixels, int colorCount) {
    EXPECT_TRUE(InsertFrame(doc.frameCount));
    Frame& frame = *doc.frames[doc.frameCount - 1];
    frame.left = static_cast<int16_t>(left);
    frame.top = static_cast<int16_t>(top);
    frame.width = static_cast<int16_t>(width);
    frame.height = static_cast<int16_t>(height);
    frame.colorCount = static_cast<int16_t>(colorCount);
    for (int i = 0; i < 256; ++i)
      frame.palette[i] = PaletteEntry{static_cast<uint8_t>(255 - i), static_cast<uint8_t>(2 * i), static_cast<uint8_t>(i), 0};
    frame.dataOffset = doc.swapEnd;
    int32_t stride = RowStride(width);
    std::vector<uint8_t> block(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
      memcpy(block.data() + static_cast<size_t>(height - 1 - y) * stride, pixels.data() + y * width, width);
      for (int x = 0; x < width; ++x) frame.usedColors[pixels[y * width + x]] = 1;
    }
    if (!block.empty()) doc.swapFile.WriteBlockAt(doc.swapEnd, block.data(), static_cast<uint32_t>(block.size()));
    doc.swapEnd += static_cast<uint32_t>(block.size());
    return frame;
  }
  void AddComment(const std::string& text) {
    ASSERT_TRUE(InsertFrame(doc.frameCount));
    Frame& entry = *doc.frames[doc.frameCount - 1];
    entry.disposal = kCommentDisposal;
    entry.dataOffset = doc.swapEnd;
    entry.left = static_cast<int16_t>(text.size());
    doc.swapFile.WriteAt(doc.swapEnd, text.data(), static_cast<int32_t>(text.size()));
    doc.swapEnd += static_cast<uint32_t>(text.size());
  }
  std::vector<uint8_t> Save(const std::string& name = "saved.gif") {
    std::string path = ScratchPath(name);
    EXPECT_TRUE(WriteGif(path.c_str())) << name;
    return FileBytes(path);
  }
  // Saves, empties the document and reads the file back into it.
  void SaveAndReadBack() {
    Save();
    ResetDocument();
    ASSERT_TRUE(ReadGif(ScratchPath("saved.gif").c_str(), 0));
  }
};

std::vector<uint8_t> Noise(int n, int modulo) {
  std::vector<uint8_t> pixels(static_cast<size_t>(n));
  uint32_t seed = 12345;
  for (uint8_t& pixel : pixels) {
    seed = seed * 1103515245u + 12345u;
    pixel = static_cast<uint8_t>((seed >> 16) % static_cast<uint32_t>(modulo));
  }
  return pixels;
}

const std::vector<uint8_t> kLooping = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                                       '2',  '.',  '0',  3,   1,   0,   0,   0};

TEST_F(GifWriterTest, AnEmptyDocumentIsScreenLoopingCreditAndTrailer) {
  settings.addCreditComment = 1;
  std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x7F, 0, 0};
  expected.insert(expected.end(), kLooping.begin(), kLooping.end());
  size_t length = strlen(creditComment);
  expected.insert(expected.end(), {0x21, 0xFE, static_cast<uint8_t>(length)});
  expected.insert(expected.end(), creditComment, creditComment + length);
  expected.insert(expected.end(), {0, 0x3B});
  EXPECT_EQ(expected, Save());
  EXPECT_EQ(0, strncmp(creditComment, "GIF assembled with Pelmor's Frambo\n", 35));
}

TEST_F(GifWriterTest, TheCreditCommentIsAddedOnceAndOnlyWhenWanted) {
  AddImage(0, 0, 2, 2, {0, 1, 1, 0}, 2);
  EXPECT_EQ(1u, Blocks(Save()).size() / 2) << "credit off: a control block and an image";
  EXPECT_EQ(1, doc.frameCount);

  settings.addCreditComment = 1;
  Save();
  Save();
  ASSERT_EQ(2, doc.frameCount) << "expected one credit comment after two saves";
  EXPECT_EQ(creditComment, CommentText(0));
  std::vector<Block> blocks = Blocks(Save());
  ASSERT_EQ(3u, blocks.size());
  EXPECT_EQ(0xFE, blocks[0].label);

  // A first comment of the credit's length counts as the credit.
  ResetDocument();
  AddComment(std::string(strlen(creditComment), 'x'));
  Save();
  EXPECT_EQ(1, doc.frameCount);

  // A full list has no room: the save goes on without it.
  ResetDocument();
  for (int i = 0; i < kMaxEntries; ++i) AddImage(0, 0, 1, 1, {0}, 2);
  Save();
  EXPECT_EQ(kMaxEntries, doc.frameCount);
}

TEST_F(GifWriterTest, ATwoColourFrameHasCodeSize2AndATwoEntryTable) {
  AddImage(0, 0, 4, 1, {0, 1, 1, 0}, 2);
  std::vector<Block> blocks = Blocks(Save());
  ASSERT_EQ(2u, blocks.size());
  EXPECT_EQ(0xF9, blocks[0].label);
  const std::vector<uint8_t>& head = blocks[1].head;
  ASSERT_EQ(9u + 6 + 1, head.size());
  EXPECT_EQ(0x80, head[8]) << "a local table of 2 entries";
  EXPECT_EQ((std::vector<uint8_t>{0, 0, 255, 1, 2, 254}), std::vector<uint8_t>(head.begin() + 9, head.begin() + 15))
      << "red, green, blue of entries 0 and 1";
  EXPECT_EQ(2, head[15]) << "minimum code size";
}

TEST_F(GifWriterTest, FrameValuesAndPixelsComeBackThroughTheReader) {
  std::vector<uint8_t> noise = Noise(97 * 61, 256);
  Frame& first = AddImage(3, 5, 97, 61, noise, 256);
  first.delay = 0x1234;
  first.disposal = 2;
  first.transparent = 1;
  first.transparentIndex = 0x1F7;
  first.sortFlag = 32;
  AddComment("between");
  AddImage(0, 0, 5, 3, Noise(15, 8), 8);
  SaveAndReadBack();
  ASSERT_EQ(3, doc.frameCount);
  const Frame& frame = *doc.frames[0];
  EXPECT_EQ(3, frame.left);
  EXPECT_EQ(5, frame.top);
  EXPECT_EQ(0x1234, frame.delay);
  EXPECT_EQ(2, frame.disposal);
  EXPECT_EQ(1, frame.transparent);
  EXPECT_EQ(0xF7, frame.transparentIndex) << "the index is written as one byte";
  EXPECT_EQ(32, frame.sortFlag);
  EXPECT_EQ(0, frame.interlaced);
  EXPECT_TRUE(FramePixels(0) == noise) << "expected the 97x61 noise back";
  EXPECT_EQ(200, frame.palette[200].red);
  EXPECT_EQ(55, frame.palette[200].blue);
  EXPECT_EQ("between", CommentText(1));
  EXPECT_EQ(Noise(15, 8), FramePixels(2));
  EXPECT_EQ(100, doc.screenWidth);
  EXPECT_EQ(66, doc.screenHeight);
}

TEST_F(GifWriterTest, TheScreenReachesTheFarEdgeOfEveryFrame) {
  AddImage(10, 0, 20, 2, std::vector<uint8_t>(40, 1), 2);
  AddComment("comments have no place");
  AddImage(0, 7, 3, 4, std::vector<uint8_t>(12, 1), 2);
  std::vector<uint8_t> bytes = Save();
  EXPECT_EQ(30, bytes[6] | bytes[7] << 8);
  EXPECT_EQ(11, bytes[8] | bytes[9] << 8);
  EXPECT_EQ(30, doc.screenWidth);
  EXPECT_EQ(11, doc.screenHeight);
}

TEST_F(GifWriterTest, A600ByteCommentIsThreeSubBlocks) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += static_cast<char>('a' + i % 26);
  AddComment(text);
  std::vector<Block> blocks = Blocks(Save());
  ASSERT_EQ(1u, blocks.size());
  EXPECT_EQ((std::vector<int>{255, 255, 90}), blocks[0].sizes);
  EXPECT_EQ(text, std::string(blocks[0].data.begin(), blocks[0].data.end()));
}

TEST_F(GifWriterTest, InterlacedSaveWritesThePassesInOrder) {
  settings.interlacedSave = 1;
  std::vector<uint8_t> rows;
  for (int y = 0; y < 10; ++y) rows.insert(rows.end(), {static_cast<uint8_t>(y), static_cast<uint8_t>(y)});
  AddImage(0, 0, 2, 10, rows, 16);
  std::vector<Block> blocks = Blocks(Save());
  ASSERT_EQ(2u, blocks.size());
  EXPECT_EQ(0x40, blocks[1].head[8] & 0x40);
  ResetDocument();
  ASSERT_TRUE(ReadGif(ScratchPath("saved.gif").c_str(), 0));
  EXPECT_EQ(rows, FramePixels(0)) << "the reader puts rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9 back in place";
}

TEST_F(GifWriterTest, TheCodeSizeCoversIndicesBeyondTheColourCount) {
  AddImage(0, 0, 3, 1, {1, 200, 3}, 4);
  std::vector<Block> blocks = Blocks(Save());
  EXPECT_EQ(8, blocks[1].head.back()) << "index 200 needs 8 bits";
  ResetDocument();
  ASSERT_TRUE(ReadGif(ScratchPath("saved.gif").c_str(), 0));
  EXPECT_EQ((std::vector<uint8_t>{1, 200, 3}), FramePixels(0));
}

TEST_F(GifWriterTest, SizeCodeIsTheSmallestTableThatHoldsTheCount) {
  const int counts[] = {0, 2, 3, 4, 5, 8, 9, 16, 17, 32, 33, 64, 65, 128, 129, 256, 300};
  const int codes[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7};
  for (size_t i = 0; i < std::size(counts); ++i) EXPECT_EQ(codes[i], SizeCode(counts[i])) << counts[i] << " colours";
}

TEST_F(GifWriterTest, ASuccessfulSaveRenamesTheDocument) {
  AddImage(0, 0, 1, 1, {0}, 2);
  std::string path = ScratchPath("named.gif");
  ASSERT_TRUE(WriteGif(path.c_str()));
  EXPECT_EQ(path, doc.fileName);
  ASSERT_TRUE(WriteGif(doc.fileName)) << "Save under the document's own name";
  EXPECT_EQ(path, doc.fileName);
#ifndef _WIN32
  // A backslash is an ordinary character here, which lets the caption's
  // offset be checked without a Windows path.
  path = ScratchPath("a\\b.gif");
  ASSERT_TRUE(WriteGif(path.c_str()));
  EXPECT_EQ(path.size() - 5, doc.fileNameOffset);
#endif
  std::string tooLong = ScratchPath("");
  tooLong += std::string(sizeof doc.fileName - tooLong.size(), 'n');
  EXPECT_FALSE(WriteGif(tooLong.c_str())) << "a name that does not fit the document";
  std::error_code error;
  EXPECT_FALSE(std::filesystem::exists(tooLong, error));
  EXPECT_FALSE(WriteGif(ScratchPath("missing-folder/x.gif").c_str()));
  EXPECT_EQ(path, doc.fileName) << "failed saves keep the name";
}

// Temporary files the writer left in the scratch folder.
int TempFilesLeft() {
  int count = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(ScratchPath("")))) {
    std::string name = item.path().filename().string();
    count += name.rfind("FRB", 0) == 0;
  }
  return count;
}

TEST_F(GifWriterTest, AWriteFailingAtAnyByteKeepsTheOldFileAndName) {
  settings.addCreditComment = 1;
  AddImage(0, 0, 24, 24, Noise(576, 16), 16);  // data of two sub-blocks
  AddComment(std::string(300, 'c'));
  AddImage(1, 1, 4, 4, Noise(16, 4), 4);
  size_t fileSize = Save("probe.gif").size();
  ResetDocument();
  AddImage(0, 0, 24, 24, Noise(576, 16), 16);  // data of two sub-blocks
  AddComment(std::string(300, 'c'));
  AddImage(1, 1, 4, 4, Noise(16, 4), 4);

  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  std::string target = WriteScratchFile("target.gif", old);
#ifndef _WIN32
  chmod(target.c_str(), 0644);
#endif
  for (size_t failAt = 0; failAt < fileSize; ++failAt) {
    SetWriteFailureAfter(static_cast<int64_t>(failAt));
    ASSERT_FALSE(WriteGif(target.c_str())) << "expected failure with byte " << failAt << " failing";
    ASSERT_EQ(old, FileBytes(target)) << "byte " << failAt;
    ASSERT_EQ(0, TempFilesLeft()) << "byte " << failAt;
    ASSERT_STREQ("untitled", doc.fileName) << "byte " << failAt;
    ASSERT_EQ(3, doc.frameCount) << "byte " << failAt << ": the credit comment stays out";
  }
  SetWriteFailureAfter(static_cast<int64_t>(fileSize));
  ASSERT_TRUE(WriteGif(target.c_str())) << "every byte fits";
  EXPECT_EQ(fileSize, FileBytes(target).size());
  EXPECT_EQ(0, TempFilesLeft());
  EXPECT_EQ(4, doc.frameCount);
#ifndef _WIN32
  struct stat status;
  ASSERT_EQ(0, stat(target.c_str(), &status));
  EXPECT_EQ(0644u, status.st_mode & 0777) << "the replaced file keeps its permissions";
#endif
}

}  // namespace
