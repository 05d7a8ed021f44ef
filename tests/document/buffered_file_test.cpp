// BufferedFile and SwapFile: short reads at the end, reads across the
// buffer's edge, positioned access and the swap file's removal.
#include "document/buffered_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "document/swap_file.h"
#include "test_support.h"

namespace {

bool Exists(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file) fclose(file);
  return file != nullptr;
}

TEST(BufferedFileTest, ReadsComeUpShortOnlyAtTheEndAndFailWithoutAFile) {
  BufferedFile file;
  EXPECT_LT(file.OpenRead(ScratchPath("no-such-file.gif").c_str()), 0);
  EXPECT_LT(file.handle(), 0);
  ASSERT_GE(file.OpenRead(WriteScratchFile("four.bin", {1, 2, 3, 4}).c_str()), 0);
  uint8_t out[8] = {};
  EXPECT_EQ(4, file.Read(out, 6)) << "a read of 6 bytes from a 4-byte file";
  EXPECT_EQ(4, out[3]);
  EXPECT_EQ(0, file.Read(out, 1)) << "a read after the end";
  file.Close();
  EXPECT_EQ(-1, file.Read(out, 1)) << "a read with no file open";
  EXPECT_EQ(-1, file.Write(out, 1)) << "a write with no file open";
}

TEST(BufferedFileTest, ReadAcrossTheBufferEdgeJoinsBothParts) {
  std::vector<uint8_t> bytes = Noise(9000, 256);
  BufferedFile file;
  ASSERT_GE(file.OpenRead(WriteScratchFile("straddle.bin", bytes).c_str()), 0);
  std::vector<uint8_t> head(8190);
  ASSERT_EQ(8190, file.Read(head.data(), 8190));
  uint8_t out[10];
  ASSERT_EQ(10, file.Read(out, 10));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 8190, bytes.begin() + 8200), std::vector<uint8_t>(out, out + 10));
  std::vector<uint8_t> rest(900);
  EXPECT_EQ(800, file.Read(rest.data(), 900));
  EXPECT_EQ(bytes[8999], rest[799]);
}

TEST(SwapFileTest, PositionedBlocksAndRowsReadBackWhereTheyWereWritten) {
  SwapFile swap;
  snprintf(swap.path, sizeof swap.path, "%s", ScratchPath("swap.bin").c_str());
  ASSERT_TRUE(swap.Create());
  std::vector<uint8_t> block = Noise(70000, 256);
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

}  // namespace
