// Restoring frames to their full size: each frame redrawn over the frame
// before it, so that it shows on its own what the screen shows at that
// moment. The new rows go to the end of the swap file; the old ones stay
// where they were, unused.
#include "editing/dirty_rectangles.h"

#include <cstring>

#include "colour/global_palette.h"
#include "document/document.h"
#include "document/ui_operations.h"

namespace {

constexpr int32_t kMaxDimension = 32767;

bool LeavesPixelsBehind(const Frame& frame) { return (frame.disposal & kRestoreToBackground) == 0; }

bool SamePalette(const Frame& a, const Frame& b) {
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& x = a.palette[i];
    const PaletteEntry& y = b.palette[i];
    if (x.red != y.red || x.green != y.green || x.blue != y.blue) return false;
  }
  return true;
}

// Where a frame's pixels are drawn: every pixel but its transparent index.
struct Layer {
  const Frame& frame;
  const uint8_t* block;

  int Clear() const { return frame.transparent ? frame.transparentIndex & 0xFF : -1; }
  const uint8_t* Row(int32_t y) const {
    return block + static_cast<size_t>(frame.height - 1 - y) * RowStride(frame.width);
  }
  void MarkOpaque(uint8_t used[256]) const {
    const int clear = Clear();
    for (int32_t y = 0; y < frame.height; ++y) {
      const uint8_t* row = Row(y);
      for (int32_t x = 0; x < frame.width; ++x)
        if (row[x] != clear) used[row[x]] = 1;
    }
  }
};

// Draws layer's opaque pixels onto the canvas at (left, top) of the canvas.
void Draw(const Layer& layer, uint8_t* canvas, int32_t canvasHeight, int32_t canvasStride, int32_t left, int32_t top) {
  const int clear = layer.Clear();
  for (int32_t y = 0; y < layer.frame.height; ++y) {
    const uint8_t* from = layer.Row(y);
    uint8_t* to = canvas + static_cast<size_t>(canvasHeight - 1 - (top + y)) * canvasStride + left;
    if (clear < 0) {
      memcpy(to, from, static_cast<size_t>(layer.frame.width));
      continue;
    }
    for (int32_t x = 0; x < layer.frame.width; ++x)
      if (from[x] != clear) to[x] = from[x];
  }
}

// The index the new frame leaves see-through: one that no drawn pixel
// uses, preferring the transparent index either frame already has. -1 when
// every index is used.
int ChooseClearIndex(const Layer& later, const Layer& earlier, const uint8_t opaque[256]) {
  if (later.Clear() >= 0 && !opaque[later.Clear()]) return later.Clear();
  if (earlier.Clear() >= 0 && !opaque[earlier.Clear()]) return earlier.Clear();
  for (int i = 0; i < 256; ++i)
    if (!opaque[i]) return i;
  return -1;
}

}  // namespace

bool RestoreFrame(int previous, int index) {
  if (!IsImageFrame(index) || !IsImageFrame(previous) || index == previous) return false;
  Frame& frame = *doc.frames[index];
  const Frame& under = *doc.frames[previous];
  // Only pixels left on the screen lie under the frame; and a frame that
  // clears its rectangle would clear a larger one once grown.
  if (!LeavesPixelsBehind(under) || !LeavesPixelsBehind(frame)) return false;
  if (frame.width <= 0 || frame.height <= 0 || under.width <= 0 || under.height <= 0) return false;
  // Indices are copied as they are: they must mean the same colours.
  if (!SamePalette(frame, under)) return false;
  const int32_t left = frame.left < under.left ? frame.left : under.left;
  const int32_t top = frame.top < under.top ? frame.top : under.top;
  const int32_t right =
      frame.left + frame.width > under.left + under.width ? frame.left + frame.width : under.left + under.width;
  const int32_t bottom =
      frame.top + frame.height > under.top + under.height ? frame.top + frame.height : under.top + under.height;
  const int32_t width = right - left;
  const int32_t height = bottom - top;
  if (width > kMaxDimension || height > kMaxDimension) return false;
  const int32_t stride = RowStride(width);
  const uint64_t size = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (doc.swapEnd + size > kSwapLimit || size > dirtyBlockLimit || !doc.swapFile.IsOpen()) return false;

  ResetRetainedPicture();
  ByteBuffer block;
  ByteBuffer underBlock;
  if (!ReadLimitedBlock(index, &block) || !ReadLimitedBlock(previous, &underBlock)) return false;
  const Layer later{frame, block.data()};
  const Layer earlier{under, underBlock.data()};
  uint8_t opaque[256] = {};
  later.MarkOpaque(opaque);
  earlier.MarkOpaque(opaque);
  const int clear = ChooseClearIndex(later, earlier, opaque);
  if (clear < 0) return false;

  // Where neither frame draws, the screen keeps what lay there before: the
  // new frame is see-through there, not index 0.
  ByteBuffer canvas;
  if (!canvas.Allocate(static_cast<size_t>(size))) return false;
  memset(canvas.data(), clear, static_cast<size_t>(size));
  Draw(earlier, canvas.data(), height, stride, under.left - left, under.top - top);
  Draw(later, canvas.data(), height, stride, frame.left - left, frame.top - top);
  bool seeThrough = false;
  uint8_t used[256] = {};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = canvas.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x) used[row[x]] = 1;
  }
  seeThrough = used[clear] != 0;

  if (!StoreFrameBlock(frame, canvas.data(), static_cast<uint32_t>(size))) return false;
  if (seeThrough || frame.transparent || under.transparent) {
    frame.transparent = 1;
    frame.transparentIndex = static_cast<uint16_t>(clear);
    used[clear] = 1;
  }
  for (int i = 0; i < 256; ++i) frame.usedColors[i] = static_cast<uint8_t>(frame.usedColors[i] | used[i]);
  frame.left = static_cast<int16_t>(left);
  frame.top = static_cast<int16_t>(top);
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  return true;
}

void RestoreFramesToFullSize() {
  if (CountImageFrames() <= 1) return;
  StopPlayback();
  SetStatusText("Restoring frames");
  SetWaitCursor(true);
  // Pixels are copied from frame to frame by index: one palette for all.
  for (int i = 0; i < doc.frameCount; ++i)
    if (IsImageFrame(i)) doc.frames[i]->useGlobalPalette = 1;
  BuildGlobalPalette(256);
  SetStatusText("Restoring frames");
  for (int earlier = NextImageFrame(-1), later = NextImageFrame(earlier); earlier >= 0 && later >= 0;
       earlier = later, later = NextImageFrame(earlier))
    RestoreFrame(earlier, later);
  SetWaitCursor(false);
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
  EndProgress();
  ResetRetainedPicture();
  ShowMessage("Frames restored");
}
