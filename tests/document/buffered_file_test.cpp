// BufferedFile and SwapFile: short reads at the end, positioned access and
// the swap file's removal.
#include "document/buffered_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "document/swap_file.h"
#include "test_support.h"

namespace {

TEST(BufferedFileTest, ReadsComeUpShortOnlyAtTheEndAndFailWithoutAFile) {
  BufferedFile file;
  EXPECT_LT(file.OpenRead(ScratchPath("no-such-file.gif").c_str()), 0);
  ASSERT_GE(file.OpenRead(WriteScratchFile("four.bin", {1, 2, 3, 4}).c_str()), 0);
  uint8_t out[8] = {};
  EXPECT_EQ(4, file.Read(out, 6)) << "a read of 6 bytes from a 4-byte file";
  EXPECT_EQ(4, out[3]);
  EXPECT_EQ(0, file.Read(out, 1)) << "a read after the end";
  file.Close();
  EXPECT_EQ(-1, file.Read(out, 1)) << "a read with no file open";
  EXPECT_EQ(-1, file.Write(out, 1)) << "a write with no file open";
}

TEST(SwapFileTest, PositionedBlocksAndRowsReadBackWhereTheyWereWrittenAndTheFileGoesWithIt) {
  SwapFile swap;
  snprintf(swap.path, sizeof swap.path, "%s", ScratchPath("swap.bin").c_str());
  ASSERT_TRUE(swap.Create());
  std::vector<uint8_t> block = Noise(70000, 256), back(70000);
  swap.WriteBlockAt(100, block.data(), static_cast<uint32_t>(block.size()));
  swap.WriteAt(5, "row", 3);
  swap.ReadBlockAt(100, back.data(), static_cast<uint32_t>(back.size()));
  EXPECT_EQ(block, back);
  char row[4] = {};
  swap.ReadAt(5, row, 3);
  EXPECT_STREQ("row", row);
  swap.CloseAndRemove();
  EXPECT_FALSE(std::filesystem::exists(swap.path)) << "the swap file is removed when closed";

  // One that never opened leaves the path alone.
  SwapFile never;
  snprintf(never.path, sizeof never.path, "%s", WriteScratchFile("not-ours.bin", {1}).c_str());
  never.CloseAndRemove();
  EXPECT_TRUE(std::filesystem::exists(never.path));
}

}  // namespace
