// The swap file against a byte array that every operation is also applied
// to: gathered writes, reads inside, across and beside them, overwrites,
// cuts and large blocks must all read back as the array says.
#include "document/swap_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/temp_file.h"

namespace {

uint32_t Next(uint32_t* state) {
  uint32_t x = *state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return *state = x;
}

TEST(SwapFileTest, ReadsGiveWhatWasLastWrittenWhereverTheBytesWait) {
  SwapFile swap;
  ASSERT_TRUE(MakeTempFileName(swap.path, sizeof swap.path));
  ASSERT_TRUE(swap.Create());
  std::vector<uint8_t> model;  // what the file must read as; zeros where never written
  uint32_t random = 12345;
  std::vector<uint8_t> bytes, got;
  for (int step = 0; step < 3000; ++step) {
    const uint32_t choice = Next(&random) % 10;
    // Mostly small, near the end and near one another; now and then a block
    // larger than anything gathered.
    uint32_t count = choice == 9 ? 600 * 1024 + Next(&random) % 4096 : 1 + Next(&random) % 3000;
    uint32_t offset = model.size() > 0 ? Next(&random) % (static_cast<uint32_t>(model.size()) + 2000) : 0;
    if (choice < 3 && !model.empty()) {
      if (offset >= model.size()) offset = static_cast<uint32_t>(model.size()) - 1;
      if (offset + count > model.size() + 100) count = static_cast<uint32_t>(model.size()) + 100 - offset;
      got.assign(count, 0xEE);
      if (step % 2 == 0)
        swap.ReadBlockAt(offset, got.data(), count);
      else
        swap.ReadAt(offset, got.data(), static_cast<int32_t>(count));
      for (uint32_t k = 0; k < count; ++k) {
        const uint8_t expected = offset + k < model.size() ? model[offset + k] : 0;
        ASSERT_EQ(expected, got[k]) << "step " << step << ", byte " << offset + k;
      }
    } else if (choice == 3) {
      const uint32_t size = static_cast<uint32_t>(model.size()) * (Next(&random) % 4) / 4;
      swap.Truncate(size);
      model.resize(size);
    } else {
      if (choice == 4) offset = static_cast<uint32_t>(model.size());  // appends, as a reader makes
      bytes.resize(count);
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(Next(&random));
      if (step % 3 == 0)
        swap.WriteAt(offset, bytes.data(), static_cast<int32_t>(count));
      else
        swap.WriteBlockAt(offset, bytes.data(), count);
      if (model.size() < offset + count) model.resize(offset + count, 0);
      memcpy(model.data() + offset, bytes.data(), count);
    }
    ASSERT_EQ(model.size(), swap.size()) << "step " << step;
    if (model.size() > (8u << 20)) {
      swap.Truncate(0);
      model.clear();
    }
  }
  swap.CloseAndRemove();
  EXPECT_EQ(nullptr, fopen(swap.path, "rb")) << "the file is gone";
}

}  // namespace
