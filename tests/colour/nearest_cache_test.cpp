#include "colour/nearest_cache.h"

#include <gtest/gtest.h>

#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "test_support.h"

namespace {

// Palettes with repeated entries and clusters, where ties and near misses
// are common, and colours from everywhere in the cube.
TEST(NearestCacheTest, EveryAnswerIsTheFullSearchsAnswer) {
  for (int count : {1, 2, 7, 64, 256}) {
    std::vector<uint8_t> values = Noise(static_cast<size_t>(count) * 3, 256, 99u + static_cast<uint32_t>(count));
    for (int i = 0; i < count; ++i) {
      // Every fourth entry repeats an earlier one; channel values cluster on multiples of 8.
      int source = i % 4 == 3 ? i / 2 : i;
      doc.workPalette[i] = {static_cast<uint8_t>(values[source * 3] & 0xF8), values[source * 3 + 1],
                            static_cast<uint8_t>(values[source * 3 + 2] | 7), 0};
    }
    quantizedCount = static_cast<int16_t>(count);
    NearestCache cache;
    ASSERT_TRUE(cache.Allocate());
    std::vector<uint8_t> colours = Noise(3 * 20000, 256, 7);
    for (size_t k = 0; k < colours.size(); k += 3) {
      int want = NearestQuantizedColor(colours[k], colours[k + 1], colours[k + 2]);
      int got = cache.Find(colours[k], colours[k + 1], colours[k + 2]);
      ASSERT_EQ(want, got) << count << " entries, colour " << int(colours[k]) << "," << int(colours[k + 1]) << ","
                           << int(colours[k + 2]) << ": expected " << want << ", got " << got;
    }
  }
  // Entry 0 lies exactly as far from the box of (0..7)^3 as its far corner
  // from entry 1: the tie at (7,7,7) is entry 0's.
  doc.workPalette[0] = {14, 14, 14, 0};
  doc.workPalette[1] = {0, 0, 0, 0};
  quantizedCount = 2;
  NearestCache cache;
  ASSERT_TRUE(cache.Allocate());
  EXPECT_EQ(0, cache.Find(7, 7, 7));
}

}  // namespace
