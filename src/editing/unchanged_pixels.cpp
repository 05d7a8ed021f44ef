// One walk over the image frames: before a frame is drawn, the screen holds
// what it draws over, so each of its pixels can be compared with it. A pixel
// made transparent then lets that same colour show, and the frame's disposal
// leaves the same screen as before; the walk goes on with the frame as it
// now is. Each frame is decided by coding both versions.
#include "editing/unchanged_pixels.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"
#include "editing/coded_size.h"
#include "editing/dirty_rectangles.h"
#include "editing/index_choice.h"
#include "editing/screen_walk.h"

namespace {

// The pixels of rows (bottom-up, stride bytes apart) in the rectangle
// left..right, top..bottom of a frame height rows high, in coding order.
std::vector<uint8_t> TakeRectangle(const uint8_t* rows, int32_t stride, int height, int left, int right, int top,
                                   int bottom) {
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(right - left + 1) * static_cast<size_t>(bottom - top + 1));
  for (int y = top; y <= bottom; ++y) {
    const uint8_t* row = rows + static_cast<size_t>(height - 1 - y) * stride;
    pixels.insert(pixels.end(), row + left, row + right + 1);
  }
  return pixels;
}

// What width x height pixels in coding order cost as a frame's data and table.
size_t PixelsCost(const Frame& frame, const std::vector<uint8_t>& pixels, int width, int height) {
  const int highest = *std::max_element(pixels.begin(), pixels.end());
  // CodedSize reads stored rows: bottom-up, RowStride apart.
  const int32_t stride = RowStride(width);
  std::vector<uint8_t> rows(static_cast<size_t>(stride) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * width, width,
                rows.begin() + static_cast<ptrdiff_t>(height - 1 - y) * stride);
  size_t total = CodedSize(rows.data(), width, height, MinCodeSize(highest));
  if (!frame.useGlobalPalette) total += 3u * (2u << SizeCode(highest + 1));
  return total;
}

// Frame index with the pixels that match screen (what it draws over) made
// transparent, or each such pixel written as whichever of its colour and the
// transparent index codes smaller, when that costs less. Edges left all
// transparent are cut away afterwards (TrimClearEdges). Whether it changed.
bool TryFrame(int index, const Screen& screen, int screenWidth) {
  Frame& frame = *doc.frames[index];
  ByteBuffer block;
  if (frame.width <= 0 || frame.height <= 0 || !ReadLimitedBlock(index, &block)) return false;
  const int32_t stride = RowStride(frame.width);
  bool used[256] = {};
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) used[block.data()[static_cast<size_t>(y) * stride + x]] = true;
  // The frame's own transparent index, else the lowest one its pixels leave.
  int clear = frame.transparent ? frame.transparentIndex & 0xFF : -1;
  for (int i = 0; clear < 0 && i < 256; ++i)
    if (!used[i]) clear = i;
  if (clear < 0) return false;
  // A see-through pixel may also show the colour under it, by an index the
  // frame already uses.
  std::vector<std::pair<uint32_t, uint8_t>> indexOf;
  for (int i = 255; i >= 0; --i)
    if (used[i] && i != clear) indexOf.emplace_back(ColourOf(frame, i), static_cast<uint8_t>(i));
  std::stable_sort(indexOf.begin(), indexOf.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  // Per pixel, its own index and the other one that shows the same.
  ByteBuffer other;
  if (!other.Allocate(block.size())) return false;
  memcpy(other.data(), block.data(), block.size());
  int replaced = 0;
  for (int y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    uint8_t* alternative = other.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    const uint32_t* under = &screen[static_cast<size_t>(frame.top + y) * screenWidth + frame.left];
    for (int x = 0; x < frame.width; ++x) {
      if (under[x] == kNothingDrawn) continue;
      if (row[x] == clear) {
        auto found = std::lower_bound(indexOf.begin(), indexOf.end(), std::make_pair(under[x], uint8_t{0}));
        if (found != indexOf.end() && found->first == under[x]) alternative[x] = found->second;
      } else if (under[x] == ColourOf(frame, row[x])) {
        alternative[x] = static_cast<uint8_t>(clear);
        ++replaced;
      }
    }
  }
  if (replaced == 0) return false;
  // The rectangle of the pixels that cannot be transparent: a frame that
  // leaves its pixels behind loses the rest. None leaves one such pixel.
  int left = 0, right = frame.width - 1, top = 0, bottom = frame.height - 1;
  if ((frame.disposal & kRestoreToBackground) == 0) {
    left = frame.width, right = -1, top = frame.height, bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
      const size_t at = static_cast<size_t>(frame.height - 1 - y) * stride;
      for (int x = 0; x < frame.width; ++x) {
        if (block.data()[at + x] == clear || other.data()[at + x] == clear) continue;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    if (right < 0) left = right = top = bottom = 0;
  }
  const int width = right - left + 1;
  const int height = bottom - top + 1;
  const std::vector<uint8_t> own = TakeRectangle(block.data(), stride, frame.height, left, right, top, bottom);
  const std::vector<uint8_t> alternatives =
      TakeRectangle(other.data(), stride, frame.height, left, right, top, bottom);
  // All that can be transparent, and the picks that let strings run on.
  std::vector<uint8_t> allClear(own.size());
  for (size_t k = 0; k < own.size(); ++k) allClear[k] = alternatives[k] == clear ? alternatives[k] : own[k];
  int candidateHighest = clear;
  for (size_t k = 0; k < own.size(); ++k) candidateHighest = std::max(candidateHighest, int{own[k]});
  std::vector<uint8_t> best = allClear;
  size_t bestCost = PixelsCost(frame, allClear, width, height);
  for (Tie tie : {Tie::kOther, Tie::kOwn}) {
    std::vector<uint8_t> picked(own.size());
    ChooseIndices(own.data(), alternatives.data(), own.size(), MinCodeSize(candidateHighest), tie, picked.data());
    const size_t cost = PixelsCost(frame, picked, width, height);
    if (cost < bestCost) best.swap(picked), bestCost = cost;
  }
  const std::vector<uint8_t> whole =
      TakeRectangle(block.data(), stride, frame.height, 0, frame.width - 1, 0, frame.height - 1);
  if (bestCost >= PixelsCost(frame, whole, frame.width, frame.height)) return false;
  // The full frame, transparent outside the rectangle.
  ByteBuffer changed;
  if (!changed.Allocate(block.size())) return false;
  memcpy(changed.data(), block.data(), block.size());
  for (int y = 0; y < frame.height; ++y) {
    uint8_t* row = changed.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
    for (int x = 0; x < frame.width; ++x) {
      const bool inside = x >= left && x <= right && y >= top && y <= bottom;
      row[x] = inside ? best[static_cast<size_t>(y - top) * width + x - left] : static_cast<uint8_t>(clear);
    }
  }
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
