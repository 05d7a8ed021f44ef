// One walk over the image frames: before a frame is drawn, the screen holds
// what it draws over, so each of its pixels can be compared with it. A pixel
// made transparent then lets that same colour show, and the frame's disposal
// leaves the same screen as before; the walk goes on with the frame as it
// now is. Each frame is decided by coding both versions.
#include "editing/unchanged_pixels.h"

#include <cstring>
#include <new>

#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "editing/coded_size.h"
#include "editing/dirty_rectangles.h"
#include "editing/screen_walk.h"

namespace {

// What the frame costs in the file with these rows (bottom-up, as stored):
// its coded data at the code size of its highest index, and its own table.
size_t FrameCost(const Frame& frame, const uint8_t* rows, int highest) {
  size_t total = CodedSize(rows, frame.width, frame.height, MinCodeSize(highest));
  if (!frame.useGlobalPalette) total += 3u * (2u << SizeCode(highest + 1));
  return total;
}

// Frame index with the pixels that match screen (what it draws over) made
// transparent, when that costs less. Whether it changed.
bool TryFrame(int index, const Screen& screen, int screenWidth) {
  Frame& frame = *doc.frames[index];
  ByteBuffer block;
  if (frame.width <= 0 || frame.height <= 0 || !ReadLimitedBlock(index, &block)) return false;
  const int32_t stride = RowStride(frame.width);
  bool used[256] = {};
  int highest = frame.transparent ? frame.transparentIndex & 0xFF : 0;
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) {
      const uint8_t pixel = block.data()[static_cast<size_t>(y) * stride + x];
      used[pixel] = true;
      if (pixel > highest) highest = pixel;
    }
  // The frame's own transparent index, else the lowest one its pixels leave.
  int clear = frame.transparent ? frame.transparentIndex & 0xFF : -1;
  for (int i = 0; clear < 0 && i < 256; ++i)
    if (!used[i]) clear = i;
  if (clear < 0) return false;

  ByteBuffer changed;
  if (!changed.Allocate(block.size())) return false;
  memcpy(changed.data(), block.data(), block.size());
  int replaced = 0;
  for (int y = 0; y < frame.height; ++y) {
    uint8_t* row = changed.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    const uint32_t* under = &screen[static_cast<size_t>(frame.top + y) * screenWidth + frame.left];
    for (int x = 0; x < frame.width; ++x) {
      if (under[x] != kNothingDrawn && under[x] == ColourOf(frame, row[x])) {
        row[x] = static_cast<uint8_t>(clear);
        ++replaced;
      }
    }
  }
  const int changedHighest = clear > highest ? clear : highest;
  if (replaced == 0 || FrameCost(frame, changed.data(), changedHighest) >= FrameCost(frame, block.data(), highest))
    return false;
  if (!StoreFrameBlock(frame, changed.data(), static_cast<uint32_t>(changed.size()))) return false;
  frame.transparent = 1;
  frame.transparentIndex = static_cast<uint16_t>(clear);
  frame.usedColors[clear] = 1;
  return true;
}

// Cuts away the rows and columns at the edges of image frame index that
// are all its transparent index: they draw nothing, and a frame that leaves
// its pixels behind clears nothing either. A frame of nothing but those
// becomes one such pixel. Whether it was cut.
bool TrimClearEdges(int index) {
  const Frame& frame = *doc.frames[index];
  if (!frame.transparent || (frame.disposal & kRestoreToBackground) != 0) return false;
  if (frame.width <= 0 || frame.height <= 0 || frame.width * frame.height == 1) return false;
  ByteBuffer block;
  if (!ReadLimitedBlock(index, &block)) return false;
  const uint8_t clear = static_cast<uint8_t>(frame.transparentIndex & 0xFF);
  const int32_t stride = RowStride(frame.width);
  auto pixel = [&](int x, int y) { return block.data()[static_cast<size_t>(frame.height - 1 - y) * stride + x]; };
  auto clearRow = [&](int y) {
    for (int x = 0; x < frame.width; ++x)
      if (pixel(x, y) != clear) return false;
    return true;
  };
  int top = 0;
  int bottom = frame.height - 1;
  while (top <= bottom && clearRow(top)) ++top;
  while (bottom >= top && clearRow(bottom)) --bottom;
  if (top > bottom) return CropFrame(index, top, bottom, 0, 0);
  auto clearColumn = [&](int x) {
    for (int y = top; y <= bottom; ++y)
      if (pixel(x, y) != clear) return false;
    return true;
  };
  int left = 0;
  int right = frame.width - 1;
  while (clearColumn(left)) ++left;
  while (clearColumn(right)) --right;
  if (top == 0 && bottom == frame.height - 1 && left == 0 && right == frame.width - 1) return false;
  return CropFrame(index, top, bottom, left, frame.width - 1 - right);
}

}  // namespace

int MakeUnchangedPixelsTransparent() {
  int changed = 0;
  try {
    int width = 0, height = 0;
    ScreenExtent(&width, &height);
    ScreenWalk walk(width, height);
    for (int i = 0; i < doc.frameCount; ++i) {
      if (!IsImageFrame(i)) continue;
      bool frameChanged = TryFrame(i, walk.left(), walk.width());
      if (frameChanged) {
        DeleteFramePaletteIfAny(i);
        CreateFramePalette(i);
      }
      frameChanged = TrimClearEdges(i) || frameChanged;
      changed += frameChanged;
      if (!walk.Draw(i)) break;
    }
  } catch (const std::bad_alloc&) {
    // The frames changed so far show the same as before.
  }
  return changed;
}
