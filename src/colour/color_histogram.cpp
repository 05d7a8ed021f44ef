// The colour histogram: the counts median cut works on, filled from frames
// or single colours.
#include "colour/color_histogram.h"

#include <new>

#include "document/byte_buffer.h"
#include "document/document.h"

ColorHistogram colorHistogram;

bool ColorHistogram::Allocate() {
  cells_.reset(new (std::nothrow) uint16_t[kHistogramCells]());
  return cells_ != nullptr;
}

void ColorHistogram::Add(uint8_t red, uint8_t green, uint8_t blue) {
  if (!cells_) return;
  uint16_t& cell = cells_[HistogramCell(blue >> 3, green >> 3, red >> 3)];
  if (cell != 0xFFFF) ++cell;
}

void AddFrameToHistogram(int frameIndex) {
  if (frameIndex < 0 || frameIndex >= doc.frameCount || !colorHistogram.IsAllocated()) return;
  const Frame& frame = *doc.frames[frameIndex];
  if (IsComment(frame) || frame.width <= 0 || frame.height <= 0) return;

  RgbTriple colors[256];
  for (int i = 0; i < 256; ++i)
    colors[i] = RgbTriple{frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue};

  int32_t stride = RowStride(frame.width);
  ByteBuffer block;
  if (!ReadFrameBlock(frame, &block)) return;
  for (int32_t y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < frame.width; ++x) {
      const RgbTriple& color = colors[row[x]];
      colorHistogram.Add(color.red, color.green, color.blue);
    }
  }
}

void AddColorToHistogram(uint8_t red, uint8_t green, uint8_t blue) { colorHistogram.Add(red, green, blue); }
