// Median cut: the box list, cutting the box that most needs it, and the
// mean colour of each box. Weights 8 (blue), 24 (green) and 16 (red) make
// the cut favour the axes the eye tells apart best.
#include "colour/median_cut.h"

#include <memory>
#include <new>

#include "colour/color_histogram.h"
#include "document/document.h"

int16_t quantizedCount = 0;

namespace {

constexpr int kBlueWeight = 8;
constexpr int kGreenWeight = 24;
constexpr int kRedWeight = 16;

bool AnyCell(int blueMin, int blueMax, int greenMin, int greenMax, int redMin, int redMax) {
  for (int b = blueMin; b <= blueMax; ++b)
    for (int g = greenMin; g <= greenMax; ++g)
      for (int r = redMin; r <= redMax; ++r)
        if (colorHistogram.Cell(b, g, r) != 0) return true;
  return false;
}

// The slice tests of ShrinkBox, one per axis, within the box's other ranges.
bool BlueSliceUsed(const ColorBox& box, int b) {
  return AnyCell(b, b, box.greenMin, box.greenMax, box.redMin, box.redMax);
}
bool GreenSliceUsed(const ColorBox& box, int g) {
  return AnyCell(box.blueMin, box.blueMax, g, g, box.redMin, box.redMax);
}
bool RedSliceUsed(const ColorBox& box, int r) {
  return AnyCell(box.blueMin, box.blueMax, box.greenMin, box.greenMax, r, r);
}

// Narrows [min, max] from both ends to the first used slices; a bound with
// no used slice beyond it stays.
template <typename SliceUsed>
void NarrowRange(ColorBox& box, int16_t ColorBox::*min, int16_t ColorBox::*max, SliceUsed sliceUsed) {
  if (box.*min < box.*max) {
    for (int v = box.*min; v <= box.*max; ++v)
      if (sliceUsed(box, v)) {
        box.*min = static_cast<int16_t>(v);
        break;
      }
  }
  if (box.*min < box.*max) {
    for (int v = box.*max; v >= box.*min; --v)
      if (sliceUsed(box, v)) {
        box.*max = static_cast<int16_t>(v);
        break;
      }
  }
}

int32_t Square(int32_t v) { return v * v; }

// The box to cut next: while there is room for twice the boxes, the one
// holding most colours (that can still be cut); then the largest.
int ChooseBox(const ColorBox* boxes, int boxCount, int n) {
  int chosen = -1;
  int32_t best = 0;
  if (2 * boxCount <= n) {
    for (int i = 0; i < boxCount; ++i)
      if (boxes[i].volume >= 1 && boxes[i].colorCount > best) {
        best = boxes[i].colorCount;
        chosen = i;
      }
  } else {
    for (int i = 0; i < boxCount; ++i)
      if (boxes[i].volume > best) {
        best = boxes[i].volume;
        chosen = i;
      }
  }
  return chosen;
}

}  // namespace

void ShrinkBox(ColorBox& box) {
  if (colorHistogram.IsAllocated()) {
    NarrowRange(box, &ColorBox::blueMin, &ColorBox::blueMax, BlueSliceUsed);
    NarrowRange(box, &ColorBox::greenMin, &ColorBox::greenMax, GreenSliceUsed);
    NarrowRange(box, &ColorBox::redMin, &ColorBox::redMax, RedSliceUsed);
  }
  box.volume = Square(kBlueWeight * (box.blueMax - box.blueMin)) + Square(kGreenWeight * (box.greenMax - box.greenMin)) +
               Square(kRedWeight * (box.redMax - box.redMin));
  int32_t count = 0;
  if (colorHistogram.IsAllocated()) {
    for (int b = box.blueMin; b <= box.blueMax; ++b)
      for (int g = box.greenMin; g <= box.greenMax; ++g)
        for (int r = box.redMin; r <= box.redMax; ++r) count += colorHistogram.Cell(b, g, r) != 0;
  }
  box.colorCount = count;
}

int MedianCut(ColorBox* boxes, int boxCount, int n) {
  while (boxCount < n) {
    int chosen = ChooseBox(boxes, boxCount, n);
    if (chosen < 0) break;
    ColorBox& box = boxes[chosen];
    ColorBox& added = boxes[boxCount];
    added = ColorBox{box.blueMin, box.blueMax, box.greenMin, box.greenMax, box.redMin, box.redMax, 0, 0};

    // Ties go to green, then red, then blue.
    int16_t blue = static_cast<int16_t>(kBlueWeight * (box.blueMax - box.blueMin));
    int16_t green = static_cast<int16_t>(kGreenWeight * (box.greenMax - box.greenMin));
    int16_t red = static_cast<int16_t>(kRedWeight * (box.redMax - box.redMin));
    int16_t ColorBox::*min = &ColorBox::greenMin;
    int16_t ColorBox::*max = &ColorBox::greenMax;
    int16_t longest = green;
    if (red > longest) {
      longest = red;
      min = &ColorBox::redMin;
      max = &ColorBox::redMax;
    }
    if (blue > longest) {
      min = &ColorBox::blueMin;
      max = &ColorBox::blueMax;
    }

    int16_t mid = static_cast<int16_t>((box.*min + box.*max) / 2);
    box.*max = mid;
    added.*min = static_cast<int16_t>(mid + 1);
    ShrinkBox(box);
    ShrinkBox(added);
    ++boxCount;
  }
  return boxCount;
}

bool ComputeBoxColor(const ColorBox& box, int index) {
  if (!colorHistogram.IsAllocated() || index < 0 || index > 255) return false;
  // 64-bit sums: a box may hold tens of millions of pixels (cells of up to
  // 65535 each), which overflows 32 bits once weighted by 252.
  uint64_t total = 0;
  uint64_t blueSum = 0;
  uint64_t greenSum = 0;
  uint64_t redSum = 0;
  for (int b = box.blueMin; b <= box.blueMax; ++b)
    for (int g = box.greenMin; g <= box.greenMax; ++g)
      for (int r = box.redMin; r <= box.redMax; ++r) {
        uint64_t c = colorHistogram.Cell(b, g, r);
        if (c == 0) continue;
        total += c;
        blueSum += static_cast<uint64_t>(8 * b + 4) * c;
        greenSum += static_cast<uint64_t>(8 * g + 4) * c;
        redSum += static_cast<uint64_t>(8 * r + 4) * c;
      }
  if (total == 0) return false;
  PaletteEntry& entry = doc.workPalette[index];
  entry.blue = static_cast<uint8_t>((blueSum + total / 2) / total);
  entry.green = static_cast<uint8_t>((greenSum + total / 2) / total);
  entry.red = static_cast<uint8_t>((redSum + total / 2) / total);
  return true;
}

void SelectColors(int n) {
  quantizedCount = 0;
  if (n < 1) n = 1;
  if (n > 256) n = 256;
  std::unique_ptr<ColorBox[]> boxes(new (std::nothrow) ColorBox[n]);
  if (!boxes || !colorHistogram.IsAllocated()) return;

  boxes[0] = ColorBox{0, kHistogramSide - 1, 0, kHistogramSide - 1, 0, kHistogramSide - 1, 0, 0};
  ShrinkBox(boxes[0]);
  // Nothing counted: no colour to choose rather than a made-up one.
  if (boxes[0].colorCount == 0) return;
  int boxCount = MedianCut(boxes.get(), 1, n);
  for (int i = 0; i < boxCount; ++i) ComputeBoxColor(boxes[i], i);
  boxes.reset();
  quantizedCount = static_cast<int16_t>(boxCount);
}
