#include "colour/nearest_cache.h"

#include <algorithm>
#include <new>

#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "document/document.h"

namespace {

constexpr int kBoxSide = 8;  // colour values per box and channel
constexpr int kBoxesPerChannel = 256 / kBoxSide;
constexpr int kBoxCount = kBoxesPerChannel * kBoxesPerChannel * kBoxesPerChannel;

int EntryCount() { return std::max(0, std::min<int>(quantizedCount, 256)); }

// Squared distance from value to the nearest and the farthest point of
// [low, low + kBoxSide - 1].
int32_t NearSquare(int value, int low) {
  int high = low + kBoxSide - 1;
  int d = value < low ? low - value : value > high ? value - high : 0;
  return d * d;
}

int32_t FarSquare(int value, int low) {
  int high = low + kBoxSide - 1;
  int d = std::max(value - low, high - value);
  return d * d;
}

}  // namespace

struct NearestCache::Box {
  uint16_t answers[kBoxSide * kBoxSide * kBoxSide] = {};  // 0: not looked up yet, else index + 1
  uint16_t candidateCount = 0;
  uint8_t candidates[256] = {};  // in index order
};

NearestCache::NearestCache() = default;
NearestCache::~NearestCache() = default;

bool NearestCache::Allocate() {
  boxes_.reset(new (std::nothrow) std::unique_ptr<Box>[kBoxCount]);
  return boxes_ != nullptr;
}

bool NearestCache::FillBox(int redBox, int greenBox, int blueBox, Box* box) const {
  int count = EntryCount();
  if (count == 0) return false;
  int red = redBox * kBoxSide, green = greenBox * kBoxSide, blue = blueBox * kBoxSide;
  int32_t near[256];
  int32_t bound = INT32_MAX;
  for (int i = 0; i < count; ++i) {
    const PaletteEntry& entry = doc.workPalette[i];
    near[i] = NearSquare(entry.red, red) + NearSquare(entry.green, green) + NearSquare(entry.blue, blue);
    bound = std::min(bound, FarSquare(entry.red, red) + FarSquare(entry.green, green) + FarSquare(entry.blue, blue));
  }
  // Any colour of the box lies within bound of some entry, so its nearest
  // entry lies within bound too and its least distance to the box cannot
  // exceed bound.
  for (int i = 0; i < count; ++i) {
    if (near[i] <= bound) box->candidates[box->candidateCount++] = static_cast<uint8_t>(i);
  }
  return true;
}

uint8_t NearestCache::Find(uint8_t red, uint8_t green, uint8_t blue) {
  int redBox = red / kBoxSide, greenBox = green / kBoxSide, blueBox = blue / kBoxSide;
  std::unique_ptr<Box>& box = boxes_[(redBox * kBoxesPerChannel + greenBox) * kBoxesPerChannel + blueBox];
  if (!box) {
    box.reset(new (std::nothrow) Box());
    if (box && !FillBox(redBox, greenBox, blueBox, box.get())) box.reset();
  }
  // Without memory for the box the full search runs every time: slower, same answer.
  if (!box) return static_cast<uint8_t>(NearestQuantizedColor(red, green, blue));
  uint16_t& answer = box->answers[((red % kBoxSide) * kBoxSide + green % kBoxSide) * kBoxSide + blue % kBoxSide];
  if (answer == 0) {
    int found = NearestIndex(red, green, blue, box->candidateCount, [&](int i, int* r, int* g, int* b) {
      const PaletteEntry& entry = doc.workPalette[box->candidates[i]];
      *r = entry.red;
      *g = entry.green;
      *b = entry.blue;
    });
    answer = static_cast<uint16_t>(box->candidates[found] + 1);
  }
  return static_cast<uint8_t>(answer - 1);
}
