// The colour commands' cores. "Decrease number of colors" follows the rule
// the writer follows: the exact colours when they fit, median cut only
// beyond that. Both it and "Gray scale" go through RemapFrame onto
// loadedPalette, which keeps a transparent index apart from the opaque
// targets whenever the target palette leaves one free; the reduction makes
// sure it does.
#include "colour/colour_commands.h"

#include <cstring>

#include "colour/color_histogram.h"
#include "colour/global_palette.h"
#include "colour/median_cut.h"
#include "colour/nearest_color.h"
#include "colour/quantizer.h"
#include "document/byte_buffer.h"
#include "document/document.h"
#include "document/gif_screen.h"
#include "document/ui_operations.h"

int16_t depthExponent = 7;
int16_t depthExponentMax = 7;

namespace {

constexpr int kMostExponent = 7;  // 2 << 7 = 256 colours
constexpr int kGreyLevels = 256;

int TransparentIndexOf(const Frame& frame) {
  return frame.transparent && frame.transparentIndex < 256 ? frame.transparentIndex : -1;
}

// The indices the frame's pixels show into shown[256], and the colours of
// every pixel but the transparent ones counted in colorHistogram: a colour
// nobody sees must not take one of the few boxes.
bool ScanFrame(const Frame& frame, int transparent, uint8_t shown[256]) {
  memset(shown, 0, 256);
  if (frame.width <= 0 || frame.height <= 0) return true;
  ByteBuffer block;
  if (!ReadFrameBlock(frame, &block)) return false;
  int32_t stride = RowStride(frame.width);
  for (int32_t y = 0; y < frame.height; ++y) {
    const uint8_t* row = block.data() + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < frame.width; ++x) {
      uint8_t index = row[x];
      shown[index] = 1;
      if (index == transparent) continue;
      const PaletteEntry& color = frame.palette[index];
      colorHistogram.Add(color.red, color.green, color.blue);
    }
  }
  return true;
}

// doc.workPalette entries 0..count-1 as loadedPalette; the entries beyond
// are black so that the frame's unused entries are defined.
void LoadWorkPalette(int count) {
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& work = doc.workPalette[i];
    loadedPalette[i] = i < count ? LoadedColor{work.red, work.green, work.blue, 0} : LoadedColor{0, 0, 0, 0};
  }
  loadedColorCount = static_cast<int16_t>(count);
}

int NearestAmongFirst(int count, const PaletteEntry& color) {
  return NearestIndex(color.red, color.green, color.blue, count, [](int i, int* r, int* g, int* b) {
    *r = loadedPalette[i].red;
    *g = loadedPalette[i].green;
    *b = loadedPalette[i].blue;
  });
}

// Gives the transparent index entry `slot` of loadedPalette, behind the
// opaque colours 0..slot-1. It keeps the transparent colour unless an opaque
// colour the frame shows would be nearest to it (its pixels would then turn
// transparent); it then repeats the opaque colour nearest to it, which every
// opaque pixel finds first, ties going to the lower index.
void AddTransparentSlot(const Frame& frame, int transparent, const uint8_t shown[256], int slot) {
  const PaletteEntry& own = frame.palette[transparent];
  loadedPalette[slot] = LoadedColor{own.red, own.green, own.blue, 0};
  bool claimed = false;
  for (int i = 0; i < 256 && !claimed; ++i)
    if (shown[i] && i != transparent) claimed = NearestAmongFirst(slot + 1, frame.palette[i]) == slot;
  if (claimed && slot > 0) loadedPalette[slot] = loadedPalette[NearestAmongFirst(slot, own)];
  loadedColorCount = static_cast<int16_t>(slot + 1);
}

// Chooses at most n colours for the frame into loadedPalette and
// loadedColorCount; 0 when none could be chosen.
int ChooseReducedColors(int frameIndex, int n) {
  const Frame& frame = *doc.frames[frameIndex];
  int frames[1] = {frameIndex};
  // Nothing changes colour when the colours fit; the transparent index is
  // counted, with an entry of its own when its colour is also shown opaque.
  if (CollectExactColors(frames, 1, n)) {
    LoadWorkPalette(quantizedCount);
    return quantizedCount;
  }

  HistogramScope histogram;
  if (!histogram.allocated()) return 0;
  int transparent = TransparentIndexOf(frame);
  uint8_t shown[256];
  if (!ScanFrame(frame, transparent, shown)) return 0;
  // The transparent index takes one of the n entries, kept free of opaque
  // pixels; median cut has the others.
  SelectColors(transparent >= 0 ? n - 1 : n);
  LoadWorkPalette(quantizedCount);
  if (transparent >= 0) AddTransparentSlot(frame, transparent, shown, quantizedCount);
  return loadedColorCount;
}

// What a changed frame needs afterwards: its own palette of count entries.
void FinishFrameChange(int frameIndex, int count) {
  Frame& frame = *doc.frames[frameIndex];
  frame.colorCount = static_cast<int16_t>(count);
  frame.useGlobalPalette = 0;
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
}

}  // namespace

void BeginOptimalPalette() {
  StopPlayback();
  depthExponentMax = kMostExponent;
  depthExponent = kMostExponent;
}

void CalculateOptimalPalette(int n) {
  SetWaitCursor(true);
  for (int i = 0; i < doc.frameCount; ++i) {
    Frame& frame = *doc.frames[i];
    if (!IsComment(frame)) frame.useGlobalPalette = 1;
  }
  BuildGlobalPalette(n);
  SetStatusText("");
  SetWaitCursor(false);
  SetModified(true);
  RefreshFrameView(RefreshMode::kFull);
  EndProgress();
  ResetRetainedPicture();
  ShowMessage("Optimal palette calculated");
}

int DecreaseColorsExponentMax(int frameIndex) {
  if (!IsImageFrame(frameIndex)) return -1;
  return SizeCode(doc.frames[frameIndex]->colorCount) - 1;
}

bool BeginDecreaseColors() {
  if (!IsImageFrame(doc.currentFrame)) return false;
  StopPlayback();
  int most = DecreaseColorsExponentMax(doc.currentFrame);
  if (most < 0) return false;
  depthExponentMax = static_cast<int16_t>(most);
  depthExponent = depthExponentMax;
  return true;
}

bool DecreaseFrameColors(int frameIndex, int n) {
  if (!IsImageFrame(frameIndex) || n < 2 || n > 256) return false;
  SetStatusText("Reducing color depth ...");
  int count = ChooseReducedColors(frameIndex, n);
  SetStatusText("");
  if (count == 0 || !RemapFrame(frameIndex, RemapMode::kLoaded)) return false;
  FinishFrameChange(frameIndex, count);
  return true;
}

void GrayScaleCurrentFrame() {
  if (!IsImageFrame(doc.currentFrame)) return;
  StopPlayback();
  GrayScaleFrame(doc.currentFrame);
}

bool GrayScaleFrame(int frameIndex) {
  if (!IsImageFrame(frameIndex)) return false;
  for (int i = 0; i < kGreyLevels; ++i) {
    uint8_t level = static_cast<uint8_t>(i);
    loadedPalette[i] = LoadedColor{level, level, level, 0};
  }
  loadedColorCount = kGreyLevels;
  // Opaque entries use at most 255 levels, so RemapFrame always finds a free
  // one for the transparent index when its grey is taken.
  if (!RemapFrame(frameIndex, RemapMode::kGrey)) return false;
  FinishFrameChange(frameIndex, kGreyLevels);
  return true;
}
