// The quantiser's front: exact colours first, the histogram and median cut
// only when the frames show more colours than may be kept.
#include "colour/quantizer.h"

#include <cstring>

#include "colour/color_histogram.h"
#include "colour/median_cut.h"
#include "document/byte_buffer.h"
#include "document/ui_operations.h"

namespace {

constexpr uint32_t kEmptySlot = 0xFFFFFFFF;
constexpr uint32_t kTransparentCopy = 1u << 24;

uint32_t Key(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

}  // namespace

ExactColorSet::ExactColorSet(int limit) : limit_(limit < 0 ? 0 : limit > 256 ? 256 : limit) {
  for (uint32_t& key : keys_) key = kEmptySlot;
}

bool ExactColorSet::AddKey(uint32_t key) {
  if (overflowed_) return false;
  uint32_t slot = (key * 2654435761u) >> 22;  // top 10 bits: kSlots
  while (keys_[slot] != kEmptySlot) {
    if (keys_[slot] == key) return true;
    slot = (slot + 1) % kSlots;
  }
  if (count_ >= limit_) {
    overflowed_ = true;
    return false;
  }
  keys_[slot] = key;
  colors_[count_++] = RgbTriple{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8),
                                static_cast<uint8_t>(key)};
  return true;
}

bool ExactColorSet::Add(uint8_t red, uint8_t green, uint8_t blue) { return AddKey(Key(red, green, blue)); }

bool ExactColorSet::AddTransparentCopy(uint8_t red, uint8_t green, uint8_t blue) {
  return AddKey(Key(red, green, blue) | kTransparentCopy);
}

void ExactColorSet::Store() const {
  for (int i = 0; i < count_; ++i) {
    doc.workPalette[i].red = colors_[i].red;
    doc.workPalette[i].green = colors_[i].green;
    doc.workPalette[i].blue = colors_[i].blue;
  }
  quantizedCount = static_cast<int16_t>(count_);
}

// Marks the indices of width pixels. Eight pixels that repeat the last one
// marked are passed over with one comparison, as flat pictures mostly have.
void MarkIndices(const uint8_t* row, int32_t width, uint8_t used[256]) {
  if (width <= 0) return;
  used[row[0]] = 1;
  uint64_t repeated = uint64_t{row[0]} * 0x0101010101010101u;  // eight copies of an index marked
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    uint64_t eight;
    memcpy(&eight, row + x, sizeof eight);
    if (eight == repeated) continue;
    for (int k = 0; k < 8; ++k) used[row[x + k]] = 1;
    repeated = uint64_t{row[x + 7]} * 0x0101010101010101u;
  }
  for (; x < width; ++x) used[row[x]] = 1;
}

void FrameUsedIndices(int frameIndex, uint8_t used[256]) {
  memset(used, 0, 256);
  if (frameIndex < 0 || frameIndex >= doc.frameCount) return;
  const Frame& frame = *doc.frames[frameIndex];
  if (IsComment(frame)) return;
  uint8_t marks[256];  // a copy of its own, which the compiler takes many at a time
  memcpy(marks, frame.usedColors, sizeof marks);
  for (int i = 0; i < 256; ++i) marks[i] = marks[i] != 0;
  memcpy(used, marks, sizeof marks);
  if (frame.transparent && frame.transparentIndex < 256) used[frame.transparentIndex] = 1;
  if (frame.width <= 0 || frame.height <= 0) return;

  // usedColors is what the reader saw; the pixels are what is there now.
  int32_t stride = RowStride(frame.width);
  ByteBuffer block;
  if (!ReadFrameBlock(frame, &block)) return;
  for (int32_t y = 0; y < frame.height; ++y) MarkIndices(block.data() + static_cast<size_t>(y) * stride, frame.width, used);
}

bool CollectExactColors(const int* frames, int frameCount, int n) {
  ExactColorSet colors(n);
  for (int f = 0; f < frameCount && !colors.overflowed(); ++f) {
    const Frame& frame = *doc.frames[frames[f]];
    uint8_t used[256];
    FrameUsedIndices(frames[f], used);
    int transparent = frame.transparent && frame.transparentIndex < 256 ? frame.transparentIndex : -1;
    bool transparentShownOpaque = false;
    for (int i = 0; i < 256; ++i) {
      if (!used[i] || i == transparent) continue;
      const PaletteEntry& entry = frame.palette[i];
      colors.Add(entry.red, entry.green, entry.blue);
      if (transparent >= 0 && memcmp(&entry, &frame.palette[transparent], 3) == 0) transparentShownOpaque = true;
    }
    if (transparent >= 0) {
      const PaletteEntry& entry = frame.palette[transparent];
      if (transparentShownOpaque)
        colors.AddTransparentCopy(entry.red, entry.green, entry.blue);
      else
        colors.Add(entry.red, entry.green, entry.blue);
    }
  }
  if (colors.overflowed()) return false;
  colors.Store();
  return true;
}

void QuantizeFrames(const int* frames, int frameCount, int n) {
  SetStatusText("Calculating optimal palette ...");
  quantizedCount = 0;
  {
    HistogramScope histogram;
    if (histogram.allocated()) {
      for (int f = 0; f < frameCount; ++f) AddFrameToHistogram(frames[f]);
      SelectColors(n);
    }
  }
  SetStatusText("");
}
