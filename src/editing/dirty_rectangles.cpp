// Cropping frames: to the part that differs from the frame before
// ("Crop frames to dirty rectangles") and to a selection. Rows are kept
// bottom-up at RowStride(width) bytes, as everywhere in the swap file; a
// cropped frame is never larger than before, so it is written in place.
#include "editing/dirty_rectangles.h"

#include <cstring>

#include "document/document.h"
#include "document/ui_operations.h"
#include "editing/palette_order.h"
#include "editing/unchanged_pixels.h"

uint32_t dirtyBlockLimit = 0xFFFFFFFF;

namespace {

// Positions are signed 16-bit in the frame record.
constexpr int32_t kMaxPosition = 32767;
// No 24-bit colour has these bits: a see-through pixel is its own value.
constexpr uint32_t kSeeThrough = 0xFF000000u;

bool LeavesPixelsBehind(const Frame& frame) { return (frame.disposal & kRestoreToBackground) == 0; }

// What each index shows: its colour, or kSeeThrough for the transparent index.
void ShownColours(const Frame& frame, uint32_t shown[256]) {
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& entry = frame.palette[i];
    shown[i] = static_cast<uint32_t>(entry.red) << 16 | static_cast<uint32_t>(entry.green) << 8 | entry.blue;
  }
  if (frame.transparent) shown[frame.transparentIndex & 0xFF] = kSeeThrough;
}

// The later frame of a pair against the earlier one lying under it. A pixel
// of the later frame may be cut away when drawing it changes nothing: it is
// see-through, or the earlier frame shows the same colour there. A
// see-through pixel of the earlier frame lets older pictures show, which the
// pair cannot know, so it matches no opaque pixel.
class PairDiff {
 public:
  PairDiff(const Frame& later, const uint8_t* laterBlock, const Frame& earlier, const uint8_t* earlierBlock)
      : width_(later.width),
        height_(later.height),
        stride_(RowStride(later.width)),
        block_(laterBlock),
        earlierStride_(RowStride(earlier.width)),
        earlierHeight_(earlier.height),
        earlierBlock_(earlierBlock),
        dx_(later.left - earlier.left),
        dy_(later.top - earlier.top) {
    ShownColours(later, shown_);
    ShownColours(earlier, earlierShown_);
    // When every index shows alike in both frames, rows with equal bytes
    // are equal and memcmp can decide most rows.
    sameIndexSame_ = true;
    for (int i = 0; i < 256 && sameIndexSame_; ++i)
      sameIndexSame_ = Same(static_cast<uint8_t>(i), static_cast<uint8_t>(i));
  }

  bool RowDiffers(int32_t y) const {
    const uint8_t* row = Row(y);
    const uint8_t* under = EarlierRow(y);
    if (sameIndexSame_ && memcmp(row, under, static_cast<size_t>(width_)) == 0) return false;
    for (int32_t x = 0; x < width_; ++x)
      if (!Same(row[x], under[x])) return true;
    return false;
  }
  // Equal pixels at the start of row y, at most limit.
  int32_t LeadingSame(int32_t y, int32_t limit) const {
    const uint8_t* row = Row(y);
    const uint8_t* under = EarlierRow(y);
    int32_t x = 0;
    while (x < limit && Same(row[x], under[x])) ++x;
    return x;
  }
  // Equal pixels at the end of row y, at most limit.
  int32_t TrailingSame(int32_t y, int32_t limit) const {
    const uint8_t* row = Row(y);
    const uint8_t* under = EarlierRow(y);
    int32_t n = 0;
    while (n < limit && Same(row[width_ - 1 - n], under[width_ - 1 - n])) ++n;
    return n;
  }
  bool HasSeeThroughPixel() const {
    for (int32_t y = 0; y < height_; ++y) {
      const uint8_t* row = Row(y);
      for (int32_t x = 0; x < width_; ++x)
        if (shown_[row[x]] == kSeeThrough) return true;
    }
    return false;
  }

