// The GIF writer: the bytes it writes for the screen, entries and credit
// comment, what our reader makes of them, and saves that fail part-way.
#include "formats/gif_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/gif_screen.h"
#include "document/settings.h"
#include "formats/gif_reader.h"
#include "platform/file_calls.h"
#include "test_support.h"

namespace {

// The blocks after the screen, global table and looping extension, with
// their sub-blocks.
struct Block {
  uint8_t introducer;
  uint8_t label;              // extension label; 0 for an image
  std::vector<uint8_t> head;  // image: descriptor, local table, code size
  std::vector<int> sizes;     // the sub-blocks' lengths
  std::vector<uint8_t> data;  // their bytes
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

// Palette entry i is (i, 2i, 255 - i).
std::vector<RgbTriple> Ramp(int n) {
  std::vector<RgbTriple> colours;
  for (int i = 0; i < n; ++i) colours.push_back(RgbTriple{uint8_t(i), uint8_t(2 * i), uint8_t(255 - i)});
  return colours;
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
  std::vector<uint8_t> Save(const std::string& name = "saved.gif") {
    std::string path = ScratchPath(name);
    EXPECT_TRUE(WriteGif(path.c_str())) << name;
    return FileBytes(path);
  }
  // Saves, empties the document and reads the file back into it.
  std::vector<uint8_t> SaveAndReadBack() {
    std::vector<uint8_t> bytes = Save();
    ResetDocument();
    EXPECT_TRUE(ReadGif(ScratchPath("saved.gif").c_str(), 0));
    return bytes;
  }
};

TEST_F(GifWriterTest, AnEmptyDocumentIsScreenLoopingCreditAndTrailer) {
  settings.addCreditComment = 1;
  std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x7F, 0, 0, 0x21, 0xFF, 0x0B,
                                   'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  size_t length = strlen(creditComment);
  expected.insert(expected.end(), {0x21, 0xFE, static_cast<uint8_t>(length)});
  expected.insert(expected.end(), creditComment, creditComment + length);
  expected.insert(expected.end(), {0, 0x3B});
  EXPECT_EQ(expected, Save());
}

TEST_F(GifWriterTest, TheCreditCommentIsAddedOnceAndOnlyWhenWanted) {
  AppendImage(2, 2, Ramp(2), {0, 1, 1, 0});
  EXPECT_EQ(2u, Blocks(Save()).size()) << "credit off: a control block and an image";
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
  AppendComment(std::string(strlen(creditComment), 'x'));
  Save();
  EXPECT_EQ(1, doc.frameCount);

  // A full list has no room: the save goes on without it.
  ResetDocument();
  for (int i = 0; i < kMaxEntries; ++i) AppendImage(1, 1, Ramp(2), {0});
  Save();
  EXPECT_EQ(kMaxEntries, doc.frameCount);
}

// The local table holds the colour count, the code size the largest index
// even when it lies beyond the count.
TEST_F(GifWriterTest, TheTableFitsTheColoursAndTheCodeSizeTheLargestIndex) {
  struct Case {
    int colours;
    std::vector<uint8_t> pixels;
    int packed;                  // the descriptor's flags and table size
    std::vector<uint8_t> table;  // red, green, blue of every entry written
    int codeSize;
  } cases[] = {
      {2, {0, 1, 1, 0}, 0x80, {0, 0, 255, 1, 2, 254}, 2},
      {4, {1, 200, 3}, 0x81, {0, 0, 255, 1, 2, 254, 2, 4, 253, 3, 6, 252}, 8},
  };
  for (const Case& c : cases) {
    ResetDocument();
    AppendImage(static_cast<int>(c.pixels.size()), 1, Ramp(c.colours), c.pixels);
    std::vector<Block> blocks = Blocks(SaveAndReadBack());
    ASSERT_EQ(2u, blocks.size());
    EXPECT_EQ(0xF9, blocks[0].label) << "a control block before the image";
    const std::vector<uint8_t>& head = blocks[1].head;
    ASSERT_EQ(9 + c.table.size() + 1, head.size()) << c.colours << " colours";
    EXPECT_EQ(c.packed, head[8]) << c.colours << " colours: a local table";
    EXPECT_EQ(c.table, std::vector<uint8_t>(head.begin() + 9, head.end() - 1)) << c.colours << " colours";
    EXPECT_EQ(c.codeSize, head.back()) << c.colours << " colours, largest index " << int(c.pixels[1]);
    EXPECT_EQ(c.pixels, FramePixels(0)) << c.colours << " colours: read back";
  }
}

// Round trips of real files check the rest; these values have no file there.
TEST_F(GifWriterTest, FrameValuesAndTheScreenComeBackThroughTheReader) {
  Frame& first = AppendImage(97, 61, Ramp(256), Noise(97 * 61, 256));
  first.left = 3;
  first.top = 5;
  first.delay = 0x1234;
  first.disposal = 2;
  first.transparent = 1;
  first.transparentIndex = 0x1F7;
  first.sortFlag = 32;
  AppendComment("comments take no room on the screen");
  AppendImage(5, 3, Ramp(8), Noise(15, 8)).top = 64;
  std::vector<uint8_t> bytes = SaveAndReadBack();
  EXPECT_EQ(100, bytes[6] | bytes[7] << 8) << "screen width: the far edge of the first frame";
  EXPECT_EQ(67, bytes[8] | bytes[9] << 8) << "screen height: the far edge of the last frame";
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
}

TEST_F(GifWriterTest, A600ByteCommentIsThreeSubBlocks) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += static_cast<char>('a' + i % 26);
  AppendComment(text);
  std::vector<Block> blocks = Blocks(Save());
  ASSERT_EQ(1u, blocks.size());
  EXPECT_EQ((std::vector<int>{255, 255, 90}), blocks[0].sizes);
  EXPECT_EQ(text, std::string(blocks[0].data.begin(), blocks[0].data.end()));
}

TEST_F(GifWriterTest, ASuccessfulSaveRenamesTheDocumentAndAFailedOneDoesNot) {
  AppendImage(1, 1, Ramp(2), {0});
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

// The writer's temporary file lies beside the target: a failed save must
// leave the scratch folder as it found it.
size_t ScratchFiles() {
  auto items = std::filesystem::directory_iterator(std::filesystem::path(ScratchPath("")));
  return static_cast<size_t>(std::distance(begin(items), end(items)));
}

TEST_F(GifWriterTest, AWriteFailingAtAnyByteKeepsTheOldFileAndName) {
  settings.addCreditComment = 1;
  auto build = [] {
    ResetDocument();
    AppendImage(24, 24, Ramp(16), Noise(576, 16));  // data of two sub-blocks
    AppendComment(std::string(300, 'c'));
    Frame& small = AppendImage(4, 4, Ramp(4), Noise(16, 4));
    small.left = small.top = 1;
  };
  build();
  size_t fileSize = Save("probe.gif").size();
  build();
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  std::string target = WriteScratchFile("target.gif", old);
  const size_t files = ScratchFiles();
#ifndef _WIN32
  chmod(target.c_str(), 0644);
#endif
  for (size_t failAt = 0; failAt < fileSize; ++failAt) {
    SetWriteFailureAfter(static_cast<int64_t>(failAt));
    ASSERT_FALSE(WriteGif(target.c_str())) << "expected failure with byte " << failAt << " failing";
    ASSERT_EQ(old, FileBytes(target)) << "byte " << failAt;
    ASSERT_EQ(files, ScratchFiles()) << "byte " << failAt << ": a temporary file was left";
    ASSERT_STREQ("untitled", doc.fileName) << "byte " << failAt;
    ASSERT_EQ(3, doc.frameCount) << "byte " << failAt << ": the credit comment stays out";
  }
  SetWriteFailureAfter(static_cast<int64_t>(fileSize));
  ASSERT_TRUE(WriteGif(target.c_str())) << "every byte fits";
  EXPECT_EQ(fileSize, FileBytes(target).size());
  EXPECT_EQ(files, ScratchFiles());
  EXPECT_EQ(4, doc.frameCount);
#ifndef _WIN32
  struct stat status;
  ASSERT_EQ(0, stat(target.c_str(), &status));
  EXPECT_EQ(0644u, status.st_mode & 0777) << "the replaced file keeps its permissions";
#endif
}

}  // namespace
