// BufferedFile and SwapFile: short reads at the end, reads across the
// buffer's edge, positioned access and the swap file's removal.
#include "document/buffered_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "document/swap_file.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

bool Exists(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file) fclose(file);
  return file != nullptr;
}

TEST(BufferedFileTest, ReadsComeUpShortOnlyAtTheEndOfTheFile) {
  std::string path = WriteScratchFile("four.bin", {1, 2, 3, 4});
  BufferedFile file;
  ASSERT_GE(file.OpenRead(path.c_str()), 0);
  uint8_t out[8] = {};
  EXPECT_EQ(4, file.Read(out, 6)) << "a read of 6 bytes from a 4-byte file";
  EXPECT_EQ(4, out[3]);
  EXPECT_EQ(0, file.Read(out, 1)) << "a read after the end";
  file.Close();
  EXPECT_EQ(-1, file.Read(out, 1)) << "a read with no file open";
  EXPECT_EQ(-1, file.Write(out, 1)) << "a write with no file open";
}

TEST(BufferedFileTest, ReadAcrossTheBufferEdgeJoinsBothParts) {
  std::vector<uint8_t> bytes = Counting(9000);
  std::string path = WriteScratchFile("straddle.bin", bytes);
  BufferedFile file;
  ASSERT_GE(file.OpenRead(path.c_str()), 0);
  std::vector<uint8_t> head(8190);
  ASSERT_EQ(8190, file.Read(head.data(), 8190));
  uint8_t out[10];
  ASSERT_EQ(10, file.Read(out, 10));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bytes[8190 + i], out[i]) << "byte " << 8190 + i;
  std::vector<uint8_t> rest(900);
  EXPECT_EQ(800, file.Read(rest.data(), 900));
  EXPECT_EQ(bytes[8999], rest[799]);
}

TEST(BufferedFileTest, OpeningAMissingFileFails) {
  BufferedFile file;
  EXPECT_LT(file.OpenRead(ScratchPath("no-such-file.gif").c_str()), 0);
  EXPECT_LT(file.handle(), 0);
}

TEST(BufferedFileTest, WritesGoStraightToTheFile) {
  std::string path = ScratchPath("written.bin");
  BufferedFile file;
  ASSERT_GE(file.Create(path.c_str()), 0);
  EXPECT_EQ(3, file.Write("abc", 3));
  file.Close();
  ASSERT_GE(file.OpenRead(path.c_str()), 0);
  char out[4] = {};
  EXPECT_EQ(3, file.Read(out, 4));
  EXPECT_STREQ("abc", out);
}

TEST(SwapFileTest, PositionedBlocksAndRowsReadBackWhereTheyWereWritten) {
  SwapFile swap;
  snprintf(swap.path, sizeof swap.path, "%s", ScratchPath("swap.bin").c_str());
  ASSERT_TRUE(swap.Create());
  std::vector<uint8_t> block = Counting(70000);
  swap.WriteBlockAt(100, block.data(), static_cast<uint32_t>(block.size()));
  swap.WriteAt(5, "row", 3);
  std::vector<uint8_t> back(block.size());
  swap.ReadBlockAt(100, back.data(), static_cast<uint32_t>(back.size()));
  EXPECT_EQ(block, back);
  char row[4] = {};
  swap.ReadAt(5, row, 3);
  EXPECT_STREQ("row", row);
  swap.CloseAndRemove();
  EXPECT_FALSE(Exists(swap.path)) << "the swap file is removed when closed";
}

TEST(SwapFileTest, CloseAndRemoveOnAFileThatNeverOpenedLeavesThePathAlone) {
  std::string path = WriteScratchFile("not-ours.bin", {1});
  {
    SwapFile swap;
    snprintf(swap.path, sizeof swap.path, "%s", path.c_str());
    swap.CloseAndRemove();
  }
  EXPECT_TRUE(Exists(path.c_str()));
}

TEST(SwapFileTest, TheDocumentsSwapFileCarriesTheProgramPrefix) {
  ASSERT_TRUE(doc.swapFile.IsOpen());
  std::string path = doc.swapFile.path;
  size_t slash = path.find_last_of("/\\");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  EXPECT_EQ("FRB", name.substr(0, 3)) << "swap file " << path;
  EXPECT_TRUE(Exists(path.c_str()));
}

}  // namespace