 private:
  bool Same(uint8_t pixel, uint8_t under) const {
    uint32_t shown = shown_[pixel];
    return shown == kSeeThrough || (earlierShown_[under] != kSeeThrough && shown == earlierShown_[under]);
  }
  const uint8_t* Row(int32_t y) const { return block_ + static_cast<size_t>(height_ - 1 - y) * stride_; }
  const uint8_t* EarlierRow(int32_t y) const {
    return earlierBlock_ + static_cast<size_t>(earlierHeight_ - 1 - (y + dy_)) * earlierStride_ + dx_;
  }

  int32_t width_, height_, stride_;
  const uint8_t* block_;
  int32_t earlierStride_, earlierHeight_;
  const uint8_t* earlierBlock_;
  int32_t dx_, dy_;
  uint32_t shown_[256];
  uint32_t earlierShown_[256];
  bool sameIndexSame_ = false;
};

bool LiesInside(const Frame& inner, const Frame& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         int32_t{inner.left} + inner.width <= int32_t{outer.left} + outer.width &&
         int32_t{inner.top} + inner.height <= int32_t{outer.top} + outer.height;
}

bool HasPixels(const Frame& frame) { return frame.width > 0 && frame.height > 0; }

// CropFrame on a block already read: builds the new rows aside and stores
// them as the frame's new block only once they are complete.
bool CropBlock(int index, const uint8_t* block, int32_t topRow, int32_t bottomRow, int32_t leftCut, int32_t rightCut) {
  Frame& frame = *doc.frames[index];
  if (topRow > bottomRow) {
    topRow = bottomRow = 0;
    leftCut = 0;
    rightCut = frame.width - 1;
  }
  if (topRow < 0 || bottomRow >= frame.height || leftCut < 0 || rightCut < 0 || leftCut + rightCut >= frame.width)
    return false;
  if (frame.left + leftCut > kMaxPosition || frame.top + topRow > kMaxPosition) return false;
  const int32_t stride = RowStride(frame.width);
  const int32_t width = frame.width - leftCut - rightCut;
  const int32_t height = bottomRow - topRow + 1;
  const int32_t newStride = RowStride(width);
  ByteBuffer rows;
  if (!rows.Allocate(static_cast<size_t>(newStride) * static_cast<size_t>(height))) return false;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* from = block + static_cast<size_t>(frame.height - 1 - (topRow + y)) * stride + leftCut;
    memcpy(rows.data() + static_cast<size_t>(height - 1 - y) * newStride, from, static_cast<size_t>(width));
  }
  if (!StoreFrameBlock(frame, rows.data(), static_cast<uint32_t>(rows.size()))) return false;
  DeleteFramePaletteIfAny(index);
  CreateFramePalette(index);
  frame.left = static_cast<int16_t>(frame.left + leftCut);
  frame.top = static_cast<int16_t>(frame.top + topRow);
  frame.width = static_cast<int16_t>(width);
  frame.height = static_cast<int16_t>(height);
  return true;
}

}  // namespace

bool ReadLimitedBlock(int frameIndex, ByteBuffer* block) {
  const Frame& frame = *doc.frames[frameIndex];
  uint64_t size = static_cast<uint64_t>(RowStride(frame.width)) * static_cast<uint64_t>(frame.height);
  if (size > dirtyBlockLimit) return false;
  return ReadFrameBlock(frame, block);
}

bool CropFrame(int index, int topRow, int bottomRow, int leftCut, int rightCut) {
  if (!IsImageFrame(index) || !HasPixels(*doc.frames[index])) return false;
  ByteBuffer block;
  if (!ReadLimitedBlock(index, &block)) return false;
  return CropBlock(index, block.data(), topRow, bottomRow, leftCut, rightCut);
}

