#include "editing/screen_walk.h"

#include "document/document.h"
#include "editing/dirty_rectangles.h"

void ScreenExtent(int* width, int* height) {
  *width = doc.screenWidth;
  *height = doc.screenHeight;
  for (int i = 0; i < doc.frameCount; ++i) {
    if (!IsImageFrame(i)) continue;
    const Frame& frame = *doc.frames[i];
    if (frame.left + frame.width > *width) *width = frame.left + frame.width;
    if (frame.top + frame.height > *height) *height = frame.top + frame.height;
  }
}

uint32_t ColourOf(const Frame& frame, int index) {
  const PaletteEntry& c = frame.palette[index];
  return static_cast<uint32_t>(c.red) << 16 | static_cast<uint32_t>(c.green) << 8 | c.blue;
}

ScreenWalk::ScreenWalk(int width, int height)
    : width_(width), screen_(static_cast<size_t>(width) * height, kNothingDrawn) {}

bool ScreenWalk::Draw(int index) {
  const Frame& frame = *doc.frames[index];
  ByteBuffer block;
  if (frame.width > 0 && frame.height > 0 && !ReadLimitedBlock(index, &block)) return false;
  if (frame.disposal == 3) before_ = screen_;
  const int32_t stride = RowStride(frame.width);
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    uint32_t* out = &screen_[static_cast<size_t>(frame.top + y) * width_ + frame.left];
    for (int x = 0; x < frame.width; ++x)
      if (!frame.transparent || row[x] != (frame.transparentIndex & 0xFF)) out[x] = ColourOf(frame, row[x]);
  }
  shown_ = screen_;
  if (frame.disposal == 2) {
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x)
        screen_[static_cast<size_t>(frame.top + y) * width_ + frame.left + x] = kNothingDrawn;
  } else if (frame.disposal == 3) {
    screen_.swap(before_);
  }
  return true;
}
