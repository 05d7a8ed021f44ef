// The colour histogram of one quantisation: 32 x 32 x 32 cells of 16-bit
// pixel counts, one cell per 8-level step of blue, green and red.
#pragma once

#include <cstdint>
#include <memory>

constexpr int kHistogramSide = 32;
constexpr int kHistogramCells = kHistogramSide * kHistogramSide * kHistogramSide;

// Blue is the outermost axis and red the innermost.
inline int HistogramCell(int blue5, int green5, int red5) { return blue5 * 1024 + green5 * 32 + red5; }

class ColorHistogram {
 public:
  ColorHistogram() = default;
  ColorHistogram(const ColorHistogram&) = delete;
  ColorHistogram& operator=(const ColorHistogram&) = delete;

  // Zero-filled cells in place of what it held; false when the memory cannot
  // be had (it is then empty).
  bool Allocate();
  void Release() { cells_.reset(); }
  bool IsAllocated() const { return cells_ != nullptr; }

  // One more pixel of this colour; a full cell stays at 65535. Nothing when
  // the histogram is not allocated.
  void Add(uint8_t red, uint8_t green, uint8_t blue);

  uint16_t Cell(int blue5, int green5, int red5) const { return cells_[HistogramCell(blue5, green5, red5)]; }
  // The count of the cell an 8-bit colour falls into.
  uint16_t CountOf(uint8_t red, uint8_t green, uint8_t blue) const { return Cell(blue >> 3, green >> 3, red >> 3); }

 private:
  std::unique_ptr<uint16_t[]> cells_;
};

extern ColorHistogram colorHistogram;

// Holds colorHistogram allocated for one quantisation and frees it at the
// end of the scope.
class HistogramScope {
 public:
  HistogramScope() : allocated_(colorHistogram.Allocate()) {}
  ~HistogramScope() { colorHistogram.Release(); }
  HistogramScope(const HistogramScope&) = delete;
  HistogramScope& operator=(const HistogramScope&) = delete;
  bool allocated() const { return allocated_; }

 private:
  bool allocated_;
};

// Counts every stored pixel of image frame frameIndex by its palette colour,
// the transparent index included. A frame whose pixels cannot be read into
// memory is skipped.
void AddFrameToHistogram(int frameIndex);

// Counts one 24-bit colour (the true-colour importers).
void AddColorToHistogram(uint8_t red, uint8_t green, uint8_t blue);