bool CropToDirty(int index, int previous) {
  if (!IsImageFrame(index) || !IsImageFrame(previous) || index == previous) return false;
  Frame& frame = *doc.frames[index];
  Frame& under = *doc.frames[previous];
  if (!HasPixels(frame) || !HasPixels(under) || !LiesInside(frame, under)) return false;
  // A frame that clears or restores its rectangle once shown would clear a
  // smaller one after the crop.
  if (!LeavesPixelsBehind(frame)) return false;
  // The earlier frame's pixels are gone before this one is drawn; keeping
  // them (see below) is harmless only when this frame covers all of them.
  const bool underGoes = !LeavesPixelsBehind(under);
  if (underGoes && (frame.width != under.width || frame.height != under.height)) return false;

  ByteBuffer block;
  ByteBuffer underBlock;
  if (!ReadLimitedBlock(index, &block) || !ReadLimitedBlock(previous, &underBlock)) return false;
  PairDiff diff(frame, block.data(), under, underBlock.data());
  if (underGoes && diff.HasSeeThroughPixel()) return false;

  // The first and the last differing row, scanned from both ends at once so
  // that a change near either end is found without reading the middle.
  int32_t top = 0;
  int32_t bottom = frame.height - 1;
  bool topFound = false;
  bool bottomFound = false;
  while (top <= bottom && !(topFound && bottomFound)) {
    if (!topFound) {
      if (diff.RowDiffers(top))
        topFound = true;
      else
        ++top;
    }
    if (!bottomFound && top <= bottom) {
      if (diff.RowDiffers(bottom))
        bottomFound = true;
      else
        --bottom;
    }
  }
  int32_t leftCut = 0;
  int32_t rightCut = 0;
  if (top <= bottom) {
    leftCut = frame.width;
    rightCut = frame.width - 1;  // column 0 stays for the right side
    for (int32_t y = top; y <= bottom && (leftCut > 0 || rightCut > 0); ++y) {
      leftCut = diff.LeadingSame(y, leftCut);
      rightCut = diff.TrailingSame(y, rightCut);
    }
  }
  const bool identical = top > bottom;
  const bool cut =
      identical ? frame.width * frame.height > 1 : top > 0 || bottom < frame.height - 1 || leftCut > 0 || rightCut > 0;
  if (!cut || !CropBlock(index, block.data(), top, bottom, leftCut, rightCut)) return false;
  // The earlier frame now stays on the screen under the cropped one.
  if (underGoes) under.disposal = static_cast<uint8_t>(under.disposal & ~kRestoreToBackground);
  return true;
}

void CropFramesToDirty(Transparency transparency) {
  if (CountImageFrames() <= 1) return;
  StopPlayback();
  SetStatusText("Calculating dirty rectangles");
  SetWaitCursor(true);
  // From the end: each crop compares with the earlier frame uncropped.
  for (int later = PreviousImageFrame(doc.frameCount), earlier = PreviousImageFrame(later); later >= 0 && earlier >= 0;
       later = earlier, earlier = PreviousImageFrame(later))
    CropToDirty(later, earlier);
  // Transparency is weighed at the code sizes the renumbering gives, and
  // the colours it leaves unshown are then renumbered away.
  if (transparency == Transparency::kForUnchangedPixels) {
    RenumberPalettes();
    MakeUnchangedPixelsTransparent();
  }
  RenumberPalettes();
  SetWaitCursor(false);
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
  EndProgress();
  ResetRetainedPicture();
  ShowMessage("Optimization completed");
}

void CropFrameToSelection(int x1, int y1, int x2, int y2) {
  const int index = doc.currentFrame;
  if (!IsImageFrame(index)) return;
  const Frame& frame = *doc.frames[index];
  if (!HasPixels(frame)) return;
  auto clamp = [](int value, int high) { return value < 0 ? 0 : value > high ? high : value; };
  x1 = clamp(x1, frame.width);
  x2 = clamp(x2, frame.width);
  y1 = clamp(y1, frame.height - 1);
  y2 = clamp(y2, frame.height - 1);
  const int left = x1 < x2 ? x1 : x2;
  const int right = x1 < x2 ? x2 : x1;
  if (left == right) return;
  if (!CropFrame(index, y1 < y2 ? y1 : y2, y1 < y2 ? y2 : y1, left, frame.width - right)) return;
  CancelSelection();
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}
