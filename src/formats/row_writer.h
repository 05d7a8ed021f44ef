// RowWriter: places decoded pixels row by row into a frame's pixel block in
// the bottom-up layout, de-interlacing as it goes, marks every stored value
// as used and advances the progress display once per finished row. Pixels
// beyond the last row are dropped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/ui_operations.h"

class RowWriter {
 public:
  // block: rowStride x height bytes, or null when there is nowhere to store
  // (rows then go to rowBuffer and are lost). used: 256 flags.
  void Begin(uint8_t* block, uint8_t* rowBuffer, int width, int height, int32_t rowStride,
             bool interlaced, uint8_t* used) {
    block_ = block;
    rowBuffer_ = rowBuffer;
    width_ = width;
    height_ = height;
    stride_ = rowStride;
    interlaced_ = interlaced;
    used_ = used;
    x_ = 0;
    y_ = 0;
    pass_ = 0;
    stored_ = 0;
    lowestRow_ = height > 0 ? height : 0;
    done_ = width <= 0 || height <= 0;
    if (!done_) row_ = RowAt(0);
  }

  void Emit(const uint8_t* pixels, int n) {
    while (n > 0 && !done_) {
      int k = width_ - x_ < n ? width_ - x_ : n;
      uint8_t* out = row_ + x_;
      for (int i = 0; i < k; ++i) {
        out[i] = pixels[i];
        used_[pixels[i]] = 1;
      }
      x_ += k;
      pixels += k;
      n -= k;
      stored_ += static_cast<uint32_t>(k);
      if (x_ == width_) FinishRow();
    }
  }

  void EmitOne(uint8_t pixel) {
    if (done_) return;
    row_[x_++] = pixel;
    used_[pixel] = 1;
    ++stored_;
    if (x_ == width_) FinishRow();
  }

  // Room for n pixels in the current row, or null when they would cross its
  // end (or every row is done). Fill the room, then Commit(n).
  uint8_t* Room(int n) const { return !done_ && width_ - x_ >= n ? row_ + x_ : nullptr; }
  void Commit(int n) {
    x_ += n;
    stored_ += static_cast<uint32_t>(n);
    if (x_ == width_) FinishRow();
  }
  uint8_t* used() const { return used_; }

  // The offset in the block of the lowest stored row that received pixels,
  // or the block's size when none did: rows below it were never touched.
  size_t FirstTouchedByte() const {
    int lowest = lowestRow_;
    if (!done_ && x_ > 0 && height_ - 1 - y_ < lowest) lowest = height_ - 1 - y_;
    return static_cast<size_t>(lowest) * static_cast<size_t>(stride_);
  }

  // Every pixel of the frame has been stored.
  bool Complete() const { return stored_ == static_cast<uint32_t>(width_) * static_cast<uint32_t>(height_ > 0 ? height_ : 0); }

 private:
  uint8_t* RowAt(int y) const {
    return block_ ? block_ + static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(stride_) : rowBuffer_;
  }

  // Interlaced images come in four passes: every 8th row from 0, every 8th
  // from 4, every 4th from 2, every 2nd from 1. A pass that starts at or
  // beyond the last row is skipped.
  void FinishRow() {
    x_ = 0;
    if (height_ - 1 - y_ < lowestRow_) lowestRow_ = height_ - 1 - y_;
    StepProgress(ProgressKind::kReading, height_);
    if (!interlaced_) {
      ++y_;
    } else {
      static const int kStep[4] = {8, 8, 4, 2};
      static const int kStart[4] = {0, 4, 2, 1};
      y_ += kStep[pass_];
      while (y_ >= height_ && pass_ < 3) {
        ++pass_;
        y_ = kStart[pass_];
      }
    }
    if (y_ >= height_)
      done_ = true;
    else
      row_ = RowAt(y_);
  }

  uint8_t* block_ = nullptr;
  uint8_t* rowBuffer_ = nullptr;
  uint8_t* row_ = nullptr;
  uint8_t* used_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int32_t stride_ = 0;
  bool interlaced_ = false;
  int x_ = 0;
  int y_ = 0;
  int pass_ = 0;
  uint32_t stored_ = 0;
  int lowestRow_ = 0;  // lowest stored row (bottom-up) finished so far
  bool done_ = true;
};
